#include "shell/ui/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>

#include <map>
#include <string>

namespace velmora::ui {

const std::vector<MenuItemDef>& MainMenuItems() {
    static const std::vector<MenuItemDef> items = {
        {"Adatok1", "&Adatok", "Adatok", ""},
        {"Alapadatok1", "&Alapadatok", "Alapadatok", "Adatok1"},
        {"Szerzds1", "&Szerződés", "Szerződés megtekintése", "Alapadatok1"},
        {"Orvosok1", "&Orvosok", "Orvosok", "Alapadatok1"},
        {"Betegek1", "&Betegek", "Betegek", "Alapadatok1"},
        {"Szakpolk1", "Sza&kápolók", "Szakápolók", "Alapadatok1"},
        {"BNOX1", "B&NO X", "BNO kódok megtekintése", "Alapadatok1"},
        {"Maradvnyok1", "&Maradványok", "Maradványok kezelése", "Alapadatok1"},
        {"Elszmolsilapokrgztse1", "&Elszámolási lapok rögzítése", "Elszámolási lapok rögzítése", "Adatok1"},
        {"ttekints1", "Á&ttekintés", "Az év áttekintése: napkeret, kapacitás, lapok, határidők, mentés", "Adatok1"},
        {"Elzmnyek1", "El&őzmények", "Az elszámolási lapok változásainak előzményei", "Adatok1"},
        {"Listk1", "&Listák", "Listák készítése", ""},
        {"Elszmolsilapoknyomtatsa1", "&Elszámolási lapok nyomtatása", "Elszámolási lapok nyomtatása", "Listk1"},
        {"Havisszestafloppykldemnyhez1", "&Havi összesítő a floppy küldeményhez",
         "Havi összesítő a floppy küldeményhez", "Listk1"},
        {"Havonkntielszmols1", "Ha&vonkénti elszámolás", "Havonkénti elszámolás", "Listk1"},
        {"Dolgozkteljestettvizitei1", "&Dolgozók teljesített napjai",
         "Dolgozók teljesített napjainak nyomtatása adott hónapban", "Listk1"},
        {"TAJszmosellenrzlistk1", "&TAJ számos ellenőrző listák", "TAJ számos ellenőrző listák", "Listk1"},
        {"TAJszmosellenrzlistasszestve1", "&TAJ számos ellenőrző lista összesítve",
         "TAJ számos ellenőrző lista összesítve", "TAJszmosellenrzlistk1"},
        {"TAJszmosellenrzlistaegybetegre1", "TAJ számos ellenőrző lista egy &betegre",
         "TAJ számos ellenőrző lista egy betegre", "TAJszmosellenrzlistk1"},
        {"Kinemfizetettnapok1", "&Ki nem fizetett napok", "A RUV által ki nem fizetett napok listája", "Listk1"},
        {"Trzslistk1", "Tö&rzslisták", "Törzslisták", "Listk1"},
        {"Orvosok2", "&Orvosok", "Orvosok", "Trzslistk1"},
        {"Betegek2", "&Betegek", "Betegek", "Trzslistk1"},
        {"Szakpolk2", "&Szakápolók", "Szakápolók", "Trzslistk1"},
        {"BNOX2", "B&NO X", "BNO kódok", "Trzslistk1"},
        {"TeljesBNOlista1", "&Teljes BNO lista", "Teljes BNO lista nyomtatása", "BNOX2"},
        {"Betegsgcsoportszerintilista1", "&Betegség csoport szerinti lista",
         "Betegség csoport szerinti BNO lista nyomtatása", "BNOX2"},
        {"Szervz1", "&Szervíz", "Szervíz", ""},
        {"Indexels1", "&Indexelés", "Indexelés", "Szervz1"},
        {"Elszmolsiidszakbellts1", "&Elszámolási időszak beállítás", "Elszámolási időszak beállítás", "Szervz1"},
        {"Jelszmdosts1", "&Jelszó módosítás", "Jelszó módosítás", "Szervz1"},
        {"Ments1", "&Mentés", "Adatállományok mentése", "Szervz1"},
        {"Visszatlts1", "&Visszatöltés", "Adatállományok visszatöltése", "Szervz1"},
        {"Adatokellenrzse1", "&Adatok ellenőrzése", "Az adatállományok ellenőrzése, módosítás nélkül", "Szervz1"},
        {"Ejelentsoldalnakcme1", "E-jelentés oldalának &címe", "A KAB e-jelentés oldala címének megadása",
         "Szervz1"},
        {"Naplo1", "&Napló", "A program naplójának utolsó bejegyzései", "Szervz1"},
        {"Adatszolgltats1", "A&datszolgáltatás", "Adatszolgáltatás", ""},
        {"FloppykldemnyRUVszmra1", "Floppy-&küldemény RUV-számára", "Floppy-küldemény RUV-számára",
         "Adatszolgltats1"},
        {"FloppybeolvassaRUVtl1", "Floppy &beolvasása RUV-től", "Floppy beolvasása RUV-től", "Adatszolgltats1"},
        {"ElszmolsilapokbeolvassaRUVtl1", "&Elszámolt lapok beolvasása RUV-től",
         "Elszámolt lapok beolvasása RUV-től", "FloppybeolvassaRUVtl1"},
        {"SzerzdsekbeolvassaRUVtl1", "&Szerződések beolvasása RUV-től", "Szerződések beolvasása RUV-től",
         "FloppybeolvassaRUVtl1"},
        {"Teljesadatllomnybeolvassa1", "&Teljes adatállomány beolvasása RUV-től",
         "Teljes adatállomány beolvasása RUV-től", "FloppybeolvassaRUVtl1"},
        {"HELP1", "Sú&gó", "Segítség", ""},
        {"Nvjegy1", "&Névjegy", "Névjegy", "HELP1"},
        {"tvonal1", "&Útvonalak", "A program útvonalainak és az alapdíj megjelenítése", "HELP1"},
        {"Tartalom1", "&Tartalom", "Segítségnyújtás", "HELP1"},
        // A command of its own on the menu bar, not a menu.
        {"Kilps1", "&Kilépés", "Kilépés a programból", ""},
    };
    return items;
}

namespace {

// Lets the mouse and the arrow keys rest on disabled items too, so that the
// hint of a command that is not available yet still shows.
class DisabledItemsHintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle* menuStyle() {
    // One for the whole run; the application deletes it after the windows.
    static QPointer<QStyle> style;
    if (!style) {
        style = new DisabledItemsHintStyle;
        style->setParent(qApp);
    }
    return style;
}

} // namespace

void BuildMainMenu(QMenuBar* bar) {
    const auto& items = MainMenuItems();
    auto hasChildren = [&](const std::string& name) {
        for (const MenuItemDef& d : items)
            if (name == d.parent) return true;
        return false;
    };

    std::map<std::string, QMenu*> menus;
    for (const MenuItemDef& d : items) {
        QWidget* owner = *d.parent ? static_cast<QWidget*>(menus.at(d.parent)) : static_cast<QWidget*>(bar);
        QAction* action = nullptr;
        if (hasChildren(d.name)) {
            auto* menu = new QMenu(QString::fromUtf8(d.caption), owner);
            menu->setObjectName(d.name);
            menu->setStyle(menuStyle());
            menus[d.name] = menu;
            action = menu->menuAction();
        } else {
            action = new QAction(QString::fromUtf8(d.caption), owner);
            action->setEnabled(false);
        }
        action->setObjectName(d.name);
        action->setStatusTip(QString::fromUtf8(d.hint));
        owner->addAction(action);
    }
}

} // namespace velmora::ui
