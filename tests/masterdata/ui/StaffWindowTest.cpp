// The doctor and nurse windows on real ORVOS, APOL, HLAPA and HLAPB tables
// made by the start-up's table steps: the edit windows opened from the
// menu, the choose windows as the sheet entry opens them.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/StaffChooseWindow.h"
#include "masterdata/ui/StaffWindow.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"
#include "support/ui/MenuOwner.h"
#include "widgets/BrowseFrame.h"
#include "widgets/Navigator.h"
#include "widgets/Placement.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <memory>

using namespace velmora;
using velmora::test::control;
using velmora::test::onNextModal;
using velmora::test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;
using Strings = std::vector<std::string>;

class StaffWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MasterDataWindows> windows;

    db::Table& table(const store::schema::TableDef& def) { return store::tableOf(*dbs, def); }
    void add(const store::schema::TableDef& def, const std::vector<std::pair<std::string, std::string>>& values) {
        db::Table& t = table(def);
        t.append();
        for (const auto& [field, value] : values) t.setField(field, db::Value(value));
        t.post();
    }
    // The codes of the live rows, in physical order.
    static Strings codes(const db::Table& t, const char* field) {
        Strings out;
        const int f = t.fieldIndex(field);
        for (uint32_t r = 0; r < t.physicalCount(); ++r)
            if (!t.isDeletedAt(r)) out.push_back(t.valueAt(r, f).asString());
        return out;
    }

    // Opens the edit window by its menu command and runs `act` in it.
    void inEditWindow(const char* menuItem, const std::function<void(ui::StaffWindow&)>& act) {
        bool ran = false;
        onNextModal([&](QWidget* w) {
            auto* window = qobject_cast<ui::StaffWindow*>(w);
            QVERIFY(window);
            QVERIFY(QTest::qWaitForWindowActive(window));
            act(*window);
            ran = true;
            // An edit left open keeps "Kilépés" and so Escape off.
            window->done(QDialog::Rejected);
        });
        owner->menuItem(menuItem)->trigger();
        QVERIFY(ran);
    }
    // Runs a choose window as its caller does, with `act` inside it.
    static void inChooseWindow(ui::ChooseWindow& window, const std::function<void(ui::ChooseWindow&)>& act) {
        bool ran = false;
        onNextModal([&](QWidget* w) {
            QCOMPARE(w, &window);
            QVERIFY(QTest::qWaitForWindowActive(w));
            act(window);
            ran = true;
        });
        window.exec();
        QVERIFY(ran);
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    // Puts the shared table on the row with that code.
    static void select(ui::StaffWindow& w, const char* code) {
        QVERIFY(w.frame()->table().locate(w.setup().reg().codeField, db::Value(code)));
    }
    static bool browsingOn(ui::StaffWindow& w) {
        bool on = w.frame()->grid()->isEnabled() && w.frame()->navigator()->isEnabled();
        for (const char* b : {"kilep", "uj", "modos", "torol"}) on = on && control<QPushButton>(&w, b)->isEnabled();
        return on;
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        session->dataDir = data->path();
        dialogs = std::make_unique<ScriptedDialogs>();
        dbs = std::make_unique<db::Database>(data->path());
        store::Crtorvos(*dbs, *dialogs);
        store::Crtapol(*dbs, *dialogs);
        store::Crtlapa(*dbs, *dialogs);
        store::Crtlapb(*dbs, *dialogs);
        using namespace store::schema;
        add(ORVOS(), {{"Orvoskod", "111111"}, {"Onev", "Dr. Kovács Anna"}});
        add(ORVOS(), {{"Orvoskod", "222222"}, {"Onev", "Dr. Nagy Béla"}});
        add(ORVOS(), {{"Orvoskod", "333333"}, {"Onev", "Dr. Szabó Éva"}});
        add(APOL(), {{"Aptaj", "111111110"}, {"Anev", "Kiss Ilona"}});
        add(APOL(), {{"Aptaj", "222222220"}, {"Anev", "Nagy Piroska"}});
        add(APOL(), {{"Aptaj", "100000003"}, {"Anev", "Tóth Mária"}});
        // 222222 only proposes the care of one sheet; 111111110 stands on
        // the sheet header, 222222220 only made a visit.
        add(HLAPA(), {{"Idoszak", "2024.05"}, {"Sorsz", "1"}, {"Orvkode", "111111"}, {"Orvkodj", "222222"},
                      {"Aptaj5", "111111110"}});
        add(HLAPB(), {{"Idoszak", "2024.05"}, {"Sorsz", "1"}, {"Apbtaj17", "222222220"}});
        dialogs->clearLog();
        owner = std::make_unique<test::MenuOwner>();
        windows = std::make_unique<ui::MasterDataWindows>(*owner, *session, *dbs, *dialogs);
        owner->plug(windows->commands());
    }
    void cleanup() {
        windows.reset();
        owner.reset();
        dbs.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
        data.reset();
    }

    void theTwoEditWindows_data() {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("codeName");
        QTest::addColumn<QString>("nameName");
        QTest::addColumn<int>("codeLength");
        QTest::addColumn<QString>("codeHint");
        QTest::addColumn<QString>("nameHint");
        QTest::addColumn<QString>("frameName");
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<int>("expanded");
        QTest::addColumn<int>("collapsed");
        QTest::newRow("doctors") << "Orvosok1" << "TOrvosfel" << "Orvosok megjelenítése" << "Új orvos rögzítése"
                                 << "Orvos pecsétszáma és neve" << "OP" << "Onev" << 6 << "Az orvos pecsétszáma"
                                 << "Az orvos neve" << "Orvoskep1" << "DBGOrvos" << 300 << 227;
        QTest::newRow("nurses") << "Szakpolk1" << "TApolfel" << "Szakápolók megjelenítése" << "Új szakápoló rögzítése"
                                << "Szakápoló TAJ száma és neve" << "Etaj" << "Enev" << 9 << "Az ápoló TAJ-száma"
                                << "Az ápoló neve" << "Apolkep1" << "DBGApol" << 298 << 225;
    }
    void theTwoEditWindows() {
        QFETCH(QString, menuItem);
        QFETCH(QString, objectName);
        QFETCH(QString, caption);
        QFETCH(QString, status);
        QFETCH(QString, label);
        QFETCH(QString, codeName);
        QFETCH(QString, nameName);
        QFETCH(int, codeLength);
        QFETCH(QString, codeHint);
        QFETCH(QString, nameHint);
        QFETCH(QString, frameName);
        QFETCH(QString, gridName);
        QFETCH(int, expanded);
        QFETCH(int, collapsed);
        QVERIFY(owner->menuItem(menuItem)->isEnabled());
        inEditWindow(menuItem.toLatin1().constData(), [&](ui::StaffWindow& w) {
            QCOMPARE(w.objectName(), objectName);
            QCOMPARE(QString(w.metaObject()->className()), "velmora::ui::" + objectName);
            QCOMPARE(w.windowTitle(), caption);
            QCOMPARE(QString::fromStdString(dialogs->statusText(0)), status);
            QCOMPARE(w.expandedHeight(), expanded);
            QCOMPARE(w.collapsedHeight(), collapsed);
            QCOMPARE(w.frame()->objectName(), frameName);
            QCOMPARE(w.frame()->grid()->objectName(), gridName);
            QCOMPARE(focused(), w.frame()->grid());
            // The longest code shows whole in the grid.
            const QTableView* grid = w.frame()->grid();
            QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance(QString(codeLength, '0')));
            QCOMPARE(w.pos(), owner->frameGeometry().topLeft() + QPoint(10, 50));
            QWidget* panel = control<QWidget>(&w, "Panel1");
            QVERIFY(!panel->isVisible());
            QCOMPARE(panel->findChild<QLabel*>()->text(), label);
            auto* code = control<QLineEdit>(&w, codeName.toLatin1().constData());
            auto* name = control<QLineEdit>(&w, nameName.toLatin1().constData());
            QCOMPARE(code->maxLength(), codeLength);
            QCOMPARE(name->maxLength(), 25);
            QCOMPARE(code->toolTip(), codeHint);
            QCOMPARE(name->toolTip(), nameHint);
            const int shut = w.height();
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            QVERIFY(panel->isVisible());
            QVERIFY(w.height() > shut);
            QVERIFY(!browsingOn(w));
            QCOMPARE(control<QPushButton>(panel, "BB1")->text(), QString("Kész"));
            QCOMPARE(control<QPushButton>(panel, "BB2")->text(), QString("Mégse"));
            QTest::mouseClick(control<QPushButton>(panel, "BB2"), Qt::LeftButton);
            QVERIFY(!panel->isVisible());
            QCOMPARE(w.height(), shut);
            QVERIFY(browsingOn(w));
            QCOMPARE(focused(), w.frame()->grid());
        });
        QCOMPARE(dialogs->log().size(), size_t(1));  // the status text only
    }

    void aNewDoctorIsSaved() {
        inEditWindow("Orvosok1", [&](ui::StaffWindow& w) {
            auto* OP = control<QLineEdit>(&w, "OP");
            auto* Onev = control<QLineEdit>(&w, "Onev");
            // A modify left its texts behind; a new entry starts empty.
            select(w, "333333");
            QTest::mouseClick(control<QPushButton>(&w, "modos"), Qt::LeftButton);
            QCOMPARE(OP->text(), QString("333333"));
            QTest::mouseClick(control<QPushButton>(&w, "BB2"), Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            QCOMPARE(w.mode(), masterdata::EditMode::New);
            QCOMPARE(focused(), OP);
            QVERIFY(!OP->isReadOnly());
            QCOMPARE(OP->text(), QString());
            QCOMPARE(Onev->text(), QString());
            test::typeText(OP, "4444449");  // the seventh digit does not fit
            QTest::keyClick(OP, Qt::Key_Return);
            QCOMPARE(focused(), Onev);
            test::typeText(Onev, "Dr. Új Ödön");
            dialogs->answerYes();
            QTest::keyClick(Onev, Qt::Key_Return);
            QVERIFY(!w.editPanel()->isVisible());
            QVERIFY(browsingOn(w));
            QCOMPARE(focused(), w.frame()->grid());
        });
        QCOMPARE(dialogs->texts(Kind::Question), Strings{"Elmenti az orvos adatait ?"});
        const db::Table& orvos = table(store::schema::ORVOS());
        QCOMPARE(codes(orvos, "Orvoskod"), (Strings{"111111", "222222", "333333", "444444"}));
        QCOMPARE(orvos.valueAt(3, orvos.fieldIndex("Onev")).asString(), std::string("Dr. Új Ödön"));
    }

    // A saved doctor or nurse is the row under the cursor, scrolled into
    // view, not the row the grid was left on.
    void theSavedRowIsUnderTheCursor_data() {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("code");
        QTest::newRow("doctor") << "Orvosok1" << "111111" << "999999";
        QTest::newRow("nurse") << "Szakpolk1" << "100000003" << "999999990";
    }
    void theSavedRowIsUnderTheCursor() {
        QFETCH(QString, menuItem);
        QFETCH(QString, first);
        QFETCH(QString, code);
        using namespace store::schema;
        for (int i = 0; i < 30; ++i) {
            const std::string n = std::to_string(500000 + i);
            add(ORVOS(), {{"Orvoskod", n}, {"Onev", "Dr. Orvos " + n}});
        }
        // Nurses' TAJ numbers with a right check digit: 4 + 8 digits.
        for (int i = 0; i < 30; ++i) {
            std::string taj = std::to_string(40000000 + i);
            int sum = 0;
            for (int d = 0; d < 8; ++d) sum += (taj[d] - '0') * (d % 2 ? 7 : 3);
            add(APOL(), {{"Aptaj", taj + std::to_string(sum % 10)}, {"Anev", "Ápoló " + taj}});
        }
        QString under;
        bool visible = false;
        inEditWindow(menuItem.toLatin1().constData(), [&](ui::StaffWindow& w) {
            select(w, first.toLatin1().constData());
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            QWidget* codeEdit = focused();
            test::typeText(codeEdit, code);
            QTest::keyClick(codeEdit, Qt::Key_Return);
            test::typeText(focused(), QString::fromUtf8("Új Ödön"));
            dialogs->answerYes();
            QTest::keyClick(focused(), Qt::Key_Return);
            QVERIFY(!w.editPanel()->isVisible());
            QTableView* grid = w.frame()->grid();
            under = QString::fromStdString(w.frame()->table().text(w.setup().reg().codeField));
            QCOMPARE(grid->currentIndex().row(), w.frame()->table().position());
            QApplication::processEvents();
            visible = grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex()).center());
        });
        QCOMPARE(under, code);
        QVERIFY(visible);
        QCOMPARE(dialogs->problems(), Strings{});
    }

    // The doctor list made taller shows more rows, opens again as it was
    // left, and "Új felvitel" adds the panel to the height the user chose.
    void theDoctorListKeepsTheSizeTheUserGaveIt() {
        for (int i = 0; i < 40; ++i) {
            const std::string n = std::to_string(500000 + i);
            add(store::schema::ORVOS(), {{"Orvoskod", n}, {"Onev", "Dr. Orvos " + n}});
        }
        test::TempDir dir;
        ui::SetWindowPlacesFile(QString::fromStdString(dir.str()) + "/ablakok.ini");
        struct Forget {
            ~Forget() { ui::SetWindowPlacesFile({}); }
        } forget;
        const QRect taller(owner->frameGeometry().topLeft() + QPoint(60, 40), QSize(420, 560));
        int firstRows = 0, tallerRows = 0;
        auto rowsShown = [](ui::StaffWindow& w) {
            QTableView* grid = w.frame()->grid();
            return grid->rowAt(grid->viewport()->height() - 1) - grid->rowAt(0) + 1;
        };
        inEditWindow("Orvosok1", [&](ui::StaffWindow& w) {
            QCOMPARE(w.height(), std::max(227, w.minimumSizeHint().height()));  // the first height
            QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
            firstRows = rowsShown(w);
            w.setGeometry(taller);
            QApplication::processEvents();
            tallerRows = rowsShown(w);
        });
        QVERIFY2(tallerRows > firstRows + 8, qPrintable(QString("%1 -> %2").arg(firstRows).arg(tallerRows)));
        inEditWindow("Orvosok1", [&](ui::StaffWindow& w) {
            QCOMPARE(w.geometry(), taller);
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            QVERIFY(w.height() > taller.height());  // the panel below the taller grid
            QTest::mouseClick(control<QPushButton>(&w, "BB2"), Qt::LeftButton);
            QCOMPARE(w.geometry(), taller);
        });
    }

    void aDuplicateStampNumberKeepsThePanelOpen() {
        inEditWindow("Orvosok1", [&](ui::StaffWindow& w) {
            auto* OP = control<QLineEdit>(&w, "OP");
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            test::typeText(OP, "222222");
            QTest::keyClick(OP, Qt::Key_Return);
            test::typeText(control<QLineEdit>(&w, "Onev"), "Dr. Más Béla");
            dialogs->answerYes();
            QTest::mouseClick(control<QPushButton>(&w, "BB1"), Qt::LeftButton);
            QCOMPARE(dialogs->texts(Kind::Warning), Strings{"Ilyen orvos már létezik !"});
            QVERIFY(w.editPanel()->isVisible());
            QCOMPARE(focused(), OP);
            QCOMPARE(OP->text(), QString("222222"));
            QCOMPARE(control<QLineEdit>(&w, "Onev")->text(), QString("Dr. Más Béla"));
            QVERIFY(!browsingOn(w));
            // Declining the question closes without saving.
            dialogs->answerNo();
            QTest::mouseClick(control<QPushButton>(&w, "BB1"), Qt::LeftButton);
            QVERIFY(!w.editPanel()->isVisible());
        });
        QCOMPARE(codes(table(store::schema::ORVOS()), "Orvoskod"), (Strings{"111111", "222222", "333333"}));
    }

    void modifyKeepsTheCode() {
        inEditWindow("Szakpolk1", [&](ui::StaffWindow& w) {
            select(w, "222222220");
            QTest::mouseClick(control<QPushButton>(&w, "modos"), Qt::LeftButton);
            auto* Etaj = control<QLineEdit>(&w, "Etaj");
            auto* Enev = control<QLineEdit>(&w, "Enev");
            QCOMPARE(w.mode(), masterdata::EditMode::Modify);
            QVERIFY(Etaj->isReadOnly());
            QCOMPARE(Etaj->text(), QString("222222220"));
            QCOMPARE(Enev->text(), QString("Nagy Piroska"));
            QCOMPARE(focused(), Enev);
            QTest::keyClick(Enev, Qt::Key_Backspace);
            test::typeText(Enev, "ó");
            dialogs->answerYes();
            QTest::keyClick(Enev, Qt::Key_Enter);
            QVERIFY(!w.editPanel()->isVisible());
        });
        QCOMPARE(dialogs->texts(Kind::Question), Strings{"Elmenti az ápoló adatait ?"});
        const db::Table& apol = table(store::schema::APOL());
        QCOMPARE(codes(apol, "Aptaj"), (Strings{"111111110", "222222220", "100000003"}));
        QCOMPARE(apol.valueAt(1, apol.fieldIndex("Anev")).asString(), std::string("Nagy Piroskó"));
    }

    void aNurseTajMustPassTheCheckDigit_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Tab") << int(Qt::Key_Tab);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void aNurseTajMustPassTheCheckDigit() {
        QFETCH(int, key);
        inEditWindow("Szakpolk1", [&](ui::StaffWindow& w) {
            auto* Etaj = control<QLineEdit>(&w, "Etaj");
            auto* Enev = control<QLineEdit>(&w, "Enev");
            QTest::mouseClick(control<QPushButton>(&w, "uj"), Qt::LeftButton);
            test::typeText(Etaj, "123456789");
            QTest::keyClick(Etaj, Qt::Key(key));
            QCOMPARE(dialogs->texts(Kind::Warning), Strings{"Nem létező TAJ szám!"});
            QTRY_COMPARE(focused(), Etaj);
            QCOMPARE(Etaj->text(), QString("123456789"));
            // Blank passes here and is caught as missing data.
            Etaj->clear();
            QTest::keyClick(Etaj, Qt::Key(key));
            QCOMPARE(focused(), Enev);
            test::typeText(Enev, "Új Ápoló");
            QTest::mouseClick(control<QPushButton>(&w, "BB1"), Qt::LeftButton);
            QCOMPARE(dialogs->texts(Kind::Warning), (Strings{"Nem létező TAJ szám!", "Az ápoló adatait ki kell tölteni!"}));
            QCOMPARE(focused(), Etaj);
            QVERIFY(w.editPanel()->isVisible());
            // A good one moves on and is saved.
            test::typeText(Etaj, "123456788");
            QTest::keyClick(Etaj, Qt::Key(key));
            QCOMPARE(focused(), Enev);
            dialogs->answerYes();
            QTest::keyClick(Enev, Qt::Key_Return);
            QVERIFY(!w.editPanel()->isVisible());
        });
        QCOMPARE(dialogs->texts(Kind::Warning).size(), size_t(2));
        QCOMPARE(codes(table(store::schema::APOL()), "Aptaj"), (Strings{"111111110", "222222220", "100000003", "123456788"}));
    }

    void deleting_data() {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("refused");  // "" when the row goes
        QTest::addColumn<QStringList>("left");
        QTest::newRow("proposing doctor of a sheet")
            << "Orvosok1" << "222222" << "Az orvos szerepel az elszámolásban, az adatai nem törölhetők!!"
            << QStringList{"111111", "222222", "333333"};
        QTest::newRow("ordering doctor of a sheet")
            << "Orvosok1" << "111111" << "Az orvos szerepel az elszámolásban, az adatai nem törölhetők!!"
            << QStringList{"111111", "222222", "333333"};
        QTest::newRow("doctor on no sheet") << "Orvosok1" << "333333" << "" << QStringList{"111111", "222222"};
        QTest::newRow("nurse of one visit only")
            << "Szakpolk1" << "222222220" << "Az ápoló szerepel az elszámolásban, az adatai nem törölhetők!!"
            << QStringList{"111111110", "222222220", "100000003"};
        QTest::newRow("nurse on a sheet header")
            << "Szakpolk1" << "111111110" << "Az ápoló szerepel az elszámolásban, az adatai nem törölhetők!!"
            << QStringList{"111111110", "222222220", "100000003"};
        QTest::newRow("nurse on no sheet") << "Szakpolk1" << "100000003" << "" << QStringList{"111111110", "222222220"};
    }
    void deleting() {
        QFETCH(QString, menuItem);
        QFETCH(QString, code);
        QFETCH(QString, refused);
        QFETCH(QStringList, left);
        const bool doctor = menuItem == "Orvosok1";
        const db::Table& t = table(doctor ? store::schema::ORVOS() : store::schema::APOL());
        if (refused.isEmpty()) dialogs->answerYes();
        inEditWindow(menuItem.toLatin1().constData(), [&](ui::StaffWindow& w) {
            select(w, code.toLatin1().constData());
            QTest::mouseClick(control<QPushButton>(&w, "torol"), Qt::LeftButton);
            QCOMPARE(focused(), w.frame()->grid());
            // The position after the delete is what the frame stored.
            QCOMPARE(w.frame()->stored().bookmark, t.bookmark());
            if (refused.isEmpty()) QCOMPARE(t.position(), 0);
            else QCOMPARE(QString::fromStdString(t.text(doctor ? "Orvoskod" : "Aptaj")), code);
        });
        QVERIFY(dialogs->scriptUsedUp());
        QCOMPARE(dialogs->texts(Kind::Information), refused.isEmpty() ? Strings{} : Strings{refused.toStdString()});
        QCOMPARE(dialogs->texts(Kind::Question).size(), size_t(refused.isEmpty() ? 1 : 0));
        Strings expected;
        for (const QString& c : left) expected.push_back(c.toStdString());
        QCOMPARE(codes(t, doctor ? "Orvoskod" : "Aptaj"), expected);
        QCOMPARE(t.physicalCount(), uint32_t(left.size()));  // packed
    }

    void enterInTheDoctorGridTakesTheRowUnderTheCursor() {
        ui::Torvval& w = *windows->orvval;
        QCOMPARE(w.windowTitle(), QString("Orvosok választása"));
        inChooseWindow(w, [&](ui::ChooseWindow& c) {
            QTableView* grid = control<QTableView>(&c, "DBGOrvos");
            QCOMPARE(focused(), grid);
            test::typeText(grid, "22");
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(w.okod(), std::string("222222"));
        QCOMPARE(w.onev(), std::string("Dr. Nagy Béla"));
        // Opening it again clears the code; "Mégse" leaves it empty.
        inChooseWindow(w, [&](ui::ChooseWindow& c) { QTest::mouseClick(c.BB2, Qt::LeftButton); });
        QCOMPARE(w.okod(), std::string());
    }

    void cancellingTheNurseChoiceFillsNothing() {
        ui::TApolf& w = *windows->apolf;
        QCOMPARE(w.windowTitle(), QString("Szakápoló választás"));
        inChooseWindow(w, [&](ui::ChooseWindow& c) {
            table(store::schema::APOL()).locate("Aptaj", db::Value("100000003"));
            QTest::mouseClick(c.BB1, Qt::LeftButton);
        });
        QCOMPARE(w.akod(), std::string("100000003"));
        QCOMPARE(w.anev(), std::string("Tóth Mária"));
        QCOMPARE(w.apolfel(), 1);
        inChooseWindow(w, [&](ui::ChooseWindow& c) {
            QCOMPARE(focused(), c.frame()->grid());
            QTest::keyClick(&c, Qt::Key_Escape);
        });
        QCOMPARE(w.akod(), std::string());
        QCOMPARE(w.apolfel(), 0);
    }

    void theNurseChoiceOpensBesideTheSheetEntry() {
        ui::TApolf& w = *windows->apolf;
        // Without a sheet entry window it stays where it was.
        w.move(40, 60);
        inChooseWindow(w, [&](ui::ChooseWindow& c) { QCOMPARE(c.pos(), QPoint(40, 60)); });
        QWidget sheetEntry;
        sheetEntry.setGeometry(100, 120, 500, 400);
        sheetEntry.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheetEntry));
        w.setSheetEntry(&sheetEntry);
        const QRect r = sheetEntry.frameGeometry();
        inChooseWindow(w, [&](ui::ChooseWindow& c) {
            QCOMPARE(c.frameGeometry().topLeft(), QPoint(r.x() + r.width(), r.y() + r.height() / 2));
        });
    }
};

VELMORA_UI_TEST(StaffWindowTest);

#include "StaffWindowTest.moc"
