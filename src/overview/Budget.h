#pragma once
// The contract's day budget over a year, month by month: the days and
// amounts recorded against the days and amount the contract allows, with
// the residue the provider recorded. The figures are the register's own
// (the same functions fill its budget labels), so the overview and the
// register never disagree.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "db/Decimal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::overview {

// "YYYY.01" … "YYYY.12".
std::vector<std::string> periodsOfYear(const std::string& year);

struct MonthBudget {
    std::string period;                // "YYYY.MM"
    int baseFee = 0;                   // Ft a day
    std::optional<int> contractDays;   // none: no contract valid on the month's first day
    db::Decimal contractAmount;        // Ft
    int recordedDays = 0;
    db::Decimal recordedAmount;        // Ft
    db::Decimal supplement;            // Ft, the regional supplement's share
    std::optional<int64_t> residue;    // Ft (MARADV), none when not recorded
    bool failed = false;               // a query failed (its message has been shown)

    bool over() const { return contractDays && recordedDays > *contractDays; }
};

struct YearBudget {
    std::string year;
    std::vector<MonthBudget> months;  // twelve

    int contractDays() const;       // the year's contracted days (months with a contract)
    db::Decimal contractAmount() const;
    int recordedDays() const;
    db::Decimal recordedAmount() const;
    bool anyContract() const;
    // Running totals, month by month: recorded days, contracted days.
    std::vector<int> cumulativeRecorded() const;
    std::vector<int> cumulativeContract() const;
};

YearBudget yearBudget(db::Database& db, const std::string& year, app::Dialogs& dialogs);

} // namespace velmora::overview
