#include "app/Date.h"

#include <gtest/gtest.h>

using velmora::app::Date;

TEST(Date, ParsesOnlyTheFullFormOfARealDay) {
    const struct { const char* text; bool valid; } cases[] = {
        {"2024.02.29", true},  {"2023.02.29", false}, {"2000.02.29", true}, {"1900.02.29", false},
        {"2024.04.31", false}, {"2024.12.31", true},  {"2024.00.10", false}, {"2024.13.01", false},
        {"2024.1.05", false},  {"2024.01.5", false},  {"2024-01-05", false}, {"2024.01.05 ", false},
        {" 024.01.05", false}, {"0000.01.01", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Date::parse(c.text).has_value(), c.valid) << c.text;
    EXPECT_EQ(Date::parse("2024.06.10"), (Date{2024, 6, 10}));
    EXPECT_EQ((Date{987, 3, 4}).text(), "0987.03.04");
}

TEST(Date, MonthAndDayArithmeticAcrossMonthAndYearEnds) {
    const struct { Date from; int months, days; Date expected; } cases[] = {
        {{2024, 8, 31}, -6, 0, {2024, 2, 29}},  // clamped to February's end
        {{2023, 8, 31}, -6, 0, {2023, 2, 28}},
        {{2023, 12, 15}, 1, 0, {2024, 1, 15}},
        {{2024, 3, 10}, -3, 0, {2023, 12, 10}},
        {{2024, 3, 1}, 0, -1, {2024, 2, 29}},
        {{1900, 3, 1}, 0, -1, {1900, 2, 28}},
        {{2000, 3, 1}, 0, -1, {2000, 2, 29}},
        {{2023, 12, 31}, 0, 1, {2024, 1, 1}},
        {{2024, 1, 1}, 0, 366, {2025, 1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.from.addMonths(c.months).addDays(c.days), c.expected)
            << c.from.text() << " " << c.months << "m " << c.days << "d";
}
