#include "widgets/QtProgress.h"

#include "widgets/QtText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QProgressDialog>

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

} // namespace

QtProgress::QtProgress(QWidget* parent) : parent_(parent) {}

QtProgress::~QtProgress() = default;

void QtProgress::begin(const std::string& title, int total, bool cancellable) {
    cancellable_ = cancellable;
    QWidget* parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent_.data();
    dialog_ = std::make_unique<ProgressDialog>(cancellable, parent);
    dialog_->setObjectName(QStringLiteral("Progress"));
    dialog_->setWindowTitle(qs(title));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(kShowAfterMs);
    if (cancellable)
        dialog_->setCancelButtonText(QString::fromUtf8("Mégsem"));
    else
        dialog_->setCancelButton(nullptr);
    dialog_->setRange(0, std::max(total, 1));
    dialog_->setValue(0);
}

void QtProgress::step(const std::string& text, int done) {
    if (!dialog_) return;
    dialog_->setLabelText(qs(text));
    // A modal dialog lets pending events run here, so it paints and its
    // "Mégsem" can be pressed.
    dialog_->setValue(std::min(done, dialog_->maximum()));
}

bool QtProgress::cancelled() const { return cancellable_ && dialog_ && dialog_->wasCanceled(); }

void QtProgress::end() { dialog_.reset(); }

} // namespace velmora::ui
