#pragma once
// What several reports look up the same way: the names of BNO codes, and
// the activities of a visit day counted by their digits.
#include "db/Database.h"

#include <array>
#include <map>
#include <string>

namespace velmora::reports {

// KOD10 -> NEV of the whole BNO table, read once for a report.
std::map<std::string, std::string> bnoNames(db::Database& db);
// The name of `code` exactly, "" when the table has none.
std::string bnoName(const std::map<std::string, std::string>& names, const std::string& code);

// One more for each activity 1-8 whose digit occurs in `tev` ("1 3").
void countActivities(const std::string& tev, std::array<int, 8>& counts);

} // namespace velmora::reports
