#include "db/KeyEncoding.h"

namespace velmora::db::keyenc {
namespace {

using Int128 = __int128;
using UInt128 = unsigned __int128;

// Every number key uses this many decimals, enough for any N field; 18
// significant digits at 18 decimals stay far inside 128 bits.
constexpr int kKeyScale = 18;
// 255^17 exceeds 2^128, so 17 base-255 digits hold any 128-bit value.
constexpr int kKeyDigits = 17;

Int128 pow10(int n) {
    Int128 p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// units * 10^-from expressed in units of 10^-to, rounded half away from zero.
Int128 rescale(int64_t units, int from, int to) {
    if (to >= from) return static_cast<Int128>(units) * pow10(to - from);
    if (from - to > 38) return 0;
    const Int128 f = pow10(from - to);
    Int128 q = units / f;
    const Int128 r = units % f;
    if (2 * (r < 0 ? -r : r) >= f) q += units < 0 ? -1 : 1;
    return q;
}

std::string digitsOf(UInt128 mag) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(mag % 10)));
        mag /= 10;
    } while (mag != 0);
    return s;
}

} // namespace

std::string dateDigits(const Value& v) {
    std::string d;
    for (char c : v.asString())
        if (c != '.' && c != ' ' && c != '\0') d += c;
    return d;
}

std::string dateKey(const Value& v) {
    std::string key = dateDigits(v);
    key += '\0';
    return key;
}

std::string numberKey(const Value& v) {
    if (v.isNull()) return std::string(1, '\0');
    // Every number's key starts with byte 1 followed by a nonzero byte.
    if (v.isDamaged()) return std::string("\x01", 2);
    const Decimal d = v.asDecimal();
    // Offset by 2^127 so that unsigned order is numeric order, then written
    // big-endian in base 255 with digits 1..255: no 0 byte inside.
    UInt128 biased = static_cast<UInt128>(rescale(d.units(), d.scale(), kKeyScale)) + (UInt128(1) << 127);
    std::string key(kKeyDigits + 1, '\0');
    for (int i = kKeyDigits - 1; i >= 0; --i) {
        key[i] = static_cast<char>(1 + static_cast<int>(biased % 255));
        biased /= 255;
    }
    return key;
}

std::string strText(const Value& v, int width, int decimals) {
    const Decimal d = v.isNull() ? Decimal() : v.asDecimal();
    const Int128 units = rescale(d.units(), d.scale(), decimals);
    const bool negative = units < 0;
    std::string text = digitsOf(static_cast<UInt128>(negative ? -units : units));
    if (decimals > 0) {
        if (text.size() <= static_cast<size_t>(decimals)) text.insert(0, decimals + 1 - text.size(), '0');
        text.insert(text.size() - decimals, 1, '.');
    }
    if (negative) text.insert(0, 1, '-');
    if (text.size() > static_cast<size_t>(width)) return std::string(width, '*');
    return std::string(width - text.size(), ' ') + text;
}

} // namespace velmora::db::keyenc
