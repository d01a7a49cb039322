#pragma once
// The employees' completed days of the current period: every employee of
// the contract with her day capacity (the same rounded figure the sheet
// check uses) against the visit days she made, and the overrun.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"
#include "reports/Provider.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {

struct EmployeeRow {
    std::string taj, nev;
    int keret = 0, napdb = 0;
    bool supplementary = false;
    int overrun() const { return napdb > keret ? napdb - keret : 0; }
};

struct EmployeeDays {
    std::string period;
    Provider provider;
    std::vector<EmployeeRow> rows;  // by TAJ
    int okeret = 0, tszam = 0;
    bool sznez = false;  // someone has supplementary hours
};

inline std::string employeeDaysTitle(const std::string& period) { return "Dolgozók teljesített napjai " + period; }

inline constexpr const char* kEmployeeStatus = "Dolgozó kapacitás lista nyomtatása";
inline constexpr const char* kNoEmployees = "Nincs a szolgáltatónak dolgozói kerete!";
inline constexpr const char* kEmployeeQueryFailed = "Hiba a lefutásban! (16)";

// Nothing when a query failed (the message has been shown).
std::optional<EmployeeDays> employeeDays(db::Database& db, const std::string& period, app::Dialogs& dialogs);

Report employeeDaysReport(const EmployeeDays& days, const std::string& printedAt);
// A line per employee.
DataTable employeeDaysTable(const EmployeeDays& days);

} // namespace velmora::reports
