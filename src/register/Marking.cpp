// Marks are written record by record or by one statement, inside one
// write unit and one batch of HLAPA: only JELOLES changes, the shared
// table's cursor and filter stay where the register left them, and the grid
// hears of one change.
#include "register/Marking.h"

#include "app/TextHelpers.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <vector>

namespace velmora::reg {

namespace {

db::Table& headerTable(db::Database& db) { return store::tableOf(db, store::schema::HLAPA()); }

db::Value markValue(const std::string& mark) { return app::IsBlank(mark) ? db::Value() : db::Value(mark); }

db::Value reszValue(const std::string& resz) { return app::IsBlank(resz) ? db::Value() : db::Value(resz); }

} // namespace

std::string BulkToggle::flip() {
    on = !on;
    return on ? "*" : "";
}

void toggleMark(db::Database& db, const sheets::SheetKey& key) {
    db::Sql sql(db);
    const std::vector<db::Value> keyParams = {db::Value(key.idoszak), db::Value(key.sorsz), reszValue(key.resz)};
    const db::SqlResult current =
        sql.run("select jeloles from hlapa where idoszak=? and sorsz=? and resz is ? limit 1", keyParams);
    if (current.rows.empty())
        throw db::DbError(db::DbError::Code::NotFound, "A(z) HLapa.dbf állományban nincs meg a(z) " + key.number() +
                                                           " számú lap (" + key.idoszak + ").");
    const bool marked = !app::IsBlank(current.rows[0][0].asString());
    std::vector<db::Value> params = {markValue(marked ? "" : "*")};
    params.insert(params.end(), keyParams.begin(), keyParams.end());
    sql.run("update hlapa set jeloles=? where idoszak=? and sorsz=? and resz is ?", params);
}

int markListed(db::Database& db, const std::string& mark) {
    db::Table& hlapa = headerTable(db);
    const int jeloles = hlapa.fieldIndex("Jeloles");
    if (jeloles < 0) throw db::DbError(db::DbError::Code::NotFound, "A(z) HLapa.dbf állományban nincs Jeloles mező.");
    // The listed rows first: a filter on the mark itself would otherwise
    // change under the loop.
    std::vector<uint32_t> listed;
    const int count = hlapa.recordCount();
    listed.reserve(static_cast<size_t>(count));
    for (int p = 0; p < count; ++p) listed.push_back(static_cast<uint32_t>(hlapa.recnoAtPosition(p)));

    const db::Value value = markValue(mark);
    db::WriteUnit unit(db);
    hlapa.beginBatch();
    try {
        for (uint32_t r : listed)
            if (hlapa.valueAt(r, jeloles) != value) hlapa.updateValues(r, {{jeloles, value}});
        hlapa.endBatch(true);
    } catch (...) {
        hlapa.endBatch(false);
        throw;
    }
    unit.commit();
    return static_cast<int>(listed.size());
}

int markMonth(db::Database& db, const std::string& period, bool zarnez, const std::string& mark) {
    // The month's rows are chosen by a statement of their own, so the
    // register's filter is never touched.
    const std::string where = zarnez ? "where elkuldve=? or idoszak=?"
                                     : "where idoszak=? and (elkuldve is null or elkuldve=?)";
    return db::Sql(db).run("update hlapa set jeloles=? " + where, {markValue(mark), db::Value(period), db::Value(period)})
        .changes;
}

void clearMarks(db::Database& db) { db::Sql(db).run("update hlapa set jeloles=null where jeloles='*'"); }

} // namespace velmora::reg
