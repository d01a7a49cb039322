#pragma once
// Tables of the data directory replaced whole: the new files are written
// into a folder beside them, then put in place by renaming, each rename
// replacing one file at once. The old files wait aside until every rename
// succeeded and are put back when one fails.
#include "db/Database.h"
#include "db/Value.h"
#include "store/Schemas.h"

#include <string>
#include <vector>

namespace velmora::exchange {

// Writes a new table of the layout `def` into `dir` holding `rows`
// (matched by position), with its index file. Throws db::DbError.
void writeNewTable(const std::string& dir, const store::schema::TableDef& def,
                   const std::vector<std::vector<db::Value>>& rows);

// Puts the tables `defs` written into `fromDir` in place of the data
// directory's, table and index file. The shared table objects are closed
// for it and reopened (active tag current) when they were open, also after
// a failure, which throws app::UserError naming the file and leaves every
// old file in place.
void swapInTables(db::Database& db, const std::vector<const store::schema::TableDef*>& defs,
                  const std::string& fromDir);

} // namespace velmora::exchange
