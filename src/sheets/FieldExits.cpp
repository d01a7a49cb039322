// The check of each entry-window field when the focus leaves it. A failed
// check is a finding that names the control to go back to; the typed text
// stays, and nothing is stored (except a nurse named in an activity
// nurse's name field, who joins APOL at once).
#include "app/TextHelpers.h"
#include "db/WriteUnit.h"
#include "masterdata/MasterData.h"
#include "sheets/CrossChecks.h"
#include "sheets/FieldChecks.h"
#include "sheets/RowLookup.h"
#include "sheets/SheetEntry.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <functional>
#include <map>

namespace velmora::sheets {

FocusMove FieldExit::focus() const {
    const std::string field = app::firstRefusalField(findings);
    return field.empty() ? move : FocusMove::to(field);
}

namespace {

using app::Finding;
using app::Msg;
using Exit = std::function<FieldExit(SheetForm&, SheetContext&)>;

db::Table& table(SheetContext& ctx, const store::schema::TableDef& def) { return store::tableOf(ctx.db, def); }

FieldExit back(const std::string& control) { return {{}, FocusMove::to(control)}; }
const FieldExit kStay{};
FieldExit refuse(const std::string& control, Msg id, const std::vector<std::string>& values = {}) {
    return {{Finding::refusal(control, id, values)}, {}};
}
// Findings that refuse send the focus back to their control.
FieldExit found(app::Findings findings) { return {std::move(findings), {}}; }

// "aptev3" -> 3 for prefix "aptev"; 0 when the name is not prefix + a number.
int numberAfter(const std::string& control, const std::string& prefix) {
    if (control.rfind(prefix, 0) != 0 || control.size() == prefix.size()) return 0;
    int n = 0;
    for (size_t i = prefix.size(); i < control.size(); ++i) {
        if (control[i] < '0' || control[i] > '9' || n > kMaxDays) return 0;
        n = n * 10 + (control[i] - '0');
    }
    return n;
}

// Types of identifier other than a TAJ number are not digit-tested; sheets
// before the identifier type was asked hold TAJ numbers only.
bool tajTestApplies(const SheetForm& form) {
    return !recordsPatientCategory(form.m_idosz) || form.m_aztip == "1";
}

std::string numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// --- the patient -------------------------------------------------------------

FieldExit tajExit(SheetForm& form, SheetContext& ctx) {
    form.betf = false;
    if (tajTestApplies(form) && !app::TajCheckDigitOk(form.m_taj)) return refuse("m_taj", Msg::TajInvalid);
    if (auto blank = app::mandatory(form.m_taj, "m_taj"); !blank.empty()) return found(blank);
    const db::Table& beteg = table(ctx, store::schema::BETEG());
    if (const auto row = rowWith(beteg, "TAJ", form.m_taj)) {
        form.m_nev = fieldText(beteg, *row, "Nev");
        form.m_kozigkod = fieldText(beteg, *row, "Kozigkod");
        form.m_cim1 = fieldText(beteg, *row, "Cime1");
        form.m_cim2 = fieldText(beteg, *row, "Cime2");
        // A patient stored before the identifier type was asked has none:
        // the type shown stays.
        if (const std::string aztip = fieldText(beteg, *row, "Aztip"); !aztip.empty()) form.m_aztip = aztip;
        form.tajAztip = form.m_aztip;
        form.m_szh = fieldText(beteg, *row, "Szulh");
        form.m_szido = fieldText(beteg, *row, "Szuli");
        form.bnem = sexName(fieldText(beteg, *row, "Neme"));
        form.betf = true;
    }
    // The days are counted again by the sheet check: a failure here only
    // tells, the focus goes on.
    std::string cause;
    if (const auto days = patientDays(ctx.db, form.key(), form.m_taj, &cause)) form.tszam = *days;
    else return found({Finding::failure({}, Msg::QueryFailed, cause)});
    return kStay;
}

// A substitute identifier only for a type just changed to "0" or for an
// empty TAJ field: an identifier already on the sheet stays, or the sheet
// would move to another (new) patient.
FieldExit aztipExit(SheetForm& form, SheetContext& ctx) {
    const bool changedToSubstitute = form.m_aztip == "0" && form.tajAztip != "0";
    if (form.m_aztip == "0" && (changedToSubstitute || app::IsBlank(form.m_taj)))
        form.m_taj = masterdata::GeneratedPatientId(table(ctx, store::schema::BETEG()));
    form.tajAztip = form.m_aztip;
    return kStay;
}

// The patient's own fields are not checked while the TAJ typed last names
// a known patient.
Exit unlessKnown(Exit exit) {
    return [exit](SheetForm& form, SheetContext& ctx) { return form.betf ? kStay : exit(form, ctx); };
}

Exit mandatory(const std::string& control) {
    return [control](SheetForm& form, SheetContext&) { return found(app::mandatory(*form.text(control), control)); };
}

FieldExit sexExit(SheetForm& form, SheetContext&) {
    if (form.bnem == "Férfi" || form.bnem == "Nő") return kStay;
    return refuse("bnem", Msg::SexInvalid);
}

FieldExit settlementExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& telepul = table(ctx, store::schema::TELEPUL());
    if (const auto row = rowWith(telepul, "KOZIGKOD", form.m_kozigkod)) {
        form.m_cim1 = fieldText(telepul, *row, "HELYNEV");
        return back("m_cim2");
    }
    return found({Finding::refusalAsWarning("m_kozigkod", Msg::NoSettlement)});
}

FieldExit birthDateExit(SheetForm& form, SheetContext& ctx) {
    return found(app::dateFrom1895(form.m_szido, ctx.session.mIdoszak, "m_szido"));
}

// --- diagnoses and doctors ---------------------------------------------------

Exit diagnosisExit(const std::string& control, const std::string& label, bool required) {
    return [=](SheetForm& form, SheetContext& ctx) {
        const std::string& code = *form.text(control);
        if (app::IsBlank(code)) {
            if (required) return found(app::mandatory(code, control));
            form.text(label)->clear();
            return kStay;
        }
        if (auto z = app::notZCode(code, control); !z.empty()) return found(z);
        const db::Table& bno = table(ctx, store::schema::BNOTORZS());
        const auto row = rowWith(bno, "KOD10", code);
        if (!row) return refuse(control, Msg::BnoMissing);
        *form.text(label) = fieldText(bno, *row, "NEV");
        return kStay;
    };
}

FieldExit orderingDoctorExit(SheetForm& form, SheetContext& ctx) {
    if (auto blank = app::mandatory(form.m_eorv, "m_eorv"); !blank.empty()) return found(blank);
    const db::Table& orvos = table(ctx, store::schema::ORVOS());
    const auto row = rowWith(orvos, "Orvoskod", form.m_eorv);
    if (!row) return back("orv1");  // a new doctor: the name is typed there
    form.orv1 = fieldText(orvos, *row, "Onev");
    return back("m_jorv");
}

FieldExit proposingDoctorExit(SheetForm& form, SheetContext& ctx) {
    if (app::IsBlank(form.m_jorv)) {
        form.orv2.clear();
        return kStay;
    }
    const db::Table& orvos = table(ctx, store::schema::ORVOS());
    const auto row = rowWith(orvos, "Orvoskod", form.m_jorv);
    if (!row) return back("orv2");
    form.orv2 = fieldText(orvos, *row, "Onev");
    return kStay;
}

// --- the order ---------------------------------------------------------------

app::Findings dateFilled(const std::string& text, const std::string& control) {
    if (!dateBlank(text)) return {};
    return {Finding::refusal(control, Msg::MandatoryField)};
}

FieldExit orderDateExit(SheetForm& form, SheetContext& ctx) {
    if (auto blank = dateFilled(form.m_elrend, "m_elrend"); !blank.empty()) return found(blank);
    return found(app::dateFrom1996(form.m_elrend, ctx.session.mIdoszak, "m_elrend"));
}

FieldExit startOfCareExit(SheetForm& form, SheetContext& ctx) {
    if (auto blank = dateFilled(form.m_szakvet, "m_szakvet"); !blank.empty()) return found(blank);
    if (!app::IsValidDateText(form.m_szakvet)) return refuse("m_szakvet", Msg::InvalidDate);
    return found(overlapCheck(ctx.db, form.key(), form.m_taj, form.m_elrend, form.m_szakvet, "m_szakvet"));
}

FieldExit orderedDaysExit(SheetForm& form, SheetContext&) {
    if (auto blank = app::mandatory(form.m_elviz, "m_elviz"); !blank.empty()) return found(blank);
    return found(numberCheck(form.m_elviz, DayCountField::Ordered, "m_elviz"));
}

FieldExit orderNumberExit(SheetForm& form, SheetContext& ctx) {
    if (auto blank = app::mandatory(form.m_elszam, "m_elszam"); !blank.empty()) return found(blank);
    const auto number = wholeNumber(form.m_elszam);
    if (!number) return refuse("m_elszam", Msg::OnlyNumber);
    if (*number == 0) return refuse("m_elszam", Msg::OrderNumberZero);
    OrderNumberResult result =
        orderNumberCheck(ctx.db, form.key(), form.m_taj, form.m_elszam, OrderNumberForm::Field, "m_elszam");
    // The number the rule expects replaces a refused one in the field.
    if (result.elszam) form.m_elszam = *result.elszam;
    return found(std::move(result.findings));
}

FieldExit billedDaysExit(SheetForm& form, SheetContext&) {
    if (auto wrong = numberCheck(form.m_elszviz, DayCountField::Billed, "m_elszviz"); !wrong.empty())
        return found(wrong);
    const auto ordered = wholeNumber(form.m_elviz);
    if (!ordered) return refuse("m_elviz", Msg::OnlyNumber);
    if (*ordered < wholeNumber(form.m_elszviz).value_or(0)) return refuse("m_elszviz", Msg::BilledOverOrdered);
    return kStay;
}

FieldExit closingDateExit(SheetForm& form, SheetContext&) {
    return found(closingDateCheck(form.m_lezdat, form.m_szakvet, form.m_idosz, "m_lezdat"));
}

// --- activity nurses -----------------------------------------------------------

// Leaving any nurse TAJ of the activities: each filled one is tested and
// its name looked up; an unknown nurse's name field gets the focus.
FieldExit activityNurseExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    FieldExit exit = kStay;
    for (int k = 1; k <= kActivities; ++k) {
        const std::string& taj = form.aptev[k - 1];
        if (app::IsBlank(taj)) continue;
        if (!app::TajCheckDigitOk(taj)) return found({Finding::refusalAsWarning(numbered("aptev", k), Msg::TajInvalid)});
        if (const auto row = rowWith(apol, "Aptaj", taj)) form.apnev[k - 1] = fieldText(apol, *row, "Anev");
        else exit = back(numbered("apnev", k));
    }
    return exit;
}

// A nurse's row in APOL, stored at once: she is a nurse whether or not
// the sheet is ever saved. The engine's message when the row is refused.
std::optional<std::string> addNurse(const std::string& taj, const std::string& name, SheetContext& ctx) {
    db::Table& apol = table(ctx, store::schema::APOL());
    try {
        db::WriteUnit unit(ctx.db);
        std::vector<db::Value> row(apol.fields().size());
        row[apol.fieldIndex("Aptaj")] = db::Value(taj);
        row[apol.fieldIndex("Anev")] = db::Value(name);
        apol.appendValues(row);
        unit.commit();
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
}

FieldExit activityNurseNameExit(SheetForm& form, const std::string& control, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    for (int k = 1; k <= kActivities; ++k) {
        const std::string& taj = form.aptev[k - 1];
        if (app::IsBlank(taj)) continue;
        if (app::IsBlank(form.apnev[k - 1])) return refuse(numbered("apnev", k), Msg::NurseNameMissing);
        if (hasRowWith(apol, "Aptaj", taj)) continue;
        // Only a TAJ number that can be one names a new nurse.
        if (!app::TajCheckDigitOk(taj)) return found({Finding::refusalAsWarning(numbered("aptev", k), Msg::TajInvalid)});
        if (const auto refused = addNurse(taj, form.apnev[k - 1], ctx))
            return found({Finding::failure(numbered("apnev", k), Msg::QueryFailed, *refused)});
    }
    return control == "apnev8" ? back("tev1") : kStay;
}

// --- the visit grid --------------------------------------------------------------

// A typed code is kept in its positional form: the nurse rule and the
// counting read positions.
FieldExit activityExit(SheetForm& form, int day, SheetContext&) {
    std::string& tev = form.tev[day - 1];
    if (app::IsBlank(tev)) return kStay;
    const auto placed = ActivityCode::placed(tev);
    if (!placed) return refuse(numbered("tev", day), Msg::ActivityCodeRange);
    tev = *placed;
    if (!activityNursesFilled(tev, form.aptev)) return refuse(numbered("tev", day), Msg::ActivityNurseMissing);
    return kStay;
}

// Leaving any visiting nurse: the days are walked, counted into vszam, and
// the count held against the days ordered and billed (told, the focus
// stays where the user put it).
FieldExit visitNurseExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    int visits = 0;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d) {
        const bool hasNurse = !app::IsBlank(form.aptaj[d - 1]);
        const bool hasActivity = !app::IsBlank(form.tev[d - 1]);
        if (hasNurse && !hasRowWith(apol, "Aptaj", form.aptaj[d - 1]))
            return refuse(numbered("aptaj", d), Msg::VisitNurseUnknown);
        if (hasNurse && hasActivity) ++visits;
        else if (hasNurse || hasActivity) return refuse(numbered("tev", d), Msg::DayIncomplete, {std::to_string(d)});
    }
    form.vszam = std::to_string(visits);
    const auto ordered = wholeNumber(form.m_elviz);
    const auto billed = app::IsBlank(form.m_elszviz) ? std::optional<int>(0) : wholeNumber(form.m_elszviz);
    if (!ordered || !billed) return found({Finding::refusal({}, Msg::OnlyNumber)});
    if (!dayCountFits(visits, *ordered, *billed)) return found({Finding::refusal({}, Msg::DayCountOver)});
    return kStay;
}

const std::map<std::string, Exit>& headerExits() {
    static const std::map<std::string, Exit> exits = {
        {"m_aztip", aztipExit},
        {"m_taj", tajExit},
        {"m_nev", unlessKnown(mandatory("m_nev"))},
        {"m_cim2", unlessKnown(mandatory("m_cim2"))},
        {"bnem", unlessKnown(sexExit)},
        {"m_kozigkod", unlessKnown(settlementExit)},
        {"m_szido", unlessKnown(birthDateExit)},
        {"m_fekvd", diagnosisExit("m_fekvd", "bno1", false)},
        {"m_alapb", diagnosisExit("m_alapb", "bno2", true)},
        {"m_kiserd", diagnosisExit("m_kiserd", "bno3", false)},
        {"m_fodiag", diagnosisExit("m_fodiag", "bno4", true)},
        {"m_eorv", orderingDoctorExit},
        {"m_eorvtip", orderingDoctorExit},
        {"orv1", mandatory("orv1")},
        {"m_jorv", proposingDoctorExit},
        {"orv2", [](SheetForm&, SheetContext&) { return back("m_elrend"); }},
        {"m_elrend", orderDateExit},
        {"m_szakvet", startOfCareExit},
        {"m_elviz", orderedDaysExit},
        {"m_gyak", mandatory("m_gyak")},
        {"m_elszam", orderNumberExit},
        {"m_elszviz", billedDaysExit},
        {"m_lezdat", closingDateExit},
    };
    return exits;
}

} // namespace

FieldExit leaveField(SheetForm& form, const std::string& control, SheetContext& ctx) {
    if (!form.editable()) return kStay;
    const auto& exits = headerExits();
    if (const auto it = exits.find(control); it != exits.end()) return it->second(form, ctx);
    if (numberAfter(control, "aptev") >= 1 && numberAfter(control, "aptev") <= kActivities)
        return activityNurseExit(form, ctx);
    if (numberAfter(control, "apnev") >= 1 && numberAfter(control, "apnev") <= kActivities)
        return activityNurseNameExit(form, control, ctx);
    if (const int day = numberAfter(control, "tev"); day >= 1 && day <= kMaxDays) return activityExit(form, day, ctx);
    if (const int day = numberAfter(control, "aptaj"); day >= 1 && day <= kMaxDays) return visitNurseExit(form, ctx);
    return kStay;
}

} // namespace velmora::sheets
