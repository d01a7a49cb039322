#include "db/Table.h"

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

struct Table::Lookup {
    std::string name;
    std::string keyField;
    Table* table;
    std::string lookupKey;
    std::string resultField;
};

// Values of one stored record.
class Table::RecordAt : public RecordSource {
public:
    RecordAt(const DbfFile& f, uint32_t recno) : f_(f), recno_(recno) {}
    Value value(int field) const override { return f_.value(recno_, field); }
private:
    const DbfFile& f_;
    uint32_t recno_;
};

// Values of a record buffer that is not (yet) stored.
class Table::BufferSource : public RecordSource {
public:
    BufferSource(const DbfFile& f, const std::string& buf) : f_(f), buf_(buf) {}
    Value value(int field) const override {
        return DbfFile::decode(buf_.data(), f_.fields().at(field), f_.header().offsets.at(field), f_.codePage());
    }
private:
    const DbfFile& f_;
    const std::string& buf_;
};

Table::Table(Database& db, std::string name, std::string fileName)
    : db_(db), name_(std::move(name)), fileName_(std::move(fileName)) {}

Table::~Table() {
    try { close(); } catch (...) {}
}

std::string Table::path() const { return db_.resolve(fileName_); }

std::string Table::indexPath() const {
    const fs::path dbf = path();
    const std::string ext = dbf.extension().string();
    const bool upperExt = !ext.empty() && ext[1] >= 'A' && ext[1] <= 'Z';
    const std::string name = dbf.stem().string() + (upperExt ? ".MDX" : ".mdx");
    if (auto found = findFileNoCase(dbf.parent_path().string(), name)) return *found;
    return (dbf.parent_path() / name).string();
}

bool Table::exists() const { return fs::exists(path()); }

// --- lifecycle -------------------------------------------------------------

void Table::open() {
    if (file_) return;
    file_ = DbfFile::open(path());
    fieldsCache_ = file_->fields();
    try {
        loadIndexes();
        if (!filterText_.empty())
            filter_ = std::make_unique<Filter>(Filter::compile(filterText_, fieldsCache_, filterCaseInsensitive_));
    } catch (...) {
        file_.reset();
        tags_.clear();
        throw;
    }
    activeTag_ = activeTagName_.empty() ? -1 : tagIndex(activeTagName_);
    ++numbering_;
    state_ = TableState::Browse;
    invalidateView();
    cur_ = -1;
    const auto& v = view();
    if (!v.empty()) { cur_ = v[0]; pos_ = 0; }
    bof_ = true;
    eof_ = v.empty();
    notify(TableEvent::Opened);
}

void Table::close() {
    if (!file_) return;
    if (unitLevelOfSaves() > 0)
        throw DbError(DbError::Code::State,
                      "A(z) " + name_ + " tábla egy folyamatban lévő írási egység része, most nem zárható be.");
    buffer_.clear();
    state_ = TableState::Inactive;
    while (batchDepth_ > 0) endBatch(true);
    if (indexDirty_) trySaveIndexes();
    file_.reset();
    tags_.clear();
    filter_.reset();
    activeTag_ = -1;
    cur_ = -1;
    invalidateView();
    notify(TableEvent::Closed);
}

void Table::create(const FieldList& fields, int level) {
    if (file_) throw DbError(DbError::Code::State, "A(z) " + name_ + " tábla nyitva van, nem hozható létre újra.");
    refuseInUnit("nem hozható létre");
    DbfFile::create(path(), fields, level);
    std::error_code ec;
    fs::remove(indexPath(), ec);  // the old tags belonged to the old layout
}

void Table::remove() {
    if (file_) throw DbError(DbError::Code::State, "A(z) " + name_ + " tábla nyitva van, nem törölhető.");
    refuseInUnit("nem törölhető");
    std::error_code ec;
    fs::remove(indexPath(), ec);
    if (fs::exists(path()) && !fs::remove(path(), ec))
        throw DbError(DbError::Code::Io, "A(z) " + fileName_ + " tábla nem törölhető: " + ec.message());
}

// --- structure -------------------------------------------------------------

const FieldList& Table::fields() const {
    requireOpen();
    return fieldsCache_;
}

int Table::fieldIndex(const std::string& name) const { return file_ ? findField(fieldsCache_, name) : -1; }

int Table::level() const { return file().level(); }

uint8_t Table::languageDriver() const { return file().header().languageDriver; }

CodePage Table::codePage() const { return file().codePage(); }

DbfFile& Table::file() const {
    requireOpen();
    return *file_;
}

void Table::requireOpen() const {
    if (!file_) throw DbError(DbError::Code::State, "A(z) " + name_ + " tábla nincs megnyitva.");
}

// --- cursor ----------------------------------------------------------------

bool Table::visible(uint32_t recno) const {
    if (file_->isDeleted(recno)) return false;
    return !filter_ || filter_->matches(RecordAt(*file_, recno));
}

const std::vector<uint32_t>& Table::view() const {
    if (viewValid_) return view_;
    view_.clear();
    if (file_) {
        if (activeTag_ >= 0) {
            for (const IndexEntry& e : tags_[activeTag_].entries())
                if (visible(e.recno)) view_.push_back(e.recno);
        } else {
            for (uint32_t r = 0; r < file_->recordCount(); ++r)
                if (visible(r)) view_.push_back(r);
        }
    }
    viewValid_ = true;
    pos_ = -1;
    return view_;
}

void Table::invalidateView() {
    viewValid_ = false;
    pos_ = -1;
}

int Table::position() const {
    if (!file_ || cur_ < 0) return -1;
    const auto& v = view();
    if (pos_ >= 0 && pos_ < static_cast<int>(v.size()) && v[pos_] == cur_) return pos_;
    auto it = std::find(v.begin(), v.end(), static_cast<uint32_t>(cur_));
    pos_ = it == v.end() ? -1 : static_cast<int>(it - v.begin());
    return pos_;
}

void Table::setCurrent(int pos) {
    const auto& v = view();
    if (v.empty()) {
        cur_ = -1;
        pos_ = -1;
        eof_ = bof_ = true;
        return;
    }
    pos = std::clamp(pos, 0, static_cast<int>(v.size()) - 1);
    cur_ = v[pos];
    pos_ = pos;
}

void Table::placeOn(int64_t recno, int fallbackPos) {
    invalidateView();
    const auto& v = view();
    cur_ = recno;
    if (recno >= 0 && position() >= 0) {
        eof_ = bof_ = false;
        return;
    }
    setCurrent(fallbackPos);
    eof_ = bof_ = v.empty();
}

void Table::checkBrowseMode() {
    requireOpen();
    if (state_ == TableState::Edit || state_ == TableState::Insert) post();
}

void Table::first() {
    checkBrowseMode();
    setCurrent(0);
    bof_ = true;
    eof_ = view().empty();
    notify(TableEvent::CursorMoved);
}

void Table::last() {
    checkBrowseMode();
    setCurrent(static_cast<int>(view().size()) - 1);
    eof_ = true;
    bof_ = view().empty();
    notify(TableEvent::CursorMoved);
}

void Table::next() {
    checkBrowseMode();
    const int p = position();
    const int n = static_cast<int>(view().size());
    if (p < 0) {
        // The current row left the visible set: the row now at its place follows.
        if (n == 0) { eof_ = true; return; }
        setCurrent(std::max(pos_, 0));
    } else if (p + 1 < n) {
        setCurrent(p + 1);
    } else {
        eof_ = true;
        return;
    }
    bof_ = eof_ = false;
    notify(TableEvent::CursorMoved);
}

void Table::prior() {
    checkBrowseMode();
    const int p = position();
    if (p <= 0) {
        bof_ = true;
        if (p < 0 && !view().empty()) { setCurrent(0); notify(TableEvent::CursorMoved); }
        return;
    }
    setCurrent(p - 1);
    bof_ = eof_ = false;
    notify(TableEvent::CursorMoved);
}

bool Table::isEmpty() const { return !file_ || view().empty(); }

int Table::recordCount() const { return file_ ? static_cast<int>(view().size()) : 0; }

void Table::moveTo(int position) {
    checkBrowseMode();
    setCurrent(position);
    bof_ = eof_ = view().empty();
    notify(TableEvent::CursorMoved);
}

int Table::recNo() const { return file_ && position() >= 0 ? static_cast<int>(cur_) : -1; }

bool Table::gotoBookmark(Bookmark bm) {
    checkBrowseMode();
    if (bm < 0 || bm >= file_->recordCount() || !visible(static_cast<uint32_t>(bm))) return false;
    cur_ = bm;
    pos_ = -1;
    bof_ = eof_ = false;
    notify(TableEvent::CursorMoved);
    return true;
}

// --- field values ----------------------------------------------------------

Value Table::field(int index) const {
    requireOpen();
    if (index < 0 || index >= static_cast<int>(fieldsCache_.size()))
        throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs ilyen mező.");
    if (state_ == TableState::Edit || state_ == TableState::Insert)
        return BufferSource(*file_, buffer_).value(index);
    if (recNo() < 0) return {};
    return file_->value(static_cast<uint32_t>(cur_), index);
}

Value Table::field(const std::string& name) const {
    requireOpen();
    const int i = findField(fieldsCache_, name);
    if (i >= 0) return field(i);
    for (const auto& l : lookups_)
        if (strcasecmp(l->name.c_str(), name.c_str()) == 0) {
            if (state_ == TableState::Browse && recNo() < 0) return {};
            return lookupValue(*l, state_ == TableState::Browse
                                       ? static_cast<const RecordSource&>(RecordAt(*file_, static_cast<uint32_t>(cur_)))
                                       : static_cast<const RecordSource&>(BufferSource(*file_, buffer_)));
        }
    throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs " + name + " mező.");
}

void Table::setField(const std::string& name, const Value& value) {
    requireOpen();
    const int i = findField(fieldsCache_, name);
    if (i < 0) throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs " + name + " mező.");
    setField(i, value);
}

void Table::setField(int index, const Value& value) {
    requireOpen();
    if (state_ != TableState::Edit && state_ != TableState::Insert)
        throw DbError(DbError::Code::State, "A(z) " + name_ + " tábla nincs szerkesztő állapotban.");
    file_->encode(buffer_.data(), index, value);
}

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
    joinUnit();
    const uint32_t recno = static_cast<uint32_t>(cur_);
    indexRemove(recno);
    try {
        file_->setDeleted(recno, true);
    } catch (...) {
        indexInsert(recno);
        throw;
    }
    placeOn(-1, p);
    notify(TableEvent::RowsChanged);
}

// --- filter ----------------------------------------------------------------

void Table::setFilter(const std::string& expression, bool caseInsensitive) {
    if (expression.find_first_not_of(" \t\r\n") == std::string::npos) {
        clearFilter();  // a blank filter lets every row through: no filter at all
        return;
    }
    checkBrowseMode();
    auto compiled = std::make_unique<Filter>(Filter::compile(expression, fieldsCache_, caseInsensitive));
    filter_ = std::move(compiled);
    filterText_ = expression;
    filterCaseInsensitive_ = caseInsensitive;
    placeOn(cur_, 0);
    notify(TableEvent::RowsChanged);
}

void Table::clearFilter() {
    filterText_.clear();
    filter_.reset();
    if (!file_) return;
    checkBrowseMode();
    placeOn(cur_, 0);
    notify(TableEvent::RowsChanged);
}

const std::string& Table::filterText() const { return filterText_; }

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
    if (!saves_.empty()) indexLog_.push_back({tag, true, recno, key});
    tags_[tag].insert(recno, std::move(key));
}

void Table::tagRemove(size_t tag, uint32_t recno, const std::string& key) {
    if (!saves_.empty()) indexLog_.push_back({tag, false, recno, key});
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

// --- lookup fields ---------------------------------------------------------

void Table::addLookupField(const std::string& name, const std::string& keyField, Table& lookupTable,
                           const std::string& lookupKey, const std::string& resultField) {
    lookups_.push_back(std::make_unique<Lookup>(Lookup{name, keyField, &lookupTable, lookupKey, resultField}));
}

Value Table::lookupValue(const Lookup& l, const RecordSource& rec) const {
    if (!l.table->isOpen()) return {};
    const int k = findField(fieldsCache_, l.keyField);
    if (k < 0) return {};
    const Value key = rec.value(k);
    if (key.isNull()) return {};
    return l.table->lookup(l.lookupKey, key, l.resultField);
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
    if (batchDepth_ > 0) batchChanged_ = true;
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
    if (batchDepth_ > 0) batchChanged_ = true;
    else notify(TableEvent::RecordChanged);
}

void Table::deleteAt(uint32_t recno) {
    requireOpen();
    if (file_->isDeleted(recno)) return;
    joinUnit();
    indexRemove(recno);
    try {
        file_->setDeleted(recno, true);
    } catch (...) {
        indexInsert(recno);
        throw;
    }
    invalidateView();
    if (batchDepth_ > 0) batchChanged_ = true;
    else notify(TableEvent::RowsChanged);
}

std::vector<uint32_t> Table::seek(const IndexTag& tag, const std::vector<Value>& leadingValues) const {
    const auto [from, to] = tag.prefixRange(tag.expression().prefixKey(leadingValues));
    std::vector<uint32_t> out;
    out.reserve(to - from);
    for (size_t i = from; i < to; ++i) out.push_back(tag.entries()[i].recno);
    return out;
}

// --- listeners -------------------------------------------------------------

int Table::subscribe(Listener listener) {
    listeners_.emplace(nextListener_, std::move(listener));
    return nextListener_++;
}

void Table::unsubscribe(int id) { listeners_.erase(id); }

void Table::notify(TableEvent e) {
    const auto copy = listeners_;
    for (const auto& [id, l] : copy) l(e);
}

} // namespace velmora::db
