#include "masterdata/ui/MasterDataWindows.h"

#include "masterdata/ui/StaffChooseWindow.h"
#include "masterdata/ui/StaffWindow.h"
#include "masterdata/ui/Tbetegfel.h"
#include "masterdata/ui/Tbetegval.h"
#include "masterdata/ui/Tbnonez.h"
#include "masterdata/ui/Tbnoval.h"
#include "masterdata/ui/Tmaradfel.h"
#include "masterdata/ui/Tszerzmut.h"
#include "masterdata/ui/Ttelepval.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <QDialog>

namespace velmora::ui {

using store::tableOf;

MasterDataWindows::MasterDataWindows(QWidget& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : owner(f), session(s), dbs(d), dialogs(dl), guard(dialogs, &dbs),
      szerzmut(new Tszerzmut(dbs, dialogs, &owner)),
      betegfel(new Tbetegfel(&owner, session, dbs, dialogs, guard)),
      betegval(new Tbetegval(&owner, dbs, guard)),
      orvosfel(new TOrvosfel(&owner, dbs, dialogs, guard)),
      apolfel(new TApolfel(&owner, dbs, dialogs, guard)),
      orvval(new Torvval(&owner, tableOf(dbs, store::schema::ORVOS()), guard)),
      apolf(new TApolf(&owner, tableOf(dbs, store::schema::APOL()), guard)),
      telepval(new Ttelepval(&owner, tableOf(dbs, store::schema::TELEPUL()), guard)),
      bnoval(new Tbnoval(&owner, tableOf(dbs, store::schema::BNOTORZS()), guard)),
      bnonez(new Tbnonez(&owner, tableOf(dbs, store::schema::BNOTORZS()))),
      maradfel(new Tmaradfel(&owner, tableOf(dbs, store::schema::MARADV()), tableOf(dbs, store::schema::PART()), session,
                             dialogs, guard)) {
    // A double click on the patient's settlement code opens the settlement
    // choice beside the patient window.
    telepval->setPatientWindow(betegfel);
    betegfel->chooseSettlement = [this]() -> std::optional<std::pair<std::string, std::string>> {
        telepval->honnan.assign(1, 'B');
        telepval->exec();
        if (telepval->vkod.empty()) return std::nullopt;
        return std::make_pair(telepval->vkod, telepval->vnev);
    };
}

MenuCommands MasterDataWindows::commands() {
    MenuCommands out = {{"Szerzds1", [this] { szerzmut->Szerzds1Click(); }},
                        {"Betegek1", [this] { betegfel->runFromMenu(dialogs, "Új beteg rögzítése", 407, 222); }},
                        {"Orvosok1", [this] { Orvosok1Click(); }},
                        {"Szakpolk1", [this] { Szakpolk1Click(); }},
                        {"BNOX1", [this] { BNOX1Click(); }},
                        {"Maradvnyok1", [this] { Maradvnyok1Click(); }}};
    for (MenuCommand& c : out) c.run = guard.guarded(std::move(c.run));
    return out;
}

void MasterDataWindows::Orvosok1Click() { orvosfel->run(); }

void MasterDataWindows::Szakpolk1Click() { apolfel->run(); }

void MasterDataWindows::BNOX1Click() { bnonez->runFromMenu(dialogs); }

void MasterDataWindows::Maradvnyok1Click() {
    db::Table& maradv = tableOf(dbs, store::schema::MARADV());
    maradv.setActiveIndex("Mar1");
    maradv.first();
    maradfel->runFromMenu(dialogs, "Maradványok megnézése", 273, 200);
}

} // namespace velmora::ui
