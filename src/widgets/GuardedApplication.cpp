#include "widgets/GuardedApplication.h"

#include "app/Version.h"
#include "widgets/CommandGuard.h"
#include "widgets/QtText.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace velmora::ui {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

GuardedApplication::~GuardedApplication() = default;

void GuardedApplication::setGuard(const CommandGuard* guard) {
    if (guard)
        guard_.emplace(*guard);
    else
        guard_.reset();
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        if (event->type() == QEvent::Hide && qobject_cast<QDialog*>(receiver)) {
            const bool handled = QApplication::notify(receiver, event);
            dialogClosed(static_cast<QWidget*>(receiver));
            return handled;
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Ismeretlen hiba.");
    }
    return true;
}

// Without a window manager to choose the next active window, none is active
// once a dialog closes and the Alt keys do nothing until a click. The modal
// window open now, or else the dialog's owner, takes the focus back.
void GuardedApplication::dialogClosed(QWidget* dialog) {
    QPointer<QWidget> owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!owner) return;
    QTimer::singleShot(0, owner, [owner] {
        const QWidget* active = activeWindow();
        if (active && active->isVisible()) return;
        QWidget* next = activeModalWidget() ? activeModalWidget() : owner.data();
        if (next && next->isVisible()) next->activateWindow();
    });
}

void GuardedApplication::report(const std::string& detail) {
    // A failure while the box of another one is open (a paint event that
    // fails again) goes no further than the error stream.
    if (reporting_) {
        std::fprintf(stderr, "%s\n", detail.c_str());
        return;
    }
    reporting_ = true;
    try {
        if (guard_) {
            guard_->report(detail);
        } else {
            QMessageBox box(QMessageBox::Critical, app::kProgramTitle, QString::fromUtf8(kFailedStep),
                            QMessageBox::Ok, activeModalWidget());
            box.setInformativeText(qs(detail));
            box.exec();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    reporting_ = false;
}

} // namespace velmora::ui
