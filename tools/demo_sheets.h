#pragma once
// The demo installation's billing sheets: about a year and a half of full
// invoices and partial-invoice series for the demo's patients, entered
// month by month through the sheet logic as the office enters them (the
// entry window's form, its field checks, "Mentés"), so every stored sheet
// has passed the checks a user's sheet passes.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmora::demo {

// What was recorded.
struct SheetTally {
    int full = 0;        // full invoices
    int firstParts = 0;  // first partial invoices ("A")
    int nextParts = 0;   // next partial invoices ("B", "C" …)
    int closed = 0;      // sheets with a closing date
    int visitDays = 0;
    int periods = 0;     // periods that have sheets
    std::string firstPeriod, lastPeriod;
};

// A sheet the logic refused, or a box or question the entry did not
// expect: a fault of the generator, with every message the logic showed.
struct SheetRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Opens the tables of the data directory as the program's start does (the
// fund's tables, patients, doctors and nurses are there already) and
// records the sheets of the `months` periods that end with `lastPeriod`.
// The same sheets for the same seed and tables, whatever today's date.
SheetTally recordDemoSheets(const std::string& dataDir, const std::string& lastPeriod, int months, uint64_t seed);

} // namespace velmora::demo
