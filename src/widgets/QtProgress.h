#pragma once
// Progress shown as a modal progress dialog titled with the work's name:
// the step under way above a bar of the steps done. It appears only when
// the work takes a moment, and offers "Mégsem" only for work that can stop
// between two steps without harm.
//
// One rule keeps it from locking the program: the dialog never stands above
// a window opened after its work began. A message box, question, chooser or
// window that the work opens hides the dialog while it is open, and the
// dialog does not appear while such a window is shown (its delayed showing
// would otherwise put an application-modal window without buttons over the
// box the user has to answer). It comes back with the next step.
#include "app/Progress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class QProgressDialog;
class QTimer;
class QWidget;

namespace velmora::ui {

class QtProgress : public QObject, public app::Progress {
public:
    explicit QtProgress(QWidget* parent = nullptr);
    ~QtProgress() override;

    // How long work runs before the dialog shows.
    static constexpr int kShowAfterMs = 400;

    void begin(const std::string& title, int total, bool cancellable) override;
    void step(const std::string& text, int done) override;
    bool cancelled() const override;
    void end() override;

    // The dialog while work runs, else null.
    QProgressDialog* dialog() const { return dialog_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWhenDue();
    bool anotherWindowOpened() const;

    QPointer<QWidget> parent_;
    std::unique_ptr<QProgressDialog> dialog_;
    QTimer* showTimer_ = nullptr;
    QElapsedTimer started_;
    // The windows open when the work began: the dialog may stand above them.
    QSet<QWidget*> openBefore_;
    bool cancellable_ = false;
};

} // namespace velmora::ui
