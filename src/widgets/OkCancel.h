#pragma once
// The "OK" / "Mégsem" button row of the small start-up windows: OK is the
// default button (Enter in an entry presses it), Mégsem never is.
#include <QHBoxLayout>
#include <QPushButton>

namespace velmora::ui {

struct OkCancel {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;
};

OkCancel MakeOkCancel(QWidget* parent, const QString& okHint);

} // namespace velmora::ui
