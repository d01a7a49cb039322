// The entry window on the real sheet logic: a new sheet from the patient
// choice to its stored rows, a save refused and repeated, and the modes.
#include "support/programs/SheetProgram.h"

#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/Tbetegval.h"
#include "sheets/SheetStore.h"
#include "sheets/ui/SheetWindows.h"
#include "sheets/ui/Tlapuj.h"
#include "sheets/ui/Ttevki.h"
#include "support/Files.h"

#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <memory>

using namespace velmora;
using test::enter;
using test::fill;
using test::focused;
using test::settle;
using test::shown;
using test::tabOut;
using test::typeInto;

namespace {

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// What velmora-sql prints for the statement on the data directory.
std::string sqlTool(const std::string& dataDir, const std::string& statement) {
    return test::runCommand(shellQuote(VELMORA_SQL_TOOL) + " --data " + shellQuote(dataDir) + " " +
                            shellQuote(statement) + " 2>&1");
}

// The double click on a control that opens a choose window, and what is
// done in that window.
void chooseWith(ui::Tlapuj& window, const char* control, std::function<void(QWidget*)> inChooser) {
    QWidget* c = enter(window, control);
    test::onNextModal(std::move(inChooser));
    QTest::mouseDClick(c, Qt::LeftButton);
    if (!QTest::qWaitForWindowActive(&window)) QTest::qFail("the entry window is not active again", __FILE__, __LINE__);
    test::settle();
}

// The order page as a sheet of May 2024 holds it, nurses of activities 1
// and 5 with them; the focus ends on page "3.oldal".
void fillOrderPage(ui::Tlapuj& w) {
    fill(w, "m_elrend", "20240502");
    fill(w, "m_szakvet", "20240503");
    fill(w, "m_elviz", "10");
    fill(w, "m_gyak", "heti 3 alkalom");
    fill(w, "m_elszam", "1");
    fill(w, "m_elszviz", "0");
    fill(w, "aptev1", test::kNurseTaj);
    fill(w, "aptev5", test::kNurse2Taj);
}

// Page "1.oldal" from a typed TAJ of the known patient.
void fillPatientPageByTaj(ui::Tlapuj& w) {
    fill(w, "m_taj", test::kPatientTaj);
    fill(w, "m_alapb", "C3490");
    fill(w, "m_fodiag", "C5000");
    fill(w, "m_eorv", test::kDoctor);
}

void pressMentes(ui::Tlapuj& w) {
    QTest::mouseClick(w.ment, Qt::LeftButton);
    test::settle();
}

} // namespace

class EntryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetProgram> p;

private slots:
    void init() { p = std::make_unique<test::SheetProgram>(); }
    void cleanup() { p.reset(); }

    // From an empty sheet to the stored rows: the patient through the patient
    // choice, a diagnosis through the BNO choice, one day's activities
    // through the activity chooser.
    void aNewSheetFromThePatientChoiceIsStored() {
        p->dialogs().answerYes();  // "Adatok ellenőrzése rendben! Elmenthetők ?"
        bool closedBySave = false;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QCOMPARE(modal, static_cast<QWidget*>(&w));
            QVERIFY(QTest::qWaitForWindowActive(modal));
            QCOMPARE(w.windowTitle(), QString("Elszámolási lap rögzítése"));
            QCOMPARE(shown(w, "m_sorsz"), QString("00001"));
            QCOMPARE(shown(w, "m_idosz"), QString("2024.05"));
            QCOMPARE(w.pos(), p->owner->frameGeometry().topLeft() + QPoint(10, 50));
            QCOMPARE(focused(), QString("m_aztip"));

            const QRect entry = w.frameGeometry();
            QRect patientChooser, bnoChooser;
            chooseWith(w, "m_taj", [&](QWidget* chooser) {
                QCOMPARE(chooser->objectName(), QString("Tbetegval"));
                patientChooser = chooser->frameGeometry();
                QTest::mouseClick(test::control<QPushButton>(chooser, "BB1"), Qt::LeftButton);
            });
            // Beside the entry window: flush with its right edge, a quarter
            // of its height down.
            QCOMPARE(patientChooser.right(), entry.right());
            QCOMPARE(patientChooser.top(), entry.top() + entry.height() / 4);
            QCOMPARE(shown(w, "m_taj"), QString(test::kPatientTaj));
            QCOMPARE(shown(w, "m_nev"), QString("Kovács Ágnes"));
            QCOMPARE(shown(w, "bnem"), QString("Nő"));
            QCOMPARE(shown(w, "m_cim2"), QString("Fő utca 2."));
            QCOMPARE(shown(w, "m_szido"), QString("1940.03.04"));
            QCOMPARE(focused(), QString("CB1"));

            fill(w, "m_alapb", "C3490");
            QCOMPARE(shown(w, "bno2"), QString("Hörgő vagy tüdő rosszindulatú daganata"));
            chooseWith(w, "m_fodiag", [&](QWidget* chooser) {
                bnoChooser = chooser->frameGeometry();
                auto* grid = chooser->findChild<QTableView*>();
                QTest::keyClick(grid, Qt::Key_Down);
                QTest::keyClick(grid, Qt::Key_Return);
            });
            QCOMPARE(shown(w, "m_fodiag"), QString("C5000"));
            QCOMPARE(shown(w, "bno4"), QString("Emlő rosszindulatú daganata"));
            QCOMPARE(bnoChooser.right(), entry.right());
            QCOMPARE(bnoChooser.top(), entry.top() + entry.height() / 2);

            fill(w, "m_eorv", test::kDoctor);
            QCOMPARE(shown(w, "orv1"), QString("Dr. Orvos Anna"));
            QCOMPARE(focused(), QString("m_jorv"));
            enter(w, "orv2");
            tabOut();  // leaving orv2 goes on to the order page
            QCOMPARE(w.PC1->currentWidget(), w.TS2);
            QCOMPARE(focused(), QString("m_elrend"));

            fillOrderPage(w);
            QCOMPARE(shown(w, "apnev1"), QString("Ápoló Éva"));
            QCOMPARE(shown(w, "apnev5"), QString("Szabó Mária"));
            enter(w, "apnev8");
            tabOut();  // leaving the last nurse goes on to the visits
            QCOMPARE(w.PC1->currentWidget(), w.TS3);
            QCOMPARE(focused(), QString("tev1"));

            chooseWith(w, "tev3", [](QWidget* chooser) {
                auto* list = test::control<QListWidget>(chooser, "LB1");
                for (int row : {0, 4}) {
                    const QRect item = list->visualItemRect(list->item(row));
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
                }
                QTest::mouseClick(test::control<QPushButton>(chooser, "BB2"), Qt::LeftButton);
            });
            QCOMPARE(shown(w, "tev3"), QString("1   5   "));
            fill(w, "aptaj3", test::kNurseTaj);
            QCOMPARE(QApplication::clipboard()->text(), QString(test::kNurseTaj));  // ready for the next day
            fill(w, "tev4", "1");
            fill(w, "aptaj4", test::kNurse2Taj);
            QCOMPARE(shown(w, "vszam"), QString("2"));

            pressMentes(w);
            closedBySave = !w.isVisible();
        });
        p->windows->newSheet(sheets::SheetKind::Full);

        QVERIFY(closedBySave);
        QCOMPARE(p->dialogs().errors(), std::vector<std::string>{});
        QVERIFY(p->dialogs().scriptUsedUp());

        const auto sheet = sheets::loadSheet(p->db(), {"00001", "", "2024.05"});
        QVERIFY(sheet.has_value());
        QCOMPARE(sheet->taj, std::string(test::kPatientTaj));
        QCOMPARE(sheet->bnoab, std::string("C3490"));
        QCOMPARE(sheet->bnofo, std::string("C5000"));
        QCOMPARE(sheet->orvkode, std::string(test::kDoctor));
        QCOMPARE(sheet->orvkodj, std::string("0"));
        QCOMPARE(sheet->orvtip, std::string("1"));
        QCOMPARE(sheet->elrend, std::string("2024.05.02"));
        QCOMPARE(sheet->szakvet, std::string("2024.05.03"));
        QCOMPARE(sheet->gyak, std::string("heti 3 alkalom"));
        QCOMPARE(sheet->elvizdb, 10);
        QCOMPARE(sheet->elszam, 1);
        QCOMPARE(sheet->aptaj[0], std::string(test::kNurseTaj));
        QCOMPARE(sheet->aptaj[4], std::string(test::kNurse2Taj));
        QCOMPARE(sheet->aztip, std::string("1"));
        QCOMPARE(sheet->terkat, std::string("01"));
        QCOMPARE(sheet->allamp, std::string("HUN"));
        QCOMPARE(sheet->tpotl, std::string("N"));
        QCOMPARE(sheet->sznap, 2);
        QCOMPARE(sheet->visits[2].tev, std::string("1   5"));
        QCOMPARE(sheet->visits[2].apdat, std::string("2024.05.03"));
        QCOMPARE(sheet->visits[3].apbtaj, std::string(test::kNurse2Taj));
        QCOMPARE(sheet->visits[0].apdat, std::string());

        // The same rows as another program reads the files.
        p->db().closeAll();
        QCOMPARE(sqlTool(p->dataDir(), "select sorsz, resz, idoszak, taj, sznap, bnoab, orvkode from hlapa"),
                 std::string("Sorsz\tResz\tIdoszak\tTaj\tSzNap\tBnoab\tOrvkode\n"
                             "00001\t\t2024.05\t111222337\t2\tC3490\t12345\n"));
        QCOMPARE(sqlTool(p->dataDir(), "select apdat3, tev3, apbtaj3, apdat4, tev4, apbtaj4, apdat5 from hlapb"),
                 std::string("APDAT3\tTEV3\tAPBTAJ3\tAPDAT4\tTEV4\tAPBTAJ4\tAPDAT5\n"
                             "2024.05.03\t1   5\t123456788\t2024.05.04\t1\t333444557\t\n"));
    }

    // A refused "Mentés" keeps the window and what was typed; the next one
    // checks the sheet as it stands then, from fresh counts.
    void aSaveRefusedCanBeRepeated() {
        bool keptOpen = false, refusedAgain = false, saved = false;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            fillPatientPageByTaj(w);
            QCOMPARE(shown(w, "m_nev"), QString("Kovács Ágnes"));
            fillOrderPage(w);
            fill(w, "m_lezdat", "20240504");
            fill(w, "tev5", "1   5");
            fill(w, "aptaj5", test::kNurseTaj);

            // The visit lies after the closing date: the focus goes to the
            // closing date, on its page.
            pressMentes(w);
            QWidget* lezdat = w.findChild<QWidget*>("m_lezdat");
            keptOpen = w.isVisible() && w.PC1->currentWidget()->isAncestorOf(lezdat) && focused() == "m_lezdat" &&
                       shown(w, "tev5") == "1   5";
            QCOMPARE(p->dialogs().errors(),
                     (std::vector<std::string>{"Az ápolás dátuma nem lehet nagyobb az ápolási eset lezárásánál !",
                                               "Hibás adatok miatt az elszámolási lap nem menthető!!"}));

            // Closing date gone, activity 5 gone: the sheet lists activity 1
            // only, whatever the first check counted.
            p->dialogs().clearLog();
            typeInto(w, "m_lezdat", "");
            tabOut();
            fill(w, "tev5", "1");
            pressMentes(w);
            const auto errors = p->dialogs().errors();
            refusedAgain = w.isVisible() && std::find(errors.begin(), errors.end(),
                                                      "Ezek csak szakápolási tevékenységek, itt nem jelenthetők!") !=
                                                errors.end();

            p->dialogs().clearLog();
            p->dialogs().answerYes();
            fill(w, "tev5", "1   5");
            pressMentes(w);
            saved = !w.isVisible();
        });
        QVERIFY(p->windows->newSheet(sheets::SheetKind::FirstPart));
        QVERIFY(keptOpen);
        QVERIFY(refusedAgain);
        QVERIFY(saved);
        QCOMPARE(p->dialogs().errors(), std::vector<std::string>{});
        const auto sheet = sheets::loadSheet(p->db(), {"00001", "A", "2024.05"});
        QVERIFY(sheet.has_value());
        QCOMPARE(sheet->sznap, 1);
        QCOMPARE(sheet->lezdat, std::string());
        QCOMPARE(sheet->visits[4].tev, std::string("1   5"));
    }

    // A stored sheet looked at: its values shown, nothing to change, no
    // choose window, no "Mentés".
    void viewModeIsReadOnly() {
        sheets::Sheet stored;
        stored.key = {"00007", "", "2024.05"};
        stored.taj = test::kPatientTaj;
        stored.kozigkod = "0100001";
        stored.tpotl = "I";
        stored.bnoab = "C3490";
        stored.bnofo = "C5000";
        stored.orvkode = test::kDoctor;
        stored.orvkodj = "0";
        stored.elrend = "2024.05.02";
        stored.szakvet = "2024.05.03";
        stored.gyak = "heti 2";
        stored.elvizdb = 10;
        stored.elszviz = 3;
        stored.elszam = 1;
        stored.aptaj[0] = test::kNurseTaj;
        stored.aztip = "1";
        stored.terkat = "01";
        stored.allamp = "HUN";
        stored.sznap = 1;
        stored.visits[2] = {"1", test::kNurseTaj, "2024.05.03", ""};
        sheets::appendSheet(p->db(), stored);

        QString typed, title, jorv, earlier;
        bool saveOff = false, choiceOpened = false, earlierShown = false;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            title = w.windowTitle();
            saveOff = !w.ment->isEnabled();
            jorv = shown(w, "m_jorv");
            w.PC1->setCurrentWidget(w.TS3);
            earlierShown = w.findChild<QWidget*>("Lv2")->isVisible() && w.control("vszame")->isVisible();
            earlier = shown(w, "vszame");
            QWidget* taj = enter(w, "m_taj");
            test::typeText(taj, "999");
            typed = shown(w, "m_taj");
            {
                // A choose window that opened would be the modal window
                // when the timer fires; without one the timer dies here.
                QObject watch;
                QTimer::singleShot(0, &watch, [&] {
                    QWidget* now = QApplication::activeModalWidget();
                    choiceOpened = now != modal;
                    if (auto* dialog = qobject_cast<QDialog*>(now); dialog && choiceOpened) dialog->reject();
                });
                QTest::mouseDClick(taj, Qt::LeftButton);
            }
            QCOMPARE(shown(w, "tev3"), QString("1"));
            QCOMPARE(shown(w, "CB1"), QString("1"));
            // Read only, and looking so: the window's grey, not a white to type on.
            for (const char* name : {"m_taj", "m_elrend", "tev3"}) {
                const QPalette look = w.control(name)->palette();
                QCOMPARE(look.color(QPalette::Base), look.color(QPalette::Window));
            }
            QTest::mouseClick(w.BB1, Qt::LeftButton);
        });
        QVERIFY(!p->windows->storedSheet(stored, sheets::EntryMode::View));
        QCOMPARE(title, QString("Elszámolási lap megtekintése"));
        QVERIFY(saveOff);
        QCOMPARE(typed, QString(test::kPatientTaj));
        QCOMPARE(jorv, QString());  // ORVKODJ "0" shows empty
        QVERIFY(earlierShown);
        QCOMPARE(earlier, QString("3"));
        QVERIFY(!choiceOpened);
        QCOMPARE(p->dialogs().log().size(), size_t(0));
    }

    void modifyModeHasItsCaption() {
        sheets::Sheet stored;
        stored.key = {"00003", "", "2024.05"};
        stored.taj = test::kPatientTaj;
        sheets::appendSheet(p->db(), stored);
        QString title;
        bool saveOn = false;
        bool escapeLeft = false;
        test::onNextModal([&](QWidget* modal) {
            title = p->lapuj().windowTitle();
            saveOn = p->lapuj().ment->isEnabled();
            QTest::keyClick(modal, Qt::Key_Escape);
            escapeLeft = !modal->isVisible();  // nothing typed: nothing to ask
        });
        p->windows->storedSheet(stored, sheets::EntryMode::Modify);
        QCOMPARE(title, QString("Elszámolási lap módosítása"));
        QVERIFY(saveOn);
        QVERIFY(escapeLeft);
        QCOMPARE(p->dialogs().log().size(), size_t(0));
    }

    // "Kilépés" (clicked, so the focus moves to it first), Escape and the
    // close box leave without the field checks, whatever the field left
    // holds; with something typed they ask first, and "Nem" keeps the
    // window with what was typed.
    void leavingChecksNoFieldAndAsksOnlyForTyping_data() {
        QTest::addColumn<int>("how");  // 0 "Kilépés", 1 Escape, 2 the close box
        QTest::newRow("Kilépés") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close box") << 2;
    }
    void leavingChecksNoFieldAndAsksOnlyForTyping() {
        QFETCH(int, how);
        const auto leave = [how](ui::Tlapuj& w) {
            if (how == 0)
                QTest::mouseClick(w.BB1, Qt::LeftButton);
            else if (how == 1)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                w.close();
            settle();
        };
        const std::string question = "A bevitt adatok elvesznek. Kilép?";
        // Nothing typed, the focus in an empty required field.
        bool leftAtOnce = false;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            enter(w, "m_elrend");
            p->dialogs().clearLog();
            leave(w);
            leftAtOnce = !w.isVisible();
        });
        QVERIFY(!p->windows->newSheet(sheets::SheetKind::FirstPart));
        QVERIFY(leftAtOnce);
        QCOMPARE(p->dialogs().log().size(), size_t(0));

        // Typed: asked; "Nem" keeps it all; "Igen" leaves, nothing stored.
        bool kept = false, left = false;
        QString keptText;
        test::onNextModal([&](QWidget* modal) {
            auto& w = p->lapuj();
            QVERIFY(QTest::qWaitForWindowActive(modal));
            typeInto(w, "m_taj", "1112");
            p->dialogs().clearLog();
            p->dialogs().answerNo();
            leave(w);
            kept = w.isVisible();
            keptText = shown(w, "m_taj");
            p->dialogs().answerYes();
            leave(w);
            left = !w.isVisible();
        });
        QVERIFY(!p->windows->newSheet(sheets::SheetKind::FirstPart));
        QVERIFY(kept);
        QCOMPARE(keptText, QString("1112"));
        QVERIFY(left);
        std::vector<std::string> asked;
        for (const auto& e : p->dialogs().log()) asked.push_back(e.text);
        QCOMPARE(asked, (std::vector<std::string>{question, question}));
        QVERIFY(!sheets::loadSheet(p->db(), {"00001", "A", "2024.05"}).has_value());
    }

    // Before 2016 the payment category is not asked and the focus starts on
    // the TAJ; a month's missing days are not shown, nor the days billed
    // before while there are none.
    void periodDecidesPanelFocusAndDays() {
        struct Case {
            const char* period;
            bool panel;
            const char* first;
            int days;
        };
        for (const Case& c : {Case{"2015.12", false, "m_taj", 31}, Case{"2016.01", true, "m_aztip", 31},
                              Case{"2024.02", true, "m_aztip", 29}, Case{"2023.02", true, "m_aztip", 28},
                              Case{"2024.04", true, "m_aztip", 30}}) {
            p.reset();
            p = std::make_unique<test::SheetProgram>(c.period);
            bool panel = !c.panel, earlierShown = true;
            QString first;
            int days = 0;
            test::onNextModal([&](QWidget* modal) {
                auto& w = p->lapuj();
                QVERIFY(QTest::qWaitForWindowActive(modal));
                panel = w.findChild<QWidget*>("P1")->isVisibleTo(&w);
                first = focused();
                w.PC1->setCurrentWidget(w.TS3);
                earlierShown = w.findChild<QWidget*>("Lv2")->isVisible();
                for (int d = 1; d <= 31; ++d)
                    if (w.control("apdat" + std::to_string(d))->isVisible()) days = d;
                QCOMPARE(shown(w, "apdat1"), QString(c.period) + ".01");
            });
            p->windows->newSheet(sheets::SheetKind::Full);
            QVERIFY2(panel == c.panel, c.period);
            QVERIFY2(first == c.first, c.period);
            QVERIFY2(days == c.days, c.period);
            QVERIFY2(!earlierShown, c.period);  // a new sheet has no days billed before
        }
    }
};

VELMORA_UI_TEST(EntryWindowTest);

#include "EntryWindowTest.moc"
