#include "db/Transaction.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/Table.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace velmora::db {

namespace fs = std::filesystem;

// --- TableChanges -----------------------------------------------------------------

TableChanges::TableChanges(Table& table, DbfFile& file)
    : table_(table), file_(file), startCount_(file.recordCount()), startSize_(file.fileSize()),
      startHead_(file.headBytes()) {
    file_.hold(true);
}

int TableChanges::unitLevel() const {
    int level = 0;
    for (const Savepoint& s : saves_) level = std::max(level, s.unitLevel);
    return level;
}

void TableChanges::push(int unitLevel, CursorMark cursor) {
    saves_.push_back({unitLevel, nextId_++, images_.size(), file_.recordCount(), indexLog_.size(), file_.headBytes(),
                      cursor});
    if (savedFor_.size() < file_.recordCount()) savedFor_.resize(file_.recordCount(), 0);
}

void TableChanges::saveImage(uint32_t recno) {
    const Savepoint& top = saves_.back();
    if (recno >= top.count || savedFor_[recno] == top.id) return;
    images_.push_back({recno, savedFor_[recno], std::string(file_.raw(recno), file_.recordLength())});
    savedFor_[recno] = top.id;
}

void TableChanges::logIndex(IndexChange change) { indexLog_.push_back(std::move(change)); }

void TableChanges::undoTop() {
    const Savepoint sp = saves_.back();
    saves_.pop_back();
    while (images_.size() > sp.images) {
        const Image& i = images_.back();
        file_.putBack(i.recno, i.bytes);
        savedFor_[i.recno] = i.savedFor;
        images_.pop_back();
    }
    file_.dropFrom(sp.count);
    file_.setHeadBytes(sp.head);
    table_.undoIndexLog(indexLog_, sp.indexLog);
    table_.restoreCursor(sp.cursor);
}

void TableChanges::mergeTop() { saves_.pop_back(); }

std::vector<TableChanges::Run> TableChanges::runs() const {
    std::vector<uint32_t> changed;
    for (const Image& i : images_)
        if (i.recno < startCount_) changed.push_back(i.recno);
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    std::vector<Run> runs;
    auto add = [&](uint32_t first, uint32_t count) {
        if (!runs.empty() && runs.back().first + runs.back().count == first) runs.back().count += count;
        else runs.push_back({first, count});
    };
    for (uint32_t r : changed) add(r, 1);
    if (file_.recordCount() > startCount_) add(startCount_, file_.recordCount() - startCount_);
    return runs;
}

bool TableChanges::hasChanges() const { return file_.recordCount() != startCount_ || !images_.empty(); }

void TableChanges::writeToFile() {
    if (!hasChanges()) return;
    const uint32_t count = file_.recordCount();
    const uint16_t length = file_.recordLength();
    const uint64_t oldEnd = file_.header().headerLength + uint64_t(startCount_) * length;
    const uint64_t newEnd = file_.header().headerLength + uint64_t(count) * length;
    if (count != startCount_ && !written_ && startSize_ > oldEnd)
        // The bytes the new records replace (the old end mark), for restoreFile.
        overwrittenTail_ = file_.readRaw(oldEnd, std::min<uint64_t>(startSize_, newEnd + 1) - oldEnd);
    written_ = true;
    for (const Run& run : runs()) file_.writeRecords(run.first, run.count, count != startCount_);
    file_.writeCountAndDate();
}

void TableChanges::restoreFile() {
    if (!written_) return;
    file_.writeRaw(0, startHead_);
    // The first image saved of a record is its content when the outermost level began.
    std::vector<bool> done(startCount_, false);
    for (const Image& i : images_) {
        if (i.recno >= startCount_ || done[i.recno]) continue;
        done[i.recno] = true;
        file_.writeRaw(file_.header().headerLength + uint64_t(i.recno) * file_.recordLength(), i.bytes);
    }
    const uint64_t oldEnd = file_.header().headerLength + uint64_t(startCount_) * file_.recordLength();
    if (!overwrittenTail_.empty()) file_.writeRaw(oldEnd, overwrittenTail_);
    file_.truncate(startSize_);
}

void TableChanges::release() {
    saves_.clear();
    images_.clear();
    savedFor_.clear();
    indexLog_.clear();
    overwrittenTail_.clear();
    written_ = false;
    batchDepth_ = 0;
    file_.hold(false);
}

// --- Transaction --------------------------------------------------------------------

Transaction::Transaction(Database& db) : db_(db) {}

Transaction::~Transaction() = default;

TableChanges* Transaction::changesOf(const Table& table) {
    for (auto& c : tables_)
        if (&c->table() == &table) return c.get();
    return nullptr;
}

TableChanges& Transaction::changesFor(Table& table) {
    if (TableChanges* c = changesOf(table)) return *c;
    tables_.push_back(std::make_unique<TableChanges>(table, table.file()));
    table.changes_ = tables_.back().get();
    return *tables_.back();
}

// The table holds nothing any more: its file writes straight through again.
void Transaction::drop(const Table& table) {
    auto it = std::find_if(tables_.begin(), tables_.end(), [&](const auto& c) { return &c->table() == &table; });
    if (it == tables_.end()) return;
    (*it)->release();
    (*it)->table().changes_ = nullptr;
    tables_.erase(it);
}

CursorMark Transaction::cursorAtLevel(const Table& table, int level) const {
    const auto& cursors = levels_.at(static_cast<size_t>(level - 1)).cursors;
    const auto it = cursors.find(&table);
    return it != cursors.end() ? it->second : table.cursorMark();
}

// --- units ---------------------------------------------------------------------------

int Transaction::beginUnit() {
    Level level;
    for (Table* t : db_.tables())
        if (t->isOpen()) level.cursors.emplace(t, t->cursorMark());
    level.fileOps = fileOps_.size();
    levels_.push_back(std::move(level));
    state_ = State::Open;
    return unitLevel();
}

void Transaction::addFileOperation(FileOperation op) {
    if (levels_.empty())
        throw DbError(DbError::Code::State, "Állományművelet csak írási egységben jegyezhető elő.");
    fileOps_.push_back(std::move(op));
}

void Transaction::join(Table& table) {
    const int level = unitLevel();
    if (level == 0) return;
    TableChanges* held = changesOf(table);
    const int joined = held ? held->unitLevel() : 0;
    if (joined == level) return;
    // A batch begun outside the unit would reach the file with the unit's
    // changes and could no longer be undone alone.
    if (joined == 0 && held && !held->empty())
        throw DbError(DbError::Code::State,
                      "A(z) " + table.name() + " tábla kötegelt írása közben a tábla nem kerülhet írási egységbe.");
    changesFor(table).push(level, cursorAtLevel(table, level));
}

void Transaction::commitUnit(int level) {
    if (level != unitLevel())
        throw DbError(DbError::Code::State, level < unitLevel() ? "Egy belső írási egység még nyitva van."
                                                                : "Az írási egység már lezárult.");
    if (level > 1) {
        for (auto& c : tables_) {
            if (c->empty() || c->top().unitLevel != level) continue;
            const auto& saves = c->saves();
            const bool below = saves.size() >= 2 && (saves[saves.size() - 2].unitLevel == level - 1 ||
                                                     saves[saves.size() - 2].unitLevel == 0);
            if (below) c->mergeTop();  // the enclosing level (or batch) already covers these changes
            else c->lowerTop(level - 1);
        }
        levels_.pop_back();
        return;
    }
    commitOutermost();
}

void Transaction::rollbackUnit(int level) noexcept {
    if (level < 1 || level > unitLevel()) return;
    for (auto it = tables_.rbegin(); it != tables_.rend(); ++it) {
        TableChanges& c = **it;
        const auto& saves = c.saves();
        auto from = std::find_if(saves.begin(), saves.end(), [&](const auto& s) { return s.unitLevel >= level; });
        if (from == saves.end()) continue;
        const size_t keep = static_cast<size_t>(from - saves.begin());
        while (c.saves().size() > keep) {
            if (c.top().unitLevel == 0) --c.batchDepth_;
            c.undoTop();
        }
        if (c.batchDepth_ == 0) c.batchChanged_ = false;
        c.table().resetAfterRollback();
    }
    std::vector<const Table*> emptied;
    for (auto& c : tables_)
        if (c->empty()) emptied.push_back(&c->table());
    for (const Table* t : emptied) drop(*t);
    fileOps_.resize(levels_[static_cast<size_t>(level - 1)].fileOps);
    levels_.resize(static_cast<size_t>(level - 1));
    if (levels_.empty()) state_ = State::Idle;
}

void Transaction::commitOutermost() {
    warnings_.clear();
    // A pending edit belongs to the unit, as moving the cursor would post it.
    for (size_t i = 0; i < tables_.size(); ++i) {
        Table& t = tables_[i]->table();
        if (t.state() == TableState::Edit || t.state() == TableState::Insert) t.post();
    }
    std::vector<TableChanges*> changed;
    for (auto& c : tables_) {
        if (c->batchDepth() > 0)
            throw DbError(DbError::Code::State, "A(z) " + c->table().name() +
                                                    " tábla kötegelt írása még tart, az írási egység nem zárható le.");
        if (c->hasChanges()) changed.push_back(c.get());
    }
    if (!changed.empty() || !fileOps_.empty()) writeToDisk(changed);
    while (!tables_.empty()) drop(tables_.back()->table());
    levels_.clear();
    fileOps_.clear();
    state_ = State::Idle;
}

void Transaction::refuseReadOnly(const std::vector<TableChanges*>& changed) const {
    for (const TableChanges* c : changed)
        if (c->file().readOnly())
            throw DbError(DbError::Code::ReadOnly, "Az adatkönyvtár csak olvasható (" + db_.directory() +
                                                       "), ezért a változás nem menthető (" +
                                                       c->table().fileName() + ").");
}

std::string Transaction::journalName(const Table& table) const {
    const fs::path p = fs::absolute(table.path());
    std::error_code ec;
    if (fs::equivalent(p.parent_path(), db_.directory(), ec)) return p.filename().string();
    return p.string();
}

// Journal first, synced; then the tables, synced; then the file
// operations; then the journal goes.
void Transaction::writeToDisk(const std::vector<TableChanges*>& changed) {
    refuseReadOnly(changed);
    JournalBuilder builder;
    for (TableChanges* c : changed) builder.addTable(journalName(c->table()), *c);
    JournalFile journal(db_.directory());
    try {
        journal.write(builder.finish(fileOps_));
    } catch (const DbError& e) {
        if (!os::isReadOnlyError(e.osError())) throw;
        throw DbError(DbError::Code::ReadOnly,
                      "Az adatkönyvtár csak olvasható (" + db_.directory() + "), ezért a változás nem menthető.",
                      e.osError());
    }
    state_ = State::Journaled;
    writeTablesOrRestore(changed, journal);
    state_ = State::Written;
    std::string left;
    try {
        runFileOperations();
        journal.remove();
    } catch (const DbError& e) {
        left = e.what();
    }
    // From the journal on the unit stands; what is left of it is finished
    // by the next start.
    if (!left.empty()) {
        while (!tables_.empty()) drop(tables_.back()->table());
        levels_.clear();
        fileOps_.clear();
        state_ = State::Idle;
        throw DbError(DbError::Code::Io, left + " A változások a táblákba kerültek; a(z) " +
                                             std::string(kJournalFileName) +
                                             " napló szerint a hátralévő lépéseket a program következő indítása "
                                             "befejezi.");
    }
}

void Transaction::writeTablesOrRestore(const std::vector<TableChanges*>& changed, JournalFile& journal) {
    try {
        for (TableChanges* c : changed) {
            c->writeToFile();
            c->file().sync();
        }
    } catch (const std::exception& failure) {
        // Put every table back as it was; then the journal must not stay,
        // or the next start would write the unit after all.
        bool restored = true;
        for (TableChanges* c : changed) {
            try {
                c->restoreFile();
                c->file().sync();
            } catch (...) {
                restored = false;
            }
        }
        if (restored) {
            try {
                journal.remove();
            } catch (...) {
                restored = false;
            }
        }
        if (restored) {
            state_ = State::Open;
            throw;
        }
        const std::string what = failure.what();
        std::string names;
        for (TableChanges* c : changed) names += (names.empty() ? "" : ", ") + c->table().fileName();
        abandon(changed);
        throw DbError(DbError::Code::Io, what + " A táblák nem állíthatók vissza; a(z) " +
                                             std::string(kJournalFileName) +
                                             " napló megmaradt, a változásokat az adatkönyvtár következő megnyitása "
                                             "írja a táblákba. Addig ezek a táblák zárva maradnak: " + names + ".");
    }
}

void Transaction::runFileOperations() {
    for (const FileOperation& op : fileOps_) {
        try {
            runFileOperation(op);
        } catch (const DbError& e) {
            if (op.required) throw;
            warnings_.push_back(e.what());
        }
    }
}

// Neither the tables nor the journal could be put right: memory goes back,
// and the tables are closed so that nothing this run writes meets the
// replay of the journal at the next start.
void Transaction::abandon(const std::vector<TableChanges*>& changed) noexcept {
    std::vector<Table*> tables;
    for (TableChanges* c : changed) tables.push_back(&c->table());
    rollbackUnit(1);
    for (Table* t : tables) {
        try {
            t->close();
        } catch (...) {
        }
    }
    state_ = State::Abandoned;
}

// --- batches -------------------------------------------------------------------------------

int Transaction::batchDepth(const Table& table) const {
    for (const auto& c : tables_)
        if (&c->table() == &table) return c->batchDepth();
    return 0;
}

void Transaction::beginBatch(Table& table) {
    join(table);
    TableChanges& c = changesFor(table);
    if (c.batchDepth_++ == 0) c.batchChanged_ = false;
    c.push(0, table.cursorMark());
}

void Transaction::endBatch(Table& table, bool commit) {
    TableChanges* c = changesOf(table);
    if (!c || c->batchDepth_ == 0) return;
    --c->batchDepth_;
    if (c->empty() || c->top().unitLevel != 0) return;  // a unit's rollback already undid it
    if (!commit) c->undoTop();
    else if (c->saves().size() > 1) c->mergeTop();
    else endOutermostBatch(*c);
    if (c->batchDepth_ > 0) return;
    const bool changed = c->batchChanged_;
    c->batchChanged_ = false;
    if (c->empty()) drop(table);
    if (changed) table.rowsChangedInBatch();
}

// The outermost batch outside a unit writes the file now; a failed write
// leaves file, records and keys as they were.
void Transaction::endOutermostBatch(TableChanges& c) {
    try {
        c.writeToFile();
        c.file().sync();
    } catch (...) {
        try {
            c.restoreFile();
        } catch (...) {
        }
        c.undoTop();
        Table& table = c.table();
        drop(table);
        table.rowsChangedInBatch();
        throw;
    }
    c.mergeTop();
}

void Transaction::forget(const Table& table) {
    TableChanges* c = changesOf(table);
    if (!c) return;
    if (c->unitLevel() > 0)
        throw DbError(DbError::Code::State,
                      "A(z) " + table.name() + " tábla egy folyamatban lévő írási egység része, most nem zárható be.");
    while (changesOf(table) && batchDepth(table) > 0) endBatch(const_cast<Table&>(table), true);
}

} // namespace velmora::db
