// A browse frame's grid saved for a spreadsheet through its own commands:
// the rows the grid shows (filter and active index), its shown columns
// with their titles and screen widths, numbers, dates and lookup fields
// as values; read back by python3-openpyxl and Python's csv. Without a
// place to save (no program around the grid) the commands save nothing.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "support/TableReadBack.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/GridSaving.h"
#include "widgets/Navigator.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using Kind = test::ScriptedDialogs::Kind;

class GridSaveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<QDialog> window;
    ui::BrowseFrame* frame = nullptr;

    std::string lista() const { return data->path() + "LISTA"; }
    std::vector<fs::path> saved() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(lista())) out.push_back(e.path());
        return out;
    }
    QAction* action(const char* name) const {
        auto* a = frame->findChild<QAction*>(name);
        if (!a) QTest::qFail(name, __FILE__, __LINE__);
        return a;
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        fs::create_directories(lista());
        dbs = std::make_unique<db::Database>(data->path());
        db::Table& telepul = dbs->table("TELEPUL", "Telepul.dbf");
        telepul.create({db::FieldDef::character("KOZIGKOD", 7), db::FieldDef::character("HELYNEV", 25)});
        telepul.open();
        for (const auto& [kod, hely] : {std::pair{"0200002", "Pécs"}, std::pair{"0100001", "Szeged; Alsóváros"}}) {
            telepul.append();
            telepul.setField("KOZIGKOD", db::Value(kod));
            telepul.setField("HELYNEV", db::Value(hely));
            telepul.post();
        }
        db::Table& beteg = dbs->table("BETEG", "Beteg.dbf");
        beteg.create({db::FieldDef::character("TAJ", 9), db::FieldDef::character("NEV", 30),
                      db::FieldDef::date("SZULI"), db::FieldDef::numeric("NAPOK", 3),
                      db::FieldDef::numeric("DIJ", 9, 2), db::FieldDef::character("KOZIGKOD", 7),
                      db::FieldDef::character("NEME", 1)});
        beteg.open();
        beteg.addIndex("Beteg2", "NEV");
        const struct {
            const char *taj, *nev, *szuli;
            int napok;
            int64_t dijFillers;
            const char *kod, *neme;
        } rows[] = {{"012345675", "Zala Péter", "1940.05.06", 12, 123450, "0200002", "F"},
                    {"100000001", "Ödön Éva", "1938.01.02", 0, -5, "0100001", "N"},
                    {"500000005", "Ábrahám Ilona", "", 31, 0, "0999999", "N"}};
        for (const auto& r : rows) {
            beteg.append();
            beteg.setField("TAJ", db::Value(r.taj));
            beteg.setField("NEV", db::Value(r.nev));
            if (*r.szuli) beteg.setField("SZULI", db::Value(r.szuli));
            beteg.setField("NAPOK", db::Value(db::Decimal::fromInt(r.napok)));
            beteg.setField("DIJ", db::Value(db::Decimal(r.dijFillers, 2)));
            beteg.setField("KOZIGKOD", db::Value(r.kod));
            beteg.setField("NEME", db::Value(r.neme));
            beteg.post();
        }
        beteg.addLookupField("HELY", "KOZIGKOD", telepul, "KOZIGKOD", "HELYNEV");
        beteg.setActiveIndex("Beteg2");
        beteg.first();

        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        session->klista = lista();
        dialogs = std::make_unique<test::ScriptedDialogs>();

        ui::FrameSetup setup;
        setup.className = "TBetegkep";
        setup.gridName = "DBGBeteg";
        setup.columns = {{"TAJ", "TAJ szám", 70, ""},  {"NEV", "Beteg neve", 160, "Beteg2"},
                         {"SZULI", "Születési idő", 80, ""}, {"NAPOK", "Napok", 40, ""},
                         {"DIJ", "Díj Ft", 70, ""},    {"HELY", "Település", 120, ""},
                         {"NEME", "Neme", 30, ""}};
        setup.searchable = false;
        window = std::make_unique<QDialog>();
        window->setWindowTitle(QString::fromUtf8("Betegek"));
        frame = new ui::BrowseFrame(setup, beteg, window.get());
        (new QVBoxLayout(window.get()))->addWidget(frame);
        frame->grid()->setColumnHidden(6, true);  // a hidden column is not saved
        window->show();
    }
    void cleanup() {
        window.reset();
        frame = nullptr;
        dialogs.reset();
        session.reset();
        clock.reset();
        dbs.reset();
        data.reset();
    }

    void theGridsRowsAsTheySeeThem() {
        dbs->table("BETEG", "Beteg.dbf").setFilter("NAPOK < 20");
        const ui::GridSaving saving(*session, *dialogs);
        // The commands beside the navigator and in the grid's context menu.
        auto* button = frame->navigator()->findChild<QToolButton*>("nbMentes");
        QVERIFY(button && button->menu());
        QCOMPARE(button->menu()->actions().size(), qsizetype(2));
        QVERIFY(frame->grid()->actions().contains(action("MentesExcel")));
        QCOMPARE(action("MentesCsv")->text(), QString::fromUtf8("Mentés CSV állományba"));
        action("MentesExcel")->trigger();
        action("MentesCsv")->trigger();

        // Name order (the active index), the filter's rows only.
        const auto files = saved();
        QCOMPARE(files.size(), size_t(2));
        QCOMPARE(dialogs->texts(Kind::Information).size(), size_t(2));
        const QTableView* grid = frame->grid();
        const double charWidth = grid->fontMetrics().averageCharWidth();
        for (const fs::path& f : files) {
            QVERIFY(f.filename().string().rfind("Betegek ", 0) == 0);
            const bool xlsx = f.extension() == ".xlsx";
            const std::vector<std::string> lines = test::readBackTable(xlsx ? "xlsx" : "csv", f.string());
            if (xlsx) {
                QCOMPARE(lines.size(), size_t(2 + 6 + 3));
                QCOMPARE(lines[0], std::string("sheet\tBetegek"));
                QCOMPARE(lines[1], std::string("freeze\tA2"));
                for (int c = 0; c < 6; ++c) {
                    const double stored = std::stod(lines[2 + c].substr(lines[2 + c].rfind('\t') + 1));
                    QVERIFY2(std::abs(stored - (grid->columnWidth(c) / charWidth + 0.71)) < 0.2, lines[2 + c].c_str());
                }
                QCOMPARE(lines[8], std::string("h:TAJ szám:bold\th:Beteg neve:bold\th:Születési idő:bold\th:Napok:bold\t"
                                               "h:Díj Ft:bold\th:Település:bold"));
                        QCOMPARE(lines[9], std::string("s:100000001\ts:Ödön Éva\td:1938.01.02:yyyy.mm.dd\tn:0:0\t"
                                               "n:-0.05:0.00\ts:Szeged; Alsóváros"));
                QCOMPARE(lines[10], std::string("s:012345675\ts:Zala Péter\td:1940.05.06:yyyy.mm.dd\tn:12:0\t"
                                                "n:1234.50:0.00\ts:Pécs"));
            } else {
                const std::vector<std::string> expected{
                    "bom\tyes",
                    "crlf\tyes",
                    "TAJ szám\tBeteg neve\tSzületési idő\tNapok\tDíj Ft\tTelepülés",
                    "100000001\tÖdön Éva\t1938.01.02\t0\t-0,05\tSzeged; Alsóváros",
                    "012345675\tZala Péter\t1940.05.06\t12\t1234,50\tPécs",
                };
                QCOMPARE(lines, expected);
            }
        }
    }

    void nothingSavedWithoutAPlaceToSave() {
        action("MentesExcel")->trigger();
        action("MentesCsv")->trigger();
        QVERIFY(saved().empty());
        QVERIFY(dialogs->texts(Kind::Information).empty());

        // A LISTA that cannot be written: the message, and no file.
        session->klista = lista() + "/nincs";
        const ui::GridSaving saving(*session, *dialogs);
        action("MentesExcel")->trigger();
        QCOMPARE(dialogs->errors().size(), size_t(1));
        QVERIFY(dialogs->errors()[0].find("nem írható") != std::string::npos);
        QVERIFY(saved().empty());
    }
};

VELMORA_UI_TEST(GridSaveTest);
#include "GridSaveTest.moc"
