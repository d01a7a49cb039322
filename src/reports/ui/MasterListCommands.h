#pragma once
// The "Törzslisták" menu: the doctors', nurses' and patients' lists, the
// whole BNO list and the BNO list of a disease chapter, each shown in the
// report preview.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "reports/MasterLists.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class TBcsop;

class MasterListCommands {
public:
    MasterListCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

    MenuCommands commands();
    void print(reports::MasterList list);
    void printChapter();

    TBcsop* bcsop() const { return bcsop_; }

private:
    void show(reports::MasterList list, const std::optional<reports::BnoChapter>& chapter, const char* status);

    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    TBcsop* bcsop_;  // owned by the owner
};

} // namespace velmora::ui
