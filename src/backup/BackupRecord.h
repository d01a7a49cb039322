#pragma once
// When and where the last backup was made: a line the backup leaves in MENT
// once everything it reports has been proven, read back by the overview.
// A MENT of an older backup without the line still tells the day its files
// were written.
#include "app/Date.h"

#include <optional>
#include <string>

namespace velmora::backup {

inline constexpr const char* kRecordName = "utolso_mentes.txt";

struct LastBackup {
    std::string when;   // "YYYY.MM.DD HH:MM", or "YYYY.MM.DD" read off the files
    std::string where;  // the folders it went to, one a line
    bool fromFiles = false;  // read off MENT's files, not the backup's own line

    // The day of the backup; nothing when `when` is damaged.
    std::optional<app::Date> day() const;
};

// Written beside and renamed; a failure is not the backup's: it is left
// unrecorded (the overview then reads the files' day).
void recordBackup(const std::string& mentdir, const std::string& when, const std::string& where);
std::optional<LastBackup> lastBackup(const std::string& mentdir);

// Older than a week on `today`, or never made.
bool backupStale(const std::optional<LastBackup>& last, const app::Date& today);

} // namespace velmora::backup
