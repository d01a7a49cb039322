#pragma once
// The history's chain checked as the files hold it: the first row changed,
// removed or put in outside the program, a history brought from another
// data directory, and every place where it was lost and started again.
#include "check/DataCheck.h"
#include "check/TableImage.h"

namespace velmora::check {

// `anchor` is ELOZVEG's image, when it could be read.
void checkHistory(const TableImage& history, const TableImage* anchor, FileReport& report);

} // namespace velmora::check
