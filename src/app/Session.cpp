#include "app/Session.h"

#include "app/Period.h"

namespace velmora::app {

void Session::acceptPeriod(const std::string& period, bool closed) {
    const std::string accepted = period.substr(0, 7);
    STS(accepted);  // throws before anything has changed
    mIdoszak = accepted;
    zarnez = closed;
}

void Session::STS(const std::string& period) {
    PeriodDays days = app::STS(period);
    IDOSZAK1 = std::move(days.IDOSZAK1);
    IDOSZAK2 = std::move(days.IDOSZAK2);
    IDOSZL1 = std::move(days.IDOSZL1);
    IDOSZL2 = std::move(days.IDOSZL2);
}

void Session::ertad() {
    ellsz = kEllsz;
    alapert = BaseFee(mIdoszak);
}

} // namespace velmora::app
