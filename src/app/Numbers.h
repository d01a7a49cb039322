#pragma once
// Numbers as a Hungarian reader expects them, the same on every machine
// whatever its locale: a space between groups of three digits and a decimal
// comma ("12 345,6"). Amounts are exact decimals; rounding is half away
// from zero.
#include "db/Decimal.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::app {

// A whole number: 1234567 -> "1 234 567", -5 -> "-5".
std::string FormatWhole(int64_t value);
// A decimal rounded to `decimals` places: 97.2 with 1 -> "97,2",
// 1234.56 with 1 -> "1 234,6", 0 with 1 -> "0,0".
std::string FormatDecimal(const db::Decimal& value, int decimals);
// Forints as thousands of forints with one decimal (the register's "eFt"
// figures): 97200 -> "97,2".
std::string FormatThousands(const db::Decimal& forints);

// A whole number as typed: digits with an optional sign, spaces (plain or
// no-break) between the groups and around it, as FormatWhole writes them:
// " 12" -> 12, "1 000" -> 1000, "-5" -> -5. Nothing for any other text or a
// number beyond 18 digits.
std::optional<int64_t> ParseWhole(const std::string& text);

} // namespace velmora::app
