#pragma once
// The browse frame of the doctor and nurse windows: code and name. The code
// column is widened when its longest code would not show whole in the
// window's font, and the name takes the rest of the grid.
#include "masterdata/ui/FrameSetups.h"

namespace velmora::db { class Table; }

namespace velmora::ui {

class BrowseFrame;

BrowseFrame* MakeStaffFrame(FrameSetup setup, db::Table& table, QWidget* parent, const QString& objectName);

} // namespace velmora::ui
