#include "register/NewSheets.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "register/SheetCommands.h"
#include "sheets/FieldChecks.h"
#include "sheets/SendingState.h"
#include "sheets/SheetHistory.h"
#include "sheets/SheetStore.h"

#include <stdexcept>

namespace velmora::reg {

namespace {

constexpr const char* kFirstPeriod = "2008.01";
constexpr const char* kFundMark = "xxxx.xx";
constexpr const char* kNoDate = "Nincs megadva a lezárás dátuma!";
constexpr const char* kInvalidDate = "Érvénytelen dátum!";

sheets::Sheet storedSheet(db::Database& db, const sheets::SheetKey& key) {
    std::optional<sheets::Sheet> sheet = sheets::loadSheet(db, key);
    if (!sheet)
        throw db::DbError(db::DbError::Code::NotFound, "A(z) HLapa.dbf állományban nincs meg a(z) " + key.number() +
                                                           " számú lap (" + key.idoszak + ").");
    return *sheet;
}

// The latest visit day of the sheet ("" when it has none).
std::string lastVisit(const sheets::Sheet& sheet) {
    std::string last;
    for (const sheets::Visit& v : sheet.visits)
        if (!app::IsBlank(v.apdat) && v.apdat > last) last = v.apdat;
    return last;
}

// The parts of the series recorded so far: the first part and the later
// ones of its year, never those of a number restarted in another year.
struct SeriesSoFar {
    int days = 0;
    std::string lastResz;
};
SeriesSoFar seriesSoFar(db::Database& db, const sheets::SheetKey& first) {
    const std::string year = first.idoszak.substr(0, 4);
    const db::SqlResult parts =
        db::Sql(db).run("select resz,sznap from hlapa where sorsz=? and resz is not null "
                        "and idoszak>=? and idoszak<=? order by resz",
                        {db::Value(first.sorsz), db::Value(first.idoszak), db::Value(year + ".12")});
    SeriesSoFar s;
    for (const auto& row : parts.rows) {
        s.days += static_cast<int>(row[1].asInt());
        s.lastResz = row[0].asString();
    }
    return s;
}

} // namespace

std::optional<std::string> newSheetRefusal(const std::string& period, const app::Date& today) {
    if (period < kFirstPeriod) return std::string(kBefore2008);
    const int months = period < "2016.01" ? 2 : 4;
    if (period < today.addMonths(-months).period()) return std::string(kLateReport);
    return std::nullopt;
}

std::optional<sheets::SheetForm> startNewSheet(sheets::SheetContext& ctx, sheets::SheetKind kind) {
    if (const auto refusal = newSheetRefusal(ctx.session.mIdoszak, ctx.session.clock().today())) {
        ctx.dialogs.error(*refusal);
        return std::nullopt;
    }
    try {
        return sheets::newSheetForm(ctx, kind);
    } catch (const app::UserError& e) {
        ctx.dialogs.error(e.what());
    } catch (const db::DbError& e) {
        ctx.dialogs.error("Hiba a lefutásban!", e.what());
    }
    return std::nullopt;
}

std::optional<std::string> nextPartRefusal(const std::string& period) {
    if (period < kFirstPeriod) return std::string(kBefore2008);
    if (period.substr(5, 2) == "01") return std::string(kJanuaryNoNext);
    return std::nullopt;
}

std::string nextPartFilter(const std::string& yearFilter) {
    return "(" + yearFilter + ") and resz='A' and tele<>'*'";
}

sheets::SheetForm nextPartForm(sheets::SheetContext& ctx, const sheets::SheetKey& firstPart) {
    if (sheets::kindOf(firstPart.resz) != sheets::SheetKind::FirstPart)
        throw std::invalid_argument("a következő rész csak első részszámlából készül: " + firstPart.number());
    const sheets::Sheet first = storedSheet(ctx.db, firstPart);
    const SeriesSoFar series = seriesSoFar(ctx.db, firstPart);
    const std::string& period = ctx.session.mIdoszak;

    // The first part's header under the new key, without its visits and
    // without anything of its own life with the fund.
    sheets::Sheet next;
    next.key = {firstPart.sorsz, sheets::nextPartLetter(series.lastResz), period};
    next.intkod = first.intkod;
    next.finkod = first.finkod;
    next.taj = first.taj;
    next.kozigkod = first.kozigkod;
    next.tpotl = first.tpotl;
    next.bnofek = first.bnofek, next.bnofo = first.bnofo, next.bnokis = first.bnokis, next.bnoab = first.bnoab;
    next.orvkode = first.orvkode, next.orvkodj = first.orvkodj, next.orvtip = first.orvtip;
    next.elrend = first.elrend, next.szakvet = first.szakvet, next.gyak = first.gyak;
    next.elvizdb = first.elvizdb;
    next.elszam = first.elszam;
    next.lezdat = first.lezdat;
    next.aptaj = first.aptaj;
    next.aztip = first.aztip, next.terkat = first.terkat, next.allamp = first.allamp;
    // Days billed before this part; a February part also counts what the
    // first part had billed before it.
    next.elszviz = series.days + (period.substr(5, 2) == "02" ? first.elszviz : 0);

    sheets::SheetForm form = sheets::storedSheetForm(ctx, next, sheets::EntryMode::New);
    form.vszam = "0";
    return form;
}

// --- closing date -------------------------------------------------------------

bool closingDateFits(db::Database& db, const sheets::SheetKey& key, const std::string& date,
                     const std::string& szakvet, bool forOk, app::Dialogs& dialogs) {
    if (sheets::dateBlank(date)) {
        if (forOk) dialogs.error(kNoDate);
        return !forOk;
    }
    const sheets::Sheet sheet = storedSheet(db, key);
    if (sheet.elkuldve == kFundMark) {
        dialogs.error(kFromFund);
        return false;
    }
    if (!app::presented(dialogs, sheets::closingDateCheck(date, szakvet, key.idoszak))) return false;
    if (date < lastVisit(sheet)) {
        dialogs.error(kClosingBeforeVisit);
        return false;
    }
    return true;
}

bool closingMarkApplies(const std::string& sheetPeriod, const std::optional<app::PeriodRow>& lastClosed,
                        const app::Date& today) {
    if (!lastClosed) return false;
    if (lastClosed->idoszak != sheetPeriod) return lastClosed->idoszak > sheetPeriod;
    // The sheet's own period is the last one: the fund has it once the
    // shipment went out in a later month, or from the 20th on.
    return today.day >= 20 || lastClosed->zaras.substr(0, 7) > sheetPeriod;
}

void storeClosingDate(db::Database& db, const sheets::SheetKey& key, const std::string& date, bool markApplies) {
    if (!app::IsValidDateText(date)) throw app::UserError(kInvalidDate);
    sheets::Sheet sheet = storedSheet(db, key);
    if (sheet.elkuldve == kFundMark) throw app::UserError(kFromFund);
    sheet.lezdat = date;
    const sheets::SendingFields after = sheets::transition(
        {sheet.elkuldve, sheet.modtipus}, {sheets::SendingEvent::Closing, key.idoszak, {}, markApplies});
    sheet.elkuldve = after.elkuldve;
    sheet.modtipus = after.modtipus;
    const sheets::SheetSnapshot before = sheets::snapshotOf(db, key);
    db::WriteUnit unit(db);
    sheets::rewriteSheet(db, sheet);
    sheets::recordChange(db, store::history::kClosing, key, before);
    unit.commit();
}

std::optional<app::PeriodRow> lastClosedPeriod(db::Database& db) {
    const db::SqlResult last =
        db::Sql(db).run("select idoszak,zaras from zaras where idoszak is not null order by idoszak desc limit 1");
    if (last.rows.empty()) return std::nullopt;
    return app::PeriodRow{last.rows[0][0].asString(), last.rows[0][1].asString()};
}

} // namespace velmora::reg
