// The history on a demo installation, through the tools a provider's
// office has: velmora-sql --write changes a row as any dBASE tool could, and
// the data check must name the first row changed, removed or put in (exit
// 4); a missing, damaged or foreign history table; backup and restore.
#include "support/BatchFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

class HistoryOnDemo : public ::testing::Test {
protected:
    void SetUp() override { copyDemo(dir.path()); }
    ToolRun batch(const std::string& arguments) const { return runBatch(dir.path(), "--data DATA " + arguments); }
    int sqlWrite(const std::string& statement) const {
        return std::system(("'" + std::string(VELMORA_SQL_TOOL) + "' --data '" + (dir.path() / "DATA").string() +
                            "' --write \"" + statement + "\" >/dev/null 2>&1")
                               .c_str());
    }
    fs::path data() const { return dir.path() / "DATA"; }
    TempDir dir;
};

bool says(const ToolRun& run, const std::string& text) { return run.out.find(text) != std::string::npos; }

TEST_F(HistoryOnDemo, ARowChangedRemovedOrPutInOutsideTheProgramMakesTheCheckNameIt) {
    const ToolRun clean = batch("check");
    ASSERT_EQ(clean.exit, 0) << clean.out << clean.err;
    struct Case {
        const char* name;
        std::string statement;
        std::string named;  // what the report must say
    };
    const std::vector<Case> cases = {
        {"a user changed", "update elozmeny set felh='Valaki' where sor=5", "Az előzmények 5. sora"},
        {"a value changed", "update elozmeny set valtozas=substr(valtozas,2) where sor=7",
         "Az előzmények 7. sora"},
        {"a row removed", "delete from elozmeny where sor=6", "Az előzmények 6. sora"},
        {"the last row removed", "delete from elozmeny where sor=(select max(sor) from elozmeny)",
         "törlésre van jelölve"},  // a dBASE delete only marks the record
        {"a row put in at the end",
         "insert into elozmeny (sor,ido,felh,muvelet,idoszak,sorsz,folyt,valtozas,hash) select max(sor)+1,"
         "'2026.04.01 10:00:00','Valaki','Módosítás','2026.03','00001',0,'SZNAP=5>9;',"
         "'0000000000000000000000000000000000000000000000000000000000000000' from elozmeny",
         "sora"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir work;
        fs::copy(dir.path(), work.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        const std::string sql = "'" + std::string(VELMORA_SQL_TOOL) + "' --data '" + (work.path() / "DATA").string() +
                                "' --write \"" + c.statement + "\"";
        ASSERT_EQ(std::system((sql + " >/dev/null").c_str()), 0) << sql;
        const ToolRun check = runBatch(work.path(), "--data DATA check");
        EXPECT_EQ(check.exit, 4) << check.out;
        EXPECT_TRUE(says(check, "Elozmeny.dbf:")) << check.out;
        EXPECT_TRUE(says(check, c.named)) << check.out;
    }
}

TEST_F(HistoryOnDemo, AMissingHistoryIsMadeAgainWithARowSayingSoAndTheCheckReportsTheGap) {
    fs::remove(data() / "Elozmeny.dbf");
    fs::remove(data() / "Elozmeny.mdx");
    EXPECT_EQ(batch("check").exit, 4);

    const ToolRun opened = batch("history");
    EXPECT_EQ(opened.exit, 0) << opened.err;
    EXPECT_NE(opened.err.find("hiányzott"), std::string::npos) << opened.err;
    EXPECT_NE(opened.out.find("Előzmények pótlása"), std::string::npos) << opened.out;

    const ToolRun check = batch("check");
    EXPECT_EQ(check.exit, 4);
    EXPECT_TRUE(says(check, "elveszett")) << check.out;
}

TEST_F(HistoryOnDemo, ADamagedHistoryIsNamedByTheCheckAndKeptAsideWhileTheProgramOpens) {
    {
        std::fstream f(data() / "Elozmeny.dbf", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8);
        f.write("\x01\x00", 2);  // a header length no table has
    }
    const ToolRun check = batch("check");
    EXPECT_EQ(check.exit, 4);
    EXPECT_TRUE(says(check, "Elozmeny.dbf")) << check.out;

    const ToolRun opened = batch("history");
    EXPECT_EQ(opened.exit, 0) << opened.err;
    EXPECT_NE(opened.err.find("sérült"), std::string::npos) << opened.err;
    bool kept = false;
    for (const auto& e : fs::directory_iterator(data()))
        kept |= e.path().filename().string().rfind("Elozmeny-", 0) == 0;
    EXPECT_TRUE(kept) << "the damaged file is kept under another name";
    const ToolRun again = batch("check");
    EXPECT_EQ(again.exit, 4);
    EXPECT_TRUE(says(again, "sérült volt")) << again.out;
}

TEST_F(HistoryOnDemo, AHistoryFromAnotherDataDirectoryIsRefusedByTheChain) {
    TempDir other;
    copyDemo(other.path());
    fs::remove(other.path() / "DATA" / "Elozmeny.dbf");
    fs::remove(other.path() / "DATA" / "Elozmeny.mdx");
    fs::remove(other.path() / "DATA" / "Elozveg.dbf");
    ASSERT_EQ(runBatch(other.path(), "--data DATA history").exit, 0);  // a history of its own
    fs::copy_file(other.path() / "DATA" / "Elozmeny.dbf", data() / "Elozmeny.dbf",
                  fs::copy_options::overwrite_existing);
    fs::remove(data() / "Elozmeny.mdx");

    const ToolRun check = batch("check");
    EXPECT_EQ(check.exit, 4);
    EXPECT_TRUE(says(check, "másik adatkönyvtár")) << check.out;
}

TEST_F(HistoryOnDemo, BackupAndRestoreKeepTheChainWholeAndAddTheRestoresRow) {
    fs::create_directories(dir.path() / "OUT");
    ASSERT_EQ(batch("backup --archive OUT").exit, 0);
    const ToolRun restored = batch("restore --archive OUT/Zaras.arj --yes");
    ASSERT_EQ(restored.exit, 0) << restored.err;
    const ToolRun check = batch("check");
    EXPECT_EQ(check.exit, 0) << check.out;
    const ToolRun history = batch("history");
    const std::string last = history.out.substr(history.out.rfind('\n', history.out.size() - 2) + 1);
    EXPECT_NE(last.find("Visszatöltés"), std::string::npos) << last;
    EXPECT_NE(last.find("OUT/Zaras.arj archívumból"), std::string::npos) << last;
}

TEST_F(HistoryOnDemo, ASetMadeBeforeTheHistoryRestoresTheFourteenTablesAndAHistoryStartingWithTheRestore) {
    ASSERT_EQ(batch("backup").exit, 0);
    fs::remove(data() / "MENT" / "Elozmeny.dbf");
    fs::remove(data() / "MENT" / "Elozveg.dbf");
    const ToolRun restored = batch("restore --ment --yes");
    ASSERT_EQ(restored.exit, 0) << restored.err;
    EXPECT_EQ(batch("check").exit, 0);
    const ToolRun history = batch("history");
    const std::string first = history.out.substr(history.out.find('\n') + 1);
    EXPECT_EQ(first.rfind("1\t", 0), 0u) << first;
    EXPECT_NE(first.substr(0, first.find('\n')).find("Visszatöltés"), std::string::npos) << first;
    EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 2) << history.out;
}

TEST_F(HistoryOnDemo, TheHistoryOfOneSheetPrintsAsTabSeparatedText) {
    const ToolRun all = batch("history");
    ASSERT_EQ(all.exit, 0) << all.err;
    // The demo entered its sheets through the program's save: take one of them.
    const size_t at = all.out.find("\tÚj lap\t");
    ASSERT_NE(at, std::string::npos) << all.out.substr(0, 500);
    const std::string line = all.out.substr(at + 9, all.out.find('\t', at + 9) - at - 9);
    const ToolRun one = batch("history --sheet " + line);
    ASSERT_EQ(one.exit, 0) << one.err;
    EXPECT_EQ(one.out.rfind("Sor\tIdő\tFelhasználó\tVerzió\tMűvelet\tLap\tTAJ\tMező\tRégi érték\tÚj érték\tMegjegyzés\n", 0),
              0u);
    std::istringstream lines(one.out.substr(one.out.find('\n') + 1));
    int rows = 0;
    for (std::string l; std::getline(lines, l); ++rows) {
        EXPECT_EQ(std::count(l.begin(), l.end(), '\t'), 10) << l;
        EXPECT_NE(l.find("\t" + line + "\t"), std::string::npos) << l;
    }
    EXPECT_GT(rows, 3);
    EXPECT_EQ(batch("history --sheet 2026/1").exit, 64);
}

} // namespace
} // namespace velmora::test
