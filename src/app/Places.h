#pragma once
// The places the location window offers. The system has no drive letters, so
// the "drives" are the file-system root, the user's home directory and the
// mounted media; the directory list shows the way from the drive down to the
// current directory and the directories below it.
#include <optional>
#include <string>
#include <vector>

namespace velmora::app {

// Where media get mounted on this kind of system.
inline const std::vector<std::string> kMediaParents = {"/media", "/mnt", "/run/media"};

// The mount points listed in a mounts table (/proc/self/mounts layout:
// device, mount point with octal escapes, ...).
std::vector<std::string> ReadMountPoints(const std::string& mountsFile = "/proc/self/mounts");

// The drives: "/", then `home`, then every directory directly below a media
// parent and every mount point below one, each once, in name order.
std::vector<std::string> ListDrives(const std::string& home, const std::vector<std::string>& mediaParents,
                                    const std::vector<std::string>& mountPoints);

// A drive can be read now (a place whose medium is gone cannot).
bool DriveReady(const std::string& drive);

// The drive a directory lies on: the longest drive that contains it.
std::optional<std::string> DriveOf(const std::vector<std::string>& drives, const std::string& dir);

struct DirLine {
    std::string name;  // what the list shows
    std::string path;  // the directory it stands for
    int depth = 0;     // indentation level
    bool open = false; // the drive, a directory on the way down, or the current one
};

// The directory list for `current` on `drive`: the drive itself, each
// directory from it down to `current`, then the directories inside
// `current` (hidden ones left out), in name order ignoring case.
std::vector<DirLine> DirectoryTree(const std::string& drive, const std::string& current);

// Screen position of the location window for whoever opened it: "S" (backup,
// imports) at 25,50; "V" below the restore window; "K" below the sheet
// register; anyone else, or an opener whose window is missing, at 0,0.
struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct ScreenPoint {
    int left = 0, top = 0;
    bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint LocationWindowPosition(const std::string& beolv, std::optional<ScreenRect> restoreWindow,
                                   std::optional<ScreenRect> registerWindow);

} // namespace velmora::app
