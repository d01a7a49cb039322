#pragma once
// The program from start to end: the application object, the session, the
// database, the main window with its start-up sequence, every layer's
// windows with their menu commands, and the event loop.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "program/StartupSequence.h"

#include <memory>
#include <string>

namespace velmora::app {
class DataDirLock;
}

namespace velmora::db {
class Database;
}

namespace velmora::ui {

class Tfokep;

// Connects the menu commands of the main window that work on the tables,
// and gives the main window its command guard over them.
void ConnectCommands(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

// Runs the start-up sequence in the main window. An error inside the
// sequence stops the rest of it and is shown; the result says so, and the
// main window opens nevertheless (for the repair) unless the program must
// end before the event loop.
program::StartupResult RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

// The data directory is the program's alone while it runs: a second copy,
// or velmora-batch, is turned away until it ends. False when another holds
// it (the user has been told); with no data directory yet, true and no
// hold (the start-up says so in its own words).
bool HoldDataDir(const std::string& dataDir, std::unique_ptr<app::DataDirLock>& hold);

struct ProgramWindows;

// The installation has no data yet: the first-start window, whose ways in
// run as their menu commands do. True when the data directory has been
// filled and the start-up goes on; false when the program ends (the window
// was left with "Mégsem" or closed). `demoTool` as for TElsoind.
bool RunFirstStart(ProgramWindows& windows, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                   const std::string& demoTool);

// The demo builder installed with the program in `programDir` (beside it,
// or in the bin folder of a packaged installation); empty when there is none.
std::string DemoToolBeside(const std::string& programDir);

// The process's exit code when the start-up ended the program: 0 when the
// user ended it, 1 after a failure.
int ExitCodeOf(const program::StartupResult& result);

// The whole program; the process's exit code. With VELMORA_SHOW_AND_QUIT
// set, the object name of the first window shown is printed and every window
// is closed as it appears, so that a script sees how the program starts.
int RunProgram(int argc, char** argv);

} // namespace velmora::ui
