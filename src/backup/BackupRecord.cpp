#include "backup/BackupRecord.h"

#include <chrono>
#include <ctime>
#include <filesystem>

namespace velmora::backup {

namespace {

namespace fs = std::filesystem;

std::string momentOf(fs::file_time_type time) {
    // file_time_type's epoch is not the system clock's in this library:
    // carried over through the two clocks' present moments.
    const auto system = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        time - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    const std::time_t t = std::chrono::system_clock::to_time_t(system);
    std::tm local{};
    localtime_r(&t, &local);
    char text[20];
    std::strftime(text, sizeof text, "%Y.%m.%d %H:%M", &local);
    return text;
}

} // namespace

std::optional<app::Date> LastBackup::day() const { return app::Date::parse(when.substr(0, 10)); }

std::optional<LastBackup> lastBackup(const std::string& mentdir) {
    std::error_code ec;
    // The folder's own time is the backup's: the copies keep their tables'
    // times, the folder was filled (and the archive made) when it ran.
    std::optional<fs::file_time_type> newest;
    bool any = false;
    for (const auto& entry : fs::directory_iterator(mentdir, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        any = true;
        const auto t = entry.last_write_time(ec);
        if (!ec && (!newest || t > *newest)) newest = t;
    }
    if (!any) return std::nullopt;
    if (const auto folder = fs::last_write_time(mentdir, ec); !ec && (!newest || folder > *newest)) newest = folder;
    return LastBackup{momentOf(*newest), mentdir};
}

bool backupStale(const std::optional<LastBackup>& last, const app::Date& today) {
    if (!last || !last->day()) return true;
    return last->day()->addDays(7) < today;
}

} // namespace velmora::backup
