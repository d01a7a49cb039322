#include "app/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <optional>

using namespace velmora::app;
using velmora::db::Decimal;

TEST(Numbers, WholeNumbersAreGroupedByThreeWithASpace) {
    const struct { int64_t value; const char* text; } cases[] = {
        {0, "0"},           {999, "999"},         {1000, "1 000"},
        {-5, "-5"},         {-1234, "-1 234"},    {1234567, "1 234 567"},
        {INT64_MIN, "-9 223 372 036 854 775 808"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatWhole(c.value), c.text) << c.value;
}

TEST(Numbers, DecimalsRoundHalfAwayFromZeroAndTakeADecimalComma) {
    const struct { Decimal value; int decimals; const char* text; } cases[] = {
        {Decimal(972, 1), 1, "97,2"},
        {Decimal(123456, 2), 1, "1 234,6"},
        {Decimal(), 1, "0,0"},
        {Decimal(25, 2), 1, "0,3"},       // half goes up
        {Decimal(-25, 2), 1, "-0,3"},     // and away from zero below it
        {Decimal(-4, 2), 1, "0,0"},       // rounded to nothing: no sign
        {Decimal(5, 3), 2, "0,01"},       // zeros after the comma stay
        {Decimal(7, 0), 2, "7,00"},
        {Decimal(1234567, 0), 0, "1 234 567"},
        {Decimal(199999, 3), 0, "200"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDecimal(c.value, c.decimals), c.text) << c.value.toString();
}

TEST(Numbers, ForintsShowAsThousandsWithOneDecimalWhateverTheLocale) {
    // A locale with a decimal point and another grouping changes nothing.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    std::setlocale(LC_NUMERIC, "en_US.UTF-8");
    EXPECT_EQ(FormatThousands(Decimal::fromInt(97200)), "97,2");
    EXPECT_EQ(FormatThousands(Decimal::fromInt(12345678)), "12 345,7");
    EXPECT_EQ(FormatThousands(Decimal(32400, 1)), "3,2");  // tenths of a forint: 3240,0 Ft
    EXPECT_EQ(FormatThousands(Decimal::fromInt(49)), "0,0");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// Whole numbers as typed: spaces between the groups and around the number,
// as FormatWhole writes them, and a sign; anything else is no number.
TEST(Numbers, ParseWholeReadsGroupedDigits) {
    const struct {
        const char* typed;
        std::optional<int64_t> value;
    } cases[] = {
        {"12", 12},
        {" 12", 12},
        {"1 000", 1000},
        {"1\xc2\xa0" "234 567 ", 1234567},
        {"-1", -1},
        {"+ 5", 5},
        {"999999999999999999", 999999999999999999},
        {"1000000000000000000", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {"1-2", std::nullopt},
        {"--1", std::nullopt},
        {"1,5", std::nullopt},
        {"12a", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseWhole(c.typed), c.value) << c.typed;
}
