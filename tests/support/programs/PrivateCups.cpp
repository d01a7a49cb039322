#include "support/programs/PrivateCups.h"

#include "support/Files.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <chrono>

extern char** environ;

namespace fs = std::filesystem;

namespace velmora::test {

namespace {
constexpr const char* kDriver = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
constexpr const char* kCupsLib = "/usr/lib/cups";

void write(const fs::path& path, const std::string& text, fs::perms mode = fs::perms::owner_read | fs::perms::owner_write) {
    std::ofstream(path) << text;
    fs::permissions(path, mode);
}

// The job's file as CUPS hands it over: the sixth argument, or standard
// input. It is renamed into place once whole, so a reader never sees half.
const char* kBackend = R"(#!/bin/sh
# A PDF printer writing each job into the folder its device URI names.
if [ $# -eq 0 ]; then echo 'file velmora-pdf "Velmora PDF" "Velmora PDF"'; exit 0; fi
dir="${DEVICE_URI#velmora-pdf:}"
part="$dir/job-$1.pdf.part"
if [ $# -ge 6 ]; then cp "$6" "$part" || exit 1; else cat > "$part" || exit 1; fi
chmod 644 "$part" && mv "$part" "$dir/job-$1.pdf"
)";

bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 600; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

int jobNumber(const fs::path& p) { return std::atoi(p.stem().string().substr(4).c_str()); }
} // namespace

bool PrivateCups::installed() { return fs::exists(kCupsd); }

PrivateCups::PrivateCups() : root_(dir_.path()), out_(root_ / "out"), socket_(root_ / "cups.sock") {
    try {
        writeConfiguration();
        start();
        if (ready()) addQueue();
    } catch (const std::exception& e) {
        error_ = e.what();
    }
}

PrivateCups::~PrivateCups() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    unsetenv("CUPS_SERVER");
}

// The filters, drivers and backends of the machine, and beside them the
// queue's own backend; the queue takes PDF, which CUPS's pdftopdf filter
// sets to the page size and copies asked for before the backend gets it.
void PrivateCups::writeConfiguration() {
    for (const char* d : {"conf", "spool", "spool/tmp", "cache", "state", "log", "bin/backend", "out"})
        fs::create_directories(root_ / d);
    // The filters run as the server's own user, which must reach the spool.
    fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root_ / "spool/tmp", fs::perms::all | fs::perms::sticky_bit);
    for (const auto& e : fs::directory_iterator(kCupsLib))
        if (e.path().filename() != "backend") fs::create_directory_symlink(e.path(), root_ / "bin" / e.path().filename());
    // Run as root (owner-only mode), so that it may write into the test's folder.
    write(root_ / "bin/backend/velmora-pdf", kBackend, fs::perms::owner_all);

    std::ifstream driver(kDriver);
    if (!driver) throw std::runtime_error(std::string("no PDF printer driver: ") + kDriver);
    std::string ppd, line;
    while (std::getline(driver, line)) {
        if (line.rfind("*% cupsFilter:", 0) == 0) line = R"(*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -")";
        ppd += line + "\n";
    }
    write(root_ / "conf/velmora-pdf.ppd", ppd, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);

    const std::string r = root_.string();
    write(root_ / "conf/cupsd.conf", "Listen " + socket_.string() + "\nLogLevel info\nBrowsing Off\n"
                                     "DefaultAuthType None\nWebInterface No\n"
                                     "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                     "<Location /admin>\nOrder allow,deny\nAllow all\n</Location>\n");
    write(root_ / "conf/cups-files.conf", "ServerRoot " + r + "/conf\nServerBin " + r + "/bin\nRequestRoot " + r +
                                              "/spool\nTempDir " + r + "/spool/tmp\nCacheDir " + r + "/cache\nStateDir " +
                                              r + "/state\nErrorLog " + r + "/log/error_log\nAccessLog " + r +
                                              "/log/access_log\nPageLog " + r + "/log/page_log\n"
                                              "DataDir /usr/share/cups\nDocumentRoot /usr/share/cups/doc-root\n");
}

void PrivateCups::start() {
    const std::string conf = (root_ / "conf/cupsd.conf").string(), files = (root_ / "conf/cups-files.conf").string();
    const char* argv[] = {kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
    if (posix_spawn(&pid_, kCupsd, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        pid_ = -1;
        error_ = "cupsd could not be started";
        return;
    }
    setenv("CUPS_SERVER", socket_.c_str(), 1);
    if (!waitFor([&] { return runCommand("lpstat -r 2>&1").find("is running") != std::string::npos; }))
        error_ = "cupsd did not answer on " + socket_.string() + "\n" + log();
}

void PrivateCups::addQueue() {
    const std::string out = runCommand(std::string("lpadmin -p ") + kQueue + " -E -v velmora-pdf:" + out_.string() +
                                       " -P '" + (root_ / "conf/velmora-pdf.ppd").string() + "' -o PageSize=Letter 2>&1");
    if (runCommand(std::string("lpstat -p ") + kQueue + " 2>&1").find("enabled") == std::string::npos)
        error_ = "the queue could not be added: " + out + "\n" + log();
}

std::vector<fs::path> PrivateCups::printed(size_t count) const {
    std::vector<fs::path> files;
    waitFor([&] {
        files.clear();
        for (const auto& e : fs::directory_iterator(out_))
            if (e.path().extension() == ".pdf") files.push_back(e.path());
        return files.size() >= count && runCommand("lpstat -o 2>&1").empty();
    });
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) { return jobNumber(a) < jobNumber(b); });
    return files;
}

std::string PrivateCups::log() const { return fileBytes(root_ / "log/error_log"); }

} // namespace velmora::test
