#include "db/SqlValue.h"

#include "db/Codepage.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace velmora::db::sqlvalue {

namespace {

std::string textOf(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string();
}

bool blank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

bool isDateText(const std::string& s) {
    if (s.size() != 10 || s[4] != '.' || s[7] != '.') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// A text read straight from a field that gives no text unless damaged.
bool isDamagedText(const FieldDef& field, const std::string& text) {
    switch (field.type) {
    case 'N': case 'F': case 'L': return true;
    case 'D': return !isDateText(text);
    default: return false;
    }
}

// SQLite copies the text. Handed over up to its terminating 0 it is kept
// terminated, so reading it back as C text does not copy it once more; a
// text that holds a 0 byte itself goes by its length. text[n] must be 0.
void setTerminatedText(sqlite3_context* ctx, const char* text, size_t n, bool inner0) {
    sqlite3_result_text(ctx, text, inner0 ? static_cast<int>(n) : -1, SQLITE_TRANSIENT);
}

// Bytes of the file's code page as UTF-8 text.
void setCodePageText(sqlite3_context* ctx, std::string_view bytes, CodePage cp) {
    if (bytes.size() > 255) {
        const std::string text = codepage::toUtf8(cp, bytes);
        setTerminatedText(ctx, text.c_str(), text.size(), text.find('\0') != std::string::npos);
        return;
    }
    // A field is at most 255 bytes wide, so its UTF-8 form fits here.
    char utf8[3 * 255 + 1];
    size_t n = 0;
    bool inner0 = false;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b - 1u < 0x7Fu) {
            utf8[n++] = c;  // 1 to 127 read the same in both
        } else {
            inner0 = inner0 || b == 0;
            n += codepage::toUtf8(cp, std::string_view(&c, 1), utf8 + n);
        }
    }
    utf8[n] = '\0';
    setTerminatedText(ctx, utf8, n, inner0);
}

} // namespace

const char* declaredType(const FieldDef& field) {
    switch (field.type) {
    case 'N': return field.decimals > 0 ? "REAL" : "INTEGER";
    case 'L': return "INTEGER";
    default: return "TEXT";  // C, D ('YYYY.MM.DD' orders as text) and foreign types read raw
    }
}

void setResult(sqlite3_context* ctx, const StoredField& stored, const FieldDef& field, CodePage cp) {
    switch (stored.kind) {
    case StoredField::Kind::Null: sqlite3_result_null(ctx); return;
    case StoredField::Kind::Boolean: sqlite3_result_int(ctx, stored.boolean ? 1 : 0); return;
    case StoredField::Kind::Number:
        if (field.decimals == 0 && stored.number.isInteger()) sqlite3_result_int64(ctx, stored.number.toInt());
        else sqlite3_result_double(ctx, stored.number.toDouble());
        return;
    case StoredField::Kind::Date: {
        char text[11];
        formatDate(stored.bytes, text);
        text[10] = '\0';
        setTerminatedText(ctx, text, 10, false);  // digits and dots
        return;
    }
    case StoredField::Kind::Text:
    case StoredField::Kind::Damaged:
        // A damaged value is its text: "is null" does not match it, and
        // typeof() tells it apart in a number column.
        setCodePageText(ctx, stored.bytes, cp);
        return;
    }
}

Value toField(sqlite3_value* v, const FieldDef& field) {
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL) return {};
    const bool numeric = field.type == 'N' || field.type == 'F';
    if (type == SQLITE_INTEGER) {
        const sqlite3_int64 i = sqlite3_value_int64(v);
        if (field.type == 'L') return Value::boolean(i != 0);
        if (numeric) return Value(Decimal::fromInt(i));
        return Value(std::to_string(i));
    }
    if (type == SQLITE_FLOAT) {
        const double d = sqlite3_value_double(v);
        if (numeric) {
            // Beyond 18 digits the field could never hold it; let the field's check say so.
            if (std::isfinite(d) && std::fabs(d) < 1e17) return Value(Decimal::fromDouble(d, field.decimals));
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return Value(std::string(buf));
        }
        if (field.type == 'L') return Value::boolean(d != 0);
        return fromDouble(d);
    }
    const std::string text = textOf(v);
    if (blank(text)) return {};
    if (numeric) {
        if (auto d = Decimal::parse(text)) return Value(*d);
    }
    return Value(text);  // the field's own check rejects what does not fit
}

int bind(sqlite3_stmt* stmt, int index, const Value& value) {
    if (value.isNull()) return sqlite3_bind_null(stmt, index);
    if (value.isBool()) return sqlite3_bind_int(stmt, index, value.asBool() ? 1 : 0);
    if (value.isNumber()) {
        const Decimal& d = value.number();
        if (d.isInteger()) return sqlite3_bind_int64(stmt, index, d.toInt());
        return sqlite3_bind_double(stmt, index, d.toDouble());
    }
    const std::string t = value.asString();  // text, or a damaged value's text
    return sqlite3_bind_text(stmt, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}

Value fromDouble(double v) {
    if (v == 0) return Value(Decimal::fromInt(0));
    if (!std::isfinite(v) || std::fabs(v) >= 9e18) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        return Value(std::string(buf));
    }
    // 15 significant digits is what a double holds reliably, so a sum of
    // decimals such as 0.1 + 0.2 comes out as 0.3.
    const int exp10 = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    const int scale = std::clamp(14 - exp10, 0, 18);
    return Value(Decimal::fromDouble(v, scale).normalized());
}

Value column(sqlite3_stmt* stmt, int col, const FieldDef* origin) {
    // The value itself, read once: each sqlite3_column_* call looks it up anew.
    sqlite3_value* v = sqlite3_column_value(stmt, col);
    const bool numeric = origin && (origin->type == 'N' || origin->type == 'F');
    const int decimals = numeric ? origin->decimals : -1;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return Value(Decimal::fromInt(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        // At the field's decimals when that is the value (5 in an N(10,1)
        // column reads "5.0"); a foreign file may hold more decimals.
        if (decimals >= 0 && std::fabs(d) < 1e17) {
            const Decimal atField = Decimal::fromDouble(d, decimals);
            if (atField.toDouble() == d) return Value(atField);
        }
        return fromDouble(d);
    }
    default: {
        std::string text = textOf(v);
        if (origin && isDamagedText(*origin, text)) return Value::damaged(std::move(text));
        return Value(std::move(text));
    }
    }
}

} // namespace velmora::db::sqlvalue
