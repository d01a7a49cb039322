// "Dolgozók teljesített napjai" from the menu: the preview of the current
// period, its PDF read back by pdftotext; a period without employees says so.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "reports/EmployeeDays.h"
#include "reports/ui/EmployeeDaysCommand.h"
#include "reports/ui/ReportPreview.h"
#include "support/Files.h"
#include "support/ui/ReportPdf.h"
#include "support/SheetFixture.h"

#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class EmployeeDaysWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetData> data;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::EmployeeDaysCommand> command;

private slots:
    void init() {
        data = std::make_unique<test::SheetData>();
        const std::string bella = test::tajOf("33344455");
        data->employee({bella, "Kis Bella", "2024.01.01", "", 1, 0});
        std::vector<test::VisitDay> days;
        for (int d = 1; d <= 6; ++d) days.push_back({d, "1", bella});
        data->sheet({"2024.05", "00001", "", test::people::patient, days});
        data->open({2024, 6, 10}, "2024.05");
        lista = std::make_unique<test::TempDir>();
        data->session().klista = lista->str();
        owner = std::make_unique<test::MenuOwner>();
        command = std::make_unique<ui::EmployeeDaysCommand>(*owner, data->session(), data->db(), data->dialogs());
        owner->plug(command->commands());
        data->dialogs().clearLog();
    }
    void cleanup() {
        command.reset();
        owner.reset();
        lista.reset();
        data.reset();
    }

    void previewAndPdf() {
        test::savePdfInNextPreview();
        owner->menuItem("Dolgozkteljestettvizitei1")->trigger();
        QCOMPARE(data->dialogs().statusText(0), std::string(reports::kEmployeeStatus));
        const std::string text = test::takeOnlyPdfText(lista->path());
        // 1 weekly hour: 176 / 40 = 4.4, so 4 days; 6 made, 2 over.
        for (const char* part : {"Otthoni hospice ellátás dolgozói teljesítések megoszlása 2024.05. hónapban",
                                 "Kis Bella", "Túl-lépés", "Összes nap:", "Szolgáltató VARO kódja, megnevezése:"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        const size_t at = text.find("Kis Bella");
        QVERIFY(at != std::string::npos);
        const std::string line = text.substr(at, text.find('\n', at) - at);
        QStringList figures = QString::fromStdString(line).split(' ', Qt::SkipEmptyParts);
        QVERIFY(figures.size() >= 3);
        QCOMPARE(figures.mid(figures.size() - 3), (QStringList{"4", "6", "2"}));
    }

    void noEmployeesInThePeriod() {
        data->session().mIdoszak = "2009.01";
        owner->menuItem("Dolgozkteljestettvizitei1")->trigger();
        QCOMPARE(data->dialogs().errors(), std::vector<std::string>{reports::kNoEmployees});
    }
};

VELMORA_UI_TEST(EmployeeDaysWindowTest);
#include "EmployeeDaysWindowTest.moc"
