#pragma once
// Where a browse grid leaves its table when the user leaves it, and how it
// puts the table back on return: the active index, the row and the active
// column. The sheet grid keeps the period shown in the main window as well,
// and comes back to its row only within the same year.
#include "db/Table.h"

#include <string>

namespace velmora::app {

struct StoredPosition {
    std::string index;                 // active index name; "" before the first exit
    db::Table::Bookmark bookmark = -1; // row; -1 before the first exit
    int64_t numbering = 0;             // the table's record numbering then
    int column = 0;                    // active column (voltoszlop)
    std::string period;                // sheet grid only: "YYYY.MM" shown then
};

struct FrameEntry {
    std::string entryIndex;  // the index set on every entry
    bool yearRule = false;   // sheet grid: restore only within the stored year
};

// Leaving a grid: the table's index, its current row and the active column;
// periodShown is kept for the year rule.
StoredPosition StorePosition(const db::Table& table, int activeColumn, const std::string& periodShown = {});

// Entering a grid: the entry index and the first row, then the stored
// position when there is one (and, with the year rule, when the stored
// period's year is the shown period's year). A stored row that is gone
// leaves the cursor on the first row. Returns the active column.
int EnterPosition(db::Table& table, const FrameEntry& entry, const StoredPosition& stored,
                  const std::string& periodShown = {});

} // namespace velmora::app
