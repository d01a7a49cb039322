#pragma once
// "Visszatöltés": the fourteen tables put back from the copies in MENT or
// from a Zaras.arj in a chosen folder.
//
// The whole set is checked before anything local changes: every table
// present and readable to its last row (from an archive: tested, extracted
// into a fresh folder, its members exactly the fourteen tables in any
// case). Then the live tables are replaced all at once (kept aside until
// every file is in place, put back on any failure), older layouts are
// upgraded as at start-up and every index is rebuilt. A "Nem" or "Mégsem"
// anywhere changes nothing.
//
// A chosen folder may hold the encrypted copy (Zaras.arj.titkos) instead of,
// or beside, Zaras.arj; the newer of the two is restored. An archive is
// taken as encrypted by its first bytes, whatever its name: its passphrase
// is asked, and it is opened into the staging folder and checked there like
// a plain one. A wrong passphrase, a cut or changed file, or a plain file
// under the encrypted name is refused before anything changes.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"

#include <optional>
#include <string>

namespace velmora::backup {

inline constexpr const char* kNoRestore = "Visszatöltés nem történt !";
inline constexpr const char* kNoSourceChosen = "Nincs kiválasztva a visszatöltés helye!";
// The system's own caption, as it has always been spelt.
inline constexpr const char* kSourceCaption = "Visszatöltés helyének kiválsztása";
inline constexpr const char* kRestoreRunning = "A visszatöltés folyamatban van!!";
inline constexpr const char* kRestoreRefused = "Nem lehet az adatokat visszatölteni! Az adatok nem változtak.";
inline constexpr const char* kRestoreDone = "A visszatöltés befejeződött!!";
inline constexpr const char* kIndexDone = "Az indexelés befejeződött!!";

struct RestoreSource {
    std::string dir;
    bool fromMent = false;   // plain copies; else a Zaras.arj in dir
    // The archive as the user named it, when dir holds a copy of it under
    // the backup's own name: the history tells where the set came from.
    std::string archive = {};
};

class RestoreWindows {
public:
    virtual ~RestoreWindows() = default;
    // The restore window, and for "Választott útvonal" the location window;
    // nothing when the user chose no place or left with "Mégsem".
    virtual std::optional<RestoreSource> chooseRestoreSource() = 0;
    // The passphrase window with the prompt; nothing when left with "Mégsem".
    virtual std::optional<std::string> askPassphrase(const std::string& prompt) = 0;
};

struct RestoreOutcome {
    app::Outcome failure;      // what stopped it (a "Nem" or "Mégsem" as Cancelled); nothing when the set is back
    bool programEnds = false;  // the contract details could not be read after the restore, or the
                               // replacement failed after its journal stood (the next start finishes it)
    bool restored() const { return !failure; }
};

// The command; every problem has been shown.
RestoreOutcome runRestore(db::Database& db, app::Session& session, app::Dialogs& dialogs, RestoreWindows& windows,
                          app::Progress& progress);

} // namespace velmora::backup
