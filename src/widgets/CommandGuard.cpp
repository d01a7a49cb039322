#include "widgets/CommandGuard.h"

#include "app/Dialogs.h"
#include "app/UserError.h"
#include "db/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <vector>

namespace velmora::ui {

void CancelPendingEdits(db::Database& tables) {
    for (db::Table* t : tables.tables()) {
        const db::TableState state = t->state();
        if (state == db::TableState::Edit || state == db::TableState::Insert) t->cancel();
    }
}

namespace {

// Where the user's last input went. A command started with no input since
// the running one began is a call of that command (a menu item's guard
// around a command's own); otherwise the input came from a window, and
// that window decides.
class InputWatch : public QObject {
public:
    static InputWatch& instance() {
        static InputWatch* watch = [] {
            auto* w = new InputWatch;
            if (qApp) qApp->installEventFilter(w);
            return w;
        }();
        return *watch;
    }
    quint64 count = 0;
    QPointer<QWidget> window;

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Shortcut:
            if (target->isWidgetType()) {
                ++count;
                window = ownerWindow(static_cast<QWidget*>(target));
            }
            break;
        default: break;
        }
        return false;
    }

private:
    // A menu's input belongs to the window the menu was opened from.
    static QWidget* ownerWindow(QWidget* w) {
        w = w->window();
        while ((w->windowFlags() & Qt::Popup) == Qt::Popup && w->parentWidget()) w = w->parentWidget()->window();
        return w;
    }
};

struct RunningCommand {
    QSet<QWidget*> openBefore;  // the windows open when it began
    quint64 inputBefore;
};

std::vector<RunningCommand>& runningCommands() {
    static std::vector<RunningCommand> running;
    return running;
}

QSet<QWidget*> openWindows() {
    QSet<QWidget*> open;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) open.insert(w);
    return open;
}

// A command may start when none runs, when it is called by the running one,
// or from a window that the running command opened.
bool mayStart() {
    if (runningCommands().empty()) return true;
    const RunningCommand& running = runningCommands().back();
    const InputWatch& input = InputWatch::instance();
    if (input.count == running.inputBefore) return true;
    return input.window && !running.openBefore.contains(input.window.data());
}

struct Running {
    Running() { runningCommands().push_back({openWindows(), InputWatch::instance().count}); }
    ~Running() { runningCommands().pop_back(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

} // namespace

bool CommandGuard::run(const std::function<void()>& command) const {
    if (!mayStart()) {
        dialogs_->warning(kBusy);
        return false;
    }
    const Running running;
    try {
        command();
        return true;
    } catch (const app::UserError& e) {
        cancelEdits();
        dialogs_->error(e.what());
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Ismeretlen hiba.");
    }
    return false;
}

void CommandGuard::report(const std::string& detail) const {
    cancelEdits();
    dialogs_->error(kFailedStep, detail);
}

// The edits go before the box: nothing half-written may be posted by
// whatever moves a cursor while the box is open, or after it.
void CommandGuard::cancelEdits() const {
    if (!tables_) return;
    try {
        CancelPendingEdits(*tables_);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
}

std::function<void()> CommandGuard::guarded(std::function<void()> command) const {
    return [guard = *this, command = std::move(command)] { guard.run(command); };
}

void CommandGuard::onClick(QAbstractButton* button, QObject* context, std::function<void()> command) const {
    QObject::connect(button, &QAbstractButton::clicked, context, guarded(std::move(command)));
}

} // namespace velmora::ui
