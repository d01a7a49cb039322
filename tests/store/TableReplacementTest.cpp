#include "support/Files.h"
#include "support/TableFixture.h"

#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "store/IndexFiles.h"
#include "store/Recovery.h"
#include "store/Schemas.h"
#include "store/TableReplacement.h"

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

} // namespace

TEST(TableReplacement, ReplacesEveryTableAndRebuildsTheirIndexes) {
    SwapFixture f;
    store::replaceTables(f.db, f.replacements);
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

// Each changing call of the replacement fails in turn (the copies, the
// journal, the renames), until a run meets no failure. A failure before the
// journal stood changes nothing; one after it leaves the journal, and the
// next start finishes the replacement: never one table new and one old.
// Each changing call of the replacement fails in turn (the copies, the
// journal, the renames, the index files), until a run meets no failure.
// Whatever failed, once the next start has run every table is the old one
// or every table the new one: a failure before the journal stood changes
// nothing, one after it leaves the journal for the next start to finish.
TEST(TableReplacement, AFailureAtAnyStepLeavesTheWholeBeforeOrTheWholeAfter) {
    const auto tablesIn = [](const std::string& dir) {
        std::map<std::string, std::string> tables;
        for (const auto& [name, bytes] : snapshot(dir))
            if (name.ends_with(".dbf")) tables[name] = bytes;
        return tables;
    };
    std::map<std::string, std::string> before, after;
    {
        SwapFixture done;
        before = tablesIn(done.data.str());
        store::replaceTables(done.db, done.replacements);
        done.db.closeAll();
        after = tablesIn(done.data.str());
    }
    int failures = 0, journalsLeft = 0;
    for (long at = 1;; ++at) {
        SCOPED_TRACE(at);
        SwapFixture f;
        db::os::testing::FaultPlan plan;
        plan.action = db::os::testing::FaultAction::Fail;
        plan.at = at;
        plan.error = EIO;
        db::os::testing::setFaultPlan(plan);
        bool failed = false;
        try {
            store::replaceTables(f.db, f.replacements);
        } catch (const db::DbError& e) {
            failed = true;
            EXPECT_NE(std::string(e.what()).find("lemezhiba"), std::string::npos) << e.what();
        }
        db::os::testing::reset();
        if (!failed) break;
        ++failures;
        f.db.closeAll();
        if (db::os::exists(f.data.file(db::kJournalFileName))) ++journalsLeft;
        EXPECT_TRUE(store::recoverDataDirectory(store::placesFor(f.data.str())).usable);
        const auto tables = tablesIn(f.data.str());
        EXPECT_TRUE(tables == before || tables == after);
        EXPECT_FALSE(db::os::exists(f.data.file(store::kStagingFolder)));
        EXPECT_FALSE(db::os::exists(f.data.file(db::kJournalFileName)));
    }
    EXPECT_GT(failures, 6);     // the copies, the journal and the renames all met failures
    EXPECT_GT(journalsLeft, 0); // and some failures came after the journal stood
}

TEST(TableReplacement, AnUnreadableNewFileChangesNothing) {
    SwapFixture f;
    const auto before = snapshot(f.data.str());
    f.replacements[1].source = f.incoming.file("MISSING.DBF");
    EXPECT_THROW(store::replaceTables(f.db, f.replacements), db::DbError);
    EXPECT_EQ(snapshot(f.data.str()), before);
    EXPECT_EQ(names(f.apol), std::vector<std::string>{"Régi Ápoló"});
}
