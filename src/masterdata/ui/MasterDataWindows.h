#pragma once
// The master-data windows: created once when the program starts, owned by
// the window they are given (the main window) and kept until the program
// ends, so a window keeps its grid positions between openings. The menu
// commands of the "Alapadatok" menu open them; the choose windows are used
// by the sheet entry too. Every command and button of these windows runs
// through one command guard over the database's tables.
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::app {
class Dialogs;
class Session;
}
namespace velmora::db { class Database; }

namespace velmora::ui {

class TApolf;
class TApolfel;
class Tbetegfel;
class Tbetegval;
class Tbnonez;
class Tbnoval;
class Tmaradfel;
class TOrvosfel;
class Torvval;
class Tszerzmut;
class Ttelepval;

struct MasterDataWindows {
    MasterDataWindows(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs);

    // The menu commands, for the main window's menu, each through the guard.
    MenuCommands commands();

    void Orvosok1Click();
    void Szakpolk1Click();
    void BNOX1Click();
    void Maradvnyok1Click();

    QWidget& owner;
    app::Session& session;
    db::Database& dbs;
    app::Dialogs& dialogs;
    CommandGuard guard;

    // Owned by `owner`.
    Tszerzmut* szerzmut;   // "&Szerződés"
    Tbetegfel* betegfel;   // "&Betegek"
    Tbetegval* betegval;   // patient choice for the sheet entry and the TAJ check list
    TOrvosfel* orvosfel;   // "&Orvosok"
    TApolfel* apolfel;     // "Sza&kápolók"
    Torvval* orvval;       // doctor choice for the sheet entry
    TApolf* apolf;         // nurse choice for the sheet entry
    // Settlement and BNO choose windows (the patient window and the sheet
    // entry set their anchors), the BNO viewer, the residue window.
    Ttelepval* telepval;
    Tbnoval* bnoval;
    Tbnonez* bnonez;
    Tmaradfel* maradfel;
};

} // namespace velmora::ui
