#include "app/Date.h"

#include <cstdio>

namespace velmora::app {

namespace {

bool digitsAt(const std::string& s, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int number(const std::string& s, size_t from, size_t count) {
    int n = 0;
    for (size_t i = from; i < from + count; ++i) n = n * 10 + (s[i] - '0');
    return n;
}

// Days since 1970.01.01 and back (H. Hinnant's civil calendar algorithms);
// day arithmetic then needs no month tables.
long long toDays(const Date& d) {
    const int y = d.year - (d.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = static_cast<unsigned>(d.month > 2 ? d.month - 3 : d.month + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(d.day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Date fromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe) + static_cast<int>(era * 400) + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

} // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return days[month - 1];
}

std::optional<Date> Date::parse(const std::string& s) {
    if (s.size() != 10 || s[4] != '.' || s[7] != '.') return std::nullopt;
    if (!digitsAt(s, 0, 4) || !digitsAt(s, 5, 2) || !digitsAt(s, 8, 2)) return std::nullopt;
    Date d{number(s, 0, 4), number(s, 5, 2), number(s, 8, 2)};
    if (d.year < 1 || d.month < 1 || d.month > 12) return std::nullopt;
    if (d.day < 1 || d.day > DaysInMonth(d.year, d.month)) return std::nullopt;
    return d;
}

std::string Date::text() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", year, month, day);
    return buf;
}

std::string Date::period() const { return text().substr(0, 7); }

Date Date::addMonths(int n) const {
    int index = year * 12 + (month - 1) + n;
    Date d{index / 12, index % 12 + 1, day};
    if (d.day > DaysInMonth(d.year, d.month)) d.day = DaysInMonth(d.year, d.month);
    return d;
}

Date Date::addDays(int n) const { return fromDays(toDays(*this) + n); }

} // namespace velmora::app
