#include "backup/Backup.h"

#include "app/Archiver.h"
#include "backup/ArchiveCrypt.h"
#include "backup/BackupSet.h"
#include "db/Journal.h"
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "store/FileCopy.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::backup {

namespace {

// Beside MENT while a backup runs (MENT.uj), and beside a final name while
// a file is written (Zaras.arj.uj); a left-over one is from a backup cut
// short, and the next start removes it.
const std::string kNewSuffix = ".uj";

std::string withoutSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string upper(std::string s) { return db::upperAscii(std::move(s)); }

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
    db::os::removeTree(fresh);
    db::os::makeDirectories(fresh);
    int done = 0;
    for (const auto* def : backedUpTables()) {
        scope.step("A(z) " + def->fileName + " mentése", done++);
        const auto live = db.findFile(def->fileName);
        if (!live) db::os::throwIo(db.resolve(def->fileName), "nem található", ENOENT);
        store::copyFileChecked(*live, fresh + "/" + def->fileName);
    }
    db::os::syncDirectory(fresh);
}

// The fresh set takes MENT's place in one write unit: per table the new
// copy renamed over the old one (another spelling of its name removed), the
// new archive over the old one, or the old one removed, since it holds the
// old set, and the fresh folder removed. A kill leaves the old set or the
// new one, never a mix.
void putInPlace(db::Database& db, const std::string& fresh, const std::string& ment, bool packed) {
    db::os::makeDirectories(ment);
    const std::vector<std::string> names = backedUpFileNames();
    db::WriteUnit unit(db);
    for (const std::string& entry : db::os::list(ment)) {
        const bool sameName = std::find(names.begin(), names.end(), entry) != names.end();
        const bool ofTheSet = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return upper(n) == upper(entry);
        });
        const bool archive = upper(entry) == upper(kArchiveName);
        if ((ofTheSet && !sameName) || (archive && !(packed && entry == kArchiveName)))
            unit.addFileOperation(db::FileOperation::remove(ment + "/" + entry));
    }
    std::vector<std::string> moved = names;
    if (packed) moved.push_back(kArchiveName);
    for (const std::string& name : moved)
        unit.addFileOperation(db::FileOperation::rename(fresh + "/" + name, ment + "/" + name));
    unit.addFileOperation(db::FileOperation::removeTree(fresh, false));
    unit.commit();
}

// The archive's copy in `dir`, written beside its final name, proven, and
// then put over any older Zaras.arj there. While it is written, the data
// directory's journal names the partial copy, so that a kill leaves none.
std::string placeArchive(const std::string& dataDir, const std::string& archive, const std::string& dir) {
    const std::string target = (fs::path(dir) / kArchiveName).string();
    const std::string part = db::os::besideName(target);
    const db::PendingFiles pending(dataDir, {part});
    try {
        store::copyFileChecked(archive, part);
        app::testArchive(part);
        db::os::rename(part, target);
        db::os::syncDirectory(dir);
    } catch (...) {
        try {
            db::os::remove(part);
        } catch (...) {
        }
        throw;
    }
    return target;
}

// The encrypted copy in `dir`, written beside its final name and read back
// into the archive's very bytes, then put over any older one there.
std::string placeEncrypted(const std::string& dataDir, const std::string& archive, const std::string& dir,
                           const std::string& passphrase) {
    const std::string target = (fs::path(dir) / kEncryptedArchiveName).string();
    const std::string part = db::os::besideName(target);
    const db::PendingFiles pending(dataDir, {part});
    try {
        encryptArchive(archive, part, passphrase);
        db::os::rename(part, target);
        db::os::syncDirectory(dir);
    } catch (...) {
        try {
            db::os::remove(part);
        } catch (...) {
        }
        throw;
    }
    return target;
}

// The passphrase typed twice; nothing when the user left, or the two differ
// or break a rule (the message has been shown).
std::optional<std::string> newPassphrase(app::Dialogs& dialogs, BackupWindows& windows) {
    const std::optional<std::string> first = windows.askPassphrase(kPassphrasePrompt);
    if (!first) return std::nullopt;
    if (const std::string problem = passphraseProblem(*first); !problem.empty()) {
        dialogs.error(problem);
        return std::nullopt;
    }
    const std::optional<std::string> second = windows.askPassphrase(kPassphraseAgainPrompt);
    if (!second) return std::nullopt;
    if (*second != *first) {
        dialogs.error(kPassphrasesDiffer);
        return std::nullopt;
    }
    return first;
}

std::string detailOf(const std::exception& e) {
    if (const auto* a = dynamic_cast<const app::ArchiverError*>(&e))
        return a->detail().empty() ? a->what() : std::string(a->what()) + "\n" + a->detail();
    return e.what();
}

// The archive's copy at the chosen place, encrypted when the user asks for
// it; the line the final message gets for it.
std::string placeCopy(const std::string& dataDir, const std::string& archive, const std::string& place,
                      app::Dialogs& dialogs, BackupWindows& windows, BackupOutcome& outcome) {
    if (!dialogs.ask(app::question(app::Msg::EncryptQuestion))) {
        try {
            outcome.placed = placeArchive(dataDir, archive, place);
            return "\nMásolata: " + *outcome.placed;
        } catch (const std::exception& e) {
            dialogs.error(kCopyFailed, detailOf(e));
            return {};
        }
    }
    const auto passphrase = newPassphrase(dialogs, windows);
    if (!passphrase) {
        dialogs.warning(kNoEncryptedCopy);
        return {};
    }
    try {
        outcome.placed = placeEncrypted(dataDir, archive, place, *passphrase);
        outcome.encrypted = true;
        return "\nTitkosított másolata: " + *outcome.placed;
    } catch (const std::exception& e) {
        dialogs.error(kEncryptFailed, detailOf(e));
        return {};
    }
}

} // namespace

namespace {

void removeQuietly(const std::string& dir) {
    try {
        db::os::removeTree(dir);
    } catch (...) {
    }
}

} // namespace

BackupOutcome runBackup(db::Database& db, const app::Session& session, app::Dialogs& dialogs, BackupWindows& windows,
                        app::Progress& progress) {
    BackupOutcome outcome;
    const std::string ment = withoutSlash(session.mentdir);
    const std::string fresh = ment + kNewSuffix;
    const int tables = static_cast<int>(backedUpTables().size());
    try {
        app::ProgressScope scope(progress, "Biztonsági mentés", tables, false);
        TablesClosed closed(db);
        copyTables(db, fresh, scope);
    } catch (const std::exception& e) {
        removeQuietly(fresh);
        dialogs.error(kBackupFailed, e.what());
        return outcome;
    }
    // The new set and its archive take MENT's place together, after the
    // question: MENT never holds a set with another set's archive.
    if (dialogs.ask(app::question(app::Msg::OutsideCopyQuestion))) {
        try {
            app::ProgressScope scope(progress, "Csomagolás", 1, false);
            scope.step("A(z) " + std::string(kArchiveName) + " készítése és ellenőrzése", 0);
            app::createArchive(fresh + "/" + kArchiveName, fresh, backedUpFileNames());
            outcome.packed = true;
        } catch (const std::exception& e) {
            dialogs.error(kPackFailed, detailOf(e));
        }
    }
    try {
        app::ProgressScope scope(progress, "A MENT könyvtár cseréje", 1, false);
        scope.step("A MENT könyvtár cseréje", 0);
        putInPlace(db, fresh, ment, outcome.packed);
        outcome.copied = true;
    } catch (const std::exception& e) {
        // Once the journal stands the fresh set is its own: the next start moves it.
        if (!db::journalStands(db.directory())) removeQuietly(fresh);
        dialogs.error(kBackupFailed, e.what());
        return BackupOutcome{};
    }
    std::string summary = std::to_string(tables) + " állomány a(z) " + ment + " könyvtárban.";
    if (outcome.packed) {
        const std::string archive = ment + "/" + kArchiveName;
        summary += "\n" + std::string(kArchiveName) + ": " + archive;
        if (const auto place = windows.chooseBackupPlace()) {
            summary += placeCopy(db.directory(), archive, *place, dialogs, windows, outcome);
        } else {
            dialogs.warning(kNoPlace);
        }
    }
    dialogs.information(std::string(kBackupDone) + "\n" + summary);
    return outcome;
}

} // namespace velmora::backup
