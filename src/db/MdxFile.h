#pragma once
// The index file beside a table (".mdx"). Its inside is this program's own
// format, not dBASE's: the tag definitions, the sorted keys of every tag, and
// a stamp of the table file (its size and a hash of its whole content) plus
// the collation version. When the stamp no longer matches — the table was
// changed by another program, or this one stopped before closing it — the
// keys are rebuilt from the definitions; the definitions themselves survive.
#include "db/IndexTag.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::db {

struct MdxTag {
    std::string name;
    std::string expression;
    bool unique = false;
    std::vector<IndexEntry> entries;
};

struct MdxContents {
    // Whose index this is: the table's file name and layoutFingerprint of its
    // fields; an index is never used for another table or layout. A file of
    // the first format carries neither (empty tableFile).
    std::string tableFile;
    uint64_t layout = 0;
    uint64_t tableSize = 0;
    uint64_t tableHash = 0;
    std::string collationVersion;
    std::vector<MdxTag> tags;
};

namespace mdx {

// nullopt when the file is missing, not ours, or damaged; never throws for
// a bad file (the caller then treats the index as absent).
std::optional<MdxContents> read(const std::string& path);

// The same from the file's bytes.
std::optional<MdxContents> parse(std::string_view bytes);
// The bytes before the trailing checksum, read as parse reads them once the
// checksum matched (so a fuzzer can reach the parser without forging it).
std::optional<MdxContents> parseBody(std::string_view body);
// The whole file's bytes, checksum included.
std::string serialize(const MdxContents& contents);

// Written beside the old one, synced and renamed over it, so a crash never
// leaves half an index file. Throws DbError(Io) naming the file.
void write(const std::string& path, const MdxContents& contents);

// True when the file starts with this program's index file signature.
bool isOurs(const std::string& path);

// Fingerprint of a table's field layout (names without regard to case,
// types, widths, decimals): an index made for another layout is not used.
uint64_t layoutFingerprint(const FieldList& fields);

} // namespace mdx

// Fast 64-bit hash of a byte range (the table stamp).
uint64_t contentHash(const void* data, size_t size);

} // namespace velmora::db
