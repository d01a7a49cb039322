#pragma once
// "Dolgozók teljesített napjai": the employees' capacity against the visit
// days of the current period, in the report preview.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class EmployeeDaysCommand {
public:
    EmployeeDaysCommand(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);
    MenuCommands commands();
    void print();

private:
    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
};

} // namespace velmora::ui
