#pragma once
// A sheet's changes into the history: its two rows read as field texts
// before and after a change, and the fields that differ written as one
// history entry in the change's write unit.
#include "db/Database.h"
#include "sheets/Sheet.h"
#include "store/History.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::sheets {

// The sheet's fields as stored: the header row's, then the visit row's
// days (TEVn, APBTAJn, ELIn; the visit date APDATn follows from the day and
// is left out, as are the key and the fields both rows repeat). Blank
// fields are empty texts; `exists` is false when there is no header row.
struct SheetSnapshot {
    bool exists = false;
    std::string taj;
    std::vector<std::pair<std::string, std::string>> fields;
};
SheetSnapshot snapshotOf(db::Database& db, const SheetKey& key);

// The fields that differ between the two, in the order of the rows; a field
// missing on one side counts as empty.
std::vector<store::history::FieldChange> changedFields(const SheetSnapshot& before, const SheetSnapshot& after);

// The entry for the change of the sheet `key` (its state now, read against
// `before`); nothing when no field changed and there is no note.
std::optional<store::history::Entry> changeEntry(db::Database& db, const std::string& action, const SheetKey& key,
                                                 const SheetSnapshot& before, const std::string& note = {});

// changeEntry written into the history at once.
void recordChange(db::Database& db, const std::string& action, const SheetKey& key, const SheetSnapshot& before,
                  const std::string& note = {});

// Many sheets changed by one command (a shipment, the fund's answer): their
// state before, and one entry each for those that changed.
using SheetSnapshots = std::vector<std::pair<SheetKey, SheetSnapshot>>;
SheetSnapshots snapshotsOf(db::Database& db, const std::vector<SheetKey>& keys);
void recordChanges(db::Database& db, const std::string& action, const SheetSnapshots& before,
                   const std::string& note = {});

} // namespace velmora::sheets
