#include "overview/Budget.h"

#include "app/DiagnosticLog.h"
#include "app/Period.h"
#include "db/Sql.h"
#include "sheets/ContractFigures.h"

#include <map>

namespace velmora::overview {

namespace {

std::map<std::string, int64_t> residuesOf(db::Database& db, const std::string& year) {
    std::map<std::string, int64_t> out;
    const auto rows = db::Sql(db).run("select midoszak, ft from maradv where midoszak>=? and midoszak<=?",
                                      {db::Value(year + ".01"), db::Value(year + ".12")});
    for (const auto& row : rows.rows)
        if (!row[1].isNull()) out[row[0].asString()] = row[1].asInt();
    return out;
}

} // namespace

std::vector<std::string> periodsOfYear(const std::string& year) {
    std::vector<std::string> out;
    for (int m = 1; m <= 12; ++m) out.push_back(year + (m < 10 ? ".0" : ".") + std::to_string(m));
    return out;
}

YearBudget yearBudget(db::Database& db, const std::string& year, app::Dialogs& dialogs) {
    YearBudget budget{year, {}};
    std::map<std::string, int64_t> residues;
    try {
        residues = residuesOf(db, year);
    } catch (const std::exception& e) {
        // The residues are shown where they could be read; the rest stands.
        app::logEvent(app::LogLevel::Warning, "A maradványok nem olvashatók (" + year + ")", app::failureOf("", e).detail());
    }
    for (const std::string& period : periodsOfYear(year)) {
        MonthBudget m;
        m.period = period;
        m.baseFee = app::BaseFee(period);
        try {
            if (const auto contract = sheets::contractFigures(db, period, m.baseFee)) {
                m.contractDays = contract->days;
                m.contractAmount = contract->amount;
            }
        } catch (const std::exception& e) {
            m.failed = true;
            app::logEvent(app::LogLevel::Warning, "A szerződés adatai nem olvashatók (" + period + ")",
                          app::failureOf("", e).detail());
        }
        if (const auto recorded = sheets::recordedFigures(db, period, false, m.baseFee, dialogs)) {
            m.recordedDays = recorded->days;
            m.recordedAmount = recorded->amount;
            m.supplement = recorded->supplement;
        } else {
            m.failed = true;
        }
        if (const auto r = residues.find(period); r != residues.end()) m.residue = r->second;
        budget.months.push_back(std::move(m));
    }
    return budget;
}

int YearBudget::contractDays() const {
    int sum = 0;
    for (const MonthBudget& m : months) sum += m.contractDays.value_or(0);
    return sum;
}

db::Decimal YearBudget::contractAmount() const {
    db::Decimal sum;
    for (const MonthBudget& m : months) sum = sum + m.contractAmount;
    return sum;
}

int YearBudget::recordedDays() const {
    int sum = 0;
    for (const MonthBudget& m : months) sum += m.recordedDays;
    return sum;
}

db::Decimal YearBudget::recordedAmount() const {
    db::Decimal sum;
    for (const MonthBudget& m : months) sum = sum + m.recordedAmount;
    return sum;
}

bool YearBudget::anyContract() const {
    for (const MonthBudget& m : months)
        if (m.contractDays) return true;
    return false;
}

std::vector<int> YearBudget::cumulativeRecorded() const {
    std::vector<int> out;
    int sum = 0;
    for (const MonthBudget& m : months) out.push_back(sum += m.recordedDays);
    return out;
}

std::vector<int> YearBudget::cumulativeContract() const {
    std::vector<int> out;
    int sum = 0;
    for (const MonthBudget& m : months) out.push_back(sum += m.contractDays.value_or(0));
    return out;
}

} // namespace velmora::overview
