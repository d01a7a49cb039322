#pragma once
// The monthly shipment to the fund. "Floppy-küldemény RUV-számára" opens
// the register in sending mode on the sheets that may go out; its
// "Adatküldés" writes the three files of the marked sheets into KULD,
// records in the sheets and in ZARAS that the period went out (which also
// closes the period), and then opens the fund's e-report page or copies
// the files where the user chooses.
//
// Nothing changes before the files are written whole, and the sheets'
// change is one write unit: a refusal or a failure up to the commit
// leaves every sheet, ZARAS and KULD as they were.
#include "app/Date.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/WriteUnit.h"
#include "exchange/KuldFolder.h"
#include "exchange/ShipmentFiles.h"
#include "register/Marking.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::exchange {

inline constexpr const char* kEarlierThanClosed = "Az utolsó zárás időszakánál korábbi zárást nem lehet megismételni!";
inline constexpr const char* kMarksNotCleared = "Hiba a lefutásban! (5)";
inline constexpr const char* kRunFailed = "Hiba a lefutásban!";
inline constexpr const char* kNothingMarked = "Nincs elküldendő elszámolási lap!";
inline constexpr const char* kNotRecorded =
    "Hiba a lefutásban! A lapok állapota nem változott, az állományok nem kerültek a KULD könyvtárba.";
inline constexpr const char* kEReportDone = "E-jelentés elkészült";
// The page never showed (no address given, or it did not load): the report
// is not claimed, and the copy is offered instead.
inline constexpr const char* kEReportNotDone =
    "Az e-jelentés nem készült el: a KAB oldala nem jelent meg. Az elküldendő adatok a KULD könyvtárban vannak!";
inline constexpr const char* kCopyCaption = "Másolás helyének kiválasztása";
inline constexpr const char* kNotCopied = "Másolás nem történt. Az elküldendő adatok a KULD könyvtárban vannak!";
inline constexpr const char* kShipmentDone = "Adatküldés befejeződött!";

// --- opening the register for sending ------------------------------------------

// The register's filter in sending mode for the shipment of `period`:
// the unsent sheets of the four months before it and of the period, the
// sheets already sent with its shipment (so that it can be repeated), and
// every correction, later closing and cancellation waiting to go or sent
// with it.
std::string sendingFilter(const std::string& period);

// Nothing when `period` may be sent, else the refusal: it lies before the
// last closed period (the ZARAS row with the greatest period).
std::optional<std::string> sendingRefusal(db::Database& db, const std::string& period);

// Before the register opens: the refusal (a warning), then every mark
// cleared (a failure is kMarksNotCleared with the engine's detail) and the
// bulk toggle off. The register's filter, or nothing after a message.
std::optional<std::string> openForSending(db::Database& db, const std::string& period, reg::BulkToggle& toggle,
                                          app::Dialogs& dialogs);

// --- the shipment ----------------------------------------------------------------

// The number of marked sheets in the whole table, whatever the register
// lists. Throws db::DbError.
int markedCount(db::Database& db);

// "Elküldhető N db elszámolási lap?", or the repeat wording when the user
// chose a period already closed.
app::Question sendQuestion(int count, bool zarnez);

// PART's INTKOD, "" without a row.
std::string providerIntkod(db::Database& db);

// PART's INTKOD when it can stand in the fund's file names; otherwise
// nothing, after an error that names it and ends with `consequence`.
std::optional<std::string> intkodForFileNames(db::Database& db, app::Dialogs& dialogs, const std::string& consequence);

// The state change of a shipment as one write unit: every marked sheet
// unmarked and sent with `period` (another period's sheet without MODTIPUS
// becomes "P", "K", "L" and "S" stay), its visit row sent with `period`,
// and the period's ZARAS row (new or overwritten) with the number of
// sheets `count` and the closing date `today`; with it the file operations
// that bring the shipment's files into KULD. Throws what the engine
// throws; then nothing has changed. Returns what the operations that may
// fail (old entries of KULD) reported.
std::vector<std::string> recordShipment(db::Database& db, const std::string& period, const app::Date& today,
                                        int count, const std::vector<db::FileOperation>& kuldMoves = {});

// The state change failed after the files were written: nothing changed,
// and the files of the attempt are gone.
struct ShipmentNotRecorded : std::runtime_error {
    using std::runtime_error::runtime_error;  // the engine's message
};

struct ShipmentResult {
    ShipmentCounts counts;
    std::vector<std::string> kuldProblems;  // old entries of KULD that stayed
    // The folder the files were written into, kept until the unit that
    // moves them into KULD has committed (an enclosing unit may do so later).
    std::shared_ptr<StagingFolder> staging;
};

// Writes the three files of the marked sheets into a folder beside KULD,
// then records the shipment and brings the files into KULD (emptied, PDFs
// kept in LISTA) as one write unit. Refusals, with nothing changed, as
// app::UserError: an INTKOD that cannot go into a file name, sheets that
// cannot be sent (one list), files that cannot be written.
// ShipmentNotRecorded when the unit fails: the sheets, ZARAS and KULD are
// then as they were (or, when its journal stood, finished at the next start).
ShipmentResult makeShipment(db::Database& db, const app::Session& session, int count, app::Progress& progress);

// What the windows do once the files are in KULD.
class ShipmentWindows {
public:
    virtual ~ShipmentWindows() = default;
    // The fund's e-report page, modally; false when it could not be shown
    // (no address given) or never loaded.
    virtual bool eReport() = 0;
    // The location window captioned kCopyCaption; the chosen directory, or
    // nothing when the user did not confirm.
    virtual std::optional<std::string> copyDirectory() = 0;
    // The register closes, as its "Kilépés" does.
    virtual void closeRegister() = 0;
};

// "Adatküldés": count, question, the shipment, then the e-report page or
// the copy, and the closing message. Every problem is shown here, and the
// outcome names the one that stopped it (a "Nem" as Cancelled). A caller
// that set the marks itself in `marks` (velmora-batch) has them reach the
// files with the shipment, in one unit; on any refusal they go back.
app::Outcome sendMarked(db::Database& db, const app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                        ShipmentWindows& windows, db::WriteUnit* marks = nullptr);

} // namespace velmora::exchange
