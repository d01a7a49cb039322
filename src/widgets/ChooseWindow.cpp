#include "widgets/ChooseWindow.h"

#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Help.h"

#include <QHBoxLayout>
#include <algorithm>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

ChooseWindow::ChooseWindow(QWidget* parent, const QString& objectName, const QString& caption,
                           const CommandGuard& guard)
    : QDialog(parent), BB1(new QPushButton(QString::fromUtf8("Választ"), this)),
      BB2(new QPushButton(QString::fromUtf8("Mégse"), this)), guard_(guard) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    BB1->setObjectName(QStringLiteral("BB1"));
    BB2->setObjectName(QStringLiteral("BB2"));
    BB1->setAutoDefault(false);
    BB2->setAutoDefault(false);
    guard_.onClick(BB1, this, [this] { choose(); });
    connect(BB2, &QPushButton::clicked, this, &ChooseWindow::reject);
    InstallHelpKey(this);
}

void ChooseWindow::setFrame(BrowseFrame* frame) {
    frame_ = frame;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(BB1);
    row->addWidget(BB2);
    layout->addLayout(row);
    // First as wide as the grid's columns, so none is cut off.
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), frame->fullWidth() + layout->contentsMargins().left() +
                                      layout->contentsMargins().right()),
           hint.height());
    connect(frame->browse(), &Browse::characterTyped, this, [this](int code) {
        if (code == 13) guard_.run([this] { choose(); });
    });
}

void ChooseWindow::choose() {
    takeRow();
    accept();
}

void ChooseWindow::reject() {
    cancelled();
    QDialog::reject();
}

void ChooseWindow::showEvent(QShowEvent* event) {
    clearResult();
    place();
    QDialog::showEvent(event);
    frame_->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
