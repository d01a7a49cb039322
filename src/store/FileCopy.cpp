#include "store/FileCopy.h"

#include "db/DbError.h"
#include "db/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velmora::store {

namespace {

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

std::string nameOf(const std::string& path) { return fs::path(path).filename().string(); }

// Reads up to size bytes; fewer only at the end of the file.
size_t readSome(int fd, char* buf, size_t size, const std::string& path) {
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buf + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) db::throwIo(path, "nem olvasható", errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void copyAndSync(const std::string& source, const std::string& target) {
    Fd in{::open(source.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) db::throwIo(source, "nem nyitható meg", errno);
    Fd out{::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
    if (out.fd < 0) db::throwIo(target, "nem hozható létre", errno);
    std::string buf(1 << 20, '\0');
    uint64_t offset = 0;
    while (const size_t n = readSome(in.fd, buf.data(), buf.size(), source)) {
        db::writeAll(out.fd, buf.data(), n, offset, target);
        offset += n;
    }
    db::syncFile(out.fd, target);
}

} // namespace

bool sameBytes(const std::string& a, const std::string& b) {
    Fd fa{::open(a.c_str(), O_RDONLY | O_CLOEXEC)}, fb{::open(b.c_str(), O_RDONLY | O_CLOEXEC)};
    if (fa.fd < 0 || fb.fd < 0) return false;
    std::string ba(1 << 20, '\0'), bb(1 << 20, '\0');
    try {
        for (;;) {
            const size_t na = readSome(fa.fd, ba.data(), ba.size(), a);
            const size_t nb = readSome(fb.fd, bb.data(), bb.size(), b);
            if (na != nb || ba.compare(0, na, bb, 0, nb) != 0) return false;
            if (na == 0) return true;
        }
    } catch (const db::DbError&) {
        return false;
    }
}

void copyFileChecked(const std::string& source, const std::string& target) {
    try {
        copyAndSync(source, target);
        if (!sameBytes(source, target))
            throw db::DbError(db::DbError::Code::Io,
                              "A(z) " + nameOf(target) + " állomány másolata eltér az eredetitől (" + source + ")");
    } catch (...) {
        std::error_code ec;
        fs::remove(target, ec);
        throw;
    }
}

} // namespace velmora::store
