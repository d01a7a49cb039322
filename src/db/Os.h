#pragma once
// The operating system as the program sees it: every file the program
// opens, reads, writes, syncs, renames, removes or locks — tables, indexes,
// the journal, swaps, copies, KULD, MENT, archives, PDFs — goes through
// here. Failures throw DbError(Io) in the user's words, naming the file and
// telling a full disk, a read-only medium, a missing permission, a missing
// file and an I/O error apart.
//
// One table of system calls (`calls()`) is the single place where tests
// make a call fail or fall short, and one fault plan counts every changing
// call (create, write, sync, truncate, rename, remove, make or remove a
// folder), so that a kill test can stop the process at each of them in turn.
// The plan is read from the environment variable VELMORA_FAULT, a list
// separated by commas:
//   kill=N            SIGKILL just before the Nth changing call
//   tear=N            the Nth changing call, a write, reaches the file only
//                     in part (its first half), then SIGKILL
//   fail=N:ERRNO      the Nth changing call fails with ERRNO (a number)
//   failread=TEXT:ERRNO  every read of a file whose path holds TEXT fails
//   scope=TEXT        only calls on paths holding TEXT are counted
//   trace=FILE        each counted call is appended to FILE as a line
//                     "N call path[ -> path]"
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::db::os {

// --- errors ---------------------------------------------------------------------

// The cause of a failed call in the user's words ("betelt a lemez").
std::string describeErrno(int error);

// Throws DbError(Io) "A(z) <file> állomány <what>: <cause> — <path>".
// error is the errno captured right after the failing call.
[[noreturn]] void throwIo(const std::string& path, const std::string& what, int error);
// The same for a folder: "A(z) <folder> könyvtár <what>: <cause>".
[[noreturn]] void throwDirIo(const std::string& dir, const std::string& what, int error);

// Whether an error means the medium cannot be written at all (read-only
// file system or no permission to write there).
bool isReadOnlyError(int error);

// --- files ----------------------------------------------------------------------

enum class Access {
    Read,            // an existing file, for reading
    ReadWrite,       // an existing file, for reading and writing
    ReadWriteOrRead, // ReadWrite, or Read where the medium or the rights allow no writing
    Create,          // created or emptied, for writing
};

// An open file, closed with the object.
class File {
public:
    File() = default;
    // shownAs names the file in messages when it is written under another
    // name first (the final name of a file written beside it).
    static File open(const std::string& path, Access access, const std::string& shownAs = {});
    // Nothing when the file is not there; other failures throw.
    static std::optional<File> openIfExists(const std::string& path, Access access);
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // Opened for reading only (ReadWriteOrRead on a read-only medium).
    bool readOnly() const { return readOnly_; }

    uint64_t size() const;
    // Reads up to size bytes at offset; fewer only at the end of the file.
    size_t readAt(void* data, size_t size, uint64_t offset) const;
    // Exactly size bytes, or DbError(Damaged) "shorter than its header says".
    void readExact(void* data, size_t size, uint64_t offset) const;
    std::string readAll() const;
    // All of data at offset; a call that makes no progress is a full disk.
    void writeAt(const void* data, size_t size, uint64_t offset);
    void writeAt(const std::string& bytes, uint64_t offset) { writeAt(bytes.data(), bytes.size(), offset); }
    void truncate(uint64_t size);
    void sync();
    // An exclusive lock, not waited for: false when another holds it.
    bool tryLock();
    void close();

private:
    File(std::string path, int fd, bool readOnly, std::string shownAs)
        : path_(std::move(path)), shown_(shownAs.empty() ? path_ : std::move(shownAs)), fd_(fd), readOnly_(readOnly) {}
    std::string path_;
    std::string shown_;
    int fd_ = -1;
    bool readOnly_ = false;
};

// --- names and folders --------------------------------------------------------------

bool exists(const std::string& path);
bool isDirectory(const std::string& path);
// The names in a folder (not "." and ".."); empty when it cannot be read.
std::vector<std::string> list(const std::string& dir);
// Renames, replacing a file of the target name in one step.
void rename(const std::string& from, const std::string& to);
// A file (never a folder); false when there was nothing to remove.
bool remove(const std::string& path);
// A folder and everything in it; nothing when it is not there.
void removeTree(const std::string& path);
// The folder and its parents when missing.
void makeDirectories(const std::string& path);
// Flushes a folder's entries (a created, renamed or removed file).
void syncDirectory(const std::string& dir);
// A fresh empty folder named from the pattern's "XXXXXX" (mkdtemp).
std::string makeUniqueDirectory(const std::string& pattern);

// --- whole files ----------------------------------------------------------------------

// Copies source to target (created or emptied) and syncs it; shownAs as
// for File::open.
void copyFile(const std::string& source, const std::string& target, const std::string& shownAs = {});
// Writes the bytes beside path, syncs them and renames them into place:
// a failure never leaves a partial file under path.
void writeFileReplacing(const std::string& path, const std::string& bytes);
// Copies source beside target, syncs, and renames it into place.
void copyFileReplacing(const std::string& source, const std::string& target);
// The name a file is written under before it is renamed into place.
std::string besideName(const std::string& path);

// --- for tests ------------------------------------------------------------------------

namespace testing {

// The system calls the layer makes. A test replaces one to make it fail or
// fall short; nothing else ever changes them.
struct Calls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void* data, size_t size, off_t offset);
    ssize_t (*pwrite)(int fd, const void* data, size_t size, off_t offset);
    int (*fsync)(int fd);
    int (*ftruncate)(int fd, off_t size);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*mkdir)(const char* path, mode_t mode);
    int (*rmdir)(const char* path);
};
Calls& calls();
// Puts every system call back and clears the fault plan.
void reset();

enum class FaultAction { None, Kill, Tear, Fail };
struct FaultPlan {
    FaultAction action = FaultAction::None;
    long at = 0;             // the counted call it acts on (1 is the first)
    int error = 0;           // for Fail
    std::string readFails;   // reads of paths holding this text fail with readError
    int readError = 0;
    std::string scope;       // only paths holding this text are counted
    std::string traceFile;   // each counted call appended here
};
// Replaces the plan read from VELMORA_FAULT (a test in the same process).
void setFaultPlan(const FaultPlan& plan);
// Counted calls so far.
long countedCalls();
// Told of each counted call before it is made: its name ("write", "sync",
// "syncdir", "create", "truncate", "rename", "remove", "mkdir", "rmdir") and
// its path(s).
using Observer = std::function<void(const std::string& call, const std::string& path, const std::string& to)>;
void setObserver(Observer observer);

} // namespace testing

} // namespace velmora::db::os
