#pragma once
// The program from start to end: the application object, the session, the
// database, the main window with its start-up sequence, and the event loop.
// Steps that belong to other parts of the program (creating and upgrading
// tables, the contract check, the maintenance of the period table, the
// patient clean-up) are handed in as hooks; a missing hook is skipped.
#include "app/Dialogs.h"
#include "app/Session.h"

#include <functional>

namespace velmora::db {
class Database;
}

namespace velmora::ui {

class Tfokep;

struct StartUpHooks {
    // Creates or upgrades ZARAS and leaves it open (before the period window).
    std::function<void(db::Database&)> crtzaras;
    // The contract check; false ends the program (missing tables from the fund).
    std::function<bool(db::Database&, Tfokep&)> szerzNyit;
    // Creates or upgrades and opens the program's own tables.
    std::function<void(db::Database&)> crtTables;
    // Period table maintenance from the sent sheets.
    std::function<void(db::Database&)> zarasMaintenance;
    // Duplicate patient clean-up.
    std::function<void(db::Database&)> duplicatePatients;
    // "Indexelés" of the main menu.
    std::function<void(db::Database&, Tfokep&)> indexel;
};

// Runs the start-up sequence in the main window; false when the program must
// end before the event loop. An error inside the sequence stops the rest of
// it, is shown, and the main window opens nevertheless.
bool RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                const StartUpHooks& hooks);

// The whole program; the process's exit code.
int RunProgram(int argc, char** argv, const StartUpHooks& hooks);

} // namespace velmora::ui
