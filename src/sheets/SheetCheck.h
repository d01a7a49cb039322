#pragma once
// The visit check and the whole-sheet check that "Mentés" runs before a
// sheet is stored, and the save itself.
#include "app/Finding.h"
#include "sheets/SheetEntry.h"

#include <optional>

namespace velmora::sheets {

// What a check found, in the system's order, and what it counted for the
// form: the caller shows the findings (app::present) and hands the answers
// and counts to takeCheck, the one step that changes the form.
struct SheetCheckResult {
    app::Findings findings;
    int vizitdb = 0;             // the visit days of the grid
    std::optional<int> tszam;    // the patient's days on other sheets, counted afresh
    bool passed() const { return !app::refuses(findings); }
};

// The visit grid: every day empty or a visit day with a known nurse and
// the nurses its activities need, no visit on a date another sheet of the
// patient already holds, none before the start of care or after the
// closing date, the day counts within the order and 50, an activity from 5
// to 8 on the sheet or the earlier parts of its series. Warns (without
// refusing) of the patient's 150-day limit, counted with form.tszam, and of
// a nurse past her capacity. Every failing step is a finding and the check
// goes on; a query that fails refuses with "Hiba a lefutásban!" and its
// cause. The capacity is that of the sheet's own period, its own rows left
// out. The activity counters start from zero at every run.
SheetCheckResult visitCheck(const SheetForm& form, SheetContext& ctx);

// The whole sheet, step by step in the system's order; only the list of
// blank mandatory fields stops it early. The patient's days on other
// sheets are counted before the visit check's 150-day rule, whether or not
// the TAJ field was ever left. A closed episode's order number gives a
// question whose Yes sets m_elszam to "1".
SheetCheckResult sheetCheck(const SheetForm& form, SheetContext& ctx);

// The counts of a check and the changes its answers made, into the form.
void takeCheck(SheetForm& form, const SheetCheckResult& result, const app::Answers& answers);
// The changes answers made (control and value), into the form.
void applyAnswers(SheetForm& form, const app::Answers& answers);

// The sheet the form describes, as it is to be stored (fields by period,
// ORVKODJ "0" when empty, ALLAMP upper case, visit days only where both the
// code and the nurse are filled). `stored` is the sheet being modified (its
// marks and the fund's fields are kept), nullptr for a new one.
Sheet sheetOfForm(const SheetForm& form, const SheetContext& ctx, const Sheet* stored);

enum class SaveOutcome {
    Saved,     // stored; the window closes
    Declined,  // the user said No to storing; nothing stored, the window closes
    Refused,   // the check failed or the key was taken; the window stays open
};
struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Refused;
    FocusMove focus;  // Refused: where the focus goes
};

// "Mentés" as the window runs it, in three steps:
// checkForSave: the typed activity codes placed, the sheet check, and when
// it refuses, "Hibás adatok miatt az elszámolási lap nem menthető!!" after
// its findings. A refused save sends the focus where the first refusal
// points (m_taj when it points nowhere).
SheetCheckResult checkForSave(SheetForm& form, SheetContext& ctx);
FocusMove refusedFocus(const app::Findings& findings);
// then the question "Adatok ellenőrzése rendben! Elmenthetők ?", then
// storeSheet: the header row, the visit row, the patient, the doctors and
// the series' TELE marks as one write unit: after any failure or a kill,
// either the whole sheet is stored or nothing changed. New mode refuses a
// key that exists; modify mode keeps the sheet's marks (JELOLES, ALLAPOT,
// the visit row's ELI days) and sets the correction mark by the period
// table and today. A failure inside the unit (a value a table refuses, a
// write the disk refuses) refuses with "Hiba a lefutásban!" and the
// engine's message.
app::Findings storeSheet(SheetForm& form, SheetContext& ctx);

// The three steps with ctx.dialogs showing what they return: for the
// callers without a window (the demo, the batch work, the tests).
SaveResult saveSheet(SheetForm& form, SheetContext& ctx);

} // namespace velmora::sheets
