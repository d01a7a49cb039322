#include "support/Files.h"
#include "support/TableFixture.h"

#include "app/Archiver.h"
#include "app/UserError.h"
#include "backup/ArchiveCrypt.h"
#include "backup/Backup.h"
#include "backup/BackupSet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
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
    // What the passphrase window returns each time, in order (nothing: "Mégsem").
    std::deque<std::optional<std::string>> passphrases;
    std::vector<std::string> prompts;
    std::optional<std::string> chooseBackupPlace() override {
        ++asked;
        return dir;
    }
    std::optional<std::string> askPassphrase(const std::string& prompt) override {
        prompts.push_back(prompt);
        if (passphrases.empty()) throw std::logic_error("no passphrase scripted");
        auto p = passphrases.front();
        passphrases.pop_front();
        return p;
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
    f.start.dialogs.answerYes().answerNo();  // outside MENT, not encrypted
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

// The encrypted copy on the drive: asked for twice, written beside its
// name and proven, and it opens into exactly MENT's Zaras.arj. MENT keeps
// its plain archive; no plain copy reaches the drive.
TEST(Backup, TheEncryptedCopyOpensIntoTheArchive) {
    BackupFixture f;
    f.start.dialogs.answerYes().answerYes();
    f.place.dir = f.drive.str();
    f.place.passphrases = {"Hosszú jelszó, ő és ű", "Hosszú jelszó, ő és ű"};
    const auto outcome = f.run();
    const std::string copy = f.drive.file(backup::kEncryptedArchiveName);
    EXPECT_EQ(outcome.placed, copy);
    EXPECT_TRUE(outcome.encrypted);
    EXPECT_EQ(f.place.prompts, (std::vector<std::string>{backup::kPassphrasePrompt, backup::kPassphraseAgainPrompt}));
    EXPECT_EQ(f.start.dialogs.texts(Kind::Question), (std::vector<std::string>{app::text(app::Msg::OutsideCopyQuestion),
                                                                                app::text(app::Msg::EncryptQuestion)}));
    EXPECT_EQ(f.start.dialogs.problems(), std::vector<std::string>{});
    EXPECT_EQ(snapshot(f.drive.str()).size(), 1u) << "only the encrypted copy, nothing beside it";
    EXPECT_TRUE(backup::isEncryptedArchive(copy));
    EXPECT_EQ(fileBytes(copy).find("HSzerz.dbf"), std::string::npos) << "member names show through";
    backup::decryptArchive(copy, f.data.file("opened"), "Hosszú jelszó, ő és ű");
    EXPECT_EQ(fileBytes(f.data.file("opened")), fileBytes(f.ment + "/Zaras.arj"));
    EXPECT_EQ(app::archiveMembers(f.ment + "/Zaras.arj"), backup::backedUpFileNames());
    const auto info = f.start.dialogs.texts(Kind::Information);
    ASSERT_EQ(info.size(), 1u);
    EXPECT_NE(info[0].find(copy), std::string::npos) << info[0];
    EXPECT_TRUE(f.tablesOpen());
}

// A passphrase refused or left: no copy on the drive, the backup in MENT
// whole, and the command ends as done with what it has.
TEST(Backup, APassphraseRefusedLeavesTheBackupInMent) {
    std::string longest, tooLong;
    for (size_t i = 0; i < 256; ++i) longest += "ő";
    tooLong = longest + "x";
    const struct Case {
        const char* what;
        std::deque<std::optional<std::string>> typed;
        std::vector<std::string> problems;
        bool placed;
    } cases[] = {
        {"empty", {""}, {backup::kPassphraseRequired, backup::kNoEncryptedCopy}, false},
        {"too long", {tooLong}, {backup::kPassphraseTooLong, backup::kNoEncryptedCopy}, false},
        {"the two differ", {"jelszó", "jelszo"}, {backup::kPassphrasesDiffer, backup::kNoEncryptedCopy}, false},
        {"Mégsem first", {std::nullopt}, {backup::kNoEncryptedCopy}, false},
        {"Mégsem second", {"jelszó", std::nullopt}, {backup::kNoEncryptedCopy}, false},
        {"the longest", {longest, longest}, {}, true},
        {"beyond code page 852", {"密码 \xF0\x9F\x98\x80", "密码 \xF0\x9F\x98\x80"}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BackupFixture f;
        f.start.dialogs.answerYes().answerYes();
        f.place.dir = f.drive.str();
        f.place.passphrases = c.typed;
        const auto outcome = f.run();
        EXPECT_TRUE(outcome.copied && outcome.packed);
        EXPECT_EQ(outcome.placed.has_value(), c.placed);
        EXPECT_EQ(f.start.dialogs.problems(), c.problems);
        EXPECT_EQ(fs::exists(f.drive.file(backup::kEncryptedArchiveName)), c.placed);
        EXPECT_EQ(snapshot(f.drive.str()).size(), c.placed ? 1u : 0u);
        EXPECT_TRUE(fs::exists(f.ment + "/Zaras.arj"));
        EXPECT_EQ(f.start.dialogs.texts(Kind::Information).size(), 1u);
        if (c.placed) {
            const std::string passphrase = *c.typed.front();
            EXPECT_TRUE(backup::decryptsTo(f.drive.file(backup::kEncryptedArchiveName), f.ment + "/Zaras.arj",
                                           passphrase));
        }
    }
}
