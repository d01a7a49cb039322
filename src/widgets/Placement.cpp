#include "widgets/Placement.h"

#include <QDir>
#include <QRect>
#include <QEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <optional>

namespace velmora::ui {

namespace {

QString& placesFile() {
    static QString file;
    return file;
}

// A window's place is the top left corner of its frame and its inner size,
// put back by move() and resize() as they were read, and whether it was
// maximized. (Mixing the frame's corner with the inner one, as Qt's own
// saved geometry does for a window not shown yet, opens the window a title
// bar lower each time.)
struct Place {
    QPoint at;
    QSize size;
    bool maximized = false;
};

std::optional<Place> remembered(const QWidget* window) {
    if (placesFile().isEmpty() || window->objectName().isEmpty()) return std::nullopt;
    QSettings settings(placesFile(), QSettings::IniFormat);
    settings.beginGroup(window->objectName());
    const QPoint at = settings.value("hely").toPoint();
    const QSize size = settings.value("meret").toSize();
    if (!settings.contains("hely") || !size.isValid()) return std::nullopt;
    return Place{at, size, settings.value("teljes", false).toBool()};
}

void remember(const QWidget* window) {
    if (placesFile().isEmpty() || window->objectName().isEmpty()) return;
    QSettings settings(placesFile(), QSettings::IniFormat);
    settings.beginGroup(window->objectName());
    const bool maximized = window->isMaximized();
    // A maximized window keeps the place it has when made normal again.
    const QRect normal = maximized ? window->normalGeometry() : window->geometry();
    settings.setValue("hely", maximized ? normal.topLeft() : window->pos());
    settings.setValue("meret", normal.size());
    settings.setValue("teljes", maximized);
}

// Keeps a window's place whenever it closes; one per window.
class PlaceKeeper : public QObject {
public:
    explicit PlaceKeeper(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    static void watch(QWidget* window) {
        if (window->property(kWatched).toBool()) return;
        window->setProperty(kWatched, true);
        new PlaceKeeper(window);
    }

protected:
    static constexpr const char* kWatched = "velmoraPlaceKept";

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched == parent()) remember(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

void SetWindowPlacesFile(const QString& path) { placesFile() = path; }

QString DefaultWindowPlacesFile() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir)) dir = QDir::currentPath();
    return dir + "/ablakok.ini";
}

void PlaceAt(QWidget* window, QPoint firstPlace) {
    if (!window) return;
    PlaceKeeper::watch(window);
    if (const auto place = remembered(window)) {
        window->move(place->at);
        window->resize(place->size);
        if (place->maximized) window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    window->move(firstPlace);
}

void PlaceFrom(QWidget* window, const QWidget* anchor, int dx, int dy) {
    if (!window || !anchor) return;
    PlaceAt(window, anchor->frameGeometry().topLeft() + QPoint(dx, dy));
}

void PlaceRightAligned(QWidget* window, const QWidget* anchor, int divisor) {
    if (!window || !anchor || divisor <= 0) return;
    const QRect a = anchor->frameGeometry();
    PlaceAt(window, QPoint(a.left() + a.width() - window->frameGeometry().width(), a.top() + a.height() / divisor));
}

void MakeResizable(QWidget* window, QSize firstSize) {
    window->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    window->setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    window->setMinimumSize(window->minimumSizeHint().boundedTo(firstSize));
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->resize(firstSize.expandedTo(window->minimumSizeHint()));
}

} // namespace velmora::ui
