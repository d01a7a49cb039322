#include "backup/Backup.h"

#include "app/Archiver.h"
#include "backup/BackupSet.h"
#include "db/FileIo.h"
#include "store/FileCopy.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::backup {

namespace {

// Kept beside MENT while a backup runs; a left-over one is from a backup
// cut short and is thrown away by the next.
const std::string kNewSuffix = ".uj";
const std::string kOldSuffix = ".regi";

std::string withoutSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// Reopens the shared tables when the copies are over, also by an exception.
struct TablesClosed {
    db::Database& db;
    explicit TablesClosed(db::Database& d) : db(d) { store::mindzar(db); }
    ~TablesClosed() {
        try {
            store::mindnyit(db);
        } catch (...) {
        }
    }
};

// The fourteen copies into a fresh folder, each compared with its table.
void copyTables(db::Database& db, const std::string& fresh, app::ProgressScope& scope) {
    std::error_code ec;
    fs::remove_all(fresh, ec);
    fs::create_directories(fresh);
    int done = 0;
    for (const auto* def : backedUpTables()) {
        scope.step("A(z) " + def->fileName + " mentése", done++);
        const auto live = db.findFile(def->fileName);
        if (!live) db::throwIo(db.resolve(def->fileName), "nem található", ENOENT);
        store::copyFileChecked(*live, fresh + "/" + def->fileName);
    }
    db::syncDirectory(fresh);
}

// The fresh folder becomes MENT; the old MENT goes only once it has.
void putInPlace(const std::string& fresh, const std::string& ment) {
    const std::string old = ment + kOldSuffix;
    std::error_code ec;
    fs::remove_all(old, ec);
    const bool hadMent = fs::exists(ment);
    if (hadMent) fs::rename(ment, old);
    try {
        fs::rename(fresh, ment);
    } catch (...) {
        if (hadMent) fs::rename(old, ment, ec);
        throw;
    }
    db::syncDirectory(fs::path(ment).parent_path().string());
    fs::remove_all(old, ec);
}

// The archive's copy in `dir`, written under another name, proven, and then
// put over any older Zaras.arj there.
std::string placeArchive(const std::string& archive, const std::string& dir) {
    const std::string target = (fs::path(dir) / kArchiveName).string();
    const std::string part = target + kNewSuffix;
    try {
        store::copyFileChecked(archive, part);
        app::testArchive(part);
        fs::rename(part, target);
        db::syncDirectory(dir);
    } catch (...) {
        std::error_code ec;
        fs::remove(part, ec);
        throw;
    }
    return target;
}

std::string detailOf(const std::exception& e) {
    if (const auto* a = dynamic_cast<const app::ArchiverError*>(&e))
        return a->detail().empty() ? a->what() : std::string(a->what()) + "\n" + a->detail();
    return e.what();
}

} // namespace

BackupOutcome runBackup(db::Database& db, const app::Session& session, app::Dialogs& dialogs, BackupWindows& windows,
                        app::Progress& progress) {
    BackupOutcome outcome;
    const std::string ment = withoutSlash(session.mentdir);
    const int tables = static_cast<int>(backedUpTables().size());
    {
        app::ProgressScope scope(progress, "Biztonsági mentés", tables + 1, false);
        try {
            TablesClosed closed(db);
            copyTables(db, ment + kNewSuffix, scope);
            scope.step("A MENT könyvtár cseréje", tables);
            putInPlace(ment + kNewSuffix, ment);
            outcome.copied = true;
        } catch (const std::exception& e) {
            std::error_code ec;
            fs::remove_all(ment + kNewSuffix, ec);
            dialogs.error(kBackupFailed, e.what());
            return outcome;
        }
    }
    std::string summary = std::to_string(tables) + " állomány a(z) " + ment + " könyvtárban.";
    if (dialogs.ask(kOutsideQuestion, app::QuestionKind::Confirmation)) {
        const std::string archive = ment + "/" + kArchiveName;
        try {
            app::ProgressScope scope(progress, "Csomagolás", 1, false);
            scope.step("A(z) " + std::string(kArchiveName) + " készítése és ellenőrzése", 0);
            app::createArchive(archive, ment, backedUpFileNames());
            outcome.packed = true;
        } catch (const std::exception& e) {
            dialogs.error(kPackFailed, detailOf(e));
        }
        if (outcome.packed) {
            summary += "\n" + std::string(kArchiveName) + ": " + archive;
            if (const auto place = windows.chooseBackupPlace()) {
                try {
                    outcome.placed = placeArchive(archive, *place);
                    summary += "\nMásolata: " + *outcome.placed;
                } catch (const std::exception& e) {
                    dialogs.error(kCopyFailed, detailOf(e));
                }
            } else {
                dialogs.warning(kNoPlace);
            }
        }
    }
    dialogs.information(std::string(kBackupDone) + "\n" + summary);
    return outcome;
}

} // namespace velmora::backup
