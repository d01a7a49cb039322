#pragma once
// The checks of a sheet against the patient's other sheets, the nurses'
// contracted time and the contract: each a function over the shared tables
// with its statement's values bound as parameters (a TAJ the user typed
// never becomes statement text). A check returns its findings; one whose
// query fails refuses with "Hiba a lefutásban!" and the engine's message as
// its cause: it never reads as passed.
#include "app/Dialogs.h"
#include "app/Finding.h"
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <map>
#include <optional>
#include <string>

namespace velmora::sheets {

// Start of care against the patient's earlier visits. Refuses a start
// before the order date, and, for a full invoice or first partial invoice
// not in January, a start inside the span of visit dates of any other
// sheet of the patient (another number, another period); one message per
// overlapping sheet. The findings point at `control`.
app::Findings overlapCheck(db::Database& db, const SheetKey& key, const std::string& taj, const std::string& elrend,
                           const std::string& szakvet, const std::string& control = {});

// ELSZAM against the patient's latest other sheet (for a full invoice or a
// first partial invoice not in January): the previous ordinal + 1, or any
// ordinal after a closed episode (a question whether to start again from
// 1, whose Yes sets the control to "1"). In the field's form a refused
// number is replaced by the one the rule expects.
enum class OrderNumberForm { Field, Save };
struct OrderNumberResult {
    app::Findings findings;
    std::optional<std::string> elszam;  // the value m_elszam takes, when the check proposes one
    bool passed() const { return !app::refuses(findings); }
};
OrderNumberResult orderNumberCheck(db::Database& db, const SheetKey& key, const std::string& taj,
                                   const std::string& elszam, OrderNumberForm form, const std::string& control = {});

// Another sheet of the patient has a visit on `date`; in modify mode the
// sheet's own rows (and only they) are left out. Nullopt when the query
// failed (the caller fails the check).
std::optional<bool> visitDateTaken(db::Database& db, const SheetKey& key, bool modifying, const std::string& date,
                                   const std::string& taj);

// Visit days plus days billed before fit the days ordered and 50.
bool dayCountFits(int visitDays, int orderedDays, int billedDays);

// The patient's visit days on sheets other than this one (another number
// and part, another period). Nullopt when the query failed; `cause` then
// holds the engine's message.
std::optional<int> patientDays(db::Database& db, const SheetKey& key, const std::string& taj,
                               std::string* cause = nullptr);

// The nurses' contracted capacity in a period: one entry per employee of
// the contract employed in it (HSZOLGSZ), with the visit days already
// recorded for them on the period's other sheets.
struct NurseCapacity {
    std::string taj, nev;
    int keret = 0;  // visit days the contract allows in the period
    int napdb = 0;  // visit days counted so far
    bool supplementary = false;  // the contract gives her supplementary hours too
};
struct CapacityCount {
    std::map<std::string, NurseCapacity> nurses;  // by TAJ
    std::string overrun;                          // the last nurse counted past her capacity
    // Counts one visit day of the sheet being checked.
    void countVisit(const std::string& taj);
};
// Rounded half away from zero: the capacity of weekly hours over a month,
// whole days as the work table holds them.
int roundCapacity(double days);
// The capacity in `period`, the period's sheets other than `own` counted
// (own = nullptr counts them all). Nullopt when the query failed: `failure`
// has been shown (a caller that numbers its steps gives its own).
std::optional<CapacityCount> countCapacity(db::Database& db, const std::string& period, const SheetKey* own,
                                           app::Dialogs& dialogs, const std::string& failure = "Hiba a lefutásban!");

// TELE of the partial-invoice series `sorsz` in `year`: "*" on every part
// when the series' visit days total exactly 50 (and the series was not
// cancelled), empty otherwise. Full invoices never get the mark. Runs in
// the caller's write unit; a query or write that fails throws, so the
// caller's unit rolls back whole and the caller shows the failure.
void telenez(db::Database& db, const std::string& sorsz, const std::string& year, bool cancelled);

} // namespace velmora::sheets
