// The table object: the cursor over the visible rows, the filter, field values and lookup fields.
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

} // namespace velmora::db
