#pragma once
// The nurses' visit days against their capacity, month by month over a
// year: the capacity is the sheet check's own rounded figure, so a month
// marked over here is one in which the check refuses the next visit.
#include "app/Dialogs.h"
#include "db/Database.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::overview {

struct NurseMonth {
    int keret = 0;  // visit days the contract allows
    int napdb = 0;  // visit days recorded
    bool over() const { return napdb > keret; }
};

struct NurseLoad {
    std::string taj, nev;
    std::vector<std::optional<NurseMonth>> months;  // twelve; none: not employed that month

    bool noHours() const;  // employed, but the contract gives her no day at all
    bool overAny() const;
};

struct YearNurses {
    std::vector<NurseLoad> nurses;     // by name, then TAJ
    std::vector<std::string> failed;   // the months whose count failed
};

YearNurses yearNurses(db::Database& db, const std::string& year, app::Dialogs& dialogs);

} // namespace velmora::overview
