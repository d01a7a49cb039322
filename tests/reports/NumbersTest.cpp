#include "reports/Numbers.h"

#include <gtest/gtest.h>

using namespace velmora;
using reports::huMoney;
using reports::huNumber;

TEST(Numbers, GroupsOfThreeWithASpaceAndADecimalComma) {
    const struct {
        int64_t value;
        const char* text;
    } whole[] = {{0, "0"}, {7, "7"}, {999, "999"}, {1000, "1 000"}, {1234567, "1 234 567"},
                 {-1234, "-1 234"}, {INT64_MIN, "-9 223 372 036 854 775 808"}};
    for (const auto& c : whole) EXPECT_EQ(huNumber(c.value), c.text) << c.value;

    const struct {
        db::Decimal value;
        int decimals;
        const char* text;
    } money[] = {
        {db::Decimal(715025, 2), 2, "7 150,25"}, {db::Decimal(5, 0), 2, "5,00"},
        {db::Decimal(12345, 3), 2, "12,35"},     {db::Decimal(123449, 4), 2, "12,34"},
        {db::Decimal(-12345, 3), 2, "-12,35"},   {db::Decimal(-4, 3), 2, "0,00"},
        {db::Decimal(1234565, 1), 0, "123 457"}, {db::Decimal(1000000, 0), 0, "1 000 000"},
        {db::Decimal(5, 1), 0, "1"},
    };
    for (const auto& c : money) EXPECT_EQ(huMoney(c.value, c.decimals), c.text) << c.value.toString();
}
