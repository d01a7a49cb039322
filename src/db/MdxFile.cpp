#include "db/MdxFile.h"

#include "db/DbError.h"
#include "db/Os.h"

#include <cstring>

namespace velmora::db {
namespace {

// File layout, all integers little-endian:
//   signature[8] u32 formatVersion
//   str tableFile u64 layout            (from format 2 on: whose index it is)
//   u64 tableSize u64 tableHash
//   str collationVersion u32 tagCount
//   per tag: str name, str expression, u8 unique, u32 entryCount,
//            per entry: u32 recno, str key
//   u64 checksum (contentHash of everything before it)
// where str is u32 length + bytes.
constexpr char kSignature[8] = {'V', 'L', 'M', 'I', 'N', 'D', 'X', '\x1a'};
constexpr uint32_t kFormatVersion = 2;
// Format 1 lacked the table's identity; such files still read (their keys
// are rebuilt and the file rewritten in the current format).
constexpr uint32_t kFormatWithoutIdentity = 1;
// Far beyond any real index of this program's tables; a larger file is not ours.
constexpr uint64_t kMaxFileSize = uint64_t(1) << 30;

class Writer {
public:
    void bytes(const void* p, size_t n) { out_.append(static_cast<const char*>(p), n); }
    void u8(uint8_t v) { out_ += static_cast<char>(v); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void u64(uint64_t v) {
        for (int i = 0; i < 8; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void str(const std::string& s) {
        u32(static_cast<uint32_t>(s.size()));
        out_ += s;
    }
    std::string& data() { return out_; }

private:
    std::string out_;
};

// Every read is checked against the bytes left; the first failure makes
// the reader bad and all later reads return zeros/empties.
class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}

    bool ok() const { return ok_; }
    size_t left() const { return in_.size() - pos_; }
    bool take(size_t n) {
        if (!ok_ || n > left()) return ok_ = false;
        pos_ += n;
        return true;
    }
    uint8_t u8() { return take(1) ? static_cast<uint8_t>(in_[pos_ - 1]) : 0; }
    uint64_t uint(int width) {
        if (!take(width)) return 0;
        uint64_t v = 0;
        for (int i = 0; i < width; ++i) v |= uint64_t(static_cast<uint8_t>(in_[pos_ - width + i])) << (8 * i);
        return v;
    }
    uint32_t u32() { return static_cast<uint32_t>(uint(4)); }
    uint64_t u64() { return uint(8); }
    std::string str() {
        const uint32_t n = u32();
        if (!take(n)) return {};
        return std::string(in_.substr(pos_ - n, n));
    }

private:
    std::string_view in_;
    size_t pos_ = 0;
    bool ok_ = true;
};

void writeBody(Writer& w, const MdxContents& c) {
    w.bytes(kSignature, sizeof kSignature);
    w.u32(kFormatVersion);
    w.str(c.tableFile);
    w.u64(c.layout);
    w.u64(c.tableSize);
    w.u64(c.tableHash);
    w.str(c.collationVersion);
    w.u32(static_cast<uint32_t>(c.tags.size()));
    for (const MdxTag& t : c.tags) {
        w.str(t.name);
        w.str(t.expression);
        w.u8(t.unique ? 1 : 0);
        w.u32(static_cast<uint32_t>(t.entries.size()));
        for (const IndexEntry& e : t.entries) {
            w.u32(e.recno);
            w.str(e.key);
        }
    }
}

std::optional<MdxTag> parseTag(Reader& r) {
    MdxTag t;
    t.name = r.str();
    t.expression = r.str();
    const uint8_t unique = r.u8();
    const uint32_t count = r.u32();
    // An entry takes at least 8 bytes: a count the rest of the file cannot
    // hold is damage, and must not become a huge allocation.
    if (!r.ok() || unique > 1 || count > r.left() / 8) return std::nullopt;
    t.unique = unique == 1;
    t.entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        IndexEntry e;
        e.recno = r.u32();
        e.key = r.str();
        if (!r.ok() || (!t.entries.empty() && !(t.entries.back() < e))) return std::nullopt;
        t.entries.push_back(std::move(e));
    }
    return t;
}

std::optional<std::string> readWhole(const std::string& path) {
    try {
        const std::optional<os::File> in = os::File::openIfExists(path, os::Access::Read);
        if (!in || in->size() > kMaxFileSize) return std::nullopt;
        return in->readAll();
    } catch (const DbError&) {
        return std::nullopt;  // an unreadable index is an absent one: its keys are rebuilt
    }
}

} // namespace

namespace mdx {

std::optional<MdxContents> parse(std::string_view bytes) {
    if (bytes.size() < sizeof kSignature + 8) return std::nullopt;
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    if (Reader(bytes.substr(body.size())).u64() != contentHash(body.data(), body.size())) return std::nullopt;
    return parseBody(body);
}

std::optional<MdxContents> parseBody(std::string_view body) {
    if (body.size() < sizeof kSignature || std::memcmp(body.data(), kSignature, sizeof kSignature) != 0)
        return std::nullopt;
    Reader r(body);
    r.take(sizeof kSignature);
    const uint32_t version = r.u32();
    if (version != kFormatVersion && version != kFormatWithoutIdentity) return std::nullopt;
    MdxContents c;
    if (version == kFormatVersion) {
        c.tableFile = r.str();
        c.layout = r.u64();
    }
    c.tableSize = r.u64();
    c.tableHash = r.u64();
    c.collationVersion = r.str();
    const uint32_t tagCount = r.u32();
    if (!r.ok() || tagCount > r.left() / 13) return std::nullopt;  // 13: the smallest tag
    for (uint32_t i = 0; i < tagCount; ++i) {
        auto tag = parseTag(r);
        if (!tag) return std::nullopt;
        c.tags.push_back(std::move(*tag));
    }
    if (!r.ok() || r.left() != 0) return std::nullopt;
    return c;
}

std::string serialize(const MdxContents& contents) {
    Writer w;
    writeBody(w, contents);
    w.u64(contentHash(w.data().data(), w.data().size()));
    return std::move(w.data());
}

uint64_t layoutFingerprint(const FieldList& fields) {
    std::string text;
    for (const FieldDef& f : fields)
        text += upperAscii(f.name) + '\0' + f.type + std::to_string(f.width) + '.' + std::to_string(f.decimals) + ';';
    return contentHash(text.data(), text.size());
}

std::optional<MdxContents> read(const std::string& path) {
    const auto bytes = readWhole(path);
    if (!bytes) return std::nullopt;
    return parse(*bytes);
}

void write(const std::string& path, const MdxContents& contents) { os::writeFileReplacing(path, serialize(contents)); }

bool isOurs(const std::string& path) {
    try {
        const std::optional<os::File> in = os::File::openIfExists(path, os::Access::Read);
        char head[sizeof kSignature];
        return in && in->readAt(head, sizeof head, 0) == sizeof head && std::memcmp(head, kSignature, sizeof head) == 0;
    } catch (const DbError&) {
        return false;
    }
}

} // namespace mdx
} // namespace velmora::db
