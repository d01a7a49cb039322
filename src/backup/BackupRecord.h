#pragma once
// When the last backup was made and where it is: read off MENT, which a
// backup replaces whole (its folder and the archive in it are written at
// the moment of the backup), so nothing besides the set itself has to be
// written and a backup of an older version tells its day too.
#include "app/Date.h"

#include <optional>
#include <string>

namespace velmora::backup {

struct LastBackup {
    std::string when;   // "YYYY.MM.DD HH:MM", local time
    std::string where;  // the MENT folder

    // The day of the backup; nothing when `when` is damaged.
    std::optional<app::Date> day() const;
};

// Nothing when MENT is missing or empty.
std::optional<LastBackup> lastBackup(const std::string& mentdir);

// Older than a week on `today`, or never made.
bool backupStale(const std::optional<LastBackup>& last, const app::Date& today);

} // namespace velmora::backup
