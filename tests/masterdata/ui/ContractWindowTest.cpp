// The contract window on real fund tables: the periods from 1999.06.01 in
// the grid, the latest one selected, and the employees, areas and sites of
// the period selected when their panel is entered.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "masterdata/ui/ContractFrames.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/Tszerzmut.h"
#include "store/Schemas.h"
#include "support/ui/MenuOwner.h"
#include "widgets/BrowseModel.h"
#include "widgets/Navigator.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include <memory>

using namespace velmora;
using velmora::test::control;
using velmora::test::onNextModal;
using db::FieldDef;
using db::Value;

namespace {

using Row = std::vector<std::pair<const char*, Value>>;

db::Table& makeTable(db::Database& dbs, const store::schema::TableDef& def, const db::FieldList& fields,
                     const std::vector<Row>& rows) {
    db::Table& t = dbs.table(def.name, def.fileName);
    t.create(fields);
    t.open();
    for (const Row& row : rows) {
        t.append();
        for (const auto& [field, value] : row) t.setField(field, value);
        t.post();
    }
    for (const auto& tag : def.tags) t.addIndex(tag.tag, tag.expression, tag.unique);
    t.close();
    return t;
}

Row contract(const char* start, const Value& end, const char* number, const char* finkod, int days, int nurses) {
    return {{"INTKOD", "1234"},  {"SZSZAM", number}, {"FINKOD", finkod}, {"OSSZNAP", days},
            {"SZKEZD", start},   {"SZVEG", end},     {"NORMNAP", days - 20}, {"POTNAP", 20},
            {"ORVOS", 1},        {"SZAKAP", nurses}, {"OSSZD", nurses + 1}};
}

Row employee(int no, const char* name, const char* start, const Value& end) {
    return {{"SSORSZAM", no}, {"TAJ", "123456788"}, {"NEV", name}, {"KEZD", start}, {"VEG", end},
            {"SZHELY", "Pécs"}, {"SZIDO", "1970.05.04"}, {"ORASZ", 40}, {"OSSZO", 40}, {"FOGLMIN", "főállás"},
            {"MASFOGL", "I"}, {"MASHOL", "WÁMŰ Műhely és Társa"}};
}

db::FieldList employeeFields() {
    db::FieldList f = {FieldDef::character("TAJ", 9), FieldDef::character("NEV", 30), FieldDef::date("KEZD"),
                       FieldDef::date("VEG"), FieldDef::numeric("SSORSZAM", 5)};
    for (const char* n : {"ORASZ", "ORAK", "OSSZO", "HETIO"}) f.push_back(FieldDef::numeric(n, 4, 1));
    for (const char* n : {"FOGLMIN", "MASHOL", "SZAKA", "SZAKB", "SZAKC", "SZAKCB", "SZAKCR", "SZHELY"})
        f.push_back(FieldDef::character(n, 20));
    for (const char* n : {"MASFOGL", "TEVK", "TEVSZ"}) f.push_back(FieldDef::character(n, 2));
    f.push_back(FieldDef::date("SZIDO"));
    return f;
}

// Text of a value label of a frame.
QString shown(QWidget* frame, const char* field) {
    auto* label = frame->findChild<QLabel*>(field);
    return label ? label->text() : QString("<no %1>").arg(field);
}

// The values of one field over every row a panel can show, walked with its
// navigator from the first row.
QStringList walk(ui::RecordPanel* panel, const char* field) {
    ui::Navigator* nav = panel->navigator();
    if (nav->button(ui::Navigator::First)->isEnabled()) nav->button(ui::Navigator::First)->click();
    QStringList out{shown(panel, field)};
    while (nav->button(ui::Navigator::Next)->isEnabled()) {
        nav->button(ui::Navigator::Next)->click();
        out << shown(panel, field);
    }
    return out;
}

} // namespace

class ContractWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<test::ScriptedDialogs> dialogs;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MasterDataWindows> windows;
    std::vector<db::Table*> tables;

    db::Table& table(const store::schema::TableDef& def) { return dbs->table(def.name, def.fileName); }
    ui::Tszerzmut* window() const { return windows->szerzmut; }

    // Opens the window from the menu, runs `act` in it and closes it with
    // "Kilépés" unless `act` closed it.
    void openFromMenu(const std::function<void(ui::Tszerzmut*)>& act) {
        bool ran = false;
        onNextModal([&](QWidget* modal) {
            ran = true;
            QCOMPARE(modal, static_cast<QWidget*>(window()));
            QVERIFY(QTest::qWaitForWindowActive(modal));
            act(window());
            if (modal->isVisible()) control<QPushButton>(modal, "Kilepes")->click();
        });
        owner->menuItem("Szerzds1")->trigger();
        QVERIFY(ran);
        QVERIFY(!window()->isVisible());
    }

    // Gives a panel the focus the way a click on one of its values does.
    static void clickInto(QWidget* panel, const char* field) {
        QTest::mouseClick(panel->findChild<QLabel*>(field), Qt::LeftButton);
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        dbs = std::make_unique<db::Database>(data->path());
        using namespace store::schema;
        makeTable(*dbs, PART(), {FieldDef::character("INTKOD", 4), FieldDef::character("INTE", 40)},
                  {{{"INTKOD", "1234"}, {"INTE", "Példa Hospice Szolgálat"}}});
        // Stored out of order: the grid lists them by start date.
        makeTable(*dbs, HSZERZ(), HSZERZ().fields,
                  {contract("2016.01.01", Value(), "SZ-2016", "222222222", 850, 12),
                   contract("1998.01.01", "1999.05.31", "SZ-1998", "000000000", 300, 2),
                   contract("2010.01.01", "2015.12.31", "SZ-2010", "111111111", 600, 6)});
        makeTable(*dbs, HSZOLGSZ(), employeeFields(),
                  {employee(1, "Régi Anna", "2009.01.01", "2015.12.31"),
                   employee(2, "Nyitott Béla", "2012.01.01", Value()),
                   employee(3, "Hosszú Cecília", "2016.01.01", "3000.01.01"),
                   employee(4, "Rövid Dénes", "2016.01.01", "2020.12.31"),
                   employee(5, "Korai Edit", "2005.01.01", Value())});
        makeTable(*dbs, HTERULET(),
                  {FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30), FieldDef::date("KEZD"),
                   FieldDef::date("VEG"), FieldDef::numeric("TSORSZAM", 5), FieldDef::numeric("LETSZAM", 8)},
                  {{{"KOZIGKOD", "0100001"}, {"HELYNEV", "Budapest"}, {"KEZD", "2016.01.01"}, {"TSORSZAM", 1},
                    {"LETSZAM", 1700000}},
                   {{"KOZIGKOD", "0200002"}, {"HELYNEV", "Érd"}, {"KEZD", "2010.01.01"}, {"VEG", "2015.12.31"},
                    {"TSORSZAM", 1}, {"LETSZAM", 60000}}});
        makeTable(*dbs, HTHELY(),
                  {FieldDef::numeric("TSORSZAM", 5), FieldDef::character("KOZIGKOD", 7),
                   FieldDef::character("HELYNEV", 30), FieldDef::character("CIM", 40), FieldDef::date("KEZD"),
                   FieldDef::date("VEG"), FieldDef::numeric("NAP", 3)},
                  {{{"TSORSZAM", 1}, {"KOZIGKOD", "0100001"}, {"HELYNEV", "Budapest"}, {"CIM", "Fő utca 1."},
                    {"KEZD", "2016.01.01"}, {"NAP", 5}},
                   {{"TSORSZAM", 2}, {"KOZIGKOD", "0200002"}, {"HELYNEV", "Érd"}, {"CIM", "Kert utca 2."},
                    {"KEZD", "2010.01.01"}, {"VEG", "2015.12.31"}, {"NAP", 7}}});

        // The windows are made while the tables are closed, as at start-up.
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        dialogs = std::make_unique<test::ScriptedDialogs>();
        owner = std::make_unique<test::MenuOwner>();
        owner->move(40, 30);
        windows = std::make_unique<ui::MasterDataWindows>(*owner, *session, *dbs, *dialogs);
        owner->plug(windows->commands());
        tables.clear();
        for (const TableDef* def : {&PART(), &HSZERZ(), &HSZOLGSZ(), &HTERULET(), &HTHELY()}) {
            db::Table& t = table(*def);
            t.open();
            t.setActiveIndex(def->activeTag);
            t.first();
            tables.push_back(&t);
        }
    }
    void cleanup() {
        windows.reset();
        owner.reset();  // the window goes with the main window
        dialogs.reset();
        session.reset();
        clock.reset();
        dbs.reset();
        data.reset();
    }

    void latestOpenEndedContractIsShownWithItsOpenEndedRows() {
        openFromMenu([&](ui::Tszerzmut* w) {
            QCOMPARE(w->windowTitle(), QString("1234 Példa Hospice Szolgálat szerződéses adatai"));
            QCOMPARE(w->pos(), owner->frameGeometry().topLeft() + QPoint(10, 50));
            // Only the periods from 1999.06.01 on, the latest selected.
            QTableView* grid = w->szerzkep1->grid();
            QCOMPARE(grid->model()->rowCount(), 2);
            QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("2010.01.01"));
            QCOMPARE(grid->model()->index(1, 0).data().toString(), QString("2016.01.01"));
            QCOMPARE(grid->currentIndex().row(), 1);
            QCOMPARE(shown(w->szolgaltato, "SZKEZD"), QString("2016.01.01"));
            QCOMPARE(shown(w->szolgaltato, "SZVEG"), QString());
            QCOMPARE(shown(w->szolgaltato, "SZSZAM"), QString("SZ-2016"));
            QCOMPARE(shown(w->szolgaltato, "FINKOD"), QString("222222222"));
            QCOMPARE(shown(w->szolgaltato, "OSSZNAP"), QString("850"));
            QCOMPARE(shown(w->szolgaltato, "SZAKAP"), QString("12"));
            // Open-ended, or lasting beyond 2999.12.01; in start-date order.
            QCOMPARE(walk(w->Dolgkep1, "NEV"), (QStringList{"Korai Edit", "Nyitott Béla", "Hosszú Cecília"}));
            QCOMPARE(walk(w->terulkep1, "HELYNEV"), QStringList{"Budapest"});
            QCOMPARE(walk(w->thelykep1, "CIM"), QStringList{"Fő utca 1."});
        });
    }

    void valuesAreBoldAndNumbersRightAligned() {
        openFromMenu([&](ui::Tszerzmut* w) {
            auto* nev = control<QLabel>(w->Dolgkep1, "NEV");
            auto* orasz = control<QLabel>(w->Dolgkep1, "ORASZ");
            auto* napszam = control<QLabel>(w->szolgaltato, "OSSZNAP");
            QVERIFY(nev->font().bold() && orasz->font().bold() && napszam->font().bold());
            QVERIFY(nev->alignment() & Qt::AlignLeft);
            QVERIFY(orasz->alignment() & Qt::AlignRight);
            QVERIFY(napszam->alignment() & Qt::AlignRight);
            QCOMPARE(orasz->text(), QString("40.0"));
            const QAbstractItemModel* grid = w->szerzkep1->grid()->model();
            QCOMPARE(grid->headerData(3, Qt::Horizontal).toString(), QString("Nap szám"));
            QVERIFY(grid->index(0, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
            QVERIFY(grid->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
        });
    }

    // A value of wide letters shows whole ("hol:" of the employee panel),
    // inside the window.
    void wideValuesAreNotCut() {
        openFromMenu([&](ui::Tszerzmut* w) {
            auto* hol = control<QLabel>(w->Dolgkep1, "MASHOL");
            QCOMPARE(hol->text(), QString::fromUtf8("WÁMŰ Műhely és Társa"));
            QApplication::processEvents();
            QVERIFY2(hol->contentsRect().width() >= hol->fontMetrics().horizontalAdvance(hol->text()),
                     qPrintable(QString("%1 < %2").arg(hol->contentsRect().width())
                                    .arg(hol->fontMetrics().horizontalAdvance(hol->text()))));
            const QRect inWindow(hol->mapTo(w, QPoint(0, 0)), hol->size());
            QVERIFY(w->rect().contains(inWindow));
        });
    }

    void enteringAPanelShowsThePeriodSelectedInTheGrid() {
        openFromMenu([&](ui::Tszerzmut* w) {
            db::Table& hszolgsz = table(store::schema::HSZOLGSZ());
            hszolgsz.next();
            QCOMPARE(shown(w->Dolgkep1, "NEV"), QString("Nyitott Béla"));
            // The older period, picked in the grid.
            QTableView* grid = w->szerzkep1->grid();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
            QCOMPARE(table(store::schema::HSZERZ()).text("SZSZAM"), std::string("SZ-2010"));
            QCOMPARE(shown(w->szolgaltato, "SZVEG"), QString("2015.12.31"));
            // The panels keep the latest period's rows until they are entered.
            QCOMPARE(shown(w->Dolgkep1, "NEV"), QString("Nyitott Béla"));
            clickInto(w->Dolgkep1, "TAJ");
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Dolgkep1));
            QCOMPARE(shown(w->Dolgkep1, "NEV"), QString("Korai Edit"));  // back on the first row
            QTest::keyClick(w->Dolgkep1, Qt::Key_Down);
            QCOMPARE(shown(w->Dolgkep1, "NEV"), QString("Régi Anna"));
            QCOMPARE(walk(w->Dolgkep1, "NEV"), (QStringList{"Korai Edit", "Régi Anna"}));
            QCOMPARE(shown(w->terulkep1, "HELYNEV"), QString("Budapest"));
            clickInto(w->terulkep1, "LETSZAM");
            QCOMPARE(walk(w->terulkep1, "HELYNEV"), QStringList{"Érd"});
            // Tab from the area panel enters the site panel.
            QTest::keyClick(w->terulkep1, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->thelykep1));
            QCOMPARE(walk(w->thelykep1, "CIM"), QStringList{"Kert utca 2."});
            // Back to the latest period: the next entry follows it.
            grid->setFocus();
            table(store::schema::HSZERZ()).last();
            clickInto(w->Dolgkep1, "NEV");
            QCOMPARE(walk(w->Dolgkep1, "NEV"), (QStringList{"Korai Edit", "Nyitott Béla", "Hosszú Cecília"}));
        });
    }

    void noContractFromJune1999LeavesThePanelsEmpty() {
        table(store::schema::HSZERZ()).empty();
        openFromMenu([&](ui::Tszerzmut* w) {
            QCOMPARE(w->szerzkep1->grid()->model()->rowCount(), 0);
            QCOMPARE(shown(w->szolgaltato, "SZKEZD"), QString());
            QCOMPARE(walk(w->Dolgkep1, "NEV"), QStringList{""});
            clickInto(w->terulkep1, "HELYNEV");
            QCOMPARE(walk(w->terulkep1, "HELYNEV"), QStringList{""});
        });
        QVERIFY(dialogs->log().empty());
    }

    void closingRemovesTheFilters_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Kilépés") << "button";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("window closed") << "close";
    }
    void closingRemovesTheFilters() {
        QFETCH(QString, how);
        openFromMenu([&](ui::Tszerzmut* w) {
            for (db::Table* t : tables)
                if (t->name() != "PART") QVERIFY2(t->filtered(), t->name().c_str());
            if (how == "button") QTest::mouseClick(w->Kilepes, Qt::LeftButton);
            if (how == "escape") QTest::keyClick(w, Qt::Key_Escape);
            if (how == "close") w->close();
        });
        for (db::Table* t : tables) QVERIFY2(!t->filtered(), t->name().c_str());
        QCOMPARE(table(store::schema::HSZERZ()).recordCount(), 3);
        QCOMPARE(table(store::schema::HSZOLGSZ()).recordCount(), 5);
        QVERIFY(dialogs->log().empty());
    }

    void controlsCarryTheirNamesAndTexts() {
        ui::Tszerzmut* w = window();
        QCOMPARE(w->windowTitle(), QString("Szerződéses adatok megmutatása"));
        QCOMPARE(w->szerzkep1->objectName(), QString("szerzkep1"));
        QCOMPARE(w->Dolgkep1->objectName(), QString("Dolgkep1"));
        QCOMPARE(w->terulkep1->objectName(), QString("terulkep1"));
        QCOMPARE(w->thelykep1->objectName(), QString("thelykep1"));
        QCOMPARE(w->szolgaltato->title(), QString("A szolgáltató adatai"));
        QCOMPARE(w->Dolgkep1->title(), QString("Dolgozók adatai"));
        QCOMPARE(w->Dolgkep1->toolTip(), QString("Az ajtuális szerződés dolgozói adatai"));
        QCOMPARE(w->terulkep1->title(), QString("Területi ellátási adatok"));
        QCOMPARE(w->terulkep1->toolTip(), QString("A területi ellátás megmutatása"));
        QCOMPARE(w->thelykep1->title(), QString("Telephely adatai"));
        QCOMPARE(w->Kilepes->text(), QString("Kilépés"));
        QCOMPARE(w->Kilepes->statusTip(), QString("Visszalépés a főmenübe"));
        QStringList titles;
        const QAbstractItemModel* m = w->szerzkep1->grid()->model();
        for (int c = 0; c < m->columnCount(); ++c) titles << m->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{"Szerz.kezd", "Szerz.veg", "FIN kód", "Nap szám", "Normatív nap", "Pót nap",
                                      "Orvos", "Gyógytornász", "Dipl. ápoló", "Dietetikus", "Pszichológus",
                                      "Mentálhigienes", "Szoc.munkás", "Hospice ápoló", "Szakápoló",
                                      "Fizióther.assz.", "Össz.dolgozó"}));
        QStringList captions;
        for (auto* label : w->szolgaltato->findChildren<QLabel*>())
            if (label->objectName().isEmpty()) captions << label->text();
        for (const char* c : {"Szerződés kezdete", "vége", "Szerződésszám", "Finanszírozási kód", "Normatív napszám",
                              "Pót napszám", "Havi napszám", "Mentálhigienes szakember", "Fizioterápiás asszisztens",
                              "Összes dolgozó"})
            QVERIFY2(captions.contains(QString::fromUtf8(c)), c);
    }
};

VELMORA_UI_TEST(ContractWindowTest);
#include "ContractWindowTest.moc"
