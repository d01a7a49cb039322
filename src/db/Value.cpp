#include "db/Value.h"

namespace velmora::db {

std::string Value::asString() const {
    if (isText()) return text();
    if (isNumber()) return number().toString();
    if (isBool()) return std::get<bool>(v_) ? "T" : "F";
    if (isDamaged()) return std::get<Damaged>(v_).raw;
    return {};
}

Decimal Value::asDecimal() const {
    if (isNumber()) return number();
    if (isText()) return Decimal::parse(text()).value_or(Decimal());
    if (isBool()) return Decimal::fromInt(std::get<bool>(v_) ? 1 : 0);
    return Decimal();
}

bool Value::asBool() const {
    if (isBool()) return std::get<bool>(v_);
    if (isNumber()) return number().units() != 0;
    if (isText()) {
        const std::string& t = text();
        return !t.empty() && (t[0] == 'T' || t[0] == 't' || t[0] == 'Y' || t[0] == 'y' || t[0] == 'I' || t[0] == 'i');
    }
    return false;
}

bool operator==(const Value& a, const Value& b) {
    if (a.isNumber() && b.isNumber()) return a.number() == b.number();
    return a.v_ == b.v_;
}

} // namespace velmora::db
