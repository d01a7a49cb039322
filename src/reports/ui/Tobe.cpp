#include "reports/ui/Tobe.h"

#include "app/Numbers.h"
#include "reports/Monthly.h"
#include "widgets/Buttons.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::ui {

Tobe::Tobe(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard)
    : QDialog(parent), dialogs_(dialogs), guard_(guard), exits_(new FieldExits(this)) {
    setObjectName(QStringLiteral("Tobe"));
    setWindowTitle(QString::fromUtf8("Összesítőhöz adatbekérés"));
    setHint(this, QString::fromUtf8("Az összesítőhöz az elrendelő lapok számának megadása"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* label = new QLabel(QString::fromUtf8("Hospice elrendelő lapok száma:"), this);
    Edit1 = PanelEdit(this, "Edit1", 9, "Csak szám írható");
    label->setBuddy(Edit1);
    OK = NamedButton(this, "OK", "OK");
    auto* row = new QHBoxLayout(this);
    row->addWidget(label);
    row->addWidget(Edit1);
    row->addWidget(OK);
    exits_->onEnter(Edit1, [this] { OK->click(); });
    guard_.onClick(OK, this, [this] { OKClick(); });
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}

std::optional<int> Tobe::run() {
    oszam_.reset();
    Edit1->clear();
    Edit1->setFocus(Qt::OtherFocusReason);
    exec();
    return oszam_;
}

void Tobe::OKClick() {
    const std::optional<int64_t> n = app::ParseWhole(ss(Edit1->text()));
    if (!n || *n < 0) {
        dialogs_.error(n ? reports::kNoNegativeCount : reports::kOnlyNumbers);
        Edit1->setFocus(Qt::OtherFocusReason);
        return;
    }
    oszam_ = static_cast<int>(*n);
    accept();
}

} // namespace velmora::ui
