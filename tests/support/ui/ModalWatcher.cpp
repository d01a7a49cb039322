#include "support/ui/ModalWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace velmora::test {

namespace {

constexpr int kTickMs = 20;
constexpr int kDeadlockMs = 1500;
constexpr int kUnexpectedMs = 15000;

qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

QList<QMessageBox*> openBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) boxes << box;
    return boxes;
}

QString boxText(const QMessageBox* box) {
    return box->informativeText().isEmpty() ? box->text() : box->text() + "\n" + box->informativeText();
}

} // namespace

ModalWatcher::ModalWatcher() : timer_(new QTimer(this)) {
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_->start();
}

ModalWatcher::~ModalWatcher() = default;

void ModalWatcher::expect(const QString& textPart, const QString& button, int waitMs) {
    answers_.push_back({textPart, button, waitMs});
}

void ModalWatcher::onWindow(const QString& objectName, std::function<void(QWidget*)> act) {
    windows_.push_back({objectName, std::move(act)});
}

void ModalWatcher::tick() {
    QWidget* top = QApplication::activeModalWidget();
    const QList<QMessageBox*> boxes = openBoxes();
    // A box is open but the window on top is not one the user can answer.
    const bool blocked = !boxes.isEmpty() && !qobject_cast<QMessageBox*>(top);
    if (blocked) {
        if (blockedSince_ < 0) blockedSince_ = now();
        if (now() - blockedSince_ > kDeadlockMs) breakDeadlock(top);
        return;
    }
    blockedSince_ = -1;
    if (!top) return;
    if (qobject_cast<QMessageBox*>(top)) {
        answerBox(top);
        return;
    }
    handleWindow(top);
}

void ModalWatcher::answerBox(QWidget* w) {
    auto* box = static_cast<QMessageBox*>(w);
    if (current_ != box) {
        current_ = box;
        currentSince_ = now();
        seen_ << boxText(box);
    }
    if (answers_.empty()) {
        failures_ << "unexpected box: " + boxText(box);
        current_ = nullptr;
        box->done(QMessageBox::Cancel);
        return;
    }
    const Answer& a = answers_.front();
    if (!boxText(box).contains(a.textPart)) {
        failures_ << "expected a box with \"" + a.textPart + "\", got: " + boxText(box);
        answers_.pop_front();
        current_ = nullptr;
        box->done(QMessageBox::Cancel);
        return;
    }
    if (now() - currentSince_ < a.waitMs) return;
    for (QAbstractButton* b : box->buttons()) {
        if (b->text().remove('&') != a.button) continue;
        answers_.pop_front();
        current_ = nullptr;
        QTest::mouseClick(b, Qt::LeftButton);
        return;
    }
    failures_ << "no button \"" + a.button + "\" on: " + boxText(box);
    answers_.pop_front();
    current_ = nullptr;
    box->done(QMessageBox::Cancel);
}

bool ModalWatcher::handleWindow(QWidget* top) {
    for (const QPointer<QWidget>& w : acting_)
        if (w == top) return true;
    const bool expected = !windows_.empty() && (top->objectName() == windows_.front().objectName ||
                                                QString(top->metaObject()->className()) == windows_.front().objectName);
    if (!expected) {
        if (unexpected_ != top) {
            unexpected_ = top;
            unexpectedSince_ = now();
        } else if (now() - unexpectedSince_ > kUnexpectedMs) {
            failures_ << "a window nobody answered: " + top->objectName() + " \"" + top->windowTitle() + "\"";
            if (auto* dialog = qobject_cast<QDialog*>(top)) dialog->reject();
            unexpected_ = nullptr;
        }
        return false;
    }
    unexpected_ = nullptr;
    auto act = std::move(windows_.front().act);
    windows_.pop_front();
    QPointer<QWidget> window(top);
    acting_ << window;
    // Outside this tick: what the act opens is answered by later ticks.
    QTimer::singleShot(0, this, [this, window, act = std::move(act)] {
        if (window) act(window);
        acting_.removeAll(window);
        if (window && window->isVisible())
            if (auto* dialog = qobject_cast<QDialog*>(window.data())) dialog->reject();
    });
    return true;
}

void ModalWatcher::breakDeadlock(QWidget* top) {
    failures_ << "deadlock: a box waits under " + QString(top ? top->metaObject()->className() : "nothing") +
                     " \"" + (top ? top->windowTitle() : QString()) + "\"";
    if (top) top->hide();
    for (QMessageBox* box : openBoxes()) box->done(QMessageBox::Cancel);
    blockedSince_ = -1;
}

} // namespace velmora::test
