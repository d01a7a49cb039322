#pragma once
// Whether a workbook written by the library is whole. The library writes
// each part into a temporary file of its own and does not check those
// writes, so a full disk can give a sound zip around a part cut short:
// every part is unpacked and its XML must close its first element.
#include <string>

namespace velmora::reports {

bool wholeWorkbook(const std::string& zip);

} // namespace velmora::reports
