#include "exchange/ui/FullImportCommand.h"

#include "shell/ui/TAlapkeres.h"
#include "widgets/QtProgress.h"
#include "widgets/QtText.h"

namespace velmora::ui {

FullImportCommand::FullImportCommand(QWidget& owner, app::Session& session, db::Database& dbs,
                                     app::Dialogs& dialogs, TAlapkeres& location)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs), location_(location) {}

MenuCommands FullImportCommand::commands() {
    return {{"Teljesadatllomnybeolvassa1", guard_.guarded([this] { run(); })}};
}

void FullImportCommand::run() {
    QtProgress progress(&owner_);
    exchange::importFullDataSet(db_, session_, dialogs_, progress, *this);
}

std::optional<std::string> FullImportCommand::sourceDirectory() {
    return location_.choose("S", exchange::kFullImportCaption);
}

} // namespace velmora::ui
