#pragma once
// "Havi összesítő a floppy küldeményhez" (the number of ordering sheets
// from Tobe) and "Havonkénti elszámolás", both of the current period, in
// the report preview.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class Tobe;

class MonthlyCommands {
public:
    MonthlyCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);
    MenuCommands commands();
    void summary();
    void accounting();
    Tobe* tobe() const { return tobe_; }

private:
    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    Tobe* tobe_;  // owned by the owner
};

} // namespace velmora::ui
