#pragma once
// The few system calls through which the engine changes files: whole writes
// (a short write is continued, one that makes no progress is a full disk),
// syncs of files and directories, and errors that name their real cause.
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace velmora::db {

// The cause of a failed system call in the user's words ("betelt a lemez").
std::string describeErrno(int error);

// Throws DbError(Io): "A(z) <file> állomány <what>: <cause>". error is the
// errno captured right after the failing call, never read later.
[[noreturn]] void throwIo(const std::string& path, const std::string& what, int error);

// Writes all of data at offset; a failure (or no progress, which a full
// disk gives without an errno) throws naming the file.
void writeAll(int fd, const void* data, size_t size, uint64_t offset, const std::string& path);
// Flushes the file's data to the disk.
void syncFile(int fd, const std::string& path);
// Flushes a directory's entries (a created, renamed or removed file).
void syncDirectory(const std::string& directory);

namespace testing {
// The system calls the engine's writes and syncs go through. A test
// replaces them to make a write fail or fall short, or to stop the process
// at a chosen write; nothing else ever changes them.
using PwriteCall = ssize_t (*)(int fd, const void* data, size_t size, off_t offset);
using FsyncCall = int (*)(int fd);
extern PwriteCall pwriteCall;
extern FsyncCall fsyncCall;
// Puts ::pwrite and ::fsync back.
void resetFileCalls();
} // namespace testing

} // namespace velmora::db
