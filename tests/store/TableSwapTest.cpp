#include "support/Files.h"
#include "support/TableFixture.h"

#include "db/DbError.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSwap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;
namespace schema = velmora::store::schema;

namespace {

// Every file of a folder with its bytes.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = fileBytes(e.path());
    return files;
}

std::vector<std::string> names(db::Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.text(t.fields()[1].name));
    return out;
}

// A data folder with APOL and BETEG open through their shared objects, and
// new versions of both in a folder of their own.
struct SwapFixture {
    TempDir data, incoming;
    db::Database db{data.str()};
    db::Table& apol;
    db::Table& beteg;
    std::vector<store::TableReplacement> replacements;

    SwapFixture()
        : apol(store::tableOf(db, schema::APOL())), beteg(store::tableOf(db, schema::BETEG())) {
        writeTable(data.str(), "Apol.dbf", schema::APOL().fields, {{"111111111", "Régi Ápoló"}});
        writeTable(data.str(), "Beteg.dbf", schema::BETEG().fields, {{"222222222", "Régi Beteg"}});
        writeTable(incoming.str(), "APOL.DBF", schema::APOL().fields, {{"333333333", "Új Ápoló"}, {"444444444", "Ádám"}});
        writeTable(incoming.str(), "BETEG.DBF", schema::BETEG().fields, {{"555555555", "Új Beteg"}});
        store::restoreIndexIfMissing(apol, schema::APOL());
        store::restoreIndexIfMissing(beteg, schema::BETEG());
        apol.setActiveIndex("Apol2");
        replacements = {{&schema::APOL(), incoming.file("APOL.DBF")}, {&schema::BETEG(), incoming.file("BETEG.DBF")}};
    }
};

int failAt = -1;  // the move that fails, counted from 0
int movesSeen = 0;
int failingRename(const char* from, const char* to) {
    if (movesSeen++ == failAt) {
        errno = EIO;
        return -1;
    }
    return std::rename(from, to);
}

} // namespace

TEST(TableSwap, ReplacesEveryTableAndRebuildsTheirIndexes) {
    SwapFixture f;
    store::swapTables(f.db, f.replacements);
    ASSERT_TRUE(f.apol.isOpen() && f.beteg.isOpen());
    EXPECT_EQ(names(f.apol), (std::vector<std::string>{"Ádám", "Új Ápoló"}));   // Apol2 stays current
    EXPECT_EQ(names(f.beteg), std::vector<std::string>{"Új Beteg"});
    EXPECT_TRUE(f.apol.locate("Aptaj", db::Value("444444444")));
    EXPECT_EQ(f.apol.indexNames(), (std::vector<std::string>{"Apol1", "Apol2"}));
    // The live names stay as they were; nothing is left beside them.
    std::vector<std::string> files;
    for (const auto& [name, bytes] : snapshot(f.data.str())) files.push_back(name);
    EXPECT_EQ(files, (std::vector<std::string>{"Apol.dbf", "Apol.mdx", "Beteg.dbf", "Beteg.mdx"}));
}

TEST(TableSwap, AnyFailedMoveLeavesEveryFileAsItWas) {
    // Each move of the swap fails once in turn, until a run meets no failure.
    for (failAt = 0;; ++failAt) {
        SCOPED_TRACE(failAt);
        SwapFixture f;
        const auto before = snapshot(f.data.str());
        movesSeen = 0;
        store::testing::renameCall = &failingRename;
        bool failed = false;
        try {
            store::swapTables(f.db, f.replacements);
        } catch (const db::DbError& e) {
            failed = true;
            EXPECT_NE(std::string(e.what()).find("nem nevezhető át"), std::string::npos) << e.what();
        }
        store::testing::renameCall = &std::rename;
        if (!failed) break;
        EXPECT_EQ(snapshot(f.data.str()), before);
        ASSERT_TRUE(f.apol.isOpen() && f.beteg.isOpen());
        EXPECT_EQ(names(f.apol), std::vector<std::string>{"Régi Ápoló"});
        EXPECT_EQ(names(f.beteg), std::vector<std::string>{"Régi Beteg"});
    }
    EXPECT_GT(failAt, 2);   // the runs above did meet failures
}

TEST(TableSwap, AnUnreadableNewFileChangesNothing) {
    SwapFixture f;
    const auto before = snapshot(f.data.str());
    f.replacements[1].source = f.incoming.file("MISSING.DBF");
    EXPECT_THROW(store::swapTables(f.db, f.replacements), db::DbError);
    EXPECT_EQ(snapshot(f.data.str()), before);
    EXPECT_EQ(names(f.apol), std::vector<std::string>{"Régi Ápoló"});
}

TEST(TableSwap, RecoveryUndoesACutShortSwapAndFinishesACompleteOne) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> left;   // the folder after the cut
        std::map<std::string, std::string> after;
    };
    const Case cases[] = {
        {"cut while moving: the old files come back",
         {{"A.dbf", "new A"}, {"A.dbf.swap-old", "old A"}, {"A.mdx.swap-old", "old A index"},
          {"B.dbf", "old B"}, {"B.dbf.swap-new", "new B"}, {"C.dbf", "new C"}, {"C.dbf.swap-none", ""}},
         {{"A.dbf", "old A"}, {"A.mdx", "old A index"}, {"B.dbf", "old B"}}},
        {"cut while copying: the copies go",
         {{"A.dbf", "old A"}, {"A.dbf.swap-new", "half"}},
         {{"A.dbf", "old A"}}},
        {"cut while clearing up: the new files stay",
         {{"A.dbf", "new A"}, {"A.dbf.swap-old", "old A"}, {"B.dbf", "new B"}},
         {{"A.dbf", "new A"}, {"B.dbf", "new B"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        for (const auto& [name, bytes] : c.left) std::ofstream(dir.file(name), std::ios::binary) << bytes;
        store::recoverTableSwap(dir.str());
        EXPECT_EQ(snapshot(dir.str()), c.after);
    }
}
