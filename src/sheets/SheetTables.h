#pragma once
// What the sheet tables HLAPA and HLAPB need at every start, once they are
// open.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "db/Database.h"

namespace velmora::sheets {

// Sheets from 2016.01 on carry the patient's type, nationality and area
// category; sheets stored before these were asked get the usual values
// (AZTIP "1", ALLAMP "HUN", TERKAT "01"). Failure: "Hiba a lefutásban!
// (lap_ures)", and HLAPA is left closed.
app::Outcome fillSheetDefaultsFrom2016(db::Database& db, app::Dialogs& dialogs);

// Gives HLAPA its read-only field bnev, the patient's name from BETEG by TAJ.
// Once per run, on the shared objects.
void addPatientNameLookup(db::Database& db);

} // namespace velmora::sheets
