#include "widgets/Buttons.h"
#include "widgets/EditWindow.h"

#include "widgets/BrowseFrame.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/Navigator.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

EditWindow::EditWindow(QWidget* mainWindow, const QString& objectName, const QString& caption,
                       const CommandGuard& guard)
    : QDialog(mainWindow), mainWindow_(mainWindow), guard_(guard), layout_(new QVBoxLayout(this)),
      buttonRow_(new QHBoxLayout), exits_(new FieldExits(this)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setModal(true);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    kilep = NamedButton(this, "kilep", "Kilépés");
    uj = NamedButton(this, "uj", "Új felvitel");
    modos = NamedButton(this, "modos", "Módosítás");
    torol = NamedButton(this, "torol", "Törlés");
    buttonRow_->addWidget(kilep);
    buttonRow_->addStretch(1);
    buttonRow_->addWidget(uj);
    buttonRow_->addWidget(modos);
    buttonRow_->addWidget(torol);
    connect(kilep, &QPushButton::clicked, this, &QDialog::accept);
    guard_.onClick(uj, this, [this] { ujClick(); });
    guard_.onClick(modos, this, [this] { modosClick(); });
    guard_.onClick(torol, this, [this] { torolClick(); });
    exits_->setActive([this] { return panelOpen() && !refocusing_; });
    InstallHelpKey(this);
    connect(qApp, &QApplication::focusChanged, this, &EditWindow::focusMoved);
}

void EditWindow::focusMoved(QWidget* old, QWidget* now) {
    if (!old || !now || !panelOpen() || old->window() != this) return;
    if (panel_->isAncestorOf(now) && !panel_->isAncestorOf(old)) panelEntered();
}

void EditWindow::focusRefused(const std::string& control) {
    auto* w = findChild<QWidget*>(qs(control));
    if (!w) return;
    refocusing_ = true;
    w->setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
}

void EditWindow::setFrame(BrowseFrame* frame) {
    frame_ = frame;
    layout_->addWidget(frame, 1);
    layout_->addLayout(buttonRow_);
}

void EditWindow::setEditPanel(QWidget* panel, QBoxLayout* buttons) {
    panel_ = panel;
    BB1 = NamedButton(panel, "BB1", "Kész");
    BB2 = NamedButton(panel, "BB2", "Mégse");
    buttons->addStretch(1);
    buttons->addWidget(BB1);
    buttons->addWidget(BB2);
    LeavesWithoutChecks(BB2);
    LeavesWithoutChecks(kilep);
    guard_.onClick(BB1, this, [this] { BB1Click(); });
    guard_.onClick(BB2, this, [this] { BB2Click(); });
    layout_->addWidget(panel);
    panel->hide();
}

void EditWindow::runKesz() {
    guard_.run([this] { BB1Click(); });
}

bool EditWindow::panelOpen() const { return panel_ && panel_->isVisible(); }

void EditWindow::enableBrowsing(bool on) {
    frame_->grid()->setEnabled(on);
    frame_->navigator()->setEnabled(on);
    for (QPushButton* b : {kilep, uj, modos, torol}) b->setEnabled(on);
}

void EditWindow::openPanel(app::EditMode mode) {
    mode_ = mode;
    // What the user added to the window's height stays while the panel is open.
    layout()->activate();
    extra_ = std::max(0, height() - std::max(collapsed_, minimumSizeHint().height()));
    panel_->show();
    BB1->show();
    BB2->show();
    enableBrowsing(false);
    setHeight(expanded_ + extra_);
}

void EditWindow::closePanel() {
    panel_->hide();
    enableBrowsing(true);
    frame_->grid()->setFocus(Qt::OtherFocusReason);
    setHeight(collapsed_ + extra_);
}

void EditWindow::closeSaved() {
    frame_->Bookmark();
    closePanel();
    // The grid is shorter again: the saved row stays in view.
    QTableView* grid = frame_->grid();
    grid->scrollTo(grid->currentIndex());
}

void EditWindow::setHeight(int h) {
    if (h <= 0 || isMaximized()) return;
    // The layout may need a little more than the stored height.
    layout()->activate();
    resize(width(), std::max(h, minimumSizeHint().height()));
}

void EditWindow::runFromMenu(app::Dialogs& dialogs, const std::string& statusText, int expanded, int collapsed) {
    QApplication::processEvents();
    dialogs.status(0, statusText);
    expanded_ = expanded;
    collapsed_ = collapsed;
    if (panelOpen()) closePanel();
    extra_ = 0;
    setHeight(collapsed_);
    frame_->grid()->setFocus(Qt::OtherFocusReason);
    exec();
}

void EditWindow::showEvent(QShowEvent* event) {
    PlaceFrom(this, mainWindow_);
    QDialog::showEvent(event);
    frame_->grid()->setFocus(Qt::OtherFocusReason);
}

void EditWindow::reject() {
    if (kilep->isEnabled()) QDialog::reject();
}

} // namespace velmora::ui
