// "Elszámolási lapok nyomtatása" from the menu: the register in printing
// mode, a sheet marked, "Nyomtatás" shows its form in the preview whose PDF
// pdftotext reads back, and every print mark is gone afterwards.
#include "support/programs/RegisterProgram.h"

#include "db/Sql.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "reports/SheetForm.h"
#include "reports/ui/ReportPreview.h"
#include "reports/ui/SheetPrintCommand.h"
#include "support/Files.h"

#include <QAction>
#include <QPushButton>
#include <QTableView>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

class SheetPrintWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::RegisterProgram> p;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<ui::SheetPrintCommand> print;

    int marked() {
        return static_cast<int>(db::Sql(p->db()).run("select count(*) from hlapa where jeloles='*'").rows[0][0].asInt());
    }

    // The menu item; `act` runs in the register once it is open.
    QString fromMenu(const std::function<void(ui::Tlapok&)>& act) {
        return test::windowFrom([&] { p->owner->menuItem("Elszmolsilapoknyomtatsa1")->trigger(); },
                                [&](QWidget* w) {
                                    QVERIFY(QTest::qWaitForWindowActive(w));
                                    act(p->lapok());
                                });
    }

private slots:
    void init() {
        p = std::make_unique<test::RegisterProgram>("2024.05");
        lista = std::make_unique<test::TempDir>();
        p->start->session.klista = lista->str();
        print = std::make_unique<ui::SheetPrintCommand>(p->start->session, p->db(), p->dialogs(), *p->registerWindows);
        p->owner->plug(print->commands());
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        p->store({{"00002", "", "2024.04"}, {5}});
        p->dialogs().clearLog();
    }
    void cleanup() {
        print.reset();
        p.reset();
        lista.reset();
    }

    void markedSheetToPdfAndMarksCleared() {
        QString preview;
        const QString opened = fromMenu([&](ui::Tlapok& w) {
            QVERIFY(w.nyomtat->isVisible() && w.nyomtat->isEnabled());
            QVERIFY(!w.kuld->isVisible());
            p->pointAt("00001");
            w.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            QCOMPARE(marked(), 1);
            preview = test::windowFrom([&] { QTest::mouseClick(w.nyomtat, Qt::LeftButton); },
                                       [&](QWidget* shown) {
                                           auto* r = qobject_cast<ui::ReportPreview*>(shown);
                                           QVERIFY(r);
                                           QCOMPARE(r->pageCount(), 1);
                                           QTest::mouseClick(r->Pdf, Qt::LeftButton);
                                       });
            QCOMPARE(marked(), 0);
            w.kilep->click();
        });
        QCOMPARE(opened, QString("Tlapok"));
        QVERIFY2(p->dialogs().problems().empty(), p->dialogs().problems().empty() ? "" : p->dialogs().problems()[0].c_str());
        QCOMPARE(preview, QString("ReportPreview"));
        QVERIFY(p->dialogs().problems().empty());
        std::vector<fs::path> pdfs;
        for (const auto& e : fs::directory_iterator(lista->path())) pdfs.push_back(e.path());
        QCOMPARE(pdfs.size(), size_t(1));
        const std::string text = test::runCommand("pdftotext -layout '" + pdfs[0].string() + "' -");
        for (const char* part : {"HOSPICE EGYÉNI ELSZÁMOLÁSI LAP", "Sorszám: 00001", "Jelentési időszak: 2024.05",
                                 "Szolgáltató VARO kódja:", "2024.05.31", "A napok száma összesen:",
                                 "Szolgáltató cégszerű aláírása", "Oldal: 1"})
            QVERIFY2(text.find(part) != std::string::npos, part);
    }

    // Nothing marked: the message, no preview.
    void nothingMarked() {
        fromMenu([&](ui::Tlapok& w) {
            QTest::mouseClick(w.nyomtat, Qt::LeftButton);
            w.kilep->click();
        });
        QCOMPARE(p->dialogs().errors(), std::vector<std::string>{reports::kNoSheetToPrint});
    }

    // A marked sheet but no contract valid in the period: the same message,
    // and the mark goes all the same.
    void noContractStillClearsTheMarks() {
        db::Sql(p->db()).run("delete from hszerz");
        fromMenu([&](ui::Tlapok& w) {
            p->pointAt("00001");
            w.findChild<QAction*>("Egylapkivlasztsa1")->trigger();
            QCOMPARE(marked(), 1);
            QTest::mouseClick(w.nyomtat, Qt::LeftButton);
            QCOMPARE(marked(), 0);
            w.kilep->click();
        });
        QCOMPARE(p->dialogs().errors(), std::vector<std::string>{reports::kNoSheetToPrint});
        QVERIFY(fs::is_empty(lista->path()));
    }
};

VELMORA_UI_TEST(SheetPrintWindowTest);
#include "SheetPrintWindowTest.moc"
