#pragma once
// The register's commands that change a recorded sheet: modify, delete or
// cancel, and convert between full and first partial invoice. Each first
// decides from the sheet's sending state, its period and the calendar
// whether the fund still allows the change (plain functions, no tables);
// each change is then one write unit over HLAPA and HLAPB and the TELE
// marks of the series, so a failure or a kill leaves the sheet as it was.
#include "app/Date.h"
#include "app/Dialogs.h"
#include "app/PeriodChoice.h"
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <optional>
#include <string>

namespace velmora::reg {

// The messages of the commands.
inline constexpr const char* kFromFund = "RUV-től visszakapott adat! Nem javítható!";
inline constexpr const char* kOutsideCorrection = "Korrekciós időn kívül! Nem javítható!";
inline constexpr const char* kNotThisPeriod = "Nem az elszámolási időszak lapja! Nem javítható!";
inline constexpr const char* kCancelOutside = "Már elküldött lap és korrekciós időn kívüli, nem törölhető!";
inline constexpr const char* kCancelDone = "A sztornózás megtörtént! Az adatküldésnél kiválasztható elküldésre!";
inline constexpr const char* kConvertSent = "Már elküldött lap, nem javítható!";
inline constexpr const char* kConvertOther = "Nem teljes, vagy nem első részszámla! Nem javítható! ";
inline constexpr const char* kConvertBroken = "Hibás adat! A javítás nem hajtható végre!";

// The first period still inside the correction window: the month of the
// date 5 months before today (4 months while today is before 2011.01.01).
std::string correctionLimit(const app::Date& today);

// Whether the closing of a period counts as recent: its closing date lies
// in today's month of today's year and today is at most `lastDay` (10 for
// deleting, 9 for converting). An empty or damaged closing date is not.
bool recentClosing(const std::string& closingDate, const app::Date& today, int lastDay);

// --- modify -----------------------------------------------------------------

// Nothing when the sheet may be modified in `period`, else the refusal's
// message (first rule that applies): unsent only in its own period; from
// the fund never; sent with this period's shipment, or another period's
// sent sheet of this period, while inside the correction window; "YY" only
// in its own period.
std::optional<std::string> modifyRefusal(const std::string& elkuldve, const std::string& idoszak,
                                         const std::string& period, const app::Date& today);

// --- delete or cancel ----------------------------------------------------------

enum class DeleteAction {
    Delete,  // physical deletion: unsent, or of the last closed period freshly closed
    Cancel,  // cancellation: sent, inside the correction window
    Refuse,  // sent and outside the correction window (kCancelOutside)
    FromFund,  // taken over from the fund: never changed (kFromFund)
};
// `lastClosed` is the ZARAS row with the greatest period (nothing when the
// table is empty).
DeleteAction deleteAction(const std::string& elkuldve, const std::string& idoszak,
                          const std::optional<app::PeriodRow>& lastClosed, const app::Date& today);

// Removes both rows of the sheet and recomputes TELE of its series, as one
// write unit; then packs HLAPA and HLAPB (packing rewrites the files and
// cannot be part of a unit, so it runs after the commit: a kill between
// leaves the rows deleted but not yet packed, which the next pack
// removes).
void deleteSheet(db::Database& db, const sheets::SheetKey& key);

// ELKULDVE "YY", MODTIPUS "S", and TELE of the series recomputed as
// cancelled, as one write unit.
void cancelSheet(db::Database& db, const sheets::SheetKey& key);

// --- convert -------------------------------------------------------------------

struct ConvertDecision {
    std::string refusal;   // the message when refused ("" when allowed)
    bool warning = false;  // the refusal is a warning (kConvertSent), else an error
    std::optional<app::Msg> question;  // the confirmation to ask when allowed
    std::string newResz;   // "" to a full invoice, "A" to a first part
};
// Recent closing counts only with a closed period chosen (`zarnez`), by the
// period's ZARAS row (`periodRow`), and only for a sheet that went out with
// that shipment (ELKULDVE equal to the period).
ConvertDecision convertDecision(const std::string& elkuldve, const std::string& resz, const std::string& period,
                                bool zarnez, const std::optional<app::PeriodRow>& periodRow, const app::Date& today);

// Gives both rows the part letter `newResz`, as one write unit, and
// recomputes TELE of the series. Refused with app::UserError (nothing
// written): the visit row is missing (kConvertBroken); the target key is
// taken ("Ilyen sorszámú lap már van! A javítás nem hajtható végre!");
// an "A" part whose series has later parts would become a full invoice
// ("A részszámlának már vannak további részei! Nem alakítható teljes
// számlává!").
void convertSheet(db::Database& db, const sheets::SheetKey& key, const std::string& newResz);

} // namespace velmora::reg
