#include "app/Places.h"

#include "app/TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace velmora::app {

namespace {

// A path without "." and ".." parts and without a trailing separator
// (except the root itself).
std::string normal(const std::string& path) {
    std::string s = fs::path(path).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

bool inside(const std::string& dir, const std::string& parent) {
    return dir == parent || dir.rfind(SureDir(parent), 0) == 0;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// /proc/self/mounts writes blanks, tabs, newlines and backslashes as \ooo.
std::string unescapeMountPath(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) && std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::string> subdirectories(const std::string& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc)) out.push_back(it->path().string());
    }
    return out;
}

} // namespace

std::vector<std::string> ReadMountPoints(const std::string& mountsFile) {
    std::vector<std::string> out;
    std::ifstream in(mountsFile);
    std::string lineText;
    while (std::getline(in, lineText)) {
        std::istringstream fields(lineText);
        std::string device, mountPoint;
        if (fields >> device >> mountPoint) out.push_back(unescapeMountPath(mountPoint));
    }
    return out;
}

std::vector<std::string> ListDrives(const std::string& home, const std::vector<std::string>& mediaParents,
                                    const std::vector<std::string>& mountPoints) {
    std::vector<std::string> drives = {"/"};
    if (!home.empty() && normal(home) != "/") drives.push_back(normal(home));

    std::set<std::string> media;
    for (const std::string& parentPath : mediaParents) {
        const std::string parent = normal(parentPath);
        std::vector<std::string> mountedBelow;
        for (const std::string& mp : mountPoints) {
            const std::string m = normal(mp);
            if (m != parent && inside(m, parent)) mountedBelow.push_back(m);
        }
        media.insert(mountedBelow.begin(), mountedBelow.end());
        for (const std::string& sub : subdirectories(parent)) {
            const std::string s = normal(sub);
            // A folder that only holds mount points (/run/media/<user>) is
            // not a medium of its own.
            const bool container = std::any_of(mountedBelow.begin(), mountedBelow.end(),
                                               [&](const std::string& m) { return m != s && inside(m, s); });
            if (!container) media.insert(s);
        }
    }
    for (const std::string& m : media)
        if (std::find(drives.begin(), drives.end(), m) == drives.end()) drives.push_back(m);
    return drives;
}

bool DriveReady(const std::string& drive) {
    std::error_code ec;
    fs::directory_iterator it(drive, ec);
    return !ec;
}

std::optional<std::string> DriveOf(const std::vector<std::string>& drives, const std::string& dir) {
    const std::string d = normal(dir);
    std::optional<std::string> best;
    for (const std::string& drive : drives)
        if (inside(d, normal(drive)) && (!best || normal(drive).size() > normal(*best).size())) best = drive;
    return best;
}

std::vector<DirLine> DirectoryTree(const std::string& drivePath, const std::string& currentPath) {
    const std::string drive = normal(drivePath);
    std::string current = normal(currentPath);
    if (!inside(current, drive)) current = drive;

    std::vector<DirLine> lines = {{drive, drive, 0, true}};
    std::string path = drive;
    int depth = 0;
    for (const auto& part : fs::path(current).lexically_relative(drive)) {
        if (part == ".") continue;
        path = SureDir(path) + part.string();
        lines.push_back({part.string(), path, ++depth, true});
    }

    std::vector<std::string> subs = subdirectories(current);
    std::sort(subs.begin(), subs.end(), [](const std::string& a, const std::string& b) {
        const std::string la = lower(fs::path(a).filename().string()), lb = lower(fs::path(b).filename().string());
        return la != lb ? la < lb : a < b;
    });
    for (const std::string& sub : subs) {
        const std::string name = fs::path(sub).filename().string();
        if (!name.empty() && name[0] == '.') continue;
        lines.push_back({name, SureDir(current) + name, depth + 1, false});
    }
    return lines;
}

ScreenPoint LocationWindowPosition(const std::string& beolv, std::optional<ScreenRect> restoreWindow,
                                   std::optional<ScreenRect> registerWindow) {
    if (beolv == "S") return {25, 50};
    if (beolv == "V" && restoreWindow)
        return {restoreWindow->left + restoreWindow->width / 2, restoreWindow->top + restoreWindow->height};
    if (beolv == "K" && registerWindow)
        return {registerWindow->left + registerWindow->width / 2 + 20, registerWindow->top + registerWindow->height};
    return {0, 0};
}

} // namespace velmora::app
