#include "widgets/FieldExits.h"

#include "widgets/Hint.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <QWidget>

namespace velmora::ui {

bool MovedByUser(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

namespace {

constexpr const char* kLeavesWithoutChecks = "leavesWithoutChecks";

QPointer<QWidget>& leavingControl() {
    static QPointer<QWidget> control;
    return control;
}

// A click on a button that leaves. Tab onto it is still a leaving that is
// checked: Tab from a page's last field passes there on its way on. While
// the focus leaves a control, the application's focus widget is already
// the one it goes to.
bool clickedToLeave(Qt::FocusReason reason) {
    const QWidget* to = QApplication::focusWidget();
    return reason == Qt::MouseFocusReason && to && to->property(kLeavesWithoutChecks).toBool();
}

} // namespace

QString ControlCaption(const QWidget* control) {
    for (const QLabel* label : control->window()->findChildren<QLabel*>()) {
        if (label->buddy() != control) continue;
        QString text = label->text().remove(u'&').trimmed();
        while (text.endsWith(u':')) text.chop(1);
        return text;
    }
    if (!control->toolTip().isEmpty()) return control->toolTip();
    return control->objectName();
}

QWidget* FieldExits::leaving() { return leavingControl(); }

void LeavesWithoutChecks(QWidget* button) { button->setProperty(kLeavesWithoutChecks, true); }

QLineEdit* PanelEdit(QWidget* parent, const char* name, int maxLength, const char* hint) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) e->setMaxLength(maxLength);
    if (hint) setHint(e, QString::fromUtf8(hint));
    return e;
}

void SetReadOnly(QLineEdit* edit, bool readOnly) {
    edit->setReadOnly(readOnly);
    QPalette palette = edit->palette();
    const QPalette standard = QApplication::palette(edit);
    palette.setColor(QPalette::Base, standard.color(readOnly ? QPalette::Window : QPalette::Base));
    edit->setPalette(palette);
}

void FieldExits::onLeave(QWidget* control, std::function<bool()> check) {
    checks_[control] = std::move(check);
    control->installEventFilter(this);
}

void FieldExits::onEnter(QWidget* control, std::function<void()> action) {
    enters_[control] = std::move(action);
    control->installEventFilter(this);
}

void FieldExits::enterMoves(QWidget* control, QWidget* next) {
    onEnter(control, [next] { next->setFocus(Qt::TabFocusReason); });
}

bool FieldExits::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto it = enters_.find(watched);
        if (it != enters_.end() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            it->second();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        auto it = checks_.find(watched);
        if (it != checks_.end() && MovedByUser(reason) && !clickedToLeave(reason) && (!active_ || active_())) {
            bool ok = true;
            {
                // A check that throws (its table closed) must not leave the
                // other checks off for good.
                const QScopedValueRollback<bool> checking(checking_, true);
                const QScopedValueRollback<QPointer<QWidget>> leaving(leavingControl(), static_cast<QWidget*>(watched));
                ok = it->second();
            }
            if (!ok) focusLater(static_cast<QWidget*>(watched));
        }
    }
    return QObject::eventFilter(watched, event);
}

void FieldExits::focusLater(QWidget* control, std::function<void()> prepare) {
    QPointer<QWidget> target = control;
    QTimer::singleShot(0, this, [this, target, prepare = std::move(prepare)] {
        if (!target) return;
        const QScopedValueRollback<bool> checking(checking_, true);
        if (prepare) prepare();
        target->setFocus(Qt::OtherFocusReason);
    });
}

} // namespace velmora::ui
