#include "exchange/KuldFolder.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Os.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace velmora::exchange {

namespace {

bool isPdf(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name.find(".PDF") != std::string::npos;
}

// KULD's own name, whatever separator ends it.
fs::path folderOf(const std::string& dir) {
    fs::path p(dir);
    return p.has_filename() ? p : p.parent_path();
}

std::string withSeparator(const fs::path& p) {
    std::string s = p.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

} // namespace

std::vector<db::FileOperation> kuldOperations(const std::string& kuldDir, const std::string& listaDir,
                                              const std::string& stagingDir, const std::vector<std::string>& names) {
    const fs::path kuld = folderOf(kuldDir);
    std::vector<db::FileOperation> ops;
    for (const std::string& entry : db::os::list(kuld.string())) {
        const fs::path path = kuld / entry;
        if (db::os::isDirectory(path.string())) continue;
        if (std::find(names.begin(), names.end(), entry) != names.end()) continue;  // replaced by its new file
        if (isPdf(entry)) ops.push_back(db::FileOperation::move(path.string(), (fs::path(listaDir) / entry).string(), false));
        else ops.push_back(db::FileOperation::remove(path.string(), false));
    }
    for (const std::string& name : names)
        ops.push_back(db::FileOperation::rename((folderOf(stagingDir) / name).string(), (kuld / name).string()));
    ops.push_back(db::FileOperation::removeTree(folderOf(stagingDir).string(), false));
    return ops;
}

StagingFolder::StagingFolder(const std::string& kuldDir, const std::string& dataDir) : dataDir_(dataDir) {
    const fs::path kuld = folderOf(kuldDir);
    const fs::path staging = kuld.parent_path() / (kuld.filename().string() + ".uj");
    try {
        db::os::removeTree(staging.string());
        db::os::makeDirectories(staging.string());
    } catch (const db::DbError& e) {
        throw app::UserError(e.what());
    }
    path_ = withSeparator(staging);
}

StagingFolder::~StagingFolder() {
    if (db::journalStands(dataDir_)) return;  // the journal moves its files at the next start
    try {
        db::os::removeTree(path_);
    } catch (...) {
        // The next start removes it.
    }
}

void copyFiles(const std::string& dataDir, const std::string& from, const std::vector<std::string>& names,
               const std::string& to, const std::vector<std::string>& as) {
    std::vector<std::string> partial;
    for (const std::string& a : as) partial.push_back(db::os::besideName((fs::path(to) / a).string()));
    const db::PendingFiles pending(dataDir, partial);
    for (size_t i = 0; i < names.size() && i < as.size(); ++i) {
        try {
            db::os::copyFileReplacing((fs::path(from) / names[i]).string(), (fs::path(to) / as[i]).string());
        } catch (const db::DbError& e) {
            throw app::UserError("A(z) " + as[i] + " állomány nem másolható a(z) " + to + " könyvtárba: " + e.what());
        }
    }
}

} // namespace velmora::exchange
