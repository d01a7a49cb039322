#pragma once
// Where the windows open. The first time a window opens it takes its first
// place (most master-data windows a little below and to the right of the
// main window's top left corner) at its first size; from then on it opens
// where, and as large, as the user last left it. The places are kept per
// user in a small settings file, one entry per window.
#include <QPoint>
#include <QSize>
#include <QString>

class QWidget;

namespace velmora::ui {

// The user's file of window places; "" (the tests' default) remembers
// nothing, every window opens at its first place.
void SetWindowPlacesFile(const QString& path);
// The file in the user's configuration folder (the working directory when
// there is none).
QString DefaultWindowPlacesFile();

// Puts `window` where it was last left, or at `firstPlace` the first time.
void PlaceAt(QWidget* window, QPoint firstPlace);

// Moves `window` so its top left corner is (dx, dy) from `anchor`'s, the
// first time.
void PlaceFrom(QWidget* window, const QWidget* anchor, int dx = 10, int dy = 50);

// The choose windows the sheet entry opens: right edge on the anchor's right
// edge, 1/divisor of the anchor's height below its top (the first time).
void PlaceRightAligned(QWidget* window, const QWidget* anchor, int divisor);

// A window that may be resized and maximized, starting at `firstSize`;
// its layout lets the grids grow with it.
void MakeResizable(QWidget* window, QSize firstSize);

} // namespace velmora::ui
