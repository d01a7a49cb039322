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

class Tbnonez;
class Tbnoval;
class Tfokep;
class Tmaradfel;
class Ttelepval;

struct MasterDataWindows {
    MasterDataWindows(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

    // Plugs the menu commands into the main window.
    void connectCommands();

    // "B&NO X": the BNO viewer.
    void BNOX1Click();
    // "&Maradványok": the residue window in period order.
    void Maradvnyok1Click();

    Tfokep& fokep;
    app::Session& session;
    db::Database& dbs;
    app::Dialogs& dialogs;

    // Settlement and BNO choose windows (the patient window and the sheet
    // entry set their anchors), the BNO viewer, the residue window.
    Ttelepval* telepval;
    Tbnoval* bnoval;
    Tbnonez* bnonez;
    Tmaradfel* maradfel;
};

} // namespace velmora::ui
