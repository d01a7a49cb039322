#include "MasterDataWindows.h"

#include "app/ui/Tfokep.h"

namespace velmora::ui {

MasterDataWindows::MasterDataWindows(Tfokep& f, app::Session& s, db::Database& d, app::Dialogs& dl)
    : fokep(f), session(s), dbs(d), dialogs(dl) {}

void MasterDataWindows::connectCommands() {}

} // namespace velmora::ui
