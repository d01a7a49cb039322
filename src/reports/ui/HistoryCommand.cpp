#include "reports/ui/HistoryCommand.h"

#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "reports/ui/TElozmeny.h"

namespace velmora::ui {

HistoryCommand::HistoryCommand(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                               RegisterWindows& registerWindows)
    : guard_(dialogs, &dbs), window_(new TElozmeny(&owner, session, dbs, dialogs, guard_)),
      sheetWindow_(new TElozmeny(registerWindows.lapok(), session, dbs, dialogs, guard_)) {
    registerWindows.lapok()->setHistoryAction([this](const sheets::SheetKey& key) { sheetWindow_->runSheet(key); });
}

MenuCommands HistoryCommand::commands() {
    return {{"Elzmnyek1", guard_.guarded([this] { window_->runAll(); })}};
}

} // namespace velmora::ui
