#pragma once
// The text of the "Útvonalak" window: where the program, its data, its
// lists and its outgoing files are, and the base fee of the period.
#include "app/Session.h"

#include <string>

namespace velmora::app {

// Five lines, each label padded with blanks to 30 characters so the values
// line up in a fixed-pitch font; an empty line sets the base fee apart.
std::string ProgramPathsText(const Session& session);

} // namespace velmora::app
