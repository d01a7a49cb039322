#include "app/StartupTables.h"

#include "app/ContractCheck.h"
#include "app/StartupMaintenance.h"
#include "app/TableSetup.h"

namespace velmora::app {

bool openTablesAfterPeriod(db::Database& db, Session& session, Dialogs& dialogs) {
    const auto contract = Szerz_nyit(db, dialogs);
    if (!contract) return false;
    showContractDetails(*contract, session, dialogs);
    Crtapol(db, dialogs);
    Crtorvos(db, dialogs);
    Crtbeteg(db, dialogs);
    Crtmaradv(db, dialogs);
    Crtlapa(db, dialogs);
    Crtlapb(db, dialogs);
    return true;
}

void runStartupMaintenance(db::Database& db, const Session& session, Dialogs& dialogs) {
    maintainPeriodTable(db, session.clock(), dialogs);
    removeDuplicatePatients(db, dialogs);
}

} // namespace velmora::app
