#pragma once
// The TAJ check lists: the sheets of one patient, or of every patient of
// the provider over a range of periods, grouped by TAJ number, each sheet
// part with its dates, diagnoses, days and visit days per activity, and
// the patient's totals.
#include "db/Database.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {

enum class TajScope { OnePatient, All, CurrentPeriod, FromPeriod };

struct TajSelection {
    TajScope scope = TajScope::All;
    std::string taj;      // OnePatient
    std::string from;     // FromPeriod, "YYYY.MM"
    std::string current;  // the current billing period
};

struct TajSheet {
    std::string sorsz, resz, idoszak, gyak, szakvet, lezdat;
    int elszam = 0, sznap = 0;
    std::string bnoab, bnoabName, bnofo, bnofoName;
    std::array<int, 8> viz{};  // visit days per activity
};

struct TajPatient {
    std::string taj, nev;
    std::vector<TajSheet> sheets;
    int sznap = 0;
    std::array<int, 8> tviz{};
};

struct TajList {
    std::string title;
    std::vector<TajPatient> patients;
};

inline constexpr const char* kTajListTitle = "TAJ számos ellenőrző lista";
inline constexpr const char* kTajListStatus = "Teljes TAJ-számos lista nyomtatása folyik, kis türelmet kérek...";
inline constexpr const char* kNoPeriodChosen = "Nincs megadva idoszak!";
inline constexpr const char* kNoTaj = "Nincs TAJ-szám megadva!";
inline constexpr const char* kBadCheckDigit = "CDV hiba!";

// What is wrong with a typed starting period (six digits, year first), in
// the order the window checks it; nothing when it is sound.
std::optional<std::string> startPeriodProblem(const std::string& id1);
// A starting period after the current one gives a backwards range.
std::optional<std::string> periodRangeProblem(const std::string& from, const std::string& current);
// "200409" as "2004.09".
std::string periodOfTyped(const std::string& id1);

// The list; PART gives the provider's code and name.
TajList tajList(db::Database& db, const TajSelection& selection);
// The message when the list has no sheet.
std::string emptyTajListMessage(db::Database& db, const TajSelection& selection);

// Landscape, `printedAt` in the page footer.
Report tajListReport(const TajList& list, const std::string& printedAt);
// A line per sheet part, each with its patient's TAJ and name.
DataTable tajListTable(const TajList& list);

} // namespace velmora::reports
