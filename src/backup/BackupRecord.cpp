#include "backup/BackupRecord.h"

#include "db/Os.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace velmora::backup {

namespace {

namespace fs = std::filesystem;

std::string dayOf(fs::file_time_type time) {
    // file_time_type's epoch is not the system clock's in this library:
    // carried over through the two clocks' present moments.
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        time - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    const std::time_t t = std::chrono::system_clock::to_time_t(system);
    std::tm local{};
    localtime_r(&t, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &local);
    return text;
}

// The newest file of MENT, for a backup made before the line was written.
std::optional<LastBackup> fromFiles(const std::string& mentdir) {
    std::error_code ec;
    std::optional<fs::file_time_type> newest;
    for (const auto& entry : fs::directory_iterator(mentdir, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const auto t = entry.last_write_time(ec);
        if (!ec && (!newest || t > *newest)) newest = t;
    }
    if (!newest) return std::nullopt;
    return LastBackup{dayOf(*newest), mentdir, true};
}

} // namespace

std::optional<app::Date> LastBackup::day() const { return app::Date::parse(when.substr(0, 10)); }

void recordBackup(const std::string& mentdir, const std::string& when, const std::string& where) {
    try {
        db::os::writeFileReplacing((fs::path(mentdir) / kRecordName).string(), when + "\n" + where + "\n");
    } catch (const std::exception&) {
        // Left unrecorded: MENT's files still tell the day.
    }
}

std::optional<LastBackup> lastBackup(const std::string& mentdir) {
    std::ifstream in(fs::path(mentdir) / kRecordName);
    std::string when;
    if (in && std::getline(in, when) && app::Date::parse(when.substr(0, 10))) {
        std::string where, line;
        while (std::getline(in, line))
            if (!line.empty()) where += (where.empty() ? "" : "\n") + line;
        return LastBackup{when, where, false};
    }
    return fromFiles(mentdir);
}

bool backupStale(const std::optional<LastBackup>& last, const app::Date& today) {
    if (!last || !last->day()) return true;
    return last->day()->addDays(7) < today;
}

} // namespace velmora::backup
