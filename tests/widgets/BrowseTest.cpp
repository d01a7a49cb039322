// The browse grid and its model on a real patient table with name and TAJ
// indexes.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "widgets/Browse.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QTableView>

#include <memory>

using namespace velmora;

class BrowseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    db::Table* beteg = nullptr;

    static std::vector<ui::BrowseColumn> columns() {
        return {{"TAJ", "TAJ szám", 60, "Beteg1"}, {"NEV", "Beteg neve", 114, "Beteg2"}, {"NEME", "Neme", 35, ""}};
    }
    void add(const char* taj, const char* name, const char* sex = "F") {
        beteg->append();
        beteg->setField("TAJ", db::Value(taj));
        beteg->setField("NEV", db::Value(name));
        beteg->setField("NEME", db::Value(sex));
        beteg->post();
    }
    static QStringList column(const QAbstractItemModel& m, int c) {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r) out << m.data(m.index(r, c)).toString();
        return out;
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        dbs = std::make_unique<db::Database>(data->path());
        beteg = &dbs->table("BETEG", "Beteg.dbf");
        beteg->create({db::FieldDef::character("TAJ", 9), db::FieldDef::character("NEV", 30),
                       db::FieldDef::character("NEME", 1)});
        beteg->open();
        beteg->addIndex("Beteg1", "TAJ");
        beteg->addIndex("Beteg2", "NEV");
        // Physical order, TAJ order and name order all differ.
        add("300000003", "Zala Péter");
        add("100000001", "Ödön Éva", "N");
        add("500000005", "Ábrahám Ilona", "N");
        add("200000002", "Ozsvár Gábor");
        add("400000004", "Baka Lajos");
        beteg->setActiveIndex("Beteg2");
        beteg->first();
    }
    void cleanup() {
        beteg = nullptr;
        dbs.reset();
        data.reset();
    }

    void rowsFollowTheActiveIndex() {
        ui::BrowseModel m(*beteg, columns());
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(m.headerData(1, Qt::Horizontal).toString(), QString("Beteg neve"));
        // Hungarian order: Á with A, Ö after O; a byte order would put them last.
        QCOMPARE(column(m, 1), (QStringList{"Ábrahám Ilona", "Baka Lajos", "Ozsvár Gábor", "Ödön Éva", "Zala Péter"}));
        beteg->setActiveIndex("Beteg1");
        QCOMPARE(column(m, 0), (QStringList{"100000001", "200000002", "300000003", "400000004", "500000005"}));
        beteg->setActiveIndex("");
        QCOMPARE(column(m, 0), (QStringList{"300000003", "100000001", "500000005", "200000002", "400000004"}));
        beteg->setFilter("NEME = 'N'");
        QCOMPARE(column(m, 1), (QStringList{"Ödön Éva", "Ábrahám Ilona"}));
    }

    void readingRowsLeavesTheCursor() {
        ui::BrowseModel m(*beteg, columns());
        beteg->moveTo(2);
        const int recno = beteg->recNo();
        int moves = 0;
        const int id = beteg->subscribe([&](db::TableEvent e) { moves += e == db::TableEvent::CursorMoved; });
        for (int r = -1; r <= m.rowCount(); ++r)
            for (int c = 0; c < m.columnCount(); ++c) m.data(m.index(r, c));
        beteg->unsubscribe(id);
        QCOMPARE(moves, 0);
        QCOMPARE(beteg->position(), 2);
        QCOMPARE(beteg->recNo(), recno);
        QCOMPARE(beteg->text("NEV"), std::string("Ozsvár Gábor"));
    }

    void changesThroughTheTableShow_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("append") << "append"
                                << QStringList{"Ábrahám Ilona", "Baka Lajos", "Cseh Anna", "Ozsvár Gábor", "Ödön Éva", "Zala Péter"};
        QTest::newRow("edit reorders") << "edit"
                                       << QStringList{"Ábrahám Ilona", "Baka Lajos", "Ödön Éva", "Zala Péter", "Zsoldos Gábor"};
        QTest::newRow("delete current") << "delete"
                                        << QStringList{"Ábrahám Ilona", "Baka Lajos", "Ödön Éva", "Zala Péter"};
        QTest::newRow("record-level delete and pack") << "pack"
                                                      << QStringList{"Ábrahám Ilona", "Ozsvár Gábor", "Ödön Éva", "Zala Péter"};
        QTest::newRow("empty") << "empty" << QStringList{};
        QTest::newRow("close") << "close" << QStringList{};
        QTest::newRow("close and open") << "reopen"
                                        << QStringList{"Ábrahám Ilona", "Baka Lajos", "Ozsvár Gábor", "Ödön Éva", "Zala Péter"};
    }
    // Rows changed one by one under a hold are read again once, when the
    // last hold goes; each row keeps the background its content gives it.
    void aHoldRedrawsOnceAndRowsKeepTheirColour() {
        ui::BrowseModel m(*beteg, columns());
        m.setRowColour([this](int row) {
            return beteg->valueAtPosition(row, "NEME").asString() == "N" ? QColor(Qt::red) : QColor();
        });
        int resets = 0;
        connect(&m, &QAbstractItemModel::modelReset, [&] { ++resets; });
        {
            const ui::BrowseModel::Hold outer(m);
            {
                const ui::BrowseModel::Hold inner(m);
                for (int row : {0, 1, 2}) {
                    beteg->moveTo(row);
                    beteg->edit();
                    beteg->setField("NEME", db::Value("N"));
                    beteg->post();
                }
            }
            QCOMPARE(resets, 0);
        }
        QCOMPARE(resets, 1);
        QStringList painted;
        for (int r = 0; r < m.rowCount(); ++r)
            painted << (m.data(m.index(r, 0), Qt::BackgroundRole).isValid() ? "red" : "");
        QCOMPARE(painted, (QStringList{"red", "red", "red", "red", ""}));  // Zala Péter is still "F"
        { const ui::BrowseModel::Hold unchanged(m); }
        QCOMPARE(resets, 1);
    }

    void changesThroughTheTableShow() {
        QFETCH(QString, change);
        QFETCH(QStringList, names);
        ui::BrowseModel m(*beteg, columns());
        QCOMPARE(m.rowCount(), 5);
        int resets = 0;
        connect(&m, &QAbstractItemModel::modelReset, [&] { ++resets; });
        beteg->moveTo(2);  // Ozsvár Gábor
        if (change == "append") add("600000006", "Cseh Anna");
        if (change == "edit") {
            beteg->edit();
            beteg->setField("NEV", db::Value("Zsoldos Gábor"));
            beteg->post();
        }
        if (change == "delete") beteg->deleteCurrent();
        if (change == "pack") {
            beteg->deleteAt(4);  // Baka Lajos
            beteg->pack();
        }
        if (change == "empty") beteg->empty();
        if (change == "close" || change == "reopen") beteg->close();
        if (change == "reopen") beteg->open();
        QVERIFY(resets > 0);
        QCOMPARE(m.rowCount(), names.size());
        QCOMPARE(column(m, 1), names);
    }

    void selectingARowMovesTheCursor() {
        ui::Browse b(*beteg, columns());
        b.show();
        QCOMPARE(b.grid()->currentIndex().row(), 0);
        QCOMPARE(b.grid()->columnWidth(1), 114);
        b.grid()->selectRow(3);
        QCOMPARE(beteg->position(), 3);
        QCOMPARE(beteg->text("NEV"), std::string("Ödön Éva"));
        // A move made elsewhere moves the selection.
        beteg->last();
        QCOMPARE(b.grid()->currentIndex().row(), 4);
        QCOMPARE(b.grid()->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(b.grid()->selectionModel()->selectedRows().front().row(), 4);
        // A change of the rows keeps the selection on the table's row.
        beteg->moveTo(1);
        add("600000006", "Aba Ede");
        QCOMPARE(b.grid()->currentIndex().row(), beteg->position());
        QCOMPARE(b.model()->data(b.grid()->currentIndex().siblingAtColumn(1)).toString(), QString("Aba Ede"));
        // A click on a row with the mouse.
        const QRect cell = b.grid()->visualRect(b.model()->index(2, 1));
        QTest::mouseClick(b.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(beteg->position(), 2);
    }

    void titleClickChangesTheOrder() {
        ui::Browse b(*beteg, columns());
        b.show();
        b.titleClicked(0);
        auto colour = [&](int c) { return b.model()->headerData(c, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(); };
        QCOMPARE(colour(0), QColor(Qt::red));
        QCOMPARE(colour(1), QColor(Qt::black));
        beteg->moveTo(3);
        // A real click on the name title.
        const QHeaderView* header = b.grid()->horizontalHeader();
        const QPoint title(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(b.grid()->horizontalHeader()->viewport(), Qt::LeftButton, {}, title);
        QCOMPARE(b.activeColumn(), 1);
        QCOMPARE(beteg->activeIndex(), std::string("Beteg2"));
        QCOMPARE(beteg->position(), 0);
        QCOMPARE(b.grid()->currentIndex().row(), 0);
        QCOMPARE(colour(0), QColor(Qt::black));
        QCOMPARE(colour(1), QColor(Qt::red));
        QCOMPARE(column(*b.model(), 1).front(), QString("Ábrahám Ilona"));
        // A column without an index: active and red, the order stays.
        beteg->moveTo(2);
        b.titleClicked(2);
        QCOMPARE(b.activeColumn(), 2);
        QCOMPARE(colour(2), QColor(Qt::red));
        QCOMPARE(colour(1), QColor(Qt::black));
        QCOMPARE(beteg->activeIndex(), std::string("Beteg2"));
        QCOMPARE(beteg->position(), 0);
    }

    // The title that was red turns black on the screen as soon as another
    // column is clicked, not when the mouse next passes over it: what the
    // window shows (its backing store), not a fresh drawing of it.
    void theOldRedTitleTurnsBlackAtOnce() {
        ui::Browse b(*beteg, columns());
        b.resize(400, 300);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QHeaderView* header = b.grid()->horizontalHeader();
        auto clickTitle = [&](int c) {
            const QPoint at(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2);
            QTest::mouseMove(header->viewport(), at);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
            QApplication::processEvents();
        };
        auto redOnScreen = [&](int c) {
            const QImage shown = b.windowHandle()->screen()->grabWindow(b.winId()).toImage();
            const QPoint origin = header->viewport()->mapTo(&b, QPoint(header->sectionViewportPosition(c), 0));
            int red = 0;
            for (int y = origin.y(); y < origin.y() + header->height(); ++y)
                for (int x = origin.x(); x < origin.x() + header->sectionSize(c); ++x) {
                    const QColor p = shown.pixelColor(x, y);
                    if (p.red() > 180 && p.green() < 90 && p.blue() < 90) ++red;
                }
            return red;
        };
        clickTitle(0);
        QVERIFY(redOnScreen(0) > 0);
        clickTitle(2);  // the mouse stays on the new title
        QVERIFY(redOnScreen(2) > 0);
        QCOMPARE(redOnScreen(0), 0);
    }

    void typingSearchesTheActiveColumn() {
        add("600000006", "Kovacs Zoltán");
        add("700000007", "kovács Anna");
        ui::Browse b(*beteg, columns());
        b.show();
        b.titleClicked(1);
        auto* label = b.findChild<QLabel*>("Label1");
        auto* shown = b.findChild<QLabel*>("szoveg");
        QVERIFY(label && shown);
        QCOMPARE(label->text(), QString("Keresett szöveg:"));
        QVERIFY(shown->font().bold());
        QCOMPARE(shown->palette().color(shown->foregroundRole()), QColor(Qt::red));
        QTest::keyClicks(b.grid(), "kov");
        QCOMPARE(shown->text(), QString("KOV"));
        // Hungarian name order puts kovács Anna before Kovacs Zoltán.
        QCOMPARE(beteg->text("NEV"), std::string("kovács Anna"));
        QCOMPARE(b.grid()->currentIndex().row(), beteg->position());
        // Backspace runs on key down and again on key up.
        QTest::keyClick(b.grid(), Qt::Key_Backspace);
        QCOMPARE(shown->text(), QString("K"));
        // Enter clears and leaves the cursor.
        QTest::keyClick(b.grid(), Qt::Key_Return);
        QCOMPARE(shown->text(), QString());
        QCOMPARE(beteg->text("NEV"), std::string("kovács Anna"));
        // A title click clears the text.
        QTest::keyClicks(b.grid(), "o");
        QCOMPARE(shown->text(), QString("O"));
        b.titleClicked(0);
        QCOMPARE(shown->text(), QString());
    }
};

VELMORA_UI_TEST(BrowseTest);

#include "BrowseTest.moc"
