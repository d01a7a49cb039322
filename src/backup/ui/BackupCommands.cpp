#include "backup/ui/BackupCommands.h"

#include "backup/ui/Tmentjel.h"
#include "backup/ui/Tviszv.h"
#include "shell/ui/TAlapkeres.h"
#include "widgets/QtProgress.h"
#include "widgets/QtText.h"

#include <QWidget>

namespace velmora::ui {

BackupCommands::BackupCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                               TAlapkeres& location)
    : owner_(owner), session_(session), db_(dbs), dialogs_(dialogs), guard_(dialogs, &dbs), location_(location),
      viszv_(new Tviszv(&owner, session, dialogs, location, guard_)), mentjel_(new Tmentjel(&owner)) {}

MenuCommands BackupCommands::commands() {
    return {{"Ments1", guard_.guarded([this] { backup(); })},
            {"Visszatlts1", guard_.guarded([this] { restore(); })}};
}

void BackupCommands::backup() {
    QtProgress progress(&owner_);
    backup::runBackup(db_, session_, dialogs_, *this, progress);
}

void BackupCommands::restore() {
    bool goOn = true;
    {
        QtProgress progress(&owner_);
        goOn = !backup::runRestore(db_, session_, dialogs_, *this, progress).programEnds;
    }
    if (!goOn) owner_.close();
}

// The location window at its backup place, under the backup's caption; its
// own caption comes back afterwards.
std::optional<std::string> BackupCommands::chooseBackupPlace() {
    return location_.choose("S", backup::kPlaceCaption);
}

std::optional<std::string> BackupCommands::askPassphrase(const std::string& prompt) { return mentjel_->ask(prompt); }

std::optional<backup::RestoreSource> BackupCommands::chooseRestoreSource() {
    viszv_->run();
    if (viszv_->vhonnan.empty()) return std::nullopt;
    return backup::RestoreSource{viszv_->vhonnan, viszv_->vv};
}

} // namespace velmora::ui
