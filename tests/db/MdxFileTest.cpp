// The index file: what is written reads back unchanged, and anything else —
// truncated, altered, foreign — reads as no index, without a crash.
#include "db/Collation.h"
#include "db/DbError.h"
#include "db/MdxFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace velmora::db {
namespace {

using test::TempDir;

bool sameTags(const std::vector<MdxTag>& a, const std::vector<MdxTag>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MdxTag& x, const MdxTag& y) {
        return x.name == y.name && x.expression == y.expression && x.unique == y.unique && x.entries == y.entries;
    });
}

MdxContents sample() {
    MdxContents c;
    c.tableFile = "HLapa.dbf";
    c.layout = mdx::layoutFingerprint({FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1)});
    c.tableSize = 0x1'0000'0001ULL;
    c.tableHash = 0xFEDC'BA98'7654'3210ULL;
    c.collationVersion = collation::version();
    MdxTag lap1{"Lap1", "Sorsz+Resz", false, {}};
    for (uint32_t r = 0; r < 50; ++r)
        lap1.entries.push_back({collation::sortKey("0" + std::to_string(1000 + r)) + collation::sortKey(""), r});
    MdxTag apol{"Apol1", "Aptaj", true, {{"", 7}, {std::string("\x01\xff\x00", 3), 2}, {"\xff", UINT32_MAX}}};
    c.tags = {lap1, MdxTag{"Üres", "dtoc(kezd)+str(ssorszam,5)", false, {}}, apol};
    return c;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(MdxFile, ReadsBackWhatWasWritten) {
    TempDir dir;
    const std::string path = dir.file("HLapa.mdx");
    const MdxContents c = sample();
    mdx::write(path, c);
    const auto back = mdx::read(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->tableFile, c.tableFile);
    EXPECT_EQ(back->layout, c.layout);
    EXPECT_EQ(back->tableSize, c.tableSize);
    EXPECT_EQ(back->tableHash, c.tableHash);
    EXPECT_EQ(back->collationVersion, c.collationVersion);
    EXPECT_TRUE(sameTags(back->tags, c.tags));
    EXPECT_TRUE(mdx::isOurs(path));

    // Rewriting replaces the file whole and leaves no temporary behind.
    MdxContents smaller = c;
    smaller.tags.resize(1);
    mdx::write(path, smaller);
    EXPECT_TRUE(sameTags(mdx::read(path)->tags, smaller.tags));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    MdxContents empty;
    mdx::write(path, empty);
    ASSERT_TRUE(mdx::read(path).has_value());
    EXPECT_TRUE(mdx::read(path)->tags.empty());
}

// The fingerprint tells layouts apart by everything that shapes a record,
// but not by the case of a field name.
TEST(MdxFile, LayoutFingerprint) {
    const FieldList base = {FieldDef::character("Sorsz", 5), FieldDef::numeric("Db", 5, 1)};
    const uint64_t f = mdx::layoutFingerprint(base);
    EXPECT_EQ(mdx::layoutFingerprint({FieldDef::character("SORSZ", 5), FieldDef::numeric("db", 5, 1)}), f);
    for (const FieldList& other : {FieldList{FieldDef::character("Sorsz", 6), FieldDef::numeric("Db", 5, 1)},
                                   FieldList{FieldDef::character("Sorsz", 5), FieldDef::numeric("Db", 5, 2)},
                                   FieldList{FieldDef::character("Sorsz", 5), FieldDef::character("Db", 5)},
                                   FieldList{FieldDef::character("Resz", 5), FieldDef::numeric("Db", 5, 1)},
                                   FieldList{FieldDef::numeric("Db", 5, 1), FieldDef::character("Sorsz", 5)},
                                   FieldList{FieldDef::character("Sorsz", 5)}})
        EXPECT_NE(mdx::layoutFingerprint(other), f);
}

TEST(MdxFile, MissingAndForeignFilesAreNotOurs) {
    TempDir dir;
    EXPECT_FALSE(mdx::read(dir.file("nincs.mdx")));
    EXPECT_FALSE(mdx::isOurs(dir.file("nincs.mdx")));
    // A dBASE IV production index starts with a version byte and a date.
    std::string dbase(4096, '\0');
    dbase[0] = 0x02;
    dbase[1] = 124;
    spit(dir.file("Apol.mdx"), dbase);
    EXPECT_FALSE(mdx::read(dir.file("Apol.mdx")));
    EXPECT_FALSE(mdx::isOurs(dir.file("Apol.mdx")));
    spit(dir.file("ures.mdx"), "");
    EXPECT_FALSE(mdx::read(dir.file("ures.mdx")));
    EXPECT_FALSE(mdx::isOurs(dir.file("ures.mdx")));
}

TEST(MdxFile, EveryTruncationIsRejected) {
    TempDir dir;
    const std::string path = dir.file("t.mdx");
    mdx::write(path, sample());
    const std::string whole = slurp(path);
    for (size_t n = 0; n < whole.size(); ++n) {
        spit(path, whole.substr(0, n));
        ASSERT_FALSE(mdx::read(path)) << "accepted " << n << " of " << whole.size() << " bytes";
    }
    spit(path, whole + "x");
    EXPECT_FALSE(mdx::read(path));
}

TEST(MdxFile, ChangedBytesAreRejected) {
    TempDir dir;
    const std::string path = dir.file("t.mdx");
    mdx::write(path, sample());
    const std::string whole = slurp(path);
    std::mt19937 rng(852);
    for (int i = 0; i < 300; ++i) {
        std::string bad = whole;
        const size_t at = rng() % bad.size();
        bad[at] = static_cast<char>(bad[at] ^ (1 + rng() % 255));
        spit(path, bad);
        ASSERT_FALSE(mdx::read(path)) << "accepted a change at byte " << at;
    }
}

// A file whose checksum is right but whose lengths are absurd must still be
// refused by the bounds checks, not trusted into a huge allocation or a read
// past the end.
TEST(MdxFile, LengthsBeyondTheFileAreRejectedEvenWithAValidChecksum) {
    TempDir dir;
    const std::string path = dir.file("t.mdx");
    MdxContents c;
    c.collationVersion = "v";
    c.tags = {MdxTag{"A", "Sorsz", false, {{"k1", 1}, {"k2", 2}}}};
    mdx::write(path, c);
    const std::string whole = slurp(path);
    const auto withChecksum = [](std::string body) {
        const uint64_t h = contentHash(body.data(), body.size());
        for (int i = 0; i < 8; ++i) body += static_cast<char>(h >> (8 * i));
        return body;
    };
    const std::string body = whole.substr(0, whole.size() - 8);
    ASSERT_TRUE(mdx::read((spit(path, withChecksum(body)), path)));

    // Any 4 bytes set to a huge number (a length, a count, a record number):
    // refused, or read faithfully so that writing it back gives the same bytes.
    int refused = 0;
    for (size_t at = 8; at + 4 <= body.size(); ++at)
        for (uint32_t huge : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x00100000u}) {
            std::string bad = body;
            for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<char>(huge >> (8 * i));
            spit(path, withChecksum(bad));
            const auto back = mdx::read(path);
            if (!back) {
                ++refused;
                continue;
            }
            mdx::write(dir.file("again.mdx"), *back);
            EXPECT_EQ(slurp(dir.file("again.mdx")), withChecksum(bad)) << "misread at byte " << at;
        }
    EXPECT_GT(refused, 0);

    // Entries out of order are damage too.
    MdxContents unsorted = c;
    std::swap(unsorted.tags[0].entries[0], unsorted.tags[0].entries[1]);
    mdx::write(path, unsorted);
    EXPECT_FALSE(mdx::read(path));
}

TEST(MdxFile, UnwritablePlaceGivesAnErrorNamingTheFile) {
    TempDir dir;
    const std::string path = dir.file("nincs/HLapa.mdx");
    try {
        mdx::write(path, sample());
        FAIL() << "wrote into a missing directory";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::Code::Io);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
}

TEST(ContentHash, IsXxHash64AndSeesEveryBit) {
    EXPECT_EQ(contentHash("", 0), 0xEF46DB3751D8E999ULL);
    std::string data;
    for (int i = 0; i < 100; ++i) data += static_cast<char>(i * 7 + 3);
    EXPECT_EQ(contentHash(data.data(), 100), 0xA61F8D4C170FE531ULL);
    EXPECT_EQ(contentHash(data.data(), 33), 0x50A7CFC7BA588784ULL);
    // Lengths that exercise the stripes and each tail path: any single bit
    // flipped anywhere changes the hash.
    for (size_t n : {1, 3, 4, 7, 8, 13, 31, 32, 33, 64, 71}) {
        const uint64_t h = contentHash(data.data(), n);
        for (size_t byte = 0; byte < n; ++byte)
            for (int bit = 0; bit < 8; ++bit) {
                std::string flipped = data.substr(0, n);
                flipped[byte] = static_cast<char>(flipped[byte] ^ (1 << bit));
                ASSERT_NE(contentHash(flipped.data(), n), h) << n << " bytes, byte " << byte << " bit " << bit;
            }
        EXPECT_NE(contentHash(data.data(), n), contentHash(data.data(), n - 1));
    }
}

} // namespace
} // namespace velmora::db
