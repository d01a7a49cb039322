#include "widgets/Help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

namespace velmora::ui {

QString HelpFilePath() { return QCoreApplication::applicationDirPath() + "/help/index.html"; }

bool Helphelp() {
    const QString path = HelpFilePath();
    if (!QFileInfo::exists(path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void InstallHelpKey(QWidget* window) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, [] { Helphelp(); });
}

} // namespace velmora::ui
