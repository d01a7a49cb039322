#include "exchange/KuldFolder.h"

#include "app/UserError.h"
#include "db/FileIo.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace velmora::exchange {

namespace {

bool isPdf(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name.find(".PDF") != std::string::npos;
}

std::string cause(const std::error_code& ec) { return db::describeErrno(ec.value()); }

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

std::vector<std::string> emptyFolder(const std::string& dir, const std::string& listaDir) {
    std::vector<std::string> problems;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        const std::string name = path.filename().string();
        std::error_code kind;
        if (it->is_directory(kind)) continue;
        if (isPdf(name)) {
            std::error_code copied;
            fs::copy_file(path, fs::path(listaDir) / name, fs::copy_options::overwrite_existing, copied);
            if (copied) {
                problems.push_back("A(z) " + name + " állomány nem másolható a LISTA könyvtárba: " + cause(copied) +
                                   "; a KULD könyvtárban maradt.");
                continue;
            }
        }
        std::error_code removed;
        fs::remove(path, removed);
        if (removed) problems.push_back("A(z) " + name + " állomány nem törölhető: " + cause(removed));
    }
    if (ec) problems.push_back("A(z) " + dir + " könyvtár nem olvasható: " + cause(ec));
    return problems;
}

StagingFolder::StagingFolder(const std::string& kuldDir) {
    const fs::path kuld = folderOf(kuldDir);
    const fs::path staging = kuld.parent_path() / (kuld.filename().string() + ".uj");
    std::error_code ec;
    fs::remove_all(staging, ec);
    if (!ec) fs::create_directory(staging, ec);
    if (ec)
        throw app::UserError("A(z) " + staging.string() + " könyvtár nem készíthető el: " + cause(ec));
    path_ = withSeparator(staging);
}

StagingFolder::~StagingFolder() {
    if (released_) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void moveFiles(const std::string& from, const std::string& to, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const fs::path source = fs::path(from) / name, target = fs::path(to) / name;
        std::error_code ec;
        fs::rename(source, target, ec);
        if (ec == std::errc::cross_device_link) {
            ec.clear();
            if (fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec)) fs::remove(source, ec);
        }
        if (ec) throw app::UserError("A(z) " + name + " állomány nem vihető át a(z) " + to + " könyvtárba: " + cause(ec));
    }
    db::syncDirectory(to);
}

void copyFiles(const std::string& from, const std::vector<std::string>& names, const std::string& to,
               const std::vector<std::string>& as) {
    for (size_t i = 0; i < names.size() && i < as.size(); ++i) {
        std::error_code ec;
        fs::copy_file(fs::path(from) / names[i], fs::path(to) / as[i], fs::copy_options::overwrite_existing, ec);
        if (ec) throw app::UserError("A(z) " + as[i] + " állomány nem másolható a(z) " + to + " könyvtárba: " + cause(ec));
    }
}

} // namespace velmora::exchange
