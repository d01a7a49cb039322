#pragma once
// Record filters in the small expression language the program uses:
//   comparison  := field op constant | field "is" ["not"] "null"
//   op          := "=" | "<>" | "<" | ">" | "<=" | ">="
//   constant    := 'quoted text' | "quoted text" | number | null
//   expression  := comparison | "(" expression ")" | expression and/or expression
// "and" binds tighter than "or"; keywords and field names are
// case-insensitive. A blank expression keeps every row; a blank constant
// ('' or spaces) means null, and ordering against null is an error.
// Date constants may be written 'YYYY.MM.DD', 'DD.MM.YYYY' or 'YYYYMMDD'. "field = null" and "field <> null" test for blank.
// Text compares right-trimmed under the Hungarian collation (case-insensitive
// when the filter is); dates compare as "YYYY.MM.DD" text; numbers by value.
// A blank field satisfies "is null" / "= null" and "<>" against any non-null
// constant (blank is not that value); "=", "<", ">", "<=", ">=" against a
// non-null constant are false for it.
#include "db/FieldDef.h"
#include "db/RecordSource.h"

#include <memory>
#include <string>

namespace velmora::db {

class Filter {
public:
    // Throws DbError(BadExpression) with the expression in the message.
    static Filter compile(const std::string& expression, const FieldList& fields, bool caseInsensitive);

    // A damaged field (a number field holding "*") compares like a blank
    // one, except that it is not null.
    bool matches(const RecordSource& record) const;
    const std::string& text() const { return text_; }

    struct Node;
    Filter();
    ~Filter();
    Filter(Filter&&) noexcept;
    Filter& operator=(Filter&&) noexcept;

private:
    std::string text_;
    std::unique_ptr<Node> root_;
};

} // namespace velmora::db
