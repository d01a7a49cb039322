#pragma once
// The application object of the program and of the window tests. As a last
// guard, a failure that escapes an event handler (a key, a focus change, a
// timer: anything no command guard wraps) is shown and the event counts as
// handled, instead of ending the program. A dialog that closes hands the
// focus back to its owner when nothing else took it.
#include <QApplication>

#include "widgets/CommandGuard.h"

#include <optional>
#include <string>

namespace velmora::ui {

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);
    ~GuardedApplication() override;

    // The guard that shows an escaped failure and cancels the pending
    // edits; without one the failure is shown in a plain error box.
    void setGuard(const CommandGuard* guard);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void dialogClosed(QWidget* dialog);
    void report(const std::string& detail);

    std::optional<CommandGuard> guard_;
    bool reporting_ = false;
};

} // namespace velmora::ui
