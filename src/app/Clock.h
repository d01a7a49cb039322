#pragma once
// Where "today" comes from. Every date the program takes from the calendar
// (period checks, closing dates, the status bar) asks one Clock, so a test
// can stand on any day it likes.
#include "app/Date.h"

#include <string>

namespace velmora::app {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Date today() const = 0;
    std::string todayText() const { return today().text(); }
};

// The machine's local calendar day.
class SystemClock : public Clock {
public:
    Date today() const override;
};

// A day that only moves when told to.
class FixedClock : public Clock {
public:
    explicit FixedClock(Date day) : day_(day) {}
    Date today() const override { return day_; }
    void set(Date day) { day_ = day; }

private:
    Date day_;
};

} // namespace velmora::app
