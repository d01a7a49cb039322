#pragma once
// Reading and writing a sheet's two rows on the shared tables HLAPA and
// HLAPB. A sheet is found by its whole key ("idoszak;sorsz;resz"), a blank
// part letter matching a blank field. Writing never spans less than both
// rows: callers run it inside a db::WriteUnit with whatever else the same
// change touches (the patient, the doctors, the series' TELE marks).
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <optional>
#include <vector>

namespace velmora::sheets {

// The sheet with this key, or nothing. The visit row may be missing (a
// sheet whose visit row was lost reads with empty days); the shared tables'
// cursors do not move, and their filters hide nothing from these functions.
// A value the file holds damaged (a date "20240231", a number "*") reads
// as its raw text, a damaged number as 0; written back unchanged, its
// bytes stay.
std::optional<Sheet> loadSheet(db::Database& db, const SheetKey& key);

// The live records of either sheet table that hold exactly the key, in
// physical order.
std::vector<uint32_t> sheetRecords(const db::Table& table, const SheetKey& key);

// Whether a header row with this key exists.
bool sheetExists(db::Database& db, const SheetKey& key);

// Appends the sheet's header row and visit row (a visit row left behind
// with the key and no header is written over). The key must be free: the
// caller checks it with sheetExists and shows its message; a taken key
// still throws DbError(KeyViolation) and nothing is written.
void appendSheet(db::Database& db, const Sheet& sheet);

// Rewrites the rows of the sheet with sheet.key: every field of the header
// and of the visit row as the sheet holds it; a missing visit row is
// appended. Throws DbError(NotFound) when the header row is not there.
// Visit row (both functions): days 1 to the month's length only, later days
// are left as they are; the code, the nurse and APDAT are written on visit
// days (code and nurse filled; APDAT the day's date when the sheet holds
// none) and emptied on the others. Each call is a write unit of its own, or
// a part of the caller's.
void rewriteSheet(db::Database& db, const Sheet& sheet);

// Gives both rows of the sheet the key `to` (the register's conversion
// between full and first partial invoice); every other field stays, and so
// does the rows' place in the files. Throws DbError(NotFound) when the
// header row is not there, DbError(KeyViolation) when `to` is taken.
void changeSheetKey(db::Database& db, const SheetKey& from, const SheetKey& to);

// Removes both rows of the sheet (the register's delete): every live row
// holding the key in either table; nothing when there is none.
void removeSheet(db::Database& db, const SheetKey& key);

} // namespace velmora::sheets
