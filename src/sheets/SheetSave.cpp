// "Mentés": the sheet check, the question, then the sheet's two rows, the
// patient, the doctors and the series' TELE marks as one write unit.
#include "app/TextHelpers.h"
#include "db/Collation.h"
#include "db/DbError.h"
#include "db/WriteUnit.h"
#include "sheets/CrossChecks.h"
#include "sheets/FieldChecks.h"
#include "sheets/RowLookup.h"
#include "sheets/SendingState.h"
#include "sheets/SheetHistory.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetStore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::sheets {

namespace {

db::Table& table(db::Database& db, const store::schema::TableDef& def) { return store::tableOf(db, def); }

// INTKOD of the provider's row in PART.
std::string providerCode(db::Database& db) {
    const db::Table& part = table(db, store::schema::PART());
    for (uint32_t r = 0, n = part.physicalCount(); r < n; ++r)
        if (!part.isDeletedAt(r)) return fieldText(part, r, "INTKOD");
    return {};
}

db::Value textOrBlank(const std::string& text) { return app::IsBlank(text) ? db::Value() : db::Value(text); }

// Writes the values into the row holding `code` in `keyField`, or appends
// a row; fields that already hold their value are left alone.
void storeRow(db::Table& t, const std::string& keyField, const std::string& code,
              const std::vector<std::pair<std::string, db::Value>>& values) {
    std::vector<std::pair<int, db::Value>> changes;
    const auto row = rowWith(t, keyField, code);
    for (const auto& [name, value] : values) {
        const int column = t.fieldIndex(name);
        if (column < 0) throw db::DbError(db::DbError::Code::NotFound, "A(z) " + t.fileName() + " állományban nincs " + name + " mező.");
        if (!row || t.valueAt(*row, column) != value) changes.emplace_back(column, value);
    }
    if (row) {
        if (!changes.empty()) t.updateValues(*row, changes);
        return;
    }
    std::vector<db::Value> record(t.fields().size());
    for (auto& [column, value] : changes) record[column] = std::move(value);
    t.appendValues(record);
}

// The sheet's patient in BETEG, found by TAJ or added: the sheet's patient
// data overwrite what is stored.
void storePatient(const SheetForm& form, db::Database& db) {
    std::vector<std::pair<std::string, db::Value>> values = {
        {"TAJ", textOrBlank(form.m_taj)},        {"Nev", textOrBlank(form.m_nev)},
        {"Kozigkod", textOrBlank(form.m_kozigkod)}, {"Cime1", textOrBlank(form.m_cim1)},
        {"Cime2", textOrBlank(form.m_cim2)},     {"Szulh", textOrBlank(form.m_szh)},
        {"Szuli", dateBlank(form.m_szido) ? db::Value() : db::Value(form.m_szido)},
    };
    if (recordsPatientCategory(form.m_idosz)) values.emplace_back("Aztip", textOrBlank(form.m_aztip));
    if (form.bnem == "Férfi") values.emplace_back("Neme", db::Value("F"));
    if (form.bnem == "Nő") values.emplace_back("Neme", db::Value("N"));
    storeRow(table(db, store::schema::BETEG()), "TAJ", form.m_taj, values);
}

// The ordering doctor, and the proposing one when there is one and the
// ordering doctor's code is not the placeholder "00000".
void storeDoctors(const SheetForm& form, db::Database& db) {
    db::Table& orvos = table(db, store::schema::ORVOS());
    auto store = [&](const std::string& code, const std::string& name) {
        storeRow(orvos, "Orvoskod", code, {{"Orvoskod", textOrBlank(code)}, {"Onev", textOrBlank(name)}});
    };
    store(form.m_eorv, form.orv1);
    if (!app::IsBlank(form.m_jorv) && form.m_eorv != "00000") store(form.m_jorv, form.orv2);
}

// Modify mode: the fund hears of the change unless the period's shipment
// closed this month and today is at most the 10th.
void applyCorrectionMark(Sheet& sheet, db::Database& db, const app::Clock& clock) {
    const db::Table& zaras = table(db, store::schema::ZARAS());
    const auto row = rowWith(zaras, "Idoszak", sheet.key.idoszak);
    const bool applies =
        correctionMarkApplies(row.has_value(), row ? fieldText(zaras, *row, "Zaras") : std::string(), clock.today());
    const SendingFields after = transition({sheet.elkuldve, sheet.modtipus},
                                           {SendingEvent::Modification, sheet.key.idoszak, {}, applies});
    sheet.elkuldve = after.elkuldve;
    sheet.modtipus = after.modtipus;
}

void writeSheet(SheetForm& form, SheetContext& ctx, const std::optional<Sheet>& stored) {
    Sheet sheet = sheetOfForm(form, ctx, stored ? &*stored : nullptr);
    if (stored) applyCorrectionMark(sheet, ctx.db, ctx.session.clock());
    const SheetSnapshot before = stored ? snapshotOf(ctx.db, sheet.key) : SheetSnapshot{};
    db::WriteUnit unit(ctx.db);
    if (stored) rewriteSheet(ctx.db, sheet);
    else appendSheet(ctx.db, sheet);
    storePatient(form, ctx.db);
    storeDoctors(form, ctx.db);
    telenez(ctx.db, sheet.key.sorsz, sheet.key.idoszak.substr(0, 4), false);
    recordChange(ctx.db, stored ? store::history::kModify : store::history::kNewSheet, sheet.key, before);
    unit.commit();
}

} // namespace

Sheet sheetOfForm(const SheetForm& form, const SheetContext& ctx, const Sheet* stored) {
    Sheet sheet = stored ? *stored : Sheet{};
    const std::string& period = form.m_idosz;
    sheet.key = form.key();
    sheet.intkod = providerCode(ctx.db);
    sheet.finkod = ctx.session.v_finkod;
    sheet.taj = form.m_taj;
    sheet.kozigkod = form.m_kozigkod;
    sheet.tpotl = form.CB1 ? "I" : "N";
    sheet.bnofek = form.m_fekvd;
    sheet.bnoab = form.m_alapb;
    sheet.bnofo = form.m_fodiag;
    sheet.bnokis = form.m_kiserd;
    sheet.orvkode = form.m_eorv;
    sheet.orvkodj = app::IsBlank(form.m_jorv) ? "0" : form.m_jorv;
    sheet.orvtip = recordsDoctorType(period) ? form.m_eorvtip : std::string();
    sheet.elrend = form.m_elrend;
    sheet.szakvet = form.m_szakvet;
    sheet.gyak = form.m_gyak;
    sheet.elvizdb = wholeNumber(form.m_elviz).value_or(0);
    sheet.elszviz = wholeNumber(form.m_elszviz).value_or(0);
    sheet.elszam = wholeNumber(form.m_elszam).value_or(0);
    sheet.lezdat = dateBlank(form.m_lezdat) ? std::string() : form.m_lezdat;
    sheet.aptaj = form.aptev;
    // Before 2016.01 these are not asked: a stored sheet keeps what it had.
    if (recordsPatientCategory(period)) {
        sheet.aztip = form.m_aztip;
        sheet.terkat = form.m_terkat;
        sheet.allamp = db::collation::toUpper(form.m_allp);
    }
    sheet.sznap = form.vizitdb;
    // A day is stored only when both its code and its nurse are filled; the
    // fund's result of the day stays.
    for (int d = 0; d < form.tnap && d < kMaxDays; ++d) {
        Visit& visit = sheet.visits[d];
        const bool visited = !app::IsBlank(form.tev[d]) && !app::IsBlank(form.aptaj[d]);
        visit.apdat = visited ? form.apdat[d] : std::string();
        visit.tev = visited ? form.tev[d] : std::string();
        visit.apbtaj = visited ? form.aptaj[d] : std::string();
    }
    return sheet;
}

SheetCheckResult checkForSave(SheetForm& form, SheetContext& ctx) {
    // "Mentés" may come straight from a typed code, before its field's exit.
    placeActivityCodes(form.tev);
    SheetCheckResult result = sheetCheck(form, ctx);
    if (!result.passed()) result.findings.push_back(app::Finding::refusal({}, app::Msg::SheetNotSavable));
    return result;
}

FocusMove refusedFocus(const app::Findings& findings) {
    const std::string field = app::firstRefusalField(findings);
    return FocusMove::to(field.empty() ? "m_taj" : field);
}

app::Findings storeSheet(SheetForm& form, SheetContext& ctx) {
    const SheetKey key = form.key();
    try {
        std::optional<Sheet> stored;
        if (form.modifying()) {
            stored = loadSheet(ctx.db, key);
            if (!stored)
                throw db::DbError(db::DbError::Code::NotFound, "A(z) HLapa.dbf állományban nincs meg a(z) " +
                                                                   key.number() + " számú lap (" + key.idoszak + ").");
        } else if (sheetExists(ctx.db, key)) {
            return {app::Finding::refusal({}, app::Msg::SheetExists)};
        }
        writeSheet(form, ctx, stored);
    } catch (const std::exception& e) {
        // The unit rolled back: nothing of the sheet reached any table.
        return {app::Finding::failure({}, app::Msg::QueryFailed, e.what())};
    }
    return {};
}

SaveResult saveSheet(SheetForm& form, SheetContext& ctx) {
    const SheetCheckResult checked = checkForSave(form, ctx);
    takeCheck(form, checked, app::present(ctx.dialogs, checked.findings));
    if (!checked.passed()) return {SaveOutcome::Refused, refusedFocus(checked.findings)};
    if (!ctx.dialogs.ask(app::question(app::Msg::SaveSheetQuestion))) return {SaveOutcome::Declined, FocusMove::stay()};
    if (!app::presented(ctx.dialogs, storeSheet(form, ctx))) return {SaveOutcome::Refused, FocusMove::stay()};
    return {SaveOutcome::Saved, FocusMove::stay()};
}

} // namespace velmora::sheets
