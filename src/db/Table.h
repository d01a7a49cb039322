#pragma once
// The shared table object: one per table for the whole run. It carries a
// cursor (current row, active index, filter) that every window sees, the
// edit buffer of append/edit, and the record-level access the SQL layer uses
// without moving the cursor. Its code is split by concern: Table.cpp
// (lifecycle, structure, listeners), TableCursor.cpp (cursor, view, filter,
// field values), TableIndexes.cpp (the index set and its file),
// TableRecords.cpp (editing and record-level changes), TableSearch.cpp
// (locate and lookup). What a change inside a write unit or a batch holds
// lives in the Database's Transaction.
#include "db/DbfFile.h"
#include "db/Filter.h"
#include "db/IndexTag.h"
#include "db/Transaction.h"
#include "db/Value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::db {

class Database;
struct MdxContents;

enum class TableState { Inactive, Browse, Edit, Insert };

// What a listener is told. Records are physical, 0-based.
enum class TableEvent {
    Opened, Closed,      // open() / close()
    CursorMoved,         // current row changed
    RecordChanged,       // one record rewritten (edit, SQL update)
    RowsChanged,         // rows appended, deleted, emptied, packed, reordered or refiltered
};

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // the field value starts with the text
};

class Table {
public:
    // fileName is the table's file name as the program gives it
    // ("HLapa.dbf"); an existing file is matched without regard to case.
    Table(Database& db, std::string name, std::string fileName);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& name() const { return name_; }
    const std::string& fileName() const { return fileName_; }
    std::string path() const;       // the .dbf on disk (or the name it will get)
    // The .mdx beside it: derived data, so neither open nor close fails for
    // it; stale keys are rebuilt in memory and the file written when it can be.
    std::string indexPath() const;
    bool exists() const;

    // --- lifecycle ---------------------------------------------------------
    void open();   // exclusive; reads the index file (rebuilding stale keys)
    // Posts nothing: a pending edit is cancelled. Refused (DbError State)
    // while the table is part of an open write unit.
    void close();
    bool isOpen() const { return file_ != nullptr; }
    TableState state() const { return state_; }
    // Creates the file anew from a field list (the object must be closed;
    // refused inside a write unit).
    void create(const FieldList& fields, int level = 4);
    // Deletes the data and index files (the object must be closed; refused
    // inside a write unit).
    void remove();

    // --- structure ---------------------------------------------------------
    const FieldList& fields() const;
    int fieldIndex(const std::string& name) const;  // -1 when absent
    bool hasField(const std::string& name) const { return fieldIndex(name) >= 0; }
    int level() const;
    // Header bytes 28 (production index flag) and 29 (language driver).
    uint8_t languageDriver() const;
    // The code page of the table's text, as its language driver mark names it.
    CodePage codePage() const;
    // The index file exists but is not one this engine wrote for this table
    // and its layout (a damaged file, another program's, a copied one).
    bool hasForeignIndexFile() const { return foreignIndex_; }

    // --- cursor ------------------------------------------------------------
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const;
    int recordCount() const;        // rows visible through filter and index
    int position() const;           // 0-based row in the visible order, -1 when none
    void moveTo(int position);      // clamps to the visible rows
    int recNo() const;              // physical record of the current row, -1 when none

    using Bookmark = int64_t;       // physical record number, -1 for none
    Bookmark bookmark() const { return recNo(); }
    bool gotoBookmark(Bookmark bm); // false (cursor unmoved) when the row is not visible
    // Changes whenever record numbers may have changed meaning (open, empty,
    // pack): a bookmark taken under another value may name another row.
    int64_t recordNumbering() const { return numbering_; }

    // --- field values of the current row (or of the edit buffer) -----------
    Value field(const std::string& name) const;
    Value field(int index) const;
    std::string text(const std::string& name) const { return field(name).asString(); }
    void setField(const std::string& name, const Value& value);
    void setField(int index, const Value& value);

    // --- editing -----------------------------------------------------------
    void append();         // edit buffer of blanks, state Insert
    void edit();           // edit buffer from the current row, state Edit
    void post();           // writes the buffer; DbError(KeyViolation) leaves the state as it was
    void cancel();
    void deleteCurrent();  // the next row becomes current (the prior one at the end)

    // --- searching ---------------------------------------------------------
    // Moves to the first visible row (in the current order) whose fields
    // hold the values. fieldNames is one field or several separated by ";"
    // ("idoszak;sorsz;resz"), values one per field in that order. A null
    // value or an empty text matches a blank field. The options apply to the
    // last field; the others match exactly. A tag led by the exactly matched
    // fields serves the search when the table has one, else the visible rows
    // are scanned. false leaves the cursor where it was; so does a single
    // empty text (an incremental search with nothing typed).
    bool locate(const std::string& fieldNames, const std::vector<Value>& values, LocateOptions options = {});
    bool locate(const std::string& fieldName, const Value& value, LocateOptions options = {});
    // Value of resultField in the first visible row (in the current order)
    // whose key fields equal the keys, matched as locate matches them
    // exactly; the cursor does not move. Null when there is none.
    Value lookup(const std::string& keyFields, const std::vector<Value>& keys, const std::string& resultField) const;
    Value lookup(const std::string& keyField, const Value& key, const std::string& resultField) const;

    // --- filter ------------------------------------------------------------
    void setFilter(const std::string& expression, bool caseInsensitive = false);
    void clearFilter();
    bool filtered() const { return filter_ != nullptr; }
    const std::string& filterText() const;

    // --- indexes -----------------------------------------------------------
    // Adds a production index tag and writes the index file.
    void addIndex(const std::string& tag, const std::string& expression, bool unique = false);
    // Forgets every tag and deletes the index file.
    void deleteIndexes();
    std::vector<std::string> indexNames() const;
    const IndexTag* index(const std::string& tag) const;
    // "" selects the natural (physical) order.
    void setActiveIndex(const std::string& tag);
    std::string activeIndex() const;

    // --- whole table (refused inside a write unit or a batch) ----------------
    void empty();
    // Removes the deleted records; a table without any is left as it is.
    void pack();
    // Raw header write (the program clears bytes 28 and 29 before
    // rebuilding tags); the table must be open.
    void writeHeaderBytes(int offset, std::string_view bytes);

    // --- lookup fields -----------------------------------------------------
    // A read-only field `name` whose value is lookupTable.resultField in the
    // row where lookupTable.lookupKey equals this table's keyField.
    void addLookupField(const std::string& name, const std::string& keyField, Table& lookupTable,
                        const std::string& lookupKey, const std::string& resultField);

    // --- record-level access (SQL); the cursor does not move ----------------
    uint32_t physicalCount() const;
    bool isDeletedAt(uint32_t recno) const;
    Value valueAt(uint32_t recno, int field) const;
    // A record's bytes, deletion flag first, and where each field starts in
    // them (SQL columns read fields straight from these); valid until the
    // table is written or closed.
    const char* recordBytes(uint32_t recno) const;
    const std::vector<int>& fieldOffsets() const;
    // Appends a full record (missing trailing values are blank).
    uint32_t appendValues(const std::vector<Value>& values);
    // Changes the given fields of a record.
    void updateValues(uint32_t recno, const std::vector<std::pair<int, Value>>& changes);
    void deleteAt(uint32_t recno);
    // The row at a place in the visible order (filter and active index), by
    // field or lookup field name; null outside the rows. For grids that
    // show every row without moving the cursor.
    int recnoAtPosition(int position) const;  // -1 outside the rows
    Value valueAtPosition(int position, const std::string& fieldName) const;
    // Live records whose leading key fields of the tag equal the values.
    std::vector<uint32_t> seek(const IndexTag& tag, const std::vector<Value>& leadingValues) const;
    // Groups many record-level changes into one file write; endBatch(false)
    // undoes them all (a failed SQL statement changes nothing). Inside a
    // write unit a batch is a savepoint: its changes reach the file with
    // the unit's.
    void beginBatch();
    void endBatch(bool commit = true);

    // --- listeners ---------------------------------------------------------
    using Listener = std::function<void(TableEvent)>;
    int subscribe(Listener listener);
    void unsubscribe(int id);

private:
    friend class Transaction;   // write units and batches
    friend class TableChanges;
    struct Lookup;
    class BufferSource;
    class RecordAt;
    struct Search;  // of locate and lookup (TableSearch.cpp)

    DbfFile& file() const;
    void requireOpen() const;
    void checkBrowseMode();          // posts a pending edit before moving
    const std::vector<uint32_t>& view() const;
    void invalidateView();
    void placeOn(int64_t recno, int fallbackPos);  // after a change: keep the row, else stay near
    void setCurrent(int pos);
    void notify(TableEvent e);
    bool visible(uint32_t recno) const;
    int tagIndex(const std::string& tag) const;  // -1 when the table has no such tag
    // Unique tags refuse a key another record holds; with `before`, only
    // tags whose key differs from before's are checked.
    void checkUnique(const RecordSource& rec, const RecordSource* before, std::optional<uint32_t> self) const;
    void indexInsert(uint32_t recno);
    void indexRemove(uint32_t recno);
    void markDeleted(uint32_t recno);  // the record's delete flag and keys
    void tagInsert(size_t tag, uint32_t recno, std::string key);
    void tagRemove(size_t tag, uint32_t recno, const std::string& key);
    // --- the transaction's hooks (Transaction.cpp) ---
    void joinUnit();                 // before a change: joins the open unit
    void saveImage(uint32_t recno);  // before a record changes inside a unit or batch
    bool inBatch() const { return changes_ && changes_->batchDepth() > 0; }
    void noteBatchChange();          // rows changed inside a batch: told when it ends
    CursorMark cursorMark() const { return {cur_, pos_, eof_, bof_}; }
    void restoreCursor(const CursorMark& mark);
    void undoIndexLog(std::vector<IndexChange>& log, size_t size);
    void resetAfterRollback();       // no edit pending; the rows are told to listeners
    void rowsChangedInBatch();
    void refuseInUnit(const char* what) const;
    void loadIndexes();
    bool indexBelongsHere(const MdxContents& contents) const;
    void rebuildIndexes();
    void saveIndexes();
    // The index file is derived: when it cannot be written (read-only
    // directory, full disk) the keys stay in memory and the file keeps its
    // stale stamp, so a later close or the next open writes it. False then.
    bool trySaveIndexes();
    void markIndexDirty();
    Value lookupValue(const Lookup& l, const RecordSource& rec) const;
    Search search(const std::string& fieldNames, const std::vector<Value>& values, LocateOptions options) const;
    bool matches(uint32_t recno, const Search& s) const;
    std::optional<std::pair<int, std::vector<Value>>> seekTagFor(const Search& s) const;
    int64_t firstMatch(const Search& s) const;  // physical record, -1 when none

    Database& db_;
    std::string name_;
    std::string fileName_;
    std::unique_ptr<DbfFile> file_;
    FieldList fieldsCache_;
    std::vector<IndexTag> tags_;
    int activeTag_ = -1;
    bool foreignIndex_ = false;
    bool indexDirty_ = false;
    std::unique_ptr<Filter> filter_;
    bool filterCaseInsensitive_ = false;

    mutable std::vector<uint32_t> view_;
    mutable bool viewValid_ = false;
    int64_t cur_ = -1;               // physical record of the current row
    int64_t numbering_ = 0;
    mutable int pos_ = -1;           // its place in view_ when known
    bool eof_ = true, bof_ = true;
    std::string activeTagName_;      // kept over close and open, like the filter
    std::string filterText_;
    TableChanges* changes_ = nullptr;  // what the transaction holds for this table

    TableState state_ = TableState::Inactive;
    std::string buffer_;             // edit buffer (raw record bytes)
    int64_t editRecno_ = -1;

    std::vector<std::unique_ptr<Lookup>> lookups_;
    std::map<int, Listener> listeners_;
    int nextListener_ = 1;
};

} // namespace velmora::db
