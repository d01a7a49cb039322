#pragma once
// Read access to one record's field values by field position; index key
// expressions and filters evaluate against it.
#include "db/Value.h"

namespace velmora::db {

class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual Value value(int fieldIndex) const = 0;
};

} // namespace velmora::db
