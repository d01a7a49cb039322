#include "widgets/CommandGuard.h"

#include "app/Dialogs.h"
#include "app/UserError.h"
#include "db/Database.h"

#include <QAbstractButton>

#include <cstdio>
#include <exception>

namespace velmora::ui {

void CancelPendingEdits(db::Database& tables) {
    for (db::Table* t : tables.tables()) {
        const db::TableState state = t->state();
        if (state == db::TableState::Edit || state == db::TableState::Insert) t->cancel();
    }
}

bool CommandGuard::run(const std::function<void()>& command) const {
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
