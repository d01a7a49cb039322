#pragma once
// The provider as the reports' headings show it, from PART.
#include "db/Database.h"

#include <string>

namespace velmora::reports {

struct Provider {
    std::string intkod, megye, county, inte;
    std::string szcim;  // postcode, place, street
    std::string telsz;  // area code and number
};
// The provider of `intkod`; the first one when it is empty. Blank when PART
// has no such row.
Provider providerOf(db::Database& db, const std::string& intkod = "");

} // namespace velmora::reports
