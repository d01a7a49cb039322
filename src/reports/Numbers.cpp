#include "reports/Numbers.h"

#include <cstdlib>

namespace velmora::reports {

namespace {

std::string grouped(uint64_t magnitude) {
    std::string digits = std::to_string(magnitude);
    std::string out;
    const size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (size_t i = lead; i < digits.size(); i += 3) {
        out += ' ';
        out.append(digits, i, 3);
    }
    return out;
}

uint64_t magnitudeOf(long long v) { return v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v); }

} // namespace

std::string huNumber(long long value) { return (value < 0 ? "-" : "") + grouped(magnitudeOf(value)); }

db::Decimal roundedTo(const db::Decimal& value, int decimals) {
    // Units at the wanted scale, rounded half away from zero.
    int64_t units = value.units();
    if (value.scale() > decimals) {
        int64_t divisor = 1;
        for (int s = decimals; s < value.scale(); ++s) divisor *= 10;
        const int64_t rest = std::llabs(units % divisor);
        units /= divisor;
        if (rest * 2 >= divisor) units += value.units() < 0 ? -1 : 1;
    } else {
        for (int s = value.scale(); s < decimals; ++s) units *= 10;
    }
    return db::Decimal(units, decimals);
}

std::string huMoney(const db::Decimal& value, int decimals) {
    const int64_t units = roundedTo(value, decimals).units();
    uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const uint64_t mag = magnitudeOf(units);
    std::string out = (units < 0 ? "-" : "") + grouped(mag / scale);
    if (decimals > 0) {
        const std::string frac = std::to_string(mag % scale);
        out += ',' + std::string(decimals - frac.size(), '0') + frac;
    }
    return out;
}

} // namespace velmora::reports
