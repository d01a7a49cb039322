#pragma once
// What the entry window does with its fields, as logic over a SheetForm:
// opening it for a sheet, the check when the focus leaves a field, and what
// a choose window's result does. Each step may change the form (a name
// looked up, a patient filled in) and says where the focus goes; the window
// copies the form back into its controls and follows the focus, selecting
// the page that holds the control.
#include "app/Dialogs.h"
#include "app/Finding.h"
#include "app/Session.h"
#include "db/Database.h"
#include "sheets/SheetForm.h"

#include <string>

namespace velmora::sheets {

// What the sheet logic works with: the tables, the session (current
// period, today, the contract's FINKOD, the TEMP directory) and the user.
struct SheetContext {
    db::Database& db;
    const app::Session& session;
    app::Dialogs& dialogs;
};

// Where the focus goes after a step: "" leaves it where the user put it.
struct FocusMove {
    std::string control;
    static FocusMove stay() { return {}; }
    static FocusMove to(std::string c) { return {std::move(c)}; }
};

// What a field's exit found, and where it sends the focus when nothing
// refuses. The window shows the findings (app::present), applies their
// answers (applyAnswers) and follows focus().
struct FieldExit {
    app::Findings findings;
    FocusMove move;
    // The control of the first refusal that points at one, else the move.
    FocusMove focus() const;
};

// --- opening ---------------------------------------------------------------

// A new full invoice (kind Full) or first partial invoice (FirstPart) of
// the current period: the year's next number, empty fields with the
// period's defaults ("1", "01", "HUN" from 2016.01; doctor type "1"; "0" in
// the day counts), the visit grid's dates. A next part is made from its
// first part (std::invalid_argument here); the number query's failure
// throws db::DbError.
SheetForm newSheetForm(SheetContext& ctx, SheetKind kind);
// An existing sheet for modifying or viewing: every control filled from
// its rows, the names of the patient, diagnoses, doctors and nurses looked
// up. ORVKODJ "0" shows empty. The sheet's own period decides what it
// shows (payment category and citizenship from 2016.01, the doctor's type
// after 2024.04).
SheetForm storedSheetForm(SheetContext& ctx, const Sheet& sheet, EntryMode mode);

// The control that gets the focus when the window opens: m_aztip from
// 2016.01, m_taj before (nothing in view mode).
std::string firstControl(const SheetForm& form, const app::Session& session);
// The payment-category panel (m_terkat, m_allp) shows from 2016.01.
bool showsPatientCategory(const app::Session& session);

// --- leaving a field --------------------------------------------------------

// The check of the control the focus leaves (its objectName). Controls
// without a check pass, and nothing is checked in view mode. A failed
// check's finding names the control to go back to. An exit fills what it
// looks up (the patient, a diagnosis's or a doctor's name); the one exit
// that stores something: a name left in apnevK for a nurse APOL does not
// know adds her to APOL at once.
FieldExit leaveField(SheetForm& form, const std::string& control, SheetContext& ctx);

// --- choose windows ----------------------------------------------------------

// The patient choose window's row (its result fields).
struct PatientChoice {
    std::string btaj, baztip, bnev, bnem, bkozig, bvaros, bcim, bszhely, bszido;
};
// Fills the patient's fields and runs the exit of m_taj (the focus leaves
// it for CB1): betf and tszam are set here, the window need not leave
// m_taj again. An empty btaj means nothing was chosen.
FieldExit patientChosen(SheetForm& form, const PatientChoice& choice, SheetContext& ctx);
// An empty code means nothing was chosen.
FocusMove settlementChosen(SheetForm& form, const std::string& vkod, const std::string& vnev);
FocusMove diagnosisChosen(SheetForm& form, const std::string& control, const std::string& bnkod,
                          const std::string& bnnev);
// which: 'E' the ordering doctor, 'J' the proposing one.
FocusMove doctorChosen(SheetForm& form, char which, const std::string& okod, const std::string& onev);
// A nurse for aptevK or aptajD; her name comes with the field's exit.
FocusMove nurseChosen(SheetForm& form, const std::string& control, const std::string& akod);
// The activity chooser's code for tevD, day 1 to 31 ("" when nothing was
// chosen).
FocusMove activitiesChosen(SheetForm& form, int day, const std::string& tevszov);

} // namespace velmora::sheets
