#include "widgets/Hint.h"

#include <QWidget>

namespace velmora::ui {

void setHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

} // namespace velmora::ui
