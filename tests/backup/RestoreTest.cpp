#include "support/Files.h"
#include "support/TableFixture.h"

#include "app/Archiver.h"
#include "backup/ArchiveCrypt.h"
#include "backup/Backup.h"
#include "backup/BackupSet.h"
#include "backup/Restore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;
using Kind = ScriptedDialogs::Kind;

namespace {

// The data directory's own files (MENT and TEMP left out) with their bytes.
std::map<std::string, std::string> liveFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().filename().string()] = fileBytes(e.path());
    return files;
}

struct Windows : backup::BackupWindows, backup::RestoreWindows {
    std::optional<std::string> place;
    std::optional<backup::RestoreSource> source;
    std::optional<std::string> passphrase;  // every time it is asked; nothing: "Mégsem"
    int passphraseAsked = 0;
    std::optional<std::string> chooseBackupPlace() override { return place; }
    std::optional<backup::RestoreSource> chooseRestoreSource() override { return source; }
    std::optional<std::string> askPassphrase(const std::string&) override {
        ++passphraseAsked;
        return passphrase;
    }
};

// The drive's Zaras.arj swapped for its encrypted copy.
void encryptOnDrive(const std::string& drive, const std::string& passphrase) {
    const std::string plain = (fs::path(drive) / backup::kArchiveName).string();
    backup::encryptArchive(plain, (fs::path(drive) / backup::kEncryptedArchiveName).string(), passphrase);
    fs::remove(plain);
}

std::vector<std::string> nurses(db::Table& apol) {
    std::vector<std::string> out;
    for (apol.first(); !apol.eof(); apol.next()) out.push_back(apol.text("Anev"));
    return out;
}

// A started data directory, backed up with one nurse (in MENT and as an
// archive on a drive), then given a second nurse.
struct RestoreFixture {
    TempDir data, drive;
    Start start{data.str()};
    Windows windows;
    app::SilentProgress progress;
    std::string ment = data.file("MENT");
    db::Table* apol = nullptr;

    RestoreFixture() {
        writeFundTables(data.str());
        writeTable(data.str(), "Apol.dbf", store::schema::APOL().fields, {{"111111111", "Mentett Ápoló"}});
        EXPECT_TRUE(start.run());
        start.session.mentdir = ment + "/";
        start.session.ktemp = data.file("TEMP") + "/";
        apol = &store::tableOf(start.db, store::schema::APOL());
        windows.place = drive.str();
        start.dialogs.answerYes().answerNo();  // outside MENT, the plain copy
        backup::runBackup(start.db, start.session, start.dialogs, windows, progress);
        apol->append();
        apol->setField("Aptaj", db::Value("222222222"));
        apol->setField("Anev", db::Value("Később Felvett"));
        apol->post();
        start.dialogs.clearLog();
    }
    bool run(std::optional<backup::RestoreSource> source, bool yes = true) {
        windows.source = std::move(source);
        start.dialogs.answer(yes);
        return !backup::runRestore(start.db, start.session, start.dialogs, windows, progress).programEnds;
    }
};

} // namespace

TEST(Restore, PutsBackTheBackupFromMentOrFromTheArchive) {
    for (const bool fromMent : {true, false}) {
        SCOPED_TRACE(fromMent);
        RestoreFixture f;
        ASSERT_TRUE(f.run(backup::RestoreSource{fromMent ? f.ment : f.drive.str(), fromMent}));
        EXPECT_EQ(f.start.dialogs.problems(), std::vector<std::string>{});
        EXPECT_EQ(nurses(*f.apol), std::vector<std::string>{"Mentett Ápoló"});
        EXPECT_EQ(f.start.dialogs.statusText(0), backup::kIndexDone);
        for (const auto* def : backup::backedUpTables()) {
            db::Table& t = store::tableOf(f.start.db, *def);
            EXPECT_TRUE(t.isOpen()) << def->name;
            if (!def->tags.empty()) {
                EXPECT_FALSE(store::indexFileMissing(t, *def)) << def->name;
            }
        }
        // Nothing of the work is left behind.
        EXPECT_TRUE(fs::is_empty(f.data.file("TEMP")));
    }
}

// An encrypted copy, found by its name or by its first bytes under the
// plain name, puts back exactly the tables that were backed up.
TEST(Restore, AnEncryptedCopyPutsBackTheTablesByteForByte) {
    for (const bool underPlainName : {false, true}) {
        SCOPED_TRACE(underPlainName);
        RestoreFixture f;
        std::map<std::string, std::string> saved;
        for (const std::string& name : backup::backedUpFileNames()) saved[name] = fileBytes(f.ment + "/" + name);
        encryptOnDrive(f.drive.str(), "Mentés 2024 ősz");
        if (underPlainName)
            fs::rename(f.drive.file(backup::kEncryptedArchiveName), f.drive.file(backup::kArchiveName));
        fs::remove_all(f.ment);
        f.windows.passphrase = "Mentés 2024 ősz";
        ASSERT_TRUE(f.run(backup::RestoreSource{f.drive.str(), false}));
        EXPECT_EQ(f.start.dialogs.problems(), std::vector<std::string>{}) << f.start.dialogs.errorDetails()[0];
        EXPECT_EQ(f.windows.passphraseAsked, 1);
        EXPECT_EQ(nurses(*f.apol), std::vector<std::string>{"Mentett Ápoló"});
        // The history comes back with the restore's row after it; the rest byte for byte.
        for (const auto& [name, bytes] : saved)
            if (name != store::schema::ELOZMENY().fileName && name != store::schema::ELOZVEG().fileName)
                EXPECT_EQ(fileBytes(*f.start.db.findFile(name)), bytes) << name;
        const std::string history = fileBytes(*f.start.db.findFile(store::schema::ELOZMENY().fileName));
        // The saved rows stand unchanged at the start of the restored ones (the
        // header's row count and the end-of-file mark aside).
        const std::string& before = saved.at(store::schema::ELOZMENY().fileName);
        const size_t header = static_cast<unsigned char>(before[8]) | static_cast<unsigned char>(before[9]) << 8;
        ASSERT_GT(history.size(), before.size());
        EXPECT_EQ(history.compare(header, before.size() - header - 1, before, header, before.size() - header - 1), 0);
        EXPECT_NE(history.find("Zaras.arj.titkos arch"), std::string::npos);
        const auto info = f.start.dialogs.texts(Kind::Information);
        ASSERT_EQ(info.size(), 1u);
        EXPECT_NE(info[0].find("titkosított"), std::string::npos) << info[0];
        EXPECT_TRUE(fs::is_empty(f.data.file("TEMP")));
    }
}

// Both in one folder: the newer one is restored.
TEST(Restore, OfAPlainAndAnEncryptedArchiveTheNewerIsRead) {
    RestoreFixture f;
    backup::encryptArchive(f.drive.file(backup::kArchiveName), f.drive.file(backup::kEncryptedArchiveName), "jelszó");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(f.drive.file(backup::kArchiveName), now - std::chrono::hours(24));
    fs::last_write_time(f.drive.file(backup::kEncryptedArchiveName), now);
    f.windows.passphrase = "jelszó";
    ASSERT_TRUE(f.run(backup::RestoreSource{f.drive.str(), false}));
    EXPECT_EQ(f.windows.passphraseAsked, 1);

    RestoreFixture g;
    backup::encryptArchive(g.drive.file(backup::kArchiveName), g.drive.file(backup::kEncryptedArchiveName), "jelszó");
    fs::last_write_time(g.drive.file(backup::kEncryptedArchiveName), now - std::chrono::hours(24));
    fs::last_write_time(g.drive.file(backup::kArchiveName), now);
    ASSERT_TRUE(g.run(backup::RestoreSource{g.drive.str(), false}));
    EXPECT_EQ(g.windows.passphraseAsked, 0);
    EXPECT_EQ(nurses(*g.apol), std::vector<std::string>{"Mentett Ápoló"});
}

TEST(Restore, AnOlderLayoutIsUpgradedAsAtStartUp) {
    RestoreFixture f;
    db::FieldList old;
    for (const db::FieldDef& field : store::schema::HLAPA().fields)
        if (field.name != "Orvtip") old.push_back(field);
    fs::remove(f.ment + "/HLapa.dbf");
    writeTable(f.ment, "HLAPA.DBF", old, {});
    ASSERT_TRUE(f.run(backup::RestoreSource{f.ment, true}));
    EXPECT_EQ(f.start.dialogs.problems(), std::vector<std::string>{});
    EXPECT_TRUE(store::tableOf(f.start.db, store::schema::HLAPA()).hasField("ORVTIP"));
}

TEST(Restore, EveryRefusalLeavesTheLiveTablesAsTheyWere) {
    using Spoil = std::function<void(RestoreFixture&)>;
    struct Case {
        const char* what;
        Spoil spoil;
        bool fromMent;
        bool yes;
        std::string message;   // a part of the error shown, "" for none
        bool saysNoRestore = false;  // "Visszatöltés nem történt !" although answered Yes
    };
    // The drive's archive encrypted, then spoilt; the passphrase the window gives.
    const auto encrypted = [](std::function<void(std::string&)> spoil, std::optional<std::string> typed) {
        return Spoil([spoil, typed](RestoreFixture& f) {
            encryptOnDrive(f.drive.str(), "jelszó");
            const std::string path = f.drive.file(backup::kEncryptedArchiveName);
            std::string bytes = fileBytes(path);
            spoil(bytes);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
            f.windows.passphrase = typed;
        });
    };
    const auto asIs = [](std::string&) {};
    const auto archiveOf = [](const std::vector<std::string>& names) {
        return Spoil([names](RestoreFixture& f) {
            for (const std::string& n : names)
                if (!fs::exists(f.ment + "/" + n)) std::ofstream(f.ment + "/" + n) << "foreign";
            app::createArchive(f.drive.file("Zaras.arj"), f.ment, names);
        });
    };
    std::vector<std::string> thirteenAndOne = backup::backedUpFileNames();
    thirteenAndOne.back() = "Other.dbf";
    std::vector<std::string> fifteen = backup::backedUpFileNames();
    fifteen.push_back("readme.txt");

    const Case cases[] = {
        {"answered No", [](RestoreFixture&) {}, true, false, ""},
        {"Mégsem", [](RestoreFixture& f) { f.windows.source.reset(); }, true, true, ""},
        {"a table missing from MENT", [](RestoreFixture& f) { fs::remove(f.ment + "/HLapb.dbf"); }, true, true,
         "HLAPB.DBF"},
        {"a table cut short",
         [](RestoreFixture& f) { fs::resize_file(f.ment + "/Beteg.dbf", fs::file_size(f.ment + "/Beteg.dbf") - 7); },
         true, true, "BETEG.DBF"},
        {"a table that is not one", [](RestoreFixture& f) { std::ofstream(f.ment + "/Orvos.dbf") << "text"; }, true,
         true, "ORVOS.DBF"},
        {"a table without a field",
         [](RestoreFixture& f) { writeTable(f.ment, "Beteg.dbf", {{"TAJ", 'C', 9, 0}, {"NEV", 'C', 25, 0}}, {}); },
         true, true, "NEME"},
        {"no archive", [](RestoreFixture& f) { fs::remove(f.drive.file("Zaras.arj")); }, false, true, "ZARAS.ARJ"},
        {"a damaged archive",
         [](RestoreFixture& f) {
             std::string bytes = fileBytes(f.drive.file("Zaras.arj"));
             bytes[bytes.size() / 2] ^= 0x5A;
             std::ofstream(f.drive.file("Zaras.arj"), std::ios::binary) << bytes;
         },
         false, true, "visszatölteni"},
        {"an archive with a foreign member", archiveOf(thirteenAndOne), false, true, "Other.dbf"},
        {"an archive with one member too many", archiveOf(fifteen), false, true, "readme.txt"},
        {"a wrong passphrase", encrypted(asIs, "Jelszó"), false, true, backup::kWrongPassphrase},
        {"an empty passphrase", encrypted(asIs, ""), false, true, backup::kPassphraseRequired},
        {"the passphrase window left", encrypted(asIs, std::nullopt), false, true, "", true},
        {"an encrypted copy cut short", encrypted([](std::string& b) { b.resize(b.size() - 100); }, "jelszó"), false,
         true, backup::kEncryptedDamaged},
        {"a byte flipped in the encrypted copy", encrypted([](std::string& b) { b[b.size() / 2] ^= 4; }, "jelszó"),
         false, true, backup::kEncryptedDamaged},
        {"a plain archive named as encrypted",
         [](RestoreFixture& f) {
             fs::rename(f.drive.file(backup::kArchiveName), f.drive.file(backup::kEncryptedArchiveName));
             f.windows.passphrase = "jelszó";
         },
         false, true, "nem titkosított mentés"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RestoreFixture f;
        f.windows.source = backup::RestoreSource{c.fromMent ? f.ment : f.drive.str(), c.fromMent};
        c.spoil(f);
        const auto before = liveFiles(f.data.str());
        f.start.dialogs.answer(c.yes);
        ASSERT_FALSE(backup::runRestore(f.start.db, f.start.session, f.start.dialogs, f.windows, f.progress).programEnds);
        EXPECT_EQ(liveFiles(f.data.str()), before);
        EXPECT_EQ(nurses(*f.apol), (std::vector<std::string>{"Mentett Ápoló", "Később Felvett"}));
        const auto errors = f.start.dialogs.errors();
        if (c.message.empty()) {
            EXPECT_TRUE(errors.empty());
        } else {
            ASSERT_EQ(errors.size(), 1u);
            const std::string shown = errors[0] + "\n" + f.start.dialogs.errorDetails()[0];
            EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
        }
        EXPECT_EQ(f.start.dialogs.texts(Kind::Information), c.yes && !c.saysNoRestore
                                                                ? std::vector<std::string>{}
                                                                : std::vector<std::string>{backup::kNoRestore});
        EXPECT_TRUE(!fs::exists(f.data.file("TEMP")) || fs::is_empty(f.data.file("TEMP")))
            << "nothing opened is left behind";
    }
}
