#include "sheets/SheetForm.h"

#include "store/Schemas.h"

#include <map>
#include <optional>

namespace velmora::sheets {

namespace {

namespace schema = store::schema;

constexpr int kDateWidth = 10;  // "YYYY.MM.DD"

// A control of the window: its member, and the width of what it feeds (0
// for a display).
struct Single {
    std::string SheetForm::*member;
    int width;
};
// A numbered row of controls (aptev1 … aptev8, tev1 … tev31).
template <size_t N>
struct Numbered {
    std::array<std::string, N> SheetForm::*member;
    int width;
};

int hlapa(const char* field) { return schema::HLAPA().fieldWidth(field); }
int hlapb(const char* field) { return schema::HLAPB().fieldWidth(field); }

const std::map<std::string, Single>& singles() {
    static const std::map<std::string, Single> controls = {
        // the window's displays
        {"m_sorsz", {&SheetForm::m_sorsz, 0}},
        {"m_idosz", {&SheetForm::m_idosz, 0}},
        {"vszam", {&SheetForm::vszam, 0}},
        {"vszame", {&SheetForm::vszame, 0}},
        {"bno1", {&SheetForm::bno1, 0}},
        {"bno2", {&SheetForm::bno2, 0}},
        {"bno3", {&SheetForm::bno3, 0}},
        {"bno4", {&SheetForm::bno4, 0}},
        // the patient, stored in BETEG
        {"m_aztip", {&SheetForm::m_aztip, hlapa("Aztip")}},
        {"m_taj", {&SheetForm::m_taj, hlapa("Taj")}},
        {"m_nev", {&SheetForm::m_nev, schema::BETEG().fieldWidth("Nev")}},
        {"m_kozigkod", {&SheetForm::m_kozigkod, hlapa("Kozigkod")}},
        {"m_cim1", {&SheetForm::m_cim1, schema::BETEG().fieldWidth("Cime1")}},
        {"m_cim2", {&SheetForm::m_cim2, schema::BETEG().fieldWidth("Cime2")}},
        {"m_szh", {&SheetForm::m_szh, schema::BETEG().fieldWidth("Szulh")}},
        {"m_szido", {&SheetForm::m_szido, kDateWidth}},
        {"m_terkat", {&SheetForm::m_terkat, hlapa("Terkat")}},
        {"m_allp", {&SheetForm::m_allp, hlapa("Allamp")}},
        // diagnoses
        {"m_fekvd", {&SheetForm::m_fekvd, hlapa("Bnofek")}},
        {"m_alapb", {&SheetForm::m_alapb, hlapa("Bnoab")}},
        {"m_kiserd", {&SheetForm::m_kiserd, hlapa("Bnokis")}},
        {"m_fodiag", {&SheetForm::m_fodiag, hlapa("Bnofo")}},
        // doctors, their names stored in ORVOS
        {"m_eorv", {&SheetForm::m_eorv, hlapa("Orvkode")}},
        {"m_eorvtip", {&SheetForm::m_eorvtip, hlapa("Orvtip")}},
        {"orv1", {&SheetForm::orv1, schema::ORVOS().fieldWidth("Onev")}},
        {"m_jorv", {&SheetForm::m_jorv, hlapa("Orvkodj")}},
        {"orv2", {&SheetForm::orv2, schema::ORVOS().fieldWidth("Onev")}},
        // the order; the day counts are at most 50, two digits
        {"m_elrend", {&SheetForm::m_elrend, kDateWidth}},
        {"m_szakvet", {&SheetForm::m_szakvet, kDateWidth}},
        {"m_elviz", {&SheetForm::m_elviz, 2}},
        {"m_gyak", {&SheetForm::m_gyak, hlapa("Gyak")}},
        {"m_elszam", {&SheetForm::m_elszam, hlapa("Elszam")}},
        {"m_elszviz", {&SheetForm::m_elszviz, 2}},
        {"m_lezdat", {&SheetForm::m_lezdat, kDateWidth}},
    };
    return controls;
}

const std::map<std::string, Numbered<kActivities>>& activityRows() {
    static const std::map<std::string, Numbered<kActivities>> rows = {
        {"aptev", {&SheetForm::aptev, hlapa("Aptaj1")}},
        {"apnev", {&SheetForm::apnev, schema::APOL().fieldWidth("Anev")}},
    };
    return rows;
}

const std::map<std::string, Numbered<kMaxDays>>& dayRows() {
    static const std::map<std::string, Numbered<kMaxDays>> rows = {
        {"apdat", {&SheetForm::apdat, 0}},
        {"tev", {&SheetForm::tev, hlapb("TEV1")}},
        {"aptaj", {&SheetForm::aptaj, hlapb("APBTAJ1")}},
    };
    return rows;
}

// "tev17" -> ("tev", 17); nothing for a name without a number or with a
// leading zero.
std::optional<std::pair<std::string, int>> splitNumbered(const std::string& name) {
    const size_t digits = name.find_first_of("0123456789");
    if (digits == std::string::npos || digits == 0 || name[digits] == '0' || name.size() - digits > 2) return {};
    if (name.find_first_not_of("0123456789", digits) != std::string::npos) return {};
    return std::make_pair(name.substr(0, digits), std::stoi(name.substr(digits)));
}

// The member and width behind a control name.
struct Control {
    std::string* text;
    int width;
};

template <size_t N>
std::optional<Control> numbered(SheetForm& form, const std::map<std::string, Numbered<N>>& rows,
                                const std::string& prefix, int number) {
    const auto it = rows.find(prefix);
    if (it == rows.end() || number < 1 || number > static_cast<int>(N)) return {};
    return Control{&(form.*(it->second.member))[static_cast<size_t>(number - 1)], it->second.width};
}

std::optional<Control> controlOf(SheetForm& form, const std::string& name) {
    if (const auto it = singles().find(name); it != singles().end())
        return Control{&(form.*(it->second.member)), it->second.width};
    const auto split = splitNumbered(name);
    if (!split) return {};
    if (auto c = numbered(form, activityRows(), split->first, split->second)) return c;
    return numbered(form, dayRows(), split->first, split->second);
}

std::vector<std::string> tabOrder() {
    std::vector<std::string> order = {
        // page "1.oldal" (bnem and CB1 stand between, but hold no text)
        "m_aztip", "m_taj", "m_nev", "m_kozigkod", "m_cim1", "m_cim2", "m_szh", "m_szido", "m_terkat", "m_allp",
        "m_fekvd", "m_alapb", "m_kiserd", "m_fodiag", "m_eorv", "m_eorvtip", "orv1", "m_jorv", "orv2",
        // page "2.oldal"
        "m_elrend", "m_szakvet", "m_elviz", "m_gyak", "m_elszam", "m_elszviz", "m_lezdat"};
    for (int k = 1; k <= kActivities; ++k) {
        order.push_back("aptev" + std::to_string(k));
        order.push_back("apnev" + std::to_string(k));
    }
    // page "3.oldal"
    for (int d = 1; d <= kMaxDays; ++d) {
        order.push_back("tev" + std::to_string(d));
        order.push_back("aptaj" + std::to_string(d));
    }
    return order;
}

} // namespace

std::string* SheetForm::text(const std::string& control) {
    const std::optional<Control> c = controlOf(*this, control);
    return c ? c->text : nullptr;
}

const std::string* SheetForm::text(const std::string& control) const {
    return const_cast<SheetForm*>(this)->text(control);
}

const std::vector<std::string>& SheetForm::textControls() {
    static const std::vector<std::string> order = tabOrder();
    return order;
}

int controlWidth(const std::string& control) {
    SheetForm probe;
    const std::optional<Control> c = controlOf(probe, control);
    return c ? c->width : 0;
}

} // namespace velmora::sheets
