#pragma once
// The billing sheet: the monthly report of the care one patient received
// under one medical order. A sheet is one header row in HLAPA and one visit
// row in HLAPB that share its key (SORSZ, RESZ, IDOSZAK). Everything that
// reads or changes a sheet goes through this model.
#include "db/Database.h"

#include <array>
#include <optional>
#include <string>

namespace velmora::sheets {

inline constexpr int kMaxDays = 31;
inline constexpr int kActivities = 8;

// The sheet key. RESZ is "" for a full invoice, "A" for a first partial
// invoice, "B", "C", … for the next parts of its series. SORSZ restarts at
// "00001" every year, so only the whole key is unique.
struct SheetKey {
    std::string sorsz;    // five digits, zero-padded
    std::string resz;     // "" or one letter
    std::string idoszak;  // "YYYY.MM"

    // SORSZ followed by RESZ, as the entry window and the register show it.
    std::string number() const { return sorsz + resz; }
    bool operator==(const SheetKey&) const = default;
};

enum class SheetKind {
    Full,       // "Teljes számla": the whole episode on one sheet
    FirstPart,  // "Első részszámla": the first month of an episode billed monthly
    NextPart,   // "Következő részszámla": a later month of that episode
};
SheetKind kindOf(const std::string& resz);
// The part letter that follows the last one used in a series ("A" -> "B",
// "" -> "A"). There is none after "Z" nor after a RESZ that is no capital
// letter (damaged data): app::UserError.
std::string nextPartLetter(const std::string& lastResz);

// The year's running number as SORSZ: five digits, zero-padded. A number
// outside 1 to 99999 throws app::UserError (the field holds five digits).
std::string formatSheetNumber(int number);
// The number a new full or first partial invoice gets: the largest SORSZ of
// the sheets of the year (periods January to December of `year`), plus
// one; "00001" when the year has none. A SORSZ that is not a number
// (damaged data) is passed over: it can neither be the year's largest nor
// clash with a five-digit number. Throws db::DbError when the query fails.
std::string nextSheetNumber(db::Database& db, const std::string& year);

// Field rules by the sheet's period.
// AZTIP, TERKAT and ALLAMP are asked for and stored from 2016.01.
bool recordsPatientCategory(const std::string& period);
// ORVTIP is stored for periods after 2024.04.
bool recordsDoctorType(const std::string& period);

// The activities of a visit day ("1 Szakápolás" … "8 Gyógyszerelés
// tervezés/ellenörzés"), as the activity chooser lists them.
const std::array<std::string, kActivities>& ActivityNames();

// An activity code: up to eight characters, the digit k at position k when
// activity k was done that day and a space otherwise ("1 3     ").
struct ActivityCode {
    std::string text;

    // Position k (1-based) holds the digit k: the reading of the rule that
    // asks for each activity's nurse.
    bool listsAt(int k) const;
    // The digit k stands anywhere in the code: the reading of the counting.
    bool mentions(int k) const;
    // The chooser's result: for each activity its digit when chosen, a
    // space otherwise.
    static std::string fromChoice(const std::array<bool, kActivities>& chosen);
    // A typed code in its positional form, each digit moved to its own
    // position ("5" -> "    5", "51" -> "1   5"), so that the nurse rule
    // and the counting read the same activities; trailing spaces dropped.
    // Nothing for a code with a character other than a space or 1 to 8.
    static std::optional<std::string> placed(const std::string& typed);
};

// One day of the visit row.
struct Visit {
    std::string tev;     // activity code
    std::string apbtaj;  // TAJ of the nurse who visited
    std::string apdat;   // the day's date, "YYYY.MM.DD", on visit days only
    std::string eli;     // the fund's result of the day (written by the import)
    bool operator==(const Visit&) const = default;
};

// A sheet as its two rows hold it. Dates are "YYYY.MM.DD" texts ("" when
// empty); a value the file holds damaged keeps its raw text.
struct Sheet {
    SheetKey key;
    std::string intkod, finkod;
    std::string taj, kozigkod;
    std::string tpotl;  // "I" regional supplement, "N" none
    std::string bnofek, bnofo, bnokis, bnoab;
    std::string orvkode, orvkodj, orvtip;
    std::string elrend, szakvet, gyak;
    int elvizdb = 0, elszviz = 0, elszam = 0;
    std::string lezdat;
    std::array<std::string, kActivities> aptaj;  // the nurse of each activity
    std::string aztip, terkat, allamp;
    int sznap = 0;
    std::string tele, jeloles, elkuldve, allapot, modtipus;

    std::array<Visit, kMaxDays> visits;
    std::string visitJeloles, visitElkuldve;  // JELOLES and ELKULDVE of the visit row

    SheetKind kind() const { return kindOf(key.resz); }
    bool operator==(const Sheet&) const = default;
};

// The patient's sex as the windows and forms write it: "Férfi" for BETEG's
// NEME "F", "Nő" for "N", "" otherwise.
std::string sexName(const std::string& neme);

} // namespace velmora::sheets
