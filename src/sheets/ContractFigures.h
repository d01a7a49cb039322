#pragma once
// The figures of the contract's day budget that the register shows above
// its grid: the visit days and amounts recorded so far in a period, and the
// days and amount the contract allows. Amounts are in forints, exact.
#include "app/Dialogs.h"
#include "db/Database.h"
#include "db/Decimal.h"

#include <optional>
#include <string>

namespace velmora::sheets {

struct RecordedFigures {
    int days = 0;             // STav: recorded visit days
    db::Decimal amount;       // STtf: days times the base fee, Ft
    db::Decimal supplement;   // STtp: the regional supplement's share (10 % of the fee of its days), Ft
};

// eddigi and eddigift. markedOnly false: the sheets of `period`; true: the
// marked sheets of the four months up to `period` that are not closing
// dates sent later. Nullopt when a query failed (shown as "Hiba a
// lefutásban! (3)" or "(4)").
std::optional<RecordedFigures> recordedFigures(db::Database& db, const std::string& period, bool markedOnly,
                                               int alapert, app::Dialogs& dialogs);

struct ContractFigures {
    int days = 0;        // STszv: contracted days of the period
    db::Decimal amount;  // STszf: days times the base fee, Ft
};
// szvissza: the contract valid on the period's first day (of several, the
// one that began last); nothing when there is none. Throws DbError when
// the contract table cannot be read.
std::optional<ContractFigures> contractFigures(db::Database& db, const std::string& period, int alapert);

// The full-series marks of a year after the fund's complete data set was
// read: "*" on every part of each series of the year whose visit days total
// exactly 50. Never removes a mark. False (after the numbered error) when
// the marks could not be written; then none was.
bool markFullSeriesOfYear(db::Database& db, const std::string& year, app::Dialogs& dialogs);

} // namespace velmora::sheets
