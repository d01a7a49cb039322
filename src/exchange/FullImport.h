#pragma once
// "Teljes adatállomány beolvasása RUV-től": the fund's complete data set of
// the provider's sheets replaces every local sheet. The archive
// "Telj<INTKOD>.arj" is unpacked into an empty folder of TEMP, exactly its
// three files are read and every row checked; only then does the user see
// how many local sheets go (and how many of them were never sent) and
// decide. New HLAPA and HLAPB files are written beside the old ones and
// put in their place at once; a refusal or failure before that leaves
// every local file as it was.
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "exchange/FullDataSet.h"

#include <optional>
#include <string>

namespace velmora::exchange {

inline constexpr const char* kFullImportCaption = "Beolvasás helyének kiválasztása";
inline constexpr const char* kFullImportDeclined = "Az adatfelülírás elmaradt!";
inline constexpr const char* kFullImportNoArchive =
    "Nincs a megadott helyen beolvasandó állomány !!\nA teljes adatállomány beolvasása megszakadt!!";
inline constexpr const char* kFullImportSeries = "A részszámlák befejegyzése folyamatban. Kis türelmet kérek...!!";
inline constexpr const char* kFullImportDone = "A teljes adatállomány cseréje befejeződött!";

// The local sheets the import would replace.
struct LocalSheets {
    int sheets = 0;  // rows of HLAPA
    int unsent = 0;  // of them never sent (no sending state)
};
LocalSheets localSheets(db::Database& db);

// The question before anything changes: the system's words, and below
// them what goes and what comes.
app::Question replaceQuestion(const LocalSheets& local, const FullDataSet& set);

// Unpacks the archive into `freshDir` (empty) and reads the data set.
// Throws app::UserError: members other than exactly HAa, HAb and HAc of
// `intkod` (in any letter case), or what the reading refuses;
// app::ArchiverError when the archiver fails or refuses a member's name.
FullDataSet unpackFullDataSet(const std::string& archive, const std::string& freshDir, const std::string& intkod);

// Puts the data set in place of HLAPA and HLAPB: both new files written
// into the data directory's staging folder, the full-series marks of the
// newest year written into them there, then both replaced in one write
// unit, their index files built anew. False when the marks could not be
// written (their error has been shown); throws what the engine or the
// replacement throws. Either way the old tables are then in place.
bool replaceSheets(db::Database& db, const FullDataSet& set, app::Dialogs& dialogs);

// What the command shows besides message boxes.
class FullImportWindows {
public:
    virtual ~FullImportWindows() = default;
    // The location window captioned kFullImportCaption; the chosen
    // directory, or nothing when the user did not confirm.
    virtual std::optional<std::string> sourceDirectory() = 0;
};

struct FullImportSummary {
    int rowsRead = 0;        // records of the three files
    int sheetsReplaced = 0;  // local sheets that went
    int sheetsRead = 0;      // sheets of the fund's set now in HLAPA
    int filesWritten = 0;    // table and index files put in place
};

// The whole command; every problem is shown here. The summary when the
// sheets were replaced, else the failure (or the "Nem") that stopped it.
app::Result<FullImportSummary> importFullDataSet(db::Database& db, const app::Session& session, app::Dialogs& dialogs,
                                                 app::Progress& progress, FullImportWindows& windows);

} // namespace velmora::exchange
