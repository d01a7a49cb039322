#include "program/ui/StartUp.h"

#include "app/Clock.h"
#include "app/DataDirLock.h"
#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "app/UserError.h"
#include "app/Version.h"
#include "backup/ui/BackupCommands.h"
#include "check/ui/CheckCommand.h"
#include "db/Database.h"
#include "exchange/EReport.h"
#include "exchange/ui/ExchangeWindows.h"
#include "exchange/ui/FullImportCommand.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "program/StartupSequence.h"
#include "register/ui/RegisterWindows.h"
#include "reports/ui/EmployeeDaysCommand.h"
#include "reports/ui/MasterListCommands.h"
#include "reports/ui/MonthlyCommands.h"
#include "reports/ui/SheetPrintCommand.h"
#include "reports/ui/TajListCommands.h"
#include "sheets/ui/SheetWindows.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/Tfokep.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"
#include "store/Schemas.h"
#include "widgets/CommandGuard.h"
#include "widgets/GuardedApplication.h"
#include "widgets/Placement.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtProgress.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <exception>
#include <memory>

namespace velmora::ui {

namespace {

// The start-up's windows are the main window's.
class MainWindowSteps : public program::StartupWindows {
public:
    explicit MainWindowSteps(Tfokep& fokep) : fokep_(fokep) {}
    bool login() override { return fokep_.runLogin(); }
    bool choosePeriod() override { return fokep_.runPeriodWindow(false); }
    void showVersionCaption() override { fokep_.setVersionCaption(); }

private:
    Tfokep& fokep_;
};

} // namespace

void ConnectCommands(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    fokep.setCommandGuard(CommandGuard(dialogs, &dbs));
    fokep.setOnIndexel([&fokep, &session, &dbs, &dialogs] {
        QtProgress progress(&fokep);
        if (!store::Indexeles(dbs, session, dialogs, progress)) QApplication::exit(0);
        fokep.setVersionCaption();
    });
}

bool RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    MainWindowSteps steps(fokep);
    if (!program::runStartup(dbs, session, dialogs, steps)) return false;
    fokep.finishStartup();
    return true;
}

bool HoldDataDir(const std::string& dataDir, std::unique_ptr<app::DataDirLock>& hold) {
    hold.reset();
    try {
        hold = app::DataDirLock::tryAcquire(dataDir);
        if (!hold) {
            QMessageBox box(QMessageBox::NoIcon, app::kProgramTitle, qs(app::dataDirHeldMessage(dataDir)),
                            QMessageBox::Ok);
            box.exec();
            return false;
        }
    } catch (const app::UserError&) {
        // No data directory yet: the start-up says so in its own words.
    }
    return true;
}

int RunProgram(int argc, char** argv) {
    // The e-report page's browser wants this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    GuardedApplication application(argc, argv);
    QApplication::setApplicationName(app::kProgramTitle);
    SetWindowPlacesFile(DefaultWindowPlacesFile());

    app::SystemClock clock;
    app::Session session(clock);
    session.dataDir = app::ProgramDataDir(
        app::InstallationDir(ss(QApplication::applicationDirPath()), std::getenv("VELMORA_HOME")));
    std::unique_ptr<app::DataDirLock> hold;
    if (!HoldDataDir(session.dataDir, hold)) return 1;
    db::Database dbs(session.dataDir);
    QtDialogs dialogs;
    // The last guard: a failure no command caught is shown, not fatal.
    const CommandGuard guard(dialogs, &dbs);
    application.setGuard(&guard);
    struct Unguard {
        GuardedApplication& application;
        ~Unguard() { application.setGuard(nullptr); }  // before the dialogs and tables go
    } unguard{application};

    std::unique_ptr<Tfokep> fokep;
    std::unique_ptr<app::ZarasPeriodTable> periods;
    std::unique_ptr<app::SysPasswordStore> passwords;
    std::unique_ptr<MasterDataWindows> masterData;
    std::unique_ptr<SheetWindows> sheetWindows;
    std::unique_ptr<RegisterWindows> registerWindows;
    std::unique_ptr<ExchangeWindows> exchangeWindows;
    std::unique_ptr<FullImportCommand> fullImport;
    std::unique_ptr<BackupCommands> backupCommands;
    std::unique_ptr<CheckCommand> checkCommand;
    std::unique_ptr<MasterListCommands> masterLists;
    std::unique_ptr<SheetPrintCommand> sheetPrint;
    std::unique_ptr<TajListCommands> tajLists;
    std::unique_ptr<EmployeeDaysCommand> employeeDays;
    std::unique_ptr<MonthlyCommands> monthly;
    try {
        fokep = std::make_unique<Tfokep>(session, dialogs);
        dialogs.setParentWindow(fokep.get());
        StatusPanels* panels = fokep->panels();
        dialogs.setStatusSink([panels](int panel, const QString& text) { panels->setText(panel, text); });
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
        exchangeWindows = std::make_unique<ExchangeWindows>(*fokep, session, dbs, dialogs, *registerWindows,
                                                            *fokep->alapkeres(),
                                                            exchange::eReportAddress(session.dataDir));
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
        tajLists = std::make_unique<TajListCommands>(*fokep, session, dbs, dialogs, masterData->betegval);
        for (const MenuCommand& command : tajLists->commands()) fokep->setCommand(qs(command.item), command.run);
        employeeDays = std::make_unique<EmployeeDaysCommand>(*fokep, session, dbs, dialogs);
        for (const MenuCommand& command : employeeDays->commands()) fokep->setCommand(qs(command.item), command.run);
        monthly = std::make_unique<MonthlyCommands>(*fokep, session, dbs, dialogs);
        for (const MenuCommand& command : monthly->commands()) fokep->setCommand(qs(command.item), command.run);
        if (!RunStartUp(*fokep, session, dbs, dialogs)) return 0;
    } catch (const std::exception& e) {
        QMessageBox box(QMessageBox::NoIcon, app::kProgramTitle,
                        QString("Hiba a program indításakor: ") + qs(e.what()), QMessageBox::Ok);
        box.exec();
        if (!fokep) return 1;  // no window would ever end the event loop
    }
    return application.exec();
}

} // namespace velmora::ui
