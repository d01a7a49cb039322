#include "shell/ui/TAlapkeres.h"

#include "app/Places.h"
#include "widgets/Hint.h"
#include "widgets/QtText.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <filesystem>

namespace velmora::ui {

namespace {

std::optional<app::ScreenRect> frameOf(const QWidget* window) {
    if (!window) return std::nullopt;
    const QRect r = window->frameGeometry();
    return app::ScreenRect{r.left(), r.top(), r.width(), r.height()};
}

} // namespace

TAlapkeres::TAlapkeres(app::Session& session, app::Dialogs& dialogs, const CommandGuard& guard, QWidget* parent)
    : QDialog(parent), session_(session), dialogs_(dialogs), mediaParents_(app::kMediaParents) {
    setObjectName("Alapkeres");
    setWindowTitle("Mentés helyének kiválasztása");
    setHint(this, "Az útvonal kiválasztása");
    // Fixed border, only the system menu.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    DriveCB = new QComboBox(this);
    DriveCB->setObjectName("DriveCB");
    setHint(DriveCB, "A meghajtó kiválasztása");
    connect(DriveCB, &QComboBox::activated, this,
            [this, guard](int index) { guard.run([&] { DriveCBChange(index); }); });
    DriveCB->installEventFilter(this);

    DirLB = new QListWidget(this);
    DirLB->setObjectName("DirLB");
    setHint(DirLB, "A könyvtár kiválasztása");
    const auto open = [this, guard](QListWidgetItem* item) { guard.run([&] { DirLBDblClick(item); }); };
    connect(DirLB, &QListWidget::itemDoubleClicked, this, open);
    connect(DirLB, &QListWidget::itemActivated, this, open);

    Igen = new QPushButton("&OK", this);
    Igen->setObjectName("Igen");
    setHint(Igen, "Az útvonal elmentése");
    Igen->setDefault(true);
    guard.onClick(Igen, this, [this] { IgenClick(); });

    Nem = new QPushButton("&Mégsem", this);
    Nem->setObjectName("Nem");
    setHint(Nem, "Vissza az alapbeállításra");
    Nem->setAutoDefault(false);
    guard.onClick(Nem, this, [this] { NemClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Igen);
    buttons->addWidget(Nem);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DriveCB);
    layout->addWidget(DirLB, 1);
    layout->addLayout(buttons);
    setFixedSize(340, 320);

    refreshDrives();
    const std::string start = session_.gdir.empty() ? std::filesystem::current_path().string() : session_.gdir;
    setDirectory(start);
}

void TAlapkeres::refreshDrives() {
    drives_ = app::ListDrives(ss(QDir::homePath()), mediaParents_, app::ReadMountPoints());
    const QSignalBlocker block(DriveCB);
    DriveCB->clear();
    for (const std::string& d : drives_) DriveCB->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), qs(d));
    showDriveOfDirectory();
}

void TAlapkeres::setDirectory(const std::string& dir) {
    const auto drive = app::DriveOf(drives_, dir);
    drive_ = drive ? *drive : "/";
    directory_ = dir;
    fillDirectoryList();
    showDriveOfDirectory();
}

void TAlapkeres::showDriveOfDirectory() {
    const QSignalBlocker block(DriveCB);
    DriveCB->setCurrentIndex(DriveCB->findText(qs(drive_)));
}

void TAlapkeres::fillDirectoryList() {
    const std::vector<app::DirLine> lines = app::DirectoryTree(drive_, directory_);
    DirLB->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const app::DirLine& line : lines) {
        auto* item = new QListWidgetItem(line.open ? open : closed, QString(line.depth * 3, ' ') + qs(line.name));
        item->setData(Qt::UserRole, qs(line.path));
        DirLB->addItem(item);
        if (line.open) DirLB->setCurrentItem(item);
    }
    // The tree may have corrected a directory that lay outside the drive.
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->open) {
            directory_ = it->path;
            break;
        }
}

void TAlapkeres::DriveCBChange(int index) {
    if (index < 0 || index >= static_cast<int>(drives_.size())) return;
    const std::string drive = drives_[static_cast<size_t>(index)];
    if (!app::DriveReady(drive)) {
        dialogs_.warning("Hiba: A meghajtó nem kész");
        refreshDrives();  // a drive taken out leaves the list
        return;
    }
    drive_ = drive;
    directory_ = drive;
    fillDirectoryList();
}

void TAlapkeres::DirLBDblClick(QListWidgetItem* item) {
    if (!item) return;
    const std::string dir = ss(item->data(Qt::UserRole).toString());
    if (!app::DriveReady(dir)) return;  // went away meanwhile; the list stays as it was
    directory_ = dir;
    fillDirectoryList();
}

// A drive taken out while the window was open is refused, not handed on.
void TAlapkeres::IgenClick() {
    if (!app::DriveReady(directory_)) {
        dialogs_.warning(kPlaceGone);
        refreshDrives();
        setDirectory(app::DriveReady(drive_) ? drive_ : std::string("/"));
        return;
    }
    session_.fment = true;
    accept();
}

// The drives are read again whenever the list is about to open, so one
// taken out meanwhile is not offered.
bool TAlapkeres::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DriveCB && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        refreshDrives();
    return QDialog::eventFilter(watched, event);
}

void TAlapkeres::NemClick() {
    session_.fment = false;
    reject();
}

void TAlapkeres::showEvent(QShowEvent* event) {
    const app::ScreenPoint at = app::LocationWindowPosition(beolv, frameOf(restoreWindow), frameOf(registerWindow));
    move(at.left, at.top);
    session_.fment = false;
    refreshDrives();
    QDialog::showEvent(event);
}

std::optional<std::string> TAlapkeres::choose(const std::string& who, const std::string& caption) {
    const QString own = windowTitle();
    beolv = who;
    setWindowTitle(qs(caption));
    exec();
    setWindowTitle(own);
    if (!session_.fment) return std::nullopt;
    return directory_;
}

} // namespace velmora::ui
