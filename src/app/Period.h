#pragma once
// Values derived from a billing period "YYYY.MM".
#include <string>

namespace velmora::app {

// First and last day of the period, as date texts and as day.month.year
// texts (the form the program's SQL statements use for date literals).
struct PeriodDays {
    std::string IDOSZAK1;  // "YYYY.MM.01"
    std::string IDOSZAK2;  // "YYYY.MM.DD", the month's last day
    std::string IDOSZL1;   // "01.MM.YYYY"
    std::string IDOSZL2;   // "DD.MM.YYYY"
};

// Throws std::invalid_argument when the period is not a real month.
PeriodDays STS(const std::string& period);

// Daily base fee in forints of the period; the thresholds are compared as
// period texts.
int BaseFee(const std::string& period);

// Base of the substitute identifiers of patients without a TAJ number: such a
// patient gets ellsz + the number of patient rows.
inline constexpr int kEllsz = 910000000;

} // namespace velmora::app
