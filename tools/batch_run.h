#pragma once
// What a command of velmora-batch works with once the data directory is
// open and the start-up has run.
#include "batch_commands.h"
#include "batch_console.h"

#include "app/Failure.h"
#include "app/Session.h"
#include "db/Database.h"
#include "sheets/Sheet.h"

#include <optional>
#include <string>

namespace velmora::batch {

struct Run {
    const Options& options;
    db::Database& db;
    app::Session& session;
    app::Dialogs& dialogs;    // the console behind the installation's log
    ConsoleDialogs& console;  // answers the questions, remembers the one refused
    ConsoleProgress& progress;
};

// The exit code from what the command came to: kRefused when it stopped on
// a question that needs --yes (its text is written), kFailed when it
// stopped on a failure, else kOk.
int exitCode(const app::Outcome& outcome, const ConsoleDialogs& console);

// "2024.03/00012A" as a sheet key; nothing when malformed.
std::optional<sheets::SheetKey> parseSheetKey(const std::string& text);

// "report NAME": the report written as PDF.
int reportCommand(Run& run);

// "history": the history as tab-separated text on standard output.
int historyCommand(Run& run);

} // namespace velmora::batch
