#include "program/FirstStart.h"

#include "app/UserError.h"
#include "db/Database.h"
#include "db/Os.h"
#include "store/ContractCheck.h"
#include "store/IndexFiles.h"
#include "store/TableReplacement.h"

#include <cctype>
#include <filesystem>
#include <vector>

namespace velmora::program {

bool isFirstStart(const std::string& dataDir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir, ec)) return true;
    db::Database db(dataDir);
    for (const store::schema::TableDef* def : store::fundTables())
        if (store::tableOf(db, *def).exists()) return false;
    return true;
}

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The folder's file whose name is `fileName` in any case; empty when none.
std::string findIgnoringCase(const std::string& folder, const std::string& fileName) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (lower(e.path().filename().string()) == lower(fileName)) return e.path().string();
    return {};
}

} // namespace

void takeFundTables(const std::string& folder, const std::string& dataDir) {
    std::vector<store::TableReplacement> replacements;
    std::string missing;
    db::Database source(folder);
    for (const store::schema::TableDef* def : store::fundTables()) {
        const std::string file = findIgnoringCase(folder, def->fileName);
        if (file.empty()) {
            missing += (missing.empty() ? "" : ", ") + def->fileName;
            continue;
        }
        try {
            db::Table& table = source.table(def->name, std::filesystem::path(file).filename().string());
            table.open();
            table.close();
        } catch (const std::exception& e) {
            throw app::UserError("A(z) " + file + " állomány nem olvasható dBASE tábla!\n" + e.what());
        }
        replacements.push_back({def, file});
    }
    if (!missing.empty())
        throw app::UserError("A választott mappában nincs meg a RUV-től kapott állományok mindegyike!\nHiányzik: " +
                             missing);
    // All seven in one replacement: a kill leaves none of them or all.
    db::os::makeDirectories(dataDir);
    db::Database db(dataDir);
    store::replaceTables(db, replacements);
    db.closeAll();
}

} // namespace velmora::program
