#include "sheets/ContractFigures.h"

#include "app/Date.h"
#include "app/DiagnosticLog.h"
#include "db/Sql.h"
#include "sheets/CheckQueries.h"

namespace velmora::sheets {

namespace {

// The first period of the four-month window of the marked sheets: the
// month of the date four months before the period's first day.
std::string windowStart(const std::string& period) {
    const auto first = app::Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("nem időszak: " + period);
    return first->addMonths(-4).period();
}

// Which sheets count, and the values bound for it.
struct Selection {
    std::string where;
    std::vector<db::Value> params;
};
Selection selectionOf(const std::string& period, bool markedOnly) {
    if (!markedOnly) return {"where idoszak=?", {db::Value(period)}};
    return {"where idoszak>=? and idoszak<=? and jeloles is not null and (modtipus is null or modtipus<>'L')",
            {db::Value(windowStart(period)), db::Value(period)}};
}

} // namespace

std::optional<RecordedFigures> recordedFigures(db::Database& db, const std::string& period, bool markedOnly,
                                               int alapert, app::Dialogs& dialogs) {
    db::Sql sql(db);
    RecordedFigures figures;
    // Days with no value count as none, in whichever group they stand.
    try {
        if (sql.run("select 1 from hlapa where idoszak=? limit 1", {db::Value(period)}).rows.empty())
            return figures;
        const Selection s = selectionOf(period, markedOnly);
        const db::SqlResult days = sql.run(
            queries::lines({"select idoszak,sum(sznap) as sznap", "from hlapa", s.where, "group by idoszak"}),
            s.params);
        for (const auto& row : days.rows) figures.days += static_cast<int>(row[1].asInt());
    } catch (const std::exception& e) {
        // The warning has no room for the cause: the log keeps it.
        app::logEvent(app::LogLevel::Warning, "Hiba a lefutásban! (3)", app::failureOf("", e).detail());
        dialogs.warning("Hiba a lefutásban! (3)");
        return std::nullopt;
    }
    try {
        const Selection s = selectionOf(period, markedOnly);
        const db::SqlResult byTpotl = sql.run(
            queries::lines({"select tpotl,sum(sznap) as sznap", "from hlapa", s.where, "group by tpotl"}), s.params);
        int64_t amount = 0, supplementTenths = 0;
        for (const auto& row : byTpotl.rows) {
            const int64_t fee = row[1].asInt() * alapert;
            amount += fee;
            // 10 % of the fee: the fee in tenths of a forint.
            if (row[0].asString() == "I") supplementTenths += fee;
        }
        figures.amount = db::Decimal::fromInt(amount);
        figures.supplement = db::Decimal(supplementTenths, 1);
    } catch (const std::exception& e) {
        app::logEvent(app::LogLevel::Warning, "Hiba a lefutásban! (4)", app::failureOf("", e).detail());
        dialogs.warning("Hiba a lefutásban! (4)");
        return std::nullopt;
    }
    return figures;
}

std::optional<ContractFigures> contractFigures(db::Database& db, const std::string& period, int alapert) {
    const db::Value first(period + ".01");
    // The contract valid on the period's first day; of several (an old
    // contract left open-ended), the latest, as the program's contract is.
    const db::SqlResult contract =
        db::Sql(db).run("select ossznap from hszerz where szkezd<=? and (szveg>=? or szveg is null) "
                        "order by szkezd desc limit 1",
                        {first, first});
    if (contract.rows.empty()) return std::nullopt;
    const int days = static_cast<int>(contract.rows[0][0].asInt());
    return ContractFigures{days, db::Decimal::fromInt(static_cast<int64_t>(days) * alapert)};
}

} // namespace velmora::sheets
