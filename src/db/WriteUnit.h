#pragma once
// A write unit: changes to several tables of one Database that reach the
// files all together or not at all, also after a kill or a power cut.
//
//   db::WriteUnit unit(database);
//   hlapa.append(); ...; hlapa.post();
//   hlapb.updateValues(...);
//   sql.run("update beteg set ...");
//   unit.commit();
//
// Every table changed while the unit is open (a post, an edit or append
// begun, a record-level change, an SQL statement) joins it; its changes
// stay in memory until commit. Leaving the scope without commit (an
// exception, a refused key or value) rolls every joined table back:
// records, counts, index keys, the cursor where it was, no edit pending.
//
// Commit posts the joined tables' pending edits, writes a journal beside
// the tables (Journal.h) and syncs it, then writes and syncs the tables,
// carries out the unit's file operations and removes the journal. A failed
// table write puts the written tables back and throws; the unit is then
// still open and rolls back when left. What holds the unit's changes is the
// Database's Transaction (Transaction.h).
//
// A unit opened while another is open joins it: its commit hands its
// changes to the outer unit, its rollback undoes only what was done since
// it began. Creating, removing, emptying, packing a table, changing its
// index tags or header bytes, and closing a joined table are refused
// (DbError State) while a unit is open.
#include "db/Database.h"
#include "db/Journal.h"

namespace velmora::db {

class WriteUnit {
public:
    explicit WriteUnit(Database& db);
    ~WriteUnit();
    WriteUnit(const WriteUnit&) = delete;
    WriteUnit& operator=(const WriteUnit&) = delete;

    void commit();
    void rollback();
    bool isOpen() const { return open_; }
    // A file operation that completes with the unit, after its tables (a
    // shipment's files moved into KULD, a replaced table renamed into place).
    void addFileOperation(FileOperation op);
    // After commit: the file operations that were not required and failed.
    const std::vector<std::string>& warnings() const { return warnings_; }

private:
    Database& db_;
    int level_;
    bool open_ = true;
    std::vector<std::string> warnings_;
};

} // namespace velmora::db
