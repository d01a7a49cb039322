#pragma once
// The transaction of a Database: everything a write unit needs to reach the
// disk whole or not at all, in one object.
//
//   - the unit levels, and for each where the open tables' cursors were;
//   - per changed table (TableChanges): its savepoints, the before-images of
//     the records changed since the outermost one, the index keys put in
//     and taken out, and the file as it was (length, header, the bytes new
//     records cover);
//   - the file operations that complete with the unit (renames, removals:
//     a shipment's files into KULD, a replaced table, a new backup set);
//   - the journal that carries the after-images and those operations.
//
// States (docs/engine.md):
//   Idle       no unit open; batches of single tables may still hold changes
//   Open       a unit collects changes in memory; rollback puts them back
//   Journaled  the journal is on disk and synced: from here the unit is
//              committed, and a kill is finished by the next recovery
//   Written    the tables are written and synced; the file operations run
//   Abandoned  neither the tables nor the journal could be put right: the
//              tables are closed and the journal waits for the next start
//
// A batch of one table outside any unit (bulk appends to a new file) is
// held the same way and written without a journal when its outermost level
// ends: such files are new and proven whole by whoever made them.
#include "db/Journal.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::db {

class Database;
class DbfFile;
class Table;

// Where a table's cursor stood.
struct CursorMark {
    int64_t cur = -1;
    int pos = -1;
    bool eof = true, bof = true;
};

// One key a change put into or took out of an index tag, for undoing it.
struct IndexChange {
    size_t tag;
    bool inserted;
    uint32_t recno;
    std::string key;
};

// The held changes of one table.
class TableChanges {
public:
    TableChanges(Table& table, DbfFile& file);

    struct Savepoint {
        int unitLevel;        // 0 for a batch of this table
        uint32_t id;          // tells the levels apart for the before-images
        size_t images;        // before-images when it began
        uint32_t count;       // record count when it began
        size_t indexLog;      // index changes when it began
        std::string head;     // header bytes 0-7 when it began
        CursorMark cursor;    // where the cursor was
    };

    Table& table() const { return table_; }
    DbfFile& file() const { return file_; }
    bool empty() const { return saves_.empty(); }
    const Savepoint& top() const { return saves_.back(); }
    const std::vector<Savepoint>& saves() const { return saves_; }
    // The deepest unit level holding a savepoint; 0 when none.
    int unitLevel() const;
    int batchDepth() const { return batchDepth_; }

    void push(int unitLevel, CursorMark cursor);
    // Before a record changes: its image for the innermost savepoint.
    void saveImage(uint32_t recno);
    void logIndex(IndexChange change);
    // Memory, keys and cursor as they were when the top savepoint began.
    void undoTop();
    // The top savepoint's changes now belong to the one below.
    void mergeTop();
    // The top savepoint becomes part of the unit level below.
    void lowerTop(int unitLevel) { saves_.back().unitLevel = unitLevel; }
    // Rows changed inside a batch: the table tells its listeners when it ends.
    void noteBatchChange() { batchChanged_ = true; }

    // --- the outermost level -------------------------------------------------
    // Changed or appended records since it began, in order, adjacent ones joined.
    struct Run { uint32_t first = 0, count = 0; };
    std::vector<Run> runs() const;
    bool hasChanges() const;
    uint32_t startCount() const { return startCount_; }
    // Writes the held records, the end mark and the header.
    void writeToFile();
    // The file as it was when the outermost level began.
    void restoreFile();
    // Everything reached the file (or was given up): nothing is held.
    void release();

private:
    friend class Transaction;
    struct Image {
        uint32_t recno;
        uint32_t savedFor;  // the savepoint id the record's previous image was saved for
        std::string bytes;
    };
    Table& table_;
    DbfFile& file_;
    std::vector<Savepoint> saves_;
    std::vector<Image> images_;
    std::vector<uint32_t> savedFor_;  // per record: the savepoint its last image was saved for
    std::vector<IndexChange> indexLog_;
    uint32_t nextId_ = 1;
    int batchDepth_ = 0;
    bool batchChanged_ = false;
    uint32_t startCount_ = 0;
    uint64_t startSize_ = 0;
    std::string startHead_;
    std::string overwrittenTail_;  // bytes past the old records that writeToFile replaced
    bool written_ = false;
};

class Transaction {
public:
    enum class State { Idle, Open, Journaled, Written, Abandoned };

    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    State state() const { return state_; }
    int unitLevel() const { return static_cast<int>(levels_.size()); }

    // --- units ---------------------------------------------------------------
    int beginUnit();
    // The outermost level writes: journal, tables, file operations.
    void commitUnit(int level);
    void rollbackUnit(int level) noexcept;
    // A file operation carried out when the outermost unit commits, after
    // the tables, and finished by recovery when a kill interrupts it.
    void addFileOperation(FileOperation op);
    // The operations of the last commit that were not required and failed,
    // in the user's words.
    const std::vector<std::string>& lastWarnings() const { return warnings_; }

    // --- a table's part --------------------------------------------------------
    // Before a change: the table joins the open unit (or nothing outside one).
    void join(Table& table);
    // The table's held changes; null when it holds none.
    TableChanges* changesOf(const Table& table);
    void beginBatch(Table& table);
    void endBatch(Table& table, bool commit);
    int batchDepth(const Table& table) const;
    // A closing table must hold nothing; its batches end with commit.
    void forget(const Table& table);

private:
    struct Level {
        std::map<const Table*, CursorMark> cursors;  // of the tables open when it began
        size_t fileOps;                              // file operations when it began
    };
    TableChanges& changesFor(Table& table);
    void drop(const Table& table);
    CursorMark cursorAtLevel(const Table& table, int level) const;
    void commitOutermost();
    void writeToDisk(const std::vector<TableChanges*>& changed);
    void writeTablesOrRestore(const std::vector<TableChanges*>& changed, JournalFile& journal);
    void runFileOperations();
    void abandon(const std::vector<TableChanges*>& changed) noexcept;
    void endOutermostBatch(TableChanges& changes);
    void refuseReadOnly(const std::vector<TableChanges*>& changed) const;
    // The table's file name in the journal: its bare name in the data
    // directory, its whole path outside it.
    std::string journalName(const Table& table) const;

    Database& db_;
    State state_ = State::Idle;
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<TableChanges>> tables_;  // in the order they joined
    std::vector<FileOperation> fileOps_;
    std::vector<std::string> warnings_;
};

} // namespace velmora::db
