#pragma once
// A query's rows by lower-case column name, and their values as the forms
// print them; a column the row lacks reads as blank.
#include "db/SqlRows.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::reports {

using QueryRow = db::NamedRow;

inline std::vector<QueryRow> rowsOf(const db::SqlResult& result) { return db::namedRows(result); }
std::string text(const QueryRow& row, const std::string& column);
int number(const QueryRow& row, const std::string& column);

} // namespace velmora::reports
