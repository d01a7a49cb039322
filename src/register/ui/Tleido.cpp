#include "register/ui/Tleido.h"

#include "register/NewSheets.h"
#include "widgets/Buttons.h"
#include "widgets/DateEdit.h"
#include "widgets/FieldExits.h"
#include "widgets/Help.h"
#include "widgets/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

Tleido::Tleido(QWidget* registerWindow, const sheets::SheetContext& ctx, const CommandGuard& guard)
    : QDialog(registerWindow), registerWindow_(registerWindow), ctx_(ctx), guard_(guard),
      exits_(new FieldExits(this)) {
    setObjectName(QStringLiteral("Tleido"));
    setWindowTitle(QString::fromUtf8("Lezárás ideje"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto* label = new QLabel(QString::fromUtf8("Lezárás vége"), this);
    ME1 = DateEdit(this, "ME1", "Az átadás kezdeti időpontja");
    label->setBuddy(ME1);
    Button1 = NamedButton(this, "Button1", "OK");
    // A click on "OK" leaves the date where it is: "OK" checks it itself,
    // one message and not two. Tab still leaves the field for it.
    Button1->setFocusPolicy(Qt::TabFocus);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(ME1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    exits_->onLeave(ME1, [this] {
        bool ok = false;
        guard_.run([&] { ok = fits(false); });
        return ok;
    });
    guard_.onClick(Button1, this, [this] { Button1Click(); });
    InstallHelpKey(this);
    setFixedSize(sizeHint());
}

void Tleido::run(const sheets::SheetKey& key, const std::string& szakvet) {
    key_ = key;
    lkezd = szakvet;
    exec();
}

bool Tleido::fits(bool forOk) {
    return reg::closingDateFits(ctx_.db, key_, ss(DateEditText(ME1)), lkezd, forOk, ctx_.dialogs);
}

void Tleido::Button1Click() {
    if (!fits(true)) {
        ME1->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!ctx_.dialogs.ask(app::question(app::Msg::ClosingQuestion))) {
        ctx_.dialogs.error(reg::kNoClosing);
        reject();
        return;
    }
    const bool mark =
        reg::closingMarkApplies(key_.idoszak, reg::lastClosedPeriod(ctx_.db), ctx_.session.clock().today());
    reg::storeClosingDate(ctx_.db, key_, ss(DateEditText(ME1)), mark);
    accept();
}

// Every activation: the left edge on the register's right edge, the top at
// half its height; the date field empty and focused.
void Tleido::showEvent(QShowEvent* event) {
    if (registerWindow_) {
        const QRect r = registerWindow_->frameGeometry();
        move(r.left() + r.width(), r.top() + r.height() / 2);
    }
    ME1->clear();
    QDialog::showEvent(event);
    ME1->setFocus(Qt::OtherFocusReason);
}

} // namespace velmora::ui
