#include "shell/ui/LogCommand.h"

#include "app/DiagnosticLog.h"
#include "shell/ui/TNaplo.h"

#include <QWidget>

#include <filesystem>

namespace velmora::ui {

LogCommand::LogCommand(QWidget& owner, const app::Session& session, app::Dialogs& dialogs)
    : session_(session), guard_(dialogs), window_(new TNaplo(&owner)) {}

MenuCommands LogCommand::commands() { return {{"Naplo1", guard_.guarded([this] { run(); })}}; }

void LogCommand::run() {
    // The working directory is set by the start-up; before it (a start-up
    // that stopped early) it is still the directory the program started in.
    const std::string dir = session_.gdir.empty() ? std::filesystem::current_path().string() : session_.gdir;
    window_->setLines(app::lastLogLines(app::logFileIn(dir), kLogLinesShown));
    window_->exec();
}

} // namespace velmora::ui
