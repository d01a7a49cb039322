// Opening a data directory settles what a kill left of a write unit: a
// complete journal is replayed, an unfinished or damaged one dropped, one
// naming tables that are gone or changed is kept aside, untouched tables
// stay as they were.
#include "SheetTables.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "support/TempDir.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/file.h>
#include <unistd.h>

namespace velmora::db {
namespace {

using test::fileBytes;

namespace fs = std::filesystem;
using test::TempDir;

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool mentions(const RecoveryReport& r, const std::string& text) {
    for (const std::string& m : r.messages)
        if (m.find(text) != std::string::npos) return true;
    return false;
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::createSheetTables(dir.str());
        before = test::snapshotSheetTables(dir.str());
        journal = buildJournal();
    }

    // The journal of a unit that appends a visit row to HLAPB and renames a
    // patient in BETEG, built from the tables' held changes; the tables
    // themselves are left as they were.
    std::string buildJournal() {
        Database db(dir.str());
        Table& b = db.table("HLAPB", "HLapb.dbf");
        Table& p = db.table("BETEG", "Beteg.dbf");
        WriteUnit unit(db);
        changeInUnit(b, p);
        JournalBuilder builder;
        builder.addTable("HLapb.dbf", *db.transaction().changesOf(b));
        builder.addTable("Beteg.dbf", *db.transaction().changesOf(p));
        return builder.finish();  // the unit rolls back: the tables stay as they were
    }

    // The unit's changes: a visit row appended, a patient renamed.
    static void changeInUnit(Table& hlapb, Table& beteg) {
        hlapb.open();
        beteg.open();
        hlapb.appendValues({"2024.06", "00002", Value(), "1357", "2024.06.09", "Utólag"});
        beteg.updateValues(1, {{1, Value("Őri Ilona Mária")}});
    }

    fs::path journalPath() const { return dir.path() / kJournalFileName; }
    std::string tableFiles() const {
        return fileBytes(dir.path() / "HLapa.dbf") + fileBytes(dir.path() / "HLapb.dbf") +
               fileBytes(dir.path() / "Beteg.dbf");
    }

    TempDir dir;
    std::string before, journal;
};

TEST_F(JournalTest, ACompleteJournalIsReplayedAndTheStaleIndexesRebuilt) {
    EXPECT_EQ(recoverJournal(dir.str()).outcome, RecoveryOutcome::Nothing);
    writeFile(journalPath(), journal);
    const RecoveryReport report = recoverJournal(dir.str());
    EXPECT_EQ(report.outcome, RecoveryOutcome::Replayed);
    EXPECT_EQ(report.tables, (std::vector<std::string>{"HLapb.dbf", "Beteg.dbf"}));
    EXPECT_TRUE(mentions(report, kJournalFileName));
    EXPECT_FALSE(fs::exists(journalPath()));

    Database db(dir.str());
    Table& b = db.table("HLAPB", "HLapb.dbf");
    Table& p = db.table("BETEG", "Beteg.dbf");
    b.open();
    p.open();
    EXPECT_EQ(b.physicalCount(), 4u);
    EXPECT_EQ(b.valueAt(3, 5), Value("Utólag"));
    p.setActiveIndex("Beteg2");
    std::vector<std::string> names;
    for (p.first(); !p.eof(); p.next()) names.push_back(p.text("Nev"));
    EXPECT_EQ(names, (std::vector<std::string>{"Kovács Ágnes", "Őri Ilona Mária", "Szabó Ödön"}));
    const auto visits = b.seek(*b.index("Lapb1"), {"2024.06", "00002"});
    EXPECT_EQ(visits.size(), 2u) << "the appended row is in the rebuilt index";
}

TEST_F(JournalTest, ADamagedJournalIsDroppedAndTheTablesStayAsTheyWere) {
    std::string flipped = journal;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x20);
    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"truncated", journal.substr(0, journal.size() - 3)},
        {"cut in a record", journal.substr(0, journal.size() / 2)},
        {"empty", ""},
        {"a changed byte", flipped},
        {"foreign", "Ez egy másik program fájlja, nem napló."},
    };
    const std::string files = tableFiles();
    for (const auto& [what, bytes] : damaged) {
        writeFile(journalPath(), bytes);
        const RecoveryReport report = recoverJournal(dir.str());
        EXPECT_EQ(report.outcome, RecoveryOutcome::DroppedDamaged) << what;
        EXPECT_TRUE(mentions(report, std::string(kJournalFileName) + " napló sérült")) << what;
        EXPECT_FALSE(fs::exists(journalPath())) << what;
        EXPECT_EQ(tableFiles(), files) << what;
    }
}

TEST_F(JournalTest, AnUnfinishedJournalIsDroppedSilently) {
    writeFile(dir.path() / (std::string(kJournalFileName) + ".tmp"), journal.substr(0, 40));
    const RecoveryReport report = recoverJournal(dir.str());
    EXPECT_EQ(report.outcome, RecoveryOutcome::DroppedIncomplete);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_FALSE(fs::exists(dir.path() / (std::string(kJournalFileName) + ".tmp")));
    EXPECT_EQ(test::snapshotSheetTables(dir.str()), before);
}

// Nothing is replayed — not even the tables that are there — and the
// journal is kept under another name.
TEST_F(JournalTest, AJournalNamingAMissingOrChangedTableIsKeptAside) {
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> cases = {
        {"nem található", [](const fs::path& d) { fs::rename(d / "Beteg.dbf", d / "Beteg.old"); }},
        {"szerkezete eltér", [](const fs::path& d) {
             Database db(d.string());
             db.table("BETEG", "Beteg.dbf").create({FieldDef::character("TAJ", 9), FieldDef::character("Nev", 30),
                                                    FieldDef::date("Szuli")});
         }},
    };
    for (const auto& [why, change] : cases) {
        TempDir other;
        test::createSheetTables(other.str());
        change(other.path());
        const std::string hlapb = fileBytes(other.path() / "HLapb.dbf");
        writeFile(other.path() / kJournalFileName, journal);
        const RecoveryReport report = recoverJournal(other.str());
        EXPECT_EQ(report.outcome, RecoveryOutcome::KeptAside) << why;
        EXPECT_TRUE(mentions(report, why)) << why;
        EXPECT_TRUE(mentions(report, "Beteg.dbf")) << why;
        ASSERT_FALSE(report.keptAs.empty()) << why;
        EXPECT_TRUE(mentions(report, report.keptAs + " néven megőriztük")) << why;
        EXPECT_FALSE(fs::exists(other.path() / kJournalFileName)) << why;
        EXPECT_EQ(fileBytes(other.path() / report.keptAs), journal) << why;
        EXPECT_EQ(fileBytes(other.path() / "HLapb.dbf"), hlapb) << why << ": nothing replayed";
        EXPECT_EQ(recoverJournal(other.str()).outcome, RecoveryOutcome::Nothing) << why;
    }
}

TEST_F(JournalTest, AJournalAnotherProgramHoldsIsLeftAlone) {
    writeFile(journalPath(), journal);
    {
        // This run holds the tables open, as a running copy of the program would.
        Database db(dir.str());
        db.table("BETEG", "Beteg.dbf").open();
        const RecoveryReport report = recoverJournal(dir.str());
        EXPECT_EQ(report.outcome, RecoveryOutcome::InUse);
        EXPECT_TRUE(mentions(report, "Beteg.dbf"));
        EXPECT_TRUE(fs::exists(journalPath()));
    }
    const int fd = ::open(journalPath().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(recoverJournal(dir.str()).outcome, RecoveryOutcome::InUse);
    ::close(fd);
    EXPECT_EQ(test::snapshotSheetTables(dir.str()), before);
    EXPECT_EQ(recoverJournal(dir.str()).outcome, RecoveryOutcome::Replayed);
}

TEST_F(JournalTest, AUnitDoesNotOverwriteAJournalNotYetReplayed) {
    writeFile(journalPath(), journal);
    Database db(dir.str());
    Table& a = db.table("HLAPA", "HLapa.dbf");
    a.open();
    const std::string files = tableFiles();
    {
        WriteUnit unit(db);
        a.deleteAt(0);
        EXPECT_THROW(unit.commit(), DbError);
    }
    EXPECT_FALSE(a.isDeletedAt(0));
    EXPECT_EQ(tableFiles(), files);
    EXPECT_EQ(fileBytes(journalPath()), journal);
}

// A read that fails says nothing about whether the journal is whole: it
// stays, the tables stay, and the report says the tables cannot be used.
TEST_F(JournalTest, AJournalThatCannotBeReadIsKept) {
    writeFile(journalPath(), journal);
    os::testing::FaultPlan plan;
    plan.readFails = kJournalFileName;
    plan.readError = EIO;
    os::testing::setFaultPlan(plan);
    const RecoveryReport report = recoverJournal(dir.str());
    os::testing::reset();
    EXPECT_EQ(report.outcome, RecoveryOutcome::Failed);
    EXPECT_FALSE(report.tablesUsable());
    EXPECT_TRUE(mentions(report, "lemezhiba"));
    EXPECT_EQ(fileBytes(journalPath()), journal);
    EXPECT_EQ(test::snapshotSheetTables(dir.str()), before);
    EXPECT_EQ(recoverJournal(dir.str()).outcome, RecoveryOutcome::Replayed) << "read once the disk reads again";
}

// The order that makes a unit whole after a power cut: the journal's bytes
// are on the disk before it gets its name, and its name is on the disk
// before the first table byte changes; the tables are on the disk before
// the journal goes, and the unit's file operations come after the tables.
TEST_F(JournalTest, TheJournalIsOnTheDiskBeforeAnyTableOrFileChanges) {
    std::vector<std::string> calls;
    os::testing::setObserver([&](const std::string& call, const std::string& path, const std::string& to) {
        calls.push_back(call + " " + fs::path(path).filename().string() +
                        (to.empty() ? "" : " " + fs::path(to).filename().string()));
    });
    writeFile(dir.path() / "staged.txt", "new");
    {
        Database db(dir.str());
        WriteUnit unit(db);
        changeInUnit(db.table("HLAPB", "HLapb.dbf"), db.table("BETEG", "Beteg.dbf"));
        unit.addFileOperation(FileOperation::rename(dir.file("staged.txt"), dir.file("moved.txt")));
        unit.commit();
    }
    os::testing::reset();
    const auto at = [&](const std::string& call) {
        const auto it = std::find(calls.begin(), calls.end(), call);
        return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
    };
    const auto first = [&](const std::string& prefix) {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    };
    const int journalSynced = at("sync VELMORA.JNL.tmp");
    const int named = at("rename VELMORA.JNL.tmp VELMORA.JNL");
    const int nameSynced = first("syncdir");
    const int firstTableWrite = std::min(first("write HLapb.dbf"), first("write Beteg.dbf"));
    const int tablesSynced = std::max(at("sync HLapb.dbf"), at("sync Beteg.dbf"));
    const int moved = at("rename staged.txt moved.txt");
    const int removed = at("remove VELMORA.JNL");
    for (int i : {journalSynced, named, nameSynced, firstTableWrite, tablesSynced, moved, removed})
        ASSERT_GE(i, 0) << ::testing::PrintToString(calls);
    EXPECT_LT(journalSynced, named);
    EXPECT_LT(named, nameSynced);
    EXPECT_LT(nameSynced, firstTableWrite);
    EXPECT_LT(tablesSynced, moved);
    EXPECT_LT(moved, removed);
    EXPECT_TRUE(fs::exists(dir.path() / "moved.txt"));
}

// File operations are finished by recovery from the first, each one done
// again with the same result: a rename whose source is gone was done.
TEST_F(JournalTest, AJournalsFileOperationsAreFinishedAtRecovery) {
    fs::create_directories(dir.path() / "uj");
    writeFile(dir.path() / "uj" / "a.dbf", "new a");
    writeFile(dir.path() / "b.dbf", "new b, moved before the kill");
    writeFile(dir.path() / "regi.pdf", "an old list");
    const std::vector<FileOperation> ops = {
        FileOperation::remove(dir.file("regi.pdf"), false),
        FileOperation::rename(dir.file("uj/a.dbf"), dir.file("a.dbf")),
        FileOperation::rename(dir.file("uj/b.dbf"), dir.file("b.dbf")),
        FileOperation::removeTree(dir.file("uj"), false),
    };
    writeFile(journalPath(), JournalBuilder().finish(ops));
    const RecoveryReport report = recoverJournal(dir.str());
    EXPECT_EQ(report.outcome, RecoveryOutcome::Replayed);
    EXPECT_EQ(report.operations, 4);
    EXPECT_EQ(fileBytes(dir.path() / "a.dbf"), "new a");
    EXPECT_EQ(fileBytes(dir.path() / "b.dbf"), "new b, moved before the kill");
    EXPECT_FALSE(fs::exists(dir.path() / "regi.pdf"));
    EXPECT_FALSE(fs::exists(dir.path() / "uj"));
    EXPECT_FALSE(fs::exists(journalPath()));
}

} // namespace
} // namespace velmora::db
