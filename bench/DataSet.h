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

} // namespace velmora::bench
