#include "masterdata/ui/Tbnoval.h"

#include "db/Table.h"
#include "masterdata/ui/FrameSetups.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Placement.h"

#include <QHeaderView>
#include <QTableView>

namespace velmora::ui {

Tbnoval::Tbnoval(QWidget* parent, db::Table& bnotorzs, const CommandGuard& guard)
    : ChooseWindow(parent, QStringLiteral("Tbnoval"), QString::fromUtf8("BNO kódok keresése"), guard),
      BNOkep1(new BrowseFrame(TBNOkep(), bnotorzs, this)) {
    BNOkep1->grid()->horizontalHeader()->setStretchLastSection(true);  // the name fills the window
    BNOkep1->setObjectName(QStringLiteral("BNOkep1"));
    setFrame(BNOkep1);
    resize(560, 380);
}

void Tbnoval::clearResult() {
    bnkod.clear();
    bnnev.clear();
}

void Tbnoval::takeRow() {
    db::Table& bno = BNOkep1->table();
    if (!bno.isOpen() || bno.position() < 0) return;
    bnkod = bno.text("KOD10");
    bnnev = bno.text("NEV");
}

// Over the lower half of the sheet entry window, flush with its right edge,
// so the header fields above stay in view.
void Tbnoval::place() {
    PlaceRightAligned(this, sheetWindow_, 2);
}

} // namespace velmora::ui
