#pragma once
// The program from start to end: the application object, the session, the
// database, the main window with its start-up sequence, every layer's
// windows with their menu commands, and the event loop.
#include "app/Dialogs.h"
#include "app/Session.h"

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

// Runs the start-up sequence in the main window; false when the program must
// end before the event loop. An error inside the sequence stops the rest of
// it, is shown, and the main window opens nevertheless.
bool RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

// The data directory is the program's alone while it runs: a second copy,
// or velmora-batch, is turned away until it ends. False when another holds
// it (the user has been told); with no data directory yet, true and no
// hold (the start-up says so in its own words).
bool HoldDataDir(const std::string& dataDir, std::unique_ptr<app::DataDirLock>& hold);

// The whole program; the process's exit code.
int RunProgram(int argc, char** argv);

} // namespace velmora::ui
