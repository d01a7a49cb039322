#pragma once
// The fund's complete data set of the provider's sheets (HAa, HAb, HAc),
// read whole and checked row by row, then converted into the rows of a new
// HLAPA and a new HLAPB. Nothing is taken from files with a single bad row:
// every problem found is listed, each naming its file and record.
#include "db/Value.h"

#include <string>
#include <vector>

namespace velmora::exchange {

using TableRows = std::vector<std::vector<db::Value>>;

struct FullDataSetFiles {
    std::string haa, hab, hac;  // paths of the headers, visits and diagnoses
};

struct FullDataSet {
    TableRows headers;  // HLAPA rows, the table's fields in order, by period, number, part
    TableRows visits;   // HLAPB rows, likewise
    std::string newest;        // "YYYY.MM": the newest period of the headers
    int rowsRead = 0;          // live records of the three files
    int diagnosesWithoutSheet = 0;  // HAc rows whose sheet is not in HAa: left out
};

// The sending state a rebuilt sheet gets: "xxxx.xx" (taken over, no longer
// changeable) for a period more than three months before `newest`, else
// its own period.
std::string takenOverState(const std::string& period, const std::string& newest);

// The payment mark of a sheet of `sznap` visit days whose visit row holds
// `billedDays` days billed by the fund: "ű" all billed, "R" partly, "" none.
std::string paymentMark(int sznap, int billedDays);

// Reads and checks the three files of provider `intkod`. Throws
// app::UserError: a file that cannot be read or lacks a field, or the list
// of bad rows (a period that is no month, a date outside its row's month,
// a sheet or visit day twice, a number that cannot be converted, a value
// too wide for the local table, another provider's row), or "Nincs
// elszámolt lap" when HAa holds no sheet.
FullDataSet readFullDataSet(const FullDataSetFiles& files, const std::string& intkod);

} // namespace velmora::exchange
