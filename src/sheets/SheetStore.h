#pragma once
// Reading and writing a sheet's two rows on the shared tables HLAPA and
// HLAPB. A sheet is found by its whole key ("idoszak;sorsz;resz"), a blank
// part letter matching a blank field. Writing never spans less than both
// rows: callers run it inside a db::WriteUnit with whatever else the same
// change touches (the patient, the doctors, the series' TELE marks).
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <optional>

namespace velmora::sheets {

// The sheet with this key, or nothing. The visit row may be missing (a
// sheet whose visit row was lost reads with empty days); the shared tables'
// cursors do not move.
std::optional<Sheet> loadSheet(db::Database& db, const SheetKey& key);

// Whether a header row with this key exists.
bool sheetExists(db::Database& db, const SheetKey& key);

// Appends the sheet's header row and visit row. The key must be free:
// DbError(KeyViolation)-like refusal is the caller's check (sheetExists).
void appendSheet(db::Database& db, const Sheet& sheet);

// Rewrites the rows of the sheet with sheet.key: every field of the header
// and of the visit row as the sheet holds it; a missing visit row is
// appended. Throws DbError(NotFound) when the header row is not there.
void rewriteSheet(db::Database& db, const Sheet& sheet);

// Removes both rows of the sheet (the register's delete).
void removeSheet(db::Database& db, const SheetKey& key);

} // namespace velmora::sheets
