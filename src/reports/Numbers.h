#pragma once
// Numbers on the printed forms, the Hungarian way whatever the machine's
// locale: a space between groups of three digits and a decimal comma
// ("1 234 567", "7 150,25").
#include "db/Decimal.h"

#include <cstdint>
#include <string>

namespace velmora::reports {

std::string huNumber(long long value);

// `value` rounded half away from zero to `decimals` places, which are always
// shown ("12,50"); no decimal comma when `decimals` is 0.
std::string huMoney(const db::Decimal& value, int decimals);
// The same rounding as a number: what the form prints, for a spreadsheet.
db::Decimal roundedTo(const db::Decimal& value, int decimals);

} // namespace velmora::reports
