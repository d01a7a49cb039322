#include "MasterDataWindows.h"

#include "Tbetegfel.h"
#include "Tbetegval.h"
#include "app/ui/Tfokep.h"

namespace velmora::ui {

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl) {
    betegfel = new Tbetegfel(&f, s, d, dl);
    betegval = new Tbetegval(&f, d);
}

void MasterDataWindows::connectCommands() {
    fokep.setCommand("Betegek1", [this] { betegfel->runFromMenu(dialogs, "Új beteg rögzítése", 407, 222); });
}

} // namespace velmora::ui
