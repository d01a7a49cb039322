#pragma once
// No command ends the program. Every command started from a menu or a
// button runs through a guard: what it throws (an engine error naming its
// file and field, or any other failure) is shown as "Hiba a lefutásban!"
// with the message below it, the pending edits of the tables are cancelled
// so no half-written row is posted later, and the program goes on. A
// refusal meant for the user (app::UserError) is shown as it stands.
//
// One command runs at a time. A command that is running may call another,
// and may open windows whose commands run inside it; but a command the user
// starts from a window that was already open when the running one began
// (the register behind a page that is still loading, the main menu behind
// a long import) is refused with kBusy and nothing is done.
#include <functional>
#include <string>

class QAbstractButton;
class QObject;

namespace velmora::app { class Dialogs; }
namespace velmora::db { class Database; }

namespace velmora::ui {

// The system's text for a failed step.
inline constexpr const char* kFailedStep = "Hiba a lefutásban!";
// Another command was started while one is running.
inline constexpr const char* kBusy = "Egy másik művelet még folyamatban van. Kérem, várja meg a végét!";

// Cancels the edit of every table of the database that is in Edit or
// Insert state.
void CancelPendingEdits(db::Database& tables);

class CommandGuard {
public:
    // Without tables the guard shows the failure and cancels nothing.
    explicit CommandGuard(app::Dialogs& dialogs, db::Database* tables = nullptr)
        : dialogs_(&dialogs), tables_(tables) {}

    void setTables(db::Database* tables) { tables_ = tables; }
    app::Dialogs& dialogs() const { return *dialogs_; }

    // Runs the command; false when it failed or was refused and the message
    // was shown (also when another command is running, see above).
    bool run(const std::function<void()>& command) const;
    // The same for a failure caught elsewhere (the application's last
    // guard): pending edits cancelled, the failure shown with the detail.
    void report(const std::string& detail) const;

    // The command as the guard runs it.
    std::function<void()> guarded(std::function<void()> command) const;
    // A button's click runs the command through the guard, while `context`
    // lives.
    void onClick(QAbstractButton* button, QObject* context, std::function<void()> command) const;

private:
    void cancelEdits() const;

    app::Dialogs* dialogs_;
    db::Database* tables_;
};

} // namespace velmora::ui
