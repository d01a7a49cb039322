#pragma once
// "Elszámolási lapok nyomtatása": the register in printing mode, whose
// "Nyomtatás" shows the marked sheets' forms in the preview and clears
// every print mark afterwards, printed or not.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

namespace velmora::ui {

class RegisterWindows;

class SheetPrintCommand {
public:
    SheetPrintCommand(app::Session& session, db::Database& dbs, app::Dialogs& dialogs, RegisterWindows& registerWindows);

    MenuCommands commands();
    void openForPrinting();
    // The register's "Nyomtatás".
    void printMarked();

private:
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    RegisterWindows& registerWindows_;
};

} // namespace velmora::ui
