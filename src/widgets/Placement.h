#pragma once
// Where the master-data windows open: most of them a little below and to
// the right of the main window's top left corner.
class QWidget;

namespace velmora::ui {

// Moves `window` so its top left corner is (dx, dy) from `anchor`'s.
void PlaceFrom(QWidget* window, const QWidget* anchor, int dx = 10, int dy = 50);

// The choose windows the sheet entry opens: right edge on the anchor's right
// edge, 1/divisor of the anchor's height below its top.
void PlaceRightAligned(QWidget* window, const QWidget* anchor, int divisor);

} // namespace velmora::ui
