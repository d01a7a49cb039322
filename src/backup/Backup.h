#pragma once
// "Mentés": the fourteen tables copied into MENT, and on request packed
// into Zaras.arj and copied where the user chooses.
//
// The copies go into a new folder beside MENT and each is compared with its
// table; the archive, when asked for, is made there from the fourteen names
// and tested. Only then do the set and its archive replace MENT's, in one
// write unit (a kill leaves the old set or the new one). The archive's copy
// on the chosen drive is written beside its final name, compared and tested
// before it is renamed into place: "Biztonsági mentés megtörtént!" is shown
// only for what has been proven.
//
// For a place outside the machine the copy can be encrypted instead
// (Zaras.arj.titkos, ArchiveCrypt.h): the passphrase is asked twice and kept
// only while the copy is written; the copy is opened again with it and
// compared with the archive before it is renamed into place. MENT's own
// Zaras.arj stays plain: it never leaves the machine.
#include "app/Dialogs.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"

#include <optional>
#include <string>

namespace velmora::backup {

inline constexpr const char* kBackupFailed = "Hiba a mentésben";
inline constexpr const char* kPackFailed = "Hiba a csomagolásban!";
inline constexpr const char* kPlaceCaption = "Mentés helyének kiválasztása";
inline constexpr const char* kNoPlace = "Nincs kiválasztva mentési hely, mentés a MENT könyvtárban található!";
// The system's words, and on their own line where the backup still is.
inline constexpr const char* kCopyFailed = "Hiba a zaras.arj mentésében\nA mentés a MENT könyvtárban található.";
inline constexpr const char* kBackupDone = "Biztonsági mentés megtörtént!";
inline constexpr const char* kNoEncryptedCopy =
    "Nem készült titkosított másolat, mentés a MENT könyvtárban található!";
inline constexpr const char* kEncryptFailed =
    "Hiba a titkosított másolat készítésében! A mentés a MENT könyvtárban található.";

// What the backup needs from the windows.
class BackupWindows {
public:
    virtual ~BackupWindows() = default;
    // The location window with kPlaceCaption; nothing unless left with OK.
    virtual std::optional<std::string> chooseBackupPlace() = 0;
    // The passphrase window with the prompt; nothing when left with "Mégsem".
    virtual std::optional<std::string> askPassphrase(const std::string& prompt) = 0;
};

struct BackupOutcome {
    bool copied = false;               // MENT holds the new set
    bool packed = false;               // and Zaras.arj, tested
    std::optional<std::string> placed; // the archive's tested copy elsewhere (plain or encrypted)
    bool encrypted = false;            // the copy elsewhere is Zaras.arj.titkos
};

// The command. The shared tables are closed for the copies and open again
// afterwards, whatever happened.
BackupOutcome runBackup(db::Database& db, const app::Session& session, app::Dialogs& dialogs, BackupWindows& windows,
                        app::Progress& progress);

} // namespace velmora::backup
