#pragma once
// The printed billing sheet ("HOSPICE EGYÉNI ELSZÁMOLÁSI LAP") of every
// sheet marked for printing: the provider and its contract, the patient,
// the diagnoses with their names, the dates and day counts, the month day
// by day with activities and nurse, and the activity totals.
#include "db/Database.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"

#include <array>
#include <string>
#include <vector>

namespace velmora::reports {

struct FormDay {
    std::string date;   // "2024.02.05"; "" after the month's last day
    std::string tev;    // the activities as stored
    std::string nurse;  // APBTAJ of the visit
};

struct Diagnosis {
    std::string caption, code, name;
};

struct SheetForm {
    std::string sorsz, resz, idoszak;
    // Provider and contract.
    std::string intkod, megye, county, szszam, inte, telsz, szcim, finkod, felelos;
    std::array<std::string, 8> aptaj;
    // Patient.
    std::string nev, neme, bcim, taj, szulh, szuli, tpotl, aztip, terkat, allamp;
    std::array<Diagnosis, 4> diagnoses;
    std::string szakvet, lezdat;
    int elvizdb = 0, elszviz = 0, sznap = 0;
    std::array<FormDay, 31> days;
    std::array<int, 8> tv{};  // visit days with activity 1..8
};

inline constexpr const char* kSheetFormTitle = "Elszámolási lapok";
inline constexpr const char* kNoSheetToPrint = "Nincs kiválasztva elszámolási lap!";

// The sheets marked for printing (JELOLES "*") with their visit row and
// patient, from 2005.02 on, for which a contract is valid in the period
// `firstDay`..`lastDay` ("YYYY.MM.DD"); in sheet number order, one form per
// sheet part even when several contracts are valid.
std::vector<SheetForm> markedSheetForms(db::Database& db, const std::string& firstDay, const std::string& lastDay);

// The forms of every sheet of `period` ("YYYY.MM"), marked or not, under the
// same contract and provider rules; for printing without the register.
std::vector<SheetForm> periodSheetForms(db::Database& db, const std::string& period, const std::string& firstDay,
                                        const std::string& lastDay);

// The forms as a report, each on pages of its own; `today` ("YYYY.MM.DD")
// under "Dátum:", `printedAt` in the page footer.
Report sheetFormReport(const std::vector<SheetForm>& forms, const std::string& today, const std::string& printedAt);
// A line per form with its main fields (not its days).
DataTable sheetFormTable(const std::vector<SheetForm>& forms);

} // namespace velmora::reports
