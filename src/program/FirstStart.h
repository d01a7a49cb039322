#pragma once
// A first start: the installation has no data yet. The program then offers
// the ways in (the fund's files, a backup archive from another machine)
// instead of the start-up, which would only report the fund's tables as
// missing. A data directory that holds some of the fund's tables has lost
// the others: the start-up's own message names them.
#include <string>

namespace velmora::program {

// True when `dataDir` does not exist or holds none of the fund's tables.
bool isFirstStart(const std::string& dataDir);

// The fund's seven tables (PART, HSZERZ, HSZOLGSZ, HTERULET, HTHELY,
// TELEPUL, BNOTORZS), as the fund gives them to a new provider, taken from
// `folder` (file names in any case) into `dataDir`, which is made when
// missing. A table missing from the folder, or one that is not a readable
// dBASE table, is refused (app::UserError naming it) before anything is
// copied; the seven then come in as one table replacement.
void takeFundTables(const std::string& folder, const std::string& dataDir);

} // namespace velmora::program
