// The table object: the index tags, their keys and the index file.
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

// --- indexes ---------------------------------------------------------------

int Table::tagIndex(const std::string& tag) const {
    for (size_t i = 0; i < tags_.size(); ++i)
        if (strcasecmp(tags_[i].name().c_str(), tag.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

void Table::checkUnique(const RecordSource& rec, const RecordSource* before, std::optional<uint32_t> self) const {
    for (const IndexTag& t : tags_) {
        if (!t.unique()) continue;
        const std::string key = t.expression().sortKey(rec);
        // A record keeping its key keeps it even where others share it
        // (rows stored before the tag was unique, blank keys).
        if (before && t.expression().sortKey(*before) == key) continue;
        if (t.holderOf(key, self))
            throw DbError(DbError::Code::KeyViolation, "Kulcsütközés: a(z) " + name_ + " táblában már van ilyen kulcsú "
                                                       "rekord (" + t.name() + " index).");
    }
}

void Table::indexInsert(uint32_t recno) {
    if (tags_.empty()) return;
    const RecordAt rec(*file_, recno);
    for (size_t i = 0; i < tags_.size(); ++i) tagInsert(i, recno, tags_[i].expression().sortKey(rec));
    markIndexDirty();
}

void Table::indexRemove(uint32_t recno) {
    if (tags_.empty() || file_->isDeleted(recno)) return;
    const RecordAt rec(*file_, recno);
    for (size_t i = 0; i < tags_.size(); ++i) tagRemove(i, recno, tags_[i].expression().sortKey(rec));
    markIndexDirty();
}

// Inside a write unit or a batch every key change is logged, so undoing
// the changes puts the keys back without rebuilding the tags.
void Table::tagInsert(size_t tag, uint32_t recno, std::string key) {
    if (changes_) changes_->logIndex({tag, true, recno, key});
    tags_[tag].insert(recno, std::move(key));
}

void Table::tagRemove(size_t tag, uint32_t recno, const std::string& key) {
    if (changes_) changes_->logIndex({tag, false, recno, key});
    tags_[tag].remove(recno, key);
}

void Table::markIndexDirty() { indexDirty_ = true; }

void Table::rebuildIndexes() {
    const DbfFile& f = *file_;
    // One reusable source per call keeps the build free of allocations per record.
    struct Cursor : RecordSource {
        const DbfFile& f;
        uint32_t recno = 0;
        explicit Cursor(const DbfFile& file) : f(file) {}
        Value value(int field) const override { return f.value(recno, field); }
    } cursor(f);
    for (IndexTag& t : tags_)
        t.build(f.recordCount(), [&](uint32_t r) { return !f.isDeleted(r); },
                [&](uint32_t r) -> const RecordSource& { cursor.recno = r; return cursor; });
    markIndexDirty();
}

void Table::loadIndexes() {
    tags_.clear();
    foreignIndex_ = false;
    indexDirty_ = false;
    const std::string mdxPath = indexPath();
    std::error_code ec;
    if (!fs::exists(mdxPath, ec)) return;
    auto contents = mdx::read(mdxPath);
    if (!contents || !indexBelongsHere(*contents)) {
        foreignIndex_ = true;
        return;
    }
    try {
        for (MdxTag& t : contents->tags)
            tags_.emplace_back(t.name, KeyExpr::compile(t.expression, fieldsCache_), t.unique);
    } catch (const DbError&) {
        // The tags name fields the table no longer has: the file is not ours to use.
        tags_.clear();
        foreignIndex_ = true;
        return;
    }
    const bool fresh = !contents->tableFile.empty() && contents->tableSize == file_->fileSize() && contents->tableHash == file_->hash() &&
                       contents->collationVersion == collation::version();
    if (fresh) {
        for (size_t i = 0; i < tags_.size(); ++i) tags_[i].assign(std::move(contents->tags[i].entries));
    } else {
        rebuildIndexes();
        trySaveIndexes();
    }
}

// An index file names its table and layout; one made for another table (a
// copied file) or another layout is never used. A file from before the
// index recorded this carries no identity: its keys are rebuilt.
bool Table::indexBelongsHere(const MdxContents& contents) const {
    if (contents.tableFile.empty()) return true;
    return strcasecmp(contents.tableFile.c_str(), fs::path(file_->path()).filename().string().c_str()) == 0 &&
           contents.layout == mdx::layoutFingerprint(fieldsCache_);
}

void Table::saveIndexes() {
    if (!file_) return;
    if (tags_.empty()) {
        indexDirty_ = false;
        return;
    }
    MdxContents c;
    c.tableFile = fs::path(file_->path()).filename().string();
    c.layout = mdx::layoutFingerprint(fieldsCache_);
    c.tableSize = file_->fileSize();
    c.tableHash = file_->hash();
    c.collationVersion = collation::version();
    for (const IndexTag& t : tags_) c.tags.push_back({t.name(), t.expression().text(), t.unique(), t.entries()});
    mdx::write(indexPath(), c);
    indexDirty_ = false;
}

bool Table::trySaveIndexes() {
    try {
        saveIndexes();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void Table::addIndex(const std::string& tag, const std::string& expression, bool unique) {
    checkBrowseMode();
    refuseInUnit("indexei nem módosíthatók");
    IndexTag t(tag, KeyExpr::compile(expression, fieldsCache_), unique);
    const int same = tagIndex(tag);
    if (same >= 0) tags_[same] = std::move(t);
    else tags_.push_back(std::move(t));
    foreignIndex_ = false;
    rebuildIndexes();
    saveIndexes();
    placeOn(cur_, 0);
    notify(TableEvent::RowsChanged);
}

void Table::deleteIndexes() {
    if (file_) checkBrowseMode();
    refuseInUnit("indexei nem módosíthatók");
    tags_.clear();
    activeTag_ = -1;
    foreignIndex_ = false;
    indexDirty_ = false;
    std::error_code ec;
    fs::remove(indexPath(), ec);
    if (file_) {
        placeOn(cur_, 0);
        notify(TableEvent::RowsChanged);
    }
}

std::vector<std::string> Table::indexNames() const {
    std::vector<std::string> names;
    for (const IndexTag& t : tags_) names.push_back(t.name());
    return names;
}

const IndexTag* Table::index(const std::string& tag) const {
    const int i = tagIndex(tag);
    return i < 0 ? nullptr : &tags_[i];
}

void Table::setActiveIndex(const std::string& tag) {
    checkBrowseMode();
    const int found = tag.empty() ? -1 : tagIndex(tag);
    if (!tag.empty() && found < 0)
        throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblának nincs " + tag + " indexe.");
    activeTag_ = found;
    activeTagName_ = tag;
    placeOn(cur_, 0);
    notify(TableEvent::RowsChanged);
}

std::string Table::activeIndex() const { return activeTag_ >= 0 ? tags_[activeTag_].name() : std::string(); }

void Table::undoIndexLog(std::vector<IndexChange>& log, size_t size) {
    while (log.size() > size) {
        IndexChange& c = log.back();
        if (c.inserted) tags_[c.tag].remove(c.recno, c.key);
        else tags_[c.tag].insert(c.recno, std::move(c.key));
        log.pop_back();
    }
}

} // namespace velmora::db
