#include "support/RecordingProgress.h"
#include "support/TableFixture.h"

#include "store/Reindex.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> indexFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".mdx" && entry.path().extension() != ".MDX") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        files[entry.path().filename().string()] = s.str();
    }
    return files;
}

} // namespace

TEST(Reindex, ReindexingTwiceGivesTheSameIndexFilesAndLeavesEveryTableOpen) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "Apol.dbf", store::schema::APOL().fields, {{"987654324", "Ács Ödön"}, {"123456788", "Zsoldos Éva"}});
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    const auto afterStart = indexFiles(dir.str());
    EXPECT_EQ(afterStart.size(), 14u);  // PART and the end of the history's chain have none

    RecordingProgress progress;
    ASSERT_TRUE(store::Indexeles(start.db, start.session, start.dialogs, progress));
    const auto once = indexFiles(dir.str());
    app::SilentProgress silent;
    ASSERT_TRUE(store::Indexeles(start.db, start.session, start.dialogs, silent));
    EXPECT_EQ(indexFiles(dir.str()), once);
    EXPECT_EQ(once.size(), 14u);

    EXPECT_TRUE(start.dialogs.errors().empty());
    EXPECT_EQ(start.dialogs.statusText(0), "Az indexelés befejeződött!!");
    EXPECT_EQ(start.session.v_finkod, "987654321");
    for (db::Table* t : start.db.tables()) EXPECT_TRUE(t->isOpen()) << t->name();
    EXPECT_EQ(start.db.tables().size(), 16u);
    db::Table& apol = *start.db.findTable("APOL");
    EXPECT_EQ(apol.activeIndex(), "Apol2");
    apol.first();
    EXPECT_EQ(apol.text("Anev"), "Ács Ödön");
    EXPECT_EQ(start.db.findTable("HTERULET")->activeIndex(), "Ter1");
    EXPECT_EQ(start.db.findTable("ZARAS")->activeIndex(), "");

    // One step per table, in the order of rebuilding, never cancellable.
    EXPECT_EQ(progress.titles, std::vector<std::string>{"Indexelés"});
    EXPECT_EQ(progress.total, 14);
    EXPECT_FALSE(progress.cancellable);
    ASSERT_EQ(progress.steps.size(), 14u);
    EXPECT_EQ(progress.steps.front(), (RecordingProgress::Step{"A(z) Bnotorzs.dbf állomány indexelése", 0}));
    EXPECT_EQ(progress.steps[1], (RecordingProgress::Step{"A(z) Beteg.dbf állomány indexelése", 1}));
    EXPECT_EQ(progress.steps[12], (RecordingProgress::Step{"A(z) HLapb.dbf állomány indexelése", 12}));
    EXPECT_EQ(progress.steps.back(), (RecordingProgress::Step{"A(z) Elozmeny.dbf állomány indexelése", 13}));
    EXPECT_EQ(progress.ended, 1);
}

TEST(Reindex, AnIndexFileDeletedByHandIsRebuiltWithTheRows) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    store::mindzar(start.db);
    for (db::Table* t : start.db.tables()) EXPECT_FALSE(t->isOpen()) << t->name();
    fs::remove(dir.file("BNOTORZS.MDX"));
    app::SilentProgress progress;
    ASSERT_TRUE(store::indexel(start.db, start.dialogs, progress));
    EXPECT_TRUE(fs::exists(dir.file("BNOTORZS.MDX")));
    db::Table& bno = *start.db.findTable("BNOTORZS");
    EXPECT_EQ(bno.recordCount(), 2);
    EXPECT_EQ(bno.activeIndex(), "BNO1");
    bno.first();
    EXPECT_EQ(bno.text("KOD10"), "C3490");
}

// The failure goes on to the command's guard, which shows it; the command
// reports no end and the progress is closed.
TEST(Reindex, AFailureStopsTheCommandAndNamesTheFile) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    start.db.closeAll();
    { std::ofstream(dir.file("HLapb.dbf"), std::ios::binary) << "garbage"; }
    RecordingProgress progress;
    try {
        store::Indexeles(start.db, start.session, start.dialogs, progress);
        FAIL() << "the damaged table went unnoticed";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("HLapb.dbf"), std::string::npos) << e.what();
    }
    EXPECT_NE(start.dialogs.statusText(0), "Az indexelés befejeződött!!");
    EXPECT_FALSE(start.db.findTable("PART")->isOpen());  // mindnyit was not reached
    EXPECT_EQ(progress.steps.size(), 13u);  // HLAPB is the last
    EXPECT_EQ(progress.ended, 1);
}
