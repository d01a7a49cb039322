#include "app/Places.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace velmora::app;
using velmora::test::TempDir;

namespace {

std::vector<std::string> names(const std::vector<DirLine>& lines) {
    std::vector<std::string> out;
    for (const DirLine& l : lines) out.push_back(std::string(static_cast<size_t>(l.depth), '>') + l.name + (l.open ? "*" : ""));
    return out;
}

} // namespace

TEST(Places, DrivesAreRootHomeAndMedia) {
    TempDir tmp;
    const std::string media = tmp.file("media"), mnt = tmp.file("mnt"), run = tmp.file("run-media");
    fs::create_directories(media + "/cdrom");
    fs::create_directories(media + "/anna/PENDRIVE");   // udisks puts user media one level down
    fs::create_directories(mnt + "/backup");
    fs::create_directories(run + "/anna/KÁRTYA");
    std::ofstream(mnt + "/not-a-dir") << "x";
    const std::vector<std::string> mounts = {"/", "/proc", media + "/anna/PENDRIVE", run + "/anna/KÁRTYA"};

    EXPECT_EQ(ListDrives("/home/anna", {media, mnt, run, tmp.file("missing")}, mounts),
              (std::vector<std::string>{"/", "/home/anna", media + "/anna/PENDRIVE", media + "/cdrom",
                                        mnt + "/backup", run + "/anna/KÁRTYA"}));
    // A home that is the root itself is not listed twice.
    EXPECT_EQ(ListDrives("/", {}, {}), std::vector<std::string>{"/"});
}

TEST(Places, MountTableWithEscapedBlanks) {
    TempDir tmp;
    std::ofstream(tmp.file("mounts")) << "/dev/sda1 / ext4 rw 0 0\n"
                                         "/dev/sdb1 /media/anna/MY\\040DISK vfat rw 0 0\n"
                                         "broken-line\n";
    EXPECT_EQ(ReadMountPoints(tmp.file("mounts")), (std::vector<std::string>{"/", "/media/anna/MY DISK"}));
    EXPECT_TRUE(ReadMountPoints(tmp.file("none")).empty());
}

TEST(Places, DriveOfADirectoryIsTheLongestDriveHoldingIt) {
    const std::vector<std::string> drives = {"/", "/home/anna", "/media/usb", "/media/usb2"};
    EXPECT_EQ(DriveOf(drives, "/home/anna/munka"), "/home/anna");
    EXPECT_EQ(DriveOf(drives, "/home/anna"), "/home/anna");
    EXPECT_EQ(DriveOf(drives, "/home/annabella"), "/");   // a longer name is not inside
    EXPECT_EQ(DriveOf(drives, "/media/usb2/x/"), "/media/usb2");
    EXPECT_EQ(DriveOf({"/media/usb"}, "/etc"), std::nullopt);
}

TEST(Places, DirectoryTreeShowsTheWayDownAndWhatIsBelow) {
    TempDir tmp;
    const std::string drive = tmp.file("usb");
    fs::create_directories(drive + "/Mentes/2024/jan");
    fs::create_directories(drive + "/Mentes/2024/Feb");
    fs::create_directories(drive + "/Mentes/2024/.rejtett");
    std::ofstream(drive + "/Mentes/2024/file.txt") << "x";

    EXPECT_EQ(names(DirectoryTree(drive, drive + "/Mentes/2024/")),
              (std::vector<std::string>{drive + "*", ">Mentes*", ">>2024*", ">>>Feb", ">>>jan"}));
    // A directory outside the drive falls back to the drive itself.
    EXPECT_EQ(names(DirectoryTree(drive, "/etc")), (std::vector<std::string>{drive + "*", ">Mentes"}));
    const auto lines = DirectoryTree(drive, drive + "/Mentes");
    EXPECT_EQ(lines.back().path, drive + "/Mentes/2024");
}

TEST(Places, AVanishedDriveIsNotReady) {
    TempDir tmp;
    fs::create_directory(tmp.file("usb"));
    EXPECT_TRUE(DriveReady(tmp.file("usb")));
    fs::remove(tmp.file("usb"));
    EXPECT_FALSE(DriveReady(tmp.file("usb")));
}

TEST(Places, LocationWindowPositionByOpener) {
    const ScreenRect restore{100, 200, 400, 300}, reg{10, 20, 800, 600};
    const struct { const char* beolv; std::optional<ScreenRect> restore, reg; ScreenPoint at; } cases[] = {
        {"S", restore, reg, {25, 50}},
        {"V", restore, reg, {300, 500}},
        {"K", restore, reg, {430, 620}},
        {"V", std::nullopt, reg, {0, 0}},
        {"", restore, reg, {0, 0}},
        {"X", restore, reg, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocationWindowPosition(c.beolv, c.restore, c.reg), c.at) << c.beolv;
}
