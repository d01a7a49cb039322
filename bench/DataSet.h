#pragma once
// A generated data directory of realistic size: fifteen years of a large
// provider's sheets (HLAPA headers, HLAPB visit rows) and its patients
// (BETEG), in the program's layouts, plus the same rows in a native SQLite
// database for comparison.
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

// The default data set, built once per run in a temporary directory (on
// first use, before any timing) and removed at exit.
struct SharedDataSet {
    std::string dir;
    std::string taj;
};
const SharedDataSet& sharedDataSet();

} // namespace velmora::bench
