#include "db/FileIo.h"

#include "db/DbError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace velmora::db {

namespace testing {
PwriteCall pwriteCall = ::pwrite;
FsyncCall fsyncCall = ::fsync;
void resetFileCalls() {
    pwriteCall = ::pwrite;
    fsyncCall = ::fsync;
}
} // namespace testing

std::string describeErrno(int error) {
    switch (error) {
    case ENOSPC: return "betelt a lemez (nincs több szabad hely)";
    case EDQUOT: return "elfogyott a felhasználó lemezkvótája";
    case EFBIG: return "a fájl elérte a megengedett legnagyobb méretet";
    case EACCES: case EPERM: return "nincs hozzá jogosultság";
    case EROFS: return "a lemez csak olvasható";
    case EIO: return "lemezhiba (a lemez nem tudta elvégezni az írást vagy olvasást)";
    case ENOENT: return "nem található";
    default: return std::strerror(error);
    }
}

void throwIo(const std::string& path, const std::string& what, int error) {
    const std::string name = std::filesystem::path(path).filename().string();
    throw DbError(DbError::Code::Io, "A(z) " + name + " állomány " + what + ": " + describeErrno(error));
}

void writeAll(int fd, const void* data, size_t size, uint64_t offset, const std::string& path) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        errno = 0;
        const ssize_t n = testing::pwriteCall(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwIo(path, "nem írható", errno);
        // No progress and no error: the file system had no room for more.
        if (n == 0) throwIo(path, "nem írható", ENOSPC);
        p += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
}

void syncFile(int fd, const std::string& path) {
    if (testing::fsyncCall(fd) != 0) throwIo(path, "nem írható ki a lemezre", errno);
}

void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int rc = fd < 0 ? -1 : testing::fsyncCall(fd);
    const int error = errno;
    if (fd >= 0) ::close(fd);
    if (rc != 0)
        throw DbError(DbError::Code::Io, "A(z) " + directory + " könyvtár változásai nem írhatók ki a lemezre: " +
                                             describeErrno(error));
}

} // namespace velmora::db
