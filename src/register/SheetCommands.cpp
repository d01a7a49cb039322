#include "register/SheetCommands.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "sheets/SheetHistory.h"
#include "sheets/CrossChecks.h"
#include "sheets/SendingState.h"
#include "sheets/SheetStore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

namespace velmora::reg {

namespace {

constexpr const char* kFundMark = "xxxx.xx";
constexpr const char* kChanged = "YY";
constexpr const char* kKeyTaken = "Ilyen sorszámú lap már van! A javítás nem hajtható végre!";
constexpr const char* kLaterParts = "A részszámlának már vannak további részei! Nem alakítható teljes számlává!";

bool fromFund(const std::string& elkuldve) { return elkuldve == kFundMark; }

std::string yearOf(const sheets::SheetKey& key) { return key.idoszak.substr(0, 4); }

db::Value textOrNull(const std::string& s) { return app::IsBlank(s) ? db::Value() : db::Value(s); }

// The stored sheet a command changes; the fund's sheets are never changed.
sheets::Sheet changeableSheet(db::Database& db, const sheets::SheetKey& key) {
    std::optional<sheets::Sheet> sheet = sheets::loadSheet(db, key);
    if (!sheet)
        throw db::DbError(db::DbError::Code::NotFound, "A(z) HLapa.dbf állományban nincs meg a(z) " + key.number() +
                                                           " számú lap (" + key.idoszak + ").");
    if (fromFund(sheet->elkuldve)) throw app::UserError(kFromFund);
    return *sheet;
}

bool visitRowExists(db::Database& db, const sheets::SheetKey& key) {
    return !db::Sql(db)
                .run("select 1 from hlapb where idoszak=? and sorsz=? and resz is ? limit 1",
                     {db::Value(key.idoszak), db::Value(key.sorsz), textOrNull(key.resz)})
                .rows.empty();
}

// Parts after "A" of the series in its year.
bool seriesHasLaterParts(db::Database& db, const sheets::SheetKey& first) {
    const std::string year = yearOf(first);
    return !db::Sql(db)
                .run("select 1 from hlapa where sorsz=? and resz is not null and resz<>'A' "
                     "and idoszak>=? and idoszak<=? limit 1",
                     {db::Value(first.sorsz), db::Value(year + ".01"), db::Value(year + ".12")})
                .rows.empty();
}

} // namespace

std::string correctionLimit(const app::Date& today) {
    const int months = today < app::Date{2011, 1, 1} ? 4 : 5;
    return today.addMonths(-months).period();
}

bool recentClosing(const std::string& closingDate, const app::Date& today, int lastDay) {
    const std::optional<app::Date> closed = app::Date::parse(closingDate);
    return closed && closed->year == today.year && closed->month == today.month && today.day <= lastDay;
}

// --- modify -----------------------------------------------------------------

std::optional<std::string> modifyRefusal(const std::string& elkuldve, const std::string& idoszak,
                                         const std::string& period, const app::Date& today) {
    const bool unsent = app::IsBlank(elkuldve);
    if (unsent && idoszak == period) return std::nullopt;
    if (fromFund(elkuldve)) return std::string(kFromFund);
    const bool insideWindow = idoszak >= correctionLimit(today);
    const bool sentWithPeriod = !unsent && elkuldve != kChanged;
    if (elkuldve == period || (sentWithPeriod && idoszak == period))
        return insideWindow ? std::nullopt : std::optional<std::string>(kOutsideCorrection);
    if (elkuldve == kChanged && idoszak == period) return std::nullopt;
    return std::string(kNotThisPeriod);
}

// --- delete or cancel ----------------------------------------------------------

DeleteAction deleteAction(const std::string& elkuldve, const std::string& idoszak,
                          const std::optional<app::PeriodRow>& lastClosed, const app::Date& today) {
    if (fromFund(elkuldve)) return DeleteAction::FromFund;
    // The last closed period's shipment may still be repeated in the first
    // days of the month it was closed in: its sheets go as if never sent.
    const bool freshlyClosed = lastClosed && lastClosed->idoszak == idoszak && recentClosing(lastClosed->zaras, today, 10);
    if (app::IsBlank(elkuldve) || freshlyClosed) return DeleteAction::Delete;
    if (idoszak < correctionLimit(today)) return DeleteAction::Refuse;
    return DeleteAction::Cancel;
}

void deleteSheet(db::Database& db, const sheets::SheetKey& key) {
    changeableSheet(db, key);
    {
        const sheets::SheetSnapshot before = sheets::snapshotOf(db, key);
        db::WriteUnit unit(db);
        sheets::removeSheet(db, key);
        sheets::telenez(db, key.sorsz, yearOf(key), false);
        sheets::recordChange(db, store::history::kDelete, key, before);
        unit.commit();
    }
    db::Table& hlapa = store::tableOf(db, store::schema::HLAPA());
    db::Table& hlapb = store::tableOf(db, store::schema::HLAPB());
    hlapa.pack();
    hlapb.pack();
    hlapa.first();
    hlapb.first();
}

void cancelSheet(db::Database& db, const sheets::SheetKey& key) {
    sheets::Sheet sheet = changeableSheet(db, key);
    const sheets::SendingFields after = sheets::transition(
        {sheet.elkuldve, sheet.modtipus}, {sheets::SendingEvent::Cancellation, key.idoszak, {}, false});
    sheet.elkuldve = after.elkuldve;
    sheet.modtipus = after.modtipus;
    const sheets::SheetSnapshot before = sheets::snapshotOf(db, key);
    db::WriteUnit unit(db);
    sheets::rewriteSheet(db, sheet);
    sheets::telenez(db, key.sorsz, yearOf(key), true);
    sheets::recordChange(db, store::history::kCancel, key, before);
    unit.commit();
}

// --- convert -------------------------------------------------------------------

ConvertDecision convertDecision(const std::string& elkuldve, const std::string& resz, const std::string& period,
                                bool zarnez, const std::optional<app::PeriodRow>& periodRow, const app::Date& today) {
    if (fromFund(elkuldve)) return {kFromFund, false, {}, {}};
    // Only a sheet that went out with the period's shipment, closed in the
    // first days of this month, may still be changed as if unsent.
    const bool freshlyClosed =
        zarnez && periodRow && elkuldve == period && recentClosing(periodRow->zaras, today, 9);
    if (!app::IsBlank(elkuldve) && !freshlyClosed) return {kConvertSent, true, {}, {}};
    switch (sheets::kindOf(resz)) {
        case sheets::SheetKind::FirstPart: return {{}, false, app::Msg::ToFullQuestion, ""};
        case sheets::SheetKind::Full: return {{}, false, app::Msg::ToPartQuestion, "A"};
        case sheets::SheetKind::NextPart: break;
    }
    return {kConvertOther, false, {}, {}};
}

// The conversion's row is kept under the new key and names the old one, so
// that the sheet's history follows it across the change of key.
static void recordConversion(db::Database& db, const sheets::SheetKey& from, const sheets::SheetKey& to,
                      const sheets::SheetSnapshot& before) {
    auto entry = sheets::changeEntry(db, store::history::kConvert, to, before,
                                     "Régi kulcs: " + from.idoszak + "/" + from.number() + ", új kulcs: " +
                                         to.idoszak + "/" + to.number());
    entry->text.changes.insert(entry->text.changes.begin(), {"RESZ", from.resz, to.resz});
    store::history::record(db, *entry);
}

void convertSheet(db::Database& db, const sheets::SheetKey& key, const std::string& newResz) {
    const std::optional<sheets::Sheet> stored = sheets::loadSheet(db, key);
    if (!stored || !visitRowExists(db, key)) throw app::UserError(kConvertBroken);
    if (fromFund(stored->elkuldve)) throw app::UserError(kFromFund);
    const sheets::SheetKind from = sheets::kindOf(key.resz), to = sheets::kindOf(newResz);
    const bool converts = (from == sheets::SheetKind::Full && to == sheets::SheetKind::FirstPart) ||
                          (from == sheets::SheetKind::FirstPart && to == sheets::SheetKind::Full);
    if (!converts) throw app::UserError(kConvertOther);
    const sheets::SheetKey target{key.sorsz, app::IsBlank(newResz) ? std::string() : newResz, key.idoszak};
    if (sheets::sheetExists(db, target) || visitRowExists(db, target)) throw app::UserError(kKeyTaken);
    if (from == sheets::SheetKind::FirstPart && seriesHasLaterParts(db, key)) throw app::UserError(kLaterParts);

    const sheets::SheetSnapshot before = sheets::snapshotOf(db, key);
    db::WriteUnit unit(db);
    sheets::changeSheetKey(db, key, target);
    if (to == sheets::SheetKind::Full && !stored->tele.empty()) {
        // A full invoice never carries the series mark.
        sheets::Sheet full = *stored;
        full.key = target;
        full.tele.clear();
        sheets::rewriteSheet(db, full);
    }
    sheets::telenez(db, key.sorsz, yearOf(key), false);
    recordConversion(db, key, target, before);
    unit.commit();
}

} // namespace velmora::reg
