#pragma once
// "Előzmények": the history window from the main menu (the whole history,
// chosen by the user's filters), and from the register's popup and key
// (the sheet under the cursor), which the command hands the register.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class RegisterWindows;
class TElozmeny;

class HistoryCommand {
public:
    HistoryCommand(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                   RegisterWindows& registerWindows);

    MenuCommands commands();
    TElozmeny* window() const { return window_; }            // from the menu
    TElozmeny* sheetWindow() const { return sheetWindow_; }  // over the register

private:
    CommandGuard guard_;
    TElozmeny* window_;       // owned by the owner
    TElozmeny* sheetWindow_;  // owned by the register
};

} // namespace velmora::ui
