#include "support/Files.h"
#include "support/TableFixture.h"

#include "app/Archiver.h"
#include "backup/Backup.h"
#include "backup/BackupSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;
using Kind = ScriptedDialogs::Kind;

namespace {

std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = fileBytes(e.path());
    return files;
}

struct Place : backup::BackupWindows {
    std::optional<std::string> dir;
    int asked = 0;
    std::optional<std::string> chooseBackupPlace() override {
        ++asked;
        return dir;
    }
};

// A started data directory with the fourteen tables and a MENT holding an
// older backup.
struct BackupFixture {
    TempDir data, drive;
    Start start{data.str()};
    Place place;
    app::SilentProgress progress;
    std::string ment = data.file("MENT");

    BackupFixture() {
        writeFundTables(data.str());
        EXPECT_TRUE(start.run());
        start.session.mentdir = ment + "/";
        fs::create_directories(ment);
        std::ofstream(ment + "/Zaras.arj") << "an old archive";
        std::ofstream(ment + "/HLapa.dbf") << "an old copy";
    }
    backup::BackupOutcome run() { return backup::runBackup(start.db, start.session, start.dialogs, place, progress); }
    std::map<std::string, std::string> liveTables() {
        std::map<std::string, std::string> t;
        for (const std::string& name : backup::backedUpFileNames()) t[name] = fileBytes(*start.db.findFile(name));
        return t;
    }
    bool tablesOpen() {
        for (const auto* def : backup::backedUpTables())
            if (!start.db.table(def->name, def->fileName).isOpen()) return false;
        return true;
    }
};

} // namespace

TEST(Backup, CopiesPacksAndPlacesTheArchiveEachProven) {
    BackupFixture f;
    f.start.dialogs.answerYes();
    f.place.dir = f.drive.str();
    const auto outcome = f.run();
    EXPECT_TRUE(outcome.copied && outcome.packed);
    EXPECT_EQ(outcome.placed, f.drive.file("Zaras.arj"));

    auto ment = snapshot(f.ment);
    const std::string archive = ment["Zaras.arj"];
    ment.erase("Zaras.arj");
    EXPECT_EQ(ment, f.liveTables());
    EXPECT_EQ(app::archiveMembers(f.ment + "/Zaras.arj"), backup::backedUpFileNames());
    EXPECT_EQ(fileBytes(f.drive.file("Zaras.arj")), archive);
    EXPECT_EQ(f.start.dialogs.problems(), std::vector<std::string>{});
    const auto info = f.start.dialogs.texts(Kind::Information);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_TRUE(info[0].starts_with(backup::kBackupDone)) << info[0];
    EXPECT_TRUE(f.tablesOpen());
}

TEST(Backup, NoArchiveWhenNotAskedForAndAWarningWithoutAPlace) {
    struct Case {
        bool yes;
        std::optional<std::string> place;
        bool archiveInMent;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {false, std::nullopt, false, {}},
        {true, std::nullopt, true, {backup::kNoPlace}},
    };
    for (const Case& c : cases) {
        BackupFixture f;
        f.start.dialogs.answer(c.yes);
        const auto outcome = f.run();
        EXPECT_TRUE(outcome.copied);
        EXPECT_EQ(outcome.packed, c.archiveInMent);
        EXPECT_EQ(fs::exists(f.ment + "/Zaras.arj"), c.archiveInMent);   // never the old one
        EXPECT_EQ(f.place.asked, c.yes ? 1 : 0);
        EXPECT_EQ(f.start.dialogs.problems(), c.problems);
        EXPECT_EQ(f.start.dialogs.texts(Kind::Information).size(), 1u);
        EXPECT_TRUE(f.tablesOpen());
    }
}

TEST(Backup, AFailedCopyLeavesTheOldBackupAsItWas) {
    BackupFixture f;
    const auto before = snapshot(f.ment);
    fs::remove(*f.start.db.findFile("Part.dbf"));
    f.run();
    EXPECT_EQ(snapshot(f.ment), before);
    EXPECT_FALSE(fs::exists(f.ment + ".uj"));
    EXPECT_EQ(f.start.dialogs.errors(), std::vector<std::string>{backup::kBackupFailed});
    EXPECT_NE(f.start.dialogs.errorDetails()[0].find("Part.dbf"), std::string::npos);
    EXPECT_TRUE(f.start.dialogs.texts(Kind::Information).empty());
}

TEST(Backup, AnArchiverThatCannotRunIsReportedAndNothingIsPlaced) {
    BackupFixture f;
    f.start.dialogs.answerYes();
    f.place.dir = f.drive.str();
    const std::string path = std::getenv("PATH");
    setenv("PATH", f.drive.file("no-programs-here").c_str(), 1);
    const auto outcome = f.run();
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(outcome.copied);
    EXPECT_FALSE(outcome.packed);
    EXPECT_FALSE(fs::exists(f.ment + "/Zaras.arj"));
    EXPECT_EQ(f.place.asked, 0);
    EXPECT_EQ(f.start.dialogs.errors(), std::vector<std::string>{backup::kPackFailed});
    EXPECT_NE(f.start.dialogs.errorDetails()[0].find("ARJ"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(f.drive.path()));
}
