#pragma once
// "Szervíz → Adatok ellenőrzése": the data directory the program has open
// checked without a change, its report shown in a window.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class CheckWindow;

class CheckCommand {
public:
    CheckCommand(QWidget& owner, db::Database& dbs, app::Dialogs& dialogs);

    // "Adatok ellenőrzése", through the guard.
    MenuCommands commands();
    void run();

    CheckWindow* window() const { return window_; }

private:
    db::Database& db_;
    CommandGuard guard_;
    CheckWindow* window_;  // owned by the owner
};

} // namespace velmora::ui
