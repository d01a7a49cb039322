#pragma once
// One dBASE table file (.dbf): header, field descriptors and records.
//
// The whole file is read into memory when opened (the table is held
// exclusively, so the copy stays true). A change outside a transaction is
// written straight to the file: the record first, the header's record count
// after, so an interrupted append leaves at most bytes past the counted
// records, never a count that covers a record that is not there. Inside a
// transaction the file is held and the transaction writes it at commit.
#include "db/Codepage.h"
#include "db/FieldDef.h"
#include "db/Os.h"
#include "db/Value.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::db {

// The language driver mark of new tables. New tables at level 4 are marked
// code page 852; level 3 tables are written as dBASE III wrote them,
// unmarked. Which marks the engine reads, and in which code page, is
// codePageOfMark's (Codepage.h).
constexpr uint8_t kLangDriverCp852 = 0x64;

struct DbfHeader {
    uint8_t version = 0x03;
    int year = 0, month = 0, day = 0;  // last update
    uint32_t recordCount = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;
    uint8_t mdxFlag = 0;         // byte 28: production index present
    uint8_t languageDriver = 0;  // byte 29
    FieldList fields;
    std::vector<int> offsets;    // field start within a record (byte 0 is the deletion flag)
};

// Parses and checks a header. fileSize is the whole file's size. Throws
// DbError(Damaged) naming fileName for anything that is not a usable table.
DbfHeader parseDbfHeader(std::string_view bytes, uint64_t fileSize, const std::string& fileName);

// The code page the header's language driver mark names. Throws
// DbError(Damaged) naming fileName and what the mark names when the engine
// cannot read that code page: such a file is refused, never read in
// another code page.
CodePage codePageOf(const DbfHeader& header, const std::string& fileName);

// The table level a header stands for: version byte 0x04 is level 7;
// otherwise a file with a language driver mark is level 4 (dBASE IV wrote
// the mark, dBASE III did not), one without it level 3.
int levelOf(const DbfHeader& header);

// Header and descriptor bytes for a new table (no records).
std::string buildDbfHeader(const FieldList& fields, int level, uint8_t languageDriver);

// Checks a field list for creation: names 1-10 characters, letters, digits
// and "_", unique (case-insensitive); known types with sane widths.
void validateFieldList(const FieldList& fields, const std::string& fileName);

class DbfFile {
public:
    // Creates (or overwrites) the file. Level 3 or 4.
    static void create(const std::string& path, const FieldList& fields, int level);

    // Opens with an exclusive lock (DbError(Locked) when another process
    // holds it) and reads the whole file. On a medium that takes no writes
    // the file opens for reading only (readOnly()).
    static std::unique_ptr<DbfFile> open(const std::string& path);
    ~DbfFile();
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    const std::string& path() const { return file_.path(); }
    const DbfHeader& header() const { return header_; }
    const FieldList& fields() const { return header_.fields; }
    int level() const { return levelOf(header_); }
    uint32_t recordCount() const { return header_.recordCount; }
    uint16_t recordLength() const { return header_.recordLength; }
    bool readOnly() const { return file_.readOnly(); }
    // The code page of the file's text, from its header: values are read
    // and written in it.
    CodePage codePage() const { return codePage_; }

    // Raw record bytes (deletion flag first). recno is 0-based.
    const char* raw(uint32_t recno) const;
    bool isDeleted(uint32_t recno) const { return raw(recno)[0] == '*'; }
    Value value(uint32_t recno, int field) const;

    // Encodes a value into a record buffer. Throws DbError(BadValue) naming
    // the field when it does not fit (too wide, not a date, not a number,
    // a character the file's code page lacks).
    void encode(char* record, int field, const Value& value) const;
    // A field of a record whose text is in code page cp.
    static Value decode(const char* record, const FieldDef& def, int offset, CodePage cp);
    std::string blankRecord() const;

    // Record changes. Written straight to the file (record first, header
    // count after) unless the file is held, when they change memory only.
    void write(uint32_t recno, const char* record);
    uint32_t append(const char* record);
    void setDeleted(uint32_t recno, bool deleted);
    // Removes all records.
    void zap();
    // Rewrites the file without the deleted records (a file without any
    // is left as it is); returns for each old record its new number (or
    // UINT32_MAX when removed).
    std::vector<uint32_t> pack();
    bool hasDeleted() const;

    // Writes raw header bytes at the given offset (clearing byte 28 before
    // rebuilding index tags). A language driver mark (byte 29) of a code
    // page the engine cannot read is refused before anything is written.
    void writeHeaderBytes(int offset, std::string_view bytes);

    // --- held changes, for the transaction that holds them ---------------
    // While held, record changes stay in memory; the holder keeps their
    // before-images and takes them to the file (Transaction.h).
    void hold(bool on) { held_ = on; }
    bool held() const { return held_; }
    // Memory only: a record's bytes put back, the records from count on dropped.
    void putBack(uint32_t recno, std::string_view bytes);
    void dropFrom(uint32_t count);
    // The header's first 8 bytes (version, last update, record count) as in
    // memory, and putting them back in memory.
    std::string headBytes() const { return headerBytes_.substr(0, 8); }
    void setHeadBytes(std::string_view head) { headerBytes_.replace(0, 8, head); }
    // To the file: records [first, first + count) from memory (with the end
    // mark after them when asked and they are the last ones); the record
    // count and today's date in the header; raw bytes; the length.
    void writeRecords(uint32_t first, uint32_t count, bool endMark);
    void writeCountAndDate();
    void writeRaw(uint64_t offset, std::string_view bytes);
    std::string readRaw(uint64_t offset, size_t size) const;
    void truncate(uint64_t size);
    // Flushes the file's data to the disk.
    void sync();

    // Size and hash of the file content as it is on disk.
    uint64_t fileSize() const;
    uint64_t hash() const;

private:
    DbfFile(os::File file);
    void load();
    std::string fieldBytes(const FieldDef& def, const Value& value) const;
    void writeAt(uint64_t offset, const void* data, size_t size);

    os::File file_;
    DbfHeader header_;
    CodePage codePage_ = CodePage::Cp852;
    std::string headerBytes_;
    std::vector<char> data_;   // recordCount * recordLength bytes
    bool headerDirty_ = false;
    bool held_ = false;
};

} // namespace velmora::db
