#pragma once
// The values of a query's named rows (db::namedRows) as the forms print
// them; a column the row lacks reads as blank.
#include "db/SqlRows.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::reports {

using QueryRow = db::NamedRow;

std::string text(const QueryRow& row, const std::string& column);
int number(const QueryRow& row, const std::string& column);

} // namespace velmora::reports
