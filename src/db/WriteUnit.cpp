// Write units: the unit levels of a Database, the savepoints each joined
// table keeps, and the commit that takes a unit to the files through the
// journal.
#include "db/WriteUnit.h"

#include "db/DbError.h"
#include "db/Table.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace velmora::db {

namespace fs = std::filesystem;

// --- WriteUnit ---------------------------------------------------------------

WriteUnit::WriteUnit(Database& db) : db_(db), level_(db.beginUnit()) {}

WriteUnit::~WriteUnit() {
    if (open_) db_.rollbackUnit(level_);
}

void WriteUnit::commit() {
    if (!open_) throw DbError(DbError::Code::State, "Az írási egység már lezárult.");
    db_.commitUnit(level_);
    open_ = false;
}

void WriteUnit::rollback() {
    if (!open_) return;
    open_ = false;
    db_.rollbackUnit(level_);
}

// --- unit levels of the Database ----------------------------------------------

int Database::beginUnit() {
    std::map<const Table*, Table::CursorMark> cursors;
    for (const auto& [key, t] : tables_)
        if (t->isOpen()) cursors.emplace(t.get(), t->cursorMark());
    unitCursors_.push_back(std::move(cursors));
    return ++unitDepth_;
}

Table::CursorMark Database::cursorAtUnitBegin(const Table& table, int level) const {
    const auto& cursors = unitCursors_.at(static_cast<size_t>(level - 1));
    const auto it = cursors.find(&table);
    return it != cursors.end() ? it->second : table.cursorMark();
}

void Database::enlist(Table& table) { unitTables_.push_back(&table); }

void Database::commitUnit(int level) {
    if (level != unitDepth_)
        throw DbError(DbError::Code::State, level < unitDepth_ ? "Egy belső írási egység még nyitva van."
                                                               : "Az írási egység már lezárult.");
    if (level > 1) {
        for (Table* t : unitTables_) t->commitUnitLevel(level);
        --unitDepth_;
        unitCursors_.pop_back();
        return;
    }
    commitOutermost();
}

void Database::rollbackUnit(int level) noexcept {
    if (level < 1 || level > unitDepth_) return;
    for (auto it = unitTables_.rbegin(); it != unitTables_.rend(); ++it) (*it)->rollbackUnitLevel(level);
    std::erase_if(unitTables_, [](Table* t) { return t->unitLevelOfSaves() == 0; });
    unitDepth_ = level - 1;
    unitCursors_.resize(static_cast<size_t>(unitDepth_));
}

std::string Database::journalName(const Table& table) const {
    const fs::path p = fs::absolute(table.path());
    std::error_code ec;
    if (fs::equivalent(p.parent_path(), dir_, ec)) return p.filename().string();
    return p.string();
}

void Database::commitOutermost() {
    // A pending edit belongs to the unit, as moving the cursor would post it.
    for (size_t i = 0; i < unitTables_.size(); ++i) {
        Table& t = *unitTables_[i];
        if (t.state() == TableState::Edit || t.state() == TableState::Insert) t.post();
    }
    std::vector<Table*> changed;
    for (Table* t : unitTables_) {
        if (t->batchDepth_ > 0)
            throw DbError(DbError::Code::State, "A(z) " + t->name() +
                                                    " tábla kötegelt írása még tart, az írási egység nem zárható le.");
        if (t->file_->hasHeldChanges()) changed.push_back(t);
    }
    const std::optional<std::string> journalLeft = changed.empty() ? std::nullopt : writeUnitToDisk(changed);
    for (Table* t : unitTables_) t->finishUnit();
    unitTables_.clear();
    unitDepth_ = 0;
    unitCursors_.clear();
    if (journalLeft) throw DbError(DbError::Code::Io, *journalLeft);
}

// Journal first, synced; then the tables, synced; then the journal goes.
// Returns a message when everything reached the tables but the journal
// could not be removed.
std::optional<std::string> Database::writeUnitToDisk(const std::vector<Table*>& changed) {
    JournalBuilder builder;
    for (Table* t : changed) builder.addTable(journalName(*t), *t->file_);
    JournalFile journal(dir_);
    journal.write(builder.finish());
    try {
        for (Table* t : changed) {
            t->file_->writeHeld();
            t->file_->sync();
        }
    } catch (const std::exception& failure) {
        // Put every table back as it was; then the journal must not stay,
        // or the next start would write the unit after all.
        bool restored = true;
        for (Table* t : changed) {
            try {
                t->file_->restoreBeforeBatch();
                t->file_->sync();
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
        if (restored) throw;
        const std::string what = failure.what();
        std::string names;
        for (Table* t : changed) names += (names.empty() ? "" : ", ") + t->fileName();
        abandonUnit(changed);
        throw DbError(DbError::Code::Io, what + " A táblák nem állíthatók vissza; a(z) " +
                                             std::string(kJournalFileName) +
                                             " napló megmaradt, a változásokat az adatkönyvtár következő megnyitása "
                                             "írja a táblákba. Addig ezek a táblák zárva maradnak: " + names + ".");
    }
    try {
        journal.remove();
    } catch (const DbError& e) {
        return std::string(e.what()) + " A változások a táblákba kerültek; a naplót törölni kell, mielőtt a program "
                                       "újra indul.";
    }
    return std::nullopt;
}

// Neither the tables nor the journal could be put right: memory goes back,
// and the tables are closed so that nothing this run writes meets the
// replay of the journal at the next start.
void Database::abandonUnit(const std::vector<Table*>& changed) noexcept {
    rollbackUnit(1);
    for (Table* t : changed) {
        try {
            t->close();
        } catch (...) {
        }
    }
}

// --- the savepoints of a table ---------------------------------------------------

void Table::refuseInUnit(const char* what) const {
    if (db_.unitLevel() > 0)
        throw DbError(DbError::Code::State, "Írási egységen belül a(z) " + name_ + " tábla " + what + ".");
    if (!saves_.empty())
        throw DbError(DbError::Code::State, "Kötegelt írás közben a(z) " + name_ + " tábla " + what + ".");
}

int Table::unitLevelOfSaves() const {
    int level = 0;
    for (const Savepoint& s : saves_) level = std::max(level, s.unitLevel);
    return level;
}

void Table::joinUnit() {
    const int level = db_.unitLevel();
    if (level == 0) return;
    const int joined = unitLevelOfSaves();
    if (joined == level) return;
    if (joined == 0) {
        // The batch's changes would be written with the unit's and could
        // no longer be undone alone.
        if (!saves_.empty())
            throw DbError(DbError::Code::State,
                          "A(z) " + name_ + " tábla kötegelt írása közben a tábla nem kerülhet írási egységbe.");
        db_.enlist(*this);
    }
    pushSave(level, db_.cursorAtUnitBegin(*this, level));
}

void Table::pushSave(int unitLevel, CursorMark cursor) {
    file_->beginBatch();
    saves_.push_back({unitLevel, indexLog_.size(), cursor});
}

void Table::undoIndexLog(size_t size) {
    while (indexLog_.size() > size) {
        IndexChange& c = indexLog_.back();
        if (c.inserted) tags_[c.tag].remove(c.recno, c.key);
        else tags_[c.tag].insert(c.recno, std::move(c.key));
        indexLog_.pop_back();
    }
}

void Table::undoTopSave() {
    const Savepoint sp = saves_.back();
    saves_.pop_back();
    file_->endBatch(false);
    undoIndexLog(sp.indexLog);
    if (saves_.empty()) indexLog_.clear();
    restoreCursor(sp.cursor);
}

// Only the outermost level writes (a batch outside any unit); when that
// write fails, file and records are already back as they were.
void Table::mergeTopSave() {
    file_->endBatch(true);
    saves_.pop_back();
    if (saves_.empty()) indexLog_.clear();
}

void Table::restoreCursor(const CursorMark& mark) {
    placeOn(mark.cur, std::max(mark.pos, 0));
    if (cur_ == mark.cur) {
        eof_ = mark.eof;
        bof_ = mark.bof;
    }
}

void Table::commitUnitLevel(int level) {
    if (saves_.empty() || saves_.back().unitLevel != level) return;
    const bool below = saves_.size() >= 2 && (saves_[saves_.size() - 2].unitLevel == level - 1 ||
                                               saves_[saves_.size() - 2].unitLevel == 0);
    if (below) mergeTopSave();  // the enclosing level (or batch) already covers these changes
    else saves_.back().unitLevel = level - 1;
}

void Table::rollbackUnitLevel(int level) {
    auto from = std::find_if(saves_.begin(), saves_.end(), [&](const Savepoint& s) { return s.unitLevel >= level; });
    if (from == saves_.end()) return;
    const size_t keep = static_cast<size_t>(from - saves_.begin());
    while (saves_.size() > keep) {
        if (saves_.back().unitLevel == 0) --batchDepth_;
        undoTopSave();
    }
    if (batchDepth_ == 0) batchChanged_ = false;
    state_ = TableState::Browse;
    buffer_.clear();
    editRecno_ = -1;
    try {
        notify(TableEvent::RowsChanged);
    } catch (...) {
    }
}

void Table::finishUnit() {
    while (!saves_.empty()) mergeTopSave();
}

// --- batches ----------------------------------------------------------------------

void Table::beginBatch() {
    requireOpen();
    joinUnit();
    if (batchDepth_++ == 0) batchChanged_ = false;
    pushSave(0, cursorMark());
}

void Table::endBatch(bool commit) {
    if (batchDepth_ == 0 || !file_) return;
    --batchDepth_;
    if (saves_.empty() || saves_.back().unitLevel != 0) return;  // a unit's rollback already undid it
    if (!commit) {
        undoTopSave();
    } else if (saves_.size() > 1) {
        mergeTopSave();
    } else {
        // The outermost batch outside a unit writes the file now; a failed
        // write leaves file and records as they were, so the keys go back too.
        const Savepoint sp = saves_.back();
        try {
            mergeTopSave();
        } catch (...) {
            saves_.pop_back();
            undoIndexLog(sp.indexLog);
            indexLog_.clear();
            restoreCursor(sp.cursor);
            batchChanged_ = false;
            notify(TableEvent::RowsChanged);
            throw;
        }
    }
    if (batchDepth_ > 0) return;
    if (batchChanged_) {
        placeOn(cur_, std::max(pos_, 0));
        notify(TableEvent::RowsChanged);
    }
    batchChanged_ = false;
}

} // namespace velmora::db
