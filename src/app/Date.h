#pragma once
// A calendar day. The program writes dates as "YYYY.MM.DD" everywhere (the
// one date format of the whole program), and a billing period is the first
// seven characters of such a text.
#include <compare>
#include <optional>
#include <string>

namespace velmora::app {

struct Date {
    int year = 0, month = 0, day = 0;

    // Strict "YYYY.MM.DD": ten characters, digits in place, a real day.
    static std::optional<Date> parse(const std::string& text);
    std::string text() const;       // "YYYY.MM.DD"
    std::string period() const;     // "YYYY.MM"

    // Same day n months later (or earlier); a day past the end of the target
    // month becomes its last day, so 2024.08.31 minus six months is 2024.02.29.
    Date addMonths(int n) const;
    Date addDays(int n) const;

    auto operator<=>(const Date&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

} // namespace velmora::app
