#include "Placement.h"

#include <QWidget>

namespace velmora::ui {

void PlaceFrom(QWidget* window, const QWidget* anchor, int dx, int dy) {
    if (!window || !anchor) return;
    window->move(anchor->frameGeometry().topLeft() + QPoint(dx, dy));
}

} // namespace velmora::ui
