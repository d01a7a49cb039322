#include "reports/ui/Ttajsz.h"

#include "app/TextHelpers.h"
#include "masterdata/ui/Tbetegval.h"
#include "reports/TajLists.h"
#include "widgets/Buttons.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/Hint.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

Ttajsz::Ttajsz(QWidget* parent, app::Dialogs& dialogs, const CommandGuard& guard, Tbetegval* chooser)
    : QDialog(parent), dialogs_(dialogs), guard_(guard), chooser_(chooser), exits_(new FieldExits(this)) {
    setObjectName(QStringLiteral("Ttajsz"));
    setWindowTitle(QString::fromUtf8("TAJ-szám bekérése"));
    setHint(this, QString::fromUtf8("TAJ-szám bekérés"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* label = new QLabel(QString::fromUtf8("A beteg TAJ-száma:"), this);
    E1 = PanelEdit(this, "E1", 9,
                   "A TAJ szám beírása 9 karakteren keresztül vezető nullákkal (dupla kattintásra TAJ lista "
                   "kiválasztásra)");
    label->setBuddy(E1);
    E1->installEventFilter(this);
    OK = NamedButton(this, "OK", "OK");
    OK->setFocusPolicy(Qt::TabFocus);  // a click checks the number itself, once
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(E1);
    row->addWidget(OK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    exits_->onLeave(E1, [this] {
        if (app::TajCheckDigitOk(E1->text().trimmed().toStdString())) return true;
        dialogs_.error(reports::kBadCheckDigit);
        return false;
    });
    exits_->onEnter(E1, [this] { OK->click(); });
    guard_.onClick(OK, this, [this] { OKClick(); });
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}

std::string Ttajsz::run() {
    taj_.clear();
    E1->clear();
    E1->setFocus(Qt::OtherFocusReason);
    exec();
    return taj_;
}

bool Ttajsz::eventFilter(QObject* watched, QEvent* event) {
    if (watched == E1 && event->type() == QEvent::MouseButtonDblClick && chooser_) {
        chooser_->bhol = false;
        chooser_->setTajCheckWindow(this);
        chooser_->exec();
        if (!chooser_->btaj.empty()) E1->setText(QString::fromStdString(chooser_->btaj));
        activateWindow();
        E1->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Ttajsz::OKClick() {
    const std::string taj = E1->text().trimmed().toStdString();
    if (taj.empty()) {
        dialogs_.error(reports::kNoTaj);
    } else if (!app::TajCheckDigitOk(taj)) {
        dialogs_.error(reports::kBadCheckDigit);
        E1->setFocus(Qt::OtherFocusReason);
        return;
    } else {
        taj_ = taj;
    }
    accept();
}

} // namespace velmora::ui
