#pragma once
// Replacing tables of the data directory by files made elsewhere (a
// restore, the fund's tables), all of them or none. The new files are
// copied beside the live ones first; only when every copy is whole are the
// shared table objects closed and the files renamed into place, the old
// ones kept aside until the last rename has succeeded and put back on any
// failure. The replaced tables get their index files built anew and are
// open again afterwards, whatever happened.
//
// A swap cut short by a kill or a power cut is finished or undone the next
// time the data directory is opened (recoverTableSwap): while a staged file
// is left the swap had not reached its end and every old file goes back.
#include "db/Database.h"
#include "store/Schemas.h"

#include <string>
#include <vector>

namespace velmora::store {

struct TableReplacement {
    const schema::TableDef* def;  // the table replaced
    std::string source;           // the complete new .dbf, outside the data directory
};

// Throws (naming the file) when a copy or a rename fails; then every table
// file and index file is as it was and the tables are open again. The tables
// must not be part of an open write unit.
void swapTables(db::Database& db, const std::vector<TableReplacement>& replacements);

// Puts an interrupted swap right: undone when any staged file is left,
// else finished (the old files removed). Nothing to do is the usual case.
void recoverTableSwap(const std::string& dataDir);

namespace testing {
// The rename the swap makes its moves with; a test replaces it to make the
// n-th move fail. Nothing else ever changes it.
using RenameCall = int (*)(const char* from, const char* to);
extern RenameCall renameCall;
} // namespace testing

} // namespace velmora::store
