#include "backup/ArchiveCrypt.h"

#include "app/Password.h"
#include "app/Sodium.h"
#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Os.h"

#include <sodium.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <vector>

namespace velmora::backup {

namespace {

constexpr char kMagic[8] = {'V', 'L', 'M', 'T', 'I', 'T', 'K', '1'};
constexpr unsigned char kVersion = 1;
constexpr size_t kSaltBytes = crypto_pwhash_SALTBYTES;
constexpr size_t kStreamHeaderBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr size_t kAuthenticated = 8 + 1 + 8 + 8 + kSaltBytes;  // magic to salt: the first message's extra data
constexpr size_t kHeaderBytes = kAuthenticated + kStreamHeaderBytes;
constexpr size_t kPiece = 64 * 1024;
constexpr size_t kTagBytes = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr size_t kKeyBytes = crypto_secretstream_xchacha20poly1305_KEYBYTES;

using Key = std::array<unsigned char, kKeyBytes>;

void putU64(unsigned char* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint64_t getU64(const unsigned char* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// The key, wiped when it goes.
struct DerivedKey {
    Key key{};
    DerivedKey(const std::string& passphrase, const unsigned char* salt, uint64_t ops, uint64_t mem) {
        if (crypto_pwhash(key.data(), key.size(), passphrase.data(), passphrase.size(), salt, ops,
                          static_cast<size_t>(mem), crypto_pwhash_ALG_ARGON2ID13) != 0)
            throw std::runtime_error("A mentés kulcsának előállításához nincs elég memória.");
    }
    ~DerivedKey() { sodium_memzero(key.data(), key.size()); }
};

[[noreturn]] void damaged() { throw app::UserError(kEncryptedDamaged); }

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

using Header = std::array<unsigned char, kHeaderBytes>;
using Sink = std::function<void(const unsigned char*, size_t)>;

const unsigned char* saltOf(const Header& h) { return h.data() + 25; }

// The header of an encrypted archive, its limits checked.
Header readHeader(const db::os::File& in, const std::string& path) {
    const uint64_t size = in.size();
    Header header{};
    if (size < 9 || in.readAt(header.data(), 9, 0) != 9 || std::memcmp(header.data(), kMagic, 8) != 0)
        throw app::UserError("A(z) " + fileName(path) + " nem titkosított mentés: hiányzik a titkosított mentés fejléce!");
    if (header[8] < kVersion) damaged();
    if (header[8] > kVersion)
        throw app::UserError("A(z) " + fileName(path) + " titkosított mentés a program egy újabb változatával készült!");
    if (size < kHeaderBytes + kTagBytes) damaged();
    in.readExact(header.data(), kHeaderBytes, 0);
    const uint64_t ops = getU64(header.data() + 9);
    const uint64_t mem = getU64(header.data() + 17);
    // Limits a damaged header could carry past what any backup uses.
    if (ops < crypto_pwhash_OPSLIMIT_MIN || ops > crypto_pwhash_OPSLIMIT_SENSITIVE ||
        mem < crypto_pwhash_MEMLIMIT_MIN || mem > crypto_pwhash_MEMLIMIT_SENSITIVE)
        damaged();
    return header;
}

DerivedKey keyFor(const std::string& passphrase, const Header& h) {
    return DerivedKey(passphrase, saltOf(h), getU64(h.data() + 9), getU64(h.data() + 17));
}

// The messages after the header, each decrypted piece handed to `sink`.
void pullStream(const db::os::File& in, const Header& header, const Key& key, const Sink& sink) {
    const uint64_t size = in.size();
    crypto_secretstream_xchacha20poly1305_state state;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&state, header.data() + kAuthenticated, key.data()) != 0)
        damaged();
    std::vector<unsigned char> cipher(kPiece + kTagBytes), plain(kPiece);
    unsigned long long plainLength = 0;
    unsigned char tag = 0;
    uint64_t offset = kHeaderBytes;
    in.readExact(cipher.data(), kTagBytes, offset);
    offset += kTagBytes;
    if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), &plainLength, &tag, cipher.data(), kTagBytes,
                                                   header.data(), kAuthenticated) != 0 ||
        plainLength != 0 || tag != 0)
        throw app::UserError(kWrongPassphrase);
    while (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        const uint64_t left = size - offset;
        const size_t take = static_cast<size_t>(std::min<uint64_t>(left, cipher.size()));
        if (take < kTagBytes) damaged();  // cut before the final piece
        in.readExact(cipher.data(), take, offset);
        offset += take;
        if (crypto_secretstream_xchacha20poly1305_pull(&state, plain.data(), &plainLength, &tag, cipher.data(), take,
                                                       nullptr, 0) != 0)
            damaged();
        if (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL && take != cipher.size()) damaged();
        sink(plain.data(), static_cast<size_t>(plainLength));
    }
    if (offset != size) damaged();  // bytes after the final piece
}

void readEncrypted(const std::string& path, const std::string& passphrase, const Sink& sink) {
    app::ensureSodium();
    const db::os::File in = db::os::File::open(path, db::os::Access::Read);
    const Header header = readHeader(in, path);
    pullStream(in, header, keyFor(passphrase, header).key, sink);
}

// A sink that compares what it gets with `plain` from its start.
struct SameAs {
    const db::os::File& plain;
    std::vector<unsigned char> expected = std::vector<unsigned char>(kPiece);
    uint64_t at = 0;
    bool same = true;
    void operator()(const unsigned char* data, size_t n) {
        if (!same) return;
        same = plain.readAt(expected.data(), n, at) == n && std::memcmp(expected.data(), data, n) == 0;
        at += n;
    }
    bool whole() const { return same && at == plain.size(); }
};

// The written file read back: the same header (so the passphrase derives
// the same key from it again) and, under the key, exactly the archive.
// Deriving the key a second time would only repeat the first derivation.
bool provenAgainst(const std::string& target, const Header& header, const Key& key, const db::os::File& plain) {
    const db::os::File back = db::os::File::open(target, db::os::Access::Read);
    try {
        if (readHeader(back, target) != header) return false;
        SameAs compare{plain};
        pullStream(back, header, key, std::ref(compare));
        return compare.whole();
    } catch (const app::UserError&) {
        return false;
    }
}

} // namespace

std::string passphraseProblem(const std::string& passphrase) {
    if (passphrase.empty()) return kPassphraseRequired;
    if (app::SecretTooLong(passphrase)) return kPassphraseTooLong;
    return {};
}

bool isEncryptedArchive(const std::string& path) {
    const auto in = db::os::File::openIfExists(path, db::os::Access::Read);
    char head[8];
    return in && in->readAt(head, sizeof head, 0) == sizeof head && std::memcmp(head, kMagic, 8) == 0;
}

void encryptArchive(const std::string& plain, const std::string& target, const std::string& passphrase) {
    app::ensureSodium();
    const db::os::File in = db::os::File::open(plain, db::os::Access::Read);
    db::os::File out = db::os::File::open(target, db::os::Access::Create);

    Header header{};
    std::memcpy(header.data(), kMagic, 8);
    header[8] = kVersion;
    putU64(header.data() + 9, crypto_pwhash_OPSLIMIT_INTERACTIVE);
    putU64(header.data() + 17, crypto_pwhash_MEMLIMIT_INTERACTIVE);
    randombytes_buf(header.data() + 25, kSaltBytes);
    const DerivedKey key(passphrase, header.data() + 25, crypto_pwhash_OPSLIMIT_INTERACTIVE,
                         crypto_pwhash_MEMLIMIT_INTERACTIVE);
    crypto_secretstream_xchacha20poly1305_state state;
    crypto_secretstream_xchacha20poly1305_init_push(&state, header.data() + kAuthenticated, key.key.data());
    out.writeAt(header.data(), header.size(), 0);
    uint64_t at = header.size();

    std::vector<unsigned char> cipher(kPiece + kTagBytes), piece(kPiece);
    unsigned long long length = 0;
    crypto_secretstream_xchacha20poly1305_push(&state, cipher.data(), &length, nullptr, 0, header.data(),
                                               kAuthenticated, 0);
    out.writeAt(cipher.data(), static_cast<size_t>(length), at);
    at += length;

    const uint64_t size = in.size();
    uint64_t read = 0;
    do {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(size - read, kPiece));
        in.readExact(piece.data(), take, read);
        read += take;
        const unsigned char tag = read == size ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0;
        crypto_secretstream_xchacha20poly1305_push(&state, cipher.data(), &length, piece.data(), take, nullptr, 0, tag);
        out.writeAt(cipher.data(), static_cast<size_t>(length), at);
        at += length;
    } while (read < size);
    out.sync();
    out.close();
    if (!provenAgainst(target, header, key.key, in))
        throw std::runtime_error("A titkosított másolat visszaolvasva nem egyezik a Zaras.arj archívummal.");
}

void decryptArchive(const std::string& encrypted, const std::string& target, const std::string& passphrase) {
    try {
        db::os::File out = db::os::File::open(target, db::os::Access::Create);
        uint64_t at = 0;
        readEncrypted(encrypted, passphrase, [&](const unsigned char* data, size_t n) {
            out.writeAt(data, n, at);
            at += n;
        });
        out.sync();
    } catch (...) {
        try {
            db::os::remove(target);
        } catch (...) {
        }
        throw;
    }
}

bool decryptsTo(const std::string& encrypted, const std::string& plain, const std::string& passphrase) {
    const db::os::File original = db::os::File::open(plain, db::os::Access::Read);
    SameAs compare{original};
    try {
        readEncrypted(encrypted, passphrase, std::ref(compare));
    } catch (const app::UserError&) {
        return false;
    }
    return compare.whole();
}

} // namespace velmora::backup
