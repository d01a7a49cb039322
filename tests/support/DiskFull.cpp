#include "support/DiskFull.h"

#include "db/Os.h"

#include <cerrno>
#include <unistd.h>

namespace velmora::testing {

namespace {

std::string refusedFile;
bool refusalSpent = false;

ssize_t refusingPwrite(int fd, const void* data, size_t size, off_t offset) {
    char buf[4096];
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf - 1);
    const std::string path = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    if (!refusalSpent && path.size() >= refusedFile.size() &&
        path.compare(path.size() - refusedFile.size(), refusedFile.size(), refusedFile) == 0) {
        refusalSpent = true;
        errno = ENOSPC;
        return -1;
    }
    return ::pwrite(fd, data, size, offset);
}

} // namespace

void refuseFirstWriteTo(const std::string& fileName) {
    refusedFile = fileName;
    refusalSpent = false;
    db::os::testing::calls().pwrite = refusingPwrite;
}

bool firstWriteRefused() { return refusalSpent; }

} // namespace velmora::testing
