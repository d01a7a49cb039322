// The full-series mark TELE: "*" on every part of a partial-invoice series
// whose visit days in the year total exactly 50.
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "sheets/CheckQueries.h"
#include "sheets/ContractFigures.h"
#include "sheets/CrossChecks.h"
#include "sheets/QueryText.h"

namespace velmora::sheets {

namespace {

const char* const kSeriesWhere = "where sorsz=? and resz is not null and idoszak>=? and idoszak<=?";

bool fullSeries(const db::Value& visitDays) { return visitDays.isNumber() && visitDays.asDecimal() == db::Decimal::fromInt(50); }

} // namespace

void telenez(db::Database& db, const std::string& sorsz, const std::string& year, bool cancelled) {
    db::Sql sql(db);
    const std::vector<db::Value> series = {textParam(sorsz), db::Value(year + ".01"), db::Value(year + ".12")};
    const db::SqlResult total = sql.run(
        queries::lines({"select sorsz,sum(sznap) as vizit", "from hlapa", kSeriesWhere, "group by sorsz"}), series);
    if (total.rows.empty()) return;
    const db::Value mark = !cancelled && fullSeries(total.rows[0][1]) ? db::Value("*") : db::Value();
    std::vector<db::Value> params = {mark};
    params.insert(params.end(), series.begin(), series.end());
    params.push_back(mark);
    // Rows that already carry the right mark are left alone.
    db::WriteUnit unit(db);
    sql.run(queries::lines({"update hlapa set tele=?", kSeriesWhere, "and tele is not ?"}), params);
    unit.commit();
}

bool markFullSeriesOfYear(db::Database& db, const std::string& year, app::Dialogs& dialogs) {
    db::Sql sql(db);
    const db::Value from(year + ".01"), to(year + ".12");
    db::SqlResult totals;
    try {
        totals = sql.run(queries::lines({"select sorsz,sum(sznap) as vizit", "from hlapa",
                                         "where resz is not null and idoszak>=? and idoszak<=?", "group by sorsz"}),
                         {from, to});
    } catch (const std::exception& e) {
        dialogs.error("Hiba a lefutásban! (14)", e.what());
        return false;
    }
    try {
        db::WriteUnit unit(db);
        for (const auto& row : totals.rows) {
            if (!fullSeries(row[1]) || row[0].isNull()) continue;
            sql.run(queries::lines({"update hlapa set tele='*'", kSeriesWhere, "and tele is not '*'"}),
                    {row[0], from, to});
        }
        unit.commit();
    } catch (const std::exception& e) {
        dialogs.error("Hiba a lefutásban! (15)", e.what());
        return false;
    }
    return true;
}

} // namespace velmora::sheets
