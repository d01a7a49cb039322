#include "register/ui/Treszlap.h"

#include "db/Table.h"
#include "register/NewSheets.h"
#include "register/ui/SheetFrame.h"
#include "sheets/ui/SheetWindows.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Buttons.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/Placement.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::ui {

Treszlap::Treszlap(QWidget* registerWindow, db::Table& lap, const sheets::SheetContext& ctx, const CommandGuard& guard,
                   SheetWindows& sheetWindows)
    : QDialog(registerWindow), registerWindow_(registerWindow), lap_(lap), ctx_(ctx), guard_(guard),
      sheetWindows_(sheetWindows) {
    setObjectName(QStringLiteral("Treszlap"));
    setWindowTitle(QString::fromUtf8("Első részszámlák"));
    setModal(true);
    setHint(this, QString::fromUtf8("Elszámolási lapok kiválasztása a következő részszámlához"));
    const app::Session& session = ctx_.session;
    Lapkep1 = new BrowseFrame(TLapkep(), lap_, this, [&session] { return session.mIdoszak; });
    Lapkep1->setObjectName(QStringLiteral("Lapkep1"));
    kilep = NamedButton(this, "kilep", "Kilépés", "Visszalépés");
    valaszt = NamedButton(this, "valaszt", "Választás", "Az elszámolási lap kiválasztása");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(valaszt);
    buttons->addWidget(kilep);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lapkep1, 1);
    layout->addLayout(buttons);

    guard_.onClick(valaszt, this, [this] { valasztClick(); });
    connect(kilep, &QPushButton::clicked, this, &QDialog::reject);  // Escape too
    connect(Lapkep1->browse(), &Browse::characterTyped, this, [this](int code) {
        if (code == 13) guard_.run([this] { valasztClick(); });
    });
    connect(Lapkep1->grid(), &QTableView::doubleClicked, this, [this] { guard_.run([this] { valasztClick(); }); });
    InstallHelpKey(this);
    resize(600, 300);
}

void Treszlap::run(const QString& caption) {
    setWindowTitle(caption);
    exec();
}

void Treszlap::valasztClick() {
    if (!lap_.isOpen() || lap_.position() < 0) return;
    const sheets::SheetKey firstPart{lap_.text("SORSZ"), lap_.text("RESZ"), lap_.text("IDOSZAK")};
    const sheets::SheetForm form = reg::nextPartForm(ctx_, firstPart);
    sheetWindows_.openForm(form, registerWindow_);
    accept();
}

// Every activation: 60 pixels below and 10 right of the register's top
// left corner, the grid active.
void Treszlap::showEvent(QShowEvent* event) {
    PlaceFrom(this, registerWindow_, 10, 60);
    QDialog::showEvent(event);
    Lapkep1->grid()->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
