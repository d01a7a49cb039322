#include "app/Period.h"

#include "app/Date.h"

#include <stdexcept>

namespace velmora::app {

PeriodDays STS(const std::string& period) {
    const auto first = Date::parse(period + ".01");
    if (!first) throw std::invalid_argument("not a period: " + period);
    const std::string year = period.substr(0, 4), month = period.substr(5, 2);
    const std::string last = first->addMonths(1).addDays(-1).text();
    return {
        first->text(),
        last,
        "01." + month + "." + year,
        last.substr(8, 2) + last.substr(4, 4) + last.substr(0, 4),
    };
}

int BaseFee(const std::string& period) {
    // Each row: from this period on (until the next row) the fee is...
    struct Step { const char* from; int fee; };
    static const Step steps[] = {
        {"2024.09", 8400}, {"2022.11", 5640}, {"2016.11", 4440},
        {"2012.11", 4056}, {"2007.10", 3840}, {"2004.10", 3600},
    };
    for (const Step& step : steps)
        if (period >= step.from) return step.fee;
    return 3240;
}

} // namespace velmora::app
