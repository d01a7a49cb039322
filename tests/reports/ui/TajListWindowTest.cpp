// The TAJ check lists from the menu: Ttajsz and Ttajido with their
// refusals, the preview of each choice, its PDF read back by pdftotext.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "reports/TajLists.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/TajListCommands.h"
#include "reports/ui/Ttajido.h"
#include "reports/ui/Ttajsz.h"
#include "support/Files.h"
#include "support/ui/ReportPdf.h"
#include "support/SheetFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using Kind = test::ScriptedDialogs::Kind;

class TajListWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetData> data;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::TajListCommands> lists;

    test::ScriptedDialogs& dialogs() { return data->dialogs(); }



private slots:
    void init() {
        data = std::make_unique<test::SheetData>();
        data->sheet({"2024.04", "00001", "A", test::people::patient,
                     {{2, "1 3", test::people::nurse1}, {3, "1", test::people::nurse1}}, {{"SzNap", 2}}})
            .sheet({"2024.05", "00001", "B", test::people::patient, {{6, "5", test::people::nurse2}}, {{"SzNap", 1}}});
        data->open({2024, 6, 10}, "2024.05");
        lista = std::make_unique<test::TempDir>();
        data->session().klista = lista->str();
        owner = std::make_unique<test::MenuOwner>();
        lists = std::make_unique<ui::TajListCommands>(*owner, data->session(), data->db(), dialogs(), nullptr);
        owner->plug(lists->commands());
        dialogs().clearLog();
    }
    void cleanup() {
        lists.reset();
        owner.reset();
        lista.reset();
        data.reset();
    }

    // A wrong check digit cannot be left; the patient's TAJ and Enter print.
    void onePatient() {
        test::onNextModal([this](QWidget* w) {
            ui::Ttajsz* tajsz = lists->tajsz();
            QCOMPARE(w, static_cast<QWidget*>(tajsz));
            QVERIFY(tajsz->E1->text().isEmpty());
            QTest::mouseClick(tajsz->OK, Qt::LeftButton);  // nothing typed
        });
        owner->menuItem("TAJszmosellenrzlistaegybetegre1")->trigger();
        QCOMPARE(dialogs().errors(), std::vector<std::string>{reports::kNoTaj});

        dialogs().clearLog();
        test::onNextModal([this](QWidget*) {
            ui::Ttajsz* tajsz = lists->tajsz();
            test::typeText(tajsz->E1, "123456789");
            QTest::mouseClick(tajsz->OK, Qt::LeftButton);
            QVERIFY(tajsz->isVisible());
            QCOMPARE(dialogs().errors(), std::vector<std::string>{reports::kBadCheckDigit});
            tajsz->E1->clear();
            test::typeText(tajsz->E1, QString::fromStdString(test::people::patient));
            test::savePdfInNextPreview();
            QTest::keyClick(tajsz->E1, Qt::Key_Return);
        });
        owner->menuItem("TAJszmosellenrzlistaegybetegre1")->trigger();
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"TAJ számos lista egy beteg viziteiről az otthoni hospice ellátásban",
                                 "Minta Mária", "00001A", "00001B", "2024.04", "Lista vége", "Oldal: 1"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    // The TAJ window closed with a message ("Nincs TAJ-szám megadva!"):
    // the main window is active again, its keys work without a click.
    void theMainWindowTakesTheFocusBack() {
        owner->show();
        owner->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(owner.get()));
        test::onNextModal([this](QWidget* w) {
            QVERIFY(QTest::qWaitForWindowActive(w));
            QTest::mouseClick(lists->tajsz()->OK, Qt::LeftButton);
        });
        owner->menuItem("TAJszmosellenrzlistaegybetegre1")->trigger();
        QCOMPARE(dialogs().errors(), std::vector<std::string>{reports::kNoTaj});
        QVERIFY(!lists->tajsz()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(owner.get()));
        owner->hide();
    }

    void periodChoices() {
        const struct {
            const char* typed;
            std::string problem;
        } refused[] = {{"2004", "Ez még kevés lesz ..."},
                       {"200413", "Csak 12 hónap van egy évben sajna ..."},
                       {"200408", "Nem adhat meg 2004.09 hónál kisebb dátumot!"},
                       {"202406", "A választott időszak (2024.06) későbbi, mint az aktuális elszámolási időszak (2024.05)!"}};
        test::onNextModal([&](QWidget* w) {
            ui::Ttajido* t = lists->tajido();
            QCOMPARE(w, static_cast<QWidget*>(t));
            QVERIFY(!t->ID1->isEnabled());
            QTest::mouseClick(t->OK, Qt::LeftButton);
            QCOMPARE(dialogs().errors(), std::vector<std::string>{reports::kNoPeriodChosen});
            t->Valasztott->click();
            QVERIFY(t->ID1->isEnabled());
            for (const auto& c : refused) {
                dialogs().clearLog();
                t->ID1->setText(c.typed);
                QTest::mouseClick(t->OK, Qt::LeftButton);
                QCOMPARE(dialogs().errors(), std::vector<std::string>{c.problem});
                QVERIFY(t->isVisible());
            }
            t->ID1->setText("202404");
            test::savePdfInNextPreview();
            QTest::mouseClick(t->OK, Qt::LeftButton);
        });
        owner->menuItem("TAJszmosellenrzlistasszestve1")->trigger();
        QCOMPARE(dialogs().statusText(0), std::string(reports::kTajListStatus));
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"2024.04-2024.05 időszakban", "00001A", "00001B", "Tevékenységek megoszlása"})
            QVERIFY2(text.find(part) != std::string::npos, part);

        // The current period alone: only the B part.
        test::onNextModal([this](QWidget*) {
            lists->tajido()->Aktualis->click();
            test::savePdfInNextPreview();
            QTest::mouseClick(lists->tajido()->OK, Qt::LeftButton);
        });
        owner->menuItem("TAJszmosellenrzlistasszestve1")->trigger();
        const std::string current = test::takeOnlyPdfText(lista->path());
        QVERIFY(current.find("00001B") != std::string::npos);
        QVERIFY(current.find("00001A") == std::string::npos);
    }
};

VELMORA_UI_TEST(TajListWindowTest);
#include "TajListWindowTest.moc"
