#include "backup/Restore.h"

#include "app/Archiver.h"
#include "app/UserError.h"
#include "backup/ArchiveCrypt.h"
#include "backup/BackupSet.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "store/ContractCheck.h"
#include "store/FileCopy.h"
#include "store/Reindex.h"
#include "store/TableReplacement.h"
#include "store/History.h"
#include "store/TableSetup.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <strings.h>

namespace fs = std::filesystem;

namespace velmora::backup {

namespace {

// A fresh folder for the set under TEMP, removed with the object (after a
// kill, by the next start).
struct StagingDir {
    std::string path;
    explicit StagingDir(const std::string& ktemp) {
        const fs::path base = ktemp.empty() ? fs::temp_directory_path() : fs::path(ktemp);
        try {
            db::os::makeDirectories(base.string());
            path = db::os::makeUniqueDirectory((base / "visszatoltes-XXXXXX").string());
        } catch (const db::DbError& e) {
            throw app::UserError("A(z) " + base.string() + " könyvtárban nem lehet dolgozni! " + e.what());
        }
    }
    ~StagingDir() {
        try {
            db::os::removeTree(path);
        } catch (...) {
        }
    }
};

std::string withSlash(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }

// The plain copies of the set, each found in any case, into the staging folder.
void copyFromFolder(const std::string& dir, const std::string& stage) {
    for (const std::string& name : backedUpFileNames())
        if (const auto found = db::findFileNoCase(dir, name)) store::copyFileChecked(*found, stage + "/" + name);
}

// The passphrase window was left with "Mégsem": no restore.
struct NoPassphrase {};

// The archive a folder holds: Zaras.arj or its encrypted copy, the newer
// one when both are there.
std::optional<std::string> findArchive(const std::string& dir) {
    const auto plain = db::findFileNoCase(dir, kArchiveName);
    const auto encrypted = db::findFileNoCase(dir, kEncryptedArchiveName);
    if (!plain || !encrypted) return plain ? plain : encrypted;
    std::error_code ec;
    return fs::last_write_time(*encrypted, ec) >= fs::last_write_time(*plain, ec) ? encrypted : plain;
}

bool namedEncrypted(const std::string& path) {
    const std::string name = fs::path(path).filename().string();
    return strcasecmp(name.c_str(), kEncryptedArchiveName) == 0;
}

// An encrypted archive opened into `folder` (the archiver extracts only
// into an empty folder, so not the staging folder); the opened archive's path.
std::string openEncrypted(const std::string& archive, const std::string& folder, RestoreWindows& windows) {
    if (!isEncryptedArchive(archive))
        throw app::UserError("A(z) " + fs::path(archive).filename().string() +
                             " nem titkosított mentés: hiányzik a titkosított mentés fejléce!\n" + kRestoreRefused);
    const std::optional<std::string> passphrase = windows.askPassphrase(kPassphrasePrompt);
    if (!passphrase) throw NoPassphrase{};
    if (const std::string problem = passphraseProblem(*passphrase); !problem.empty()) throw app::UserError(problem);
    const std::string opened = folder + "/" + kArchiveName;
    try {
        decryptArchive(archive, opened, *passphrase);
    } catch (const app::UserError& e) {
        throw app::UserError(std::string(e.what()) + "\n" + kRestoreRefused);
    }
    return opened;
}

// The archive (opened first when encrypted) tested and extracted; its
// members must be the set's tables, each once, and nothing else. True when
// it was the encrypted copy.
bool extractFrom(const std::string& dir, const std::string& stage, const std::string& ktemp, RestoreWindows& windows) {
    const auto found = findArchive(dir);
    if (!found)
        throw app::UserError("Nincs a " + withSlash(dir) + " útvonalon ZARAS.ARJ!!\nNem lehet az adatokat visszatölteni!");
    const bool encrypted = namedEncrypted(*found) || isEncryptedArchive(*found);
    std::optional<StagingDir> opened;
    if (encrypted) opened.emplace(ktemp);
    const std::string archive = encrypted ? openEncrypted(*found, opened->path, windows) : *found;
    const std::vector<std::string> names = backedUpFileNames();
    std::set<std::string> seen;
    for (const std::string& member : app::archiveMembers(archive)) {
        std::string known;
        for (const std::string& n : names)
            if (strcasecmp(n.c_str(), member.c_str()) == 0) known = n;
        if (known.empty())
            throw app::UserError("A ZARAS.ARJ archívumban idegen tag van: " + member +
                                 "\nNem lehet az adatokat visszatölteni!");
        if (!seen.insert(known).second)
            throw app::UserError("A ZARAS.ARJ archívumban kétszer van meg: " + member +
                                 "\nNem lehet az adatokat visszatölteni!");
    }
    app::testArchive(archive);
    app::extractArchive(archive, stage);
    return encrypted;
}

std::string detailOf(const std::exception& e) {
    if (const auto* a = dynamic_cast<const app::ArchiverError*>(&e))
        return a->detail().empty() ? a->what() : std::string(a->what()) + "\n" + a->detail();
    return e.what();
}

// Older layouts upgraded as at start-up; false when the contract tables
// cannot be used (the message has been shown).
bool upgrade(db::Database& db, app::Dialogs& dialogs) {
    store::Crtzaras(db, dialogs);
    if (!store::Szerz_nyit(db, dialogs)) return false;
    store::Crtapol(db, dialogs);
    store::Crtorvos(db, dialogs);
    store::Crtbeteg(db, dialogs);
    store::Crtmaradv(db, dialogs);
    store::Crtlapa(db, dialogs);
    store::Crtlapb(db, dialogs);
    db.closeAll();
    return true;
}

bool inSet(const std::vector<SetFile>& set, const store::schema::TableDef& def) {
    return std::any_of(set.begin(), set.end(), [&](const SetFile& f) { return f.def == &def; });
}

// The restore's row goes into the restored history itself, so that it
// comes in place with the tables. A set made before the history was kept
// gets a history that starts with it.
void recordRestore(db::Database& staged, store::Replacement& replacement, const std::vector<SetFile>& set,
                   const std::string& from, app::Dialogs& dialogs) {
    namespace history = store::history;
    const bool withHistory = inSet(set, store::schema::ELOZMENY()) || inSet(set, store::schema::ELOZVEG());
    history::Entry entry{history::kRestore, {}, {}, {}, {}, {{}, "Visszatöltve " + from + "."}};
    if (withHistory) {
        history::Crtelozm(staged, dialogs);
        history::record(staged, entry);
    } else {
        entry.text.note += " A mentés az előzmények vezetése előtt készült, az előzmények ezzel a sorral kezdődnek.";
        history::startHistory(staged, entry);
    }
    staged.closeAll();
    for (const store::schema::TableDef* def : {&store::schema::ELOZMENY(), &store::schema::ELOZVEG()})
        if (!inSet(set, *def)) replacement.add(*def);
}

// The set staged in the data directory and upgraded there, so that the
// tables, their layouts and their index files change in one step.
void stageUpgraded(store::Replacement& replacement, const std::vector<SetFile>& set, const std::string& from,
                   app::Dialogs& dialogs) {
    for (const SetFile& f : set) replacement.stage(*f.def, f.path);
    db::Database staged(replacement.folder());
    if (!upgrade(staged, dialogs)) throw app::UserError(kRestoreRefused);
    recordRestore(staged, replacement, set, from, dialogs);
}

} // namespace

namespace {

RestoreOutcome refused(app::Dialogs& dialogs, const app::Failure& failure) {
    app::show(dialogs, failure);
    return {failure};
}

} // namespace

RestoreOutcome runRestore(db::Database& db, app::Session& session, app::Dialogs& dialogs, RestoreWindows& windows,
                          app::Progress& progress) {
    using app::Failure, app::FailureKind;
    const RestoreOutcome declined{Failure{FailureKind::Cancelled, kNoRestore, {}}};
    if (!dialogs.ask(app::question(app::Msg::RestoreQuestion))) {
        dialogs.information(kNoRestore);
        return declined;
    }
    const std::optional<RestoreSource> source = windows.chooseRestoreSource();
    if (!source) return {Failure{FailureKind::Cancelled, kNoSourceChosen, {}}};

    app::ProgressScope scope(progress, "Visszatöltés", 4, false);
    std::vector<SetFile> set;
    std::optional<StagingDir> stage;
    bool encrypted = false;
    std::string where, from;
    try {
        stage.emplace(session.ktemp);
        scope.step("A mentés ellenőrzése", 0);
        if (source->fromMent) {
            copyFromFolder(source->dir, stage->path);
            where = "a " + withSlash(source->dir) + " könyvtárban";
            from = "a " + withSlash(source->dir) + " könyvtár másolataiból";
        } else {
            encrypted = extractFrom(source->dir, stage->path, session.ktemp, windows);
            where = "a ZARAS.ARJ archívumban";
            const std::string name = encrypted ? "Zaras.arj.titkos" : "ZARAS.ARJ";
            from = source->archive.empty() ? "a " + withSlash(source->dir) + " könyvtár " + name + " archívumából"
                                           : "a(z) " + source->archive + " archívumból";
        }
        set = checkSet(stage->path, where);
    } catch (const NoPassphrase&) {
        dialogs.information(kNoRestore);
        return declined;
    } catch (const app::UserError& e) {
        return refused(dialogs, app::failureOf(e));
    } catch (const std::exception& e) {
        return refused(dialogs, Failure{FailureKind::File, kRestoreRefused, detailOf(e)});
    }

    dialogs.status(0, kRestoreRunning);
    try {
        scope.step("Átalakítás", 1);
        store::Replacement replacement(db);
        stageUpgraded(replacement, set, from, dialogs);
        scope.step("Az állományok cseréje és indexelése", 2);
        store::mindzar(db);
        replacement.commit();
    } catch (const app::UserError& e) {
        store::mindnyit(db);
        return refused(dialogs, app::failureOf(e));
    } catch (const std::exception& e) {
        // Once the replacement's journal stands, the tables stay closed: the
        // next start finishes it, and a half-replaced set is never shown.
        if (db::journalStands(db.directory())) {
            RestoreOutcome ends = refused(dialogs, app::failureOf("Hiba a lefutásban!", e));
            ends.programEnds = true;
            return ends;
        }
        try {
            store::mindnyit(db);
        } catch (...) {
            // The refusal below is what the user needs; a table left closed shows itself.
        }
        return refused(dialogs, app::failureOf(kRestoreRefused, e));
    }
    store::mindnyit(db);
    const auto details = store::Szerz_nyit(db, dialogs);
    if (!details) return {Failure{FailureKind::Engine, "A szerződés adatai a visszatöltés után nem olvashatók.", {}}, true};
    store::showContractDetails(*details, session, dialogs);
    dialogs.information(std::string(kRestoreDone) + "\n" + std::to_string(set.size()) + " állomány visszatöltve " +
                        (source->fromMent  ? "a MENT könyvtárból."
                         : encrypted       ? "a titkosított Zaras.arj.titkos archívumból."
                                           : "a ZARAS.ARJ archívumból."));
    dialogs.status(0, kIndexDone);
    return {};
}

} // namespace velmora::backup
