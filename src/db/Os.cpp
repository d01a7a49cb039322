#include "db/Os.h"

#include "db/DbError.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::db::os {

namespace fs = std::filesystem;

// --- the call table and the fault plan ---------------------------------------------

namespace testing {

namespace {

int openCall(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

Calls systemCalls() {
    return {&openCall, &::pread, &::pwrite, &::fsync, &::ftruncate, &::rename, &::unlink, &::mkdir, &::rmdir};
}

FaultPlan parsePlan(const char* text) {
    FaultPlan plan;
    if (!text) return plan;
    std::string all(text);
    size_t start = 0;
    while (start <= all.size()) {
        const size_t end = std::min(all.find(',', start), all.size());
        const std::string item = all.substr(start, end - start);
        start = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        const size_t colon = value.rfind(':');
        if (key == "kill" || key == "tear") {
            plan.action = key == "kill" ? FaultAction::Kill : FaultAction::Tear;
            plan.at = std::atol(value.c_str());
        } else if (key == "fail" && colon != std::string::npos) {
            plan.action = FaultAction::Fail;
            plan.at = std::atol(value.substr(0, colon).c_str());
            plan.error = std::atoi(value.substr(colon + 1).c_str());
        } else if (key == "failread" && colon != std::string::npos) {
            plan.readFails = value.substr(0, colon);
            plan.readError = std::atoi(value.substr(colon + 1).c_str());
        } else if (key == "scope") {
            plan.scope = value;
        } else if (key == "trace") {
            plan.traceFile = value;
        }
    }
    return plan;
}

struct Faults {
    Calls calls = systemCalls();
    FaultPlan plan = parsePlan(std::getenv("VELMORA_FAULT"));
    long counted = 0;
    Observer observer;
};

Faults& faults() {
    static Faults f;
    return f;
}

} // namespace

Calls& calls() { return faults().calls; }

void reset() {
    Faults& f = faults();
    f.calls = systemCalls();
    f.plan = FaultPlan{};
    f.counted = 0;
    f.observer = nullptr;
}

void setFaultPlan(const FaultPlan& plan) {
    faults().plan = plan;
    faults().counted = 0;
}

long countedCalls() { return faults().counted; }

void setObserver(Observer observer) { faults().observer = std::move(observer); }

} // namespace testing

namespace {

using testing::FaultAction;

[[noreturn]] void die() {
    ::raise(SIGKILL);
    ::_exit(137);  // not reached
}

enum class Verdict { Go, Fail, Tear };

// Before each changing call: counts it, tells the observer, and carries out
// the fault plan. Fail sets errno for the caller to report.
Verdict counted(const char* call, const std::string& path, const std::string& to = {}) {
    auto& f = testing::faults();
    const testing::FaultPlan& plan = f.plan;
    if (!plan.scope.empty() && path.find(plan.scope) == std::string::npos && to.find(plan.scope) == std::string::npos)
        return Verdict::Go;
    const long n = ++f.counted;
    if (f.observer) f.observer(call, path, to);
    if (!plan.traceFile.empty()) {
        std::ofstream trace(plan.traceFile, std::ios::app);
        trace << n << ' ' << call << ' ' << path << (to.empty() ? "" : " -> " + to) << '\n';
    }
    if (n != plan.at) return Verdict::Go;
    switch (plan.action) {
    case FaultAction::Kill: die();
    case FaultAction::Tear: return Verdict::Tear;
    case FaultAction::Fail: errno = plan.error; return Verdict::Fail;
    case FaultAction::None: break;
    }
    return Verdict::Go;
}

bool readRefused(const std::string& path) {
    const auto& plan = testing::faults().plan;
    if (plan.readFails.empty() || path.find(plan.readFails) == std::string::npos) return false;
    errno = plan.readError;
    return true;
}

std::string nameOf(const std::string& path) {
    const fs::path p(path);
    return p.has_filename() ? p.filename().string() : fs::path(path).parent_path().filename().string();
}

std::string folderOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

} // namespace

// --- errors ---------------------------------------------------------------------------

std::string describeErrno(int error) {
    switch (error) {
    case ENOSPC: return "betelt a lemez (nincs több szabad hely)";
    case EDQUOT: return "elfogyott a felhasználó lemezkvótája";
    case EFBIG: return "a fájl elérte a megengedett legnagyobb méretet";
    case EACCES: case EPERM: return "nincs hozzá jogosultság";
    case EROFS: return "a lemez csak olvasható";
    case EIO: return "lemezhiba (a lemez nem tudta elvégezni az írást vagy olvasást)";
    case ENOENT: return "nem található";
    case ENOTDIR: return "az útvonal egyik tagja nem könyvtár";
    case EISDIR: return "könyvtár, nem állomány";
    case EEXIST: return "már létezik";
    case ENOTEMPTY: return "a könyvtár nem üres";
    case EXDEV: return "másik lemezre nem nevezhető át";
    case ENAMETOOLONG: return "túl hosszú a név";
    case EMFILE: case ENFILE: return "túl sok a megnyitott állomány";
    case EBUSY: case ETXTBSY: return "egy másik program használja";
    case ELOOP: return "körbemutató hivatkozás";
    case EINVAL: return "érvénytelen név vagy művelet";
    case ENOMEM: return "elfogyott a memória";
    default: return "rendszerhiba (" + std::to_string(error) + ")";
    }
}

bool isReadOnlyError(int error) { return error == EROFS || error == EACCES || error == EPERM; }

void throwIo(const std::string& path, const std::string& what, int error) {
    throw DbError(DbError::Code::Io,
                  "A(z) " + nameOf(path) + " állomány " + what + ": " + describeErrno(error) + " — " + path,
                  error);
}

void throwDirIo(const std::string& dir, const std::string& what, int error) {
    throw DbError(DbError::Code::Io, "A(z) " + dir + " könyvtár " + what + ": " + describeErrno(error), error);
}

// --- files ---------------------------------------------------------------------------

File File::open(const std::string& path, Access access, const std::string& shownAs) {
    int flags = O_CLOEXEC;
    switch (access) {
    case Access::Read: flags |= O_RDONLY; break;
    case Access::ReadWrite: case Access::ReadWriteOrRead: flags |= O_RDWR; break;
    case Access::Create: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    }
    const std::string& shown = shownAs.empty() ? path : shownAs;
    if (access == Access::Create && counted("create", path) == Verdict::Fail) throwIo(shown, "nem hozható létre", errno);
    int fd = testing::calls().open(path.c_str(), flags, 0644);
    bool readOnly = access == Access::Read;
    if (fd < 0 && access == Access::ReadWriteOrRead && isReadOnlyError(errno)) {
        fd = testing::calls().open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
        readOnly = true;
    }
    if (fd < 0) throwIo(shown, access == Access::Create ? "nem hozható létre" : "nem nyitható meg", errno);
    return File(path, fd, readOnly, shownAs);
}

std::optional<File> File::openIfExists(const std::string& path, Access access) {
    try {
        return open(path, access);
    } catch (const DbError& e) {
        if (e.osError() == ENOENT) return std::nullopt;
        throw;
    }
}

File::~File() { close(); }

File::File(File&& other) noexcept
    : path_(std::move(other.path_)), shown_(std::move(other.shown_)), fd_(other.fd_), readOnly_(other.readOnly_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        shown_ = std::move(other.shown_);
        fd_ = other.fd_;
        readOnly_ = other.readOnly_;
        other.fd_ = -1;
    }
    return *this;
}

void File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

uint64_t File::size() const {
    struct stat st{};
    if (fstat(fd_, &st) != 0) throwIo(shown_, "nem olvasható", errno);
    return static_cast<uint64_t>(st.st_size);
}

size_t File::readAt(void* data, size_t size, uint64_t offset) const {
    char* p = static_cast<char*>(data);
    size_t got = 0;
    while (got < size) {
        if (readRefused(path_)) throwIo(shown_, "nem olvasható", errno);
        const ssize_t n = testing::calls().pread(fd_, p + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwIo(shown_, "nem olvasható", errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void File::readExact(void* data, size_t size, uint64_t offset) const {
    if (readAt(data, size, offset) != size)
        throw DbError(DbError::Code::Damaged, "A(z) " + nameOf(shown_) + " állomány rövidebb, mint a fejléce szerint.");
}

std::string File::readAll() const {
    std::string bytes(static_cast<size_t>(size()), '\0');
    bytes.resize(readAt(bytes.data(), bytes.size(), 0));
    return bytes;
}

void File::writeAt(const void* data, size_t size, uint64_t offset) {
    if (readOnly_) throwIo(shown_, "nem írható", EROFS);
    const char* p = static_cast<const char*>(data);
    const Verdict verdict = counted("write", path_);
    if (verdict == Verdict::Fail) throwIo(shown_, "nem írható", errno);
    if (verdict == Verdict::Tear) {
        if (size > 1) testing::calls().pwrite(fd_, p, size / 2, static_cast<off_t>(offset));
        die();
    }
    while (size > 0) {
        errno = 0;
        const ssize_t n = testing::calls().pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwIo(shown_, "nem írható", errno);
        // No progress and no error: the file system had no room for more.
        if (n == 0) throwIo(shown_, "nem írható", ENOSPC);
        p += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
}

void File::truncate(uint64_t size) {
    if (counted("truncate", path_) == Verdict::Fail || testing::calls().ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throwIo(shown_, "hossza nem állítható be", errno);
}

void File::sync() {
    if (readOnly_) return;
    if (counted("sync", path_) == Verdict::Fail || testing::calls().fsync(fd_) != 0)
        throwIo(shown_, "nem írható ki a lemezre", errno);
}

bool File::tryLock() {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EWOULDBLOCK) return false;
    throwIo(shown_, "nem zárolható", errno);
}

// --- names and folders ---------------------------------------------------------------

bool exists(const std::string& path) {
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> list(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return names;
}

void rename(const std::string& from, const std::string& to) {
    if (counted("rename", from, to) == Verdict::Fail || testing::calls().rename(from.c_str(), to.c_str()) != 0)
        throwIo(from, "nem nevezhető át " + nameOf(to) + " névre", errno);
}

bool remove(const std::string& path) {
    if (!exists(path)) return false;
    if (counted("remove", path) == Verdict::Fail || testing::calls().unlink(path.c_str()) != 0) {
        if (errno == ENOENT) return false;
        throwIo(path, "nem törölhető", errno);
    }
    return true;
}

namespace {

void removeDirectory(const std::string& path) {
    if (counted("rmdir", path) == Verdict::Fail || testing::calls().rmdir(path.c_str()) != 0) {
        if (errno == ENOENT) return;
        throwDirIo(path, "nem törölhető", errno);
    }
}

} // namespace

void removeTree(const std::string& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        remove(path);
        return;
    }
    for (const std::string& name : list(path)) removeTree((fs::path(path) / name).string());
    removeDirectory(path);
}

void makeDirectories(const std::string& path) {
    if (path.empty() || isDirectory(path)) return;
    const std::string parent = fs::path(path).parent_path().string();
    if (!parent.empty() && parent != path) makeDirectories(parent);
    if (counted("mkdir", path) == Verdict::Fail ||
        (testing::calls().mkdir(path.c_str(), 0755) != 0 && errno != EEXIST))
        throwDirIo(path, "nem hozható létre", errno);
}

void syncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throwDirIo(dir, "nem nyitható meg", errno);
    const bool refused = counted("syncdir", dir) == Verdict::Fail;
    const int rc = refused ? -1 : testing::calls().fsync(fd);
    const int error = errno;
    ::close(fd);
    // A medium that takes no writes has nothing to flush.
    if (rc != 0 && !(error == EROFS || error == EINVAL || error == EBADF))
        throwDirIo(dir, "változásai nem írhatók ki a lemezre", error);
}

std::string makeUniqueDirectory(const std::string& pattern) {
    std::string name = pattern;
    if (counted("mkdir", pattern) == Verdict::Fail || !::mkdtemp(name.data()))
        throwDirIo(folderOf(pattern), "könyvtárában nem hozható létre új könyvtár", errno);
    return name;
}

// --- whole files -----------------------------------------------------------------------

std::string besideName(const std::string& path) { return path + ".uj"; }

void copyFile(const std::string& source, const std::string& target, const std::string& shownAs) {
    const File in = File::open(source, Access::Read);
    File out = File::open(target, Access::Create, shownAs);
    std::string buffer(1 << 20, '\0');
    uint64_t offset = 0;
    while (const size_t n = in.readAt(buffer.data(), buffer.size(), offset)) {
        out.writeAt(buffer.data(), n, offset);
        offset += n;
    }
    out.sync();
}

namespace {

// Writes the beside file with `fill`, then renames it over path.
template <typename Fill>
void replacing(const std::string& path, Fill fill) {
    const std::string part = besideName(path);
    try {
        fill(part);
        if (counted("rename", part, path) == Verdict::Fail || testing::calls().rename(part.c_str(), path.c_str()) != 0)
            throwIo(path, "nem írható", errno);
        syncDirectory(folderOf(path));
    } catch (...) {
        try {
            remove(part);
        } catch (...) {
        }
        throw;
    }
}

} // namespace

void writeFileReplacing(const std::string& path, const std::string& bytes) {
    replacing(path, [&](const std::string& part) {
        File out = File::open(part, Access::Create, path);
        out.writeAt(bytes, 0);
        out.sync();
    });
}

void copyFileReplacing(const std::string& source, const std::string& target) {
    replacing(target, [&](const std::string& part) { copyFile(source, part, target); });
}

} // namespace velmora::db::os
