#pragma once
// Rules of the master-data edit windows: patients (BETEG), doctors (ORVOS),
// nurses (APOL), residues (MARADV) and the validity filter of the contract
// view. The windows gather the controls' texts and call these; the functions
// talk to the user only through Dialogs and report which control is to get
// the focus when they stop.
#include "app/Dialogs.h"
#include "app/EditMode.h"
#include "db/Database.h"
#include "db/Table.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::masterdata {

using EditMode = app::EditMode;

// How a "Kész" ended.
struct SaveResult {
    enum class Kind { Saved, Declined, Refused } kind = Kind::Saved;
    std::string focus;  // control to focus when Refused
    static SaveResult saved() { return {Kind::Saved, {}}; }
    static SaveResult declined() { return {Kind::Declined, {}}; }
    static SaveResult refused(std::string control) { return {Kind::Refused, std::move(control)}; }
};

// True when any live row of the table (filter and index ignored) holds
// exactly `value` in one of the fields.
bool AnyRowWith(const db::Table& table, const std::vector<std::string>& fields, const std::string& value);

// --- patients ---------------------------------------------------------------

// Base of the identifiers the program gives patients without one.
inline constexpr int64_t kEllsz = 910000000;

// The identifier for AZTIP "0": kEllsz plus the number of rows in BETEG,
// or the next one up that no patient has (after deletions the count alone
// can name an existing patient).
std::string GeneratedPatientId(const db::Table& beteg);

// The edit group's texts; neme is "F", "N" or "" for no selection, szuli
// the date control's text ("YYYY.MM.DD", blank digits when not filled).
struct PatientInput {
    std::string aztip, taj, nev, neme, kozigkod, cime1, cime2, szulh, szuli;
};

// Labels of the blank required fields in their order, and the control of
// the first one ("" when none is blank).
struct MissingFields {
    std::vector<std::string> labels;
    std::string focus;
};
MissingFields MissingPatientFields(const PatientInput& in);

// Exit checks of the edit group; each warns and returns false on failure.
bool CheckPatientTaj(const std::string& aztip, const std::string& taj, app::Dialogs& dialogs);
bool CheckPatientSex(const std::string& neme, app::Dialogs& dialogs);
bool CheckPatientSettlement(const db::Table& telepul, const std::string& kozigkod, app::Dialogs& dialogs);

// HELYNEV of the TELEPUL row with exactly this code, "" when there is none;
// the cursor of TELEPUL stays where the settlement grid left it.
std::string SettlementName(const db::Table& telepul, const std::string& kozigkod);

// What a patient is checked against besides the controls: the settlements
// and the current billing period (no birth date after its last day).
struct PatientChecks {
    const db::Table& telepul;
    std::string currentPeriod;
};

// "Kész" of the patient window on BETEG: required fields, then every exit
// check of the edit group in its order (TAJ check digit, sex, settlement,
// birth date), because Enter or the button can save without the focus ever
// leaving a field; then the question, the duplicate check of a new patient
// and the post. In modify mode the current row is rewritten.
SaveResult SavePatient(db::Table& beteg, const PatientChecks& checks, EditMode mode, const PatientInput& in,
                       app::Dialogs& dialogs);

// "Törlés" of the current BETEG row; refused while the patient stands on a
// sheet in HLAPA. True when the row was deleted.
bool DeletePatient(db::Table& beteg, const db::Table& hlapa, app::Dialogs& dialogs);

// --- doctors and nurses -----------------------------------------------------

struct StaffRegister {
    std::string table, codeField, nameField;
    std::string codeControl;  // "OP" / "Etaj"
    std::string missing;
    app::Msg question;
    std::string duplicate, deleteRefused;
    app::Msg deleteQuestion;
};
const StaffRegister& Doctors();
const StaffRegister& Nurses();

// Exit check of the nurse's TAJ field.
bool CheckNurseTaj(const std::string& taj, app::Dialogs& dialogs);

SaveResult SaveStaff(db::Table& table, const StaffRegister& reg, EditMode mode, const std::string& code,
                     const std::string& name, app::Dialogs& dialogs);

// Whether the code stands on any sheet: a doctor on HLAPA ORVKODE/ORVKODJ,
// a nurse on HLAPA APTAJ1..8 or HLAPB APBTAJ1..31.
bool StaffInUse(const StaffRegister& reg, const std::string& code, const db::Table& hlapa, const db::Table& hlapb);

// "Törlés" of the current row of the register's table.
bool DeleteStaff(db::Table& table, const StaffRegister& reg, const db::Table& hlapa, const db::Table& hlapb,
                 app::Dialogs& dialogs);

// --- residues ---------------------------------------------------------------

// "Kész" of the residue window; INTKOD is taken from the first PART row. A
// new residue is always for the current billing period, whatever the panel
// shows; a changed one keeps the period of its row.
SaveResult SaveResidue(db::Table& maradv, const db::Table& part, EditMode mode, const std::string& currentPeriod,
                       const std::string& mft, app::Dialogs& dialogs);

bool DeleteResidue(db::Table& maradv, app::Dialogs& dialogs);

// --- contract view ----------------------------------------------------------

// The contract periods listed by the contract window.
inline constexpr const char* kContractListFilter = "szkezd>='1999.06.01'";

// The validity filter of the current HSZERZ row: rows begun no later than
// the period and ending no earlier than it, or open-ended.
std::string ContractValidityFilter(const db::Table& hszerz);

// Refilters HSZOLGSZ, HTERULET and HTHELY with the current period's filter,
// each moved to its first row.
void ApplyContractFilter(db::Table& hszerz, std::vector<db::Table*> detailTables);

} // namespace velmora::masterdata
