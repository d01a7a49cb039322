#pragma once
// The start-up sequence across the layers, as plain logic. The windows it
// needs (login, period window, the main window's caption) are reached
// through StartupWindows, so the sequence runs the same under the real main
// window and in a test:
//   settleInterruptedWrite       (before any table is opened or created)
//   login
//   Crtzaras                     (before the period window)
//   period window
//   openTablesAfterPeriod        (contract check, own tables)
//   caption, patient-name lookup of the sheets
//   Konyvtaraz                   (working directories)
//   runStartupMaintenance
//   ertad                        (base fee)
// An error inside the sequence stops the rest of it and is shown; the main
// window opens nevertheless.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"

namespace velmora::program {

class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    // The login window; false when the program must end.
    virtual bool login() = 0;
    // The period window at start-up; false when the program must end.
    virtual bool choosePeriod() = 0;
    // The main window's caption with the version, once the contract is read.
    virtual void showVersionCaption() = 0;
};

// The contract check (its details go into the session and the status bar),
// then Crtapol, Crtorvos (and the removal of doctors without a code),
// Crtbeteg, Crtmaradv, Crtlapa (and the sheet defaults from 2016.01), Crtlapb.
// False when the program has to end; the reason has been shown.
bool openTablesAfterPeriod(db::Database& db, app::Session& session, app::Dialogs& dialogs);

// The period table maintenance, then the duplicate patient clean-up.
void runStartupMaintenance(db::Database& db, const app::Session& session, app::Dialogs& dialogs);

// What a kill or a power cut left is settled before any table opens (the
// recovery of store/Recovery.h, with the working folders of the current
// directory): what it did is shown in one line, its warnings after it.
// False when the tables cannot be used (the program must end).
bool settleInterruptedWrite(const db::Database& db, app::Dialogs& dialogs);

// The whole sequence. False when the program must end before the event
// loop (login or period window refused, missing fund tables, another copy
// of the program holding the data directory).
bool runStartup(db::Database& db, app::Session& session, app::Dialogs& dialogs, StartupWindows& windows);

} // namespace velmora::program
