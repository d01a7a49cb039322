#pragma once
// Exact decimal number as dBASE N fields hold it: an integer count of units
// of 10^-scale. N fields are at most 20 characters wide, so 18 significant
// digits in an int64 cover every value a field can hold.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::db {

class Decimal {
public:
    Decimal() = default;
    Decimal(int64_t units, int scale) : units_(units), scale_(scale) {}
    static Decimal fromInt(int64_t v) { return Decimal(v, 0); }

    // Parses "-12.50", "  7", "+3", ".5". Returns nullopt for anything else,
    // including more than 18 significant digits.
    static std::optional<Decimal> parse(std::string_view text);
    // The nearest decimal with the given number of decimals (half away from
    // zero); fewer decimals when the value would not fit otherwise. Values
    // beyond 9.2e18 are clamped to it, and a NaN or infinity gives 0.
    static Decimal fromDouble(double v, int scale);

    int64_t units() const { return units_; }
    int scale() const { return scale_; }

    // Same value at another scale; nullopt when digits would be lost or the
    // value would overflow.
    std::optional<Decimal> rescaled(int scale) const;
    // Smallest scale that represents the value exactly (trailing zeros dropped).
    Decimal normalized() const;

    bool isInteger() const;
    int64_t toInt() const;  // truncates toward zero
    double toDouble() const;

    // Plain text: "-12.50" keeps the scale's decimals; no exponent, no grouping.
    std::string toString() const;

    friend bool operator==(const Decimal& a, const Decimal& b) { return compare(a, b) == 0; }
    friend bool operator<(const Decimal& a, const Decimal& b) { return compare(a, b) < 0; }
    static int compare(const Decimal& a, const Decimal& b);
    // The exact sum at the larger of the two scales (no overflow check: the
    // sums of the program's fields stay far below it).
    friend Decimal operator+(const Decimal& a, const Decimal& b);

private:
    int64_t units_ = 0;
    int scale_ = 0;
};

} // namespace velmora::db
