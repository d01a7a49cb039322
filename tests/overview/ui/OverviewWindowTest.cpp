// "Áttekintés" from the menu on a small year: the notes, the month over the
// contract and the nurse over her capacity marked, a state's cell chosen
// with Enter opening the register on exactly its sheets, the days the fund
// did not pay listed with Enter opening the sheet, and the overview on
// paper with its charts read back from the PDF.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "db/Table.h"
#include "overview/ui/OverviewCommands.h"
#include "overview/ui/Tnemfiz.h"
#include "support/SheetFixture.h"
#include "support/ui/ReportPdf.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <filesystem>
#include <memory>

using namespace velmora;

namespace {

std::vector<test::VisitDay> visits(int from, int to, const std::string& nurse, int billedUpTo = 0) {
    std::vector<test::VisitDay> out;
    for (int d = from; d <= to; ++d) out.push_back({d, "1", nurse, d <= billedUpTo ? "202404" : ""});
    return out;
}

// The HLAPA rows a register filter lets through, as "period/number".
std::vector<std::string> sheetsThrough(db::Database& dbs, const std::string& filter) {
    db::Table& lap = dbs.table("HLAPA");
    lap.setFilter(filter);
    std::vector<std::string> out;
    for (lap.first(); !lap.eof(); lap.next()) out.push_back(lap.text("IDOSZAK") + "/" + lap.text("SORSZ"));
    lap.clearFilter();
    return out;
}

void pressEnter(QWidget* w) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

class OverviewWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetData> data;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::OverviewCommands> commands;
    std::vector<std::string> filters;
    std::vector<sheets::SheetKey> viewed;

private slots:
    void init() {
        data = std::make_unique<test::SheetData>();
        const auto& anna = test::people::nurse1;
        const auto& bella = test::people::nurse2;
        data->contracts({test::contractRow(true, "987654321", "2024.01.01", 30)})
            .employee({anna, "Ápoló Anna", "2020.01.01", "", 40, 0})
            .employee({bella, "Ápoló Bella", "2020.01.01", "", 2, 0});
        data->sheet({"2024.03", "00001", "", test::people::patient, visits(1, 25, anna, 25),
                     {{"SzNap", 25}, {"Elkuldve", "2024.03"}, {"Allapot", "ű"}}});
        data->sheet({"2024.03", "00002", "", test::people::patient, visits(1, 10, bella, 6),
                     {{"SzNap", 10}, {"Elkuldve", "2024.03"}, {"Allapot", "R"}, {"Tpotl", "I"}}});
        data->sheet({"2024.02", "00003", "", test::people::patient, visits(1, 4, anna), {{"SzNap", 4}, {"Elkuldve", "2024.03"}}});
        data->periodRow("2024.03", "2024.04.05", {{"Ruvkuld", "2024.04.20"}, {"Alapdij", 5640}});
        data->open({2024, 6, 10}, "2024.05");
        lista = std::make_unique<test::TempDir>();
        data->session().klista = lista->str();
        owner = std::make_unique<test::MenuOwner>();
        ui::OverviewLinks links;
        links.openRegister = [this](const std::string& f) { filters.push_back(f); };
        links.viewSheet = [this](const sheets::SheetKey& k) { viewed.push_back(k); };
        commands = std::make_unique<ui::OverviewCommands>(*owner, data->session(), data->db(), data->dialogs(), links);
        owner->plug(commands->commands());
        filters.clear();
        viewed.clear();
        data->dialogs().clearLog();
    }
    void cleanup() {
        commands.reset();
        owner.reset();
        lista.reset();
        data.reset();
    }

    void figuresMarksAndTheRegisterOnAState() {
        bool seen = false;
        test::onNextModal([&](QWidget* w) {
            seen = true;
            QCOMPARE(w->objectName(), QString("Attekintes"));
            QVERIFY(w->windowTitle().contains("2024. év"));
            const QString notes = test::control<QLabel>(w, "figyelem")->text();
            QVERIFY2(notes.contains("2024.03: a rögzített napok száma (35) meghaladja a szerződött napkeretet (30)."),
                     qPrintable(notes));
            auto* szamok = test::control<QTableWidget>(w, "szamok");
            QCOMPARE(szamok->item(2, 2)->text(), QString("35"));
            QCOMPARE(szamok->item(12, 1)->text(), QString("360"));  // the year's contracted days
            QVERIFY(szamok->item(2, 2)->font().bold());            // March marked
            auto* apolok = test::control<QTableWidget>(w, "apolok");
            QCOMPARE(apolok->item(1, 0)->text(), QString("Ápoló Bella"));
            QCOMPARE(apolok->item(1, 3)->text(), QString("10/9"));
            QVERIFY(apolok->item(1, 3)->font().bold());
            // Enter on February's "Később küldött" opens the register on that sheet alone.
            auto* allapotok = test::control<QTableWidget>(w, "allapotok");
            QCOMPARE(allapotok->horizontalHeaderItem(3)->text(), QString("Később küldött"));
            allapotok->setCurrentCell(1, 3);
            pressEnter(allapotok);
            QCOMPARE(filters.size(), size_t(1));
            QCOMPARE(sheetsThrough(data->db(), filters[0]), std::vector<std::string>{"2024.02/00003"});
            // A nurse's cell: her sheets of the month.
            apolok->setCurrentCell(1, 3);
            pressEnter(apolok);
            QCOMPARE(sheetsThrough(data->db(), filters.at(1)), std::vector<std::string>{"2024.03/00002"});
            QWidget* shot = w;
            shot->resize(1280, 760);
            test::control<QPushButton>(w, "kilep")->click();
        });
        owner->menuItem("ttekints1")->trigger();
        QVERIFY(seen);
        QVERIFY(data->dialogs().problems().empty());
    }

    void unpaidDaysListedAndOpened() {
        bool seen = false;
        test::onNextModal([&](QWidget* w) {
            seen = true;
            QCOMPARE(w->objectName(), QString("Nemfizetett"));
            auto* lapok = test::control<QTableWidget>(w, "lapok");
            QCOMPARE(lapok->rowCount(), 1);
            QCOMPARE(lapok->item(0, 1)->text(), QString("00002"));
            QCOMPARE(lapok->item(0, 6)->text(), QString("4"));
            QCOMPARE(lapok->item(0, 7)->text(), QString("24 816"));  // 4 × 5640 × 1,1
            pressEnter(lapok);
            QCOMPARE(viewed.size(), size_t(1));
            QCOMPARE(viewed[0].number(), std::string("00002"));
            // A range that is no range is refused and the list stays.
            auto* tol = test::control<QLineEdit>(w, "tol");
            tol->setText("2024.12");
            QVERIFY(!static_cast<ui::Tnemfiz*>(w)->list());
            QCOMPARE(data->dialogs().errors().back(),
                     std::string("A kezdő időszak nem lehet későbbi a záró időszaknál!"));
            QCOMPARE(lapok->rowCount(), 1);
            test::savePdfInNextPreview();
            test::control<QPushButton>(w, "nyomtat")->click();
            const std::string text = test::takeOnlyPdfText(lista->path());
            for (const char* part : {"Ki nem fizetett napok", "00002", "Minta Mária", "24 816", "Összesen: 1 lap"})
                QVERIFY2(text.find(part) != std::string::npos, part);
            // Saved for a spreadsheet: the row with its numbers as numbers.
            QTest::mouseClick(test::control<QPushButton>(w, "csv"), Qt::LeftButton);
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(lista->path())) files.push_back(e.path());
            QVERIFY2(files.size() == 1, data->dialogs().problems().empty() ? "no file" : data->dialogs().problems().back().c_str());
            QCOMPARE(files[0].extension().string(), std::string(".csv"));
            const std::string csv = test::fileBytes(files[0]);
            QVERIFY2(csv.find("2024.03;00002;") != std::string::npos && csv.find(";10;6;4;24816") != std::string::npos,
                     csv.c_str());
            test::control<QPushButton>(w, "kilep")->click();
        });
        owner->menuItem("Kinemfizetettnapok1")->trigger();
        QVERIFY(seen);
    }

    void overviewOnPaper() {
        test::onNextModal([&](QWidget* w) {
            test::savePdfInNextPreview();
            test::control<QPushButton>(w, "nyomtat")->click();
            test::control<QPushButton>(w, "kilep")->click();
        });
        owner->menuItem("ttekints1")->trigger();
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"Áttekintés – 2024. év", "Szerződéses napkeret", "Napok havonta", "Ápoló Bella",
                                 "10/9 !", "Később küldött", "Új lap a(z) 2024.05 időszakra rögzíthető eddig: 2024.09.30",
                                 "Még nem készült biztonsági mentés."})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    void offeredAfterLoginWhenSomethingNeedsAttention() {
        data->dialogs().answerNo();
        commands->offer();
        const auto asked = data->dialogs().texts(test::ScriptedDialogs::Kind::Question);
        QCOMPARE(asked.size(), size_t(1));
        QVERIFY(asked[0].find("meghaladja a szerződött napkeretet") != std::string::npos);
        QVERIFY(asked[0].ends_with(app::text(app::Msg::OverviewQuestion)));
    }
};

VELMORA_UI_TEST(OverviewWindowTest);
#include "OverviewWindowTest.moc"
