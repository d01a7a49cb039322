#include "MasterDataWindows.h"

#include "StaffChooseWindow.h"
#include "StaffWindow.h"
#include "Tbetegfel.h"
#include "Tbetegval.h"
#include "Tbnonez.h"
#include "Tbnoval.h"
#include "Tmaradfel.h"
#include "Tszerzmut.h"
#include "Ttelepval.h"
#include "app/IndexFiles.h"
#include "app/Schemas.h"
#include "app/ui/Tfokep.h"

#include <QDialog>

namespace velmora::ui {

using app::tableOf;

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl),
      szerzmut(new Tszerzmut(dbs, dialogs, &fokep)),
      betegfel(new Tbetegfel(&fokep, session, dbs, dialogs)),
      betegval(new Tbetegval(&fokep, dbs)),
      orvosfel(new TOrvosfel(&fokep, dbs, dialogs)),
      apolfel(new TApolfel(&fokep, dbs, dialogs)),
      orvval(new Torvval(&fokep, tableOf(dbs, app::schema::ORVOS()))),
      apolf(new TApolf(&fokep, tableOf(dbs, app::schema::APOL()))),
      telepval(new Ttelepval(&fokep, tableOf(dbs, app::schema::TELEPUL()))),
      bnoval(new Tbnoval(&fokep, tableOf(dbs, app::schema::BNOTORZS()))),
      bnonez(new Tbnonez(&fokep, tableOf(dbs, app::schema::BNOTORZS()))),
      maradfel(new Tmaradfel(&fokep, tableOf(dbs, app::schema::MARADV()), tableOf(dbs, app::schema::PART()), session,
                             dialogs)) {
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

void MasterDataWindows::connectCommands() {
    fokep.setCommand("Szerzds1", [this] { szerzmut->Szerzds1Click(); });
    fokep.setCommand("Betegek1", [this] { betegfel->runFromMenu(dialogs, "Új beteg rögzítése", 407, 222); });
    fokep.setCommand("Orvosok1", [this] { Orvosok1Click(); });
    fokep.setCommand("Szakpolk1", [this] { Szakpolk1Click(); });
    fokep.setCommand("BNOX1", [this] { BNOX1Click(); });
    fokep.setCommand("Maradvnyok1", [this] { Maradvnyok1Click(); });
}

void MasterDataWindows::Orvosok1Click() { orvosfel->run(); }

void MasterDataWindows::Szakpolk1Click() { apolfel->run(); }

void MasterDataWindows::BNOX1Click() { bnonez->runFromMenu(dialogs); }

void MasterDataWindows::Maradvnyok1Click() {
    db::Table& maradv = tableOf(dbs, app::schema::MARADV());
    maradv.setActiveIndex("Mar1");
    maradv.first();
    maradfel->runFromMenu(dialogs, "Maradványok megnézése", 273, 200);
}

} // namespace velmora::ui
