#include "app/DataDirLock.h"

#include "app/UserError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace velmora::app {

std::unique_ptr<DataDirLock> DataDirLock::tryAcquire(const std::string& dataDir) {
    const int fd = ::open(dataDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw UserError("A(z) " + dataDir + " adatkönyvtár nem nyitható meg.");
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return nullptr;
        throw UserError("A(z) " + dataDir + " adatkönyvtár nem zárolható.");
    }
    return std::unique_ptr<DataDirLock>(new DataDirLock(fd));
}

DataDirLock::~DataDirLock() { ::close(fd_); }

std::string dataDirHeldMessage(const std::string& dataDir) {
    return "A(z) " + dataDir +
           " adatkönyvtáron egy másik program dolgozik (a Velmora vagy a velmora-batch egy másik példánya fut?).";
}

} // namespace velmora::app
