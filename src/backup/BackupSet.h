#pragma once
// The backup set: the fourteen tables that a backup copies and a restore
// puts back (index files and the password table never), and the check that
// a folder holds a whole, readable set.
#include "store/Schemas.h"

#include <string>
#include <vector>

namespace velmora::backup {

inline constexpr const char* kArchiveName = "Zaras.arj";

// In the order they are copied: the fourteen tables, then the history and
// the end of its chain.
const std::vector<const store::schema::TableDef*>& backedUpTables();
// The history's two tables: a set made before the history was kept lacks
// them, and restores all the same.
bool optionalInSet(const store::schema::TableDef& def);

// Their file names as the program writes them ("HSzerz.dbf", ...).
std::vector<std::string> backedUpFileNames();

// One table of a set found in a folder: the file's path there.
struct SetFile {
    const store::schema::TableDef* def;
    std::string path;
};

// Every table of the set in `dir` (the history's only when there), names matched without regard to case;
// each one opened and read to its last row by a fresh engine (a truncated,
// damaged or foreign file is refused) and carrying the fields its table
// needs (an older layout that start-up upgrades is accepted). Throws
// app::UserError naming the first file that fails; `where` names the folder
// or the archive as the message says it ("a /media/x/ könyvtárban").
std::vector<SetFile> checkSet(const std::string& dir, const std::string& where);

} // namespace velmora::backup
