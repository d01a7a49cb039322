// The monthly summary and accounting from the menu: Tobe refuses what is
// not a number, the summary's PDF is read back by pdftotext, the
// accounting waits for the fund's fee.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "db/Sql.h"
#include "reports/Monthly.h"
#include "reports/ui/MonthlyCommands.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/Tobe.h"
#include "support/Files.h"
#include "support/ui/ReportPdf.h"
#include "support/SheetFixture.h"

#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class MonthlyWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetData> data;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MonthlyCommands> monthly;


private slots:
    void init() {
        data = std::make_unique<test::SheetData>();
        std::vector<test::VisitDay> days;
        for (int d = 1; d <= 20; ++d) days.push_back({d, "1", test::people::nurse1});
        data->sheet({"2024.05", "00001", "A", test::people::patient, days,
                     {{"Elkuldve", "2024.05"}, {"SzNap", 20}, {"Tpotl", "I"}}})
            .periodRow("2024.05", "2024.06.05");
        data->open({2024, 6, 10}, "2024.05");
        data->session().alapert = 3240;
        lista = std::make_unique<test::TempDir>();
        data->session().klista = lista->str();
        owner = std::make_unique<test::MenuOwner>();
        monthly = std::make_unique<ui::MonthlyCommands>(*owner, data->session(), data->db(), data->dialogs());
        owner->plug(monthly->commands());
        data->dialogs().clearLog();
    }
    void cleanup() {
        monthly.reset();
        owner.reset();
        lista.reset();
        data.reset();
    }

    void summaryWithTheOrderingSheets() {
        test::onNextModal([this](QWidget* w) {
            ui::Tobe* tobe = monthly->tobe();
            QCOMPARE(w, static_cast<QWidget*>(tobe));
            test::typeText(tobe->Edit1, "négy");
            QTest::keyClick(tobe->Edit1, Qt::Key_Return);
            QVERIFY(tobe->isVisible());
            QCOMPARE(data->dialogs().errors(), std::vector<std::string>{reports::kOnlyNumbers});
            // A count is never negative.
            data->dialogs().clearLog();
            tobe->Edit1->clear();
            test::typeText(tobe->Edit1, "-1");
            QTest::keyClick(tobe->Edit1, Qt::Key_Return);
            QVERIFY(tobe->isVisible());
            QCOMPARE(data->dialogs().errors(), std::vector<std::string>{reports::kNoNegativeCount});
            data->dialogs().clearLog();
            tobe->Edit1->setText(" 4");
            test::savePdfInNextPreview();
            QTest::keyClick(tobe->Edit1, Qt::Key_Return);
        });
        owner->menuItem("Havisszestafloppykldemnyhez1")->trigger();
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"HOSPICE ELLÁTÁS HAVI ÖSSZESÍTŐ JELENTÉS", "\"Hospice elrendelő lap\"-ok száma:",
                                 "Ellátott napok forint összege összesen:", "64,8", "6,5", "1. Szakápolás:",
                                 "2024.06.05", "Szolgáltató cégszerű aláírása"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    void accountingAfterTheFeeIsReadBack() {
        owner->menuItem("Havonkntielszmols1")->trigger();
        QCOMPARE(data->dialogs().errors(), std::vector<std::string>{reports::kNoBilledData});
        db::Sql(data->db()).run("update zaras set alapdij=3240 where idoszak='2024.05'");
        db::Sql(data->db()).run("update hlapb set eli1='E', eli2='E' where sorsz='00001'");
        test::savePdfInNextPreview();
        owner->menuItem("Havonkntielszmols1")->trigger();
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"Havi összesítő az elszámolt napokról 2024.05. hónapban", "00001A", "+10%",
                                 "7 128,0", "Mindösszesen:", "7,1 eFt"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }
};

VELMORA_UI_TEST(MonthlyWindowTest);
#include "MonthlyWindowTest.moc"
