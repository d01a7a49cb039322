#include "masterdata/ui/Ttelepval.h"

#include "db/Table.h"
#include "masterdata/ui/FrameSetups.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Placement.h"

#include <QHeaderView>
#include <QTableView>

namespace velmora::ui {

Ttelepval::Ttelepval(QWidget* parent, db::Table& telepul, const CommandGuard& guard)
    : ChooseWindow(parent, QStringLiteral("Ttelepval"), QString::fromUtf8("Település választása"), guard),
      Telepkep1(new BrowseFrame(TTelepkep(), telepul, this)) {
    Telepkep1->grid()->horizontalHeader()->setStretchLastSection(true);  // the name fills the window
    Telepkep1->setObjectName(QStringLiteral("Telepkep1"));
    setFrame(Telepkep1);
    resize(360, 420);
}

void Ttelepval::clearResult() {
    vkod.clear();
    vnev.clear();
}

void Ttelepval::takeRow() {
    db::Table& telepul = Telepkep1->table();
    if (!telepul.isOpen() || telepul.position() < 0) return;
    vkod = telepul.text("KOZIGKOD");
    vnev = telepul.text("HELYNEV");
}

// Beside the patient window: at its right edge, a third of its height down,
// so the patient's fields stay in view.
void Ttelepval::place() {
    if (honnan != "B" || !patientWindow_) return;
    const QRect patient = patientWindow_->frameGeometry();
    PlaceAt(this, QPoint(patient.x() + patient.width(), patient.y() + patient.height() / 3));
}

} // namespace velmora::ui
