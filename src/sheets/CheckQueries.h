#pragma once
// The cross-sheet checks on a connection the caller holds, so that one
// sheet check runs all its queries on one SQL connection. The functions of
// CrossChecks.h open a connection of their own and call these. The
// statements themselves are data, so that what the checks run can be run
// elsewhere as it stands (the benchmark runs them on native tables).
#include "app/Dialogs.h"
#include "db/Sql.h"
#include "sheets/CrossChecks.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace velmora::sheets::queries {

// One statement from the lines it is written in.
std::string lines(const std::vector<std::string>& parts);

// A statement and the values bound to its "?"s.
struct Statement {
    std::string text;
    std::vector<db::Value> params;
    db::SqlResult run(db::Sql& sql) const { return sql.run(text, params); }
};

// The patient's visit rows of other numbers in other periods (overlap).
Statement earlierVisits(const SheetKey& key, const std::string& taj);
// The patient's latest other sheet (order number): one row at most.
Statement latestOtherSheet(const SheetKey& key, const std::string& taj);
// The visit days of the patient's sheets; in modify mode the sheet's own
// rows left out. A date D is taken when a row holds D in the day field of
// D's day (APDAT1 … APDAT31).
Statement patientVisitDays(const SheetKey& key, bool modifying, const std::string& taj);
// The patient's visit days on sheets other than this one.
Statement otherSheetsDays(const SheetKey& key, const std::string& taj);
// The employees of the period with their weekly hours.
Statement periodStaff(const std::string& period);
// The visiting nurses of the period's visit rows, `own` left out.
Statement periodVisitNurses(const std::string& period, const SheetKey* own);
// The activity codes of the patient's sheets with this number in the
// other periods of the sheet's year (the other parts of its series).
Statement seriesCodes(const SheetKey& key, const std::string& taj);

app::Findings overlapCheck(db::Sql& sql, const SheetKey& key, const std::string& taj, const std::string& elrend,
                           const std::string& szakvet, const std::string& control);
OrderNumberResult orderNumberCheck(db::Sql& sql, const SheetKey& key, const std::string& taj,
                                   const std::string& elszam, OrderNumberForm form, const std::string& control);
// The queries below give nothing when they fail, and put the engine's
// message into `cause` (when given).
// The visit-date check for all the dates of a sheet in one query: those
// of `dates` that another sheet of the patient holds.
std::optional<std::set<std::string>> takenVisitDates(db::Sql& sql, const SheetKey& key, bool modifying,
                                                     const std::vector<std::string>& dates, const std::string& taj,
                                                     std::string* cause = nullptr);
std::optional<int> patientDays(db::Sql& sql, const SheetKey& key, const std::string& taj,
                               std::string* cause = nullptr);
std::optional<CapacityCount> capacityCount(db::Sql& sql, const std::string& period, const SheetKey* own,
                                           std::string* cause = nullptr);
std::optional<std::vector<std::string>> seriesActivityCodes(db::Sql& sql, const SheetKey& key,
                                                            const std::string& taj, std::string* cause = nullptr);

} // namespace velmora::sheets::queries
