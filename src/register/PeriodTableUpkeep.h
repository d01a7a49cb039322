#pragma once
// The period table ZARAS kept in line with the sheets that were sent.
#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "db/Database.h"

namespace velmora::reg {

// Brings the period table in line with the sheets sent in the six months
// before this one: a sent period without a row gets one, closed on the 5th
// of the following month, with its sheet count; a sent period closed later
// than the following month has its closing date moved back to that 5th; the
// row of the month after the last sent period is removed. With no sent sheet
// in those months nothing changes. Failure: "Hiba a lefutásban! (18)".
app::Outcome maintainPeriodTable(db::Database& db, const app::Clock& clock, app::Dialogs& dialogs);

} // namespace velmora::reg
