// Written digit by digit rather than through the C library, whose grouping
// and decimal point follow the machine's locale.
#include "app/Numbers.h"


namespace velmora::app {

namespace {

using Wide = __int128;

Wide powerOfTen(int n) {
    Wide p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

std::string plainDigits(Wide magnitude) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    return digits;
}

// The digits of a non-negative number with a space between groups of three.
std::string grouped(Wide magnitude) {
    const std::string digits = plainDigits(magnitude);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

// The value in units of 10^-decimals, rounded half away from zero.
Wide unitsAt(const db::Decimal& value, int decimals) {
    const Wide units = value.units();
    if (value.scale() <= decimals) return units * powerOfTen(decimals - value.scale());
    const Wide divisor = powerOfTen(value.scale() - decimals);
    const Wide magnitude = units < 0 ? -units : units;
    const Wide rounded = (magnitude + divisor / 2) / divisor;
    return units < 0 ? -rounded : rounded;
}

} // namespace

std::string FormatWhole(int64_t value) {
    const Wide v = value;
    return (v < 0 ? "-" : "") + grouped(v < 0 ? -v : v);
}

std::string FormatDecimal(const db::Decimal& value, int decimals) {
    if (decimals < 0) decimals = 0;
    const Wide units = unitsAt(value, decimals);
    const Wide magnitude = units < 0 ? -units : units;
    const Wide scale = powerOfTen(decimals);
    // A value that rounds to zero shows no sign.
    std::string out = units < 0 ? "-" : "";
    out += grouped(magnitude / scale);
    // The fraction's leading zeros come from a "1" put before it and dropped.
    if (decimals > 0) out += ',' + plainDigits(magnitude % scale + scale).substr(1);
    return out;
}

std::string FormatThousands(const db::Decimal& forints) {
    return FormatDecimal(db::Decimal(forints.units(), forints.scale() + 3), 1);
}

std::optional<int64_t> ParseWhole(const std::string& text) {
    static const std::string kNoBreakSpace = "\xc2\xa0";
    bool negative = false, sign = false;
    int digits = 0;
    int64_t value = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') continue;
        if (text.compare(i, kNoBreakSpace.size(), kNoBreakSpace) == 0) {
            ++i;
            continue;
        }
        if ((c == '+' || c == '-') && !sign && digits == 0) {
            sign = true;
            negative = c == '-';
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 18) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (digits == 0) return std::nullopt;
    return negative ? -value : value;
}

} // namespace velmora::app
