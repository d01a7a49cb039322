// The encrypted archive on its own: what goes in comes out byte for byte
// at every size around the 64 KiB pieces, and a wrong passphrase, a cut,
// a changed or an added byte, or a plain file are each refused with their
// own message and leave no opened file behind.
#include "support/Files.h"
#include "support/TempDir.h"

#include "app/UserError.h"
#include "backup/ArchiveCrypt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen());
    return s;
}

void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The message decryptArchive refuses with, "" when it opened the file.
std::string refusal(const std::string& encrypted, const std::string& target, const std::string& passphrase) {
    try {
        backup::decryptArchive(encrypted, target, passphrase);
        return {};
    } catch (const app::UserError& e) {
        return e.what();
    }
}

} // namespace

TEST(ArchiveCrypt, WhatGoesInComesOutByteForByte) {
    TempDir dir;
    const size_t piece = 64 * 1024;
    for (const size_t size : {size_t(0), size_t(1), piece - 1, piece, piece + 1, 3 * piece, 3 * piece + 17}) {
        SCOPED_TRACE(size);
        const std::string plain = randomBytes(size, static_cast<unsigned>(size));
        write(dir.file("Zaras.arj"), plain);
        backup::encryptArchive(dir.file("Zaras.arj"), dir.file("titkos"), "jelszó");
        EXPECT_TRUE(backup::isEncryptedArchive(dir.file("titkos")));
        EXPECT_TRUE(backup::decryptsTo(dir.file("titkos"), dir.file("Zaras.arj"), "jelszó"));
        EXPECT_EQ(refusal(dir.file("titkos"), dir.file("vissza"), "jelszó"), "");
        EXPECT_EQ(fileBytes(dir.file("vissza")), plain);
        if (size >= 64) {
            const std::string sealed = fileBytes(dir.file("titkos"));
            EXPECT_EQ(sealed.find(plain.substr(0, 32)), std::string::npos) << "the archive's bytes show through";
        }
    }
}

TEST(ArchiveCrypt, TheSamePassphraseGivesADifferentFileEachTime) {
    TempDir dir;
    write(dir.file("Zaras.arj"), randomBytes(1000, 1));
    backup::encryptArchive(dir.file("Zaras.arj"), dir.file("a"), "jelszó");
    backup::encryptArchive(dir.file("Zaras.arj"), dir.file("b"), "jelszó");
    EXPECT_NE(fileBytes(dir.file("a")), fileBytes(dir.file("b")));  // a fresh salt and stream header
}

TEST(ArchiveCrypt, EveryDamageAndAWrongPassphraseIsRefused) {
    using Spoil = std::function<void(std::string&)>;
    const size_t header = 65, piece = 64 * 1024 + 17;  // the first message, 17 bytes, follows the header
    const std::string notEncrypted = "nem titkosított mentés";
    const struct Case {
        const char* what;
        Spoil spoil;
        std::string passphrase;
        std::string message;  // a part of the refusal
    } cases[] = {
        {"wrong passphrase", [](std::string&) {}, "Jelszó", backup::kWrongPassphrase},
        {"empty passphrase", [](std::string&) {}, "", backup::kWrongPassphrase},
        {"cut inside the header", [](std::string& b) { b.resize(40); }, "jelszó", backup::kEncryptedDamaged},
        {"cut after the first message", [&](std::string& b) { b.resize(header + 17); }, "jelszó",
         backup::kEncryptedDamaged},
        {"cut inside a piece", [](std::string& b) { b.resize(b.size() / 2); }, "jelszó", backup::kEncryptedDamaged},
        {"the final piece missing", [&](std::string& b) { b.resize(header + 17 + 2 * piece); }, "jelszó",
         backup::kEncryptedDamaged},
        {"one byte missing", [](std::string& b) { b.pop_back(); }, "jelszó", backup::kEncryptedDamaged},
        {"a byte added", [](std::string& b) { b.push_back('\0'); }, "jelszó", backup::kEncryptedDamaged},
        {"a byte flipped in the data", [](std::string& b) { b[b.size() / 2] ^= 1; }, "jelszó",
         backup::kEncryptedDamaged},
        {"a byte flipped at the end", [](std::string& b) { b.back() ^= 0x80; }, "jelszó", backup::kEncryptedDamaged},
        {"a byte flipped in the salt", [](std::string& b) { b[30] ^= 1; }, "jelszó", backup::kWrongPassphrase},
        {"the limits changed", [](std::string& b) { b[9] ^= 1; }, "jelszó", backup::kWrongPassphrase},
        {"a memory limit out of bounds", [](std::string& b) { b[24] = '\x7F'; }, "jelszó", backup::kEncryptedDamaged},
        {"the magic changed", [](std::string& b) { b[0] ^= 1; }, "jelszó", notEncrypted},
        {"a plain archive", [](std::string& b) { b = "ARJ plain archive bytes"; }, "jelszó", notEncrypted},
        {"an empty file", [](std::string& b) { b.clear(); }, "jelszó", notEncrypted},
    };
    TempDir dir;
    const std::string plain = randomBytes(3 * 64 * 1024 + 100, 7);  // three whole pieces and a final one
    write(dir.file("Zaras.arj"), plain);
    backup::encryptArchive(dir.file("Zaras.arj"), dir.file("good"), "jelszó");
    const std::string good = fileBytes(dir.file("good"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good;
        c.spoil(bytes);
        write(dir.file("spoilt"), bytes);
        const std::string shown = refusal(dir.file("spoilt"), dir.file("vissza"), c.passphrase);
        EXPECT_NE(shown.find(c.message), std::string::npos) << shown;
        EXPECT_FALSE(fs::exists(dir.file("vissza")));
        EXPECT_FALSE(backup::decryptsTo(dir.file("spoilt"), dir.file("Zaras.arj"), c.passphrase));
    }
}

TEST(ArchiveCrypt, PassphraseRules) {
    std::string longest;
    for (size_t i = 0; i < 256; ++i) longest += "ű";
    const struct { std::string passphrase; std::string problem; } cases[] = {
        {"", backup::kPassphraseRequired},
        {"a", ""},
        {longest, ""},
        {longest + "a", backup::kPassphraseTooLong},
        {"jelszó 密码 \xF0\x9F\x98\x80", ""},  // beyond code page 852: allowed, it is never stored
    };
    for (const auto& c : cases) EXPECT_EQ(backup::passphraseProblem(c.passphrase), c.problem) << c.passphrase;
}
