// The nurses' capacity in a period. The capacity of each contracted
// employee and the visit days already recorded for her are counted in
// memory: nothing but the visit check reads these figures, so no work
// table is written for them.
#include "app/Failure.h"
#include "app/TextHelpers.h"
#include "sheets/CheckQueries.h"
#include "sheets/QueryText.h"

#include <algorithm>
#include <cmath>

namespace velmora::sheets {

namespace {

// Visit days a month allows per 40 weekly hours, by the period's rules.
struct CapacityFactors {
    int skilled;        // ORASZ: skilled-nursing hours
    int supplementary;  // ORAK: supplementary hours
};
CapacityFactors factorsOf(const std::string& period) {
    if (period <= "2011.12") return {110, 88};
    if (period <= "2021.03") return {132, 132};
    return {176, 176};
}

// hours × factor / 40 summed over both kinds of hours, as one exact
// fraction turned into a double: a value halfway between two whole days is
// then exactly representable, so the rounding cannot tip the wrong way.
double capacityDays(const db::Decimal& orasz, const db::Decimal& orak, const CapacityFactors& f) {
    const int scale = std::max(orasz.scale(), orak.scale());
    const auto a = orasz.rescaled(scale), k = orak.rescaled(scale);
    if (!a || !k) return 0;
    const double numerator =
        static_cast<double>(a->units()) * f.skilled + static_cast<double>(k->units()) * f.supplementary;
    return numerator / (40.0 * std::pow(10.0, scale));
}

} // namespace

int roundCapacity(double days) { return static_cast<int>(std::lround(days)); }

void CapacityCount::countVisit(const std::string& taj) {
    const auto it = nurses.find(taj);
    if (it == nurses.end()) return;
    if (++it->second.napdb > it->second.keret) overrun = taj;
}

namespace queries {

Statement periodStaff(const std::string& period) {
    // The first contract row of an employee (by start and serial number)
    // stands for her.
    return {lines({"select taj,nev,orasz,orak from hszolgsz", "where kezd<=? and (veg>=? or veg is null)",
                   "order by kezd,ssorszam"}),
            {db::Value(period + "." + app::TwoDigits(app::DaysInPeriod(period))), db::Value(period + ".01")}};
}

Statement periodVisitNurses(const std::string& period, const SheetKey* own) {
    std::vector<std::string> text = {"select " + dayColumns("a", "apbtaj"), "from hlapb a", "where a.idoszak=?"};
    std::vector<db::Value> params = {db::Value(period)};
    if (own) {
        // Only the sheet itself is left out: its visits are counted as the check goes.
        text.push_back("and not (a.sorsz=? and a.resz is ? and a.idoszak=?)");
        params.insert(params.end(), {textParam(own->sorsz), textParam(own->resz), textParam(own->idoszak)});
    }
    return {lines(text), params};
}

std::optional<CapacityCount> countCapacity(db::Sql& sql, const std::string& period, const SheetKey* own,
                                           app::Dialogs& dialogs, const std::string& failure) {
    CapacityCount count;
    try {
        const int days = app::DaysInPeriod(period);
        const CapacityFactors factors = factorsOf(period);
        for (const auto& row : periodStaff(period).run(sql).rows) {
            NurseCapacity nurse;
            nurse.taj = app::PadLeft(row[0].asString(), 9, "0");
            nurse.nev = row[1].asString();
            nurse.keret = roundCapacity(capacityDays(row[2].asDecimal(), row[3].asDecimal(), factors));
            nurse.supplementary = row[3].asDecimal().units() != 0;
            count.nurses.emplace(nurse.taj, nurse);
        }
        for (const auto& row : periodVisitNurses(period, own).run(sql).rows)
            for (int day = 0; day < days && day < static_cast<int>(row.size()); ++day) {
                const auto it = count.nurses.find(row[day].asString());
                if (it != count.nurses.end()) ++it->second.napdb;
            }
    } catch (const std::exception& e) {
        app::show(dialogs, app::failureOf(failure, e));
        return std::nullopt;
    }
    return count;
}

} // namespace queries

std::optional<CapacityCount> countCapacity(db::Database& db, const std::string& period, const SheetKey* own,
                                           app::Dialogs& dialogs, const std::string& failure) {
    db::Sql sql(db);
    return queries::countCapacity(sql, period, own, dialogs, failure);
}

} // namespace velmora::sheets
