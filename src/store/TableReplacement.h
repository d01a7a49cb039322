#pragma once
// Replacing tables of the data directory by files made elsewhere (a
// restore, the fund's tables, a rebuilt layout), all of them or none.
//
// The new files are made or copied whole into a staging folder inside the
// data directory (so they reach their place by renaming) and synced; then
// one write unit replaces them: its journal lists, per table, the removal
// of the old index file and the rename of the new file over the old one,
// and the removal of the staging folder. A kill before the journal is
// complete leaves every old file; after it, recovery finishes the renames.
// The replaced tables get their index files built anew.
//
//   store::Replacement r(db);
//   r.stage(schema::HSZERZ(), "/media/x/HAs1234.dbf");   // copied and proven
//   db::Database staged(r.folder());                     // or made in place
//   ...;  r.add(schema::HLAPA());
//   r.commit();
#include "db/Database.h"
#include "store/Schemas.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora::store {

// The staging folder's name in the data directory; a left-over one is from
// a replacement cut short before its journal and is removed at the next start.
inline constexpr const char* kStagingFolder = "csere.uj";

class Replacement {
public:
    // A fresh, empty staging folder (a left-over one is removed first).
    explicit Replacement(db::Database& db);
    // Removes the staging folder unless the replacement was committed.
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    const std::string& folder() const { return folder_; }
    // Where the table's new file is made in the staging folder.
    std::string stagedPath(const schema::TableDef& def) const;
    // Copies a complete new file for the table into the staging folder and
    // proves it byte for byte.
    void stage(const schema::TableDef& def, const std::string& source);
    // A new file of the table's layout holding the rows (matched to the
    // fields by position), made in the staging folder. Its index file comes
    // with the commit, so a table that already holds a duplicate of a
    // unique key comes over whole.
    void write(const schema::TableDef& def, const std::vector<std::vector<db::Value>>& rows);
    // The table's new file was made at stagedPath by the caller (closed).
    void add(const schema::TableDef& def);

    // Closes the tables, replaces their files in one write unit and builds
    // their index files anew; the tables that were open are open again. A
    // failure before the journal changes nothing (the tables are open again
    // as they were) and throws; a failure after it throws and leaves the
    // tables closed until the next start finishes the replacement.
    // `alsoInUnit` runs inside the replacement's write unit, for what is
    // written together with it into tables it does not replace.
    void commit(const std::function<void()>& alsoInUnit = {});

private:
    db::Database& db_;
    std::string folder_;
    std::vector<const schema::TableDef*> tables_;
    bool committed_ = false;
};

struct TableReplacement {
    const schema::TableDef* def;  // the table replaced
    std::string source;           // the complete new .dbf, outside the data directory
};

// Stages every source and commits: the whole replacement in one call. The
// tables must not be part of an open write unit.
void replaceTables(db::Database& db, const std::vector<TableReplacement>& replacements);

} // namespace velmora::store
