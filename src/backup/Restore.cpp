#include "backup/Restore.h"

#include "app/Archiver.h"
#include "app/UserError.h"
#include "backup/BackupSet.h"
#include "db/Database.h"
#include "store/ContractCheck.h"
#include "store/FileCopy.h"
#include "store/Reindex.h"
#include "store/TableSetup.h"
#include "store/TableSwap.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <strings.h>

namespace fs = std::filesystem;

namespace velmora::backup {

namespace {

// A fresh folder for the set under TEMP, removed with the object.
struct StagingDir {
    std::string path;
    explicit StagingDir(const std::string& ktemp) {
        const fs::path base = ktemp.empty() ? fs::temp_directory_path() : fs::path(ktemp);
        fs::create_directories(base);
        std::string pattern = (base / "visszatoltes-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw app::UserError("A(z) " + base.string() + " könyvtárban nem lehet dolgozni!");
        path = pattern;
    }
    ~StagingDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::string withSlash(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + "/"; }

// The plain copies of the set, each found in any case, into the staging folder.
void copyFromFolder(const std::string& dir, const std::string& stage) {
    for (const std::string& name : backedUpFileNames())
        if (const auto found = db::findFileNoCase(dir, name)) store::copyFileChecked(*found, stage + "/" + name);
}

// The archive tested and extracted; its members must be the set's tables,
// each once, and nothing else.
void extractFrom(const std::string& dir, const std::string& stage) {
    const auto archive = db::findFileNoCase(dir, kArchiveName);
    if (!archive)
        throw app::UserError("Nincs a " + withSlash(dir) + " útvonalon ZARAS.ARJ!!\nNem lehet az adatokat visszatölteni!");
    const std::vector<std::string> names = backedUpFileNames();
    std::set<std::string> seen;
    for (const std::string& member : app::archiveMembers(*archive)) {
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
    app::testArchive(*archive);
    app::extractArchive(*archive, stage);
}

std::string detailOf(const std::exception& e) {
    if (const auto* a = dynamic_cast<const app::ArchiverError*>(&e))
        return a->detail().empty() ? a->what() : std::string(a->what()) + "\n" + a->detail();
    return e.what();
}

// Older layouts upgraded and every index file built anew, as at start-up.
std::optional<store::ContractDetails> upgradeAndIndex(db::Database& db, app::Dialogs& dialogs) {
    store::mindzar(db);
    store::indtorol(db);
    store::Crtzaras(db, dialogs);
    auto details = store::Szerz_nyit(db, dialogs);
    if (!details) return details;
    store::Crtapol(db, dialogs);
    store::Crtorvos(db, dialogs);
    store::Crtbeteg(db, dialogs);
    store::Crtmaradv(db, dialogs);
    store::Crtlapa(db, dialogs);
    store::Crtlapb(db, dialogs);
    store::mindnyit(db);
    return details;
}

} // namespace

bool runRestore(db::Database& db, app::Session& session, app::Dialogs& dialogs, RestoreWindows& windows,
                app::Progress& progress) {
    if (!dialogs.ask(kRestoreQuestion, app::QuestionKind::Confirmation)) {
        dialogs.information(kNoRestore);
        return true;
    }
    const std::optional<RestoreSource> source = windows.chooseRestoreSource();
    if (!source) return true;

    app::ProgressScope scope(progress, "Visszatöltés", 4, false);
    std::vector<store::TableReplacement> replacements;
    std::optional<StagingDir> stage;
    try {
        stage.emplace(session.ktemp);
        scope.step("A mentés ellenőrzése", 0);
        std::string where;
        if (source->fromMent) {
            copyFromFolder(source->dir, stage->path);
            where = "a " + withSlash(source->dir) + " könyvtárban";
        } else {
            extractFrom(source->dir, stage->path);
            where = "a ZARAS.ARJ archívumban";
        }
        for (const SetFile& f : checkSet(stage->path, where)) replacements.push_back({f.def, f.path});
    } catch (const app::UserError& e) {
        dialogs.error(e.what());
        return true;
    } catch (const std::exception& e) {
        dialogs.error(kRestoreRefused, detailOf(e));
        return true;
    }

    dialogs.status(0, kRestoreRunning);
    scope.step("Az állományok cseréje", 1);
    try {
        store::swapTables(db, replacements);
    } catch (const std::exception& e) {
        dialogs.error(kRestoreRefused, e.what());
        return true;
    }
    scope.step("Átalakítás és indexelés", 2);
    const auto details = upgradeAndIndex(db, dialogs);
    if (!details) return false;
    store::showContractDetails(*details, session, dialogs);
    dialogs.information(std::string(kRestoreDone) + "\n" + std::to_string(replacements.size()) +
                        " állomány visszatöltve " + (source->fromMent ? "a MENT könyvtárból." : "a ZARAS.ARJ archívumból."));
    dialogs.status(0, kIndexDone);
    return true;
}

} // namespace velmora::backup
