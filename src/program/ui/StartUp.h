#pragma once
// The program from start to end: the application object, the session, the
// database, the main window with its start-up sequence, every layer's
// windows with their menu commands, and the event loop.
#include "app/Dialogs.h"
#include "app/Session.h"

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

// The whole program; the process's exit code.
int RunProgram(int argc, char** argv);

} // namespace velmora::ui
