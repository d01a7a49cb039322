// Feeds arbitrary bytes to the index file parser. A whole file rarely gets
// past the checksum, so the bytes are also read as the part behind it
// (parseBody). A bad file must be rejected (nullopt), never crash or
// allocate without bound; a file that parses must write back the same, and
// its tags must compile or be refused cleanly against a table's fields.
#include "db/DbError.h"
#include "db/FieldDef.h"
#include "db/IndexTag.h"
#include "db/KeyExpr.h"
#include "db/MdxFile.h"

#include <cstdint>
#include <string_view>

using namespace velmora::db;

namespace {

const FieldList kFields = {FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5),
                           FieldDef::character("Resz", 1), FieldDef::date("Kezd"),
                           FieldDef::numeric("Ssorszam", 5), FieldDef::logical("Jo")};

void useTags(const MdxContents& c) {
    for (const MdxTag& t : c.tags) {
        try {
            IndexTag tag(t.name, KeyExpr::compile(t.expression, kFields), t.unique);
            tag.assign(t.entries);
            for (const IndexEntry& e : tag.entries()) {
                (void)tag.prefixRange(e.key);
                (void)tag.holderOf(e.key, e.recno);
            }
        } catch (const DbError&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)mdx::parse(bytes);
    const auto contents = mdx::parseBody(bytes);
    if (!contents) return 0;
    // What was read is written back unchanged (so nothing was misread); a
    // file of the first format comes back in the current one, then stays.
    const std::string again = mdx::serialize(*contents);
    const bool current = bytes.substr(8, 4) == std::string_view("\x02\0\0\0", 4);
    if (current && std::string_view(again).substr(0, again.size() - 8) != bytes) __builtin_trap();
    const auto reread = mdx::parse(again);
    if (!reread || mdx::serialize(*reread) != again) __builtin_trap();
    useTags(*contents);
    return 0;
}
