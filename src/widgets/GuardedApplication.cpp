#include "widgets/GuardedApplication.h"

#include "app/Version.h"
#include "widgets/CommandGuard.h"
#include "widgets/QtText.h"

#include <QMessageBox>

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
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Ismeretlen hiba.");
    }
    return true;
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
