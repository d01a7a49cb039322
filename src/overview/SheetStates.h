#pragma once
// The year's sheets counted by state, month by month (the sheet's own
// period): recorded, sent, sent late, corrected, closed later, cancelled,
// billed by the fund, and those with days the fund did not pay.
#include "overview/SheetRows.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace velmora::overview {

enum class SheetState { Recorded, Sent, SentLate, Corrected, ClosedLater, Cancelled, Billed, NotPaid };
inline constexpr int kStates = 8;

// The state's name as the overview heads its column.
const char* stateName(SheetState state);
bool inState(const SheetRow& sheet, SheetState state, const std::map<std::string, PeriodRow>& periods);

struct MonthStates {
    std::string period;
    std::array<int, kStates> sheets{};  // by SheetState
    int daysNotPaid = 0;
};

struct YearStates {
    std::vector<MonthStates> months;  // twelve
    std::vector<SheetRow> rows;       // the year's sheets
    std::map<std::string, PeriodRow> periods;

    // The sheets of `period` ("" for the whole year) in `state`.
    std::vector<sheets::SheetKey> keys(const std::string& period, SheetState state) const;
    // The sheets of `period` ("" for the whole year) with a visit of `nurse`.
    std::vector<sheets::SheetKey> nurseKeys(const std::string& period, const std::string& nurse) const;
    int total(SheetState state) const;
};

// Throws db::DbError when a table cannot be read.
YearStates yearStates(db::Database& db, const std::string& year);

} // namespace velmora::overview
