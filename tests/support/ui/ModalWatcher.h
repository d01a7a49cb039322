#pragma once
// Answers the program's real message boxes and questions as a user would:
// it looks only at the window on top (the active modal window) and presses
// a button there with the mouse. A box that waits for an answer while some
// other window stands above it (a progress dialog without buttons, say) is
// a window the user cannot reach: after a grace time the watcher records it
// as a deadlock and closes every open box, so the test fails instead of
// hanging. A window nobody expected is recorded and closed the same way.
//
// What is done in a window runs outside the watcher's own tick, so a window
// it opens is answered too (the month of a clerk is windows in windows).
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

class QTimer;
class QWidget;

namespace velmora::test {

class ModalWatcher : public QObject {
public:
    ModalWatcher();
    ~ModalWatcher() override;

    // The next box must contain `textPart`; `button` is the text of the button
    // to press ("OK", "Igen", "Nem"). `waitMs` keeps the box open that long
    // before the press (time in which a delayed window could wrongly appear).
    void expect(const QString& textPart, const QString& button = QStringLiteral("OK"), int waitMs = 0);
    // A modal window that is not a message box is handed to `act` (a chooser,
    // a location window), found by its object name or its class ("QFileDialog");
    // the window is rejected if `act` leaves it open.
    void onWindow(const QString& objectName, std::function<void(QWidget*)> act);

    // Texts of the boxes seen, in order (text, then informative text).
    const QStringList& seen() const { return seen_; }
    // What went wrong: an unexpected box, a box the user could not reach.
    const QStringList& failures() const { return failures_; }
    // Every expected box and window has been answered.
    bool done() const { return answers_.empty() && windows_.empty(); }

private:
    struct Answer {
        QString textPart;
        QString button;
        int waitMs;
    };
    struct WindowAct {
        QString objectName;
        std::function<void(QWidget*)> act;
    };
    void tick();
    void answerBox(QWidget* box);
    bool handleWindow(QWidget* top);
    void breakDeadlock(QWidget* top);

    QTimer* timer_;
    std::deque<Answer> answers_;
    std::deque<WindowAct> windows_;
    QStringList seen_;
    QStringList failures_;
    QPointer<QWidget> current_;  // the box being held open
    qint64 currentSince_ = 0;
    qint64 blockedSince_ = -1;
    QList<QPointer<QWidget>> acting_;  // windows whose act is running
    QPointer<QWidget> unexpected_;     // a window on top nobody handles
    qint64 unexpectedSince_ = 0;
};

} // namespace velmora::test
