// An index tag in memory: order with ties by record number, upkeep on
// insert and remove, equality seeks on leading fields, unique checks.
#include "db/IndexTag.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

const FieldList kFields = {FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5),
                           FieldDef::character("Resz", 1), FieldDef::character("Nev", 25)};

struct Row : RecordSource {
    std::vector<Value> values;
    Row(Value idoszak, Value sorsz, Value resz, Value nev = {}) : values{idoszak, sorsz, resz, nev} {}
    Value value(int i) const override { return values.at(i); }
};

// The records of a small table; the ones marked deleted stay out of the index.
struct Records {
    std::vector<Row> rows;
    std::vector<bool> deleted;

    IndexTag tag(const char* expr, bool unique = false) const {
        IndexTag t("T", KeyExpr::compile(expr, kFields), unique);
        t.build(
            static_cast<uint32_t>(rows.size()), [&](uint32_t r) { return !deleted[r]; },
            [&](uint32_t r) -> const RecordSource& { return rows[r]; });
        return t;
    }
};

std::vector<uint32_t> recnos(const IndexTag& t, std::pair<size_t, size_t> range = {0, SIZE_MAX}) {
    std::vector<uint32_t> out;
    for (size_t i = range.first; i < std::min(range.second, t.entries().size()); ++i)
        out.push_back(t.entries()[i].recno);
    return out;
}

const Records kSheets = {
    {
        {"2024.06", "00012", "B"},  // 0
        {"2024.06", "00012", {}},   // 1
        {"2024.05", "00012", "A"},  // 2
        {"2024.06", "00012", "A"},  // 3
        {"2024.06", "0001", "A"},   // 4
        {"2024.06", "00120", {}},   // 5
        {"2024.06", "00012", "A"},  // 6 deleted
        {"2024.06", "00012", "A"},  // 7 same key as 3
        {"2024.07", "00012", "A"},  // 8
    },
    {false, false, false, false, false, false, true, false, false},
};

TEST(IndexTag, BuildsInKeyOrderWithTiesByRecordAndSkipsDeleted) {
    EXPECT_EQ(recnos(kSheets.tag("Idoszak+Sorsz+Resz")), (std::vector<uint32_t>{2, 4, 1, 3, 7, 0, 5, 8}));
    EXPECT_EQ(recnos(kSheets.tag("Sorsz+Resz")), (std::vector<uint32_t>{4, 1, 2, 3, 7, 8, 0, 5}));
}

TEST(IndexTag, PrefixRangeFindsExactlyTheEqualLeadingFields) {
    const IndexTag t = kSheets.tag("Idoszak+Sorsz+Resz");
    const KeyExpr& k = t.expression();
    const std::vector<std::pair<std::vector<Value>, std::vector<uint32_t>>> cases = {
        {{"2024.06"}, {4, 1, 3, 7, 0, 5}},
        {{"2024.06", "00012"}, {1, 3, 7, 0}},  // not "00120", not "0001"
        {{"2024.06", "00012", "A"}, {3, 7}},
        {{"2024.06", "00012", Value()}, {1}},  // blank part letter
        {{"2024.06", "0001"}, {4}},
        {{"2024.06", "000"}, {}},
        {{"2024.08"}, {}},
        {{"2024.04"}, {}},
        {{}, {2, 4, 1, 3, 7, 0, 5, 8}},
    };
    for (const auto& [values, expected] : cases) {
        const auto range = t.prefixRange(k.prefixKey(values));
        EXPECT_EQ(recnos(t, range), expected) << values.size() << " values, first " << (values.empty() ? "" : values[0].asString());
        EXPECT_LE(range.first, range.second);
    }
}

TEST(IndexTag, InsertAndRemoveKeepTheOrderOfAFreshBuild) {
    Records table = kSheets;
    IndexTag t = table.tag("Sorsz+Resz");
    const KeyExpr& k = t.expression();

    table.rows.push_back({"2024.08", "00012", {}});  // 9: joins the ties of 1 after it
    table.deleted.push_back(false);
    t.insert(9, k.sortKey(table.rows[9]));

    t.remove(3, k.sortKey(table.rows[3]));
    table.deleted[3] = true;

    // Record 0 is edited: its old key goes, its new one comes.
    const std::string oldKey = k.sortKey(table.rows[0]);
    table.rows[0] = Row{"2024.06", "00001", {}};
    t.remove(0, oldKey);
    t.insert(0, k.sortKey(table.rows[0]));

    EXPECT_EQ(t.entries(), table.tag("Sorsz+Resz").entries());

    // A stale key still removes the record's entry.
    t.remove(5, "stale");
    table.deleted[5] = true;
    EXPECT_EQ(t.entries(), table.tag("Sorsz+Resz").entries());
}

TEST(IndexTag, HolderOfFindsAnotherRecordWithTheKey) {
    const IndexTag t = kSheets.tag("Idoszak+Sorsz+Resz", true);
    const KeyExpr& k = t.expression();
    const std::string twice = k.sortKey(Row{"2024.06", "00012", "A"});  // records 3 and 7
    EXPECT_EQ(t.holderOf(twice, std::nullopt), 3u);
    EXPECT_EQ(t.holderOf(twice, 3u), 7u);
    EXPECT_EQ(t.holderOf(twice, 7u), 3u);
    const std::string once = k.sortKey(Row{"2024.07", "00012", "A"});
    EXPECT_EQ(t.holderOf(once, std::nullopt), 8u);
    EXPECT_EQ(t.holderOf(once, 8u), std::nullopt);  // a record does not collide with itself
    EXPECT_EQ(t.holderOf(k.sortKey(Row{"2024.06", "00012", "C"}), std::nullopt), std::nullopt);
}

TEST(IndexTag, AssignSortsEntriesThatAreOutOfOrder) {
    const IndexTag built = kSheets.tag("Sorsz+Resz");
    std::vector<IndexEntry> reversed(built.entries().rbegin(), built.entries().rend());
    IndexTag t("T", built.expression(), false);
    t.assign(reversed);
    EXPECT_EQ(t.entries(), built.entries());
}

} // namespace
} // namespace velmora::db
