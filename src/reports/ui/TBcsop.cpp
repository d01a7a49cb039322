#include "reports/ui/TBcsop.h"

#include "widgets/Buttons.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TBcsop::TBcsop(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard)
    : QDialog(parent), dialogs_(dialogs), guard_(guard) {
    setObjectName(QStringLiteral("TBcsop"));
    setWindowTitle(QString::fromUtf8("Betegségcsoport"));
    setHint(this, QString::fromUtf8("A betegségcsoport kiválasztása"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* label = new QLabel(QString::fromUtf8("Betegségcsoport"), this);
    CB1 = new QComboBox(this);
    CB1->setObjectName(QStringLiteral("CB1"));
    for (const std::string& item : reports::bnoChapterItems()) CB1->addItem(QString::fromStdString(item));
    CB1->setEditable(false);
    CB1->installEventFilter(this);
    label->setBuddy(CB1);
    OK = NamedButton(this, "OK", "OK", "Továbblépés");
    Megsem = NamedButton(this, "Megsem", "Mégsem", "Mentés nélkül kilépés");
    connect(CB1, &QComboBox::currentIndexChanged, this, [this](int) { setHint(CB1, CB1->currentText()); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK);
    buttons->addWidget(Megsem);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(CB1);
    layout->addLayout(buttons);
    guard_.onClick(OK, this, [this] { OKClick(); });
    connect(Megsem, &QPushButton::clicked, this, &QDialog::reject);
    InstallHelpKey(this);
}

std::optional<reports::BnoChapter> TBcsop::run() {
    bnfigy = false;
    CB1->setCurrentIndex(-1);
    CB1->setFocus(Qt::OtherFocusReason);
    exec();
    CB1->setCurrentIndex(-1);  // the next list starts without a choice
    if (!bnfigy) return std::nullopt;
    return reports::BnoChapter{cimszov, bncs1, bncs2};
}

bool TBcsop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CB1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OK->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBcsop::OKClick() {
    const std::optional<reports::BnoChapter> chapter =
        CB1->currentIndex() < 0 ? std::nullopt : reports::bnoChapter(CB1->currentText().toStdString());
    if (!chapter) {
        dialogs_.information(reports::kChooseChapter);
        CB1->setFocus(Qt::OtherFocusReason);
        return;
    }
    bnfigy = true;
    bncs1 = chapter->low;
    bncs2 = chapter->high;
    cimszov = chapter->text;
    accept();
}

} // namespace velmora::ui
