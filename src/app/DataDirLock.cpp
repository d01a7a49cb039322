#include "app/DataDirLock.h"

#include "app/UserError.h"
#include "db/DbError.h"

namespace velmora::app {

std::unique_ptr<DataDirLock> DataDirLock::tryAcquire(const std::string& dataDir) {
    db::os::File dir;
    try {
        dir = db::os::File::open(dataDir, db::os::Access::Read);
        if (!dir.tryLock()) return nullptr;
    } catch (const db::DbError& e) {
        throw UserError("A(z) " + dataDir + " adatkönyvtár nem nyitható meg: " + e.what());
    }
    return std::unique_ptr<DataDirLock>(new DataDirLock(std::move(dir)));
}

DataDirLock::~DataDirLock() = default;

std::string dataDirHeldMessage(const std::string& dataDir) {
    return "A(z) " + dataDir +
           " adatkönyvtáron egy másik program dolgozik (a Velmora vagy a velmora-batch egy másik példánya fut?).";
}

} // namespace velmora::app
