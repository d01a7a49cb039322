#pragma once
// A generated data directory of realistic size: fifteen years of a large
// provider's sheets (HLAPA headers, HLAPB visit rows) and its patients
// (BETEG), in the program's layouts, plus the same rows in a native SQLite
// database for comparison. Among the patients one has a hundred earlier
// sheets and, in the last period, a sheet with a visit on each of its 31
// days; the nurses, doctors, settlements, diagnoses, contracted employees,
// the provider and the period table are there for the sheet checks.
#include <string>

namespace velmora::bench {

struct DataSetSize {
    int patients = 3000;
    int sheets = 10000;
    int years = 15;
};

// Builds the data set in dir (dBASE tables with index files) and the native
// copy in dir/native.sqlite. Returns a TAJ that has sheets.
std::string buildDataSet(const std::string& dir, const DataSetSize& size);

// The patient with a hundred earlier sheets and her sheet of 31 visit days.
struct HeavyPatient {
    std::string taj;
    std::string sorsz, period;  // the 31-day sheet (a full invoice)
    std::string nurse;          // who made its visits (her own nurse, 40 weekly hours)
};
const HeavyPatient& heavyPatient();

// A TAJ number: the eight digits and their check digit.
std::string tajWithCheckDigit(const std::string& eightDigits);

// The default data set, built once per run in a temporary directory (on
// first use, before any timing) and removed at exit.
struct SharedDataSet {
    std::string dir;
    std::string taj;
};
const SharedDataSet& sharedDataSet();

} // namespace velmora::bench
