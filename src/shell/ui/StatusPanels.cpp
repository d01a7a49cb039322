#include "shell/ui/StatusPanels.h"

#include <QLabel>

namespace velmora::ui {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    setSizeGripEnabled(false);
    const int widths[3] = {550, 550, 80};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("StatusPanel%1").arg(i));
        label->setFixedWidth(widths[i]);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        label->setAlignment((i == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        addWidget(label);
        panels_[static_cast<size_t>(i)] = label;
    }
}

void StatusPanels::setText(int panel, const QString& text) {
    if (panel >= 0 && panel < 3) panels_[static_cast<size_t>(panel)]->setText(text);
}

QString StatusPanels::text(int panel) const {
    return panel >= 0 && panel < 3 ? panels_[static_cast<size_t>(panel)]->text() : QString();
}

} // namespace velmora::ui
