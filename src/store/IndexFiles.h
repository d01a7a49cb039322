#pragma once
// The shared table object of a table of the data directory, and the
// rebuilding of its index file from the tags the program defines for it.
#include "db/Database.h"
#include "store/Schemas.h"

#include <string>

namespace velmora::store {

// The run's shared object of the table, under the file name the program
// gives it.
db::Table& tableOf(db::Database& db, const schema::TableDef& def);

// The table's index file has to be built: there is none, it is not one the
// engine can read, or it lacks one of the table's tags. Opens the table to
// look inside (a table file that cannot be read throws, naming the file).
bool indexFileMissing(db::Table& table, const schema::TableDef& def);

// Builds the index file anew: closes the table, forgets its tags, clears the
// production-index flag of the header, adds the tags in their order and makes
// activeTag current (none for ""). The table is left open.
void restoreIndex(db::Table& table, const schema::TableDef& def, const std::string& activeTag);

// restoreIndex with the table's own active tag when indexFileMissing. The
// table is left open either way.
void restoreIndexIfMissing(db::Table& table, const schema::TableDef& def);

} // namespace velmora::store
