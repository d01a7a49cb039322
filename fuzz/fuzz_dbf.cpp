// Feeds arbitrary bytes to the table reader as a .dbf file: it must answer
// with a DbError or read every value, never crash or read out of bounds.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/velmora-fuzz-XXXXXX";
        return std::string(mkdtemp(tmpl));
    }();
    const std::string path = dir + "/F.DBF";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        auto file = velmora::db::DbfFile::open(path);
        for (uint32_t r = 0; r < file->recordCount(); ++r)
            for (size_t c = 0; c < file->fields().size(); ++c) file->value(r, static_cast<int>(c)).asString();
        if (file->recordCount() > 0) {
            std::string rec(file->raw(0), file->recordLength());
            for (size_t c = 0; c < file->fields().size(); ++c) {
                try {
                    file->encode(rec.data(), static_cast<int>(c), file->value(0, static_cast<int>(c)));
                } catch (const velmora::db::DbError&) {
                }
            }
        }
    } catch (const velmora::db::DbError&) {
    }
    return 0;
}
