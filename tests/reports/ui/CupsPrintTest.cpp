// "Nyomtatás" in the preview on a real print server: a cupsd of the test's
// own with a PDF queue, chosen where the user would choose in the print
// dialog. The sheet forms from the register and a list from the menu are
// printed, and pdftotext reads back what the queue wrote: every page, the
// accents, A4.
#include "support/programs/RegisterProgram.h"

#include "reports/ui/MasterListCommands.h"
#include "support/programs/PrivateCups.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/SheetPrintCommand.h"
#include "register/ui/Tlapok.h"
#include "support/Files.h"

#include <QAction>
#include <QPrinter>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

namespace {
// What pdfinfo says of the file's pages: their number and the size of each.
struct PrintedPdf {
    std::string text, info;
    explicit PrintedPdf(const fs::path& file)
        : text(test::runCommand("pdftotext -layout '" + file.string() + "' -")),
          info(test::runCommand("pdfinfo -f 1 -l 99 '" + file.string() + "'")) {}
    int pages() const {
        const auto at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    }
    // Every page A4 (595 x 842 points), portrait.
    bool allA4() const {
        int a4 = 0;
        for (size_t at = info.find("size:  595 x 842 pts (A4)"); at != std::string::npos;
             at = info.find("size:  595 x 842 pts (A4)", at + 1))
            ++a4;
        return a4 == pages();
    }
    int count(const std::string& part) const {
        int n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};
} // namespace

class CupsPrintTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::PrivateCups> cups;
    std::unique_ptr<test::RegisterProgram> p;
    std::unique_ptr<ui::SheetPrintCommand> sheetPrint;
    std::unique_ptr<ui::MasterListCommands> lists;

    // In the preview: the private queue instead of the print dialog, then
    // "Nyomtatás" as the user presses it.
    static void printOnQueue(QWidget* shown, int pages) {
        auto* preview = qobject_cast<ui::ReportPreview*>(shown);
        QVERIFY(preview);
        QCOMPARE(preview->pageCount(), pages);
        preview->setPrinterChoice([](QPrinter& printer) {
            printer.setPrinterName(QString::fromLatin1(test::PrivateCups::kQueue));
            return printer.isValid();
        });
        QTest::mouseClick(preview->Nyomtat, Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        if (!test::PrivateCups::installed())
            QSKIP("cupsd is not installed (scripts/install-deps.sh installs cups): no print server to print on");
        cups = std::make_unique<test::PrivateCups>();
        QVERIFY2(cups->ready(), cups->error().c_str());
    }
    void cleanupTestCase() { cups.reset(); }

    void init() {
        p = std::make_unique<test::RegisterProgram>("2024.05");
        sheetPrint = std::make_unique<ui::SheetPrintCommand>(p->start->session, p->db(), p->dialogs(), *p->registerWindows);
        p->owner->plug(sheetPrint->commands());
        lists = std::make_unique<ui::MasterListCommands>(*p->owner, p->start->session, p->db(), p->dialogs());
        p->owner->plug(lists->commands());
        p->dialogs().clearLog();
    }
    void cleanup() {
        lists.reset();
        sheetPrint.reset();
        p.reset();
    }

    // Two marked sheets: one job of two pages, each sheet's form on its own.
    void sheetFormsOnThePrinter() {
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        p->store({{"00002", "", "2024.04"}, {5}});
        test::windowFrom([&] { p->owner->menuItem("Elszmolsilapoknyomtatsa1")->trigger(); },
                         [&](QWidget* w) {
                             QVERIFY(QTest::qWaitForWindowActive(w));
                             ui::Tlapok& lapok = p->lapok();
                             for (const char* sorsz : {"00001", "00002"}) {
                                 p->pointAt(sorsz);
                                 lapok.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
                             }
                             test::windowFrom([&] { QTest::mouseClick(lapok.nyomtat, Qt::LeftButton); },
                                              [&](QWidget* shown) { printOnQueue(shown, 2); });
                             lapok.kilep->click();
                         });
        QVERIFY2(p->dialogs().problems().empty(), p->dialogs().problems().empty() ? "" : p->dialogs().problems()[0].c_str());
        const auto files = cups->printed(1);
        QVERIFY2(files.size() == 1, cups->log().c_str());
        const PrintedPdf pdf(files[0]);
        QCOMPARE(pdf.pages(), 2);
        QVERIFY2(pdf.allA4(), pdf.info.c_str());
        QCOMPARE(pdf.count("HOSPICE EGYÉNI ELSZÁMOLÁSI LAP"), 2);
        for (const char* part : {"Sorszám: 00001", "Sorszám: 00002", "Jelentési időszak: 2024.05", "Kovács Ágnes",
                                 "Szolgáltató cégszerű aláírása"})
            QVERIFY2(pdf.text.find(part) != std::string::npos, part);
        // Pages in order: the first sheet's form on page one.
        QVERIFY(pdf.text.find("Sorszám: 00001") < pdf.text.find('\f'));
        QVERIFY(pdf.text.find("Sorszám: 00002") > pdf.text.find('\f'));
    }

    void listOnThePrinter() {
        test::onNextModal([](QWidget* w) { printOnQueue(w, 1); });
        p->owner->menuItem("Betegek2")->trigger();
        QVERIFY2(p->dialogs().problems().empty(), p->dialogs().problems().empty() ? "" : p->dialogs().problems()[0].c_str());
        const auto files = cups->printed(2);
        QVERIFY2(files.size() == 2, cups->log().c_str());
        const PrintedPdf pdf(files[1]);
        QCOMPARE(pdf.pages(), 1);
        QVERIFY2(pdf.allA4(), pdf.info.c_str());
        for (const char* part : {"Betegek listája", "Kovács Ágnes", "Fő utca 2.", "Oldal: 1"})
            QVERIFY2(pdf.text.find(part) != std::string::npos, part);
    }
};

VELMORA_UI_TEST(CupsPrintTest);
#include "CupsPrintTest.moc"
