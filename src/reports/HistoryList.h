#pragma once
// The sheets' history as "Előzmények" shows and prints it: one line per
// changed field with its old and new value (a change that names no field,
// one line with its note), the newest change first; the history window's
// choice of period range, patient, action and user checked and turned into
// the history's filter; the lines as a report for the preview.
#include "reports/Bands.h"
#include "reports/DataTable.h"
#include "store/HistoryRead.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::reports {

struct HistoryLine {
    std::string ido, felh, muvelet, lap, taj, mezo, regi, uj, megjegyzes;
    int64_t sor = 0;  // the change's row in the history
};

// The entries (oldest first, as the history holds them) as lines, newest first.
std::vector<HistoryLine> historyLines(const std::vector<store::history::HistoryEntry>& entries);

// What the history window's fields hold: periods as typed ("2024.05" or
// "202405"), a TAJ number, an action and a user; empty fields choose all.
struct HistoryChoice {
    std::string fromPeriod, toPeriod, taj, action, user;
};

// Why the choice cannot be used, in the user's words; nothing when it can.
std::optional<std::string> historyChoiceProblem(const HistoryChoice& choice);
// The choice as the history's filter (the periods as "YYYY.MM").
store::history::HistoryFilter historyFilter(const HistoryChoice& choice);
// The choice in words, for the print's subtitle: "Időszak: 2024.01–2024.05, TAJ: …".
std::string historyChoiceText(const HistoryChoice& choice);

inline constexpr const char* kHistoryTitle = "Az elszámolási lapok előzményei";
inline constexpr const char* kNoHistory = "Nincs a feltételeknek megfelelő előzmény!";

// The lines on landscape pages under `title` and `subtitle`; `printedAt` in the footer.
Report historyReport(const std::vector<HistoryLine>& lines, const std::string& title, const std::string& subtitle,
                     const std::string& printedAt);
// The same lines as rows for a spreadsheet.
DataTable historyTable(const std::vector<HistoryLine>& lines, const std::string& title);

} // namespace velmora::reports
