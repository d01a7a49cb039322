#include "reports/Monthly.h"

#include "app/UserError.h"
#include "reports/Lookups.h"
#include "reports/QueryRows.h"

#include <set>

namespace velmora::reports {

namespace {

std::string dayColumns() {
    std::string out;
    for (int d = 1; d <= 31; ++d) {
        const std::string n = std::to_string(d);
        out += ",b.tev" + n + ",b.apdat" + n + ",b.eli" + n;
    }
    return out;
}

std::string visitJoin() { return db::sql::joinKey("a", "b", {"sorsz", "resz", "idoszak"}, {"resz"}); }

// The sheets of the period itself that went out with its shipment.
int sentSheetsOf(db::Sql& sql, const std::string& period) {
    try {
        return static_cast<int>(
            sql.run("select count(intkod) from hlapa where idoszak=? and elkuldve=?", {db::Value(period), db::Value(period)})
                .rows[0][0]
                .asInt());
    } catch (const std::exception&) {
        throw app::UserError(kSummaryCountFailed);
    }
}

} // namespace

std::optional<MonthlySummary> monthlySummary(db::Database& db, const std::string& period, const std::string& firstDay,
                                             const std::string& lastDay, int baseFee, int oszam) {
    db::Sql sql(db);
    const int lapszam = sentSheetsOf(sql, period);
    // A sheet counts when its provider is known and has a contract valid in
    // the period; the contract is asked for by existence, so two valid
    // contracts do not count a sheet part twice.
    const std::string validContract = "d.intkod=a.intkod and d.szkezd<=? and (d.szveg>=? or d.szveg is null)";
    const auto rows = db::namedRows(sql.run("select b.sorsz,b.resz,b.idoszak,a.intkod,a.sznap,a.tpotl,a.modtipus" +
                                         dayColumns() + " from hlapa a, hlapb b where " + visitJoin() +
                                         " and a.elkuldve=?"
                                         " and exists (select 1 from part c where c.intkod=a.intkod)"
                                         " and exists (select 1 from hszerz d where " +
                                         validContract + ") order by b.sorsz,b.resz,b.idoszak",
                                     {db::Value(period), db::Value(lastDay), db::Value(firstDay)}));
    if (rows.empty()) return std::nullopt;
    const std::string intkod = text(rows[0], "intkod");
    const db::SqlResult contracts =
        sql.run("select szszam from hszerz where intkod=? and szkezd<=? and (szveg>=? or szveg is null) order by szkezd desc",
                {db::Value(intkod), db::Value(lastDay), db::Value(firstDay)});
    MonthlySummary s;
    s.period = period;
    s.provider = providerOf(db, intkod);
    s.szszam = contracts.rows.empty() ? std::string() : contracts.rows[0][0].asString();
    s.firstIdoszak = text(rows[0], "idoszak");
    s.oszam = oszam;
    s.lapszam = lapszam;
    const auto closing = sql.run("select zaras from zaras where idoszak=?", {db::Value(period)});
    if (!closing.rows.empty()) s.closing = closing.rows[0][0].asString();
    int64_t supplementUnits = 0;  // tenths of a forint
    for (const QueryRow& row : rows) {
        const int sznap = number(row, "sznap");
        const std::string modtipus = text(row, "modtipus");
        if (modtipus == "K") s.knap += sznap;
        if (modtipus == "P") s.pnap += sznap;
        if (modtipus == "S") s.snap -= sznap;
        if (!modtipus.empty()) continue;
        for (int d = 1; d <= 31; ++d)
            if (!text(row, "apdat" + std::to_string(d)).empty())
                countActivities(text(row, "tev" + std::to_string(d)), s.tv);
        s.onsz += sznap;
        s.mft += int64_t(sznap) * baseFee;
        if (text(row, "tpotl") == "I") {
            s.tpnsz += sznap;
            supplementUnits += int64_t(sznap) * baseFee;  // × 0.1
        }
    }
    s.mtpft = db::Decimal(supplementUnits, 1);
    return s;
}

bool supplementApplies(const std::string& tpotl) { return tpotl != "N"; }

db::Decimal dayValue(int days, const db::Decimal& alapdij, bool supplement) {
    // days × fee × 1.1 (or × 1.0)
    return db::Decimal(int64_t(days) * alapdij.units() * (supplement ? 11 : 10), alapdij.scale() + 1);
}

std::optional<MonthlyAccounting> monthlyAccounting(db::Database& db, const std::string& period) {
    const auto rows = db::namedRows(db::Sql(db).run(
        "select b.intkod,b.sorsz,b.resz,b.idoszak,a.taj,c.nev,a.tpotl,d.alapdij" + dayColumns() +
            " from hlapa a, hlapb b, beteg c, zaras d where " + visitJoin() +
            " and a.taj=c.taj and d.idoszak=a.idoszak and a.idoszak=? order by b.intkod,b.sorsz,b.resz,b.idoszak",
        {db::Value(period)}));
    if (rows.empty()) return std::nullopt;
    const db::Value& fee = rows[0].at("alapdij");
    if (fee.isNull() || fee.asDecimal().units() == 0) return std::nullopt;
    MonthlyAccounting a;
    a.period = period;
    a.intkod = text(rows[0], "intkod");
    a.inte = providerOf(db, a.intkod).inte;
    std::set<std::string> seen;  // a patient recorded twice still gives one line
    for (const QueryRow& row : rows) {
        AccountingRow r;
        r.lap = text(row, "sorsz") + text(row, "resz");
        if (!seen.insert(r.lap + "|" + text(row, "idoszak")).second) continue;
        r.taj = text(row, "taj");
        r.nev = text(row, "nev");
        r.idoszak = text(row, "idoszak");
        r.alapdij = row.at("alapdij").asDecimal();
        r.tpotl = supplementApplies(text(row, "tpotl"));
        for (int d = 1; d <= 31; ++d)
            if (!text(row, "apdat" + std::to_string(d)).empty() && !text(row, "eli" + std::to_string(d)).empty())
                ++r.inap;
        r.value = dayValue(r.inap, r.alapdij, r.tpotl);
        a.mnap += r.inap;
        a.total = a.total + r.value;
        a.rows.push_back(std::move(r));
    }
    return a;
}

} // namespace velmora::reports
