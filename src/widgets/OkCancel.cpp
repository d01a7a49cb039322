#include "widgets/OkCancel.h"

#include "widgets/FieldExits.h"
#include "widgets/Hint.h"

namespace velmora::ui {

OkCancel MakeOkCancel(QWidget* parent, const QString& okHint) {
    auto* ok = new QPushButton("OK", parent);
    ok->setObjectName("OKBtn");
    setHint(ok, okHint);
    ok->setDefault(true);
    ok->setAutoDefault(true);

    auto* cancel = new QPushButton("Mégsem", parent);
    cancel->setObjectName("CancelBtn");
    setHint(cancel, "Mentés nélkül kilépés");
    cancel->setAutoDefault(false);
    LeavesWithoutChecks(cancel);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return {ok, cancel, row};
}

} // namespace velmora::ui
