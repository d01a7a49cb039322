#pragma once
// Writing one outgoing file: its template's bytes (or, for the layouts
// before 2009.09, a dBASE III table made by the engine), then the records
// appended through the engine, which keeps the header's record count and
// date of last update as dBASE III requires.
#include "exchange/Records.h"

#include <string>
#include <vector>

namespace velmora::exchange {

// Replaces the file at `path`. Throws app::UserError with the user's
// message (naming the file and the cause) when the file cannot be made or
// a record cannot be written.
void writeOutgoingFile(const OutgoingLayout& layout, const std::string& path, const std::vector<OutRecord>& records);

} // namespace velmora::exchange
