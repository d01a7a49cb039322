#pragma once
// What one field's stored bytes hold, read in place without allocating.
// It is the one reading of a record's bytes: DbfFile::decode builds a Value
// from it, and the SQL columns write it straight into SQLite's result.
#include "db/Decimal.h"
#include "db/FieldDef.h"

#include <cstddef>
#include <string_view>

namespace velmora::db {

struct StoredField {
    enum class Kind { Null, Text, Date, Number, Boolean, Damaged };
    Kind kind = Kind::Null;
    // Text and Damaged: the bytes in the file's code page, with the blanks the field
    // type drops removed; Date: the eight digits YYYYMMDD. Points into the
    // record, so it is valid only as long as the record is unchanged.
    std::string_view bytes;
    Decimal number;        // Number: at the field's decimals when it holds them
    bool boolean = false;  // Boolean
};

// Reads the field of the record that starts at offset. Blank is null; C
// (and any type this engine does not know) is right-trimmed text; D is a
// date only when its eight digits make a real date ("00000000" is blank);
// N, D or L bytes that are no value of their type are damaged.
StoredField readStoredField(const char* record, const FieldDef& def, int offset);

// Eight digits that make a real date (the year 0001 or later).
bool isDateDigits(std::string_view digits);

// The program's date text "YYYY.MM.DD" of eight date digits, into out (10 bytes).
void formatDate(std::string_view digits, char* out);

} // namespace velmora::db
