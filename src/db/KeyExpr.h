#pragma once
// dBASE index key expressions: field names joined by "+", with dtos(d),
// dtoc(d) and str(n,w). Field names are case-insensitive.
//
// A key is a sequence of segments, one per "+" term. Its sort key is a byte
// string whose memcmp order is the index order: segments compare one after
// the other; character segments (right-trimmed) by the Hungarian collation,
// dates and numbers by value; a blank segment sorts first. Because segments
// are kept apart, all keys whose leading segments equal given values form one
// contiguous run, which is what equality seeks use.
#include "db/FieldDef.h"
#include "db/RecordSource.h"

#include <memory>
#include <string>
#include <vector>

namespace velmora::db {

class KeyExpr {
public:
    // Throws DbError(BadExpression) naming the expression for unknown
    // fields or functions and for syntax errors.
    static KeyExpr compile(const std::string& expression, const FieldList& fields);

    const std::string& text() const { return text_; }

    std::string sortKey(const RecordSource& record) const;

    // Whether the key depends on the field at this position.
    bool uses(int field) const;

    // Field positions of the leading segments that are a bare field
    // reference of type C or D (seekable by an equal value). Stops at the
    // first segment that is not.
    const std::vector<int>& leadingFields() const { return leading_; }

    // Sort key prefix matching every record whose first values.size()
    // leading fields equal the given values (null meaning blank).
    std::string prefixKey(const std::vector<Value>& values) const;

    // The expression's text value for one record, as dBASE shows it:
    // segments concatenated at their full widths.
    std::string keyText(const RecordSource& record) const;

    struct Segment;  // defined in the implementation
    KeyExpr();
    ~KeyExpr();
    KeyExpr(const KeyExpr&);
    KeyExpr& operator=(const KeyExpr&);
    KeyExpr(KeyExpr&&) noexcept;
    KeyExpr& operator=(KeyExpr&&) noexcept;

private:
    std::string text_;
    std::vector<Segment> segments_;
    std::vector<int> leading_;  // leadingFields(), worked out once
};

} // namespace velmora::db
