// Feeds arbitrary bytes to the index file reader: a bad file must be
// rejected (nullopt), never crash or allocate without bound.
#include "db/MdxFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/velmora-fuzz-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    const std::string path = dir + "/F.mdx";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    auto contents = velmora::db::mdx::read(path);
    if (contents)
        for (const auto& t : contents->tags) (void)t.entries.size();
    return 0;
}
