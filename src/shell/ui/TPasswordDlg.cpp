#include "shell/ui/TPasswordDlg.h"

#include "widgets/Hint.h"
#include "widgets/OkCancel.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TPasswordDlg::TPasswordDlg(app::Session& session, app::PasswordStore& store, app::Dialogs& dialogs,
                           const CommandGuard& guard, QWidget* parent)
    : QDialog(parent), session_(session), store_(store), dialogs_(dialogs) {
    setObjectName("PasswordDlg");
    setWindowTitle("Bejelentkezési ablak");
    setHint(this, "A jelszó megadása kötelező");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel("Kérem a jelszót", this);
    Label1->setObjectName("Label1");

    Password = new QLineEdit(this);
    Password->setObjectName("Password");
    Password->setEchoMode(QLineEdit::Password);
    // One "*" for each character typed, whatever the style would draw.
    Password->setStyleSheet("lineedit-password-character: 42;");
    Label1->setBuddy(Password);

    const OkCancel okCancel = MakeOkCancel(this, "Elmentés");
    OKBtn = okCancel.ok;
    CancelBtn = okCancel.cancel;
    guard.onClick(OKBtn, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &TPasswordDlg::CancelBtnClick);
    QHBoxLayout* buttons = okCancel.row;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(Password);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setFixedSize(320, 150);

    ready_ = app::PreparePasswordTable(store_, dialogs_);
    Password->clear();
    Password->setFocus();
}

TPasswordDlg::~TPasswordDlg() {
    try {
        store_.close();
    } catch (...) {
        // Nothing is pending in the password table once the window goes.
    }
}

void TPasswordDlg::asPasswordChange() {
    setWindowTitle("Jelszó módosítása");
    change_.emplace(store_);
    Label1->setText(change_->prompt());
}

bool TPasswordDlg::endsProgram() const {
    return outcome_ == Outcome::WrongPassword || (outcome_ == Outcome::Cancelled && !session_.jels2);
}

void TPasswordDlg::OKBtnClick() {
    const std::string typed = ss(Password->text());
    const app::LoginStep step =
        change_ ? change_->submit(typed, dialogs_) : app::SubmitPassword(store_, typed, dialogs_);
    switch (step) {
    case app::LoginStep::Close:
        outcome_ = Outcome::Accepted;
        QDialog::accept();
        return;
    case app::LoginStep::StayOpen:
        Password->setFocus();
        Password->selectAll();
        return;
    case app::LoginStep::NextEntry:
        Label1->setText(change_->prompt());
        Password->clear();
        Password->setFocus();
        return;
    case app::LoginStep::Cancel:
        reject();
        return;
    case app::LoginStep::EndProgram:
        outcome_ = Outcome::WrongPassword;
        QDialog::reject();
        return;
    }
}

void TPasswordDlg::CancelBtnClick() { reject(); }

void TPasswordDlg::reject() {
    if (outcome_ != Outcome::WrongPassword) outcome_ = Outcome::Cancelled;
    QDialog::reject();
}

} // namespace velmora::ui
