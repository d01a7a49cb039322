#pragma once
// The overview's menu commands: "Áttekintés" under Adatok and "Ki nem
// fizetett napok" under Listák, and the offer after login: when the
// overview finds something that needs attention, the program says what and
// asks whether to open it.
#include "overview/ui/Tattekint.h"
#include "widgets/MenuCommand.h"

namespace velmora::ui {


class OverviewCommands {
public:
    OverviewCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                     OverviewLinks links);
    MenuCommands commands();
    // After login; nothing when nothing needs attention.
    void offer();

    Tattekint* attekint;  // owned by the owner

private:
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
};

} // namespace velmora::ui
