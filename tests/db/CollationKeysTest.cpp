// Hungarian ordering through ICU, and the sort key properties that index
// keys are built on.
#include "db/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace velmora::db {
namespace {

// Words in the order a Hungarian reader expects. Byte order gets most of
// these wrong: capitals before small letters, accented letters after "z",
// and the double letters cs, gy, ly, sz, zs as plain pairs.
const std::vector<std::string> kHungarianOrder = {
    "alma", "Alma", "almás",      // capital beside small, accent with its base letter
    "cukor", "czar", "csak",      // cs is a letter of its own after c
    "gőz", "gumi", "gyár",        // gy after g
    "kar", "kár", "karc",         // á is a with an accent, not a letter after z
    "Kasza", "Kassza",            // ssz is sz doubled
    "Kóbor", "Kovács",            // ó sorts with o: b decides before the accent does
    "lúd", "lyuk",                // ly after l
    "oz", "Ödön", "ől", "örül",   // ö/ő after o; ö and ő differ only by length
    "uzsonna", "ügy",
    "Zebra", "zuhany", "zsák",    // zs after z
};

TEST(Collation, OrdersWordsTheHungarianWay) {
    for (size_t i = 0; i + 1 < kHungarianOrder.size(); ++i) {
        SCOPED_TRACE(kHungarianOrder[i] + " < " + kHungarianOrder[i + 1]);
        EXPECT_LT(collation::compare(kHungarianOrder[i], kHungarianOrder[i + 1]), 0);
        EXPECT_GT(collation::compare(kHungarianOrder[i + 1], kHungarianOrder[i]), 0);
    }
    std::vector<std::string> shuffled(kHungarianOrder.rbegin(), kHungarianOrder.rend());
    std::sort(shuffled.begin(), shuffled.end(),
              [](const std::string& a, const std::string& b) { return collation::compare(a, b) < 0; });
    EXPECT_EQ(shuffled, kHungarianOrder);
}

TEST(Collation, SortKeysOrderLikeTheCollator) {
    std::vector<std::string> words = kHungarianOrder;
    words.insert(words.end(), {"", " ", "a ", "A", "123", "12", "2024.06.01", "2023.12.31"});
    for (const auto& a : words)
        for (const auto& b : words) {
            const int keyOrder = collation::sortKey(a).compare(collation::sortKey(b));
            const int collated = collation::compare(a, b);
            EXPECT_EQ((keyOrder > 0) - (keyOrder < 0), collated) << a << " vs " << b;
        }
}

// Index keys concatenate sort keys segment after segment; that only works if
// each key ends in its one and only 0 byte, whatever the text.
TEST(Collation, SortKeyEndsWithItsOnlyZeroByte) {
    const std::string invalidUtf8 = "ab\xff\xc3(z";
    const std::string withNul("Ko\0vács", 8);
    const std::string longText(5000, 'z');
    std::string longAccented;
    for (int i = 0; i < 500; ++i) longAccented += "ÁrvíztűrőTükörfúrógép ccsnysz";
    for (const std::string& text : {std::string(), std::string("   "), std::string("Őrült"), invalidUtf8, withNul,
                                    longText, longAccented}) {
        const std::string key = collation::sortKey(text);
        ASSERT_FALSE(key.empty());
        EXPECT_EQ(key.back(), '\0');
        EXPECT_EQ(key.find('\0'), key.size() - 1) << "inner 0 byte in key of " << text.substr(0, 20);
    }
    // The empty text (a blank field) sorts before everything.
    for (const auto& w : kHungarianOrder) EXPECT_LT(collation::sortKey(""), collation::sortKey(w));
}

TEST(Collation, CaseInsensitiveCompareIgnoresOnlyCase) {
    EXPECT_EQ(collation::compare("KOVÁCS Ödön", "kovács ödön", true), 0);
    EXPECT_NE(collation::compare("KOVÁCS Ödön", "kovács ödön", false), 0);
    // Accents still count: they are a secondary difference.
    EXPECT_LT(collation::compare("kar", "KÁR", true), 0);
    EXPECT_NE(collation::compare("Ödön", "odon", true), 0);
}

TEST(Collation, CaseMappingKnowsHungarianLetters) {
    EXPECT_EQ(collation::toUpper("árvíztűrő tükörfúrógép"), "ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");
    EXPECT_EQ(collation::foldCase("ÁRVÍZTŰRŐ TükörFúrógép"), "árvíztűrő tükörfúrógép");
    EXPECT_EQ(collation::foldCase("Straße"), "strasse");  // full folding, not letter for letter
    EXPECT_EQ(collation::toUpper(""), "");
}

TEST(Collation, VersionNamesTheHungarianCollator) {
    const std::string v = collation::version();
    EXPECT_EQ(v.rfind("hu-", 0), 0u);
    EXPECT_GT(v.size(), 3u);
    EXPECT_EQ(v, collation::version());
}

} // namespace
} // namespace velmora::db
