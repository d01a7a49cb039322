#pragma once
// The counties by the two-digit code of PART's MEGYE, as the printed forms
// name them.
#include <string>

namespace velmora::reports {

// "HAJDU-BIHAR VÁRMEGYE" for "08" (or 8); "" for a code outside 01-20.
std::string countyName(const std::string& megye);

} // namespace velmora::reports
