#include "widgets/Help.h"

#include "widgets/HelpWindow.h"
#include "widgets/Placement.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

namespace velmora::ui {

namespace {

QString& helpFileOverride() {
    static QString path;
    return path;
}

// One help window at a time, over the window that asked for it.
QPointer<HelpWindow>& openWindow() {
    static QPointer<HelpWindow> window;
    return window;
}

} // namespace

QString HelpFilePath() {
    if (!helpFileOverride().isEmpty()) return helpFileOverride();
    return QCoreApplication::applicationDirPath() + "/help/index.html";
}

void SetHelpFilePath(const QString& path) { helpFileOverride() = path; }

QString HelpChapter(const QString& windowName) {
    static const QHash<QString, QString> chapters = {
        {"fokep", "foablak"},          {"utkep", "konyvtarak"},      {"AboutBox", "sugo"},
        {"PasswordDlg", "jelszo"},     {"Zarasbe", "idoszak"},       {"Alapkeres", "hely"},
        {"Tbetegfel", "betegek"},      {"Tbetegval", "betegek"},     {"TOrvosfel", "orvosok"},
        {"TApolfel", "orvosok"},       {"Torvval", "orvosok"},       {"TApolf", "orvosok"},
        {"Ttelepval", "telepulesek"},  {"Tbnoval", "telepulesek"},   {"Tbnonez", "telepulesek"},
        {"Tmaradfel", "maradvanyok"},  {"szerzmut", "szerzodes"},     {"Tlapuj", "laprogzites"},
        {"Ttevki", "laprogzites"},     {"Tlapok", "nyilvantartas"},  {"Treszlap", "ujlapok"},
        {"Tleido", "javitas"},         {"Tszweb", "adatkuldes"},     {"Tviszv", "mentes"},
        {"Tellenor", "ellenorzes"},    {"ReportPreview", "listak"},  {"Ttajsz", "listak"},
        {"Ttajido", "listak"},         {"Tobe", "listak"},           {"TBcsop", "listak"},
        {"Elsoind", "elsoinditas"},    {"Attekintes", "attekintes"}, {"Nemfizetett", "nemfizetett"},
        {"Tmentjel", "mentes"},
        {"TElozmeny", "elozmenyek"},
    };
    return chapters.value(windowName);
}

HelpWindow* Helphelp(const QString& chapter, QWidget* from) {
    const QString path = HelpFilePath();
    QWidget* over = from ? from->window() : nullptr;
    QPointer<HelpWindow>& window = openWindow();
    if (window && window->parentWidget() != over) delete window.data();
    if (!window) window = new HelpWindow(over);
    if (!window->load(path)) {
        delete window.data();
        QtDialogs box;
        box.setParentWindow(over);
        box.error(QFileInfo::exists(path) ? "A súgó nem nyitható meg: az állománya nem olvasható!"
                                          : "A súgó nem nyitható meg: az állománya nem található!",
                  ss(path));
        return nullptr;
    }
    window->showChapter(chapter);
    // Over a modal window the help must take input too.
    window->setWindowModality(Qt::ApplicationModal);
    if (!window->isVisible()) PlaceAt(window, over ? over->frameGeometry().topLeft() + QPoint(30, 30) : QPoint(40, 40));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void InstallHelpKey(QWidget* window) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window,
                     [window] { Helphelp(HelpChapter(window->objectName()), window); });
}

} // namespace velmora::ui
