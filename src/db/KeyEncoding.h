#pragma once
// Byte encodings of single key segments. Every segment key ends with a 0
// byte and holds no other, so a concatenation of segment keys compares
// (memcmp) segment after segment, and equal leading segments share a prefix.
#include "db/Value.h"

#include <string>

namespace velmora::db::keyenc {

// "YYYYMMDD" of a date value ("YYYY.MM.DD" or already 8 digits); "" when blank.
std::string dateDigits(const Value& v);

// A bare date segment: the 8 date bytes and the terminator; a blank date is
// the terminator alone and sorts before every date. A damaged date keys by
// its text, so "20240231" sorts between the last of February and March.
std::string dateKey(const Value& v);

// A bare numeric segment ordered by exact value; blank sorts first, then
// damaged values (all alike), then the numbers.
std::string numberKey(const Value& v);

// dBASE str(): the number rounded (half away from zero) to the given
// decimals, right-aligned in width characters; asterisks when it does not
// fit. A blank number counts as 0, as in dBASE; so does a damaged one.
std::string strText(const Value& v, int width, int decimals);

} // namespace velmora::db::keyenc
