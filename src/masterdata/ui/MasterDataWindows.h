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

class Tfokep;
class TApolf;
class TApolfel;
class TOrvosfel;
class Torvval;

struct MasterDataWindows {
    MasterDataWindows(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

    // Plugs the menu commands into the main window.
    void connectCommands();

    // Menu commands.
    void Orvosok1Click();
    void Szakpolk1Click();

    Tfokep& fokep;
    app::Session& session;
    db::Database& dbs;
    app::Dialogs& dialogs;

    // Owned by the main window.
    TOrvosfel* orvosfel;
    TApolfel* apolfel;
    Torvval* orvval;
    TApolf* apolf;
};

} // namespace velmora::ui
