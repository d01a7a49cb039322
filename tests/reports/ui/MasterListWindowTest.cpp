// The master-data lists from the menu: the preview pages through and saves
// the PDF into LISTA, whose text pdftotext reads back; the chapter window's
// refusals; the rows saved for a spreadsheet beside the PDF; an empty list
// and an unwritable LISTA.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "reports/MasterLists.h"
#include "reports/ui/MasterListCommands.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/TBcsop.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/Files.h"
#include "support/TableFixture.h"
#include "support/TableReadBack.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using Kind = test::ScriptedDialogs::Kind;
namespace schema = store::schema;

class MasterListWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<db::Database> db;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MasterListCommands> lists;

    std::string lista() const { return dir->file("LISTA"); }
    std::vector<fs::path> pdfs() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(lista())) out.push_back(e.path());
        return out;
    }

    // Chooses the menu item; `inPreview` runs in the open preview.
    void printFromMenu(const char* item, std::function<void(ui::ReportPreview*)> inPreview) {
        test::onNextModal([inPreview](QWidget* w) {
            auto* preview = qobject_cast<ui::ReportPreview*>(w);
            QVERIFY(preview);
            inPreview(preview);
        });
        owner->menuItem(item)->trigger();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        fs::create_directories(lista());
        const db::FieldList bno{{"KOD10", 'C', 5, 0}, {"NEV", 'C', 100, 0}};
        std::vector<test::Row> codes;
        for (int i = 0; i < 150; ++i) {
            char code[8];
            std::snprintf(code, sizeof code, "C%02d%02d", i / 10, i % 10);
            codes.push_back({code, "Rosszindulatú daganat " + std::to_string(i)});
        }
        codes.push_back({"A0100", "Hastífusz"});
        test::writeTable(dir->str(), "Bnotorzs.dbf", bno, codes);
        test::writeTable(dir->str(), "Beteg.dbf", schema::BETEG().fields,
                         {{"111111111", "Árva Éva", "2", "1", "0200002", "Kossuth tér 2.", "", "", "1938.01.02"}});
        test::writeTable(dir->str(), "Orvos.dbf", schema::ORVOS().fields, {});
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        session->klista = lista();
        dialogs = std::make_unique<test::ScriptedDialogs>();
        db = std::make_unique<db::Database>(dir->str());
        for (const auto* def : {&schema::BETEG(), &schema::ORVOS(), &schema::BNOTORZS()})
            store::tableOf(*db, *def).open();
        owner = std::make_unique<test::MenuOwner>();
        lists = std::make_unique<ui::MasterListCommands>(*owner, *session, *db, *dialogs);
        owner->plug(lists->commands());
    }
    void cleanup() {
        lists.reset();
        owner.reset();
        db.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
        dir.reset();
    }

    void patientListToPdf() {
        printFromMenu("Betegek2", [](ui::ReportPreview* preview) {
            QCOMPARE(preview->windowTitle(), QString::fromUtf8("Betegek listája"));
            QCOMPARE(preview->pageCount(), 1);
            QVERIFY(!preview->Kovetkezo->isEnabled());
            QTest::mouseClick(preview->Pdf, Qt::LeftButton);
            QTest::mouseClick(preview->Pdf, Qt::LeftButton);  // again: beside the first, not over it
            QTest::mouseClick(preview->Bezar, Qt::LeftButton);
        });
        QCOMPARE(dialogs->statusText(0), std::string("Beteg lista nyomtatása"));
        const auto files = pdfs();
        QCOMPARE(files.size(), size_t(2));
        const auto info = dialogs->texts(Kind::Information);
        QCOMPARE(info.size(), size_t(2));
        for (size_t i = 0; i < 2; ++i) {
            QVERIFY(files[i].filename().string().rfind("Betegek listája ", 0) == 0);
            QVERIFY(info[0].find(files[i].string()) != std::string::npos ||
                    info[1].find(files[i].string()) != std::string::npos);
        }
        const std::string text = test::runCommand("pdftotext -layout '" + files[0].string() + "' -");
        for (const char* part : {"Betegek listája", "Verzió: 4.11", "Árva Éva", "1938.01.02", "Kossuth tér 2.",
                                 "Lakcím", "Oldal: 1"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    // 151 codes take several pages; the preview pages and zooms, the PDF
    // numbers every page.
    void longListPagesThrough() {
        printFromMenu("TeljesBNOlista1", [](ui::ReportPreview* preview) {
            QVERIFY(preview->pageCount() >= 3);
            QTest::mouseClick(preview->Kovetkezo, Qt::LeftButton);
            QCOMPARE(preview->currentPage(), 1);
            QTest::keyClick(preview, Qt::Key_End);
            QCOMPARE(preview->currentPage(), preview->pageCount() - 1);
            QVERIFY(!preview->Kovetkezo->isEnabled());
            QTest::mouseClick(preview->Nagyit, Qt::LeftButton);
            QVERIFY(preview->zoom() > 1.0);
            QTest::mouseClick(preview->Pdf, Qt::LeftButton);
        });
        const std::string text = test::runCommand("pdftotext '" + pdfs().at(0).string() + "' -");
        for (const char* part : {"A0100", "Hastífusz", "C1409", "Oldal: 1", "Oldal: 3", "BNO kód", "Megnevezés"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    // "OK" without a chapter stays with its message; Enter on a chapter
    // prints its codes; closing the window prints nothing.
    void chapterWindow() {
        test::onNextModal([this](QWidget* w) {
            ui::TBcsop* bcsop = lists->bcsop();
            QCOMPARE(w, static_cast<QWidget*>(bcsop));
            QTest::mouseClick(bcsop->OK, Qt::LeftButton);
            QVERIFY(bcsop->isVisible());
            QCOMPARE(dialogs->texts(Kind::Information), std::vector<std::string>{reports::kChooseChapter});
            bcsop->CB1->setCurrentIndex(bcsop->CB1->findText(QString::fromUtf8("Daganatok (C00-D48)")));
            test::onNextModal([](QWidget* p) {
                auto* preview = qobject_cast<ui::ReportPreview*>(p);
                QVERIFY(preview);
                QVERIFY(preview->pageCount() >= 3);
                QTest::mouseClick(preview->Pdf, Qt::LeftButton);
            });
            QTest::keyClick(bcsop->CB1, Qt::Key_Return);
        });
        owner->menuItem("Betegsgcsoportszerintilista1")->trigger();
        const std::string text = test::runCommand("pdftotext '" + pdfs().at(0).string() + "' -");
        QVERIFY(text.find("Daganatok (C00-D48)") != std::string::npos);
        QVERIFY(text.find("C0000") != std::string::npos);
        QVERIFY(text.find("A0100") == std::string::npos);

        fs::remove(pdfs().at(0));
        dialogs->clearLog();
        test::onNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
        owner->menuItem("Betegsgcsoportszerintilista1")->trigger();
        QCOMPARE(dialogs->statusText(0), std::string(reports::kNoChapter));
        QVERIFY(pdfs().empty());
    }

    // "Excel" and "CSV" save the list's rows into LISTA beside where the
    // PDF goes, and tell where; the workbook and the CSV read back.
    void patientListToSpreadsheet() {
        printFromMenu("Betegek2", [](ui::ReportPreview* preview) {
            QVERIFY(preview->Excel && preview->Csv);
            QTest::mouseClick(preview->Excel, Qt::LeftButton);
            QTest::mouseClick(preview->Csv, Qt::LeftButton);
            QTest::mouseClick(preview->Bezar, Qt::LeftButton);
        });
        const auto files = pdfs();
        QCOMPARE(files.size(), size_t(2));
        const auto info = dialogs->texts(Kind::Information);
        QCOMPARE(info.size(), size_t(2));
        for (const fs::path& f : files) {
            QVERIFY(f.filename().string().rfind("Betegek listája ", 0) == 0);
            const bool xlsx = f.extension() == ".xlsx";
            QVERIFY(xlsx || f.extension() == ".csv");
            const std::string told = std::string(xlsx ? "A lista Excel táblázatba mentve:\n" : "A lista CSV állományba mentve:\n") + f.string();
            QVERIFY2(info[0] == told || info[1] == told, told.c_str());
            const std::vector<std::string> lines = test::readBackTable(xlsx ? "xlsx" : "csv", f.string());
            QVERIFY(!lines.empty());
            const std::string eva = xlsx ? "s:111111111\ts:Árva Éva\td:1938.01.02:yyyy.mm.dd\ts:0200002\ts:Kossuth tér 2.\te"
                                         : "111111111\tÁrva Éva\t1938.01.02\t0200002\tKossuth tér 2.\t";
            QCOMPARE(lines.back(), eva);
        }
    }

    void emptyListAndUnwritableLista() {
        owner->menuItem("Orvosok2")->trigger();
        QCOMPARE(dialogs->texts(Kind::Information), std::vector<std::string>{reports::kEmptyList});

        session->klista = dir->file("nincs/LISTA");
        printFromMenu("Betegek2", [](ui::ReportPreview* preview) {
            QCOMPARE(preview->saveAsPdf(), std::string());
            QCOMPARE(preview->saveAsTable(reports::TableFormat::Xlsx), std::string());
            QCOMPARE(preview->saveAsTable(reports::TableFormat::Csv), std::string());
        });
        QCOMPARE(dialogs->errors().size(), size_t(3));
        for (const std::string& e : dialogs->errors()) QVERIFY2(e.find("nem írható") != std::string::npos, e.c_str());
        QCOMPARE(dialogs->texts(Kind::Information), std::vector<std::string>{reports::kEmptyList});  // nothing saved
        QVERIFY(pdfs().empty());
    }
};

VELMORA_UI_TEST(MasterListWindowTest);
#include "MasterListWindowTest.moc"
