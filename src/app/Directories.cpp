#include "app/Directories.h"

#include "app/TextHelpers.h"
#include "app/UserError.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velmora::app {

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    });
    return s;
}

// The name under which `name` exists as a directory in `dir`: the exact
// spelling when present, else any spelling that differs only in case, else
// the name itself.
std::string existingSpelling(const std::string& dir, const std::string& name) {
    std::error_code ec;
    if (fs::is_directory(fs::path(SureDir(dir) + name), ec)) return name;
    for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string found = it->path().filename().string();
        if (upper(found) == upper(name) && it->is_directory(ec)) return found;
    }
    return name;
}

// The path of subdirectory `name` of `dir`, created when missing.
std::string ensureDir(const std::string& dir, const std::string& name) {
    const std::string path = SureDir(dir) + existingSpelling(dir, name);
    std::error_code ec;
    if (fs::is_directory(path, ec)) return path;
    fs::create_directory(path, ec);
    if (ec || !fs::is_directory(path, ec))
        throw UserError("Nem lehet a " + name + " könyvtárat létrehozni");
    return path;
}

// The folder exists and takes no new entries (a read-only medium, or no
// permission to write there).
bool readOnlyFolder(const std::string& dir) {
    std::error_code ec;
    return fs::is_directory(dir, ec) && ::access(dir.c_str(), W_OK) != 0;
}

} // namespace

std::string FolderIn(const std::string& dir, const std::string& name) {
    return SureDir(dir) + existingSpelling(dir, name);
}

std::string ProgramDataDir(const std::string& programDir) {
    return SureDir(SureDir(programDir) + existingSpelling(programDir, "DATA"));
}

std::string InstallationDir(const std::string& programDir, const char* home) {
    return home && *home ? std::string(home) : programDir;
}

void Konyvtaraz(Session& session, const std::string& workingDir) {
    if (session.dataDir.empty()) throw std::logic_error("Konyvtaraz: the data directory is not set");
    session.gdir = workingDir;
    const std::string lista = ensureDir(workingDir, "LISTA");
    const std::string kuld = ensureDir(workingDir, "KULD");
    const std::string data = ensureDir(workingDir, "DATA");
    const std::string temp = ensureDir(workingDir, "TEMP");
    // A read-only data directory still opens for what only reads: MENT is
    // then made by the first backup, which says why it cannot be.
    std::string ment;
    try {
        ment = ensureDir(session.dataDir, "MENT");
    } catch (const UserError&) {
        if (!readOnlyFolder(session.dataDir)) throw;
        ment = SureDir(session.dataDir) + existingSpelling(session.dataDir, "MENT");
    }

    session.mentdir = ment;
    session.kadat = data;
    session.ktemp = temp;
    session.klista = lista;
    session.kkuld = SureDir(kuld);
}

void Konyvtaraz(Session& session) { Konyvtaraz(session, fs::current_path().string()); }

} // namespace velmora::app
