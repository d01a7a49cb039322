// A write the disk refuses — full, over quota, past the file size limit,
// failing — fails its statement, post or unit with the real cause, and
// leaves records in memory and bytes on disk exactly as they were: no row
// is invented, none half written.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Os.h"
#include "db/Journal.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "SheetTables.h"
#include "support/TempDir.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::db {
namespace {

using test::fileBytes;

namespace fs = std::filesystem;
using test::TempDir;

std::string pathOf(int fd) {
    char buf[4096];
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// How the disk refuses. Full: a write that would make a file longer fails
// once the file's present length is written (a full disk still lets a file
// be overwritten in place); `file` limits it to one file. Failing once: the
// next write to `file` reaches the disk only in half, then fails. Broken:
// every write to `file` fails.
struct Refusal {
    enum class Kind { Full, FailingOnce, Broken } kind = Kind::Full;
    int error = 0;  // 0: a short write that stops without an errno, as a full disk gives
    std::string file;
    bool spent = false;
};
Refusal refusal;

ssize_t refusingPwrite(int fd, const void* data, size_t size, off_t offset) {
    const std::string path = pathOf(fd);
    const bool target = path.size() >= refusal.file.size() &&
                        path.compare(path.size() - refusal.file.size(), refusal.file.size(), refusal.file) == 0;
    if (!target) return ::pwrite(fd, data, size, offset);
    auto fail = [](size_t written) -> ssize_t {
        if (written > 0) return static_cast<ssize_t>(written);
        if (refusal.error == 0) {
            errno = 0;
            return 0;
        }
        errno = refusal.error;
        return -1;
    };
    if (refusal.kind == Refusal::Kind::Broken) return fail(0);
    if (refusal.kind == Refusal::Kind::FailingOnce) {
        if (refusal.spent) return ::pwrite(fd, data, size, offset);
        refusal.spent = true;
        if (size > 1 && ::pwrite(fd, data, size / 2, offset) < 0) return -1;
        return fail(0);
    }
    struct stat st{};
    fstat(fd, &st);
    if (offset + static_cast<off_t>(size) <= st.st_size) return ::pwrite(fd, data, size, offset);
    if (offset < st.st_size) return ::pwrite(fd, data, static_cast<size_t>(st.st_size - offset), offset);
    return fail(0);
}

struct HookGuard {
    explicit HookGuard(Refusal r) {
        refusal = std::move(r);
        os::testing::calls().pwrite = refusingPwrite;
    }
    ~HookGuard() { os::testing::reset(); }
};

class WriteFailure : public ::testing::Test {
protected:
    void SetUp() override {
        Table& t = db.table("BETEG", "Beteg.dbf");
        t.create({FieldDef::character("TAJ", 9), FieldDef::character("Nev", 25), FieldDef::character("Cime2", 30)});
        t.open();
        t.addIndex("Beteg2", "Nev");
        for (int i = 0; i < 100; ++i)
            t.appendValues({std::to_string(100000000 + i), "Beteg " + std::to_string(i), "Fő utca " + std::to_string(i)});
    }

    Table& beteg() { return db.table("BETEG"); }

    std::string memory() {
        std::string out = test::snapshotTable(beteg());
        out += std::to_string(beteg().recNo()) + " " + std::to_string(static_cast<int>(beteg().state()));
        return out;
    }

    TempDir dir;
    Database db{dir.str()};
};

// The session that once counted 100 rows after a failed insert, and wrote
// a header count of 101 over duplicated and blank records after space was
// freed.
TEST_F(WriteFailure, AFullDiskFailsTheInsertWithItsCauseAndInventsNoRows) {
    Sql sql(db);
    const std::string path = beteg().path();
    const std::string bytes = fileBytes(path);
    {
        HookGuard full({Refusal::Kind::Full, 0, "Beteg.dbf"});
        try {
            sql.run("insert into beteg select * from beteg");
            ADD_FAILURE() << "the insert did not fail";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::Code::Io);
            EXPECT_NE(std::string(e.what()).find("Beteg.dbf"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("betelt a lemez"), std::string::npos) << e.what();
        }
        EXPECT_EQ(sql.run("select count(*) from beteg").rows[0][0], Value(100));
        EXPECT_EQ(beteg().physicalCount(), 100u);
        EXPECT_EQ(fileBytes(path), bytes);
    }
    EXPECT_FALSE(fs::exists(dir.file(kJournalFileName)));
    sql.run("insert into beteg values ('200000000', 'Új Beteg', 'Kis utca 1')");
    db.closeAll();
    const std::string dump = test::runCommand("/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) +
                                              "/support/python/dbf_interop.py dump " + path + " 2>&1");
    EXPECT_NE(dump.find("\n101 101\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("200000000\tÚj Beteg\tKis utca 1\n"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("\t\t\n"), std::string::npos) << "no blank record\n" << dump;
}

// Every kind of refusal, met by every write it can stop: the message names
// the cause, memory and file are as before.
TEST_F(WriteFailure, EveryRefusedWriteLeavesMemoryAndFileAsTheyWere) {
    Sql sql(db);
    sql.run("select 1 from beteg");
    beteg().moveTo(5);
    struct Write {
        const char* what;
        bool grows;  // makes a file longer (the table or the journal)
        std::function<void()> run;
    };
    const std::vector<Write> writes = {
        {"post of a new row", true, [&] {
             beteg().append();
             beteg().setField("TAJ", "300000000");
             beteg().post();
         }},
        {"post of an edit", false, [&] {
             beteg().edit();
             beteg().setField("Nev", "Átírt Név");
             beteg().post();
         }},
        {"delete", false, [&] { beteg().deleteCurrent(); }},
        {"SQL update", true, [&] { sql.run("update beteg set cime2 = 'MIND'"); }},
        {"SQL insert", true, [&] { sql.run("insert into beteg select * from beteg where taj < '100000010'"); }},
        {"unit", true, [&] {
             WriteUnit unit(db);
             beteg().appendValues({"300000001", "Egység Elek"});
             beteg().updateValues(3, {{1, Value("Egység Éva")}});
             unit.commit();
         }},
        {"batch", true, [&] {
             beteg().beginBatch();
             beteg().appendValues({"300000002", "Köteg Kornél"});
             beteg().updateValues(7, {{1, Value("Köteg Klára")}});
             beteg().endBatch();
         }},
    };
    struct Cause {
        Refusal refusal;
        const char* text;
    };
    using K = Refusal::Kind;
    const std::vector<Cause> causes = {
        {{K::Full, 0, ""}, "betelt a lemez"},          {{K::Full, ENOSPC, ""}, "betelt a lemez"},
        {{K::Full, EDQUOT, ""}, "lemezkvót"},         {{K::Full, EFBIG, ""}, "legnagyobb méret"},
        {{K::FailingOnce, EIO, "Beteg.dbf"}, "lemezhiba"}, {{K::FailingOnce, 0, "Beteg.dbf"}, "betelt a lemez"},
    };
    const std::string bytes = fileBytes(beteg().path());
    const std::string before = memory();
    for (const Cause& cause : causes) {
        for (const Write& write : writes) {
            if (cause.refusal.kind == K::Full && !write.grows) continue;  // a full disk lets it through
            const std::string where = std::string(write.what) + " / " + cause.text;
            {
                HookGuard refused(cause.refusal);
                try {
                    write.run();
                    ADD_FAILURE() << where << ": no error";
                } catch (const DbError& e) {
                    EXPECT_NE(std::string(e.what()).find(cause.text), std::string::npos) << where << ": " << e.what();
                }
            }
            beteg().cancel();
            EXPECT_EQ(memory(), before) << where;
            EXPECT_EQ(fileBytes(beteg().path()), bytes) << where;
            EXPECT_FALSE(fs::exists(dir.file(kJournalFileName))) << where;
            EXPECT_FALSE(fs::exists(dir.file(std::string(kJournalFileName) + ".tmp"))) << where;
        }
    }
}

// When a table can be neither written nor put back, the journal stays and
// the next opening of the directory finishes the unit: still all or nothing.
TEST(WriteFailureOfUnit, ATableThatCannotBePutBackLeavesTheJournalToFinishTheUnit) {
    TempDir dir;
    test::createSheetTables(dir.str());
    const std::string before = test::snapshotSheetTables(dir.str());
    {
        Database db(dir.str());
        Table& a = db.table("HLAPA", "HLapa.dbf");
        Table& p = db.table("BETEG", "Beteg.dbf");
        a.open();
        p.open();
        HookGuard broken({Refusal::Kind::Broken, EIO, "Beteg.dbf"});
        try {
            WriteUnit unit(db);
            a.appendValues({"2024.07", "00001", Value(), "111111111", 2, Value()});
            p.updateValues(2, {{1, Value("Kovács Ágnes Éva")}});
            unit.commit();
            ADD_FAILURE() << "no error";
        } catch (const DbError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find("lemezhiba"), std::string::npos) << what;
            EXPECT_NE(what.find(kJournalFileName), std::string::npos) << what;
            EXPECT_NE(what.find("következő megnyitása"), std::string::npos) << what;
        }
        EXPECT_TRUE(fs::exists(dir.file(kJournalFileName)));
        EXPECT_FALSE(p.isOpen()) << "nothing more may be written before the journal is replayed";
        EXPECT_FALSE(a.isOpen());
        a.open();
        EXPECT_THROW({ WriteUnit unit(db); a.deleteAt(0); unit.commit(); }, DbError)
            << "no new unit over a journal not yet replayed";
        a.close();
    }
    const RecoveryReport report = recoverJournal(dir.str());
    EXPECT_EQ(report.outcome, RecoveryOutcome::Replayed);
    const std::string after = test::snapshotSheetTables(dir.str());
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("|2024.07|00001||111111111|2|"), std::string::npos) << after;
    EXPECT_NE(after.find("|Kovács Ágnes Éva|"), std::string::npos) << after;
}

// The system's own file size limit, in a child process so that the test
// keeps its own: the writes fail with EFBIG past the limit.
TEST_F(WriteFailure, TheFileSizeLimitFailsTheStatementAndChangesNothing) {
    const std::string path = beteg().path();
    db.closeAll();
    const std::string bytes = fileBytes(path);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = static_cast<rlim_t>(bytes.size() + 200);
        const rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        std::string message = "no error";
        try {
            Database db2(dir.str());
            db2.table("BETEG", "Beteg.dbf").open();
            Sql sql(db2);
            sql.run("insert into beteg select * from beteg");
        } catch (const std::exception& e) {
            message = e.what();
        }
        if (::write(pipeFds[1], message.data(), message.size()) < 0) _exit(2);
        _exit(0);
    }
    ::close(pipeFds[1]);
    std::string message;
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) message.append(buf, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(message.find("legnagyobb méret"), std::string::npos) << message;
    EXPECT_EQ(fileBytes(path), bytes);
    EXPECT_FALSE(fs::exists(dir.file(kJournalFileName)));
    EXPECT_FALSE(fs::exists(dir.file(std::string(kJournalFileName) + ".tmp")));
}

} // namespace
} // namespace velmora::db
