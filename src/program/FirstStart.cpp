#include "program/FirstStart.h"

#include "app/UserError.h"
#include "db/Database.h"
#include "db/Os.h"
#include "store/ContractCheck.h"
#include "store/IndexFiles.h"

#include <cctype>
#include <filesystem>
#include <utility>
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
    std::vector<std::pair<std::string, const store::schema::TableDef*>> found;
    std::string missing;
    for (const store::schema::TableDef* def : store::fundTables()) {
        const std::string file = findIgnoringCase(folder, def->fileName);
        if (file.empty())
            missing += (missing.empty() ? "" : ", ") + def->fileName;
        else
            found.emplace_back(file, def);
    }
    if (!missing.empty())
        throw app::UserError("A választott mappában nincs meg a RUV-től kapott állományok mindegyike!\nHiányzik: " +
                             missing);
    db::os::makeDirectories(dataDir);
    std::vector<std::string> copied;
    try {
        for (const auto& [file, def] : found) {
            const std::string target = (std::filesystem::path(dataDir) / def->fileName).string();
            db::os::copyFileReplacing(file, target);
            copied.push_back(target);
        }
        // Each must open as a table; the start builds their index files.
        db::Database db(dataDir);
        for (const auto& [file, def] : found) {
            try {
                store::tableOf(db, *def).open();
            } catch (const std::exception& e) {
                throw app::UserError("A(z) " + file + " állomány nem olvasható dBASE tábla!\n" + e.what());
            }
        }
        db.closeAll();
    } catch (...) {
        for (const std::string& target : copied) db::os::remove(target);
        throw;
    }
}

} // namespace velmora::program
