#include "db/StoredField.h"

namespace velmora::db {
namespace {

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    s = trimRight(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits) n = n * 10 + (c - '0');
    return n;
}

bool validDate(int y, int m, int d) {
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

StoredField of(StoredField::Kind kind, std::string_view bytes = {}) {
    StoredField f;
    f.kind = kind;
    f.bytes = bytes;
    return f;
}

} // namespace

bool isDateDigits(std::string_view d) {
    if (d.size() != 8) return false;
    for (char c : d)
        if (c < '0' || c > '9') return false;
    return validDate(number(d.substr(0, 4)), number(d.substr(4, 2)), number(d.substr(6, 2)));
}

void formatDate(std::string_view digits, char* out) {
    const char text[10] = {digits[0], digits[1], digits[2], digits[3], '.', digits[4], digits[5], '.',
                           digits[6], digits[7]};
    for (int i = 0; i < 10; ++i) out[i] = text[i];
}

StoredField readStoredField(const char* record, const FieldDef& def, int offset) {
    using Kind = StoredField::Kind;
    const std::string_view bytes(record + offset, static_cast<size_t>(def.width));
    switch (def.type) {
    case 'D': {
        if (isDateDigits(bytes)) return of(Kind::Date, bytes);  // the usual case: nothing to trim
        const std::string_view t = trim(bytes);
        if (t.empty() || t == "00000000") return {};
        return of(isDateDigits(t) ? Kind::Date : Kind::Damaged, t);
    }
    case 'N': case 'F': {
        const std::string_view t = trim(bytes);
        if (t.empty()) return {};
        const auto d = Decimal::parse(t);
        if (!d) return of(Kind::Damaged, t);
        StoredField f = of(Kind::Number);
        const auto atField = d->rescaled(def.decimals);
        f.number = atField ? *atField : *d;
        return f;
    }
    case 'L': {
        const char c = bytes[0];
        StoredField f = of(Kind::Boolean);
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y') f.boolean = true;
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n') f.boolean = false;
        else if (c == ' ' || c == '?' || c == '\0') return {};  // '?': dBASE's not yet set
        else return of(Kind::Damaged, bytes.substr(0, 1));
        return f;
    }
    default: {
        const std::string_view t = trimRight(bytes);
        if (t.empty()) return {};
        return of(Kind::Text, t);
    }
    }
}

} // namespace velmora::db
