#pragma once
// The clean-ups of the master-data tables that every start runs once the
// tables are open. Each shows its message when it fails, and start-up goes on.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "db/Database.h"

namespace velmora::masterdata {

// Doctors without a code cannot be chosen on a sheet; they go at every
// start. Failure: "Hiba az állomány készítésében! (null_orv_del)".
app::Outcome removeDoctorsWithoutCode(db::Database& db, app::Dialogs& dialogs);

// For every group of patients alike in TAJ, sex and birth date, the first
// patient with that TAJ (in the table's current order) is deleted: one per
// group and start. Patients without a TAJ are never touched. BETEG is packed
// afterwards. Failure: "Hiba a lefutásban! (19)".
app::Outcome removeDuplicatePatients(db::Database& db, app::Dialogs& dialogs);

} // namespace velmora::masterdata
