#pragma once
// Conversions between field values and SQLite values for the virtual tables
// and for statement results.
#include "db/Codepage.h"
#include "db/FieldDef.h"
#include "db/StoredField.h"
#include "db/Value.h"

struct sqlite3_context;
struct sqlite3_stmt;
struct sqlite3_value;

namespace velmora::db::sqlvalue {

// Column type that gives SQLite the right comparison affinity.
const char* declaredType(const FieldDef& field);

// A stored field as the SQL column value, written straight from the
// record's bytes: NULL, the text (a damaged value's too) read in the file's
// code page, 'YYYY.MM.DD', an integer or real at the field's decimals, 1/0.
void setResult(sqlite3_context* ctx, const StoredField& stored, const FieldDef& field, CodePage cp);

// An SQL value to be written into a field: REAL into N rounds to the field's
// decimals, integers and text stay exact; blank text is null.
Value toField(sqlite3_value* value, const FieldDef& field);

// Binds a parameter (numbers with decimals go as REAL).
int bind(sqlite3_stmt* stmt, int index, const Value& value);

// A result column of the current row. origin is the field the column reads
// straight from, or null (a computed column): an N field's number comes at
// that field's decimals (a computed REAL gets its shortest exact form), and
// a field's damaged value comes back damaged, so writing it into a table of
// the same layout keeps it.
Value column(sqlite3_stmt* stmt, int col, const FieldDef* origin);

// The shortest decimal that reads back as the same double.
Value fromDouble(double v);

} // namespace velmora::db::sqlvalue
