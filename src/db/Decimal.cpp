#include "db/Decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace velmora::db {
namespace {

constexpr int kMaxDigits = 18;

int64_t pow10(int n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

bool mulOverflows(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_mul_overflow(a, b, &r);
}

} // namespace

std::optional<Decimal> Decimal::parse(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    while (n > i && text[n - 1] == ' ') --n;
    if (i == n) return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    int64_t units = 0;
    int digits = 0, scale = 0;
    bool sawPoint = false, sawDigit = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '.' && !sawPoint) { sawPoint = true; continue; }
        if (c < '0' || c > '9') return std::nullopt;
        sawDigit = true;
        if (units != 0 || c != '0') ++digits;
        if (digits > kMaxDigits) return std::nullopt;
        units = units * 10 + (c - '0');
        if (sawPoint) ++scale;
    }
    if (!sawDigit) return std::nullopt;
    return Decimal(negative ? -units : units, scale);
}

Decimal Decimal::fromDouble(double v, int scale) {
    // Below 2^63 with room to spare: the cast is then defined.
    constexpr double kLimit = 9.2e18;
    if (!std::isfinite(v)) return Decimal();
    while (scale > 0 && std::fabs(v * static_cast<double>(pow10(scale))) >= kLimit) --scale;
    const double scaled = std::clamp(std::round(v * static_cast<double>(pow10(scale))), -kLimit, kLimit);
    return Decimal(static_cast<int64_t>(scaled), scale);
}

std::optional<Decimal> Decimal::rescaled(int scale) const {
    if (scale == scale_) return *this;
    if (scale > scale_) {
        const int64_t f = pow10(scale - scale_);
        if (scale > kMaxDigits || mulOverflows(units_, f)) return std::nullopt;
        return Decimal(units_ * f, scale);
    }
    const int64_t f = pow10(scale_ - scale);
    if (units_ % f != 0) return std::nullopt;
    return Decimal(units_ / f, scale);
}

Decimal Decimal::normalized() const {
    Decimal d = *this;
    while (d.scale_ > 0 && d.units_ % 10 == 0) {
        d.units_ /= 10;
        --d.scale_;
    }
    return d;
}

bool Decimal::isInteger() const { return units_ % pow10(scale_) == 0; }
int64_t Decimal::toInt() const { return units_ / pow10(scale_); }
double Decimal::toDouble() const { return static_cast<double>(units_) / static_cast<double>(pow10(scale_)); }

std::string Decimal::toString() const {
    const bool negative = units_ < 0;
    // Work on the magnitude as unsigned so INT64_MIN cannot overflow.
    uint64_t mag = negative ? 0 - static_cast<uint64_t>(units_) : static_cast<uint64_t>(units_);
    std::string digits = std::to_string(mag);
    if (scale_ > 0) {
        if (static_cast<int>(digits.size()) <= scale_) digits.insert(0, scale_ - digits.size() + 1, '0');
        digits.insert(digits.size() - scale_, 1, '.');
    }
    return negative ? "-" + digits : digits;
}

int Decimal::compare(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.scale_, b.scale_);
    auto ra = a.rescaled(scale), rb = b.rescaled(scale);
    if (ra && rb) return ra->units_ < rb->units_ ? -1 : (ra->units_ > rb->units_ ? 1 : 0);
    const double da = a.toDouble(), db = b.toDouble();
    return da < db ? -1 : (da > db ? 1 : 0);
}

Decimal operator+(const Decimal& a, const Decimal& b) {
    const int scale = std::max(a.scale(), b.scale());
    return Decimal(a.rescaled(scale).value_or(Decimal()).units() + b.rescaled(scale).value_or(Decimal()).units(), scale);
}

} // namespace velmora::db
