#pragma once
// "Ki nem fizetett napok": after the fund's answer, every sheet of a range
// of periods whose recorded visit days the fund did not all bill, with the
// days recorded, billed and not paid and the value of the days not paid
// (the accounting's day value), the largest loss first.
#include "db/Database.h"
#include "db/Decimal.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"
#include "sheets/Sheet.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::overview {

struct UnpaidSheet {
    sheets::SheetKey key;
    std::string taj, nev;
    int recorded = 0, billed = 0, notPaid = 0;
    db::Decimal amount;  // Ft
};

struct UnpaidList {
    std::string from, to;
    std::vector<UnpaidSheet> sheets;      // by amount, largest first
    std::vector<std::string> unanswered;  // periods of the range with sheets sent but no answer read
    int days = 0;
    db::Decimal total;
};

inline constexpr const char* kUnpaidTitle = "Ki nem fizetett napok";
inline constexpr const char* kNoUnpaid = "A megadott időszakban minden jelentett napot kifizetett a RUV.";

// What is wrong with a typed range of periods ("YYYY.MM" each); nothing
// when it is sound.
std::optional<std::string> rangeProblem(const std::string& from, const std::string& to);

// Throws db::DbError when a table cannot be read.
UnpaidList unpaidDays(db::Database& db, const std::string& from, const std::string& to);

reports::DataTable unpaidTable(const UnpaidList& list);
reports::Report unpaidReport(const UnpaidList& list, const std::string& printedAt);

} // namespace velmora::overview
