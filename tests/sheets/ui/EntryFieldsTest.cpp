// The entry window's fields: the checks that run when the focus leaves a
// control (the message, and the focus back where the logic sends it), and
// what the controls refuse before any check.
#include "support/programs/SheetProgram.h"

#include "sheets/ui/SheetWindows.h"
#include "sheets/ui/Tlapuj.h"
#include "widgets/QtDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QTabWidget>

#include <memory>

using namespace velmora;
using test::focused;
using test::shown;

namespace {

// Runs `act` in a new sheet's entry window once it is active.
void inNewSheet(test::SheetProgram& p, std::function<void(ui::Tlapuj&)> act) {
    test::onNextModal([&p, act = std::move(act)](QWidget* modal) {
        if (!QTest::qWaitForWindowActive(modal)) QTest::qFail("the entry window is not active", __FILE__, __LINE__);
        act(p.lapuj());
    });
    p.windows->newSheet(sheets::SheetKind::Full);
}

// Records the status tips a control sends (the refused characters).
struct StatusTips : QObject {
    QStringList tips;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::StatusTip) tips << static_cast<QStatusTipEvent*>(e)->tip();
        return false;
    }
};

} // namespace

class EntryFieldsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SheetProgram> p;

private slots:
    void init() { p = std::make_unique<test::SheetProgram>(); }
    void cleanup() { p.reset(); }

    void leavingAFieldChecksIt_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("wrong TAJ check digit")
            << "m_taj" << "123456789" << "123456789" << "Nem létező TAJ szám!" << "m_taj";
        QTest::newRow("Z code") << "m_alapb" << "Z5100" << "Z5100" << "Nem lehet \"Z\"-s kódot beírni!" << "m_alapb";
        QTest::newRow("Z code typed small")
            << "m_kiserd" << "z5100" << "Z5100" << "Nem lehet \"Z\"-s kódot beírni!" << "m_kiserd";
        QTest::newRow("unknown BNO code")
            << "m_fodiag" << "A0000" << "A0000" << "Nincs a BNO kód a törzsben!" << "m_fodiag";
        QTest::newRow("51 days ordered") << "m_elviz" << "51" << "51"
                                         << "Az elrendelt napszám nem lehet több 50-nél és nem lehet 0!" << "m_elviz";
        QTest::newRow("start of care missing") << "m_szakvet" << "" << "" << "A mező kitöltése kötelező!" << "m_szakvet";
        QTest::newRow("a day with only a nurse")
            << "aptaj3" << test::kNurseTaj << test::kNurseTaj << "A 3. napi adatokat ki kell tölteni!" << "tev3";
        QTest::newRow("a day with only activities")
            << "tev7" << "1" << "1" << "A tevékenységeknek megfelelő ápoló nincs kitöltve!" << "tev7";
    }
    // The message once, the focus back (the control Tab went to is not
    // checked), the text as the control took it.
    void leavingAFieldChecksIt() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QString focusAfter, shownAfter;
        bool pageShown = false;
        inNewSheet(*p, [&](ui::Tlapuj& w) {
            const std::string name = control.toStdString();
            test::typeInto(w, name.c_str(), typed);
            test::tabOut();
            focusAfter = focused();
            shownAfter = shown(w, name.c_str());
            pageShown = w.PC1->currentWidget()->isAncestorOf(w.control(focus.toStdString()));
        });
        QCOMPARE(p->dialogs().texts(test::ScriptedDialogs::Kind::Error), std::vector<std::string>{message.toStdString()});
        QCOMPARE(focusAfter, focus);
        QVERIFY(pageShown);
        QCOMPARE(shownAfter, kept);
    }

    // With the program's message boxes: the box comes once, over the entry
    // window, and the keyboard is back in the field it named.
    void aMessageBoxLeavesTheFocusInTheField() {
        ui::QtDialogs boxes;
        ui::SheetWindows windows(*p->owner, p->start->session, p->db(), boxes, *p->masterData);
        QStringList shownBoxes;
        QString focusAfter;
        bool entryActive = false;
        test::onNextModal([&](QWidget* modal) {
            QVERIFY(QTest::qWaitForWindowActive(modal));
            auto& w = *windows.lapuj();
            test::typeInto(w, "m_taj", "123456789");
            test::onNextModal([&](QWidget* box) {
                shownBoxes << box->findChild<QLabel*>("qt_msgbox_label")->text();
                QVERIFY(box->parentWidget() == modal);
                QTest::keyClick(box, Qt::Key_Return);
            });
            test::tabOut();
            // A window system gives the keyboard back to the box's parent;
            // the offscreen platform leaves that to the test.
            modal->activateWindow();
            entryActive = QTest::qWaitForWindowActive(modal);
            test::settle();
            focusAfter = focused();
        });
        windows.newSheet(sheets::SheetKind::Full);
        QCOMPARE(shownBoxes, QStringList{QString::fromUtf8("Nem létező TAJ szám!")});
        QVERIFY(entryActive);
        QCOMPARE(focusAfter, QString("m_taj"));
    }

    // Text the field cannot hold never reaches the form: characters code
    // page 852 lacks, more than the field's width, a day the calendar lacks.
    void theControlsRefuseWhatTheFieldCannotHold() {
        QString name, gyak, szakvet, szido, taj;
        QStringList tips;
        inNewSheet(*p, [&](ui::Tlapuj& w) {
            StatusTips recorder;
            w.control("m_nev")->installEventFilter(&recorder);
            test::typeInto(w, "m_nev", QString::fromUtf8("Kiss€ Éva"));
            tips = recorder.tips;
            name = shown(w, "m_nev");
            test::typeInto(w, "m_gyak", "hetente háromszor, reggel");
            gyak = shown(w, "m_gyak");
            test::typeInto(w, "m_szakvet", "20240230");
            szakvet = shown(w, "m_szakvet");
            test::typeInto(w, "m_szido", "19401332");
            szido = shown(w, "m_szido");
            test::typeInto(w, "m_taj", "1112223370");
            taj = shown(w, "m_taj");
        });
        QCOMPARE(name, QString::fromUtf8("Kiss Éva"));
        QCOMPARE(tips, QStringList{QString::fromUtf8("Nem tárolható karakter: €")});
        QCOMPARE(gyak, QString::fromUtf8("hetente háromsz"));  // the column holds 15
        QCOMPARE(szakvet, QString("2024.02.3 "));
        QCOMPARE(szido, QString("1940.12.  "));  // both 3s refused
        QCOMPARE(taj, QString(test::kPatientTaj));
    }

    // Tabs chosen by hand: the focus rests on the tabs, so no control of the
    // page is checked that the user never entered.
    void choosingAPageChecksNothingOnIt() {
        QString focusAfter;
        inNewSheet(*p, [&](ui::Tlapuj& w) {
            test::enter(w, "m_aztip");
            w.PC1->setCurrentWidget(w.TS2);
            test::settle();
            focusAfter = focused();
            test::enter(w, "m_gyak");  // leaves whatever holds the focus
        });
        QCOMPARE(p->dialogs().log().size(), size_t(0));
        QVERIFY(focusAfter != "m_elrend");
    }
};

VELMORA_UI_TEST(EntryFieldsTest);

#include "EntryFieldsTest.moc"
