#pragma once
// "Teljes adatállomány beolvasása RUV-től" as the main menu runs it: the
// location window chooses where the fund's archive is, a progress dialog
// follows the work, and every message comes through the program's boxes.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "exchange/FullImport.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class TAlapkeres;

class FullImportCommand : private exchange::FullImportWindows {
public:
    FullImportCommand(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                      TAlapkeres& location);

    // The menu item, through the guard.
    MenuCommands commands();
    void run();

private:
    std::optional<std::string> sourceDirectory() override;

    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    TAlapkeres& location_;
};

} // namespace velmora::ui
