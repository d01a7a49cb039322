#pragma once
// "Mentés helyének kiválasztása": the user picks a drive and a directory for
// a backup, a restore, the shipment or an import. The caller sets the
// caption and beolv, shows the window modally, then reads session.fment and
// directory(). The window keeps its drive and directory between uses.
#include "app/Dialogs.h"
#include "app/Session.h"
#include "widgets/CommandGuard.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace velmora::ui {

inline constexpr const char* kPlaceGone = "Hiba: A választott hely már nem érhető el!";

class TAlapkeres : public QDialog {
    Q_OBJECT
public:
    TAlapkeres(app::Session& session, app::Dialogs& dialogs, const CommandGuard& guard, QWidget* parent = nullptr);

    // Who opened the window: "S" backup and imports, "V" restore, "K"
    // shipment. Decides where the window appears.
    std::string beolv;
    // The windows "V" and "K" open below; unset ones place the window at 0,0.
    QWidget* restoreWindow = nullptr;
    QWidget* registerWindow = nullptr;

    // Opens the window modally for `who` (a beolv value) under `caption`;
    // the window's own caption comes back afterwards. The chosen directory
    // when it was left with "OK", else nothing.
    std::optional<std::string> choose(const std::string& who, const std::string& caption);

    // The directory list's current directory.
    std::string directory() const { return directory_; }
    void setDirectory(const std::string& dir);

    // Where media are looked for; the drive box is filled anew from them and
    // the mount table each time the window opens.
    void setMediaParents(std::vector<std::string> parents) { mediaParents_ = std::move(parents); }
    void refreshDrives();

    QComboBox* DriveCB;
    QListWidget* DirLB;
    QPushButton* Igen;
    QPushButton* Nem;

public slots:
    void IgenClick();
    void NemClick();
    void DriveCBChange(int index);
    void DirLBDblClick(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showDriveOfDirectory();
    void fillDirectoryList();

    app::Session& session_;
    app::Dialogs& dialogs_;
    std::vector<std::string> mediaParents_;
    std::vector<std::string> drives_;
    std::string drive_;
    std::string directory_;
};

} // namespace velmora::ui
