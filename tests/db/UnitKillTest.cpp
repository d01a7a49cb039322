// A write unit killed at every write and sync it makes — also halfway
// through a write of several records — leaves, once the directory is
// opened again, every table wholly as before or wholly as after, the same
// for all tables, and readable by another dBASE reader. A replay killed in
// turn ends the same way when run again.
#include "SheetTables.h"
#include "db/Journal.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>

namespace velmora::db {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct ChildRun {
    bool killed = false;
    int exitCode = -1;
    std::string out;
};

ChildRun runWriter(const std::string& dir, const std::string& what, const std::string& how, long n = 0) {
    std::string cmd = std::string(VELMORA_UNIT_WRITER) + " '" + dir + "' " + what + " " + how;
    if (how != "count") cmd += " " + std::to_string(n);
    cmd += " 2>/dev/null";
    std::array<char, 256> buf{};
    ChildRun run;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    while (size_t got = fread(buf.data(), 1, buf.size(), p)) run.out.append(buf.data(), got);
    const int status = pclose(p);
    // popen runs the command through a shell, which reports a killed child as 128 + signal.
    if (WIFSIGNALED(status)) run.killed = WTERMSIG(status) == SIGKILL;
    else if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        run.killed = run.exitCode == 128 + SIGKILL;
    }
    return run;
}

void copyDir(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to);
}

struct Expected {
    std::string engine, python;
};

class UnitKill : public ::testing::Test {
protected:
    void SetUp() override {
        test::createSheetTables(base.str());
        before = {test::snapshotSheetTables(base.str()), test::pythonDumpSheetTables(base.str())};
        const fs::path done = scratch.path() / "done";
        copyDir(base.path(), done);
        const ChildRun counted = runWriter(done.string(), "unit", "count");
        ASSERT_EQ(counted.exitCode, 0);
        unitCalls = std::stol(counted.out);
        after = {test::snapshotSheetTables(done.string()), test::pythonDumpSheetTables(done.string())};
        ASSERT_NE(before.engine, after.engine);
        ASSERT_EQ(after.python.find("Traceback"), std::string::npos) << after.python;
    }

    // The directory holds the old state or the new one, wholly, in the
    // engine's eyes and in python3-dbf's.
    void expectWholeState(const fs::path& dir, const std::string& where, bool checkPython) {
        EXPECT_FALSE(fs::exists(dir / kJournalFileName)) << where;
        const std::string engine = test::snapshotSheetTables(dir.string());
        const bool old = engine == before.engine;
        EXPECT_TRUE(old || engine == after.engine) << where << "\n" << engine;
        if (checkPython) {
            EXPECT_EQ(test::pythonDumpSheetTables(dir.string()), old ? before.python : after.python) << where;
        }
    }

    TempDir base, scratch;
    Expected before, after;
    long unitCalls = 0;
};

TEST_F(UnitKill, EveryKillLeavesAllTablesWhollyOldOrWhollyNew) {
    ASSERT_GT(unitCalls, 8) << "journal, three tables and their syncs";
    int replayed = 0, dropped = 0;
    for (const std::string how : {"before", "torn"}) {
        for (long n = 1; n <= unitCalls; ++n) {
            const std::string where = how + " " + std::to_string(n) + " of " + std::to_string(unitCalls);
            const fs::path dir = scratch.path() / "work";
            copyDir(base.path(), dir);
            ASSERT_TRUE(runWriter(dir.string(), "unit", how, n).killed) << where;
            const RecoveryReport report = recoverJournal(dir.string());
            EXPECT_TRUE(report.outcome == RecoveryOutcome::Nothing || report.outcome == RecoveryOutcome::Replayed ||
                        report.outcome == RecoveryOutcome::DroppedIncomplete)
                << where << ": " << static_cast<int>(report.outcome);
            if (report.outcome == RecoveryOutcome::Replayed) ++replayed;
            if (report.outcome == RecoveryOutcome::DroppedIncomplete) ++dropped;
            expectWholeState(dir, where, true);
        }
    }
    EXPECT_GT(replayed, 0);
    EXPECT_GT(dropped, 0);
}

// A kill right before the journal is removed leaves a complete journal;
// its replay is killed at every write and sync, and the next replay still
// ends in the new state.
TEST_F(UnitKill, AKilledReplayIsReplayedAgain) {
    const fs::path pending = scratch.path() / "pending";
    for (long n = unitCalls; n >= 1; --n) {
        copyDir(base.path(), pending);
        ASSERT_TRUE(runWriter(pending.string(), "unit", "before", n).killed);
        if (fs::exists(pending / kJournalFileName)) break;
    }
    ASSERT_TRUE(fs::exists(pending / kJournalFileName));
    const fs::path probe = scratch.path() / "probe";
    copyDir(pending, probe);
    const ChildRun counted = runWriter(probe.string(), "recover", "count");
    ASSERT_EQ(counted.exitCode, 0);
    const long replayCalls = std::stol(counted.out);
    ASSERT_GT(replayCalls, 3);
    for (const std::string how : {"before", "torn"}) {
        for (long m = 1; m <= replayCalls; ++m) {
            const std::string where = "replay " + how + " " + std::to_string(m);
            const fs::path dir = scratch.path() / "work";
            copyDir(pending, dir);
            ASSERT_TRUE(runWriter(dir.string(), "recover", how, m).killed) << where;
            const RecoveryReport report = recoverJournal(dir.string());
            const bool journalWasGone = m == replayCalls;  // killed at the last directory sync
            EXPECT_EQ(report.outcome, journalWasGone ? RecoveryOutcome::Nothing : RecoveryOutcome::Replayed) << where;
            EXPECT_EQ(test::snapshotSheetTables(dir.string()), after.engine) << where;
        }
    }
    copyDir(pending, probe);
    EXPECT_EQ(recoverJournal(probe.string()).outcome, RecoveryOutcome::Replayed);
    EXPECT_EQ(test::pythonDumpSheetTables(probe.string()), after.python);
}

} // namespace
} // namespace velmora::db
