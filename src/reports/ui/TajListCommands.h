#pragma once
// "TAJ számos ellenőrző listák": the list of one patient (its TAJ from
// Ttajsz) and the provider-wide list (its periods from Ttajido), shown in
// the report preview.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "reports/TajLists.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class Tbetegval;
class Ttajido;
class Ttajsz;

class TajListCommands {
public:
    // `chooser` is the patient choose window a double click opens (may be null).
    TajListCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                    Tbetegval* chooser);

    MenuCommands commands();
    void onePatient();
    void summary();

    Ttajsz* tajsz() const { return tajsz_; }
    Ttajido* tajido() const { return tajido_; }

private:
    void show(reports::TajSelection selection);

    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    Ttajsz* tajsz_;    // owned by the owner
    Ttajido* tajido_;  // owned by the owner
};

} // namespace velmora::ui
