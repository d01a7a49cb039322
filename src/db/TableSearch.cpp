// Table::locate and Table::lookup: the first visible row, in the current
// order, whose fields hold the given values; through an index when one is
// led by the fields compared exactly, else by a scan of the visible rows.
#include "db/Collation.h"
#include "db/DbError.h"
#include "db/Table.h"

#include <algorithm>

namespace velmora::db {
namespace {

bool matchesText(const std::string& have, const std::string& want, const LocateOptions& o) {
    if (o.caseInsensitive) {
        const std::string h = collation::foldCase(have), w = collation::foldCase(want);
        return o.partialKey ? h.compare(0, w.size(), w) == 0 : h == w;
    }
    return o.partialKey ? have.compare(0, want.size(), want) == 0 : have == want;
}

// A null value or an empty text asks for a blank field.
bool asksForBlank(const Value& want) { return want.isNull() || (want.isText() && want.text().empty()); }

bool fieldMatches(const Value& have, const Value& want, const LocateOptions& o) {
    if (asksForBlank(want)) return have.isNull();
    if (have.isNull()) return false;
    if (have.isNumber() && want.isNumber()) return have == want;
    return matchesText(have.asString(), want.asString(), o);
}

bool isExact(const LocateOptions& o) { return !o.caseInsensitive && !o.partialKey; }

class Stored : public RecordSource {
public:
    Stored(const DbfFile& f, uint32_t recno) : f_(f), recno_(recno) {}
    Value value(int field) const override { return f_.value(recno_, field); }
private:
    const DbfFile& f_;
    uint32_t recno_;
};

} // namespace

struct Table::Search {
    std::vector<int> fields;
    std::vector<Value> values;
    LocateOptions last;  // options of the last field; the others match exactly

    const LocateOptions& optionsOf(size_t i) const {
        static const LocateOptions exact;
        return i + 1 == fields.size() ? last : exact;
    }
};

Table::Search Table::search(const std::string& fieldNames, const std::vector<Value>& values,
                            LocateOptions options) const {
    requireOpen();
    Search s;
    size_t from = 0;
    for (;;) {
        const size_t to = std::min(fieldNames.find(';', from), fieldNames.size());
        std::string name = fieldNames.substr(from, to - from);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        const int f = findField(fieldsCache_, name);
        if (f < 0) throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs " + name + " mező.");
        s.fields.push_back(f);
        if (to == fieldNames.size()) break;
        from = to + 1;
    }
    if (s.fields.size() != values.size())
        throw DbError(DbError::Code::State, "A(z) " + name_ + " táblában a keresés mezőinek (" + fieldNames +
                                                ") és értékeinek száma eltér.");
    s.values = values;
    s.last = options;
    return s;
}

bool Table::matches(uint32_t recno, const Search& s) const {
    for (size_t i = 0; i < s.fields.size(); ++i)
        if (!fieldMatches(file_->value(recno, s.fields[i]), s.values[i], s.optionsOf(i))) return false;
    return visible(recno);
}

// The tag whose leading fields are the longest run of exactly compared
// search fields (the active tag among equals), with the values to seek.
std::optional<std::pair<int, std::vector<Value>>> Table::seekTagFor(const Search& s) const {
    auto exactValue = [&](int field) -> const Value* {
        for (size_t i = 0; i < s.fields.size(); ++i)
            if (s.fields[i] == field && isExact(s.optionsOf(i))) return &s.values[i];
        return nullptr;
    };
    std::optional<std::pair<int, std::vector<Value>>> best;
    for (int t = 0; t < static_cast<int>(tags_.size()); ++t) {
        std::vector<Value> seekValues;
        for (int field : tags_[t].expression().leadingFields()) {
            const Value* v = exactValue(field);
            if (!v) break;
            seekValues.push_back(asksForBlank(*v) ? Value() : *v);
        }
        if (seekValues.empty()) continue;
        const size_t have = best ? best->second.size() : 0;
        if (seekValues.size() > have || (seekValues.size() == have && t == activeTag_))
            best.emplace(t, std::move(seekValues));
    }
    return best;
}

int64_t Table::firstMatch(const Search& s) const {
    const auto seekTag = seekTagFor(s);
    if (!seekTag) {
        for (uint32_t recno : view())
            if (matches(recno, s)) return recno;
        return -1;
    }
    // The seek gives every record whose leading keys equal the values under
    // the collation (a superset of the exact matches), in that tag's order;
    // the first of the matches in the current order is wanted.
    int64_t first = -1;
    size_t firstPlace = SIZE_MAX;
    for (uint32_t recno : seek(tags_[seekTag->first], seekTag->second)) {
        if (!matches(recno, s)) continue;
        if (activeTag_ == seekTag->first) return recno;
        size_t place = recno;
        if (activeTag_ >= 0) {
            const IndexTag& order = tags_[activeTag_];
            const IndexEntry e{order.expression().sortKey(Stored(*file_, recno)), recno};
            place = std::lower_bound(order.entries().begin(), order.entries().end(), e) - order.entries().begin();
        }
        if (place < firstPlace) {
            firstPlace = place;
            first = recno;
        }
    }
    return first;
}

bool Table::locate(const std::string& fieldNames, const std::vector<Value>& values, LocateOptions options) {
    checkBrowseMode();
    const Search s = search(fieldNames, values, options);
    // An incremental search with nothing typed finds nothing.
    if (values.size() == 1 && values[0].isText() && values[0].text().empty()) return false;
    const int64_t recno = firstMatch(s);
    if (recno < 0) return false;
    cur_ = recno;
    pos_ = -1;
    bof_ = eof_ = false;
    notify(TableEvent::CursorMoved);
    return true;
}

bool Table::locate(const std::string& fieldName, const Value& value, LocateOptions options) {
    return locate(fieldName, std::vector<Value>{value}, options);
}

Value Table::lookup(const std::string& keyFields, const std::vector<Value>& keys, const std::string& resultField) const {
    const Search s = search(keyFields, keys, {});
    const int r = findField(fieldsCache_, resultField);
    if (r < 0) throw DbError(DbError::Code::NotFound, "A(z) " + name_ + " táblában nincs " + resultField + " mező.");
    if (keys.size() == 1 && keys[0].isText() && keys[0].text().empty()) return {};
    const int64_t recno = firstMatch(s);
    return recno < 0 ? Value() : file_->value(static_cast<uint32_t>(recno), r);
}

Value Table::lookup(const std::string& keyField, const Value& key, const std::string& resultField) const {
    return lookup(keyField, std::vector<Value>{key}, resultField);
}

} // namespace velmora::db
