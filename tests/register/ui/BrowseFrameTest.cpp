// The browse frame in a window: entering and leaving it by the focus, the
// stored position with the sheet grid's year rule, and the sheet grid's own
// title and space rules.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "db/FieldDef.h"
#include "register/ui/SheetFrame.h"
#include "sheets/SheetTables.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"

#include <QBrush>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

using namespace velmora;

class BrowseFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    db::Table* hlapa = nullptr;
    std::string period = "2024.03";

    db::Table& made(const store::schema::TableDef& def) {
        db::Table& t = store::tableOf(*dbs, def);
        store::createIfMissing(t, def);
        store::restoreIndex(t, def, def.activeTag);
        return t;
    }
    void sheet(const char* sorsz, const char* taj, int days) {
        hlapa->append();
        hlapa->setField("SORSZ", db::Value(sorsz));
        hlapa->setField("TAJ", db::Value(taj));
        hlapa->setField("IDOSZAK", db::Value(period));
        hlapa->setField("SZNAP", db::Value(db::Decimal::fromInt(days)));
        hlapa->post();
    }
    // A window with the sheet frame and one other control to move to.
    struct Host {
        QWidget window;
        ui::BrowseFrame* frame;
        QLineEdit* other;
    };
    std::unique_ptr<Host> host() {
        auto h = std::make_unique<Host>();
        h->frame = new ui::BrowseFrame(ui::TLapkep(), *hlapa, &h->window, [this] { return period; });
        h->other = new QLineEdit(&h->window);
        auto* layout = new QVBoxLayout(&h->window);
        layout->addWidget(h->frame);
        layout->addWidget(h->other);
        h->window.show();
        h->window.activateWindow();
        if (!QTest::qWaitForWindowActive(&h->window)) QTest::qFail("window not active", __FILE__, __LINE__);
        return h;
    }
    static QColor title(ui::BrowseFrame* f, int c) {
        return f->browse()->model()->headerData(c, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color();
    }
    std::string sorsz() const { return hlapa->text("SORSZ"); }
    // Index names are matched without regard to case.
    std::string index() const { return db::upperAscii(hlapa->activeIndex()); }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        dbs = std::make_unique<db::Database>(data->path());
        made(store::schema::BETEG());
        hlapa = &made(store::schema::HLAPA());
        sheets::addPatientNameLookup(*dbs);
        period = "2024.03";
        sheet("00003", "111111111", 5);
        sheet("00001", "333333333", 9);
        sheet("00002", "222222222", 7);
    }
    void cleanup() {
        hlapa = nullptr;
        dbs.reset();
        data.reset();
    }

    void sheetGridComesBackWithinTheYear() {
        auto h = host();
        h->frame->grid()->setFocus();
        QCOMPARE(index(), std::string("LAP1"));
        QCOMPARE(sorsz(), std::string("00001"));
        // The user orders by TAJ, picks sheet 00003 and leaves the grid.
        h->frame->browse()->titleClicked(2);
        QVERIFY(hlapa->locate("SORSZ", db::Value("00003")));
        h->other->setFocus();
        QCOMPARE(h->frame->stored().period, std::string("2024.03"));
        hlapa->setActiveIndex("LAP1");
        hlapa->first();

        period = "2024.05";
        h->frame->grid()->setFocus();
        QCOMPARE(index(), std::string("LAP2"));
        QCOMPARE(sorsz(), std::string("00003"));
        QCOMPARE(h->frame->browse()->activeColumn(), 2);
        QCOMPARE(title(h->frame, 2), QColor(Qt::red));

        h->other->setFocus();
        period = "2025.01";
        h->frame->grid()->setFocus();
        QCOMPARE(index(), std::string("LAP1"));
        QCOMPARE(sorsz(), std::string("00001"));
        QCOMPARE(h->frame->browse()->activeColumn(), 0);
    }

    void closingTheWindowStoresThePosition() {
        auto h = host();
        h->frame->grid()->setFocus();
        QVERIFY(hlapa->locate("SORSZ", db::Value("00002")));
        h->window.hide();
        hlapa->first();
        h->window.show();
        QApplication::setActiveWindow(&h->window);
        QVERIFY(QTest::qWaitForWindowActive(&h->window));
        h->other->setFocus();
        h->frame->grid()->setFocus();
        QCOMPARE(sorsz(), std::string("00002"));
    }

    void sheetGridTitlesAndSpace() {
        auto h = host();
        QTableView* grid = h->frame->grid();
        grid->setFocus();
        hlapa->moveTo(2);
        // "Napszám": active, but no title red and the order kept.
        h->frame->browse()->titleClicked(5);
        QCOMPARE(h->frame->browse()->activeColumn(), 5);
        for (int c = 0; c < 10; ++c) QVERIFY(title(h->frame, c) != QColor(Qt::red));
        QCOMPARE(index(), std::string("LAP1"));
        QCOMPARE(hlapa->position(), 0);

        // Sheet numbers are searched up to their five characters; a space
        // clears what was typed.
        h->frame->browse()->titleClicked(0);
        auto* shown = h->frame->findChild<QLabel*>("szoveg");
        QTest::keyClicks(grid, "0000");
        QCOMPARE(shown->text(), QString("0000"));
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(shown->text(), QString(""));
        QTest::keyClicks(grid, "000023");
        QCOMPARE(shown->text(), QString("00002"));
        QCOMPARE(sorsz(), std::string("00002"));
        // Backspace runs on key down only here: one character.
        QTest::keyClick(grid, Qt::Key_Backspace);
        QCOMPARE(shown->text(), QString("0000"));
        // The looked-up name column shows through the frame.
        QCOMPARE(h->frame->browse()->model()->headerData(3, Qt::Horizontal).toString(), QString("Beteg neve"));
    }
};

VELMORA_UI_TEST(BrowseFrameTest);
#include "BrowseFrameTest.moc"
