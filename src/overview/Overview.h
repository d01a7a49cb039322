#pragma once
// "Áttekintés": the year of the chosen period on one page, from the local
// tables alone: the contract's day budget month by month, the nurses'
// capacity, the sheets by state, the deadlines as of today and the last
// backup, with a sentence for everything that is missing.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "backup/BackupRecord.h"
#include "db/Database.h"
#include "overview/Budget.h"
#include "overview/Deadlines.h"
#include "overview/NurseLoad.h"
#include "overview/SheetStates.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::overview {

struct Overview {
    std::string year, period, provider;
    YearBudget budget;
    YearNurses nurses;
    YearStates states;
    bool statesRead = true;
    Deadlines deadlines;
    std::optional<backup::LastBackup> lastBackup;
    bool backupStale = true;
    // What the overview could not show, and what needs attention, in words.
    std::vector<std::string> notes;
};

inline constexpr const char* kOverviewTitle = "Áttekintés";
inline constexpr const char* kOverviewStatus = "Áttekintés készítése";

// The overview of `session`'s period's year on its day. A table that
// cannot be read leaves its part empty with a note; it never throws for
// the data.
Overview makeOverview(db::Database& db, const app::Session& session, app::Dialogs& dialogs);

// The sentences for what the figures lack or show as due.
std::vector<std::string> overviewNotes(const Overview& o);

} // namespace velmora::overview
