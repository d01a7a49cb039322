#include "masterdata/ui/Tbetegval.h"

#include "db/Database.h"
#include "masterdata/ui/PatientFrame.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Placement.h"

namespace velmora::ui {

Tbetegval::Tbetegval(QWidget* parent, db::Database& dbs, const CommandGuard& guard)
    : ChooseWindow(parent, QStringLiteral("Tbetegval"), QString::fromUtf8("Betegek választása"), guard),
      beteg_(dbs.table(store::schema::BETEG().name, store::schema::BETEG().fileName)) {
    auto* frame = new BrowseFrame(PatientHostFrame(90), beteg_, this);
    frame->setObjectName(QStringLiteral("Betegkep1"));
    setFrame(frame);
}

void Tbetegval::takeRow() {
    if (!beteg_.isOpen() || beteg_.recNo() < 0) return;  // an empty table: nothing chosen
    btaj = beteg_.text("TAJ");
    baztip = beteg_.text("AZTIP");
    bnev = beteg_.text("NEV");
    bnem = beteg_.text("NEME");
    bkozig = beteg_.text("KOZIGKOD");
    bvaros = beteg_.text("CIME1");
    bcim = beteg_.text("CIME2");
    bszhely = beteg_.text("SZULH");
    bszido = beteg_.text("SZULI");
}

// From the sheet entry: a quarter of its height below its top, flush with
// its right edge. From the TAJ check list: just below it, a fifth of its
// width further left.
void Tbetegval::place() {
    if (bhol) {
        PlaceRightAligned(this, sheetEntry_, 4);
    } else {
        if (!tajCheck_) return;
        const QRect anchor = tajCheck_->frameGeometry();
        PlaceAt(this, QPoint(anchor.left() - anchor.width() / 5, anchor.top() + anchor.height()));
    }
}

} // namespace velmora::ui
