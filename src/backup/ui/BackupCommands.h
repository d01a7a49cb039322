#pragma once
// "Mentés" and "Visszatöltés" as the main menu runs them: the location
// window picks the backup's place, the restore window `Tviszv` its source,
// the passphrase window `Tmentjel` takes an encrypted copy's passphrase,
// a progress dialog follows the work. A restore after which the contract
// details cannot be read ends the program, as a start-up would.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "backup/Backup.h"
#include "backup/Restore.h"
#include "db/Database.h"
#include "widgets/CommandGuard.h"
#include "widgets/MenuCommand.h"

class QWidget;

namespace velmora::ui {

class TAlapkeres;
class Tmentjel;
class Tviszv;

class BackupCommands : private backup::BackupWindows, private backup::RestoreWindows {
public:
    BackupCommands(QWidget& owner, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                   TAlapkeres& location);

    // "Mentés" and "Visszatöltés", through the guard.
    MenuCommands commands();
    void backup();
    void restore();

    Tviszv* viszv() const { return viszv_; }
    Tmentjel* mentjel() const { return mentjel_; }

private:
    std::optional<std::string> chooseBackupPlace() override;
    std::optional<backup::RestoreSource> chooseRestoreSource() override;
    std::optional<std::string> askPassphrase(const std::string& prompt) override;

    QWidget& owner_;
    app::Session& session_;
    db::Database& db_;
    app::Dialogs& dialogs_;
    CommandGuard guard_;
    TAlapkeres& location_;
    Tviszv* viszv_;      // owned by the owner
    Tmentjel* mentjel_;  // owned by the owner
};

} // namespace velmora::ui
