#pragma once
// One production index tag held in memory: its definition and the sort keys
// of every live record in index order (ties by record number).
#include "db/KeyExpr.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::db {

struct IndexEntry {
    std::string key;   // KeyExpr::sortKey of the record
    uint32_t recno;    // 0-based physical record number

    friend bool operator<(const IndexEntry& a, const IndexEntry& b) {
        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
    }
    friend bool operator==(const IndexEntry&, const IndexEntry&) = default;
};

class IndexTag {
public:
    IndexTag(std::string name, KeyExpr expression, bool unique);

    const std::string& name() const { return name_; }
    const KeyExpr& expression() const { return expr_; }
    bool unique() const { return unique_; }

    // Replaces all entries; record(recno) gives a record's values,
    // live(recno) tells whether it belongs in the index (not deleted).
    void build(uint32_t recordCount, const std::function<bool(uint32_t)>& live,
               const std::function<const RecordSource&(uint32_t)>& record);
    // Takes entries as read from the index file (already sorted).
    void assign(std::vector<IndexEntry> entries);

    void insert(uint32_t recno, std::string key);
    void remove(uint32_t recno, const std::string& key);

    const std::vector<IndexEntry>& entries() const { return entries_; }

    // Entries whose key starts with the prefix: [first, last) positions.
    std::pair<size_t, size_t> prefixRange(const std::string& prefix) const;

    // For unique tags: another record already holding this key.
    std::optional<uint32_t> holderOf(const std::string& key, std::optional<uint32_t> except) const;

private:
    std::string name_;
    KeyExpr expr_;
    bool unique_;
    std::vector<IndexEntry> entries_;
};

} // namespace velmora::db
