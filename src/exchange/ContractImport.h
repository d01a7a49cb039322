#pragma once
// "Szerződések beolvasása RUV-től": the fund's contract files become the
// tables HSZERZ, HTERULET, HSZOLGSZ, HTHELY and, when sent, PART. The files
// are copied into TEMP and checked whole first: each readable to its last
// row (in the code page its header names), holding the fields the program
// reads in types it can read, its index keys buildable, HSZERZ with at
// least one contract and PART of the provider itself. Only then are the
// tables replaced, all of them or none (store::replaceTables), and their
// index files built anew.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "exchange/BilledImport.h"
#include "exchange/IncomingLayouts.h"
#include "store/TableReplacement.h"

#include <string>
#include <vector>

namespace velmora::exchange {

inline constexpr const char* kContractDeclined = "A szerződések beolvasása elmaradt!";
inline constexpr const char* kContractMissing =
    "Nincs a megadott helyen szerződés állomány !!\nSzerződéses adatok betöltése megszakadt!!";
inline constexpr const char* kContractRunning = "A szerződés frissítése folyamatban van!!";
inline constexpr const char* kContractRefused = "A szerződések beolvasása elmaradt, az adatok nem változtak.";
inline constexpr const char* kContractDone = "A szerződés frissítése befejeződött!!";
inline constexpr const char* kContractIndexDone = "Az indexelés befejeződött!!";

// One checked working copy and the table it replaces.
struct ContractFile {
    store::TableReplacement replacement;
    std::string sourceName;  // "HAs1234.dbf"
    int rows = 0;
};

// Checks the working copies in `folder` (named as the tables' files) of
// the tables in `files` for the provider `intkod`. Throws app::UserError,
// or db::DbError for a file the engine cannot read, naming the file.
std::vector<ContractFile> checkContractFiles(const std::string& folder, const std::vector<Incoming>& files,
                                             const std::string& intkod);

// The command: question, folder, copies, checks, the swap, the contract
// details of the main window read again, the summary. Every problem is
// shown here; the outcome names it.
app::Outcome importContracts(db::Database& db, app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                     ImportWindows& windows);

} // namespace velmora::exchange
