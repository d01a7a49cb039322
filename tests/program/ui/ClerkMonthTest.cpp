// The month of a clerk through the whole program, as it runs for a user:
// the main window with every layer's windows, the program's own message
// boxes, questions and progress dialogs, on a demo installation. A watcher
// answers each box and window as the user would, pressing buttons on the
// window on top; a box the user could not reach fails the test instead of
// hanging it.
#include "program/ui/WholeProgram.h"

#include "backup/ui/Tmentjel.h"
#include "backup/ui/Tviszv.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "overview/UnpaidDays.h"
#include "program/ui/StartUp.h"
#include "program/ui/ProgramWindows.h"
#include "register/ui/Tlapok.h"
#include "support/programs/PrivateCups.h"
#include "reports/ui/ReportPreview.h"
#include "support/programs/SheetProgram.h"
#include "sheets/ui/Tlapuj.h"
#include "shell/ui/TAlapkeres.h"
#include "shell/ui/Tfokep.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/FundFiles.h"
#include "support/ui/ModalWatcher.h"
#include "widgets/BrowseFrame.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

namespace {

// The demo's patient with one old, closed episode; a contracted nurse; a
// doctor; a diagnosis the fund's table knows.
constexpr const char* kPatient = "096974728";
constexpr const char* kNurse = "071264435";
constexpr const char* kDoctor = "259241";
constexpr const char* kBno = "C341";

std::string quoted(const std::string& s) { return "'" + s + "'"; }

} // namespace

class ClerkMonthTest : public test::WholeProgramTest {
    Q_OBJECT

    ui::Tfokep& fokep() { return *program->fokep; }
    void pointAt(const char* sorsz) {
        if (!store::tableOf(*dbs, store::schema::HLAPA()).locate("SORSZ;RESZ", {db::Value(sorsz), db::Value("")}))
            QTest::qFail((std::string("no sheet ") + sorsz).c_str(), __FILE__, __LINE__);
        test::settle();
    }
    void menu(const char* item) { fokep().menuItem(item)->trigger(); }
    // The location window: the folder set, then "OK".
    std::function<void(QWidget*)> pickFolder(fs::path folder) {
        return [folder](QWidget* w) {
            auto* location = static_cast<ui::TAlapkeres*>(w);
            location->setDirectory(folder.string());
            QTest::mouseClick(location->Igen, Qt::LeftButton);
        };
    }

    // The passphrase window: the passphrase typed key by key, then "OK".
    std::function<void(QWidget*)> typePassphrase(QString passphrase) {
        return [passphrase](QWidget* w) {
            auto* window = static_cast<ui::Tmentjel*>(w);
            test::typeText(window->Jelszo, passphrase);
            QTest::mouseClick(window->OKBtn, Qt::LeftButton);
        };
    }

    // A full invoice of April 2026 for the demo patient: two visit days of
    // activities 1 and 8 by the contracted nurse.
    void typeNewSheet(ui::Tlapuj& w) {
        QVERIFY(QTest::qWaitForWindowActive(&w));
        test::fill(w, "m_taj", kPatient);
        test::fill(w, "m_alapb", kBno);
        test::fill(w, "m_fodiag", kBno);
        test::fill(w, "m_eorv", kDoctor);
        test::fill(w, "m_elrend", "20260401");
        test::fill(w, "m_szakvet", "20260402");
        test::fill(w, "m_elviz", "10");
        test::fill(w, "m_gyak", QString::fromUtf8("heti 2 alkalom"));
        test::fill(w, "m_elszam", "1");
        test::fill(w, "m_elszviz", "0");
        test::fill(w, "aptev1", kNurse);
        test::fill(w, "aptev8", kNurse);
        test::fill(w, "tev3", "1      8");
        test::fill(w, "aptaj3", kNurse);
        test::fill(w, "tev7", "1      8");
        test::fill(w, "aptaj7", kNurse);
        QTest::mouseClick(w.ment, Qt::LeftButton);
    }

private slots:
    void init() {
        std::string out;
        setUp([&out](const fs::path& installation) { out = makeDemo(installation); });
        QVERIFY2(fs::exists(installation / "DATA" / "HLapa.dbf"), out.c_str());
    }
    void cleanup() { tearDown(); }

    void aMonthOfWork() {
        const fs::path floppy = work->path() / "floppy", stick = work->path() / "pendrive";
        fs::create_directories(floppy);
        fs::create_directories(stick);

        startUp();
        QCOMPARE(session->mIdoszak, std::string("2026.04"));

        // A new sheet, then modified, then viewed.
        watcher->onWindow("Tlapok", [&](QWidget* w) {
            auto& lapok = *static_cast<ui::Tlapok*>(w);
            QVERIFY(QTest::qWaitForWindowActive(w));
            // The keys of the register's popup items, as the clerk uses them.
            QTableView* grid = lapok.Lapkep1->grid();
            QTest::keyClick(grid, Qt::Key_T, Qt::ControlModifier);  // Új felvitel | Teljes számla
            pointAt("00024");
            QTest::keyClick(grid, Qt::Key_Return);  // Módosítás
            w->activateWindow();  // the clerk's click on the register
            QVERIFY(QTest::qWaitForWindowActive(w));
            QTest::keyClick(grid, Qt::Key_F2);  // Megtekintés
            QTest::mouseClick(lapok.kilep, Qt::LeftButton);
        });
        watcher->onWindow("Tlapuj", [&](QWidget* w) { typeNewSheet(*static_cast<ui::Tlapuj*>(w)); });
        watcher->expect(QString::fromUtf8("Elmenthetők"), "Igen");
        watcher->onWindow("Tlapuj", [&](QWidget* w) {
            auto& entry = *static_cast<ui::Tlapuj*>(w);
            test::typeInto(entry, "m_gyak", QString());
            test::fill(entry, "m_gyak", QString::fromUtf8("heti 3 alkalom"));
            QTest::mouseClick(entry.ment, Qt::LeftButton);
        });
        watcher->expect(QString::fromUtf8("Elmenthetők"), "Igen");
        watcher->onWindow("Tlapuj", [&](QWidget* w) {
            auto& entry = *static_cast<ui::Tlapuj*>(w);
            QVERIFY(QTest::qWaitForWindowActive(w));
            QCOMPARE(test::shown(entry, "m_gyak"), QString::fromUtf8("heti 3 alkalom"));
            QTest::mouseClick(entry.BB1, Qt::LeftButton);
        });
        menu("Elszmolsilapokrgztse1");
        checkWatcher();
        const std::string stored = query("select taj, sznap, gyak from hlapa where sorsz='00024' and coalesce(resz,'')=''");
        QVERIFY2(stored == std::string(kPatient) + "|2|heti 3 alkalom|", stored.c_str());

        // The shipment: the sheet marked and sent, the files copied.
        watcher->onWindow("Tlapok", [&](QWidget* w) {
            auto& lapok = *static_cast<ui::Tlapok*>(w);
            QVERIFY(QTest::qWaitForWindowActive(w));
            pointAt("00024");
            lapok.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            QTest::mouseClick(lapok.kuld, Qt::LeftButton);
        });
        watcher->expect(QString::fromUtf8("Elküldhető 1 db elszámolási lap?"), "Igen");
        watcher->expect(QString::fromUtf8("E-jelentést akar küldeni?"), "Nem");
        watcher->onWindow("Alapkeres", pickFolder(floppy));
        watcher->expect(QString::fromUtf8("Adatküldés befejeződött!"), "OK", 600);
        menu("FloppykldemnyRUVszmra1");
        checkWatcher();
        QCOMPARE(query("select elkuldve from hlapa where sorsz='00024' and coalesce(resz,'')=''"), std::string("2026.04|"));
        std::string intkod;
        for (const auto& e : fs::directory_iterator(floppy)) {
            const std::string name = e.path().filename().string();
            if (name.rfind("hosa", 0) == 0) intkod = name.substr(4, name.size() - 8);
        }
        QVERIFY(!intkod.empty());

        // The sheet printed to PDF into LISTA.
        watcher->onWindow("Tlapok", [&](QWidget* w) {
            auto& lapok = *static_cast<ui::Tlapok*>(w);
            QVERIFY(QTest::qWaitForWindowActive(w));
            pointAt("00024");
            lapok.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            QTest::mouseClick(lapok.nyomtat, Qt::LeftButton);
            QTest::mouseClick(lapok.kilep, Qt::LeftButton);
        });
        // On the print server's queue (chosen where the print dialog would
        // be), then to PDF.
        std::unique_ptr<test::PrivateCups> cups;
        if (test::PrivateCups::installed()) {
            cups = std::make_unique<test::PrivateCups>();
            QVERIFY2(cups->ready(), cups->error().c_str());
        } else {
            qWarning("cupsd is not installed (scripts/install-deps.sh installs cups): the sheet goes to PDF only");
        }
        watcher->onWindow("ReportPreview", [&](QWidget* w) {
            auto* preview = static_cast<ui::ReportPreview*>(w);
            if (cups) {
                preview->setPrinterChoice([](QPrinter& printer) {
                    printer.setPrinterName(QString::fromLatin1(test::PrivateCups::kQueue));
                    return printer.isValid();
                });
                QTest::mouseClick(preview->Nyomtat, Qt::LeftButton);
            }
            QTest::mouseClick(preview->Pdf, Qt::LeftButton);
        });
        watcher->expect(QString::fromUtf8("A lista PDF állományba mentve:"));
        menu("Elszmolsilapoknyomtatsa1");
        checkWatcher();
        std::vector<fs::path> pdfs;
        for (const auto& e : fs::directory_iterator(session->klista)) pdfs.push_back(e.path());
        QCOMPARE(pdfs.size(), size_t(1));
        const std::string text = test::runCommand("pdftotext -layout " + quoted(pdfs[0].string()) + " -");
        for (const char* part : {"HOSPICE EGYÉNI ELSZÁMOLÁSI LAP", "Sorszám: 00024", "Jelentési időszak: 2026.04"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        if (cups) {
            const auto printed = cups->printed(1);
            QVERIFY2(printed.size() == 1, cups->log().c_str());
            const std::string paper = test::runCommand("pdftotext -layout " + quoted(printed[0].string()) + " -");
            for (const char* part : {"HOSPICE EGYÉNI ELSZÁMOLÁSI LAP", "Sorszám: 00024", "Bodnár Julianna"})
                QVERIFY2(paper.find(part) != std::string::npos, part);
            QVERIFY(test::runCommand("pdfinfo " + quoted(printed[0].string())).find("(A4)") != std::string::npos);
            cups.reset();
        }

        // The fund's answer: both days billed.
        const fs::path incoming = work->path() / "valasz";
        fs::create_directories(incoming);
        test::writeFundFile(incoming / ("HEa" + intkod + ".dbf"), "KABKOD C(4)", "[[\"" + intkod + "\"]]");
        test::writeFundFile(incoming / ("HEc" + intkod + ".dbf"), "KABKOD C(4)", "[[\"" + intkod + "\"]]");
        test::writeFundFile(incoming / ("HEb" + intkod + ".dbf"),
                            "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)",
                            "[[\"" + intkod + "\",24,\"202604\",null,\"2026-04-03\",\"E1\"],[\"" + intkod +
                                "\",24,\"202604\",null,\"2026-04-07\",\"E1\"]]");
        test::writeFundFile(incoming / ("HRuv" + intkod + ".dbf"), "IDOSZAK C(6); ALAPDIJ N(10,2); ELOLEG N(10,1)",
                            "[[\"202604\",7150.25,1000]]");
        watcher->onWindow("Alapkeres", pickFolder(incoming));
        watcher->expect(QString::fromUtf8("Az elszámolt adatokat beolvassuk! Rendben?"), "Igen");
        watcher->expect(QString(), "OK", 600);
        menu("ElszmolsilapokbeolvassaRUVtl1");
        checkWatcher();
        QCOMPARE(query("select eli3, eli7 from hlapb where sorsz='00024' and coalesce(resz,'')=''"), std::string("E1|E1|"));

        // The year at a glance after the fund's answer: April's sheet billed,
        // and no day left unpaid.
        watcher->onWindow("Attekintes", [&](QWidget* w) {
            QVERIFY(QTest::qWaitForWindowActive(w));
            auto* allapotok = w->findChild<QTableWidget*>("allapotok");
            QCOMPARE(allapotok->item(3, 7)->text(), QString("1"));  // "RUV által elszámolt"
            QCOMPARE(allapotok->item(3, 9)->text(), QString("0"));  // "Nem fizetett nap"
            if (const QByteArray shots = qgetenv("VELMORA_SHOTS"); !shots.isEmpty()) {
                w->resize(1280, 760);
                QTest::qWait(300);
                // A palette of 256 colours keeps the help's picture small.
                w->grab().toImage().convertToFormat(QImage::Format_Indexed8).save(QString::fromLocal8Bit(shots) +
                                                                                  "/attekintes.png");
            }
            QTest::mouseClick(w->findChild<QPushButton*>("nemfizetett"), Qt::LeftButton);
            QTest::mouseClick(w->findChild<QPushButton*>("kilep"), Qt::LeftButton);
        });
        int unpaid = -1;
        watcher->onWindow("Nemfizetett", [&](QWidget* w) {
            QVERIFY(QTest::qWaitForWindowActive(w));
            unpaid = w->findChild<QTableWidget*>("lapok")->rowCount();
            QVERIFY(w->findChild<QLabel*>("osszesen")->text().startsWith(QString::fromUtf8(overview::kNoUnpaid)));
            QTest::mouseClick(w->findChild<QPushButton*>("kilep"), Qt::LeftButton);
        });
        menu("ttekints1");
        checkWatcher();
        QCOMPARE(unpaid, 0);

        // An encrypted backup onto a stick, a change, then the copy restored.
        watcher->expect(QString(), "Igen");
        watcher->onWindow("Alapkeres", pickFolder(stick));
        watcher->expect(QString::fromUtf8("Titkosítva készüljön a másolat?"), "Igen");
        watcher->onWindow("Tmentjel", typePassphrase("Pendrive, 2026 tavasz"));
        watcher->onWindow("Tmentjel", typePassphrase("Pendrive, 2026 tavasz"));
        watcher->expect(QString::fromUtf8("Biztonsági mentés megtörtént!"), "OK", 600);
        menu("Ments1");
        checkWatcher();
        QVERIFY(fs::exists(stick / "Zaras.arj.titkos"));
        QVERIFY(!fs::exists(stick / "Zaras.arj"));
        db::Sql(*dbs).run("update hlapa set gyak='utana' where sorsz='00024' and coalesce(resz,'')=''");

        watcher->expect(QString(), "Igen");
        watcher->onWindow("Tviszv", [&](QWidget* w) {
            auto* viszv = static_cast<ui::Tviszv*>(w);
            viszv->RG1Utvonal->setChecked(true);
            QTest::mouseClick(viszv->B1, Qt::LeftButton);
        });
        watcher->onWindow("Alapkeres", pickFolder(stick));
        watcher->onWindow("Tmentjel", typePassphrase("Pendrive, 2026 tavasz"));
        // The last box stays open past the progress dialog's delay.
        watcher->expect(QString::fromUtf8("A visszatöltés befejeződött!!"), "OK", 1500);
        menu("Visszatlts1");
        checkWatcher();
        QCOMPARE(query("select gyak, elkuldve from hlapa where sorsz='00024' and coalesce(resz,'')=''"), std::string("heti 3 alkalom|2026.04|"));
        QVERIFY(fokep().isVisible());
    }

    // The messages that end a restore from MENT and a contract import from a
    // folder of damaged files open inside their work's progress: each stays
    // open past the progress dialog's delay and is answered as it stands.
    void messagesInsideLongWorkCanBeAnswered() {
        startUp();
        const fs::path stick = work->path() / "pendrive", damaged = work->path() / "serult";
        fs::create_directories(stick);
        fs::create_directories(damaged);
        watcher->expect(QString(), "Igen");
        watcher->onWindow("Alapkeres", pickFolder(stick));
        watcher->expect(QString::fromUtf8("Titkosítva készüljön a másolat?"), "Nem");
        watcher->expect(QString::fromUtf8("Biztonsági mentés megtörtént!"), "OK");
        menu("Ments1");
        checkWatcher();

        watcher->expect(QString(), "Igen");
        watcher->onWindow("Tviszv", [&](QWidget* w) {
            auto* viszv = static_cast<ui::Tviszv*>(w);
            viszv->RG1Ment->setChecked(true);
            QTest::mouseClick(viszv->B1, Qt::LeftButton);
        });
        watcher->expect(QString::fromUtf8("A visszatöltés befejeződött!!"), "OK", 1500);
        menu("Visszatlts1");
        checkWatcher();

        for (const char* name : {"has1234.DBF", "HAr1234.dbf", "HAd1234.dbf", "HAt1234.dbf"})
            std::ofstream(damaged / name) << "nem dBASE állomány";
        watcher->onWindow("Alapkeres", pickFolder(damaged));
        watcher->expect(QString::fromUtf8("A teljes szerződésállományt lecseréljük!"), "Igen");
        watcher->expect(QString(), "OK", 1500);
        menu("SzerzdsekbeolvassaRUVtl1");
        checkWatcher();
        QVERIFY(fokep().isVisible());
    }
};

VELMORA_UI_TEST(ClerkMonthTest);
#include "ClerkMonthTest.moc"
