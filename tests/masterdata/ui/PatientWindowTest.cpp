// The patient window and the patient choose window on real BETEG, TELEPUL
// and HLAPA tables, opened the way the program opens them.
#include "support/ui/UiTest.h"

#include "db/Database.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "masterdata/ui/Tbetegfel.h"
#include "masterdata/ui/Tbetegval.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"
#include "support/ui/MenuOwner.h"
#include "widgets/Browse.h"
#include "widgets/BrowseFrame.h"
#include "widgets/FieldEdit.h"
#include "widgets/Navigator.h"
#include "widgets/QtDialogs.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>

#include <memory>

using namespace velmora;
using velmora::test::control;
using velmora::test::onNextModal;
using velmora::test::ScriptedDialogs;
using Kind = ScriptedDialogs::Kind;

namespace {

struct Patient {
    const char* taj;
    const char* nev;
    const char* neme;
};

// Byte order would put "Kovacs Zoltán" before "Kovács Anna"; Hungarian
// order compares a and á alike first.
const Patient kPatients[] = {
    {"123456788", "Kovacs Zoltán", "F"}, {"111111110", "Kovács Anna", "N"}, {"222222220", "Kolozsi Pál", "F"},
    {"333333330", "Kővári Ede", "F"},    {"444444440", "Kun A", "N"},
};

db::Table& openTable(db::Database& dbs, const store::schema::TableDef& def, const db::FieldList& fields = {}) {
    db::Table& t = store::tableOf(dbs, def);
    if (fields.empty())
        store::createIfMissing(t, def);
    else
        t.create(fields);
    store::restoreIndexIfMissing(t, def);
    t.setActiveIndex(def.activeTag);
    return t;
}

// The status texts any widget sends while it lives: where the main window
// takes its first panel's text from.
class StatusTips : public QObject {
public:
    StatusTips() { qApp->installEventFilter(this); }
    ~StatusTips() override { qApp->removeEventFilter(this); }
    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::StatusTip) seen << static_cast<QStatusTipEvent*>(event)->tip();
        return QObject::eventFilter(watched, event);
    }
};

bool pendingEdit(const db::Table& t) {
    return t.state() == db::TableState::Edit || t.state() == db::TableState::Insert;
}

} // namespace

class PatientWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::MasterDataWindows> windows;
    db::Table* beteg = nullptr;
    db::Table* hlapa = nullptr;
    ui::Tbetegfel* w = nullptr;

    // Runs `act` inside the window opened by its menu command; the window
    // is closed afterwards whatever state `act` left it in.
    void inWindow(const std::function<void()>& act) {
        onNextModal([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(w));
            QVERIFY(QTest::qWaitForWindowActive(modal));
            dialogs->clearLog();  // the status text of the menu command
            act();
            if (w->isVisible()) w->done(QDialog::Rejected);
        });
        owner->menuItem("Betegek1")->trigger();
    }

    template <class W = QLineEdit>
    W* c(const char* name) { return control<W>(w, name); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    bool goToPatient(const char* taj) { return beteg->locate("TAJ", db::Value(taj)); }

    // Every field of the group filled with a valid new patient.
    void fillValid(const char* taj = "555555550") {
        c("azt")->setText("1");
        c("btaj")->setText(taj);
        c("Bnev")->setText(QString::fromUtf8("Új Beteg"));
        c<QComboBox>("bnem")->setCurrentIndex(1);
        c("bkod")->setText("0200002");
        c("bvaros")->setText(QString::fromUtf8("Érd"));
        c("bcim")->setText(QString::fromUtf8("Fő utca 2."));
        c("Bszhely")->setText(QString::fromUtf8("Győr"));
        c("bszido")->setText("1950.07.14");
    }
    void press(const char* name, Qt::Key key = Qt::Key_Return) { QTest::keyClick(c<QWidget>(name), key); }

    // A BETEG whose name field is narrower than the program's layout, so the
    // engine refuses a name the window lets through.
    void narrowNameField() {
        db::FieldList fields = store::schema::BETEG().fields;
        fields[size_t(db::findField(fields, "Nev"))].width = 10;
        beteg->close();
        beteg->remove();
        beteg->create(fields);
        store::restoreIndexIfMissing(*beteg, store::schema::BETEG());
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        session->mIdoszak = "2024.06";
        dialogs = std::make_unique<ScriptedDialogs>();
        dbs = std::make_unique<db::Database>(data->path());
        // The windows come first, as at start-up, where the tables open later.
        owner = std::make_unique<test::MenuOwner>();
        windows = std::make_unique<ui::MasterDataWindows>(*owner, *session, *dbs, *dialogs);
        owner->plug(windows->commands());
        w = windows->betegfel;

        beteg = &openTable(*dbs, store::schema::BETEG());
        for (const Patient& p : kPatients) {
            beteg->append();
            beteg->setField("TAJ", db::Value(p.taj));
            beteg->setField("NEV", db::Value(p.nev));
            beteg->setField("NEME", db::Value(p.neme));
            beteg->setField("AZTIP", db::Value("1"));
            beteg->setField("KOZIGKOD", db::Value("0100001"));
            beteg->setField("CIME1", db::Value("Budapest"));
            beteg->setField("CIME2", db::Value(""));
            beteg->setField("SZULI", db::Value("1940.03.02"));
            beteg->post();
        }
        beteg->first();
        openTable(*dbs, store::schema::TELEPUL(),
                  {db::FieldDef::character("KOZIGKOD", 7), db::FieldDef::character("HELYNEV", 30)});
        db::Table& telepul = store::tableOf(*dbs, store::schema::TELEPUL());
        for (const auto& [code, name] : {std::pair{"0100001", "Budapest"}, std::pair{"0200002", "Érd"}}) {
            telepul.append();
            telepul.setField("KOZIGKOD", db::Value(code));
            telepul.setField("HELYNEV", db::Value(name));
            telepul.post();
        }
        // Kovács Anna stands on a sheet of an earlier period.
        hlapa = &openTable(*dbs, store::schema::HLAPA());
        hlapa->append();
        hlapa->setField("IDOSZAK", db::Value("2023.11"));
        hlapa->setField("SORSZ", db::Value("00001"));
        hlapa->setField("RESZ", db::Value("1"));
        hlapa->setField("TAJ", db::Value("111111110"));
        hlapa->post();
    }
    void cleanup() {
        w = nullptr;
        windows.reset();
        owner.reset();
        dbs.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
        data.reset();
    }

    void menuCommandOpensTheWindowCollapsed() {
        bool ran = false;
        inWindow([&] {
            ran = true;
            QCOMPARE(w->windowTitle(), QString::fromUtf8("Betegek megjelenítése"));
            QCOMPARE(dialogs->statusText(0), std::string("Új beteg rögzítése"));
            QCOMPARE(w->height(), 222);
            QCOMPARE(w->expandedHeight(), 407);
            QCOMPARE(w->pos(), owner->frameGeometry().topLeft() + QPoint(10, 50));
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(c<QGroupBox>("GBox1")->title(), QString::fromUtf8("A beteg adatai"));
            auto* frame = c<ui::BrowseFrame>("Betegkep1");
            QCOMPARE(focused(), static_cast<QWidget*>(frame->grid()));
            QCOMPARE(frame->grid()->objectName(), QString("DBGBeteg"));
            const QAbstractItemModel* m = frame->grid()->model();
            QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("TAJ/Azonosító"));
            // The set width, or more where the screen font needs it for the title.
            QVERIFY(frame->grid()->columnWidth(0) >= 91);
            // Entry order is TAJ order, the first row current.
            QCOMPARE(beteg->activeIndex(), std::string("Beteg1"));
            QCOMPARE(beteg->text("TAJ"), std::string("111111110"));
            QCOMPARE(c("btaj")->maxLength(), 9);
            QCOMPARE(c("bkod")->maxLength(), 7);
            QCOMPARE(c("azt")->maxLength(), 1);
            QCOMPARE(c("bszido")->inputMask(), QString("9999.99.99"));
            QCOMPARE(c("azt")->toolTip(), QString::fromUtf8("Azonosító kód (Alapértelmezés: 1)"));
            QCOMPARE(c("btaj")->toolTip(), QString::fromUtf8("A beteg TAJ száma"));
            QCOMPARE(c("bkod")->toolTip(), QString::fromUtf8("Közigazgatási kód"));
            QCOMPARE(c("bszido")->toolTip(), QString::fromUtf8("Születési idő"));
            QCOMPARE(c<QComboBox>("bnem")->count(), 2);
            QCOMPARE(c<QComboBox>("bnem")->itemText(1), QString::fromUtf8("Nő"));
        });
        QVERIFY(ran);
        QVERIFY(!w->isVisible());
    }

    void typingSearchesTheNameColumn() {
        inWindow([&] {
            auto* frame = c<ui::BrowseFrame>("Betegkep1");
            auto* shown = control<QLabel>(frame, "szoveg");
            frame->browse()->titleClicked(1);
            QTest::keyClicks(frame->grid(), "kov");
            QCOMPARE(shown->text(), QString("KOV"));
            QCOMPARE(beteg->text("NEV"), std::string("Kovács Anna"));
            // Backspace works on key down and again on key up.
            QTest::keyClick(frame->grid(), Qt::Key_Backspace);
            QCOMPARE(shown->text(), QString("K"));
            QTest::keyClicks(frame->grid(), "un a");
            QCOMPARE(shown->text(), QString("KUN A"));
            QCOMPARE(beteg->text("NEV"), std::string("Kun A"));
            // The row under the cursor has five characters: a sixth is dropped.
            QTest::keyClicks(frame->grid(), "x");
            QCOMPARE(shown->text(), QString("KUN A"));
            QCOMPARE(beteg->text("NEV"), std::string("Kun A"));
        });
    }

    void newPatientThroughTheKeyboard() {
        inWindow([&] {
            // A patient looked at first leaves nothing behind for a new one.
            goToPatient("123456788");
            c<QPushButton>("modos")->click();
            QCOMPARE(c("Bnev")->text(), QString::fromUtf8("Kovacs Zoltán"));
            c<QPushButton>("BB2")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());

            QTest::mouseClick(c<QPushButton>("uj"), Qt::LeftButton);
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(w->height(), 407);
            QCOMPARE(focused(), c<QWidget>("azt"));
            QCOMPARE(c("azt")->text(), QString("1"));
            for (const char* name : {"btaj", "Bnev", "bkod", "bvaros", "bcim", "Bszhely"})
                QVERIFY2(c(name)->text().isEmpty(), name);
            QCOMPARE(c<QComboBox>("bnem")->currentIndex(), -1);
            QVERIFY(!c<ui::BrowseFrame>("Betegkep1")->grid()->isEnabled());
            QVERIFY(!c<ui::BrowseFrame>("Betegkep1")->navigator()->isEnabled());
            for (const char* name : {"kilep", "uj", "modos", "torol"}) QVERIFY2(!c<QPushButton>(name)->isEnabled(), name);

            press("azt");
            QCOMPARE(focused(), c<QWidget>("btaj"));
            test::typeText(focused(), "123456788");
            press("btaj");
            QCOMPARE(focused(), c<QWidget>("Bnev"));
            test::typeText(focused(), QString::fromUtf8("Őri Éva"));
            press("Bnev");
            QCOMPARE(focused(), c<QWidget>("bnem"));
            c<QComboBox>("bnem")->setCurrentIndex(1);
            press("bnem");
            test::typeText(focused(), "0200002");
            press("bkod");
            // Entering the town fills it from the settlement code.
            QCOMPARE(focused(), c<QWidget>("bvaros"));
            QCOMPARE(c("bvaros")->text(), QString::fromUtf8("Érd"));
            press("bvaros");
            test::typeText(focused(), QString::fromUtf8("Fő utca 2."));
            press("bcim");
            test::typeText(focused(), QString::fromUtf8("Győr"));
            press("Bszhely");
            QCOMPARE(focused(), c<QWidget>("bszido"));
            test::typeText(focused(), "19500714");
            QCOMPARE(c("bszido")->displayText(), QString("1950.07.14"));
            // Same TAJ as Kovacs Zoltán: refused before anything is written.
            dialogs->answerYes();
            press("bszido");
            QCOMPARE(dialogs->texts(Kind::Warning), std::vector<std::string>{"Ilyen beteg már létezik !"});
            QTRY_COMPARE(focused(), c<QWidget>("btaj"));
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(beteg->recordCount(), 5);

            c("btaj")->setText("555555550");
            c("bszido")->setFocus();
            dialogs->clearLog();
            dialogs->answerYes();
            press("bszido");
            QCOMPARE(dialogs->texts(Kind::Question), std::vector<std::string>{"Elmenti a beteg adatait ?"});
            QCOMPARE(dialogs->log().size(), size_t(1));
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(w->height(), 222);
            QVERIFY(c<ui::BrowseFrame>("Betegkep1")->grid()->isEnabled());
            QCOMPARE(focused(), static_cast<QWidget*>(c<ui::BrowseFrame>("Betegkep1")->grid()));
        });
        QCOMPARE(beteg->recordCount(), 6);
        QVERIFY(goToPatient("555555550"));
        const std::pair<const char*, std::string> expected[] = {
            {"AZTIP", "1"},        {"NEV", "Őri Éva"},     {"NEME", "N"},     {"KOZIGKOD", "0200002"},
            {"CIME1", "Érd"},      {"CIME2", "Fő utca 2."}, {"SZULH", "Győr"}, {"SZULI", "1950.07.14"},
        };
        for (const auto& [field, value] : expected) QCOMPARE(beteg->text(field), value);
    }

    void generatedIdentifierIsLocked() {
        inWindow([&] {
            c<QPushButton>("uj")->click();
            c("azt")->setText("0");
            press("azt");
            QCOMPARE(c("btaj")->text(), QString("910000005"));
            QVERIFY(c("btaj")->isReadOnly());
            // Another type frees the field again.
            c("azt")->setFocus();
            c("azt")->setText("2");
            press("azt");
            QVERIFY(!c("btaj")->isReadOnly());
            // Type 2 takes any identifier without the check digit test.
            c("btaj")->setText("X-12");
            press("btaj");
            QCOMPARE(focused(), c<QWidget>("Bnev"));
            QVERIFY(dialogs->log().empty());

            // After a deletion the count is lower and names an existing
            // patient: the identifier steps on to the next free one.
            c<QPushButton>("BB2")->click();
            beteg->append();
            beteg->setField("TAJ", db::Value("910000005"));
            beteg->setField("NEV", db::Value("Azonosító Nélküli"));
            beteg->post();
            QVERIFY(goToPatient("444444440"));
            dialogs->answerYes();
            c<QPushButton>("torol")->click();
            QCOMPARE(beteg->recordCount(), 5);
            c<QPushButton>("uj")->click();
            fillValid();
            c("azt")->setFocus();
            c("azt")->setText("0");
            press("azt");
            QCOMPARE(c("btaj")->text(), QString("910000006"));
            dialogs->clearLog();
            dialogs->answerYes();
            c<QPushButton>("BB1")->click();
            QCOMPARE(dialogs->texts(Kind::Warning), std::vector<std::string>{});
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
        });
        QCOMPARE(beteg->recordCount(), 6);
        QVERIFY(goToPatient("910000006"));
        QCOMPARE(beteg->text("NEV"), std::string("Új Beteg"));
    }

    void missingFieldsAreListed_data() {
        QTest::addColumn<QStringList>("blank");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QString head = QString::fromUtf8("A következő mezők kitöltése kötelező:\n");
        QTest::newRow("name and birth date") << QStringList{"Bnev", "bszido"}
                                             << head + QString::fromUtf8("Beteg neve\nBeteg születési ideje") << "Bnev";
        QTest::newRow("birth date") << QStringList{"bszido"} << head + QString::fromUtf8("Beteg születési ideje")
                                    << "bszido";
        QTest::newRow("identifier type") << QStringList{"azt"} << head + QString::fromUtf8("Azonosító típus") << "azt";
        QTest::newRow("address street, sex")
            << QStringList{"bcim", "bnem"} << head + QString::fromUtf8("Beteg neme\nBeteg címe") << "bnem";
    }
    void missingFieldsAreListed() {
        QFETCH(QStringList, blank);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            for (const QString& name : blank) {
                if (name == "bnem")
                    c<QComboBox>("bnem")->setCurrentIndex(-1);
                else
                    c(name.toLatin1().constData())->clear();
            }
            // Enter in the birth date saves; only the save's message shows.
            c("bszido")->setFocus();
            press("bszido");
            QCOMPARE(dialogs->texts(Kind::Warning), std::vector<std::string>{message.toStdString()});
            QTRY_COMPARE(focused()->objectName(), focus);
            QTest::qWait(20);
            QCOMPARE(focused()->objectName(), focus);
            QCOMPARE(dialogs->log().size(), size_t(1));
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
        });
        QCOMPARE(beteg->recordCount(), 5);
    }

    void exitChecksWarnAndKeepTheFocus_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("check digit") << "btaj" << "123456789" << QStringList{QString::fromUtf8("Nem létező TAJ szám!")};
        QTest::newRow("letter in TAJ") << "btaj" << "12345678A" << QStringList{QString::fromUtf8("Nem létező TAJ szám!")};
        QTest::newRow("valid TAJ") << "btaj" << "123456788" << QStringList{};
        QTest::newRow("no sex") << "bnem" << "" << QStringList{QString::fromUtf8("A nem csak nő, vagy férfi lehet!")};
        QTest::newRow("unknown settlement") << "bkod" << "0300003"
                                            << QStringList{QString::fromUtf8("Nincs ilyen település a törzsben!")};
        QTest::newRow("settlement") << "bkod" << "0100001" << QStringList{};
        QTest::newRow("before 1895") << "bszido" << "18941231"
                                     << QStringList{QString::fromUtf8("Hibás dátum! 1895 előtti nem lehet!")};
        QTest::newRow("after the period") << "bszido" << "20240701"
                                          << QStringList{QString::fromUtf8(
                                                 "Nem adhat meg az elszámolási időszakot követő dátumot!")};
        QTest::newRow("not a date") << "bszido" << "19500231" << QStringList{QString::fromUtf8("Érvénytelen dátum!!")};
        QTest::newRow("last day of the period") << "bszido" << "20240630" << QStringList{};
    }
    void exitChecksWarnAndKeepTheFocus() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, messages);
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            QWidget* control = c<QWidget>(field.toLatin1().constData());
            control->setFocus();
            if (auto* combo = qobject_cast<QComboBox*>(control))
                combo->setCurrentIndex(-1);
            else {
                static_cast<QLineEdit*>(control)->clear();
                static_cast<QLineEdit*>(control)->home(false);
                test::typeText(control, value);
            }
            QTest::keyClick(control, Qt::Key_Tab);
            std::vector<std::string> expected;
            for (const QString& m : messages) expected.push_back(m.toStdString());
            std::vector<std::string> shown;
            for (const auto& e : dialogs->log()) shown.push_back(e.text);
            QCOMPARE(shown, expected);
            if (expected.empty()) {
                QVERIFY(focused() != control);
            } else {
                QTRY_COMPARE(focused(), control);
            }
        });
    }

    void settlementChooserOnDoubleClick() {
        inWindow([&] {
            int asked = 0;
            std::optional<std::pair<std::string, std::string>> answer{{"0200002", "Érd"}};
            w->chooseSettlement = [&] {
                ++asked;
                return answer;
            };
            c<QPushButton>("uj")->click();
            c("bkod")->setFocus();
            QTest::mouseDClick(c("bkod"), Qt::LeftButton);
            QCOMPARE(asked, 1);
            QCOMPARE(c("bkod")->text(), QString("0200002"));
            QCOMPARE(c("bvaros")->text(), QString::fromUtf8("Érd"));
            QCOMPARE(focused(), c<QWidget>("bcim"));
            QVERIFY(dialogs->log().empty());
            // Cancelled: the fields stay, the focus goes back.
            answer.reset();
            c("bvaros")->setText("Kézzel");
            QTest::mouseDClick(c("bkod"), Qt::LeftButton);
            QCOMPARE(asked, 2);
            QCOMPARE(c("bkod")->text(), QString("0200002"));
            QCOMPARE(c("bvaros")->text(), QString("Kézzel"));
            QCOMPARE(focused(), c<QWidget>("bkod"));
        });
        windows->betegfel->chooseSettlement = nullptr;
    }

    void modifyKeepsTheIdentifier() {
        inWindow([&] {
            QVERIFY(goToPatient("333333330"));
            c<QPushButton>("modos")->click();
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(focused(), c<QWidget>("Bnev"));
            QVERIFY(c("azt")->isReadOnly());
            QVERIFY(c("btaj")->isReadOnly());
            QCOMPARE(c("azt")->text(), QString("1"));
            QCOMPARE(c("btaj")->text(), QString("333333330"));
            QCOMPARE(c("Bnev")->text(), QString::fromUtf8("Kővári Ede"));
            QCOMPARE(c<QComboBox>("bnem")->currentIndex(), 0);
            QCOMPARE(c("bvaros")->text(), QString("Budapest"));
            QCOMPARE(c("bszido")->text(), QString("1940.03.02"));
            // Typing into the identifier changes nothing, and a type of "0"
            // generates nothing in modify mode.
            c("btaj")->setFocus();
            test::typeText(c("btaj"), "9");
            QCOMPARE(c("btaj")->text(), QString("333333330"));
            c("azt")->setFocus();
            press("azt");
            QCOMPARE(c("btaj")->text(), QString("333333330"));
            QVERIFY(c("btaj")->isReadOnly());

            c("Bnev")->setText(QString::fromUtf8("Kővári Edéné"));
            c("bcim")->setText(QString::fromUtf8("Kert u. 3."));
            dialogs->answerYes();
            c<QPushButton>("BB1")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
        });
        QCOMPARE(beteg->recordCount(), 5);
        QVERIFY(goToPatient("333333330"));
        QCOMPARE(beteg->text("NEV"), std::string("Kővári Edéné"));
        QCOMPARE(beteg->text("CIME2"), std::string("Kert u. 3."));
    }

    void declinedSaveClosesTheGroup() {
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            dialogs->answerNo();
            c<QPushButton>("BB1")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QVERIFY(c<QPushButton>("uj")->isEnabled());
        });
        QCOMPARE(beteg->recordCount(), 5);
    }

    void cancelWithABlankFieldFocusedChecksNothing() {
        inWindow([&] {
            c<QPushButton>("uj")->click();
            c("bkod")->setFocus();
            c<QPushButton>("BB2")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QTest::qWait(20);
            QVERIFY(dialogs->log().empty());
            QCOMPARE(focused(), static_cast<QWidget*>(c<ui::BrowseFrame>("Betegkep1")->grid()));
        });
    }

    // A real click on "Mégse" moves the focus to it first: the field it
    // leaves is not checked, whatever it holds, and the group closes.
    void cancelByMouseChecksNoField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("no sex") << "bnem" << "";
        QTest::newRow("wrong TAJ") << "btaj" << "123456789";
        QTest::newRow("unknown settlement") << "bkod" << "0300003";
        QTest::newRow("before 1895") << "bszido" << "18941231";
    }
    void cancelByMouseChecksNoField() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            QWidget* control = c<QWidget>(field.toLatin1().constData());
            control->setFocus(Qt::MouseFocusReason);
            if (auto* combo = qobject_cast<QComboBox*>(control)) {
                combo->setCurrentIndex(-1);
            } else {
                static_cast<QLineEdit*>(control)->clear();
                static_cast<QLineEdit*>(control)->home(false);
                test::typeText(control, value);
            }
            QTest::mouseClick(c<QPushButton>("BB2"), Qt::LeftButton);
            QTest::qWait(20);
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(dialogs->log().size(), size_t(0));
            QCOMPARE(beteg->recordCount(), 5);
        });
    }

    void deleteIsRefusedForAPatientOnASheet() {
        inWindow([&] {
            QVERIFY(goToPatient("111111110"));
            c<QPushButton>("torol")->click();
            QCOMPARE(dialogs->texts(Kind::Information),
                     std::vector<std::string>{"A beteg szerepel az elszámolásban,\raz adatai nem törölhetők!!"});
            QCOMPARE(dialogs->texts(Kind::Question), std::vector<std::string>{});
            QCOMPARE(focused(), static_cast<QWidget*>(c<ui::BrowseFrame>("Betegkep1")->grid()));
        });
        QCOMPARE(beteg->recordCount(), 5);
    }

    void deleteAsksAndPacks() {
        inWindow([&] {
            auto* frame = c<ui::BrowseFrame>("Betegkep1");
            QVERIFY(goToPatient("222222220"));
            dialogs->answerNo();
            c<QPushButton>("torol")->click();
            QCOMPARE(beteg->recordCount(), 5);
            dialogs->answerYes();
            c<QPushButton>("torol")->click();
            QCOMPARE(dialogs->texts(Kind::Question),
                     (std::vector<std::string>{"Biztosan törli a beteg adatait ?", "Biztosan törli a beteg adatait ?"}));
            QCOMPARE(beteg->recordCount(), 4);
            QCOMPARE(beteg->physicalCount(), 4u);
            QVERIFY(!goToPatient("222222220"));
            // The stored position is the first row, where the delete left it.
            beteg->first();
            QCOMPARE(frame->stored().bookmark, beteg->bookmark());
            QCOMPARE(focused(), static_cast<QWidget*>(frame->grid()));
        });
    }

    void framePositionSurvivesReopening() {
        inWindow([&] {
            auto* frame = c<ui::BrowseFrame>("Betegkep1");
            frame->browse()->titleClicked(1);
            QVERIFY(goToPatient("333333330"));
        });
        // Elsewhere the shared table moves on.
        beteg->setActiveIndex("Beteg1");
        beteg->first();
        inWindow([&] {
            auto* frame = c<ui::BrowseFrame>("Betegkep1");
            QCOMPARE(frame->browse()->activeColumn(), 1);
            QCOMPARE(beteg->activeIndex(), std::string("Beteg2"));
            QCOMPARE(beteg->text("TAJ"), std::string("333333330"));
        });
    }

    void chooseWindowReturnsTheRow() {
        ui::Tbetegval* val = windows->betegval;
        QCOMPARE(val->windowTitle(), QString::fromUtf8("Betegek választása"));
        auto* frame = control<ui::BrowseFrame>(val, "Betegkep1");
        QCOMPARE(frame->grid()->model()->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("TAJ/Azonosító"));
        QVERIFY(frame->grid()->columnWidth(0) >= 90);
        QVERIFY(frame != c<ui::BrowseFrame>("Betegkep1"));

        QVERIFY(goToPatient("222222220"));
        beteg->edit();
        beteg->setField("SZULH", db::Value("Szeged"));
        beteg->post();
        onNextModal([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(val));
            QVERIFY(QTest::qWaitForWindowActive(modal));
            QCOMPARE(focused(), static_cast<QWidget*>(frame->grid()));
            frame->browse()->titleClicked(1);
            QTest::keyClicks(frame->grid(), "kol");
            QTest::keyClick(frame->grid(), Qt::Key_Return);
        });
        QCOMPARE(val->exec(), int(QDialog::Accepted));
        // Every column shows whole at the first size, "Neme" and
        // "Születési idő" too; the window may grow beyond it.
        {
            QTableView* grid = frame->grid();
            const int last = grid->model()->columnCount() - 1;
            QVERIFY2(grid->columnViewportPosition(last) + grid->columnWidth(last) <= grid->viewport()->width(),
                     qPrintable(QString("%1 + %2 > %3")
                                    .arg(grid->columnViewportPosition(last))
                                    .arg(grid->columnWidth(last))
                                    .arg(grid->viewport()->width())));
            QVERIFY(val->maximumWidth() > val->width());
        }
        QCOMPARE(val->btaj, std::string("222222220"));
        QCOMPARE(val->bnev, std::string("Kolozsi Pál"));
        QCOMPARE(val->baztip, std::string("1"));
        QCOMPARE(val->bnem, std::string("F"));
        QCOMPARE(val->bkozig, std::string("0100001"));
        QCOMPARE(val->bvaros, std::string("Budapest"));
        QCOMPARE(val->bcim, std::string(""));
        QCOMPARE(val->bszhely, std::string("Szeged"));
        QCOMPARE(val->bszido, std::string("1940.03.02"));

        // "Mégse" after a choice: nothing chosen this time.
        onNextModal([&](QWidget*) { control<QPushButton>(val, "BB2")->click(); });
        QCOMPARE(val->exec(), int(QDialog::Rejected));
        QVERIFY(val->btaj.empty());
        onNextModal([&](QWidget* modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            QTest::keyClick(frame->grid(), Qt::Key_Escape);
            QVERIFY(!val->isVisible());
        });
        val->exec();
        QVERIFY(val->btaj.empty());
    }

    void chooseWindowPlacesItselfByItsCaller() {
        ui::Tbetegval* val = windows->betegval;
        QWidget sheetEntry, tajCheck;
        sheetEntry.setGeometry(100, 100, 800, 600);
        tajCheck.setGeometry(300, 200, 500, 300);
        sheetEntry.show();
        tajCheck.show();
        QPoint at;
        auto openAndClose = [&] {
            onNextModal([&](QWidget*) { at = val->frameGeometry().topLeft(); });
            val->exec();
        };
        val->setSheetEntryWindow(&sheetEntry);
        val->setTajCheckWindow(&tajCheck);
        val->bhol = true;
        openAndClose();
        const QRect s = sheetEntry.frameGeometry();
        QCOMPARE(at, QPoint(s.left() + s.width() - val->frameGeometry().width(), s.top() + s.height() / 4));
        val->bhol = false;
        openAndClose();
        const QRect t = tajCheck.frameGeometry();
        QCOMPARE(at, QPoint(t.left() - t.width() / 5, t.top() + t.height()));
        // No window to go by: it stays where it was.
        const QPoint before = at;
        val->setTajCheckWindow(nullptr);
        openAndClose();
        QCOMPARE(at, before);
    }

    // What code page 852 lacks never reaches the engine: a typed character
    // is not taken, a pasted text comes without it, and the status bar says
    // which character it was. Saving then works.
    void charactersTheFieldCannotHoldAreNotTaken() {
        StatusTips tips;
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            QLineEdit* nev = c("Bnev");
            nev->setFocus();
            nev->clear();
            test::typeText(nev, QString::fromUtf8("Kiss"));
            for (const char* refused : {"€", "õ", "–", "„", "“"}) {
                test::typeText(nev, QString::fromUtf8(refused));
                QCOMPARE(nev->text(), QString("Kiss"));
                QCOMPARE(tips.seen.last(), ui::RefusedCharactersText(QString::fromUtf8(refused)));
            }
            nev->clear();
            QGuiApplication::clipboard()->setText(QString::fromUtf8("–Kovács“ Éva"));
            QTest::keyClick(nev, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(nev->text(), QString::fromUtf8("Kovács Éva"));
            QCOMPARE(nev->cursorPosition(), nev->text().size());
            QCOMPARE(tips.seen.last(), ui::RefusedCharactersText(QString::fromUtf8("–“")));
            // No more than the field's width either.
            test::typeText(nev, QString(30, QChar('x')));
            QCOMPARE(nev->text().size(), 25);
            nev->setText(QString::fromUtf8("Kovács Éva"));

            dialogs->answerYes();
            c<QPushButton>("BB1")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
        });
        QVERIFY(dialogs->errors().empty());
        QVERIFY(goToPatient("555555550"));
        QCOMPARE(beteg->text("NEV"), std::string("Kovács Éva"));
        // Every text field of the group is bound so.
        for (const char* name : {"azt", "btaj", "Bnev", "bkod", "bvaros", "bcim", "Bszhely"})
            QVERIFY2(qobject_cast<const ui::FieldCharacters*>(c(name)->validator()), name);
    }

    // Enter in the birth date or "Kész" saves without the focus leaving a
    // field: saving runs every exit check again, in the group's order.
    void savingRepeatsEveryExitCheck_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("birth date before 1895") << "born 18941231" << "Hibás dátum! 1895 előtti nem lehet!" << "bszido";
        QTest::newRow("birth date after the period")
            << "born 20240701" << "Nem adhat meg az elszámolási időszakot követő dátumot!" << "bszido";
        QTest::newRow("type 1 after a TAJ without the check digit")
            << "type 1" << "Nem létező TAJ szám!" << "btaj";
        QTest::newRow("settlement not in the register") << "settlement" << "Nincs ilyen település a törzsben!" << "bkod";
    }
    void savingRepeatsEveryExitCheck() {
        QFETCH(QString, how);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            if (how == "type 1") {
                // Type 2 takes the identifier; type 1 set afterwards checks
                // nothing on leaving its own field.
                c("azt")->setFocus();
                c("azt")->setText("2");
                press("azt");
                test::typeText(c("btaj"), "123456789");
                c("azt")->setFocus();
                c("azt")->setText("1");
            } else if (how == "settlement") {
                c("bkod")->setText("0300003");
            }
            QLineEdit* born = c("bszido");
            born->setFocus();
            if (how.startsWith("born")) {
                born->clear();
                born->home(false);
                test::typeText(born, how.mid(5));
            }
            dialogs->clearLog();
            dialogs->answerYes();  // would be asked only if the checks let it through
            press("bszido");
            std::vector<std::string> shown;
            for (const auto& e : dialogs->log()) shown.push_back(e.text);
            QCOMPARE(shown, std::vector<std::string>{message.toStdString()});
            QTRY_COMPARE(focused()->objectName(), focus);
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
        });
        QCOMPARE(beteg->recordCount(), 5);
        QVERIFY(!goToPatient("555555550"));
    }

    // A save the engine refuses ends nothing: the guard shows the failure
    // with the engine's words, the table keeps no half-written row, and the
    // window goes on.
    void aFailedSaveIsShownAndTheProgramGoesOn_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("named");
        // A BETEG whose name field is narrower than the program's layout.
        QTest::newRow("value the table refuses") << "narrow" << QStringList{"Beteg.dbf", "NEV"};
        QTest::newRow("table closed under the window") << "closed" << QStringList{"BETEG"};
    }
    void aFailedSaveIsShownAndTheProgramGoesOn() {
        QFETCH(QString, how);
        QFETCH(QStringList, named);
        if (how == "narrow") {
            narrowNameField();
        }
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            c("Bnev")->setText(QString::fromUtf8("Kovácsné Szabó Ilona"));
            if (how == "closed") beteg->close();
            dialogs->clearLog();
            dialogs->answerYes();
            c("bszido")->setFocus();
            press("bszido");  // "Kész" by Enter
            QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba a lefutásban!"});
            const QString detail = QString::fromStdString(dialogs->errorDetails().at(0));
            for (const QString& name : named) QVERIFY2(detail.contains(name, Qt::CaseInsensitive), qPrintable(detail));
            QVERIFY(!pendingEdit(*beteg));
            // The group is open with the user's input; "Mégse" leaves it.
            QVERIFY(c<QGroupBox>("GBox1")->isVisible());
            QCOMPARE(c("Bnev")->text(), QString::fromUtf8("Kovácsné Szabó Ilona"));
            c<QPushButton>("BB2")->click();
            QVERIFY(!c<QGroupBox>("GBox1")->isVisible());
            QVERIFY(c<QPushButton>("uj")->isEnabled());
        });
        QVERIFY(!w->isVisible());
        if (how == "narrow") {
            QCOMPARE(beteg->recordCount(), 0);
            // The same window saves what the table can hold.
            inWindow([&] {
                c<QPushButton>("uj")->click();
                fillValid();
                c("Bnev")->setText(QString::fromUtf8("Kiss Éva"));
                dialogs->answerYes();
                c<QPushButton>("BB1")->click();
            });
            QCOMPARE(beteg->recordCount(), 1);
        }
    }

    // A look at the error box over the patient window, as the program's
    // dialogs show it; the picture is for the developer.
    void renderTheErrorBoxOverTheWindow() {
        narrowNameField();
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            c("Bnev")->setText(QString::fromUtf8("Kovácsné Szabó Ilona"));
            dialogs->answerYes();
            c<QPushButton>("BB1")->click();
            QCOMPARE(dialogs->errors().size(), size_t(1));

            ui::QtDialogs shown;
            shown.setParentWindow(w);
            QPixmap picture = w->grab();
            QString text, informative;
            test::onNextModal([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                QVERIFY(box);
                QVERIFY(QTest::qWaitForWindowExposed(box));
                text = box->text();
                informative = box->informativeText();
                QPainter painter(&picture);
                painter.drawPixmap(box->frameGeometry().topLeft() - w->geometry().topLeft(), box->grab());
                box->accept();
            });
            shown.error(dialogs->errors().at(0), dialogs->errorDetails().at(0));
            QCOMPARE(text, QString::fromUtf8("Hiba a lefutásban!"));
            QCOMPARE(informative, QString::fromStdString(dialogs->errorDetails().at(0)));
            QVERIFY(picture.save(QDir::temp().filePath("velmora-tbetegfel-hiba.png")));
        });
    }

    // A look at the open edit group; the picture is for the developer.
    void renderTheOpenGroup() {
        inWindow([&] {
            c<QPushButton>("uj")->click();
            fillValid();
            const QString file = QDir::temp().filePath("velmora-tbetegfel.png");
            QVERIFY(w->grab().save(file));
            for (const char* name : {"btaj", "Bnev", "bkod", "bvaros", "bcim", "Bszhely", "bszido"}) {
                QLineEdit* e = c(name);
                QVERIFY2(e->width() >= e->fontMetrics().horizontalAdvance(e->text()), name);
                QVERIFY2(w->rect().contains(QRect(e->mapTo(w, QPoint(0, 0)), e->size())), name);
            }
        });
    }
};

VELMORA_UI_TEST(PatientWindowTest);

#include "PatientWindowTest.moc"
