#include "db/Database.h"

#include "db/DbError.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <strings.h>

namespace velmora::db {

namespace fs = std::filesystem;

std::optional<std::string> findFileNoCase(const std::string& directory, const std::string& fileName) {
    std::error_code ec;
    const fs::path exact = fs::path(directory) / fileName;
    if (fs::exists(exact, ec)) return exact.string();
    for (const auto& entry : fs::directory_iterator(directory, ec)) {
        const std::string name = entry.path().filename().string();
        if (strcasecmp(name.c_str(), fileName.c_str()) == 0) return entry.path().string();
    }
    return std::nullopt;
}

Database::Database(std::string directory)
    : dir_(std::move(directory)), transaction_(std::make_unique<Transaction>(*this)) {}

Database::~Database() {
    try { closeAll(); } catch (...) {}
}

Table& Database::table(const std::string& name, const std::string& fileName) {
    const std::string key = upperAscii(name);
    auto it = tables_.find(key);
    if (it != tables_.end()) return *it->second;
    auto t = std::make_unique<Table>(*this, name, fileName.empty() ? name + ".dbf" : fileName);
    return *tables_.emplace(key, std::move(t)).first->second;
}

namespace {

// Two paths name one file: the same directory, names equal without regard to case.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return strcasecmp(a.filename().c_str(), b.filename().c_str()) == 0 &&
           fs::weakly_canonical(a.parent_path(), ec) == fs::weakly_canonical(b.parent_path(), ec);
}

} // namespace

bool Database::inDirectory(const std::string& path) const {
    std::error_code ec;
    return fs::weakly_canonical(fs::path(resolve(path)).parent_path(), ec) == fs::weakly_canonical(dir_, ec);
}

Table& Database::tableAtPath(const std::string& path) {
    const std::string resolved = resolve(path);
    // A table of the data directory has one shared object, however it is named.
    if (inDirectory(resolved)) {
        for (auto& [k, t] : tables_)
            if (sameFile(t->path(), resolved)) return *t;
        const fs::path file = fs::path(resolved).filename();
        if (!findTable(file.stem().string())) return table(file.stem().string(), file.string());
    }
    std::error_code ec;
    const std::string key = "PATH:" + fs::weakly_canonical(resolved, ec).string();
    auto it = tables_.find(key);
    if (it != tables_.end()) return *it->second;
    auto t = std::make_unique<Table>(*this, fs::path(path).stem().string(), resolved);
    return *tables_.emplace(key, std::move(t)).first->second;
}

Table* Database::findTable(const std::string& name) {
    auto it = tables_.find(upperAscii(name));
    return it == tables_.end() ? nullptr : it->second.get();
}

std::vector<Table*> Database::tables() {
    std::vector<Table*> out;
    for (auto& [k, t] : tables_) out.push_back(t.get());
    return out;
}

std::optional<std::string> Database::findFile(const std::string& fileName) const {
    const fs::path p(fileName);
    if (p.is_absolute()) return findFileNoCase(p.parent_path().string(), p.filename().string());
    return findFileNoCase(dir_, fileName);
}

std::string Database::resolve(const std::string& fileName) const {
    if (auto found = findFile(fileName)) return *found;
    const fs::path p(fileName);
    return p.is_absolute() ? p.string() : (fs::path(dir_) / p).string();
}

void Database::closeAll() {
    std::exception_ptr first;
    for (auto& [k, t] : tables_) {
        try { t->close(); } catch (...) { if (!first) first = std::current_exception(); }
    }
    if (first) std::rethrow_exception(first);
}

} // namespace velmora::db
