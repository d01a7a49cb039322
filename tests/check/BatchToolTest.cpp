// velmora-batch run as a process on a copy of the demo installation: each
// command's main path with its files checked, and its refusals with the
// data directory byte for byte as it was.
#include "app/DataDirLock.h"
#include "check/BatchFixture.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <strings.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const std::string kInterop = std::string(VELMORA_TEST_SOURCE_DIR) + "/tools/dbf_interop.py";

// The number of live records python3-dbf reads from a file.
int liveRecordsByPython(const fs::path& file) {
    const std::string out = runCommand("/usr/bin/python3 " + kInterop + " dump '" + file.string() + "' 2>&1");
    const size_t line = out.find('\n');
    if (line == std::string::npos) return -1;
    const size_t space = out.find(' ', line);
    return space == std::string::npos ? -1 : std::stoi(out.substr(space + 1));
}

class BatchTool : public ::testing::Test {
protected:
    void SetUp() override { copyDemo(dir.path()); }
    fs::path data() const { return dir.path() / "DATA"; }
    // The table files by name. Index files are left out: any start of the
    // engine may write a stale one anew with the same keys.
    std::map<std::string, std::string> tables() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(data()))
            if (e.is_regular_file() && strcasecmp(e.path().extension().c_str(), ".dbf") == 0)
                out[e.path().filename().string()] = fileBytes(e.path());
        return out;
    }
    TempDir dir;
};

TEST_F(BatchTool, BadInputIsRefusedWithTheUsageLineAndChangesNothing) {
    fs::create_directories(dir.path() / "IDEGEN");
    const struct {
        const char* arguments;
        int exit;
        const char* wording;
    } cases[] = {
        {"--data DATA frobnicate", 64, "Ismeretlen parancs"},
        {"--data DATA --fast check", 64, "Ismeretlen kapcsoló"},
        {"--data DATA ship 2024.13 --yes", 64, "Hibás időszak"},
        {"--data DATA restore --yes", 64, "--ment vagy az --archive"},
        {"--data DATA import-billed", 64, "1 paramétert vár"},
        {"--data NINCS check", 5, "nem található"},
        {"--data IDEGEN backup", 5, "nem a Velmora adatkönyvtára"},
    };
    const auto before = treeBytes(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = runBatch(dir.path(), c.arguments);
        EXPECT_EQ(run.exit, c.exit);
        EXPECT_NE(run.err.find(c.wording), std::string::npos) << run.err;
        if (c.exit == 64) {
            EXPECT_NE(run.err.find("Használat: velmora-batch"), std::string::npos);
        }
    }
    EXPECT_EQ(changedPaths(before, treeBytes(dir.path())), "");
    const ToolRun help = runBatch(dir.path(), "--help");
    EXPECT_EQ(help.exit, 0);
    for (const char* command : {"backup", "restore", "ship", "import-billed", "import-contracts", "import-full",
                                "reindex", "check"})
        EXPECT_NE(help.out.find("velmora-batch --data DATA " + std::string(command)), std::string::npos) << command;
}

TEST_F(BatchTool, WaitsForNobodyWhileTheProgramHoldsTheDataDirectory) {
    const auto before = treeBytes(dir.path());
    {
        const auto held = app::DataDirLock::tryAcquire(data().string());
        ASSERT_TRUE(held);
        for (const char* arguments : {"--data DATA check", "--data DATA reindex"}) {
            const ToolRun run = runBatch(dir.path(), arguments);
            EXPECT_EQ(run.exit, 3) << arguments;
            EXPECT_NE(run.err.find("másik program dolgozik"), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(changedPaths(before, treeBytes(dir.path())), "");
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, BackupThenRestoreFromTheArchivePutsEveryTableBackByteForByte) {
    const ToolRun backup = runBatch(dir.path(), "--data DATA backup --archive KIMENT");
    ASSERT_EQ(backup.exit, 0) << backup.err;
    ASSERT_TRUE(fs::exists(dir.path() / "KIMENT" / "Zaras.arj"));
    std::map<std::string, std::string> saved;
    for (const auto& e : fs::directory_iterator(data() / "MENT"))
        if (e.path().extension() == ".dbf") saved[e.path().filename().string()] = fileBytes(e.path());
    ASSERT_EQ(saved.size(), 14u);
    const auto tablesAtBackup = tables();

    // The data go on changing: a shipment after the backup.
    ASSERT_EQ(runBatch(dir.path(), "--data DATA ship 2026.04 --yes").exit, 0);
    ASSERT_TRUE(tables() != tablesAtBackup);

    const auto beforeRefusal = tables();
    const ToolRun refused = runBatch(dir.path(), "--data DATA restore --archive KIMENT/Zaras.arj");
    EXPECT_EQ(refused.exit, 2);
    EXPECT_NE(refused.err.find("Biztosan visszatölti az adatokat ?"), std::string::npos) << refused.err;
    EXPECT_EQ(changedPaths(beforeRefusal, tables()), "");

    const ToolRun restore = runBatch(dir.path(), "--data DATA restore --archive KIMENT/Zaras.arj --yes");
    ASSERT_EQ(restore.exit, 0) << restore.err;
    for (const auto& [name, bytes] : saved) {
        SCOPED_TRACE(name);
        const auto live = tables();
        const auto found = std::find_if(live.begin(), live.end(), [&](const auto& t) {
            return strcasecmp(t.first.c_str(), name.c_str()) == 0;
        });
        ASSERT_NE(found, live.end());
        EXPECT_TRUE(found->second == bytes);
    }
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ShipWritesTheFilesOfEveryPendingSheetOrOfTheListedOnesAndStampsThem) {
    const auto before = tables();
    const ToolRun refused = runBatch(dir.path(), "--data DATA ship 2026.04");
    EXPECT_EQ(refused.exit, 2);
    EXPECT_NE(refused.err.find("Elküldhető 46 db elszámolási lap?"), std::string::npos) << refused.err;
    EXPECT_EQ(changedPaths(before, tables()), "");

    const ToolRun one = runBatch(dir.path(), "--data DATA ship 2026.04 --sheets 2026.04/00019A --yes --copy MASOLAT");
    ASSERT_EQ(one.exit, 0) << one.err;
    EXPECT_EQ(liveRecordsByPython(dir.path() / "KULD" / "Hosa4711.Dbf"), 1);
    EXPECT_TRUE(fs::exists(dir.path() / "MASOLAT"));
    int sent = 0;
    const auto layout = readLayout(data().string(), "HLapa.dbf");
    const int elkuldve = db::findField(layout.fields, "Elkuldve");
    for (const Row& row : readRows(data().string(), "HLapa.dbf"))
        if (row[static_cast<size_t>(elkuldve)].asString() == "2026.04") ++sent;
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ReindexBuildsAMissingIndexFileAgain) {
    fs::remove(data() / "HLapa.mdx");
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 4);
    const ToolRun run = runBatch(dir.path(), "--data DATA reindex");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("Az indexelés befejeződött!!"), std::string::npos) << run.err;
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ImportsWithoutTheirFilesStopWithTheProgramsMessage) {
    fs::create_directories(dir.path() / "URES");
    const auto before = tables();
    const ToolRun asked = runBatch(dir.path(), "--data DATA import-contracts URES");
    EXPECT_EQ(asked.exit, 2);
    EXPECT_NE(asked.err.find("A teljes szerződésállományt lecseréljük! Rendben?"), std::string::npos) << asked.err;
    for (const char* command : {"import-billed", "import-contracts", "import-full"}) {
        SCOPED_TRACE(command);
        const ToolRun run = runBatch(dir.path(), std::string("--data DATA --period 2026.04 ") + command + " URES --yes");
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_NE(run.err.find("Nincs a megadott helyen"), std::string::npos) << run.err;
    }
    EXPECT_EQ(changedPaths(before, tables()), "");
}

} // namespace
} // namespace velmora::test
