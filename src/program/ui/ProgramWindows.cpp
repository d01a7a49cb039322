#include "program/ui/ProgramWindows.h"

#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "app/Session.h"
#include "backup/ui/BackupCommands.h"
#include "check/ui/CheckCommand.h"
#include "db/Database.h"
#include "exchange/ui/ExchangeWindows.h"
#include "exchange/ui/FullImportCommand.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "overview/ui/OverviewCommands.h"
#include "program/ui/StartUp.h"
#include "register/ui/RegisterWindows.h"
#include "reports/ui/EmployeeDaysCommand.h"
#include "reports/ui/HistoryCommand.h"
#include "reports/ui/MasterListCommands.h"
#include "reports/ui/MonthlyCommands.h"
#include "reports/ui/SheetPrintCommand.h"
#include "reports/ui/TajListCommands.h"
#include "sheets/SheetStore.h"
#include "sheets/ui/SheetWindows.h"
#include "shell/ui/LogCommand.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/Tfokep.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/GridSaving.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtText.h"

#include <QApplication>

namespace velmora::ui {

ProgramWindows::ProgramWindows(app::Session& session, db::Database& dbs, QtDialogs& boxes, app::Dialogs& dialogs) {
    gridSaving = std::make_unique<GridSaving>(session, dialogs);
    fokep = std::make_unique<Tfokep>(session, dialogs);
    boxes.setParentWindow(fokep.get());
    StatusPanels* panels = fokep->panels();
    boxes.setStatusSink([panels](int panel, const QString& text) { panels->setText(panel, text); });
    periods = std::make_unique<app::ZarasPeriodTable>(store::tableOf(dbs, store::schema::ZARAS()));
    passwords = std::make_unique<app::SysPasswordStore>(dbs);
    fokep->setPeriodTable(periods.get());
    fokep->setPasswordStore(passwords.get());
    ConnectCommands(*fokep, session, dbs, dialogs);
    masterData = std::make_unique<MasterDataWindows>(*fokep, session, dbs, dialogs);
    for (const MenuCommand& command : masterData->commands()) fokep->setCommand(qs(command.item), command.run);
    sheetWindows = std::make_unique<SheetWindows>(*fokep, session, dbs, dialogs, *masterData);
    registerWindows = std::make_unique<RegisterWindows>(*fokep, session, dbs, dialogs, *sheetWindows);
    for (const MenuCommand& command : registerWindows->commands()) fokep->setCommand(qs(command.item), command.run);
    exchangeWindows =
        std::make_unique<ExchangeWindows>(*fokep, session, dbs, dialogs, *registerWindows, *fokep->alapkeres());
    for (const MenuCommand& command : exchangeWindows->commands()) fokep->setCommand(qs(command.item), command.run);
    fullImport = std::make_unique<FullImportCommand>(*fokep, session, dbs, dialogs, *fokep->alapkeres());
    for (const MenuCommand& command : fullImport->commands()) fokep->setCommand(qs(command.item), command.run);
    backupCommands = std::make_unique<BackupCommands>(*fokep, session, dbs, dialogs, *fokep->alapkeres());
    for (const MenuCommand& command : backupCommands->commands()) fokep->setCommand(qs(command.item), command.run);
    checkCommand = std::make_unique<CheckCommand>(*fokep, dbs, dialogs);
    for (const MenuCommand& command : checkCommand->commands()) fokep->setCommand(qs(command.item), command.run);
    masterLists = std::make_unique<MasterListCommands>(*fokep, session, dbs, dialogs);
    for (const MenuCommand& command : masterLists->commands()) fokep->setCommand(qs(command.item), command.run);
    sheetPrint = std::make_unique<SheetPrintCommand>(session, dbs, dialogs, *registerWindows);
    for (const MenuCommand& command : sheetPrint->commands()) fokep->setCommand(qs(command.item), command.run);
    history = std::make_unique<HistoryCommand>(*fokep, session, dbs, dialogs, *registerWindows);
    for (const MenuCommand& command : history->commands()) fokep->setCommand(qs(command.item), command.run);
    tajLists = std::make_unique<TajListCommands>(*fokep, session, dbs, dialogs, masterData->betegval);
    for (const MenuCommand& command : tajLists->commands()) fokep->setCommand(qs(command.item), command.run);
    employeeDays = std::make_unique<EmployeeDaysCommand>(*fokep, session, dbs, dialogs);
    for (const MenuCommand& command : employeeDays->commands()) fokep->setCommand(qs(command.item), command.run);
    monthly = std::make_unique<MonthlyCommands>(*fokep, session, dbs, dialogs);
    for (const MenuCommand& command : monthly->commands()) fokep->setCommand(qs(command.item), command.run);
    OverviewLinks links;
    links.openRegister = [this](const std::string& filter) { registerWindows->recordingOf(filter); };
    links.viewSheet = [this, &dbs](const sheets::SheetKey& key) {
        if (const auto sheet = sheets::loadSheet(dbs, key))
            sheetWindows->storedSheet(*sheet, sheets::EntryMode::View, QApplication::activeWindow());
    };
    overview = std::make_unique<OverviewCommands>(*fokep, session, dbs, dialogs, std::move(links));
    for (const MenuCommand& command : overview->commands()) fokep->setCommand(qs(command.item), command.run);
    log = std::make_unique<LogCommand>(*fokep, session, dialogs);
    for (const MenuCommand& command : log->commands()) fokep->setCommand(qs(command.item), command.run);
}

ProgramWindows::ProgramWindows(app::Session& session, db::Database& dbs, QtDialogs& boxes)
    : ProgramWindows(session, dbs, boxes, boxes) {}

// The windows go before the tables and the main window they use.
ProgramWindows::~ProgramWindows() = default;

} // namespace velmora::ui
