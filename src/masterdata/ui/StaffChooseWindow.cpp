#include "masterdata/ui/StaffChooseWindow.h"

#include "db/Table.h"
#include "masterdata/ui/FrameSetups.h"
#include "masterdata/ui/StaffFrame.h"
#include "widgets/Placement.h"

namespace velmora::ui {

StaffChooseWindow::StaffChooseWindow(QWidget* parent, const QString& objectName, const QString& caption,
                                     FrameSetup setup, const QString& frameName, db::Table& table,
                                     const CommandGuard& guard)
    : ChooseWindow(parent, objectName, caption, guard), table_(table), codeField_(setup.columns.at(0).field),
      nameField_(setup.columns.at(1).field) {
    setFrame(MakeStaffFrame(std::move(setup), table, this, frameName));
}

void StaffChooseWindow::takeRow() {
    code_ = table_.text(codeField_);
    name_ = table_.text(nameField_);
}

Torvval::Torvval(QWidget* parent, db::Table& orvos, const CommandGuard& guard)
    : StaffChooseWindow(parent, QStringLiteral("Torvval"), QString::fromUtf8("Orvosok választása"), TOrvoskep(),
                        QStringLiteral("Orvoskep1"), orvos, guard) {}

TApolf::TApolf(QWidget* parent, db::Table& apol, const CommandGuard& guard)
    : StaffChooseWindow(parent, QStringLiteral("TApolf"), QString::fromUtf8("Szakápoló választás"), TApolkep(),
                        QStringLiteral("Apolkep1"), apol, guard) {}

void TApolf::takeRow() {
    StaffChooseWindow::takeRow();
    apolfel_ = 1;
}

// Left edge at the sheet entry window's right edge, half its height below
// its top.
void TApolf::place() {
    if (!sheetEntry_) return;
    const QRect r = sheetEntry_->frameGeometry();
    PlaceFrom(this, sheetEntry_, r.width(), r.height() / 2);
}

} // namespace velmora::ui
