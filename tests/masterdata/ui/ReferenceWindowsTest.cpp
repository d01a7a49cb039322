// The settlement and BNO choose windows, the BNO viewer and the residue
// window on a data directory set up by the program's own start-up steps.
#include "support/ui/UiTest.h"

#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/Tbnonez.h"
#include "masterdata/ui/Tbnoval.h"
#include "masterdata/ui/Tmaradfel.h"
#include "masterdata/ui/Ttelepval.h"
#include "support/TableFixture.h"
#include "support/ui/MenuOwner.h"
#include "widgets/BrowseFrame.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <memory>

using namespace velmora;
using velmora::test::control;
using velmora::test::onNextModal;
using Kind = velmora::test::ScriptedDialogs::Kind;

namespace {

// The fund's tables with more settlements and codes than the usual fixture,
// stored out of code and name order; the program's tables, its main window
// and the master-data windows, in the period 2024.06.
struct Program {
    test::TempDir dir;
    std::unique_ptr<test::Start> start;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MasterDataWindows> windows;

    Program() {
        using db::FieldDef;
        test::writeFundTables(dir.str());
        test::writeTable(dir.str(), "TELEPUL.DBF", {FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30)},
                         {{"1402033", "Pécs"}, {"0100001", "Budapest"}, {"1305022", "Szentes"}, {"0200002", "Érd"},
                          {"1304011", "Szeged"}},
                         3);
        test::writeTable(dir.str(), "BNOTORZS.DBF", {FieldDef::character("KOD10", 5), FieldDef::character("NEV", 100)},
                         {{"C3490", "Hörgő vagy tüdő rosszindulatú daganata"},
                          {"I6300", "Agyi infarktus"},
                          {"A0900", "Vastagbélgyulladás"},
                          {"E1100", "Nem inzulin-dependens cukorbetegség"},
                          {"C5000", "Emlő rosszindulatú daganata"}},
                         3);
        start = std::make_unique<test::Start>(dir.str());
        if (!start->run()) QTest::qFail("start-up failed", __FILE__, __LINE__);
        start->session.acceptPeriod("2024.06", false);
        owner = std::make_unique<test::MenuOwner>();
        windows = std::make_unique<ui::MasterDataWindows>(*owner, start->session, start->db, start->dialogs);
        owner->plug(windows->commands());
        start->dialogs.clearLog();
    }
    ~Program() {
        // The windows belong to the main window; the tables outlive both.
        windows.reset();
        owner.reset();
    }
    db::Table& table(const char* name) { return *start->db.findTable(name); }
    test::ScriptedDialogs& dialogs() { return start->dialogs; }
};

QStringList column(const QTableView* grid, int c) {
    QStringList out;
    const QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, c)).toString();
    return out;
}

void clickTitle(QTableView* grid, int section) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Opens the choose window modally and runs `act` in it.
void runChooser(QDialog* window, std::function<void(QWidget*)> act) {
    onNextModal(std::move(act));
    window->exec();
}

} // namespace

class ReferenceWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> p;

private slots:
    void init() { p = std::make_unique<Program>(); }
    void cleanup() { p.reset(); }

    void settlementCodePrefixAndEnterChooseTheRowReached() {
        ui::Ttelepval* telepval = p->windows->telepval;
        telepval->honnan = "L";
        QString shownSearch;
        runChooser(telepval, [&](QWidget* w) {
            auto* grid = control<QTableView>(w, "DBGTelep");
            QVERIFY(QTest::qWaitForWindowActive(w));  // focus comes with activation
            QVERIFY(grid->hasFocus());
            QCOMPARE(column(grid, 0), (QStringList{"0100001", "0200002", "1304011", "1305022", "1402033"}));
            test::typeText(grid, "1305");
            shownSearch = control<QLabel>(w, "szoveg")->text();
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QCOMPARE(shownSearch, QString("1305"));
        QCOMPARE(telepval->result(), int(QDialog::Accepted));
        QCOMPARE(telepval->vkod, std::string("1305022"));
        QCOMPARE(telepval->vnev, std::string("Szentes"));

        // Reopened: "Mégse" returns no settlement, whatever was chosen before.
        runChooser(telepval, [](QWidget* w) { QTest::mouseClick(control<QPushButton>(w, "BB2"), Qt::LeftButton); });
        QCOMPARE(telepval->vkod, std::string());

        // "Választ" takes the row under the cursor, here the one the stored
        // position brings back; Escape returns nothing.
        runChooser(telepval, [](QWidget* w) { QTest::mouseClick(control<QPushButton>(w, "BB1"), Qt::LeftButton); });
        QCOMPARE(telepval->vkod, std::string("1305022"));
        runChooser(telepval, [](QWidget* w) { QTest::keyClick(control<QTableView>(w, "DBGTelep"), Qt::Key_Escape); });
        QCOMPARE(telepval->vkod, std::string());
    }

    void settlementWindowOpensBesideThePatientWindowOnlyForIt() {
        ui::Ttelepval* telepval = p->windows->telepval;
        QWidget patient;
        patient.setGeometry(120, 90, 500, 330);
        patient.show();
        telepval->setPatientWindow(&patient);

        telepval->honnan = "B";
        QPoint opened;
        runChooser(telepval, [&](QWidget* w) { opened = w->frameGeometry().topLeft(); });
        const QRect anchor = patient.frameGeometry();
        QCOMPARE(opened, QPoint(anchor.x() + anchor.width(), anchor.y() + anchor.height() / 3));

        telepval->honnan = "L";
        telepval->move(40, 60);
        runChooser(telepval, [&](QWidget* w) { opened = w->pos(); });
        QCOMPARE(opened, QPoint(40, 60));
    }

    void bnoEnterTakesTheRowUnderTheCursor() {
        ui::Tbnoval* bnoval = p->windows->bnoval;
        runChooser(bnoval, [](QWidget* w) {
            auto* grid = control<QTableView>(w, "DBGbno");
            QVERIFY(QTest::qWaitForWindowActive(w));  // the grid entered: its entry order set
            QCOMPARE(column(grid, 0), (QStringList{"A0900", "C3490", "C5000", "E1100", "I6300"}));
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_Down);
            QTest::keyClick(grid, Qt::Key_Return);
        });
        QCOMPARE(bnoval->bnkod, std::string("C5000"));
        QCOMPARE(bnoval->bnnev, std::string("Emlő rosszindulatú daganata"));

        runChooser(bnoval, [](QWidget* w) { QTest::mouseClick(control<QPushButton>(w, "BB2"), Qt::LeftButton); });
        QCOMPARE(bnoval->bnkod, std::string());
    }

    void bnoChooserOpensOverTheLowerHalfOfTheSheetWindow() {
        ui::Tbnoval* bnoval = p->windows->bnoval;
        bnoval->move(30, 20);
        QPoint opened;
        runChooser(bnoval, [&](QWidget* w) { opened = w->frameGeometry().topLeft(); });
        QCOMPARE(opened, QPoint(30, 20));  // no sheet window: it stays

        QWidget sheet;
        sheet.setGeometry(50, 40, 900, 600);
        sheet.show();
        bnoval->setSheetWindow(&sheet);
        QRect placed;
        runChooser(bnoval, [&](QWidget* w) { placed = w->frameGeometry(); });
        const QRect anchor = sheet.frameGeometry();
        QCOMPARE(placed.x() + placed.width(), anchor.x() + anchor.width());
        QCOMPARE(placed.y(), anchor.y() + anchor.height() / 2);
    }

    void bnoViewerFromTheMenuOrdersByTheClickedTitle() {
        p->owner->move(70, 30);
        QStringList names, codes;
        bool gridFocused = false;
        QPoint opened;
        QString caption;
        onNextModal([&](QWidget* w) {
            caption = w->windowTitle();
            opened = w->frameGeometry().topLeft();
            auto* grid = control<QTableView>(w, "DBGbno");
            gridFocused = QTest::qWaitForWindowActive(w) && grid->hasFocus();
            clickTitle(grid, 1);
            names = column(grid, 1);
            codes = column(grid, 0);
            QTest::mouseClick(control<QPushButton>(w, "kilep"), Qt::LeftButton);
        });
        p->owner->menuItem("BNOX1")->trigger();
        QCOMPARE(caption, QString("BNO törzs megnézése"));
        QCOMPARE(p->dialogs().statusText(0), std::string("BNO törzs megnézése"));
        QVERIFY(gridFocused);
        QCOMPARE(opened, p->owner->frameGeometry().topLeft() + QPoint(10, 50));
        QCOMPARE(names, (QStringList{"Agyi infarktus", "Emlő rosszindulatú daganata",
                                     "Hörgő vagy tüdő rosszindulatú daganata", "Nem inzulin-dependens cukorbetegség",
                                     "Vastagbélgyulladás"}));
        QCOMPARE(codes.front(), QString("I6300"));
        QVERIFY(!p->windows->bnonez->isVisible());
    }
};

VELMORA_UI_TEST(ReferenceWindowsTest);

class ResidueWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> p;

    ui::Tmaradfel* window() const { return p->windows->maradfel; }
    db::Table& maradv() { return p->table("MARADV"); }
    // The residues as "period=Ft" in the grid's order.
    QStringList rows() const {
        auto* grid = control<QTableView>(window(), "DBGmarad");
        QStringList out;
        const QStringList periods = column(grid, 0), amounts = column(grid, 1);
        for (int i = 0; i < periods.size(); ++i) out << periods[i] + "=" + amounts[i].trimmed();
        return out;
    }
    // Opens the window from the menu and runs `act` in it.
    void run(std::function<void(ui::Tmaradfel*)> act) {
        onNextModal([this, act = std::move(act)](QWidget* w) {
            QVERIFY(QTest::qWaitForWindowActive(w));  // focus comes with activation
            act(window());
        });
        p->owner->menuItem("Maradvnyok1")->trigger();
    }
    static void typeAmount(ui::Tmaradfel* w, const QString& amount) {
        w->mft->selectAll();
        test::typeText(w->mft, amount);
    }
    static void click(QWidget* w, const char* name) { QTest::mouseClick(control<QPushButton>(w, name), Qt::LeftButton); }

private slots:
    void init() { p = std::make_unique<Program>(); }
    void cleanup() { p.reset(); }

    void aNewResidueBelongsToTheCurrentPeriodOnly() {
        run([this](ui::Tmaradfel* w) {
            QCOMPARE(w->height(), std::max(200, w->minimumSizeHint().height()));
            QVERIFY(!w->Panel1->isVisible());
            click(w, "uj");
            QVERIFY(w->Panel1->isVisible());
            QVERIFY(w->mft->hasFocus());
            QVERIFY(!control<QTableView>(w, "DBGmarad")->isEnabled());
            QVERIFY(!control<QPushButton>(w, "kilep")->isEnabled());
            QCOMPARE(w->mido->text(), QString("2024.06"));
            QVERIFY(w->mido->isReadOnly());
            QCOMPARE(w->height(), std::max(273, w->minimumSizeHint().height()));
            typeAmount(w, "1500");
            p->dialogs().answerYes();
            QTest::keyClick(w->mft, Qt::Key_Return);  // Enter in the amount is "Kész"
            QVERIFY(!w->Panel1->isVisible());
            QVERIFY(control<QTableView>(w, "DBGmarad")->hasFocus());

            click(w, "uj");
            QVERIFY(w->mft->text().isEmpty());
            typeAmount(w, "200");
            p->dialogs().answerYes();
            click(w, "BB1");
            QVERIFY(w->Panel1->isVisible());
            QVERIFY(w->mft->hasFocus());
            click(w, "BB2");
            QVERIFY(!w->Panel1->isVisible());
        });
        QCOMPARE(p->dialogs().statusText(0), std::string("Maradványok megnézése"));
        QCOMPARE(p->dialogs().texts(Kind::Question),
                 (std::vector<std::string>{"Elmenti a maradvány adatait ?", "Elmenti a maradvány adatait ?"}));
        QCOMPARE(p->dialogs().texts(Kind::Warning), std::vector<std::string>{"Adott időszakra már létezik maradvány!"});
        QCOMPARE(rows(), QStringList{"2024.06=1500"});
        QCOMPARE(maradv().text("INTKOD"), std::string("1234"));

        // Another period's residue needs that period to be the current one.
        // An amount may be typed in groups, as the grid shows it.
        p->start->session.acceptPeriod("2024.05", false);
        run([this](ui::Tmaradfel* w) {
            click(w, "uj");
            QCOMPARE(w->mido->text(), QString("2024.05"));
            QCOMPARE(w->mido->palette().color(QPalette::Base), w->mido->palette().color(QPalette::Window));
            typeAmount(w, "1 700");
            p->dialogs().answerYes();
            click(w, "BB1");
        });
        QCOMPARE(rows(), (QStringList{"2024.05=1700", "2024.06=1500"}));
        QVERIFY(p->dialogs().scriptUsedUp());
    }

    // The widest amount the field holds is shown whole in the grid, not
    // cut to a smaller number; a longer one cannot be typed.
    void theWidestAmountIsShownWhole() {
        run([this](ui::Tmaradfel* w) {
            click(w, "uj");
            typeAmount(w, "99999999999");
            QCOMPARE(w->mft->text(), QString("9999999999"));
            p->dialogs().answerYes();
            click(w, "BB1");
            auto* grid = control<QTableView>(w, "DBGmarad");
            const QString shownAmount = column(grid, 1).value(0).trimmed();
            QCOMPARE(shownAmount, QString("9999999999"));
            QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance(shownAmount) + 8);
        });
    }

    // The rule lives in the logic, not only in a read-only field: whatever
    // the period field shows, a new residue is the current period's.
    void aNewResidueTakesTheSessionsPeriodWhateverThePanelShows() {
        run([this](ui::Tmaradfel* w) {
            click(w, "uj");
            w->mido->setText("2023.01");
            typeAmount(w, "1500");
            p->dialogs().answerYes();
            click(w, "BB1");
            QVERIFY(!w->Panel1->isVisible());
        });
        QCOMPARE(rows(), QStringList{"2024.06=1500"});
    }

    void badAmountsAreRefusedWithoutAQuestion() {
        const struct {
            const char* amount;
            const char* message;
        } cases[] = {
            {"-5", "A Ft nem lehet 0!"},
            {"0", "A Ft nem lehet 0!"},
            {"12a", "A Ft csak szám lehet!"},
            {"", "Az maradvány adatait ki kell tölteni!"},
        };
        run([&](ui::Tmaradfel* w) {
            click(w, "uj");
            for (const auto& c : cases) {
                p->dialogs().clearLog();
                typeAmount(w, QString::fromUtf8(c.amount));
                if (!*c.amount) w->mft->clear();
                click(w, "BB1");
                QCOMPARE(p->dialogs().texts(Kind::Warning), std::vector<std::string>{c.message});
                QVERIFY2(w->Panel1->isVisible(), c.amount);
                QVERIFY2(w->mft->hasFocus(), c.amount);
            }
            // Declining the question closes the panel without a row.
            typeAmount(w, "900");
            p->dialogs().answerNo();
            click(w, "BB1");
            QVERIFY(!w->Panel1->isVisible());
        });
        QCOMPARE(maradv().recordCount(), 0);
    }

    void modifyChangesTheAmountAndDeleteAsksFirst() {
        for (const auto& [period, ft] : {std::pair{"2024.04", 300}, std::pair{"2024.06", 1500}}) {
            maradv().append();
            maradv().setField("INTKOD", db::Value("1234"));
            maradv().setField("MIDOSZAK", db::Value(period));
            maradv().setField("FT", db::Value(int64_t(ft)));
            maradv().post();
        }
        run([this](ui::Tmaradfel* w) {
            auto* grid = control<QTableView>(w, "DBGmarad");
            QTest::keyClick(grid, Qt::Key_Down);
            click(w, "modos");
            QCOMPARE(w->mido->text(), QString("2024.06"));
            QCOMPARE(w->mft->text().trimmed(), QString("1500"));
            QVERIFY(w->mft->hasFocus());
            typeAmount(w, "2500");
            p->dialogs().answerYes();
            click(w, "BB1");
            QVERIFY(!w->Panel1->isVisible());
            // Back in the grid, which starts on the first row again.
            QCOMPARE(maradv().text("MIDOSZAK"), std::string("2024.04"));
            QTest::keyClick(grid, Qt::Key_Down);

            p->dialogs().answerNo();
            click(w, "torol");
            QCOMPARE(rows(), (QStringList{"2024.04=300", "2024.06=2500"}));
            p->dialogs().answerYes();
            click(w, "torol");
        });
        QCOMPARE(p->dialogs().texts(Kind::Question),
                 (std::vector<std::string>{"Elmenti a maradvány adatait ?", "Biztosan törli a maradvány adatait ?",
                                           "Biztosan törli a maradvány adatait ?"}));
        // The deleted row was the one under the cursor.
        QCOMPARE(rows(), QStringList{"2024.04=300"});
        QCOMPARE(maradv().physicalCount(), 1u);
    }
};

VELMORA_UI_TEST(ResidueWindowTest);

#include "ReferenceWindowsTest.moc"
