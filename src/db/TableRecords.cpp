// The table object: editing, record-level changes and whole-table changes.
#include "db/TableInternal.h"

#include "db/Collation.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/MdxFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <strings.h>

namespace velmora::db {

namespace fs = std::filesystem;

// --- editing ---------------------------------------------------------------

void Table::append() {
    checkBrowseMode();
    joinUnit();
    buffer_ = file_->blankRecord();
    editRecno_ = -1;
    state_ = TableState::Insert;
}

void Table::edit() {
    checkBrowseMode();
    if (recNo() < 0) throw DbError(DbError::Code::State, "A(z) " + name_ + " táblában nincs aktuális rekord.");
    joinUnit();
    buffer_.assign(file_->raw(static_cast<uint32_t>(cur_)), file_->recordLength());
    buffer_[0] = ' ';
    editRecno_ = cur_;
    state_ = TableState::Edit;
}

void Table::post() {
    requireOpen();
    if (state_ == TableState::Browse) return;
    joinUnit();
    const BufferSource rec(*file_, buffer_);
    if (state_ == TableState::Edit) {
        const RecordAt stored(*file_, static_cast<uint32_t>(editRecno_));
        checkUnique(rec, &stored, static_cast<uint32_t>(editRecno_));
    } else {
        checkUnique(rec, nullptr, std::nullopt);
    }
    uint32_t recno;
    if (state_ == TableState::Insert) {
        recno = file_->append(buffer_.data());
        indexInsert(recno);
    } else {
        recno = static_cast<uint32_t>(editRecno_);
        saveImage(recno);
        indexRemove(recno);
        try {
            file_->write(recno, buffer_.data());
        } catch (...) {
            indexInsert(recno);  // the record was not changed: its keys go back
            throw;
        }
        indexInsert(recno);
    }
    const int oldPos = pos_;
    state_ = TableState::Browse;
    buffer_.clear();
    placeOn(recno, oldPos);
    notify(TableEvent::RowsChanged);
}

void Table::cancel() {
    requireOpen();
    state_ = TableState::Browse;
    buffer_.clear();
}

void Table::deleteCurrent() {
    checkBrowseMode();
    const int p = position();
    if (p < 0) throw DbError(DbError::Code::State, "A(z) " + name_ + " táblában nincs aktuális rekord.");
    markDeleted(static_cast<uint32_t>(cur_));
    placeOn(-1, p);
    notify(TableEvent::RowsChanged);
}

// --- record level ----------------------------------------------------------

uint32_t Table::physicalCount() const { return file().recordCount(); }
bool Table::isDeletedAt(uint32_t recno) const { return file().isDeleted(recno); }
Value Table::valueAt(uint32_t recno, int field) const { return file().value(recno, field); }
const char* Table::recordBytes(uint32_t recno) const { return file().raw(recno); }
const std::vector<int>& Table::fieldOffsets() const { return file().header().offsets; }

int Table::recnoAtPosition(int position) const {
    if (!file_ || position < 0) return -1;
    const auto& v = view();
    return position < static_cast<int>(v.size()) ? static_cast<int>(v[position]) : -1;
}

Value Table::valueAtPosition(int position, const std::string& fieldName) const {
    const int recno = recnoAtPosition(position);
    if (recno < 0) return {};
    const int i = findField(fieldsCache_, fieldName);
    if (i >= 0) return file_->value(static_cast<uint32_t>(recno), i);
    for (const auto& l : lookups_)
        if (strcasecmp(l->name.c_str(), fieldName.c_str()) == 0)
            return lookupValue(*l, RecordAt(*file_, static_cast<uint32_t>(recno)));
    throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs " + fieldName + " mező.");
}

uint32_t Table::appendValues(const std::vector<Value>& values) {
    requireOpen();
    joinUnit();
    std::string buf = file_->blankRecord();
    for (size_t i = 0; i < values.size() && i < fieldsCache_.size(); ++i)
        file_->encode(buf.data(), static_cast<int>(i), values[i]);
    checkUnique(BufferSource(*file_, buf), nullptr, std::nullopt);
    const uint32_t recno = file_->append(buf.data());
    indexInsert(recno);
    invalidateView();
    if (inBatch()) noteBatchChange();
    else notify(TableEvent::RowsChanged);
    return recno;
}

void Table::updateValues(uint32_t recno, const std::vector<std::pair<int, Value>>& changes) {
    requireOpen();
    if (file_->isDeleted(recno)) throw DbError(DbError::Code::State, "A(z) " + name_ + " táblában a rekord törölve van.");
    joinUnit();
    std::string buf(file_->raw(recno), file_->recordLength());
    for (const auto& [field, value] : changes) file_->encode(buf.data(), field, value);
    const BufferSource next(*file_, buf);
    // Only tags whose key changes are touched, so a mass update of an
    // unindexed field costs no index work.
    const RecordAt old(*file_, recno);
    const char* stored = file_->raw(recno);
    std::vector<int> changed;
    for (const auto& change : changes) {
        const int at = file_->header().offsets.at(change.first);
        const int width = fieldsCache_.at(change.first).width;
        if (std::memcmp(stored + at, buf.data() + at, width) != 0) changed.push_back(change.first);
    }
    auto touches = [&](const IndexTag& t) {
        return std::any_of(changed.begin(), changed.end(), [&](int f) { return t.expression().uses(f); });
    };
    if (std::any_of(tags_.begin(), tags_.end(), [&](const IndexTag& t) { return t.unique() && touches(t); }))
        checkUnique(next, &old, recno);
    struct Moved { size_t tag; std::string before, after; };
    std::vector<Moved> moved;
    for (size_t i = 0; i < tags_.size(); ++i) {
        if (!touches(tags_[i])) continue;
        std::string before = tags_[i].expression().sortKey(old), after = tags_[i].expression().sortKey(next);
        if (before != after) {
            tagRemove(i, recno, before);
            moved.push_back({i, std::move(before), std::move(after)});
        }
    }
    saveImage(recno);
    try {
        file_->write(recno, buf.data());
    } catch (...) {
        for (Moved& m : moved) tagInsert(m.tag, recno, std::move(m.before));
        throw;
    }
    for (Moved& m : moved) tagInsert(m.tag, recno, std::move(m.after));
    // The index file's stamp is the table's content: even a change that
    // moves no key leaves the file stale until it is written at close.
    markIndexDirty();
    if (filter_ || !moved.empty()) invalidateView();
    if (inBatch()) noteBatchChange();
    else notify(TableEvent::RecordChanged);
}

void Table::deleteAt(uint32_t recno) {
    requireOpen();
    if (file_->isDeleted(recno)) return;
    markDeleted(recno);
    invalidateView();
    if (inBatch()) noteBatchChange();
    else notify(TableEvent::RowsChanged);
}

std::vector<uint32_t> Table::seek(const IndexTag& tag, const std::vector<Value>& leadingValues) const {
    const auto [from, to] = tag.prefixRange(tag.expression().prefixKey(leadingValues));
    std::vector<uint32_t> out;
    out.reserve(to - from);
    for (size_t i = from; i < to; ++i) out.push_back(tag.entries()[i].recno);
    return out;
}

// --- whole table -----------------------------------------------------------

void Table::empty() {
    checkBrowseMode();
    refuseInUnit("nem üríthető");
    file_->zap();
    ++numbering_;
    rebuildIndexes();
    trySaveIndexes();
    placeOn(-1, 0);
    notify(TableEvent::RowsChanged);
}

void Table::pack() {
    checkBrowseMode();
    refuseInUnit("nem tömöríthető");
    if (!file_->hasDeleted()) return;  // nothing to remove: nothing is written
    const int oldPos = position();
    const auto map = file_->pack();
    ++numbering_;
    const int64_t now = cur_ >= 0 && cur_ < static_cast<int64_t>(map.size()) && map[cur_] != UINT32_MAX ? map[cur_] : -1;
    rebuildIndexes();
    trySaveIndexes();
    placeOn(now, oldPos);
    notify(TableEvent::RowsChanged);
}

void Table::writeHeaderBytes(int offset, std::string_view bytes) {
    refuseInUnit("fejléce nem írható");
    file().writeHeaderBytes(offset, bytes);
}

// A failed write leaves the record and its keys as they were.
void Table::markDeleted(uint32_t recno) {
    joinUnit();
    saveImage(recno);
    indexRemove(recno);
    try {
        file_->setDeleted(recno, true);
    } catch (...) {
        indexInsert(recno);
        throw;
    }
}

// --- write units and batches ------------------------------------------------------

void Table::joinUnit() { db_.transaction().join(*this); }

void Table::saveImage(uint32_t recno) {
    if (changes_) changes_->saveImage(recno);
}

void Table::noteBatchChange() { changes_->noteBatchChange(); }

void Table::beginBatch() {
    requireOpen();
    db_.transaction().beginBatch(*this);
}

void Table::endBatch(bool commit) {
    if (!file_) return;
    db_.transaction().endBatch(*this, commit);
}

void Table::refuseInUnit(const char* what) const {
    if (db_.unitLevel() > 0)
        throw DbError(DbError::Code::State, "Írási egységen belül a(z) " + name_ + " tábla " + what + ".");
    if (changes_)
        throw DbError(DbError::Code::State, "Kötegelt írás közben a(z) " + name_ + " tábla " + what + ".");
}

void Table::restoreCursor(const CursorMark& mark) {
    placeOn(mark.cur, std::max(mark.pos, 0));
    if (cur_ == mark.cur) {
        eof_ = mark.eof;
        bof_ = mark.bof;
    }
}

void Table::resetAfterRollback() {
    state_ = TableState::Browse;
    buffer_.clear();
    editRecno_ = -1;
    try {
        notify(TableEvent::RowsChanged);
    } catch (...) {
    }
}

void Table::rowsChangedInBatch() {
    placeOn(cur_, std::max(pos_, 0));
    notify(TableEvent::RowsChanged);
}

} // namespace velmora::db
