// The shared table object: cursor, edits, indexes, filters, the index file.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/MdxFile.h"
#include "db/Sql.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace velmora::db;
using velmora::test::TempDir;

namespace {

// A patient-like table: TAJ, Nev, Szuli.
struct Fixture {
    TempDir dir;
    Database db{dir.str()};
    Table& t = db.table("BETEG", "Beteg.dbf");

    Fixture() {
        t.create({FieldDef::character("TAJ", 9), FieldDef::character("Nev", 25), FieldDef::date("Szuli")});
        t.open();
    }
    void add(const std::string& taj, const std::string& nev, const std::string& szuli = {}) {
        t.append();
        t.setField("TAJ", taj);
        t.setField("NEV", nev);
        if (!szuli.empty()) t.setField("szuli", szuli);
        t.post();
    }
    std::vector<std::string> column(const std::string& f) {
        std::vector<std::string> out;
        for (t.first(); !t.eof(); t.next()) out.push_back(t.text(f));
        return out;
    }
};

} // namespace

TEST(Table, HungarianIndexOrder) {
    Fixture fx;
    for (const char* n : {"Zoltán", "Őz Ödön", "Ozora", "Csaba", "Cecília", "kovács", "Kovács", "Ábel", "Abaújvári"})
        fx.add("1", n);
    fx.t.addIndex("Beteg2", "Nev");
    fx.t.setActiveIndex("beteg2");
    const auto names = fx.column("nev");
    const std::vector<std::string> expected = {"Abaújvári", "Ábel", "Cecília", "Csaba", "kovács",
                                               "Kovács", "Ozora", "Őz Ödön", "Zoltán"};
    EXPECT_EQ(names, expected);
    fx.t.setActiveIndex("");
    EXPECT_EQ(fx.column("nev").front(), "Zoltán") << "natural order again";
}

TEST(Table, CursorEdgesAndBookmarks) {
    Fixture fx;
    fx.t.first();
    EXPECT_TRUE(fx.t.eof());
    EXPECT_TRUE(fx.t.bof());
    EXPECT_TRUE(fx.t.isEmpty());
    for (const char* n : {"a", "b", "c"}) fx.add(n, n);
    fx.t.last();
    EXPECT_TRUE(fx.t.eof());
    EXPECT_EQ(fx.t.text("nev"), "c");
    fx.t.next();
    EXPECT_EQ(fx.t.text("nev"), "c") << "next at the end stays on the last row";
    fx.t.first();
    fx.t.prior();
    EXPECT_TRUE(fx.t.bof());
    fx.t.next();
    const auto bm = fx.t.bookmark();
    fx.t.last();
    ASSERT_TRUE(fx.t.gotoBookmark(bm));
    EXPECT_EQ(fx.t.text("nev"), "b");
    fx.t.deleteCurrent();
    EXPECT_EQ(fx.t.text("nev"), "c") << "the next row becomes current";
    EXPECT_FALSE(fx.t.gotoBookmark(bm)) << "a deleted row cannot be returned to";
    EXPECT_EQ(fx.t.recordCount(), 2);
}

TEST(Table, EditPostCancelAndNavigationPostsPendingEdits) {
    Fixture fx;
    fx.add("111111110", "Első");
    fx.t.edit();
    fx.t.setField("nev", "Módosított");
    EXPECT_EQ(fx.t.text("nev"), "Módosított") << "the edit buffer is what fields show";
    fx.t.cancel();
    EXPECT_EQ(fx.t.text("nev"), "Első");
    fx.t.edit();
    fx.t.setField("nev", "Második");
    fx.t.first();  // moving posts
    EXPECT_EQ(fx.t.state(), TableState::Browse);
    fx.t.close();
    fx.t.open();
    EXPECT_EQ(fx.t.text("NEV"), "Második");
    EXPECT_THROW(fx.t.setField("nev", "x"), DbError) << "not in edit state";
    EXPECT_THROW(fx.t.field("nincsilyen"), DbError);
}

TEST(Table, UniqueTagRefusesDuplicatesButOpensATableThatHasThem) {
    Fixture fx;
    fx.add("123456788", "Kiss");
    fx.add("123456788", "Kiss másodszor");  // no unique tag yet
    fx.t.addIndex("Beteg1", "TAJ", true);   // builds over the duplicates
    fx.t.append();
    fx.t.setField("taj", "123456788");
    try {
        fx.t.post();
        FAIL() << "duplicate posted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.engineCode(), 9729);
    }
    EXPECT_EQ(fx.t.state(), TableState::Insert) << "the row stays in edit";
    fx.t.setField("taj", "987654321");
    fx.t.post();
    fx.t.close();
    fx.t.open();
    EXPECT_EQ(fx.t.recordCount(), 3);
    EXPECT_TRUE(fx.t.index("beteg1")->unique()) << "uniqueness is kept in the index file";
}

TEST(Table, LocateAndLookup) {
    Fixture fx;
    fx.add("1", "Kovács Anna");
    fx.add("2", "KOVÁCS Béla");
    fx.add("3", "Kozma");
    fx.t.last();
    EXPECT_FALSE(fx.t.locate("nev", std::string(), {true, true}));
    EXPECT_EQ(fx.t.text("taj"), "3") << "an empty text leaves the cursor";
    EXPECT_TRUE(fx.t.locate("nev", "kovács b", {true, true}));
    EXPECT_EQ(fx.t.text("taj"), "2");
    EXPECT_FALSE(fx.t.locate("nev", "Kovács", {}));
    EXPECT_EQ(fx.t.text("taj"), "2") << "a failed locate does not move";
    EXPECT_TRUE(fx.t.locate("nev", "Kozma", {}));
    EXPECT_EQ(fx.t.lookup("TAJ", "1", "Nev"), Value("Kovács Anna"));
    fx.t.addIndex("Beteg1", "TAJ");
    EXPECT_EQ(fx.t.lookup("taj", "2", "nev"), Value("KOVÁCS Béla")) << "through the index";
    EXPECT_TRUE(fx.t.lookup("taj", "9", "nev").isNull());
    EXPECT_EQ(fx.t.text("taj"), "3") << "lookup never moves the cursor";
}

TEST(Table, FilterLimitsTheVisibleRows) {
    Fixture fx;
    fx.add("1", "a", "2024.01.31");
    fx.add("2", "b", "2024.02.01");
    fx.add("3", "c");
    fx.t.setFilter("szuli >= '2024.02.01' or szuli is null");
    EXPECT_EQ(fx.column("taj"), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(fx.t.recordCount(), 2);
    fx.t.close();
    fx.t.open();
    EXPECT_EQ(fx.t.recordCount(), 2) << "the filter belongs to the object, like its index";
    fx.t.setFilter("  ");
    EXPECT_FALSE(fx.t.filtered()) << "a blank filter is no filter";
    EXPECT_EQ(fx.t.recordCount(), 3);
}

TEST(Table, IndexFileSurvivesReopenAndIsRebuiltAfterForeignChanges) {
    Fixture fx;
    fx.add("3", "Cili");
    fx.add("1", "Anna");
    fx.add("2", "Béla");
    fx.t.addIndex("Beteg1", "TAJ");
    fx.t.addIndex("Beteg2", "Nev");
    fx.t.close();
    ASSERT_TRUE(std::filesystem::exists(fx.dir.file("Beteg.mdx")));

    // Another program changes a record behind our back: the key order must follow.
    {
        std::fstream f(fx.dir.file("Beteg.dbf"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(32 + 3 * 32 + 1 + 1 + 9);  // first record, Nev
        f << "Zsuzsa";
    }
    fx.t.open();
    fx.t.setActiveIndex("Beteg2");
    EXPECT_EQ(fx.column("nev"), (std::vector<std::string>{"Anna", "Béla", "Zsuzsa"}));
    fx.t.setActiveIndex("Beteg1");
    EXPECT_EQ(fx.column("taj"), (std::vector<std::string>{"1", "2", "3"}));
    fx.t.close();

    // A file that is not ours is reported, never trusted.
    std::ofstream(fx.dir.file("Beteg.mdx"), std::ios::trunc) << "idegen index";
    fx.t.open();
    EXPECT_TRUE(fx.t.hasForeignIndexFile());
    EXPECT_TRUE(fx.t.indexNames().empty());
    fx.t.close();

    std::filesystem::remove(fx.dir.file("Beteg.mdx"));
    fx.t.open();
    EXPECT_FALSE(fx.t.hasForeignIndexFile());
    EXPECT_TRUE(fx.t.indexNames().empty());
    EXPECT_EQ(fx.t.recordCount(), 3) << "the data stays without its index file";
}

TEST(Table, PackEmptyAndListeners) {
    Fixture fx;
    int changes = 0;
    const int id = fx.t.subscribe([&](TableEvent e) { changes += e == TableEvent::RowsChanged; });
    for (const char* n : {"d", "c", "b", "a"}) fx.add(n, n);
    fx.t.addIndex("Beteg2", "Nev");
    fx.t.setActiveIndex("Beteg2");
    fx.t.locate("nev", "b");
    fx.t.deleteCurrent();
    fx.t.locate("nev", "d");
    fx.t.pack();
    EXPECT_EQ(fx.t.text("nev"), "d") << "pack keeps the current row";
    EXPECT_EQ(fx.column("nev"), (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(fx.t.physicalCount(), 3u);
    EXPECT_GE(changes, 6);
    fx.t.unsubscribe(id);
    fx.t.empty();
    EXPECT_TRUE(fx.t.isEmpty());
    fx.add("e", "e");
    EXPECT_EQ(fx.column("nev"), (std::vector<std::string>{"e"}));
}

TEST(Table, LookupFieldFollowsTheOtherTable) {
    Fixture fx;
    fx.add("111", "Beteg Béla");
    Table& lap = fx.db.table("HLAPA", "HLapa.dbf");
    lap.create({FieldDef::character("SORSZ", 5), FieldDef::character("TAJ", 9)});
    lap.open();
    lap.addLookupField("bnev", "TAJ", fx.t, "TAJ", "NEV");
    lap.append();
    lap.setField("sorsz", "00001");
    lap.setField("taj", "111");
    EXPECT_EQ(lap.field("BNEV"), Value("Beteg Béla")) << "also while editing";
    lap.post();
    EXPECT_EQ(lap.field("bnev"), Value("Beteg Béla"));
}

TEST(Table, FileNamesMatchWithoutRegardToCase) {
    TempDir dir;
    {
        Database db(dir.str());
        Table& t = db.table("HSZERZ", "HSZERZ.DBF");
        t.create({FieldDef::character("INTKOD", 4)});
    }
    Database db(dir.str());
    Table& t = db.table("HSZERZ", "HSzerz.dbf");
    EXPECT_TRUE(t.exists());
    t.open();
    t.addIndex("Szerz1", "intkod");
    EXPECT_EQ(std::filesystem::path(t.indexPath()).filename(), "HSZERZ.MDX");
    EXPECT_EQ(&db.table("hszerz"), &t) << "one shared object per table";
}

// A value the field refuses changes nothing: not the edit buffer, and so
// not the record that the next cursor move posts.
TEST(Table, RefusedValueLeavesTheBufferAsItWas) {
    TempDir dir;
    Database db(dir.str());
    Table& t = db.table("LAP", "Lap.dbf");
    t.create({FieldDef::character("Resz", 2), FieldDef::date("Kezd"), FieldDef::numeric("Osszeg", 5, 1)});
    t.open();
    const std::vector<Value> stored = {"A", "2024.01.31", Value(Decimal(125, 1))};
    t.appendValues(stored);
    t.appendValues({"B", Value(), Value()});
    const struct {
        const char* field;
        Value refused;
    } cases[] = {
        {"Resz", "ABC"},             // too long
        {"Resz", "€"},               // no such character in code page 852
        {"Kezd", "2024.02.30"},      // no such day
        {"Kezd", "tegnap"},
        {"Osszeg", "sok"},           // no number
        {"Osszeg", 12345},           // too wide with its decimal
        {"Osszeg", Value(Decimal(1234, 3))},  // more decimals than the field holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.refused.asString());
        t.first();
        t.edit();
        EXPECT_THROW(t.setField(c.field, c.refused), DbError);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(t.field(i), stored[i]) << "the edit buffer";
        t.next();  // posts the edit
        EXPECT_EQ(t.state(), TableState::Browse);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(t.valueAt(0, i), stored[i]) << "the posted record";

        t.append();
        t.setField(c.field, stored[t.fieldIndex(c.field)]);
        EXPECT_THROW(t.setField(c.field, c.refused), DbError);
        EXPECT_EQ(t.field(c.field), stored[t.fieldIndex(c.field)]) << "a new row's buffer";
        t.cancel();
    }
}

// Rows that already share a unique key (blank TAJ, one TAJ for two people)
// stay editable: the key is checked on insert and when it changes, through
// the cursor and through record-level updates alike.
TEST(Table, UniqueTagChecksOnlyAChangedKey) {
    const struct {
        int row;
        const char* field;
        const char* value;
        bool refused;
    } cases[] = {
        {0, "Nev", "Névtelen egy", false},    // blank TAJ, shared with row 1
        {2, "Nev", "Kiss Anna", false},       // TAJ shared with row 3
        {3, "TAJ", "123456788", false},       // the same key written again
        {0, "TAJ", "999999999", false},       // a new key
        {4, "TAJ", "123456788", true},        // a key others hold
        {4, "TAJ", "", true},                 // blank is a key too
    };
    for (bool throughCursor : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(throughCursor ? "post: " : "updateValues: ") + std::to_string(c.row) + " " +
                         c.field + " = " + c.value);
            Fixture fx;
            for (auto [taj, nev] : {std::pair{"", "Névtelen 1"}, {"", "Névtelen 2"}, {"123456788", "Kiss"},
                                    {"123456788", "Kiss másodszor"}, {"111111110", "Nagy"}})
                fx.add(taj, nev);
            fx.t.addIndex("Beteg1", "TAJ", true);
            fx.t.addIndex("Beteg2", "Nev", true);
            auto change = [&] {
                if (!throughCursor) {
                    fx.t.updateValues(c.row, {{fx.t.fieldIndex(c.field), Value(c.value)}});
                    return;
                }
                fx.t.moveTo(c.row);
                fx.t.edit();
                fx.t.setField(c.field, c.value);
                fx.t.post();
            };
            if (c.refused) {
                EXPECT_THROW(change(), DbError);
                EXPECT_EQ(fx.t.valueAt(c.row, 0), Value("111111110")) << "unchanged";
            } else {
                EXPECT_NO_THROW(change());
                EXPECT_EQ(fx.t.valueAt(c.row, fx.t.fieldIndex(c.field)).asString(), c.value);
            }
        }
    }
}

// A record-level change that moves no key (SQL's update of a field no tag
// reads) still changes the table the index file is stamped with.
TEST(Table, IndexFileIsStampedAfreshAfterAChangeThatMovesNoKey) {
    Fixture fx;
    fx.add("1", "Anna");
    fx.add("2", "Béla");
    fx.t.addIndex("Beteg1", "TAJ");
    fx.t.updateValues(0, {{2, Value(std::string("2001.02.03"))}});
    fx.t.close();
    const auto written = mdx::read(fx.t.indexPath());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->tableHash, DbfFile::open(fx.t.path())->hash());
}

// A stale index file that cannot be rewritten (here the name it is written
// under first is taken by a directory, which stops even root) costs nothing but the
// write: the keys are rebuilt in memory and written when that works again.
TEST(Table, StaleIndexThatCannotBeWrittenStillOpens) {
    Fixture fx;
    for (const char* n : {"Cili", "Anna", "Béla"}) fx.add("1", n);
    fx.t.addIndex("Beteg2", "Nev");
    fx.t.setActiveIndex("Beteg2");
    fx.t.close();
    {
        std::fstream f(fx.dir.file("Beteg.dbf"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(32 + 3 * 32 + 1 + 1 + 9);  // first record, Nev
        f << "Zsuzsa";
    }
    const std::string index = fx.t.indexPath();
    const std::string staleBytes = [&] {
        std::ifstream in(index, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    std::filesystem::create_directory(index + ".uj");

    ASSERT_NO_THROW(fx.t.open());
    EXPECT_EQ(fx.column("nev"), (std::vector<std::string>{"Anna", "Béla", "Zsuzsa"})) << "keys rebuilt in memory";
    EXPECT_NO_THROW(fx.t.close());
    Sql sql(fx.db);
    sql.setOpenTablesOnDemand(true);
    const SqlResult r = sql.run("select count(*) from beteg where nev = 'Zsuzsa'");
    EXPECT_EQ(r.rows.at(0).at(0), Value(1)) << "a query opens it too";
    fx.t.close();
    {
        std::ifstream in(index, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), staleBytes) << "nothing was written";
    }

    std::filesystem::remove(index + ".uj");
    fx.t.open();
    fx.t.close();
    const auto written = mdx::read(index);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->tableHash, DbfFile::open(fx.t.path())->hash()) << "written back once it could be";
}

namespace {

// An index file as the engine wrote it before files named their table.
std::string firstFormatIndex(MdxContents c) {
    c.tableFile.clear();
    c.layout = 0;
    std::string body = mdx::serialize(c);
    body.resize(body.size() - 8);               // the checksum
    body.erase(12, 4 + 8);                      // the empty name and the fingerprint
    body[8] = 1;                                // format 1
    const uint64_t h = contentHash(body.data(), body.size());
    for (int i = 0; i < 8; ++i) body += static_cast<char>(h >> (8 * i));
    return body;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

// Another table's index file is never used, however alike the tables are;
// neither is one made for another layout of the same table. An index file
// from before files named their table is used for its tags, its keys rebuilt.
TEST(Table, IndexFileOfAnotherTableOrLayoutIsNotUsed) {
    TempDir dir;
    Database db(dir.str());
    const FieldList fields = {FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5),
                              FieldDef::character("Resz", 1)};
    Table& a = db.table("HLAPA", "HLapa.dbf");
    Table& b = db.table("HLAPB", "HLapb.dbf");
    for (Table* t : {&a, &b}) {
        t->create(fields);
        t->open();
        t->appendValues({"2024.01", t == &a ? "00001" : "00002", Value()});
        t->addIndex("Lap3", "Idoszak+Sorsz+Resz");
        t->close();
    }
    const std::string own = bytesOf(a.indexPath());

    // HLapb.mdx copied as HLapa.mdx.
    writeBytes(a.indexPath(), bytesOf(b.indexPath()));
    a.open();
    EXPECT_TRUE(a.hasForeignIndexFile());
    EXPECT_TRUE(a.indexNames().empty());
    a.close();
    EXPECT_EQ(bytesOf(a.indexPath()), bytesOf(b.indexPath())) << "neither used nor rewritten";

    // The table's own index, but the table was recreated wider by another program.
    writeBytes(a.indexPath(), own);
    const std::string table = bytesOf(a.path());
    FieldList wider = fields;
    wider[1].width = 6;
    DbfFile::create(a.path(), wider, 4);
    a.open();
    EXPECT_TRUE(a.hasForeignIndexFile());
    EXPECT_TRUE(a.indexNames().empty());
    a.close();
    writeBytes(a.path(), table);

    // A first-format file with the right stamp but no keys: its keys are rebuilt.
    writeBytes(a.indexPath(), own);
    MdxContents old = *mdx::read(a.indexPath());
    for (MdxTag& t : old.tags) t.entries.clear();
    writeBytes(a.indexPath(), firstFormatIndex(old));
    ASSERT_TRUE(mdx::read(a.indexPath()));
    a.open();
    EXPECT_FALSE(a.hasForeignIndexFile());
    ASSERT_TRUE(a.index("Lap3"));
    EXPECT_EQ(a.index("Lap3")->entries().size(), 1u);
    a.close();
    const auto rewritten = mdx::read(a.indexPath());
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->tableFile, "HLapa.dbf") << "rewritten with its table's name";
    EXPECT_EQ(rewritten->tags.at(0).entries.size(), 1u);
}
