#pragma once
// Finding a master-data row by its code for the sheet checks, without
// moving the shared table's cursor and without regard to a filter a window
// left on it: "not in APOL" means no live row holds the code.
#include "db/Table.h"

#include <optional>
#include <string>

namespace velmora::sheets {

// The first live record (physical order) whose field holds exactly the
// text; an index tag on that field alone serves the search when the table
// has one. Nothing for a blank text.
std::optional<uint32_t> rowWith(const db::Table& table, const std::string& field, const std::string& value);

inline bool hasRowWith(const db::Table& table, const std::string& field, const std::string& value) {
    return rowWith(table, field, value).has_value();
}

// The text of resultField in that row; "" when there is none.
std::string textOfRowWith(const db::Table& table, const std::string& field, const std::string& value,
                          const std::string& resultField);

// The text of a field of a record; "" when the table has no such field.
std::string fieldText(const db::Table& table, uint32_t recno, const std::string& field);

} // namespace velmora::sheets
