#include "program/FirstStart.h"

#include "db/Database.h"
#include "store/ContractCheck.h"
#include "store/IndexFiles.h"

#include <filesystem>

namespace velmora::program {

bool isFirstStart(const std::string& dataDir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir, ec)) return true;
    db::Database db(dataDir);
    for (const store::schema::TableDef* def : store::fundTables())
        if (store::tableOf(db, *def).exists()) return false;
    return true;
}

} // namespace velmora::program
