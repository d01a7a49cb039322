#pragma once
// The cross-sheet checks on a connection the caller holds, so that one
// sheet check runs all its queries on one SQL connection. The functions of
// CrossChecks.h open a connection of their own and call these.
#include "app/Dialogs.h"
#include "db/Sql.h"
#include "sheets/CrossChecks.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velmora::sheets::queries {

// One statement from the lines it is written in.
std::string lines(const std::vector<std::string>& parts);

bool overlapCheck(db::Sql& sql, const SheetKey& key, const std::string& taj, const std::string& elrend,
                  const std::string& szakvet, app::Dialogs& dialogs);
OrderNumberResult orderNumberCheck(db::Sql& sql, const SheetKey& key, const std::string& taj,
                                   const std::string& elszam, OrderNumberForm form, app::Dialogs& dialogs);
std::optional<bool> visitDateTaken(db::Sql& sql, const SheetKey& key, bool modifying, const std::string& date,
                                   const std::string& taj);
std::optional<int> patientDays(db::Sql& sql, const SheetKey& key, const std::string& taj);
std::optional<CapacityCount> countCapacity(db::Sql& sql, const std::string& period, const SheetKey* own,
                                           app::Dialogs& dialogs);

// The activity codes of the patient's sheets with this number in the
// other periods of the sheet's year (the other parts of its series).
// Nullopt when the query failed.
std::optional<std::vector<std::string>> seriesActivityCodes(db::Sql& sql, const SheetKey& key,
                                                            const std::string& taj);

} // namespace velmora::sheets::queries
