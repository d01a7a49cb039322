#pragma once
// Text from outside the program (the operating system's user name) made to
// fit a code page: what the code page holds stays, every other character is
// written in Latin letters the code page has ("Łukasz" keeps its ł in 852,
// "Zoë Ødegård" becomes "Zoë Odegard", "李" becomes "li"), and what has no
// such spelling becomes "?". Never fails.
#include "db/Codepage.h"

#include <string>
#include <string_view>

namespace velmora::db {

std::string fitToCodePage(CodePage cp, std::string_view utf8);

} // namespace velmora::db
