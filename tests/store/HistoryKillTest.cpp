// A sheet saved with its history row, killed at every write and sync of
// its unit (also halfway through a write): once the directory is opened
// again, the sheet and its history row are both there or both not, and the
// history's chain is whole either way.
#include "db/Journal.h"
#include "store/History.h"
#include "store/HistoryChain.h"
#include "store/HistoryRead.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace schema = store::schema;
namespace history = store::history;

struct ChildRun {
    bool killed = false;
    int exitCode = -1;
    std::string out;
};

ChildRun runWriter(const std::string& dir, const std::string& how, long n = 0) {
    std::string cmd = std::string(VELMORA_HISTORY_WRITER) + " '" + dir + "' " + how;
    if (how != "count") cmd += " " + std::to_string(n);
    cmd += " 2>/dev/null";
    std::array<char, 256> buf{};
    ChildRun run;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    while (size_t got = fread(buf.data(), 1, buf.size(), p)) run.out.append(buf.data(), got);
    const int status = pclose(p);
    if (WIFSIGNALED(status)) run.killed = WTERMSIG(status) == SIGKILL;
    else if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        run.killed = run.exitCode == 128 + SIGKILL;
    }
    return run;
}

// Every record and the order of every index tag, as the engine reads them.
std::string snapshotTable(db::Table& t) {
    std::string out = t.name() + " " + std::to_string(t.physicalCount()) + "\n";
    for (uint32_t r = 0; r < t.physicalCount(); ++r) {
        out += t.isDeletedAt(r) ? "*" : " ";
        for (size_t f = 0; f < t.fields().size(); ++f) out += "|" + t.valueAt(r, static_cast<int>(f)).asString();
        out += "\n";
    }
    for (const std::string& tag : t.indexNames()) {
        out += tag + ":";
        for (const auto& e : t.index(tag)->entries()) out += " " + std::to_string(e.recno);
        out += "\n";
    }
    return out;
}

const std::vector<const schema::TableDef*>& tables() {
    static const std::vector<const schema::TableDef*> all = {&schema::HLAPA(), &schema::HLAPB(), &schema::ELOZMENY(),
                                                             &schema::ELOZVEG()};
    return all;
}

// The sheet tables' records and index orders, the history as it reads
// (without the time of day, which differs from run to run) and what the
// chain's check says.
struct State {
    std::string sheets, history;
    std::vector<std::string> chainProblems;
    bool sameAs(const State& o) const { return sheets == o.sheets && history == o.history; }
};

State stateOf(const fs::path& dir) {
    db::Database db(dir.string());
    State s;
    for (const schema::TableDef* def : tables()) store::tableOf(db, *def).open();
    s.sheets = snapshotTable(store::tableOf(db, schema::HLAPA())) + snapshotTable(store::tableOf(db, schema::HLAPB()));
    const db::Table& rows = store::tableOf(db, schema::ELOZMENY());
    const std::optional<history::Anchor> anchor = history::readAnchor(store::tableOf(db, schema::ELOZVEG()));
    s.history = std::to_string(rows.physicalCount()) + " rows, end at " + std::to_string(anchor ? anchor->rows : -1);
    for (const history::HistoryEntry& e : history::readHistory(rows))
        s.history += "\n" + e.muvelet + " " + e.sheet() + " " + e.taj + " " + history::encode(e.text);
    s.chainProblems = history::verifyChain(history::chainRows(rows), anchor);
    return s;
}

class HistoryKill : public ::testing::Test {
protected:
    void SetUp() override {
        {
            db::Database db(base.str());
            for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB()}) {
                db::Table& t = store::tableOf(db, *def);
                store::createIfMissing(t, *def);
                store::restoreIndex(t, *def, def->activeTag);
            }
            history::startHistory(db, {history::kStarted, {}, {}, {}, {}, {}});
            db.closeAll();
        }
        before = stateOf(base.path());
        const fs::path done = scratch.path() / "done";
        fs::copy(base.path(), done);
        const ChildRun counted = runWriter(done.string(), "count");
        ASSERT_EQ(counted.exitCode, 0);
        unitCalls = std::stol(counted.out);
        after = stateOf(done);
        ASSERT_FALSE(before.sameAs(after));
        ASSERT_NE(after.history.find("Új lap 2024.06/00003 111111111"), std::string::npos) << after.history;
        ASSERT_TRUE(before.chainProblems.empty() && after.chainProblems.empty());
    }

    TempDir base, scratch;
    State before, after;
    long unitCalls = 0;
};

TEST_F(HistoryKill, EveryKillLeavesTheSheetAndItsHistoryRowBothOrNeither) {
    ASSERT_GT(unitCalls, 10) << "journal, four tables and their syncs";
    int replayed = 0, dropped = 0;
    for (const std::string how : {"before", "torn"}) {
        for (long n = 1; n <= unitCalls; ++n) {
            const std::string where = how + " " + std::to_string(n) + " of " + std::to_string(unitCalls);
            const fs::path dir = scratch.path() / "work";
            fs::remove_all(dir);
            fs::copy(base.path(), dir);
            ASSERT_TRUE(runWriter(dir.string(), how, n).killed) << where;
            const db::RecoveryReport report = db::recoverJournal(dir.string());
            replayed += report.outcome == db::RecoveryOutcome::Replayed;
            dropped += report.outcome == db::RecoveryOutcome::DroppedIncomplete;
            const State s = stateOf(dir);
            EXPECT_TRUE(s.sameAs(before) || s.sameAs(after)) << where << "\n" << s.sheets << s.history;
            EXPECT_TRUE(s.chainProblems.empty()) << where << ": " << s.chainProblems.front();
        }
    }
    EXPECT_GT(replayed, 0);
    EXPECT_GT(dropped, 0);
}

} // namespace
} // namespace velmora::test
