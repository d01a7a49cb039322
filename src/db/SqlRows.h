#pragma once
// A query's rows by lower-case column name, for code that reads many
// columns of a joined statement by name rather than by position.
#include "db/Sql.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::db {

using NamedRow = std::map<std::string, Value>;

std::vector<NamedRow> namedRows(const SqlResult& result);

} // namespace velmora::db
