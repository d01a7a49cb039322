// Write units: changes to several tables reach the files together at
// commit, and anything that fails before undoes every table in memory.
#include "SheetTables.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "support/TempDir.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace velmora::db {
namespace {

using test::fileBytes;

namespace fs = std::filesystem;
using test::TempDir;

class WriteUnitTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createSheetTables(dir.str());
        for (Table* t : {&a, &b, &p}) t->open();
        b.setActiveIndex("Lapb1");
        p.setActiveIndex("Beteg2");
        p.locate("TAJ", "333333333");
        a.last();
    }

    std::string files() const {
        std::string out;
        for (const char* f : {"HLapa.dbf", "HLapb.dbf", "Beteg.dbf"}) out += fileBytes(dir.file(f)) + "\n--\n";
        return out;
    }

    // Records and index keys of every table, as memory holds them.
    std::string tables() {
        return test::snapshotTable(a) + test::snapshotTable(b) + test::snapshotTable(p);
    }

    // ...and the cursors.
    std::string memory() {
        std::string out = tables();
        for (Table* t : {&a, &b, &p})
            out += "cursor " + std::to_string(t->recNo()) + " " + std::to_string(t->eof()) +
                   std::to_string(t->bof()) + " state " + std::to_string(static_cast<int>(t->state())) + "\n";
        return out;
    }

    // A sheet saved the way the program saves one: header row, visit rows,
    // the patient's name corrected.
    void saveSheet() {
        a.append();
        a.setField("Idoszak", "2024.06");
        a.setField("Sorsz", "00003");
        a.setField("Taj", "111111111");
        a.post();
        b.appendValues({"2024.06", "00003", Value(), "1357", "2024.06.03", "Sebkötözés"});
        b.appendValues({"2024.06", "00003", Value(), "1357", "2024.06.04", Value()});
        ASSERT_TRUE(p.locate("TAJ", "111111111"));
        p.edit();
        p.setField("Nev", "Kovács Ágnes Éva");
        p.post();
    }

    TempDir dir;
    Database db{dir.str()};
    Table& a = db.table("HLAPA", "HLapa.dbf");
    Table& b = db.table("HLAPB", "HLapb.dbf");
    Table& p = db.table("BETEG", "Beteg.dbf");
};

TEST_F(WriteUnitTest, CommitWritesEveryTableTogetherAndNothingBefore) {
    const std::string before = files();
    WriteUnit unit(db);
    saveSheet();
    EXPECT_EQ(files(), before) << "nothing reaches the files before commit";
    EXPECT_EQ(a.recordCount(), 3);
    unit.commit();
    EXPECT_FALSE(fs::exists(dir.file(kJournalFileName)));
    const std::string committed = tables();
    db.closeAll();
    EXPECT_EQ(test::snapshotSheetTables(dir.str()), committed) << "a fresh read finds what memory held at commit";
}

TEST_F(WriteUnitTest, AnyFailureBeforeCommitUndoesEveryTable) {
    Sql sql(db);
    sql.run("select count(*) from beteg");
    struct Case {
        const char* what;
        std::function<void()> fail;
    };
    const std::vector<Case> cases = {
        {"refused key", [&] {
             p.append();
             p.setField("TAJ", "222222222");
             p.post();
         }},
        {"refused value", [&] { b.appendValues({"2024.06", "00003", Value(), "túl hosszú"}); }},
        {"refused SQL statement", [&] { sql.run("update beteg set taj = '111111111'"); }},
        {"any exception", [&] { throw std::runtime_error("megszakítva"); }},
    };
    const std::string filesBefore = files();
    const std::string memoryBefore = memory();
    int listened = 0;
    const int id = p.subscribe([&](TableEvent e) { listened += e == TableEvent::RowsChanged; });
    for (const Case& c : cases) {
        listened = 0;
        try {
            WriteUnit unit(db);
            saveSheet();
            b.deleteAt(0);
            sql.run("update hlapa set elszam = elszam + 1");
            p.edit();  // an edit still pending when the unit fails
            p.setField("Nev", "Félbehagyott");
            c.fail();
            unit.commit();
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const std::exception&) {
        }
        EXPECT_EQ(memory(), memoryBefore) << c.what;
        EXPECT_EQ(files(), filesBefore) << c.what;
        EXPECT_GT(listened, 0) << c.what << ": the grids hear of the rollback";
        EXPECT_EQ(sql.run("select count(*) from hlapb").rows[0][0], Value(3)) << c.what;
    }
    p.unsubscribe(id);
}

TEST_F(WriteUnitTest, NestedUnitsJoinTheOuterOne) {
    const std::string filesBefore = files();
    {
        WriteUnit outer(db);
        a.appendValues({"2024.07", "00001", Value(), "111111111", 1, Value()});
        {
            WriteUnit inner(db);
            b.appendValues({"2024.07", "00001", Value(), "1357", "2024.07.01", Value()});
            a.updateValues(0, {{4, Value(99)}});
        }  // left without commit: only the inner changes go
        EXPECT_EQ(b.physicalCount(), 3u);
        EXPECT_EQ(a.valueAt(0, 4), Value(4));
        EXPECT_EQ(a.physicalCount(), 3u);
        {
            WriteUnit inner(db);
            p.updateValues(1, {{1, Value("Őri Ilona Mária")}});
            inner.commit();
        }
        EXPECT_EQ(files(), filesBefore) << "an inner commit writes nothing";
        outer.commit();
    }
    EXPECT_NE(files(), filesBefore);
    EXPECT_EQ(a.valueAt(2, 0), Value("2024.07"));
    EXPECT_EQ(p.valueAt(1, 1), Value("Őri Ilona Mária"));
    EXPECT_EQ(b.physicalCount(), 3u);

    const std::string filesCommitted = files();
    const std::string memoryCommitted = memory();
    {
        WriteUnit outer(db);
        {
            WriteUnit inner(db);
            p.deleteAt(0);
            inner.commit();
        }
    }  // the outer unit rolls back what the inner one handed it
    EXPECT_EQ(files(), filesCommitted);
    EXPECT_EQ(memory(), memoryCommitted);
}

TEST_F(WriteUnitTest, SqlStatementsJoinTheUnitAndAFailedOneUndoesOnlyItself) {
    Sql sql(db);
    const std::string filesBefore = files();
    {
        WriteUnit unit(db);
        EXPECT_EQ(sql.run("update hlapb set megj = 'Átnézve' where sorsz = '00001'").changes, 2);
        // Fails at its second row, after the first one was changed.
        EXPECT_THROW(sql.run("update beteg set taj = '555555555'"), DbError);
        EXPECT_EQ(sql.run("select count(*) from beteg where taj = '555555555'").rows[0][0], Value(0));
        EXPECT_EQ(files(), filesBefore);
        unit.commit();
    }
    EXPECT_EQ(sql.run("select count(*) from hlapb where megj = 'Átnézve'").rows[0][0], Value(2));
    db.closeAll();
    const std::string after = test::snapshotSheetTables(dir.str());
    EXPECT_NE(after.find("|Átnézve"), std::string::npos);
    EXPECT_EQ(after.find("555555555"), std::string::npos);
}

TEST_F(WriteUnitTest, AStatementOutsideAUnitIsAUnitOfItsOwn) {
    Sql sql(db);
    const std::string filesBefore = files();
    EXPECT_EQ(sql.run("update hlapa set elszam = elszam * 2").changes, 2);
    EXPECT_NE(files(), filesBefore);
    EXPECT_FALSE(fs::exists(dir.file(kJournalFileName)));
    EXPECT_FALSE(fs::exists(dir.file(std::string(kJournalFileName) + ".tmp")));
}

TEST_F(WriteUnitTest, WholeTableChangesAreRefusedInsideAUnit) {
    Table& closed = db.table("UJ", "Uj.dbf");
    const std::vector<std::pair<const char*, std::function<void()>>> refused = {
        {"pack", [&] { p.pack(); }},
        {"empty", [&] { p.empty(); }},
        {"add index", [&] { p.addIndex("Beteg3", "Szuli"); }},
        {"delete indexes", [&] { p.deleteIndexes(); }},
        {"header bytes", [&] { p.writeHeaderBytes(29, "\x64"); }},
        {"create", [&] { closed.create({FieldDef::character("Kod", 3)}); }},
        {"remove", [&] { b.close(); b.remove(); }},
        {"close a joined table", [&] { p.close(); }},
    };
    const std::string filesBefore = files();
    for (const auto& [what, action] : refused) {
        WriteUnit unit(db);
        p.deleteAt(2);
        try {
            action();
            ADD_FAILURE() << what << " was not refused";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::Code::State) << what;
            EXPECT_NE(std::string(e.what()).find("rási egység"), std::string::npos) << what << ": " << e.what();
        }
        if (!b.isOpen()) b.open();
    }
    EXPECT_EQ(files(), filesBefore);
    EXPECT_TRUE(p.isOpen());
    EXPECT_FALSE(p.isDeletedAt(2));
    EXPECT_FALSE(fs::exists(dir.file("Uj.dbf")));
}

TEST_F(WriteUnitTest, CommitPostsAPendingEdit) {
    WriteUnit unit(db);
    ASSERT_TRUE(p.locate("TAJ", "222222222"));
    p.edit();
    p.setField("Nev", "Szabó Ödön Pál");
    unit.commit();
    EXPECT_EQ(p.state(), TableState::Browse);
    db.closeAll();
    EXPECT_NE(test::snapshotSheetTables(dir.str()).find("Szabó Ödön Pál"), std::string::npos);
}

} // namespace
} // namespace velmora::db
