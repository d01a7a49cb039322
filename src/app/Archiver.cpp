#include "app/Archiver.h"

#include "db/DbError.h"
#include "db/Os.h"

#include "app/ChildProcess.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace velmora::app {

namespace {

constexpr const char* kProgram = "arj";

// "-+" ignores switches set in the environment (ARJ_SW), "-i" leaves out
// the progress figures so that the output reads well as a detail.
const std::vector<std::string> kCommonSwitches = {"-+", "-i", "-y"};

std::string absolute(const std::string& path) { return fs::absolute(path).lexically_normal().string(); }

[[noreturn]] void badArchive(const std::string& archive, const std::string& why) {
    throw ArchiverError("A(z) " + fs::path(archive).filename().string() + " állomány nem olvasható ARJ archívum!", why);
}

// --- the archive's headers, read without the archiver -------------------------
// Each header: the mark 0x60 0xEA, the basic header's size (0 ends the
// archive), the basic header, its CRC, extended headers (each a size, the
// data and a CRC; a size of 0 ends them), and with a member the packed data.

class HeaderReader {
public:
    explicit HeaderReader(const std::string& archive) : archive_(archive), in_(archive, std::ios::binary) {
        if (!in_) badArchive(archive, "nem nyitható meg");
    }

    // The next basic header, empty at the archive's end mark.
    std::string next() {
        const uint16_t mark = word();
        if (mark != 0xEA60) badArchive(archive_, "hibás fejléc-jelölés");
        const uint16_t size = word();
        if (size == 0) return {};
        if (size > 2600) badArchive(archive_, "túl nagy fejléc");
        std::string basic = bytes(size);
        bytes(4);   // the basic header's CRC: the archiver's test checks it
        while (const uint16_t ext = word()) bytes(static_cast<size_t>(ext) + 4);
        return basic;
    }

    void skip(uint32_t count) {
        in_.seekg(count, std::ios::cur);
        if (!in_) badArchive(archive_, "csonka állomány");
    }

private:
    uint16_t word() {
        const std::string b = bytes(2);
        return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
    }
    std::string bytes(size_t n) {
        std::string b(n, '\0');
        if (!in_.read(b.data(), static_cast<std::streamsize>(n))) badArchive(archive_, "csonka állomány");
        return b;
    }

    std::string archive_;
    std::ifstream in_;
};

uint32_t dword(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    return v;
}

struct Member {
    std::string name;
    uint8_t type = 0;   // 0 and 1 files, 3 a folder, 4 a volume label
};

// The basic header's fixed part ends at its first byte's offset; the name
// follows, ended by a zero byte.
Member memberOf(const std::string& archive, const std::string& basic) {
    if (basic.size() < 30 || static_cast<uint8_t>(basic[0]) >= basic.size()) badArchive(archive, "hibás fejléc");
    const size_t nameAt = static_cast<uint8_t>(basic[0]);
    const size_t end = basic.find('\0', nameAt);
    if (end == std::string::npos) badArchive(archive, "hibás fejléc");
    return {basic.substr(nameAt, end - nameAt), static_cast<uint8_t>(basic[6])};
}

std::vector<Member> readMembers(const std::string& archive) {
    HeaderReader reader(archive);
    if (reader.next().empty()) badArchive(archive, "hiányzó főfejléc");
    std::vector<Member> members;
    for (std::string basic = reader.next(); !basic.empty(); basic = reader.next()) {
        members.push_back(memberOf(archive, basic));
        reader.skip(dword(basic, 12));   // the packed size
    }
    return members;
}

// A member that may be extracted: a plain file name, no folder, no path.
bool plainFileName(const Member& m) {
    if (m.type > 1 || m.name.empty() || m.name == "." || m.name == "..") return false;
    return m.name.find_first_of("/\\:") == std::string::npos;
}

void removeQuietly(const std::string& path) {
    try {
        db::os::remove(path);
    } catch (...) {
    }
}

} // namespace

std::string runArchiver(const std::vector<std::string>& args, const std::string& workDir, std::chrono::seconds limit) {
    std::vector<std::string> argv;
    if (!args.empty()) argv.push_back(args.front());
    argv.insert(argv.end(), kCommonSwitches.begin(), kCommonSwitches.end());
    if (args.size() > 1) argv.insert(argv.end(), args.begin() + 1, args.end());

    const ChildResult r = runChild(kProgram, argv, workDir, limit);
    switch (r.end) {
    case ChildResult::End::Exited:
        if (r.exitCode == 0) return r.output;
        throw ArchiverError("Az ARJ archiváló hibával állt le (kilépési kód: " + std::to_string(r.exitCode) + ")!",
                            r.output);
    case ChildResult::End::Signalled:
        throw ArchiverError("Az ARJ archiváló váratlanul leállt!", r.output);
    case ChildResult::End::TimedOut:
        throw ArchiverError("Az ARJ archiváló nem végzett " + std::to_string(limit.count()) +
                                " másodperc alatt, ezért leállítottuk!",
                            r.output);
    case ChildResult::End::NotStarted:
        break;
    }
    throw ArchiverError("Az ARJ archiváló nem indítható el!", r.output);
}

std::vector<std::string> archiveMembers(const std::string& archive) {
    std::vector<std::string> names;
    for (const Member& m : readMembers(archive)) names.push_back(m.name);
    return names;
}

void createArchive(const std::string& archive, const std::string& dir, const std::vector<std::string>& names) {
    const std::string target = absolute(archive);
    try {
        db::os::remove(target);
    } catch (const db::DbError& e) {
        throw ArchiverError("A(z) " + target + " régi archívum nem törölhető!", e.what());
    }
    std::vector<std::string> args = {"a", "-e", target};
    args.insert(args.end(), names.begin(), names.end());
    try {
        runArchiver(args, dir);
        if (archiveMembers(target) != names)
            throw ArchiverError("A(z) " + fs::path(target).filename().string() +
                                    " archívumba nem pontosan a mentett állományok kerültek!",
                                "");
        testArchive(target);
    } catch (...) {
        removeQuietly(target);   // a half-made archive must not pass for a backup
        throw;
    }
}

void testArchive(const std::string& archive) { runArchiver({"t", absolute(archive)}, fs::path(absolute(archive)).parent_path()); }

void extractArchive(const std::string& archive, const std::string& freshDir) {
    const std::string source = absolute(archive);
    if (!db::os::isDirectory(freshDir) || !db::os::list(freshDir).empty())
        throw ArchiverError("A(z) " + freshDir + " könyvtár nem üres, oda nem lehet kicsomagolni!", "");
    for (const Member& m : readMembers(source))
        if (!plainFileName(m))
            throw ArchiverError("A(z) " + fs::path(source).filename().string() + " archívumban nem megengedett nevű tag van: " +
                                    m.name,
                                "");
    // "e" ignores any path a member might still carry.
    runArchiver({"e", source}, freshDir);
}

} // namespace velmora::app
