#pragma once
// The two clean-ups of every start, run once the tables are open. Each shows
// its numbered message when it fails, and start-up goes on.
#include "app/Clock.h"
#include "app/Dialogs.h"
#include "db/Database.h"

namespace velmora::app {

// Brings the period table in line with the sheets sent in the six months
// before this one: a sent period without a row gets one, closed on the 5th
// of the following month, with its sheet count; a sent period closed later
// than the following month has its closing date moved back to that 5th; the
// row of the month after the last sent period is removed. With no sent sheet
// in those months nothing changes. Failure: "Hiba a lefutásban! (18)".
void maintainPeriodTable(db::Database& db, const Clock& clock, Dialogs& dialogs);

// For every group of patients alike in TAJ, sex and birth date, the first
// patient with that TAJ (in the table's current order) is deleted: one per
// group and start. Patients without a TAJ are never touched. BETEG is packed
// afterwards. Failure: "Hiba a lefutásban! (19)".
void removeDuplicatePatients(db::Database& db, Dialogs& dialogs);

} // namespace velmora::app
