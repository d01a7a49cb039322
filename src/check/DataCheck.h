#pragma once
// "Adatok ellenőrzése": every table and index file of a data directory read
// and cross-checked without changing a byte of it. The program's window
// and velmora-batch check show the same report.
#include "store/Recovery.h"

#include <string>
#include <vector>

namespace velmora::db {
class Database;
}

namespace velmora::check {

// What was found in one file (a table with its index), or in the
// directory as a whole (file "").
struct FileReport {
    std::string file;
    bool read = false;                  // the table could be read
    int records = 0;                    // rows of the table, deleted ones included
    std::vector<std::string> problems;  // the user's reading, in Hungarian
};

struct CheckReport {
    std::vector<FileReport> files;
    bool clean() const;
    int problemCount() const;
};

// Reads the data directory `dir`; never throws for what it finds there.
// What a kill left for the next start to settle (a pending journal, the
// leftovers of interrupted commands) is reported too, with the working
// folders of `places` when they are known.
CheckReport checkDataDirectory(const std::string& dir);
CheckReport checkDataDirectory(const store::Places& places);

// The check of the directory the program has open: its shared tables are
// closed first, so that the index files on disk hold every change of the
// run, and opened again afterwards, whatever happened.
CheckReport checkOpenDataDirectory(db::Database& db);

// The report as the user reads it: one line when all is well, else the
// problems table by table and a last line with their number.
std::string reportText(const CheckReport& report);

} // namespace velmora::check
