#pragma once
// Marking sheets for sending or printing (JELOLES "*"): one sheet, the
// month's sheets, or every sheet the register lists. A bulk command is one
// write unit and one change of the table (the grid refreshes once).
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <string>

namespace velmora::reg {

// The program-wide toggle the two bulk commands share: off means the next
// bulk command marks, on means it unmarks. The sending mode's opening sets
// it off.
struct BulkToggle {
    bool on = false;
    // The mark the next bulk command writes ("*" or ""), flipping the toggle.
    std::string flip();
};

// Toggles the mark of one sheet (the register's row under the cursor).
void toggleMark(db::Database& db, const sheets::SheetKey& key);

// Writes `mark` into every sheet the shared HLAPA table shows under its
// current filter (the year, or the sending filter). Returns how many.
int markListed(db::Database& db, const std::string& mark);

// The month's sheets: of the current period and not sent elsewhere
// (ELKULDVE empty or the period); with a closed period chosen (zarnez),
// the period's sheets and those sent with its shipment. The register's own
// filter is left as it was.
int markMonth(db::Database& db, const std::string& period, bool zarnez, const std::string& mark);

// Clears every mark (after printing). Throws on failure.
void clearMarks(db::Database& db);

} // namespace velmora::reg
