// The outgoing layouts and the template bytes built from them.
#include "exchange/Layouts.h"

#include "store/Schemas.h"

#include <stdexcept>
#include <vector>

namespace velmora::exchange {
namespace {

using db::FieldDef;
using db::FieldList;

FieldDef C(const char* name, int width) { return FieldDef::character(name, width); }
FieldDef N(const char* name, int width) { return FieldDef::numeric(name, width); }
FieldDef D(const char* name) { return FieldDef::date(name); }

// The sheet key as every file starts it; FINKOD came in 2016.
FieldList keyFields(bool finkod) {
    FieldList f = {C("KABKOD", 4)};
    if (finkod) f.push_back(C("FINKOD", 9));
    f.insert(f.end(), {N("SORSZAM", 5), C("RESZ", 1), C("IDOSZAK", 6)});
    return f;
}

void append(FieldList& to, const FieldList& more) { to.insert(to.end(), more.begin(), more.end()); }

void appendNurses(FieldList& to, bool asText) {
    for (int i = 1; i <= 8; ++i) {
        const std::string name = "APTAJ" + std::to_string(i);
        to.push_back(asText ? FieldDef::character(name, 9) : FieldDef::numeric(name, 9));
    }
}

// The three header layouts differ in FINKOD, the doctor code fields
// (text until 2024.04, numbers after), ORVTIP, the TAJ fields (numbers in
// HOSA) and the identifier type, payment category and citizenship.
FieldList headerFields(Layout id) {
    const bool hosa = id == Layout::Hosa, hosauj2 = id == Layout::Hosauj2;
    FieldList f = keyFields(!hosa);
    if (hosauj2) append(f, {N("ORVKODE", 6), N("ORVKODJ", 6), C("ORVTIP", 1)});
    else append(f, {C("ORVKODE", 6), C("ORVKODJ", 6)});
    f.push_back(hosa ? N("TAJ", 9) : C("TAJ", 9));
    append(f, {C("KOZIGKOD", 7), N("TERPOT", 1), C("CIM", 25), C("NEME", 1), D("SZULIDO")});
    if (!hosa) append(f, {C("AZTIP", 1), C("TERKAT", 2), C("ALLAMP", 3)});
    append(f, {D("ELREND"), D("SZAKVET"), N("ELVIZDB", 3), C("GYAK", 15), N("ELSZVIZ", 3), N("ELSZAM", 3),
               D("LEZDAT")});
    appendNurses(f, !hosa);
    append(f, {N("ONAPDB", 3), C("MODIDO", 6), C("MODTIPUS", 1)});
    return f;
}

FieldList visitFields(bool uj) {
    FieldList f = keyFields(uj);
    append(f, {C("TEVKOD", 8), D("APDATUM"), uj ? C("APBTAJ", 9) : N("APBTAJ", 9)});
    return f;
}

FieldList diagnosisFields(bool uj) {
    FieldList f = keyFields(uj);
    append(f, {N("BNOTIP", 1), C("BNOKOD", 5)});
    return f;
}

std::vector<OutgoingLayout> makeLayouts() {
    std::vector<OutgoingLayout> all;
    auto add = [&](Layout id, const char* name, FieldList fields, std::array<uint8_t, 3> date, uint8_t driver) {
        OutgoingLayout l;
        l.id = id;
        l.name = name;
        l.fields = std::move(fields);
        l.updateDate = date;
        l.languageDriver = driver;
        all.push_back(std::move(l));
    };
    add(Layout::Hosa, "HOSA", headerFields(Layout::Hosa), {11, 6, 8}, 0);
    add(Layout::Hosauj, "HOSAUJ", headerFields(Layout::Hosauj), {16, 1, 14}, 0);
    add(Layout::Hosauj2, "HOSAUJ2", headerFields(Layout::Hosauj2), {24, 5, 30}, 0x64);
    add(Layout::Hosb, "HOSB", visitFields(false), {11, 6, 8}, 0x22);
    all.back().offsetsInDescriptors = false;
    add(Layout::Hosbuj, "HOSBUJ", visitFields(true), {15, 10, 8}, 0);
    add(Layout::Hosc, "HOSC", diagnosisFields(false), {11, 6, 8}, 0);
    add(Layout::Hoscuj, "HOSCUJ", diagnosisFields(true), {16, 1, 14}, 0);
    add(Layout::OldVisits, "HOSB-2009", store::schema::HosbBefore200909Fields(), {}, 0);
    all.back().hasTemplate = false;
    add(Layout::OldDiagnoses, "HOSC-2009", store::schema::HoscBefore200909Fields(), {}, 0);
    all.back().hasTemplate = false;
    return all;
}

void put16(std::string& b, size_t at, int v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& b, size_t at, int v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, (v >> 16) & 0xFFFF);
}

} // namespace

int OutgoingLayout::recordLength() const {
    int length = 1;
    for (const FieldDef& f : fields) length += f.width;
    return length;
}

const OutgoingLayout& outgoingLayout(Layout id) {
    static const std::vector<OutgoingLayout> all = makeLayouts();
    for (const OutgoingLayout& l : all)
        if (l.id == id) return l;
    throw std::logic_error("unknown outgoing layout");
}

std::string templateBytes(const OutgoingLayout& layout) {
    if (!layout.hasTemplate) throw std::logic_error(layout.name + " has no template");
    std::string b(static_cast<size_t>(layout.headerLength()), '\0');
    b[0] = 0x03;
    for (int i = 0; i < 3; ++i) b[1 + i] = static_cast<char>(layout.updateDate[i]);
    put16(b, 8, layout.headerLength());
    put16(b, 10, layout.recordLength());
    b[29] = static_cast<char>(layout.languageDriver);
    int offset = 1;
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        const FieldDef& f = layout.fields[i];
        const size_t at = 32 + 32 * i;
        b.replace(at, f.name.size(), f.name);
        b[at + 11] = f.type;
        if (layout.offsetsInDescriptors) put32(b, at + 12, offset);
        b[at + 16] = static_cast<char>(f.width);
        b[at + 17] = static_cast<char>(f.decimals);
        offset += f.width;
    }
    b.back() = '\x0D';
    return b;
}

ShipmentLayouts layoutsForPeriod(const std::string& period) {
    // Periods "YYYY.MM" compare as text.
    if (period < "2009.09") return {Layout::Hosa, Layout::OldVisits, Layout::OldDiagnoses};
    if (period < "2016.01") return {Layout::Hosa, Layout::Hosb, Layout::Hosc};
    if (period <= "2024.04") return {Layout::Hosauj, Layout::Hosbuj, Layout::Hoscuj};
    return {Layout::Hosauj2, Layout::Hosbuj, Layout::Hoscuj};
}

} // namespace velmora::exchange
