#include "program/StartupSequence.h"

#include "app/DiagnosticLog.h"
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

namespace {

// What the result names when the failure had its own boxes already (the
// recovery's warnings, the list of missing fund tables).
const char* const kRecoveryUnusable = "A félbemaradt művelet nem rendezhető, a táblák nem használhatók.";
const char* const kContractUnreadable = "A szerződés adatai nem olvashatók, a program nem indulhat.";

} // namespace

bool openTablesAfterPeriod(db::Database& db, app::Session& session, app::Dialogs& dialogs,
                           std::vector<app::Failure>* stepFailures) {
    const auto note = [stepFailures](app::Outcome outcome) {
        if (outcome && stepFailures) stepFailures->push_back(std::move(*outcome));
    };
    const auto contract = store::Szerz_nyit(db, dialogs);
    if (!contract) return false;
    store::showContractDetails(*contract, session, dialogs);
    store::Crtapol(db, dialogs);
    store::Crtorvos(db, dialogs);
    note(masterdata::removeDoctorsWithoutCode(db, dialogs));
    store::Crtbeteg(db, dialogs);
    store::Crtmaradv(db, dialogs);
    store::Crtlapa(db, dialogs);
    note(sheets::fillSheetDefaultsFrom2016(db, dialogs));
    store::Crtlapb(db, dialogs);
    store::history::Crtelozm(db, dialogs);
    return true;
}

std::vector<app::Failure> runStartupMaintenance(db::Database& db, const app::Session& session, app::Dialogs& dialogs) {
    std::vector<app::Failure> failed;
    for (app::Outcome outcome :
         {reg::maintainPeriodTable(db, session.clock(), dialogs), masterdata::removeDuplicatePatients(db, dialogs)})
        if (outcome) failed.push_back(std::move(*outcome));
    return failed;
}

std::optional<app::Failure> settleInterruptedWrite(const db::Database& db, app::Dialogs& dialogs) {
    const store::RecoveryResult recovery =
        store::recoverDataDirectory(store::placesFor(db.directory(), std::filesystem::current_path().string()));
    if (!recovery.summary.empty()) {
        app::logEvent(app::LogLevel::Info, recovery.summary);
        dialogs.information(recovery.summary);
    }
    for (const std::string& warning : recovery.warnings) dialogs.warning(warning);
    if (recovery.usable) return std::nullopt;
    return app::Failure{app::FailureKind::Engine, kRecoveryUnusable,
                        recovery.warnings.empty() ? std::string() : recovery.warnings.back()};
}

namespace {

StartupResult ended(StartupResult::State state, std::optional<app::Failure> failure = std::nullopt) {
    return {state, std::move(failure), {}};
}

// The steps from the recovery to the working directories; the caller sets
// the base fee whatever happened here.
// Steps that fail with a message of their own go into `result`.
void runSteps(db::Database& db, app::Session& session, app::Dialogs& dialogs, StartupWindows& windows,
              StartupResult& result) {
    using State = StartupResult::State;
    if (auto failure = settleInterruptedWrite(db, dialogs)) {
        result = ended(State::Failed, std::move(failure));
        return;
    }
    if (!windows.login()) {
        result = ended(State::Ended);
        return;
    }
    store::Crtzaras(db, dialogs);
    if (!windows.choosePeriod()) {
        result = ended(State::Ended);
        return;
    }
    if (!openTablesAfterPeriod(db, session, dialogs, &result.stepFailures)) {
        result.state = State::Failed;
        result.failure = app::Failure{app::FailureKind::Refused, kContractUnreadable, {}};
        return;
    }
    windows.showVersionCaption();
    sheets::addPatientNameLookup(db);
    app::Konyvtaraz(session);
    for (app::Failure& failure : runStartupMaintenance(db, session, dialogs))
        result.stepFailures.push_back(std::move(failure));
}

} // namespace

StartupResult runStartup(db::Database& db, app::Session& session, app::Dialogs& dialogs, StartupWindows& windows) {
    using State = StartupResult::State;
    StartupResult result;
    try {
        runSteps(db, session, dialogs, windows, result);
        if (!result.goesOn()) return result;
    } catch (const db::DbError& e) {
        const app::Failure failure = app::failureOf(e);
        app::show(dialogs, failure);
        // Another copy of the program owns the data directory: nothing here can work.
        result.state = e.code() == db::DbError::Code::Locked ? State::Failed : State::Stopped;
        result.failure = failure;
        if (!result.goesOn()) return result;
    } catch (const std::exception& e) {
        const app::Failure failure = app::failureOf(e);
        app::show(dialogs, failure);
        result.state = State::Stopped;
        result.failure = failure;
    }
    session.ertad();
    return result;
}

} // namespace velmora::program
