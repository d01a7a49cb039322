#pragma once
// A table file read whole into memory without opening it through the
// engine: no lock taken, nothing written, no index rebuilt, so that a
// check leaves the data directory exactly as it found it.
#include "db/DbfFile.h"

#include <cstdint>
#include <string>

namespace velmora::check {

class TableImage {
public:
    // Throws db::DbError naming the file when it cannot be read or is no
    // usable table (a truncated one, or one of a code page the engine does
    // not read, included).
    explicit TableImage(const std::string& path);

    const std::string& fileName() const { return fileName_; }
    const db::DbfHeader& header() const { return header_; }
    uint64_t fileSize() const { return bytes_.size(); }
    uint32_t recordCount() const { return header_.recordCount; }
    bool isDeleted(uint32_t recno) const { return record(recno)[0] == '*'; }
    int fieldIndex(const std::string& name) const;  // -1 when absent
    db::Value value(uint32_t recno, int field) const;
    // A field's value as trimmed text; "" for a missing field.
    std::string text(uint32_t recno, int field) const;

private:
    const char* record(uint32_t recno) const;

    std::string fileName_;
    std::string bytes_;
    db::DbfHeader header_;
    db::CodePage codePage_ = db::CodePage::Cp852;
};

} // namespace velmora::check
