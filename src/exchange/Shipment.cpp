#include "exchange/Shipment.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/Table.h"
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "sheets/SheetHistory.h"
#include "exchange/KuldFolder.h"
#include "register/NewSheets.h"
#include "sheets/RowLookup.h"
#include "sheets/SendingState.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <set>
#include <stdexcept>
#include <tuple>

namespace velmora::exchange {

namespace {

namespace schema = store::schema;

db::Value textOrNull(const std::string& s) { return app::IsBlank(s) ? db::Value() : db::Value(s); }

int fieldOf(const db::Table& table, const std::string& name) {
    const int index = table.fieldIndex(name);
    if (index < 0)
        throw db::DbError(db::DbError::Code::NotFound,
                          "A(z) " + table.fileName() + " állományban nincs " + name + " mező.");
    return index;
}

using Key = std::tuple<std::string, std::string, std::string>;  // IDOSZAK, SORSZ, RESZ

Key keyAt(const db::Table& table, uint32_t recno, int idoszak, int sorsz, int resz) {
    return {table.valueAt(recno, idoszak).asString(), table.valueAt(recno, sorsz).asString(),
            table.valueAt(recno, resz).asString()};
}

// Changes of one table inside the unit reach its listeners once.
template <class Change>
void inBatch(db::Table& table, Change change) {
    table.beginBatch();
    try {
        change();
        table.endBatch(true);
    } catch (...) {
        table.endBatch(false);
        throw;
    }
}

// The marked sheets become sent; their keys, for the visit rows.
std::set<Key> sendSheets(db::Table& hlapa, const std::string& period) {
    const int jeloles = fieldOf(hlapa, "Jeloles"), elkuldve = fieldOf(hlapa, "Elkuldve"),
              modtipus = fieldOf(hlapa, "Modtipus"), idoszak = fieldOf(hlapa, "Idoszak"),
              sorsz = fieldOf(hlapa, "Sorsz"), resz = fieldOf(hlapa, "Resz");
    std::set<Key> sent;
    inBatch(hlapa, [&] {
        for (uint32_t r = 0, n = hlapa.physicalCount(); r < n; ++r) {
            if (hlapa.isDeletedAt(r) || app::IsBlank(hlapa.valueAt(r, jeloles).asString())) continue;
            const Key key = keyAt(hlapa, r, idoszak, sorsz, resz);
            const sheets::SendingFields after = sheets::transition(
                {hlapa.valueAt(r, elkuldve).asString(), hlapa.valueAt(r, modtipus).asString()},
                {sheets::SendingEvent::Shipment, std::get<0>(key), period});
            hlapa.updateValues(r, {{jeloles, db::Value()},
                                   {elkuldve, textOrNull(after.elkuldve)},
                                   {modtipus, textOrNull(after.modtipus)}});
            sent.insert(key);
        }
    });
    return sent;
}

// The sheets a shipment sends, for their history.
std::vector<sheets::SheetKey> markedSheets(const db::Table& hlapa) {
    const int jeloles = fieldOf(hlapa, "Jeloles"), idoszak = fieldOf(hlapa, "Idoszak"),
              sorsz = fieldOf(hlapa, "Sorsz"), resz = fieldOf(hlapa, "Resz");
    std::vector<sheets::SheetKey> keys;
    for (uint32_t r = 0, n = hlapa.physicalCount(); r < n; ++r)
        if (!hlapa.isDeletedAt(r) && !app::IsBlank(hlapa.valueAt(r, jeloles).asString())) {
            const auto [i, s, p] = keyAt(hlapa, r, idoszak, sorsz, resz);
            keys.push_back({s, p, i});
        }
    return keys;
}

void sendVisitRows(db::Table& hlapb, const std::set<Key>& sent, const std::string& period) {
    const int elkuldve = fieldOf(hlapb, "Elkuldve"), idoszak = fieldOf(hlapb, "Idoszak"),
              sorsz = fieldOf(hlapb, "Sorsz"), resz = fieldOf(hlapb, "Resz");
    inBatch(hlapb, [&] {
        for (uint32_t r = 0, n = hlapb.physicalCount(); r < n; ++r)
            if (!hlapb.isDeletedAt(r) && sent.count(keyAt(hlapb, r, idoszak, sorsz, resz)))
                hlapb.updateValues(r, {{elkuldve, db::Value(period)}});
    });
}

void closePeriod(db::Table& zaras, const std::string& period, const app::Date& today, int count) {
    if (zaras.locate("Idoszak", db::Value(period)))
        zaras.edit();
    else
        zaras.append();
    zaras.setField("Idoszak", period);
    zaras.setField("Lapoksz", count);
    zaras.setField("Zaras", today.text());
    zaras.post();
}

std::string lines(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += "\n" + t;
    return out;
}

// The shipment's last words, and the register closes.
void finish(app::Dialogs& dialogs, ShipmentWindows& windows) {
    dialogs.status(0, kShipmentDone);
    dialogs.information(kShipmentDone);
    windows.closeRegister();
}

} // namespace

// --- opening --------------------------------------------------------------------

std::string sendingFilter(const std::string& period) {
    const std::optional<app::Date> first = app::Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("not a period: " + period);
    const std::string from = first->addMonths(-4).period();
    return "(idoszak>='" + from + "' and idoszak<='" + period + "' and (elkuldve is null or elkuldve='" + period +
           "')) or (elkuldve='YY' and modtipus<>null) or (elkuldve='" + period + "' and modtipus<>null)";
}

std::optional<std::string> sendingRefusal(db::Database& db, const std::string& period) {
    const std::optional<app::PeriodRow> last = reg::lastClosedPeriod(db);
    if (last && last->idoszak > period) return std::string(kEarlierThanClosed);
    return std::nullopt;
}

std::optional<std::string> openForSending(db::Database& db, const std::string& period, reg::BulkToggle& toggle,
                                          app::Dialogs& dialogs) {
    if (const auto refusal = sendingRefusal(db, period)) {
        dialogs.warning(*refusal);
        return std::nullopt;
    }
    try {
        reg::clearMarks(db);
    } catch (const std::exception& e) {
        app::show(dialogs, app::failureOf(kMarksNotCleared, e));
        return std::nullopt;
    }
    toggle.on = false;
    return sendingFilter(period);
}

// --- the shipment ----------------------------------------------------------------

int markedCount(db::Database& db) {
    const db::SqlResult r = db::Sql(db).run("select count(sorsz) as szam from hlapa where jeloles is not null");
    return r.rows.empty() ? 0 : static_cast<int>(r.rows[0][0].asInt());
}

app::Question sendQuestion(int count, bool zarnez) {
    return app::question(zarnez ? app::Msg::SendAgainQuestion : app::Msg::SendQuestion, {std::to_string(count)});
}

std::string providerIntkod(db::Database& db) {
    const db::Table& part = store::tableOf(db, schema::PART());
    for (uint32_t r = 0, n = part.physicalCount(); r < n; ++r)
        if (!part.isDeletedAt(r)) return sheets::fieldText(part, r, "INTKOD");
    return {};
}

std::optional<std::string> intkodForFileNames(db::Database& db, app::Dialogs& dialogs, const std::string& consequence) {
    const std::string intkod = providerIntkod(db);
    if (validIntkod(intkod)) return intkod;
    dialogs.error("A(z) Part.dbf állományban az intézménykód (\"" + intkod + "\") nem négy betű vagy számjegy, " +
                  consequence);
    return std::nullopt;
}

std::vector<std::string> recordShipment(db::Database& db, const std::string& period, const app::Date& today,
                                        int count, const std::vector<db::FileOperation>& kuldMoves) {
    db::Table& hlapa = store::tableOf(db, schema::HLAPA());
    db::Table& hlapb = store::tableOf(db, schema::HLAPB());
    db::Table& zaras = store::tableOf(db, schema::ZARAS());
    const sheets::SheetSnapshots before = sheets::snapshotsOf(db, markedSheets(hlapa));
    db::WriteUnit unit(db);
    const std::set<Key> sent = sendSheets(hlapa, period);
    sendVisitRows(hlapb, sent, period);
    closePeriod(zaras, period, today, count);
    sheets::recordChanges(db, store::history::kShipment, before, "Elküldve a(z) " + period + " adatküldésével.");
    for (const db::FileOperation& op : kuldMoves) unit.addFileOperation(op);
    unit.commit();
    return unit.warnings();
}

ShipmentResult makeShipment(db::Database& db, const app::Session& session, int count, app::Progress& progress) {
    const std::string& period = session.mIdoszak;
    app::ProgressScope steps(progress, "Adatküldés", 3, false);
    steps.step("A lapok ellenőrzése", 0);
    const std::string intkod = providerIntkod(db);
    if (!validIntkod(intkod))
        throw app::UserError("A(z) Part.dbf állományban az intézménykód (\"" + intkod +
                             "\") nem négy betű vagy számjegy, nem kerülhet az állományok nevébe! "
                             "Az adatküldés nem készült el.");
    const std::vector<std::string> bad = unsendableSheets(db, period);
    if (!bad.empty())
        throw app::UserError("A következő lapok nem küldhetők el, az adatküldés nem készült el:" + lines(bad));

    steps.step("Az állományok írása", 1);
    ShipmentResult result;
    result.staging = std::make_shared<StagingFolder>(session.kkuld, db.directory());
    const StagingFolder& staging = *result.staging;
    result.counts = writeShipmentFiles(db, period, intkod, staging.path());

    steps.step("A lapok állapotának rögzítése, az állományok a KULD könyvtárba", 2);
    const ShipmentFileNames names = shipmentFileNames(intkod);
    try {
        db::os::syncDirectory(staging.path());
        result.kuldProblems = recordShipment(db, period, session.clock().today(), count,
                                             kuldOperations(session.kkuld, session.klista, staging.path(),
                                                            {names.hosa, names.hosb, names.hosc}));
    } catch (const std::exception& e) {
        throw ShipmentNotRecorded(e.what());  // the staging folder goes with the files
    }
    return result;
}

namespace {

app::Failure shown(app::Dialogs& dialogs, const app::Failure& failure) {
    app::show(dialogs, failure);
    return failure;
}

} // namespace

app::Outcome sendMarked(db::Database& db, const app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                        ShipmentWindows& windows, db::WriteUnit* marks) {
    using app::Failure, app::FailureKind;
    int count = 0;
    try {
        count = markedCount(db);
    } catch (const db::DbError& e) {
        return shown(dialogs, app::failureOf(kRunFailed, e));
    }
    if (count == 0) {
        dialogs.warning(kNothingMarked);
        return Failure{FailureKind::Refused, kNothingMarked, {}};
    }
    const app::Question question = sendQuestion(count, session.zarnez);
    if (!dialogs.ask(question)) return Failure{FailureKind::Cancelled, question.text, {}};

    ShipmentResult result;
    try {
        result = makeShipment(db, session, count, progress);
    } catch (const ShipmentNotRecorded& e) {
        return shown(dialogs, app::failureOf(kNotRecorded, e));
    } catch (const app::UserError& e) {
        return shown(dialogs, app::failureOf(e));
    }
    if (marks) {
        try {
            marks->commit();
            result.kuldProblems = marks->warnings();
        } catch (const std::exception& e) {
            return shown(dialogs, app::failureOf(kNotRecorded, e));
        }
    }
    result.staging.reset();
    if (!result.kuldProblems.empty())
        dialogs.warning("A KULD könyvtár régi állományai közül nem mindet lehetett eltávolítani:" +
                        lines(result.kuldProblems));

    if (dialogs.ask(app::question(app::Msg::EReportQuestion))) {
        if (windows.eReport()) {
            dialogs.information(kEReportDone);
            finish(dialogs, windows);
            return std::nullopt;
        }
        dialogs.warning(kEReportNotDone);
    }
    if (const std::optional<std::string> dir = windows.copyDirectory()) {
        const std::string intkod = providerIntkod(db);
        const ShipmentFileNames names = shipmentFileNames(intkod), as = copyFileNames(intkod);
        try {
            copyFiles(db.directory(), session.kkuld, {names.hosa, names.hosb, names.hosc}, *dir,
                      {as.hosa, as.hosb, as.hosc});
        } catch (const app::UserError& e) {
            const Failure failure{FailureKind::File, std::string(e.what()) + "\nAz elküldendő adatok a KULD könyvtárban vannak!", {}};
            app::show(dialogs, failure);
            windows.closeRegister();
            return failure;
        }
    } else {
        dialogs.warning(kNotCopied);
    }
    finish(dialogs, windows);
    return std::nullopt;
}

} // namespace velmora::exchange
