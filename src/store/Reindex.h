#pragma once
// Closing and reopening all shared tables around file-level work (backup,
// restore, contract import), and "Indexelés", which throws every index file
// away and builds the tags again.
#include "app/Dialogs.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "store/ContractCheck.h"

#include <optional>

namespace velmora::store {

// Close, resp. open, the fourteen shared tables, in one fixed order.
void mindzar(db::Database& db);
void mindnyit(db::Database& db);

// Deletes the index files of the data directory; a missing one is no error.
// The tables must be closed.
void indtorol(db::Database& db);

// Rebuilds every missing index file, one progress step per table in the
// order of rebuilding, opens all tables and reads the contract details again
// (nothing when the contract has no FINKOD: the message has been shown and
// the program has to end). An engine failure throws and leaves the tables
// not yet reached closed.
std::optional<ContractDetails> indexel(db::Database& db, app::Dialogs& dialogs, app::Progress& progress);

// The "Indexelés" command: mindzar, indtorol, indexel, then the contract
// details into the session and the status bar and "Az indexelés
// befejeződött!!" into panel 0. False when the program has to end. An
// engine failure stops the command there and is thrown on to the command's
// guard, which shows it; the finished text is then not written.
bool Indexeles(db::Database& db, app::Session& session, app::Dialogs& dialogs, app::Progress& progress);

} // namespace velmora::store
