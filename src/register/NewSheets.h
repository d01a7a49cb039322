#pragma once
// Starting sheets from the register: when a new full or first partial
// invoice may still be started, the next part of a series, and the closing
// date entered after the fact.
#include "app/Date.h"
#include "app/Dialogs.h"
#include "app/PeriodChoice.h"
#include "db/Database.h"
#include "sheets/SheetEntry.h"

#include <optional>
#include <string>

namespace velmora::reg {

inline constexpr const char* kBefore2008 = "Nem lehet új lapot rögzíteni 2008.01 hó előtt!";
inline constexpr const char* kLateReport = "Nem lehet új lapot rögzíteni a pótjelentési időn kívül!";
inline constexpr const char* kJanuaryNoNext = "Januárban nincs következő részszámla!";
inline constexpr const char* kClosingBeforeVisit = "A lezárás dátuma nem lehet kisebb a teljesítés dátumánál!";
inline constexpr const char* kNoClosing = "Nem történt lezárás!";

// Nothing when a new full or first partial invoice may be started in
// `period`, else the refusal (kBefore2008 first, then kLateReport: the
// period is before the month 2 months before today, 4 months from 2016.01).
std::optional<std::string> newSheetRefusal(const std::string& period, const app::Date& today);

// The entry window's form of a new full (Full) or first partial invoice
// (FirstPart) of the current period, or nothing after a message: the
// late-report refusal, a year whose numbers are used up (99999), or the
// number query's failure ("Hiba a lefutásban!").
std::optional<sheets::SheetForm> startNewSheet(sheets::SheetContext& ctx, sheets::SheetKind kind);

// Nothing when a next part may be started in `period` (kBefore2008,
// kJanuaryNoNext). The late-report window does not apply.
std::optional<std::string> nextPartRefusal(const std::string& period);

// The chooser's filter over the register's year filter: the first partial
// invoices of the year whose series is not full.
std::string nextPartFilter(const std::string& yearFilter);

// The entry window's form for the next part of the series whose first
// part is `firstPart`: the same number, the letter after the series' last
// part (parts of the first part's year only), the current period, the
// header copied from the first part, the days billed so far (and in
// February the first part's ELSZVIZ on top), an empty visit grid. Throws
// db::DbError when a query fails, app::UserError when the series has no
// letter left, std::invalid_argument for a key that is no first part.
sheets::SheetForm nextPartForm(sheets::SheetContext& ctx, const sheets::SheetKey& firstPart);

// --- closing date -------------------------------------------------------------

// The check on leaving the date field and before OK: the closing-date
// check of the entry window (a valid date, not before the start of care,
// not after the sheet's month), then not before the sheet's last visit.
// An empty text passes when leaving the field and is refused on OK
// (`forOk`). Shows the message; false when refused.
bool closingDateFits(db::Database& db, const sheets::SheetKey& key, const std::string& date,
                     const std::string& szakvet, bool forOk, app::Dialogs& dialogs);

// Whether the fund must hear of the closing date: `lastClosed` is the ZARAS
// row with the greatest period (nothing: no mark).
bool closingMarkApplies(const std::string& sheetPeriod, const std::optional<app::PeriodRow>& lastClosed,
                        const app::Date& today);

// Writes LEZDAT and, when the mark applies to a sheet the fund has (sent,
// not cancelled, not from the fund), ELKULDVE "YY" and MODTIPUS "L"; one
// write unit.
void storeClosingDate(db::Database& db, const sheets::SheetKey& key, const std::string& date, bool markApplies);

// The ZARAS row with the greatest period, nothing when the table is empty.
std::optional<app::PeriodRow> lastClosedPeriod(db::Database& db);

} // namespace velmora::reg
