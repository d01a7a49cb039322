#include "MasterDataWindows.h"

#include "Tbnonez.h"
#include "Tbnoval.h"
#include "Tmaradfel.h"
#include "Ttelepval.h"
#include "app/IndexFiles.h"
#include "app/Schemas.h"
#include "app/ui/Tfokep.h"

namespace velmora::ui {

using app::tableOf;

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl),
      telepval(new Ttelepval(&fokep, tableOf(dbs, app::schema::TELEPUL()))),
      bnoval(new Tbnoval(&fokep, tableOf(dbs, app::schema::BNOTORZS()))),
      bnonez(new Tbnonez(&fokep, tableOf(dbs, app::schema::BNOTORZS()))),
      maradfel(new Tmaradfel(&fokep, tableOf(dbs, app::schema::MARADV()), tableOf(dbs, app::schema::PART()), session,
                             dialogs)) {}

void MasterDataWindows::connectCommands() {
    fokep.setCommand("BNOX1", [this] { BNOX1Click(); });
    fokep.setCommand("Maradvnyok1", [this] { Maradvnyok1Click(); });
}

void MasterDataWindows::BNOX1Click() { bnonez->runFromMenu(dialogs); }

void MasterDataWindows::Maradvnyok1Click() {
    db::Table& maradv = tableOf(dbs, app::schema::MARADV());
    maradv.setActiveIndex("Mar1");
    maradv.first();
    maradfel->runFromMenu(dialogs, "Maradványok megnézése", 273, 200);
}

} // namespace velmora::ui
