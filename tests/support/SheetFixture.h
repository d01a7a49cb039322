#pragma once
// Small data directories with sheets, for the sheet checks and the
// register: the fund's tables (with contracted nurses of given hours),
// patients, nurses, doctors, the period table and sheets written as raw
// rows, then one start of the program's table steps on a fixed day and
// period. A complete form of a new sheet that passes every check is the
// starting point of most cases.
#include "sheets/SheetEntry.h"
#include "support/TableFixture.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

// A TAJ number whose ninth digit is the check digit of the eight given.
std::string tajOf(const std::string& eightDigits);

// Everyone the fixture knows.
namespace people {
extern const std::string patient;   // "Minta Mária", a known patient
extern const std::string nurse1;    // "Ápoló Anna", 40 weekly hours
extern const std::string nurse2;    // "Ápoló Bella", 20 weekly hours
}  // namespace people

struct VisitDay {
    int day;
    std::string tev;
    std::string nurse;
    std::string eli = {};  // the fund's billing mark; empty: not billed
};

// A sheet as its two rows hold it; `header` adds or overrides fields by name.
struct RawSheet {
    std::string idoszak, sorsz, resz, taj;
    std::vector<VisitDay> days = {};
    std::map<std::string, db::Value> header = {};
};

// A sheet of the fixture's patient with `sznap` days (one visit on the 3rd
// by nurse1), for series and register tests.
inline RawSheet seriesPart(const char* period, const char* sorsz, const char* resz, int sznap,
                           std::map<std::string, db::Value> more = {}) {
    more["SzNap"] = sznap;
    return {period, sorsz, resz, people::patient, {{3, "1   5", people::nurse1}}, more};
}

// A contracted employee of HSZOLGSZ.
struct Employee {
    std::string taj, nev, kezd, veg;
    db::Value orasz, orak;
};

class SheetData {
public:
    SheetData();

    // Before open(): what the directory holds besides the defaults.
    SheetData& sheet(const RawSheet& s);
    SheetData& employee(const Employee& e);     // replaces the default staff on first use
    SheetData& periodRow(const std::string& idoszak, const std::string& zaras,
                         std::map<std::string, db::Value> more = {});
    // The contract table's rows instead of the fund tables' two contracts.
    SheetData& contracts(std::vector<Row> rows);
    SheetData& patient(const std::string& taj, const std::string& nev);

    // Writes the tables and opens them as the program does on `today`, with
    // `period` the current billing period.
    void open(app::Date today = {2024, 6, 10}, const std::string& period = "2024.05");

    sheets::SheetContext& ctx() { return *ctx_; }
    ScriptedDialogs& dialogs() { return start_->dialogs; }
    db::Database& db() { return start_->db; }
    app::FixedClock& clock() { return start_->clock; }
    app::Session& session() { return start_->session; }
    const std::string& dir() const { return dirName_; }

    // Every row of a table through SQL, as text ("|" between fields, one
    // line a row): what the program sees, for before/after comparisons.
    std::string rows(const std::string& table);

private:
    TempDir temp_;
    std::string dirName_;
    std::vector<Row> hlapa_, hlapb_, beteg_, zaras_, staff_, contracts_;
    bool ownStaff_ = false;
    std::unique_ptr<Start> start_;
    std::unique_ptr<sheets::SheetContext> ctx_;
};

// A new full invoice "00100" of 2024.05 for the known patient that passes
// every check: order 2024.05.01, start 2024.05.02, 20 days ordered, order
// number 1, visits with activities 1 and 5 by nurse 1 on days 2 to 6.
sheets::SheetForm completeForm();

// The visit days of the form set to the given days (others emptied).
void setVisits(sheets::SheetForm& form, const std::vector<VisitDay>& days);

} // namespace velmora::test
