#pragma once
// A field value at the engine's interface. Blank fields are null; character
// fields are right-trimmed UTF-8 text; dates are "YYYY.MM.DD" text; numbers
// are exact decimals; logical fields are booleans.
#include "db/Decimal.h"

#include <cstdint>
#include <string>
#include <variant>

namespace velmora::db {

class Value {
public:
    Value() = default;  // null
    Value(std::string text) : v_(std::move(text)) {}
    Value(const char* text) : v_(std::string(text)) {}
    Value(Decimal number) : v_(number) {}
    Value(int number) : v_(Decimal::fromInt(number)) {}
    Value(int64_t number) : v_(Decimal::fromInt(number)) {}
    static Value boolean(bool b) { Value v; v.v_ = b; return v; }
    // A date, number or logical field holding bytes that are none of these
    // (a number field's "*", the date "20240231") is damaged: not null, and
    // it keeps the field's text, blanks around it removed.
    static Value damaged(std::string raw) { Value v; v.v_ = Damaged{std::move(raw)}; return v; }

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isNumber() const { return std::holds_alternative<Decimal>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isDamaged() const { return std::holds_alternative<Damaged>(v_); }

    // Text form of any value: "" for null, the decimal's plain text for
    // numbers, "T"/"F" for booleans, the field's text for a damaged value.
    std::string asString() const;
    // Number form: text is parsed; null, damaged values and unparsable text give 0.
    Decimal asDecimal() const;
    int64_t asInt() const { return asDecimal().toInt(); }
    bool asBool() const;

    const std::string& text() const { return std::get<std::string>(v_); }
    const Decimal& number() const { return std::get<Decimal>(v_); }

    friend bool operator==(const Value& a, const Value& b);
    friend bool operator!=(const Value& a, const Value& b) { return !(a == b); }

private:
    struct Damaged {
        std::string raw;
        friend bool operator==(const Damaged&, const Damaged&) = default;
    };
    std::variant<std::monostate, std::string, Decimal, bool, Damaged> v_;
};

} // namespace velmora::db
