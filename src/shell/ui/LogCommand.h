#pragma once
// "Szervíz → Napló": the last entries of the installation's diagnostic log
// (velmora.log in the working directory) in a window.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

#include <cstddef>

class QWidget;

namespace velmora::ui {

class TNaplo;

// How many of the last lines the window shows.
inline constexpr std::size_t kLogLinesShown = 500;

class LogCommand {
public:
    LogCommand(QWidget& owner, const app::Session& session, app::Dialogs& dialogs);

    // "Napló", through the guard.
    MenuCommands commands();
    void run();

    TNaplo* window() const { return window_; }

private:
    const app::Session& session_;
    CommandGuard guard_;
    TNaplo* window_;  // owned by the owner
};

} // namespace velmora::ui
