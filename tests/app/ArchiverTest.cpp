#include "app/Archiver.h"
#include "app/ChildProcess.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace velmora::app;
using velmora::test::fileBytes;
using velmora::test::TempDir;

namespace {

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::vector<std::string> dirNames(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// --- an archive written byte by byte, for member names the archiver never stores

uint32_t crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

void put16(std::string& b, uint16_t v) { b += char(v & 0xFF), b += char(v >> 8); }
void put32(std::string& b, uint32_t v) { put16(b, uint16_t(v & 0xFFFF)), put16(b, uint16_t(v >> 16)); }

// Mark, size, basic header, its CRC, no extended header.
std::string header(const std::string& basic) {
    std::string h;
    put16(h, 0xEA60);
    put16(h, uint16_t(basic.size()));
    h += basic;
    put32(h, crc32(basic));
    put16(h, 0);
    return h;
}

// The fixed part shared by the main and the member headers (30 bytes).
std::string fixedPart(uint8_t type, uint32_t packed, uint32_t crc) {
    const uint32_t stamp = uint32_t((40 << 9) | (1 << 5) | 1) << 16;   // 2020-01-01 00:00
    std::string b = {char(30), char(11), char(1), char(2), char(0), char(0), char(type), char(0)};
    put32(b, stamp);
    put32(b, packed);
    put32(b, packed);
    put32(b, crc);
    put16(b, 0);
    put16(b, type == 2 ? 0 : 0644);
    put16(b, 0);
    return b;
}

// Stored (unpacked) members with the names given as they are.
void craftArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out = header(fixedPart(2, 0, 0) + "crafted.arj" + '\0' + '\0');
    for (const auto& [name, data] : members) {
        out += header(fixedPart(0, uint32_t(data.size()), crc32(data)) + name + '\0' + '\0');
        out += data;
    }
    put16(out, 0xEA60);
    put16(out, 0);
    writeFile(path, out);
}

} // namespace

TEST(ChildProcess, OutcomesOfARun) {
    TempDir tmp;
    const auto limit = std::chrono::milliseconds(20000);
    // Output of both streams, the exit code, and the folder it ran in.
    ChildResult r = runChild("sh", {"-c", "pwd; echo out; echo err >&2; exit 3"}, tmp.str(), limit);
    EXPECT_EQ(r.end, ChildResult::End::Exited);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.output, fs::canonical(tmp.path()).string() + "\nout\nerr\n");
    // Standard input is the null device: a reader ends at once.
    r = runChild("cat", {}, tmp.str(), limit);
    EXPECT_EQ(r.end, ChildResult::End::Exited);
    EXPECT_EQ(r.output, "");
    // A run past its limit is stopped, and so is what it started.
    r = runChild("sh", {"-c", "sleep 60 & sleep 60"}, tmp.str(), std::chrono::milliseconds(200));
    EXPECT_EQ(r.end, ChildResult::End::TimedOut);
    // A program that does not exist, and a folder that does not.
    EXPECT_EQ(runChild("velmora-no-such-program", {}, tmp.str(), limit).end, ChildResult::End::NotStarted);
    r = runChild("true", {}, tmp.file("missing"), limit);
    EXPECT_EQ(r.end, ChildResult::End::NotStarted);
    EXPECT_NE(r.output, "");
}

TEST(Archiver, CreateListTestExtractKeepsEveryByte) {
    TempDir tmp;
    fs::create_directories(tmp.file("src"));
    fs::create_directories(tmp.file("out"));
    const std::vector<std::string> names = {"HSzerz.dbf", "Beteg.dbf", "HLapa.dbf"};
    for (const std::string& n : names) writeFile(tmp.file("src/" + n), n + std::string(5000, char(n.size())) + "\x1a");
    writeFile(tmp.file("src/Other.dbf"), "not asked for");
    // An older archive of the same name is replaced, never updated.
    const std::string archive = tmp.file("Zaras.arj");
    createArchive(archive, tmp.file("src"), {"Other.dbf"});
    createArchive(archive, tmp.file("src"), names);

    EXPECT_EQ(archiveMembers(archive), names);
    EXPECT_NO_THROW(testArchive(archive));
    extractArchive(archive, tmp.file("out"));
    EXPECT_EQ(dirNames(tmp.file("out")), (std::vector<std::string>{"Beteg.dbf", "HLapa.dbf", "HSzerz.dbf"}));
    for (const std::string& n : names) EXPECT_EQ(fileBytes(tmp.file("out/" + n)), fileBytes(tmp.file("src/" + n))) << n;
}

TEST(Archiver, FailuresCarryTheArchiversWords) {
    TempDir tmp;
    fs::create_directories(tmp.file("src"));
    writeFile(tmp.file("src/A.dbf"), "a");
    // A named file that is missing: the archiver exits non-zero, nothing is left.
    try {
        createArchive(tmp.file("Zaras.arj"), tmp.file("src"), {"A.dbf", "Missing.dbf"});
        FAIL() << "no error";
    } catch (const ArchiverError& e) {
        EXPECT_NE(std::string(e.what()).find("kilépési kód"), std::string::npos) << e.what();
        EXPECT_NE(e.detail().find("Missing.dbf"), std::string::npos) << e.detail();
    }
    EXPECT_FALSE(fs::exists(tmp.file("Zaras.arj")));

    // A damaged archive: the test run fails with the archiver's report.
    createArchive(tmp.file("Zaras.arj"), tmp.file("src"), {"A.dbf"});
    std::string bytes = fileBytes(tmp.file("Zaras.arj"));
    bytes[bytes.size() - 5] ^= 0x55;   // the stored data of the only member
    writeFile(tmp.file("Zaras.arj"), bytes);
    try {
        testArchive(tmp.file("Zaras.arj"));
        FAIL() << "no error";
    } catch (const ArchiverError& e) {
        EXPECT_NE(e.detail(), "");
    }
}

TEST(Archiver, RefusesMembersThatAreNotPlainFileNames) {
    TempDir tmp;
    // The crafted form itself is sound: the archiver tests and extracts it.
    const std::string good = tmp.file("good.arj");
    craftArchive(good, {{"HLAPA.DBF", "rows"}});
    EXPECT_NO_THROW(testArchive(good));
    fs::create_directories(tmp.file("good"));
    extractArchive(good, tmp.file("good"));
    EXPECT_EQ(fileBytes(tmp.file("good/HLAPA.DBF")), "rows");

    for (const std::string bad : {"../x", "/tmp/x", "sub/x", "a\\b", "..", "C:x"}) {
        SCOPED_TRACE(bad);
        const std::string archive = tmp.file("bad.arj");
        craftArchive(archive, {{"HLAPA.DBF", "rows"}, {bad, "evil"}});
        const std::string fresh = tmp.file("in/fresh");
        fs::remove_all(fresh);
        fs::create_directories(fresh);
        EXPECT_EQ(archiveMembers(archive), (std::vector<std::string>{"HLAPA.DBF", bad}));
        try {
            extractArchive(archive, fresh);
            ADD_FAILURE() << "extracted";
        } catch (const ArchiverError& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
        EXPECT_TRUE(fs::is_empty(fresh));
    }
    EXPECT_FALSE(fs::exists(tmp.file("in/x")));
}

TEST(Archiver, UnreadableArchivesAndBusyFolders) {
    TempDir tmp;
    craftArchive(tmp.file("whole.arj"), {{"A.DBF", std::string(300, 'a')}});
    const std::string whole = fileBytes(tmp.file("whole.arj"));
    fs::create_directories(tmp.file("out"));
    for (const std::string& bytes : {whole.substr(0, whole.size() - 100), whole.substr(0, 20), std::string("PK\3\4rest"),
                                     std::string()}) {
        writeFile(tmp.file("cut.arj"), bytes);
        EXPECT_THROW(archiveMembers(tmp.file("cut.arj")), ArchiverError) << bytes.size();
        EXPECT_THROW(extractArchive(tmp.file("cut.arj"), tmp.file("out")), ArchiverError) << bytes.size();
        EXPECT_TRUE(fs::is_empty(tmp.file("out")));
    }
    EXPECT_THROW(archiveMembers(tmp.file("none.arj")), ArchiverError);
    // Extraction goes only into an empty folder.
    writeFile(tmp.file("out/HLAPA.DBF"), "live");
    EXPECT_THROW(extractArchive(tmp.file("whole.arj"), tmp.file("out")), ArchiverError);
    EXPECT_EQ(dirNames(tmp.file("out")), std::vector<std::string>{"HLAPA.DBF"});
}
