#include "widgets/Placement.h"

#include <QWidget>

namespace velmora::ui {

void PlaceFrom(QWidget* window, const QWidget* anchor, int dx, int dy) {
    if (!window || !anchor) return;
    window->move(anchor->frameGeometry().topLeft() + QPoint(dx, dy));
}

void PlaceRightAligned(QWidget* window, const QWidget* anchor, int divisor) {
    if (!window || !anchor || divisor <= 0) return;
    const QRect a = anchor->frameGeometry();
    window->move(a.left() + a.width() - window->frameGeometry().width(), a.top() + a.height() / divisor);
}

} // namespace velmora::ui
