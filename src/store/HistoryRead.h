#pragma once
// Reading the history: the changes of one sheet, and the changes of the
// whole data directory chosen by period, patient, action, user and day.
// Rows that continue a change are joined to it and its text decoded.
#include "db/Table.h"
#include "store/HistoryText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::store::history {

struct HistoryEntry {
    int64_t sor = 0;
    std::string ido, felh, verzio, muvelet, idoszak, sorsz, resz, taj;
    ChangeText text;
    // "2024.03/00012A", or "" for a change of the whole data directory.
    std::string sheet() const;
};

// Empty fields choose everything; periods "YYYY.MM" of the sheet and days
// "YYYY.MM.DD" of the change, both ends included.
struct HistoryFilter {
    std::string fromPeriod, toPeriod;
    std::string taj, action, user;
    std::string fromDay, toDay;
};

// Oldest first.
std::vector<HistoryEntry> readHistory(const db::Table& history, const HistoryFilter& filter = {});

// The changes of the sheet with this key, oldest first; across a
// conversion, the sheet's changes under its earlier key too.
std::vector<HistoryEntry> sheetHistory(const db::Table& history, const std::string& idoszak,
                                       const std::string& sorsz, const std::string& resz);

// The users the history names, in order, for a filter's choice.
std::vector<std::string> historyUsers(const db::Table& history);

} // namespace velmora::store::history
