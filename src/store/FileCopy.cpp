#include "store/FileCopy.h"

#include "db/DbError.h"
#include "db/Os.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::store {

bool sameBytes(const std::string& a, const std::string& b) {
    try {
        const db::os::File fa = db::os::File::open(a, db::os::Access::Read);
        const db::os::File fb = db::os::File::open(b, db::os::Access::Read);
        std::string ba(1 << 20, '\0'), bb(1 << 20, '\0');
        for (uint64_t offset = 0;; offset += ba.size()) {
            const size_t na = fa.readAt(ba.data(), ba.size(), offset);
            const size_t nb = fb.readAt(bb.data(), bb.size(), offset);
            if (na != nb || ba.compare(0, na, bb, 0, nb) != 0) return false;
            if (na < ba.size()) return true;
        }
    } catch (const db::DbError&) {
        return false;
    }
}

void copyFileChecked(const std::string& source, const std::string& target) {
    try {
        db::os::copyFile(source, target);
        if (!sameBytes(source, target))
            throw db::DbError(db::DbError::Code::Io, "A(z) " + fs::path(target).filename().string() +
                                                         " állomány másolata eltér az eredetitől (" + source + ")");
    } catch (...) {
        try {
            db::os::remove(target);
        } catch (...) {
        }
        throw;
    }
}

} // namespace velmora::store
