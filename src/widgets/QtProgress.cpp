#include "widgets/QtProgress.h"

#include "widgets/QtText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QTimer>

#include <climits>

namespace velmora::ui {

namespace {

// Work that cannot stop halfway is not stopped by Escape or the close box
// either.
class ProgressDialog : public QProgressDialog {
public:
    ProgressDialog(bool cancellable, QWidget* parent) : QProgressDialog(parent), cancellable_(cancellable) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!cancellable_ && event->key() == Qt::Key_Escape) return;
        QProgressDialog::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!cancellable_) {
            event->ignore();
            return;
        }
        QProgressDialog::closeEvent(event);
    }

private:
    bool cancellable_;
};

bool isOpenModal(const QWidget* w) { return w->isWindow() && w->isVisible() && w->isModal(); }

} // namespace

QtProgress::QtProgress(QWidget* parent) : parent_(parent) {
    showTimer_ = new QTimer(this);
    showTimer_->setSingleShot(true);
    showTimer_->setTimerType(Qt::PreciseTimer);
    connect(showTimer_, &QTimer::timeout, this, [this] { showWhenDue(); });
}

QtProgress::~QtProgress() { end(); }

void QtProgress::begin(const std::string& title, int total, bool cancellable) {
    end();
    cancellable_ = cancellable;
    openBefore_.clear();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) openBefore_.insert(w);
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent_.data();
    dialog_ = std::make_unique<ProgressDialog>(cancellable, parent);
    dialog_->setObjectName(QStringLiteral("Progress"));
    dialog_->setWindowTitle(qs(title));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    // The dialog's own delayed showing is switched off: it would fire inside
    // any event loop, a message box's too. This class shows it (showWhenDue).
    dialog_->setMinimumDuration(INT_MAX);
    if (cancellable)
        dialog_->setCancelButtonText(QString::fromUtf8("Mégsem"));
    else
        dialog_->setCancelButton(nullptr);
    dialog_->setRange(0, std::max(total, 1));
    dialog_->setValue(0);
    dialog_->hide();
    started_.start();
    qApp->installEventFilter(this);
    showTimer_->start(kShowAfterMs);
}

void QtProgress::step(const std::string& text, int done) {
    if (!dialog_) return;
    dialog_->setLabelText(qs(text));
    dialog_->setValue(std::min(done, dialog_->maximum()));
    showWhenDue();
    // Pending events run here, so the dialog paints and its "Mégsem" can be
    // pressed.
    if (dialog_ && dialog_->isVisible()) QCoreApplication::processEvents();
}

bool QtProgress::cancelled() const { return cancellable_ && dialog_ && dialog_->wasCanceled(); }

void QtProgress::end() {
    if (!dialog_) return;
    showTimer_->stop();
    qApp->removeEventFilter(this);
    openBefore_.clear();
    dialog_.reset();
}

void QtProgress::showWhenDue() {
    if (!dialog_ || dialog_->isVisible()) return;
    if (const qint64 left = kShowAfterMs - started_.elapsed(); left > 0) {
        if (!showTimer_->isActive()) showTimer_->start(static_cast<int>(left));
        return;
    }
    if (anotherWindowOpened()) return;
    dialog_->show();
    dialog_->raise();
}

bool QtProgress::anotherWindowOpened() const {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != dialog_.get() && isOpenModal(w) && !openBefore_.contains(w)) return true;
    return false;
}

// A modal window shown while the work runs hides the dialog until the next
// step after it has closed.
bool QtProgress::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && dialog_ && dialog_->isVisible() && watched != dialog_.get() &&
        watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && w->isModal() && !openBefore_.contains(w)) dialog_->hide();
    }
    return false;
}

} // namespace velmora::ui
