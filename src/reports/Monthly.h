#pragma once
// The two monthly reports of the current billing period: the summary that
// goes with the shipment (the sheets sent with the period's shipment, their
// activities, days and value) and the accounting of the days the fund
// billed, valued at the base fee it sent back.
#include "db/Database.h"
#include "db/Decimal.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"
#include "reports/Provider.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {


struct MonthlySummary {
    std::string period, firstIdoszak, szszam, closing;
    Provider provider;
    int lapszam = 0;  // sheets of the period sent with its shipment
    int oszam = 0;    // ordering sheets, as typed
    std::array<int, 8> tv{};
    int onsz = 0, tpnsz = 0, knap = 0, pnap = 0, snap = 0;
    int64_t mft = 0;       // Ft: days × base fee
    db::Decimal mtpft;     // Ft: the 10 % territorial supplement of those days
};

// The reports' titles: the saved file's name.
inline std::string summaryTitle(const std::string& period) { return "Havi összesítő " + period; }
inline std::string accountingTitle(const std::string& period) { return "Havi elszámolás " + period; }

inline constexpr const char* kSummaryStatus = "Havi összesítő nyomtatása";
inline constexpr const char* kNoShipment = "Nincs erre az időszakra zárás!";
inline constexpr const char* kOnlyNumbers = "Csak szám írható a mezőbe!";
inline constexpr const char* kNoNegativeCount = "Az elrendelő lapok száma nem lehet negatív!";
inline constexpr const char* kSummaryCountFailed = "Hiba a lefutásban! (17)";

// Nothing when no sheet went out with the period's shipment or no contract
// is valid in it. Each sheet part counts once, however many contracts are
// valid. `firstDay`, `lastDay` as "YYYY.MM.DD"; `baseFee` the period's
// daily fee in Ft. A failure to count the sheets throws app::UserError
// with kSummaryCountFailed.
std::optional<MonthlySummary> monthlySummary(db::Database& db, const std::string& period, const std::string& firstDay,
                                             const std::string& lastDay, int baseFee, int oszam);
Report monthlySummaryReport(const MonthlySummary& s, const std::string& printedAt);
// The summary's figures a line each: what, how much, in what.
DataTable monthlySummaryTable(const MonthlySummary& s);

struct AccountingRow {
    std::string lap, taj, nev, idoszak;
    db::Decimal alapdij;
    int inap = 0;       // visit days the fund billed
    bool tpotl = false; // +10 %
    db::Decimal value;  // Ft
};

struct MonthlyAccounting {
    std::string period, intkod, inte;
    std::vector<AccountingRow> rows;
    int mnap = 0;
    db::Decimal total;  // Ft
};

inline constexpr const char* kNoBilledData = "Nincs a szolgáltatónak beolvasott elszámolása!";

// The value of billed days as the accounting counts it: days × base fee,
// +10 % unless the sheet's TPOTL is "N" (an empty TPOTL gets it too); one
// decimal more than the fee.
bool supplementApplies(const std::string& tpotl);
db::Decimal dayValue(int days, const db::Decimal& alapdij, bool supplement);

// Nothing when the period has no sheet or its base fee was not read back.
std::optional<MonthlyAccounting> monthlyAccounting(db::Database& db, const std::string& period);
Report monthlyAccountingReport(const MonthlyAccounting& a, const std::string& printedAt);
// A line per sheet part; the totals are the spreadsheet's to add.
DataTable monthlyAccountingTable(const MonthlyAccounting& a);

} // namespace velmora::reports
