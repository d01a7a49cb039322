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
// An error inside the sequence stops the rest of it and is shown; the
// result says so, with the failure and its cause, so that the program opens
// its main window for the repair (Indexelés, Visszatöltés) and velmora-batch
// stops with a failing exit code.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Session.h"
#include "db/Database.h"

#include <optional>
#include <vector>

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
// A step that fails is shown and the others go on; its failure is added to
// `stepFailures` when given.
bool openTablesAfterPeriod(db::Database& db, app::Session& session, app::Dialogs& dialogs,
                           std::vector<app::Failure>* stepFailures = nullptr);

// The period table maintenance, then the duplicate patient clean-up; each
// shown when it fails, and the start-up goes on. The steps that failed.
std::vector<app::Failure> runStartupMaintenance(db::Database& db, const app::Session& session, app::Dialogs& dialogs);

// What a kill or a power cut left is settled before any table opens (the
// recovery of store/Recovery.h, with the working folders of the current
// directory): what it did is shown in one line, its warnings after it, and
// both go to the diagnostic log. The failure when the tables cannot be used
// (the program must end).
std::optional<app::Failure> settleInterruptedWrite(const db::Database& db, app::Dialogs& dialogs);

// How the sequence ended.
struct StartupResult {
    enum class State {
        Ready,    // every step ran
        Stopped,  // a step failed: the rest did not run; the main window opens for the repair
        Ended,    // the user ended the program (login or period window left)
        Failed,   // the program cannot go on (missing fund tables, data directory held, recovery unusable)
    };
    State state = State::Ready;
    std::optional<app::Failure> failure;  // what stopped it, with its cause (Stopped, Failed)
    // Steps that failed while the start-up went on (shown, as a numbered
    // "Hiba a lefutásban!"): the program goes on; velmora-batch does not
    // run its command on tables a step could not set right.
    std::vector<app::Failure> stepFailures;

    bool ready() const { return state == State::Ready; }
    // The main window and its event loop follow (after a stopped sequence too).
    bool goesOn() const { return state == State::Ready || state == State::Stopped; }
};

// The whole sequence.
StartupResult runStartup(db::Database& db, app::Session& session, app::Dialogs& dialogs, StartupWindows& windows);

} // namespace velmora::program
