#pragma once
// The sheet grid: the sheet headers of HLAPA, with the patient's name looked
// up from BETEG. It differs from the master-data grids: on entry it comes
// back to its row only within the same year, a title is red only on the
// indexed columns, and the titles are plain.
#include "widgets/FrameSetup.h"

namespace velmora::ui {

FrameSetup TLapkep();  // sheet headers, HLAPA

} // namespace velmora::ui
