#pragma once
// The sheet as the entry window holds it: the texts of its controls, named
// as the controls are, and the window's own state. The window copies its
// controls into a SheetForm, calls the sheet logic, and copies the form
// back; every rule works on the form, so the window holds none.
#include "app/EditMode.h"
#include "sheets/Sheet.h"

#include <array>
#include <string>
#include <vector>

namespace velmora::sheets {

// How the entry window was opened.
enum class EntryMode {
    New,     // "Elszámolási lap rögzítése": a new sheet, appended when saved
    Modify,  // "Elszámolási lap módosítása": an existing sheet, rewritten
    View,    // "Elszámolási lap megtekintése": read only
};

struct SheetForm {
    // --- the window's state ---------------------------------------------
    EntryMode mode = EntryMode::New;
    std::string usorsz, uresz;  // the sheet's number and part letter
    std::string m_idosz;        // the sheet's period (display)
    std::string m_sorsz;        // usorsz + uresz (display)
    int tnap = 0;               // days of the period's month
    bool betf = false;          // the TAJ typed last was found among the patients
    int tszam = 0;              // the patient's visit days on other sheets
    int vizitdb = 0;            // visit days found by the last visit check
    std::string vszam = "0";    // "Napok száma" under the grid
    std::string vszame;         // "Előző részszámlák": shown when not "0" or ""
    // The identifier type m_taj holds its identifier for: the type the sheet
    // or the patient came with, or as m_aztip was last left. Leaving m_aztip
    // issues a substitute identifier only when the type became "0" since.
    std::string tajAztip;

    // --- page "1.oldal": the patient -------------------------------------
    std::string m_aztip, m_taj, m_nev;
    std::string bnem;  // "Férfi", "Nő" or "" (nothing chosen)
    std::string m_kozigkod, m_cim1, m_cim2, m_szh, m_szido;
    bool CB1 = false;  // "Területi pótlék"
    std::string m_terkat, m_allp;

    // diagnoses and their names
    std::string m_fekvd, m_alapb, m_kiserd, m_fodiag;
    std::string bno1, bno2, bno3, bno4;

    // doctors
    std::string m_eorv, m_eorvtip, orv1, m_jorv, orv2;

    // --- page "2.oldal": the order ----------------------------------------
    std::string m_elrend, m_szakvet, m_elviz, m_gyak, m_elszam, m_elszviz, m_lezdat;
    std::array<std::string, kActivities> aptev;  // aptev1 … aptev8: activity nurses' TAJ
    std::array<std::string, kActivities> apnev;  // apnev1 … apnev8: their names

    // --- page "3.oldal": the visit grid -----------------------------------
    std::array<std::string, kMaxDays> apdat;  // apdat1 … apdat31: the day's date (display)
    std::array<std::string, kMaxDays> tev;    // tev1 … tev31: activity codes
    std::array<std::string, kMaxDays> aptaj;  // aptaj1 … aptaj31: visiting nurses

    SheetKey key() const { return {usorsz, uresz, m_idosz}; }
    bool editable() const { return mode != EntryMode::View; }
    bool modifying() const { return mode == EntryMode::Modify; }

    // The text of the control with this objectName ("m_taj", "aptev3",
    // "tev17", "bno2", "vszam" …); nullptr for a name that is no text
    // control of the window (bnem and CB1 are read through their members).
    std::string* text(const std::string& control);
    const std::string* text(const std::string& control) const;
    // Every text control the user types into, in the window's tab order
    // (pages 1, 2, 3); the displays (m_sorsz, m_idosz, bno1 … bno4,
    // apdat1 … apdat31, vszam, vszame) are not in it.
    static const std::vector<std::string>& textControls();
};

// The widths the controls take: the field's width where the control feeds
// one (m_gyak 15, m_nev 25, tev 8 …), 10 for a date ("YYYY.MM.DD"), 2 for
// the day counts m_elviz and m_elszviz (at most 50); 0 for displays and for
// a name that is no text control.
int controlWidth(const std::string& control);

} // namespace velmora::sheets
