// The table object: lifecycle, structure and listeners.
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

bool Table::exists() const { return os::exists(path()); }

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
    db_.transaction().forget(*this);  // refused inside a unit; open batches end
    buffer_.clear();
    state_ = TableState::Inactive;
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
