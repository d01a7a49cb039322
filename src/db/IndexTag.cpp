#include "db/IndexTag.h"

#include <algorithm>

namespace velmora::db {
namespace {

bool keyBefore(const IndexEntry& e, const std::string& key) { return e.key < key; }

} // namespace

IndexTag::IndexTag(std::string name, KeyExpr expression, bool unique)
    : name_(std::move(name)), expr_(std::move(expression)), unique_(unique) {}

void IndexTag::build(uint32_t recordCount, const std::function<bool(uint32_t)>& live,
                     const std::function<const RecordSource&(uint32_t)>& record) {
    std::vector<IndexEntry> entries;
    entries.reserve(recordCount);
    for (uint32_t r = 0; r < recordCount; ++r)
        if (live(r)) entries.push_back({expr_.sortKey(record(r)), r});
    std::sort(entries.begin(), entries.end());
    entries_ = std::move(entries);
}

void IndexTag::assign(std::vector<IndexEntry> entries) {
    // The index file is checked when read; sorting here keeps a damaged but
    // readable one from breaking the binary searches.
    if (!std::is_sorted(entries.begin(), entries.end())) std::sort(entries.begin(), entries.end());
    entries_ = std::move(entries);
}

void IndexTag::insert(uint32_t recno, std::string key) {
    IndexEntry e{std::move(key), recno};
    auto it = std::lower_bound(entries_.begin(), entries_.end(), e);
    entries_.insert(it, std::move(e));
}

void IndexTag::remove(uint32_t recno, const std::string& key) {
    const IndexEntry probe{key, recno};
    auto it = std::lower_bound(entries_.begin(), entries_.end(), probe);
    if (it != entries_.end() && *it == probe) {
        entries_.erase(it);
        return;
    }
    // The caller's key is stale (the record changed under it): find the
    // record itself rather than leave an entry behind.
    it = std::find_if(entries_.begin(), entries_.end(), [&](const IndexEntry& x) { return x.recno == recno; });
    if (it != entries_.end()) entries_.erase(it);
}

std::pair<size_t, size_t> IndexTag::prefixRange(const std::string& prefix) const {
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), prefix, keyBefore);
    // Keys with the prefix follow one another from the first of them on.
    const auto last = std::partition_point(first, entries_.end(),
                                           [&](const IndexEntry& e) { return e.key.starts_with(prefix); });
    return {static_cast<size_t>(first - entries_.begin()), static_cast<size_t>(last - entries_.begin())};
}

std::optional<uint32_t> IndexTag::holderOf(const std::string& key, std::optional<uint32_t> except) const {
    for (auto it = std::lower_bound(entries_.begin(), entries_.end(), key, keyBefore);
         it != entries_.end() && it->key == key; ++it)
        if (!except || it->recno != *except) return it->recno;
    return std::nullopt;
}

} // namespace velmora::db
