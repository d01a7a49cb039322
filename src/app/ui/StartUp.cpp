#include "app/ui/StartUp.h"

#include "app/Clock.h"
#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "app/Reindex.h"
#include "app/StartupTables.h"
#include "app/TableSetup.h"
#include "app/Version.h"
#include "app/ui/QtDialogs.h"
#include "app/ui/StatusPanels.h"
#include "app/ui/QtText.h"
#include "app/ui/Tfokep.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Journal.h"
#include "masterdata/ui/MasterDataWindows.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>
#include <memory>

namespace velmora::ui {

void ConnectCommands(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    fokep.setOnIndexel([&fokep, &session, &dbs, &dialogs] {
        if (!app::Indexeles(dbs, session, dialogs)) QApplication::exit(0);
        fokep.setVersionCaption();
    });
}

bool RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    try {
        // What a kill or a power cut left of a write is settled before any table opens.
        const db::RecoveryReport recovery = db::recoverJournal(dbs.directory());
        for (const std::string& m : recovery.messages) {
            if (recovery.outcome == db::RecoveryOutcome::Replayed) dialogs.information(m);
            else dialogs.warning(m);
        }
        if (!recovery.tablesUsable()) return false;
        if (!fokep.runLogin()) return false;
        app::Crtzaras(dbs, dialogs);
        if (!fokep.runPeriodWindow(false)) return false;
        if (!app::openTablesAfterPeriod(dbs, session, dialogs)) return false;
        fokep.setVersionCaption();
        app::addPatientNameLookup(dbs);
        app::Konyvtaraz(session);
        app::runStartupMaintenance(dbs, session, dialogs);
    } catch (const db::DbError& e) {
        dialogs.error(e.what());
        // Another copy of the program owns the data directory: nothing here can work.
        if (e.code() == db::DbError::Code::Locked) return false;
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
    session.ertad();
    fokep.finishStartup();
    return true;
}

int RunProgram(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(app::kProgramTitle);

    app::SystemClock clock;
    app::Session session(clock);
    session.dataDir = app::ProgramDataDir(ss(QApplication::applicationDirPath()));
    db::Database dbs(session.dataDir);
    QtDialogs dialogs;

    std::unique_ptr<Tfokep> fokep;
    std::unique_ptr<app::ZarasPeriodTable> periods;
    std::unique_ptr<app::SysPasswordStore> passwords;
    std::unique_ptr<MasterDataWindows> masterData;
    try {
        fokep = std::make_unique<Tfokep>(session, dialogs);
        dialogs.setParentWindow(fokep.get());
        dialogs.setStatusPanels(fokep->panels());
        periods = std::make_unique<app::ZarasPeriodTable>(dbs.table("ZARAS", "Zaras.dbf"));
        passwords = std::make_unique<app::SysPasswordStore>(dbs);
        fokep->setPeriodTable(periods.get());
        fokep->setPasswordStore(passwords.get());
        ConnectCommands(*fokep, session, dbs, dialogs);
        masterData = std::make_unique<MasterDataWindows>(*fokep, session, dbs, dialogs);
        masterData->connectCommands();
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
