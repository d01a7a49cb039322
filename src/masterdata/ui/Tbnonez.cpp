#include "masterdata/ui/Tbnonez.h"

#include "app/Dialogs.h"
#include "masterdata/ui/FrameSetups.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

Tbnonez::Tbnonez(QWidget* mainWindow, db::Table& bnotorzs)
    : QDialog(mainWindow), BNOkep1(new BrowseFrame(TBNOkep(), bnotorzs, this)),
      kilep(new QPushButton(QString::fromUtf8("Kilépés"), this)), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("Tbnonez"));
    setWindowTitle(QString::fromUtf8("BNO törzs megnézése"));
    setHint(this, QString::fromUtf8("Diagnózisok megtekintése"));
    setModal(true);
    BNOkep1->grid()->horizontalHeader()->setStretchLastSection(true);  // the name fills the window
    BNOkep1->setObjectName(QStringLiteral("BNOkep1"));
    kilep->setObjectName(QStringLiteral("kilep"));
    kilep->setAutoDefault(false);
    connect(kilep, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BNOkep1, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(kilep);
    layout->addLayout(row);
    resize(640, 460);
    InstallHelpKey(this);
}

void Tbnonez::runFromMenu(app::Dialogs& dialogs) {
    QApplication::processEvents();
    dialogs.status(0, "BNO törzs megnézése");
    BNOkep1->grid()->setFocus(Qt::OtherFocusReason);
    exec();
}

void Tbnonez::showEvent(QShowEvent* event) {
    PlaceFrom(this, mainWindow_);
    QDialog::showEvent(event);
    BNOkep1->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
