// The check of each entry-window field when the focus leaves it. A failed
// check shows its message and names the control to go back to; the typed
// text stays, and nothing is stored (except a nurse named in an activity
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

namespace {

using Exit = std::function<FocusMove(SheetForm&, SheetContext&)>;

db::Table& table(SheetContext& ctx, const store::schema::TableDef& def) { return store::tableOf(ctx.db, def); }

FocusMove back(const std::string& control) { return FocusMove::to(control); }
const FocusMove kStay = FocusMove::stay();

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

// --- the patient -------------------------------------------------------------

FocusMove tajExit(SheetForm& form, SheetContext& ctx) {
    form.betf = false;
    if (tajTestApplies(form) && !app::TajCheckDigitOk(form.m_taj)) {
        ctx.dialogs.error("Nem létező TAJ szám!");
        return back("m_taj");
    }
    if (!app::CheckMandatory(form.m_taj, ctx.dialogs)) return back("m_taj");
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
    if (const auto days = patientDays(ctx.db, form.key(), form.m_taj)) form.tszam = *days;
    else ctx.dialogs.error("Hiba a lefutásban!");
    return kStay;
}

// A substitute identifier only for a type just changed to "0" or for an
// empty TAJ field: an identifier already on the sheet stays, or the sheet
// would move to another (new) patient.
FocusMove aztipExit(SheetForm& form, SheetContext& ctx) {
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
    return [control](SheetForm& form, SheetContext& ctx) {
        return app::CheckMandatory(*form.text(control), ctx.dialogs) ? kStay : back(control);
    };
}

FocusMove sexExit(SheetForm& form, SheetContext& ctx) {
    if (form.bnem == "Férfi" || form.bnem == "Nő") return kStay;
    ctx.dialogs.error("A nem csak nő, vagy férfi lehet!");
    return back("bnem");
}

FocusMove settlementExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& telepul = table(ctx, store::schema::TELEPUL());
    if (const auto row = rowWith(telepul, "KOZIGKOD", form.m_kozigkod)) {
        form.m_cim1 = fieldText(telepul, *row, "HELYNEV");
        return back("m_cim2");
    }
    ctx.dialogs.warning("Nincs ilyen település");
    return back("m_kozigkod");
}

FocusMove birthDateExit(SheetForm& form, SheetContext& ctx) {
    return app::CheckDateFrom1895(form.m_szido, ctx.session.mIdoszak, ctx.dialogs) ? kStay : back("m_szido");
}

// --- diagnoses and doctors ---------------------------------------------------

Exit diagnosisExit(const std::string& control, const std::string& label, bool required) {
    return [=](SheetForm& form, SheetContext& ctx) {
        const std::string& code = *form.text(control);
        if (app::IsBlank(code)) {
            if (required) {
                app::CheckMandatory(code, ctx.dialogs);
                return back(control);
            }
            form.text(label)->clear();
            return kStay;
        }
        if (!app::CheckNotZCode(code, ctx.dialogs)) return back(control);
        const db::Table& bno = table(ctx, store::schema::BNOTORZS());
        const auto row = rowWith(bno, "KOD10", code);
        if (!row) {
            ctx.dialogs.error("Nincs a BNO kód a törzsben!");
            return back(control);
        }
        *form.text(label) = fieldText(bno, *row, "NEV");
        return kStay;
    };
}

FocusMove orderingDoctorExit(SheetForm& form, SheetContext& ctx) {
    if (!app::CheckMandatory(form.m_eorv, ctx.dialogs)) return back("m_eorv");
    const db::Table& orvos = table(ctx, store::schema::ORVOS());
    const auto row = rowWith(orvos, "Orvoskod", form.m_eorv);
    if (!row) return back("orv1");  // a new doctor: the name is typed there
    form.orv1 = fieldText(orvos, *row, "Onev");
    return back("m_jorv");
}

FocusMove proposingDoctorExit(SheetForm& form, SheetContext& ctx) {
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

bool dateFilled(const std::string& text, SheetContext& ctx) {
    if (!dateBlank(text)) return true;
    ctx.dialogs.error(app::kMandatoryField);
    return false;
}

FocusMove orderDateExit(SheetForm& form, SheetContext& ctx) {
    if (!dateFilled(form.m_elrend, ctx)) return back("m_elrend");
    return app::CheckDateFrom1996(form.m_elrend, ctx.session.mIdoszak, ctx.dialogs) ? kStay : back("m_elrend");
}

FocusMove startOfCareExit(SheetForm& form, SheetContext& ctx) {
    if (!dateFilled(form.m_szakvet, ctx)) return back("m_szakvet");
    if (!app::IsValidDateText(form.m_szakvet)) {
        ctx.dialogs.error("Érvénytelen dátum!!");
        return back("m_szakvet");
    }
    return overlapCheck(ctx.db, form.key(), form.m_taj, form.m_elrend, form.m_szakvet, ctx.dialogs)
               ? kStay
               : back("m_szakvet");
}

FocusMove orderedDaysExit(SheetForm& form, SheetContext& ctx) {
    if (!app::CheckMandatory(form.m_elviz, ctx.dialogs)) return back("m_elviz");
    return numberCheck(form.m_elviz, DayCountField::Ordered, ctx.dialogs) ? kStay : back("m_elviz");
}

FocusMove orderNumberExit(SheetForm& form, SheetContext& ctx) {
    if (!app::CheckMandatory(form.m_elszam, ctx.dialogs)) return back("m_elszam");
    const auto number = wholeNumber(form.m_elszam);
    if (!number) {
        ctx.dialogs.error("Csak szám írható a mezőbe!");
        return back("m_elszam");
    }
    if (*number == 0) {
        ctx.dialogs.error("A folyamatos elrendelés nem lehet 0!");
        return back("m_elszam");
    }
    const OrderNumberResult result =
        orderNumberCheck(ctx.db, form.key(), form.m_taj, form.m_elszam, OrderNumberForm::Field, ctx.dialogs);
    if (result.elszam) form.m_elszam = *result.elszam;
    return result.passed ? kStay : back("m_elszam");
}

FocusMove billedDaysExit(SheetForm& form, SheetContext& ctx) {
    if (!numberCheck(form.m_elszviz, DayCountField::Billed, ctx.dialogs)) return back("m_elszviz");
    const auto ordered = wholeNumber(form.m_elviz);
    if (!ordered) {
        ctx.dialogs.error("Csak szám írható a mezőbe!");
        return back("m_elviz");
    }
    if (*ordered < wholeNumber(form.m_elszviz).value_or(0)) {
        ctx.dialogs.error("Nem lehet több az elszámolt nap, mint az elrendelés!");
        return back("m_elszviz");
    }
    return kStay;
}

FocusMove closingDateExit(SheetForm& form, SheetContext& ctx) {
    return closingDateCheck(form.m_lezdat, form.m_szakvet, form.m_idosz, ctx.dialogs) ? kStay : back("m_lezdat");
}

// --- activity nurses -----------------------------------------------------------

std::string numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// Leaving any nurse TAJ of the activities: each filled one is tested and
// its name looked up; an unknown nurse's name field gets the focus.
FocusMove activityNurseExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    FocusMove focus = kStay;
    for (int k = 1; k <= kActivities; ++k) {
        const std::string& taj = form.aptev[k - 1];
        if (app::IsBlank(taj)) continue;
        if (!app::TajCheckDigitOk(taj)) {
            ctx.dialogs.warning("Nem létező TAJ szám!");
            return back(numbered("aptev", k));
        }
        if (const auto row = rowWith(apol, "Aptaj", taj)) form.apnev[k - 1] = fieldText(apol, *row, "Anev");
        else focus = back(numbered("apnev", k));
    }
    return focus;
}

// A nurse's row in APOL, stored at once: she is a nurse whether or not
// the sheet is ever saved.
bool addNurse(const std::string& taj, const std::string& name, SheetContext& ctx) {
    db::Table& apol = table(ctx, store::schema::APOL());
    try {
        db::WriteUnit unit(ctx.db);
        std::vector<db::Value> row(apol.fields().size());
        row[apol.fieldIndex("Aptaj")] = db::Value(taj);
        row[apol.fieldIndex("Anev")] = db::Value(name);
        apol.appendValues(row);
        unit.commit();
        return true;
    } catch (const std::exception& e) {
        ctx.dialogs.error("Hiba a lefutásban!", e.what());
        return false;
    }
}

FocusMove activityNurseNameExit(SheetForm& form, const std::string& control, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    for (int k = 1; k <= kActivities; ++k) {
        const std::string& taj = form.aptev[k - 1];
        if (app::IsBlank(taj)) continue;
        if (app::IsBlank(form.apnev[k - 1])) {
            ctx.dialogs.error("Az ápoló nevét ki kell tölteni!");
            return back(numbered("apnev", k));
        }
        if (hasRowWith(apol, "Aptaj", taj)) continue;
        // Only a TAJ number that can be one names a new nurse.
        if (!app::TajCheckDigitOk(taj)) {
            ctx.dialogs.warning("Nem létező TAJ szám!");
            return back(numbered("aptev", k));
        }
        if (!addNurse(taj, form.apnev[k - 1], ctx)) return back(numbered("apnev", k));
    }
    return control == "apnev8" ? back("tev1") : kStay;
}

// --- the visit grid --------------------------------------------------------------

// A typed code is kept in its positional form: the nurse rule and the
// counting read positions.
FocusMove activityExit(SheetForm& form, int day, SheetContext& ctx) {
    std::string& tev = form.tev[day - 1];
    if (app::IsBlank(tev)) return kStay;
    const auto placed = ActivityCode::placed(tev);
    if (!placed) {
        ctx.dialogs.error("A tevékenység kódja csak 1 és 8 között lehet!");
        return back(numbered("tev", day));
    }
    tev = *placed;
    if (!activityNursesFilled(tev, form.aptev)) {
        ctx.dialogs.error("A tevékenységeknek megfelelő ápoló nincs kitöltve!");
        return back(numbered("tev", day));
    }
    return kStay;
}

// Leaving any visiting nurse: the days are walked, counted into vszam, and
// the count held against the days ordered and billed.
FocusMove visitNurseExit(SheetForm& form, SheetContext& ctx) {
    const db::Table& apol = table(ctx, store::schema::APOL());
    int visits = 0;
    for (int d = 1; d <= form.tnap && d <= kMaxDays; ++d) {
        const bool hasNurse = !app::IsBlank(form.aptaj[d - 1]);
        const bool hasActivity = !app::IsBlank(form.tev[d - 1]);
        if (hasNurse && !hasRowWith(apol, "Aptaj", form.aptaj[d - 1])) {
            ctx.dialogs.error("Nem szerepel az ápoló a törzsben!");
            return back(numbered("aptaj", d));
        }
        if (hasNurse && hasActivity) ++visits;
        else if (hasNurse || hasActivity) {
            ctx.dialogs.error("A " + std::to_string(d) + ". napi adatokat ki kell tölteni!");
            return back(numbered("tev", d));
        }
    }
    form.vszam = std::to_string(visits);
    const auto ordered = wholeNumber(form.m_elviz);
    const auto billed = app::IsBlank(form.m_elszviz) ? std::optional<int>(0) : wholeNumber(form.m_elszviz);
    if (!ordered || !billed) {
        ctx.dialogs.error("Csak szám írható a mezőbe!");
        return kStay;
    }
    if (!dayCountFits(visits, *ordered, *billed))
        ctx.dialogs.error("A napok száma nem lehet több 50-nél, és az elrendelt napoknál!");
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

FocusMove leaveField(SheetForm& form, const std::string& control, SheetContext& ctx) {
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
