#pragma once
// The dates a clerk must not miss, as of today: until when new sheets of
// each period still open to late reports can be recorded, until when the
// newest shipped period can still be corrected, whether the current
// period's shipment is made, and whether the fund's answer of each shipped
// period has been read. Each limit is found with the register's own rules,
// so the overview names the day on which the register starts refusing.
#include "app/Date.h"
#include "overview/SheetRows.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::overview {

struct PeriodDeadline {
    std::string period;
    app::Date lastDay;  // the last day the rule still allows
};

struct FundAnswer {
    std::string period;
    std::string shipped;   // the shipment's date
    std::string answered;  // when the answer was read ("igen" when only its marks tell); empty: not yet
};

struct Deadlines {
    app::Date today;
    std::string current;                       // the current billing period
    std::vector<PeriodDeadline> newSheets;     // periods up to the current one still open to new sheets
    std::optional<PeriodDeadline> correction;  // the newest shipped period
    std::optional<std::string> currentShipped; // the date of the current period's shipment
    std::vector<FundAnswer> answers;           // the shipped periods of the year, oldest first
};

// The last day from `from` on on which `allowed` holds, searched up to a
// year ahead; nothing when it no longer holds on `from`.
template <class Allowed>
std::optional<app::Date> lastAllowedDay(app::Date from, Allowed allowed) {
    if (!allowed(from)) return std::nullopt;
    app::Date day = from;
    for (int i = 0; i < 400 && allowed(day.addDays(1)); ++i) day = day.addDays(1);
    return day;
}

Deadlines deadlines(const std::map<std::string, PeriodRow>& periods, const std::string& current,
                    const std::string& year, app::Date today);

} // namespace velmora::overview
