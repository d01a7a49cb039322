#include "shell/ui/TZarasbe.h"

#include "widgets/Hint.h"
#include "widgets/MaskedEdit.h"
#include "widgets/OkCancel.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TZarasbe::TZarasbe(app::Session& session, app::PeriodTable& periods, app::Dialogs& dialogs,
                   const CommandGuard& guard, QWidget* parent)
    : QDialog(parent), session_(session), periods_(periods), dialogs_(dialogs) {
    setObjectName("Zarasbe");
    setWindowTitle("Elszámolási időszak");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel("Elszámolási időszak beállítása", this);
    Label1->setObjectName("Label1");

    ME1 = new QLineEdit(this);
    ME1->setObjectName("ME1");
    SetEditMask(ME1, QStringLiteral("9999.99;_"));
    ME1->setText("");
    Label1->setBuddy(ME1);
    QFont entryFont = ME1->font();
    entryFont.setPointSizeF(entryFont.pointSizeF() * 1.2);
    ME1->setFont(entryFont);
    ME1->setFixedWidth(ME1->fontMetrics().horizontalAdvance("0000.00") + 24);

    const OkCancel okCancel = MakeOkCancel(this, "Továbblépés");
    OKBtn = okCancel.ok;
    CancelBtn = okCancel.cancel;
    guard.onClick(OKBtn, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &TZarasbe::CancelBtnClick);
    QHBoxLayout* buttons = okCancel.row;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(ME1, 0, Qt::AlignLeft);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setFixedSize(300, 150);
    ME1->setFocus();
}

QString TZarasbe::enteredText() const {
    QString text = ME1->displayText();
    text.replace('_', ' ');
    return text.left(7);
}

bool TZarasbe::endsProgram() const { return !session_.idobe && outcome_ != Outcome::Accepted; }

void TZarasbe::OKBtnClick() {
    switch (app::SubmitPeriod(session_, ss(enteredText()), periods_, dialogs_)) {
    case app::PeriodStep::Invalid:
        ME1->setFocus();
        ME1->selectAll();
        return;
    case app::PeriodStep::Accepted:
        outcome_ = Outcome::Accepted;
        QDialog::accept();
        return;
    case app::PeriodStep::Declined:
        outcome_ = Outcome::Declined;
        QDialog::reject();
        return;
    }
}

void TZarasbe::CancelBtnClick() { reject(); }

void TZarasbe::reject() {
    // Escape and the close box come here too: they count as "Mégsem".
    if (outcome_ != Outcome::Declined) outcome_ = Outcome::Cancelled;
    QDialog::reject();
}

} // namespace velmora::ui
