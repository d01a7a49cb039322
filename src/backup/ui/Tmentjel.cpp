#include "backup/ui/Tmentjel.h"

#include "widgets/Help.h"
#include "widgets/OkCancel.h"
#include "widgets/QtText.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora::ui {

Tmentjel::Tmentjel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tmentjel"));
    setWindowTitle(QString::fromUtf8("Titkosított mentés jelszava"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Jelszo = new QLineEdit(this);
    Jelszo->setObjectName(QStringLiteral("Jelszo"));
    Jelszo->setEchoMode(QLineEdit::Password);
    Jelszo->setStyleSheet("lineedit-password-character: 42;");
    Label1->setBuddy(Jelszo);

    const OkCancel okCancel = MakeOkCancel(this, QString::fromUtf8("A jelszó elfogadása"));
    OKBtn = okCancel.ok;
    CancelBtn = okCancel.cancel;
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(Jelszo);
    layout->addSpacing(6);
    layout->addLayout(okCancel.row);
    InstallHelpKey(this);
    setFixedSize(380, 150);
}

std::optional<std::string> Tmentjel::ask(const std::string& prompt) {
    Label1->setText(qs(prompt));
    Jelszo->clear();
    Jelszo->setFocus(Qt::OtherFocusReason);
    const bool ok = exec() == QDialog::Accepted;
    std::optional<std::string> typed;
    if (ok) typed = ss(Jelszo->text());
    Jelszo->clear();
    return typed;
}

} // namespace velmora::ui
