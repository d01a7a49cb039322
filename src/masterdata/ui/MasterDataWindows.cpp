#include "MasterDataWindows.h"

#include "Tszerzmut.h"
#include "app/ui/Tfokep.h"

namespace velmora::ui {

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl) {
    szerzmut = new Tszerzmut(dbs, dialogs, &fokep);
}

void MasterDataWindows::connectCommands() {
    fokep.setCommand("Szerzds1", [this] { szerzmut->Szerzds1Click(); });
}

} // namespace velmora::ui
