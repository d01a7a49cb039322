#pragma once
// The tables the fund supplies: the check that they are all there before the
// program runs, the upgrade of an old contract table, and the contract
// details the main window shows.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "store/Schemas.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::store {

struct ContractDetails {
    std::string v_finkod;      // FINKOD of the latest contract row
    std::string v_datum;       // its SZKEZD as date text
    std::string providerLine;  // status bar panel 1
};

// The seven tables the fund supplies, in the order of the check.
const std::vector<const schema::TableDef*>& fundTables();

// Szerz_nyit: rebuilds the missing index files of the fund's tables, brings
// an HSZERZ without FINKOD up to date, and, when all seven tables are there,
// opens them and runs finkodtolt. Nothing when the program has to end: the
// list of missing files (or finkodtolt's message) has been shown.
std::optional<ContractDetails> Szerz_nyit(db::Database& db, app::Dialogs& dialogs);

// AddField: HSZERZ (open) without a FINKOD column is rebuilt by ujszerz.
void AddField(db::Database& db, app::Dialogs& dialogs);
// ujszerz: copies HSZERZ through the current layout, FINKOD blank and
// NORMNAP, POTNAP zero; Szerz1 is current afterwards.
void ujszerz(db::Database& db, app::Dialogs& dialogs);

// finkodtolt: the latest contract row's FINKOD and start, and the provider
// line from PART. Nothing when the contract has no FINKOD column: the
// message has been shown and the program has to end.
std::optional<ContractDetails> finkodtolt(db::Database& db, app::Dialogs& dialogs);

// Puts the details where the main window keeps them: v_finkod and v_datum
// in the session, the provider line in status panel 1.
void showContractDetails(const ContractDetails& details, app::Session& session, app::Dialogs& dialogs);

} // namespace velmora::store
