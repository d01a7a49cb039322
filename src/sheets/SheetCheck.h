#pragma once
// The visit check and the whole-sheet check that "Mentés" runs before a
// sheet is stored, and the save itself.
#include "sheets/SheetEntry.h"

namespace velmora::sheets {

// The visit grid: every day empty or a visit day with a known nurse and
// the nurses its activities need, no visit on a date another sheet of the
// patient already holds, none before the start of care or after the
// closing date, the day counts within the order and 50, an activity from 5
// to 8 on the sheet or the earlier parts of its series. Warns (without
// failing) of the patient's 150-day limit and of a nurse past her
// capacity. Every failing step shows its message and the check goes on;
// a query that fails shows "Hiba a lefutásban!" and fails the check. The
// capacity is that of the sheet's own period, its own rows left out.
// Leaves the visit days in form.vizitdb. The activity counters start from
// zero at every run.
bool visitCheck(SheetForm& form, SheetContext& ctx);

// The whole sheet, step by step in the system's order, with every message;
// only the list of blank mandatory fields stops it early. May set m_elszam
// to "1" (the question after a closed episode) and recomputes tszam.
bool sheetCheck(SheetForm& form, SheetContext& ctx);

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
    FocusMove focus;  // Refused: where the focus goes (m_taj on page 1)
};

// "Mentés": the sheet check, the question, then the header row, the visit
// row, the patient, the doctors and the series' TELE marks as one write
// unit: after any failure or a kill, either the whole sheet is stored or
// nothing changed. New mode refuses a key that exists; modify mode keeps
// the sheet's marks (JELOLES, ALLAPOT, the visit row's ELI days) and sets
// the correction mark by the period table and today. A failure inside the
// unit (a value a table refuses, a write the disk refuses) shows "Hiba a
// lefutásban!" with the engine's message and leaves the window open
// (Refused).
SaveResult saveSheet(SheetForm& form, SheetContext& ctx);

} // namespace velmora::sheets
