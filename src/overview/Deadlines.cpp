#include "overview/Deadlines.h"

#include "register/NewSheets.h"
#include "register/SheetCommands.h"

namespace velmora::overview {

namespace {

std::string previousPeriod(const std::string& period) {
    return app::Date::parse(period + ".01")->addMonths(-1).period();
}

} // namespace

Deadlines deadlines(const std::map<std::string, PeriodRow>& periods, const std::string& current,
                    const std::string& year, app::Date today) {
    Deadlines d;
    d.today = today;
    d.current = current;
    if (!app::Date::parse(current + ".01")) return d;
    // From the current period back while the register still takes new sheets.
    for (std::string p = current;; p = previousPeriod(p)) {
        const auto last =
            lastAllowedDay(today, [&](const app::Date& day) { return !reg::newSheetRefusal(p, day).has_value(); });
        if (!last) break;
        d.newSheets.insert(d.newSheets.begin(), PeriodDeadline{p, *last});
    }
    std::string newest;
    for (const auto& [p, row] : periods)
        if (!row.zaras.empty() && p > newest) newest = p;
    if (!newest.empty())
        if (const auto last = lastAllowedDay(today, [&](const app::Date& day) { return newest >= reg::correctionLimit(day); }))
            d.correction = PeriodDeadline{newest, *last};
    if (const auto row = periods.find(current); row != periods.end() && !row->second.zaras.empty())
        d.currentShipped = row->second.zaras;
    for (const auto& [p, row] : periods)
        if (p.substr(0, 4) == year && !row.zaras.empty())
            d.answers.push_back({p, row.zaras, row.answered() ? (row.ruvkuld.empty() ? "igen" : row.ruvkuld) : ""});
    return d;
}

} // namespace velmora::overview
