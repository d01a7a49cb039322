#pragma once
// Small data directories for the table set-up tests: table files written
// through the engine, the fund's seven tables, and one start-up of the
// program's table steps with a fixed day and scripted answers.
#include "app/Clock.h"
#include "app/Session.h"
#include "db/Database.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <set>
#include <string>
#include <vector>

namespace velmora::test {

using Row = std::vector<db::Value>;

// Writes a table file (no index file) with the rows, matched by position.
void writeTable(const std::string& dir, const std::string& fileName, const db::FieldList& fields,
                const std::vector<Row>& rows, int level = 4);

// Every live row of a table file in physical order, read by a fresh engine.
std::vector<Row> readRows(const std::string& dir, const std::string& fileName);

// Field list, level, code page byte and tags of a table file as a fresh
// engine sees them.
struct FileLayout {
    db::FieldList fields;
    int level = 0;
    unsigned languageDriver = 0;
    std::vector<std::string> tags;        // "name=expression", "!" after a unique one
};
FileLayout readLayout(const std::string& dir, const std::string& fileName);

// The contract table as the fund delivers it; without FINKOD it is the old
// layout that also lacks NORMNAP and POTNAP.
db::FieldList contractFields(bool withFinkod);
// A contract row for that layout (finkod unused without FINKOD).
Row contractRow(bool withFinkod, const char* finkod, const char* start, int days);

// The seven tables from the fund, dBASE III files with upper-case names,
// one or two rows each; the files named in `leaveOut` ("HTHELY.DBF") are not
// written.
void writeFundTables(const std::string& dir, const std::set<std::string>& leaveOut = {});

// One start of the program on a data directory, as far as the tables go.
struct Start {
    explicit Start(const std::string& dir, app::Date today = {2024, 6, 10});
    // Crtzaras, the contract check and the own tables, the maintenance.
    // False when the program would end.
    bool run();
    // Only Crtzaras, the contract check and the own tables; an error thrown
    // by a table step comes through.
    bool openTables();

    app::FixedClock clock;
    app::Session session;
    ScriptedDialogs dialogs;
    db::Database db;
};

} // namespace velmora::test
