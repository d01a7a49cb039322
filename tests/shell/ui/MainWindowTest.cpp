// The main window: menu, captions, period label, status panels and the
// commands of the help menu.
#include "support/ui/UiTest.h"

#include "app/ProgramPaths.h"
#include "db/DbError.h"
#include "shell/ui/MainMenu.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/TAboutBox.h"
#include "shell/ui/Tfokep.h"
#include "shell/ui/Tutkep.h"
#include "widgets/Help.h"
#include "widgets/HelpWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

#include <memory>
#include <set>

using namespace velmora;
using velmora::test::control;
using velmora::test::onNextModal;

namespace {

// Receives what the program asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

// The letters (line breaks aside) whose advance in the font differs from
// that of "W"; empty when they all line up.
QString unevenLetters(const QFont& font, const QString& letters) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QChar('W'));
    QString uneven;
    for (const QChar c : letters)
        if (c != '\n' && metrics.horizontalAdvance(c) != width && !uneven.contains(c)) uneven += c;
    return uneven;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::Tfokep> fokep;

    QString panel(int i) const { return fokep->panels()->text(i); }

private slots:
    void init() {
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        dialogs = std::make_unique<test::ScriptedDialogs>();
        fokep = std::make_unique<ui::Tfokep>(*session, *dialogs);
    }
    void cleanup() {
        fokep.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
    }

    void everyMenuItemHasItsCaptionHintAndPlace() {
        QMenuBar* bar = fokep->menuBar();
        std::set<QString> names;
        for (const ui::MenuItemDef& d : ui::MainMenuItems()) {
            QAction* item = fokep->menuItem(d.name);
            QVERIFY2(item, d.name);
            QCOMPARE(item->text(), QString::fromUtf8(d.caption));
            QCOMPARE(item->statusTip(), QString::fromUtf8(d.hint));
            const QWidget* owner = *d.parent ? static_cast<QWidget*>(bar->findChild<QMenu*>(d.parent)) : bar;
            QVERIFY2(owner && owner->actions().contains(item), d.name);
            names.insert(item->objectName());
        }
        QCOMPARE(names.size(), size_t(47));

        // A few places checked against the menu as the user knows it.
        QCOMPARE(fokep->menuItem("tvonal1")->statusTip(), QString("A program útvonalainak és az alapdíj megjelenítése"));
        QCOMPARE(fokep->menuItem("Szakpolk1")->text(), QString("Sza&kápolók"));
        QVERIFY(bar->findChild<QMenu*>("BNOX2")->actions().contains(fokep->menuItem("TeljesBNOlista1")));
        QVERIFY(bar->actions().contains(fokep->menuItem("Kilps1")));
        const QList<QAction*> service = bar->findChild<QMenu*>("Szervz1")->actions();
        QCOMPARE(service.indexOf(fokep->menuItem("Adatokellenrzse1")), service.indexOf(fokep->menuItem("Visszatlts1")) + 1);
        // The e-report page's address, which the fund gives the provider.
        QCOMPARE(service.indexOf(fokep->menuItem("Ejelentsoldalnakcme1")), service.indexOf(fokep->menuItem("Adatokellenrzse1")) + 1);
        QCOMPARE(bar->actions().size(), 6);
    }

    void laterCommandsAreDisabledUntilWired() {
        const std::set<QString> own = {"Nvjegy1", "tvonal1", "Tartalom1", "Kilps1"};
        for (const ui::MenuItemDef& d : ui::MainMenuItems()) {
            QAction* item = fokep->menuItem(d.name);
            if (item->menu()) continue;  // submenus stay open to look into
            QCOMPARE(item->isEnabled(), own.count(d.name) == 1);
        }
        fokep->setOnIndexel([] {});
        QVERIFY(fokep->menuItem("Indexels1")->isEnabled());

        int opened = 0;
        fokep->setCommand("Betegek1", [&] { ++opened; });
        QVERIFY(fokep->menuItem("Betegek1")->isEnabled());
        fokep->menuItem("Betegek1")->trigger();
        QCOMPARE(opened, 1);
    }

    void hintsGoToTheFirstStatusPanel() {
        fokep->resize(1280, 800);
        fokep->show();
        QVERIFY(QTest::qWaitForWindowExposed(fokep.get()));

        QLabel* id = control<QLabel>(fokep.get(), "ID");
        QTest::mouseMove(id);
        QTRY_COMPARE(panel(0), QString("Elszámolási időszak megmutatása"));

        QMenu* help = fokep->menuBar()->findChild<QMenu*>("HELP1");
        help->popup(fokep->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QAction* paths = fokep->menuItem("tvonal1");
        help->setActiveAction(paths);
        QTRY_COMPARE(panel(0), QString("A program útvonalainak és az alapdíj megjelenítése"));
        help->close();

        // A command that is not available yet still tells what it is.
        QMenu* service = fokep->menuBar()->findChild<QMenu*>("Szervz1");
        service->popup(fokep->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(service));
        QVERIFY(!fokep->menuItem("Ments1")->isEnabled());
        service->setActiveAction(fokep->menuItem("Ments1"));
        QTRY_COMPARE(panel(0), QString("Adatállományok mentése"));
        service->close();
    }

    void captionKeepsASingleVersionSuffix() {
        QCOMPARE(fokep->windowTitle(), QString("Velmora"));
        fokep->setVersionCaption();
        fokep->setVersionCaption();
        QCOMPARE(fokep->windowTitle(), QString("Velmora - verziószám: 4.11"));
    }

    void topPanelAndStatusPanels() {
        QLabel* id = control<QLabel>(fokep.get(), "ID");
        QCOMPARE(control<QLabel>(fokep.get(), "Label1")->text(), QString("Elszámolási időszak:"));
        QCOMPARE(id->text(), QString("2004.01"));
        QVERIFY(id->font().bold());
        QCOMPARE(id->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(id->alignment() & Qt::AlignRight);
        QCOMPARE(control<QWidget>(fokep.get(), "Panel1")->height(), 17);

        ui::StatusPanels* panels = fokep->panels();
        QCOMPARE(panels->objectName(), QString("StatusBar1"));
        QCOMPARE(panels->panel(0)->width(), 550);
        QCOMPARE(panels->panel(1)->width(), 550);
        QCOMPARE(panels->panel(2)->width(), 80);
        QVERIFY(panels->panel(2)->alignment() & Qt::AlignRight);
        QCOMPARE(panel(2), QString("2024.06.10"));

        session->mIdoszak = "2024.05";
        fokep->showPeriod();
        QCOMPARE(id->text(), QString("2024.05"));
    }

    void finishStartupMaximisesAndClearsTheCommandPanel() {
        fokep->setPanelText(0, "Valami");
        clock->set({2024, 6, 11});
        fokep->finishStartup();
        QVERIFY(fokep->isMaximized());
        QCOMPARE(panel(0), QString());
        QCOMPARE(panel(2), QString("2024.06.11"));
    }

    void nevjegyShowsTitleAndVersion() {
        QString title, product, version;
        onNextModal([&](QWidget* w) {
            title = w->windowTitle();
            product = control<QLabel>(w, "ProductName")->text();
            version = control<QLabel>(w, "Version")->text();
            QTest::mouseClick(control<QPushButton>(w, "OKButton"), Qt::LeftButton);
        });
        fokep->menuItem("Nvjegy1")->trigger();
        QCOMPARE(title, QString("Névjegy"));
        QCOMPARE(product, QString("Velmora"));
        QCOMPARE(version, QString("4.11"));
        QCOMPARE(fokep->aboutBox()->toolTip(), QString("Verzió megmutatása"));
        QVERIFY(!fokep->aboutBox()->isVisible());
        QCOMPARE(panel(0), QString("Program verzió"));
    }

    void utvonalakShowsThePathsInAFixedPitchLabel() {
        session->gdir = "/opt/velmora";
        session->kadat = "/opt/velmora/DATA";
        session->klista = "/opt/velmora/LISTA";
        session->alapert = 5640;
        QString title, text;
        QFont font;
        onNextModal([&](QWidget* w) {
            title = w->windowTitle();
            QLabel* l1 = control<QLabel>(w, "L1");
            text = l1->text();
            font = l1->font();
            w->close();
        });
        fokep->menuItem("tvonal1")->trigger();
        QCOMPARE(title, QString("A Velmora elérhetőségei"));
        QCOMPARE(text, QString::fromStdString(app::ProgramPathsText(*session)));
        QVERIFY(text.contains("Alapdíj:                      5640 Ft"));

        // What lines the columns up is the letters' advances, whatever the
        // font claims: those of the text and of accented letters a path
        // may hold, in the label's font.
        const QString letters = text + QString::fromUtf8("iWőŰáÉ");
        const QString uneven = unevenLetters(font, letters);
        QVERIFY2(uneven.isEmpty(), qPrintable(font.family() + ": " + uneven));
        // A proportional or missing first choice gives way to a monospaced family.
        for (const char* family : {"DejaVu Sans", "Liberation Serif", "No Such Family"}) {
            const QFont chosen = ui::MonospacedFont(QFont(family));
            QVERIFY2(unevenLetters(chosen, letters).isEmpty(), qPrintable(QString(family) + " -> " + chosen.family()));
        }
    }

    // "Tartalom" shows the help file in the program's help window, at its
    // beginning, over the main window; nothing is handed to the desktop
    // (a machine without a browser would show nothing).
    void tartalomOpensTheHelpFile() {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        fokep->menuItem("Tartalom1")->trigger();
        QDesktopServices::unsetUrlHandler("file");

        QCOMPARE(recorder.urls.size(), 0);
        ui::HelpWindow* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<ui::HelpWindow*>(w); h && h->isVisible()) window = h;
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), static_cast<QWidget*>(fokep.get()));
        QCOMPARE(window->file(), ui::HelpFilePath());
        QCOMPARE(window->chapter(), QString());
        window->close();
        QFile help(ui::HelpFilePath());
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(help.readAll());
        for (const char* topic : {"Bejelentkezés", "Elszámolási időszak", "Könyvtárak", "Indexelés"})
            QVERIFY2(html.contains(QString::fromUtf8(topic)), topic);
    }

    void indexelesRunsTheHookAndReportsItsEnd() {
        int runs = 0;
        fokep->setOnIndexel([&] { ++runs; });
        fokep->menuItem("Indexels1")->trigger();
        QCOMPARE(runs, 1);
        QCOMPARE(panel(0), QString("Az indexelés befejeződött!!"));

        // A failure is the guard's to show; the end is not reported.
        fokep->setPanelText(0, QString());
        fokep->setOnIndexel([] { throw db::DbError("A(z) HLapa.mdx nem írható."); });
        fokep->menuItem("Indexels1")->trigger();
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba a lefutásban!"});
        QCOMPARE(dialogs->errorDetails(), std::vector<std::string>{"A(z) HLapa.mdx nem írható."});
        QCOMPARE(panel(0), QString());
    }

    void kilepesClosesTheMainWindow() {
        fokep->show();
        QVERIFY(QTest::qWaitForWindowExposed(fokep.get()));
        fokep->menuItem("Kilps1")->trigger();
        QVERIFY(!fokep->isVisible());
    }

    void mainWindowLooksLikeADesktopWindow() {
        fokep->setVersionCaption();
        fokep->resize(1280, 800);
        fokep->show();
        QVERIFY(QTest::qWaitForWindowExposed(fokep.get()));
        fokep->setPanelText(1, "1234 Példa Hospice Szolgálat  (FINkód: 123456789, Szerz.kezd: 2024.01.01)");
        const QImage shot = fokep->grab().toImage();
        if (!qEnvironmentVariableIsEmpty("VELMORA_SCREENSHOTS"))
            shot.save(qEnvironmentVariable("VELMORA_SCREENSHOTS") + "/fokep.png");

        // The period is drawn in red, and the background really fills the
        // client area (no flat empty window).
        QLabel* id = control<QLabel>(fokep.get(), "ID");
        const QImage idShot = id->grab().toImage();
        bool red = false;
        for (int y = 0; y < idShot.height() && !red; ++y)
            for (int x = 0; x < idShot.width() && !red; ++x) {
                const QColor c = idShot.pixelColor(x, y);
                red = c.red() > 180 && c.green() < 80 && c.blue() < 80;
            }
        QVERIFY(red);
        QWidget* image = control<QWidget>(fokep.get(), "Image1");
        QCOMPARE(image->width(), fokep->centralWidget()->width());
        const QImage back = image->grab().toImage();
        QVERIFY(back.pixelColor(5, 5) != back.pixelColor(5, back.height() - 5));
    }
};

VELMORA_UI_TEST(MainWindowTest);

#include "MainWindowTest.moc"
