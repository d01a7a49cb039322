#include "program/StartupSequence.h"

#include "app/Directories.h"
#include "db/DbError.h"
#include "masterdata/StartupCleanup.h"
#include "register/PeriodTableUpkeep.h"
#include "sheets/SheetTables.h"
#include "store/ContractCheck.h"
#include "store/History.h"
#include "store/TableSetup.h"
#include "store/Recovery.h"

#include <filesystem>

namespace velmora::program {

bool openTablesAfterPeriod(db::Database& db, app::Session& session, app::Dialogs& dialogs) {
    const auto contract = store::Szerz_nyit(db, dialogs);
    if (!contract) return false;
    store::showContractDetails(*contract, session, dialogs);
    store::Crtapol(db, dialogs);
    store::Crtorvos(db, dialogs);
    masterdata::removeDoctorsWithoutCode(db, dialogs);
    store::Crtbeteg(db, dialogs);
    store::Crtmaradv(db, dialogs);
    store::Crtlapa(db, dialogs);
    sheets::fillSheetDefaultsFrom2016(db, dialogs);
    store::Crtlapb(db, dialogs);
    store::history::Crtelozm(db, dialogs);
    return true;
}

void runStartupMaintenance(db::Database& db, const app::Session& session, app::Dialogs& dialogs) {
    reg::maintainPeriodTable(db, session.clock(), dialogs);
    masterdata::removeDuplicatePatients(db, dialogs);
}

bool settleInterruptedWrite(const db::Database& db, app::Dialogs& dialogs) {
    const store::RecoveryResult recovery =
        store::recoverDataDirectory(store::placesFor(db.directory(), std::filesystem::current_path().string()));
    if (!recovery.summary.empty()) dialogs.information(recovery.summary);
    for (const std::string& warning : recovery.warnings) dialogs.warning(warning);
    return recovery.usable;
}

bool runStartup(db::Database& db, app::Session& session, app::Dialogs& dialogs, StartupWindows& windows) {
    try {
        if (!settleInterruptedWrite(db, dialogs)) return false;
        if (!windows.login()) return false;
        store::Crtzaras(db, dialogs);
        if (!windows.choosePeriod()) return false;
        if (!openTablesAfterPeriod(db, session, dialogs)) return false;
        windows.showVersionCaption();
        sheets::addPatientNameLookup(db);
        app::Konyvtaraz(session);
        runStartupMaintenance(db, session, dialogs);
    } catch (const db::DbError& e) {
        dialogs.error(e.what());
        // Another copy of the program owns the data directory: nothing here can work.
        if (e.code() == db::DbError::Code::Locked) return false;
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
    session.ertad();
    return true;
}

} // namespace velmora::program
