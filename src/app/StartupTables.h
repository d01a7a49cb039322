#pragma once
// The table steps of start-up, for the main window to run around the login,
// the period window and the directory set-up:
//   Crtzaras                     (before the period window)
//   openTablesAfterPeriod        (after it)
//   Konyvtaraz                   (Directories.h)
//   runStartupMaintenance
// A step that throws stops the rest of start-up; the main window shows the
// error's message.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"

namespace velmora::app {

// The contract check (its details go into the session and the status bar),
// then Crtapol, Crtorvos, Crtbeteg, Crtmaradv, Crtlapa, Crtlapb. False when
// the program has to end; the reason has been shown.
bool openTablesAfterPeriod(db::Database& db, Session& session, Dialogs& dialogs);

// The period table maintenance, then the duplicate patient clean-up.
void runStartupMaintenance(db::Database& db, const Session& session, Dialogs& dialogs);

} // namespace velmora::app
