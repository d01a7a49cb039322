// "Előzmények": from the register's key on the sheet under the cursor (its
// changes across a conversion, newest first, old and new value per field)
// and from the menu with its filters; both print to PDF read back by
// pdftotext.
#include "support/programs/RegisterProgram.h"

#include "register/NewSheets.h"
#include "register/SheetCommands.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "reports/HistoryList.h"
#include "reports/ui/HistoryCommand.h"
#include "reports/ui/TElozmeny.h"
#include "store/History.h"
#include "support/Files.h"
#include "support/ui/ReportPdf.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <memory>
#include <set>

using namespace velmora;

class HistoryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::RegisterProgram> p;
    std::unique_ptr<test::TempDir> lista;
    std::unique_ptr<ui::HistoryCommand> history;

    // The grid's rows as the user reads them: "action sheet FIELD old>new".
    static std::vector<QString> shown(const ui::TElozmeny& w) {
        const QAbstractItemModel* m = w.Sorok->model();
        std::vector<QString> rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            const auto at = [&](int c) { return m->data(m->index(r, c)).toString(); };
            rows.push_back(at(2) + " " + at(3) + " " + at(5) + " " + at(6) + ">" + at(7));
        }
        return rows;
    }

private slots:
    void init() {
        p = std::make_unique<test::RegisterProgram>("2024.05");
        lista = std::make_unique<test::TempDir>();
        p->start->session.klista = lista->str();
        history = std::make_unique<ui::HistoryCommand>(*p->owner, p->start->session, p->db(), p->dialogs(),
                                                       *p->registerWindows);
        p->owner->plug(history->commands());
        p->store({{"00001", "", "2024.05"}, {2, 3}});
        p->store({{"00002", "", "2024.04"}, {5}});
        // The changes the history tells of: the first sheet closed, made a
        // first part and closed again; the other closed once.
        reg::storeClosingDate(p->db(), {"00001", "", "2024.05"}, "2024.05.20", false);
        reg::convertSheet(p->db(), {"00001", "", "2024.05"}, "A");
        reg::storeClosingDate(p->db(), {"00001", "A", "2024.05"}, "2024.05.21", false);
        reg::storeClosingDate(p->db(), {"00002", "", "2024.04"}, "2024.04.28", false);
        p->dialogs().clearLog();
    }
    void cleanup() {
        history.reset();
        p.reset();
        lista.reset();
    }

    // F6 on the converted sheet: its three changes, the last first, also
    // those made under its earlier key; the other sheet's are not there.
    void oneSheetFromTheRegister() {
        test::inRegister(*p, reg::RegisterMode::Recording, [&](ui::Tlapok& w) {
            p->pointAt("00001", "A");
            const QString opened = test::windowFrom(
                [&] { QTest::keyClick(p->grid(), Qt::Key_F6); },
                [&](QWidget* shownWindow) {
                    auto* h = qobject_cast<ui::TElozmeny*>(shownWindow);
                    QVERIFY(h);
                    QVERIFY(!h->Feltetelek->isVisible());
                    QVERIFY(h->windowTitle().contains("2024.05/00001A"));
                    const std::vector<QString> rows = shown(*h);
                    QVERIFY(rows.size() >= 3);
                    const auto at = [&](const QString& row) {
                        return std::find(rows.begin(), rows.end(), row) - rows.begin();
                    };
                    const auto newest = at("Lezárás 2024.05/00001A LEZDAT 2024.05.20>2024.05.21");
                    const auto conversion = at("Átalakítás 2024.05/00001A RESZ >A");
                    const auto oldest = at("Lezárás 2024.05/00001 LEZDAT >2024.05.20");
                    QVERIFY2(newest < conversion && conversion < oldest && oldest < std::ssize(rows),
                             qPrintable(QStringList(rows.begin(), rows.end()).join("\n")));
                    for (const QString& r : rows) QVERIFY2(!r.contains("00002"), qPrintable(r));

                    test::savePdfInNextPreview();
                    QTest::mouseClick(h->Nyomtat, Qt::LeftButton);
                    h->Kilep->click();
                });
            QCOMPARE(opened, QString("TElozmeny"));
            w.kilep->click();
        });
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {"Az elszámolási lap előzményei: 2024.05/00001A", "Átalakítás", "LEZDAT",
                                 "2024.05.21", "Régi érték", "Oldal: 1"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        QVERIFY(p->dialogs().problems().empty());
    }

    // From the menu: the current year's periods first; a narrower range,
    // an action, a patient and a user choose; a wrong period is refused
    // and leaves the lines as they were.
    void wholeHistoryWithFilters() {
        test::onNextModal([&](QWidget* w) {
            auto* h = qobject_cast<ui::TElozmeny*>(w);
            QVERIFY(h);
            QVERIFY(h->Feltetelek->isVisible());
            QCOMPARE(h->Tol->text(), QString("2024.01"));
            QCOMPARE(h->Ig->text(), QString("2024.05"));
            std::set<QString> sheets;
            for (const auto& l : h->lines()) sheets.insert(QString::fromStdString(l.lap));
            QCOMPARE(sheets, (std::set<QString>{"2024.04/00002", "2024.05/00001", "2024.05/00001A"}));

            h->Tol->setText("2024.05");
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            for (const auto& l : h->lines()) QVERIFY2(l.lap.rfind("2024.05/", 0) == 0, l.lap.c_str());
            QVERIFY(!h->lines().empty());

            h->Tol->setText("2024.13");
            const size_t before = h->lines().size();
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            QCOMPARE(p->dialogs().errors(), std::vector<std::string>{"Hibás időszak: 2024.13 (ÉÉÉÉ.HH alakban kell megadni)!"});
            QCOMPARE(h->lines().size(), before);
            p->dialogs().clearLog();

            h->Tol->setText("202404");
            h->Muvelet->setCurrentText(QString::fromUtf8(store::history::kConvert));
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            QVERIFY(!h->lines().empty());
            for (const auto& l : h->lines()) {
                QCOMPARE(l.muvelet, std::string(store::history::kConvert));
                QCOMPARE(l.lap, std::string("2024.05/00001A"));
            }

            h->Muvelet->setCurrentIndex(0);
            h->Taj->setText("123456788");
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            QVERIFY(h->lines().empty());
            h->Taj->setText(test::kPatientTaj);
            QVERIFY(h->Felhasznalo->count() >= 2);  // every user, then the user who closed the sheets
            h->Felhasznalo->setCurrentIndex(1);
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            QCOMPARE(h->Darab->text(), QString("%1 sor").arg(h->lines().size()));
            sheets.clear();
            for (const auto& l : h->lines()) sheets.insert(QString::fromStdString(l.lap));
            QCOMPARE(sheets.size(), size_t(3));

            h->Muvelet->setCurrentText(QString::fromUtf8(store::history::kClosing));
            test::savePdfInNextPreview();
            QTest::mouseClick(h->Szures, Qt::LeftButton);
            QTest::mouseClick(h->Nyomtat, Qt::LeftButton);
            h->Kilep->click();
        });
        p->owner->menuItem("Elzmnyek1")->trigger();
        const std::string text = test::takeOnlyPdfText(lista->path());
        for (const char* part : {reports::kHistoryTitle, "Művelet: Lezárás", "2024.04/00002", "2024.04.28", "LEZDAT"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        QVERIFY2(text.find("Átalakítás") == std::string::npos, "only the closing dates");
        QVERIFY(p->dialogs().problems().empty());
    }
};

VELMORA_UI_TEST(HistoryWindowTest);
#include "HistoryWindowTest.moc"
