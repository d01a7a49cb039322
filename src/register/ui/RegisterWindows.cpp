#include "register/ui/RegisterWindows.h"

#include "app/Dialogs.h"
#include "register/ui/Tlapok.h"

#include <QApplication>

namespace velmora::ui {

using reg::RegisterMode;

RegisterWindows::RegisterWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                                 SheetWindows& sheetWindows)
    : session_(session), ctx_{dbs, session, dialogs}, guard_(dialogs, &dbs),
      lapok_(new Tlapok(&owner, ctx_, guard_, sheetWindows, bulkToggle_)) {}

MenuCommands RegisterWindows::commands() {
    return {{"Elszmolsilapokrgztse1", guard_.guarded([this] { recording(); })}};
}

void RegisterWindows::run(RegisterMode mode, const std::string& filter) {
    session_.kuldnez = mode != RegisterMode::Recording;
    lapok_->run(mode, filter);
}

void RegisterWindows::recording() {
    QApplication::processEvents();
    ctx_.dialogs.status(0, "Elszámolási lapok rögzítése");
    run(RegisterMode::Recording, reg::yearFilter(ctx_.session.mIdoszak));
}

void RegisterWindows::recordingOf(const std::string& filter) {
    QApplication::processEvents();
    ctx_.dialogs.status(0, "Elszámolási lapok rögzítése");
    run(RegisterMode::Recording, filter);
}

void RegisterWindows::sending(const std::string& filter) {
    ctx_.dialogs.status(0, "Elszámolási lapok küldése RUV-felé");
    bulkToggle_.on = false;
    run(RegisterMode::Sending, filter);
}

void RegisterWindows::printing() {
    QApplication::processEvents();
    ctx_.dialogs.status(0, "Elszámolási lapok nyomtatása");
    run(RegisterMode::Printing, reg::yearFilter(ctx_.session.mIdoszak));
}

} // namespace velmora::ui
