#pragma once
// The master-data windows: created once when the program starts, owned by
// the main window and kept until the program ends, so a window keeps its
// grid positions between openings. The menu commands of the "Alapadatok"
// menu open them; the choose windows are used by the sheet entry too.
namespace velmora::app {
class Dialogs;
class Session;
}
namespace velmora::db { class Database; }

namespace velmora::ui {

class Tbetegfel;
class Tbetegval;
class Tfokep;

struct MasterDataWindows {
    MasterDataWindows(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

    // Plugs the menu commands into the main window.
    void connectCommands();

    Tfokep& fokep;
    app::Session& session;
    db::Database& dbs;
    app::Dialogs& dialogs;

    Tbetegfel* betegfel = nullptr;  // "&Betegek"
    Tbetegval* betegval = nullptr;  // patient choice for the sheet entry and the TAJ check list
};

} // namespace velmora::ui
