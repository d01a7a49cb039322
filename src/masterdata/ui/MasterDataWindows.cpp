#include "MasterDataWindows.h"

#include "StaffChooseWindow.h"
#include "StaffWindow.h"
#include "app/IndexFiles.h"
#include "app/Schemas.h"
#include "app/ui/Tfokep.h"

namespace velmora::ui {

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl), orvosfel(new TOrvosfel(&f, d, dl)), apolfel(new TApolfel(&f, d, dl)),
      orvval(new Torvval(&f, app::tableOf(d, app::schema::ORVOS()))),
      apolf(new TApolf(&f, app::tableOf(d, app::schema::APOL()))) {}

void MasterDataWindows::connectCommands() {
    fokep.setCommand("Orvosok1", [this] { Orvosok1Click(); });
    fokep.setCommand("Szakpolk1", [this] { Szakpolk1Click(); });
}

void MasterDataWindows::Orvosok1Click() { orvosfel->run(); }

void MasterDataWindows::Szakpolk1Click() { apolfel->run(); }

} // namespace velmora::ui
