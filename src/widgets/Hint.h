#pragma once
// A control's hint: shown as its tool tip and, while the mouse is over it,
// in the first panel of the main window's status bar.
#include <QString>

class QWidget;

namespace velmora::ui {

void setHint(QWidget* widget, const QString& hint);

} // namespace velmora::ui
