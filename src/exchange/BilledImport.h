#pragma once
// "Elszámolt lapok beolvasása RUV-től": the fund's answer to a shipment.
// The four files HEa, HEb, HEc and HRuv are copied into TEMP and read
// there whole before anything local changes: every billed visit must be
// of the current period, every value must fit where it goes, and the fee
// file must be of the period. A billed visit of a sheet the provider no
// longer has (deleted since the shipment) is skipped and named in the
// summary: the rest of the fund's answer stays readable. Only then
// are the billing marks of the visits, the payment state of every sheet of
// the period and the period's base fee and advance written, as one write
// unit: a refusal or a failure leaves every table as it was.
#include "app/Date.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Decimal.h"
#include "exchange/IncomingFolder.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::exchange {

inline constexpr const char* kBilledDeclined = "Az elszámolt lapok beolvasása elmaradt!";
inline constexpr const char* kImportCaption = "Beolvasás helyének kiválasztása";
inline constexpr const char* kBilledMissing =
    "Nincs a megadott helyen beolvasandó állomány !!\nElszámolt lapok visszaolvasása megszakadt!!";
inline constexpr const char* kCopyFailed = "Hiba a mentésben";
inline constexpr const char* kBilledRunning = "Az elszámolt lapok beolvasása folyamatban...!!";
inline constexpr const char* kNoBilledSheet = "Nincs elszámolt lap";
inline constexpr const char* kOtherPeriod = "Nem az elszámolási időszak lapja, nem tölthető ki az elszámolás!";
inline constexpr const char* kBilledRefused = "Az elszámolt lapok beolvasása elmaradt, az adatok nem változtak.";
inline constexpr const char* kBilledDone = "Az elszámolt lapok beolvasása befejeződött!";

// The payment state of a sheet whose every visit day the fund billed (the
// character 251 of code page 852).
inline constexpr const char* kFullyPaid = "ű";

// Everything an import of billed sheets will write, worked out from the
// files and the local tables before any of it is written.
struct BilledPlan {
    int rowsRead = 0;
    std::vector<std::string> skipped;                         // HEb rows of sheets the provider lacks
    std::map<uint32_t, std::map<int, db::Value>> visitMarks;  // HLAPB record -> ELI field -> mark
    std::map<uint32_t, db::Value> payment;                    // HLAPA record -> ALLAPOT, where it changes
    int sheets = 0, fully = 0, partly = 0, unpaid = 0;        // the sheets of the period by payment
    std::optional<db::Decimal> alapdij, eloleg;               // from HRuv
    bool periodRow = false;                                   // ZARAS has a row of the period
};

// Reads the working copies of HEb and HRuv in `folder` and checks them
// against the local tables for `period` of the provider `intkod`. Throws
// app::UserError naming the file (and the row) of the first problem.
BilledPlan planBilled(db::Database& db, const std::string& folder, const std::string& intkod,
                      const std::string& period);

// Writes the plan as one write unit; ZARAS gets `today` as the day the
// fund's data was read. Throws what the engine throws; nothing has then
// changed.
void applyBilled(db::Database& db, const BilledPlan& plan, const std::string& period, const app::Date& today);

// The summary shown at the end.
std::string billedSummary(const BilledPlan& plan);

// The command: question, folder, copies, checks, the write unit, the
// summary. Every problem is shown here; the outcome names it.
app::Outcome importBilled(db::Database& db, const app::Session& session, app::Dialogs& dialogs, app::Progress& progress,
                  ImportWindows& windows);

} // namespace velmora::exchange
