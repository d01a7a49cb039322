// The program's message boxes and status texts as the user gets them.
#include "support/ui/UiTest.h"

#include "app/TextHelpers.h"
#include "widgets/FieldExits.h"
#include "widgets/QtDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>
#include <QPushButton>

#include <map>

using namespace velmora;

namespace {

struct Seen {
    QString title, text, detail, yes, no;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Looks at the next message box and presses the button with the given text.
void pressOnNextBox(Seen& seen, const QString& button) {
    test::onNextModal([&seen, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.detail = box->informativeText();
        seen.icon = box->icon();
        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) seen.yes = yes->text();
        if (QAbstractButton* no = box->button(QMessageBox::No)) seen.no = no->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) b->click();
    });
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void boxesCarryTheProgramTitleAndTheirIcon_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::newRow("error") << 0 << int(QMessageBox::Critical);
        QTest::newRow("warning") << 1 << int(QMessageBox::Warning);
        QTest::newRow("information") << 2 << int(QMessageBox::Information);
        QTest::newRow("plain") << 3 << int(QMessageBox::NoIcon);
    }
    void boxesCarryTheProgramTitleAndTheirIcon() {
        QFETCH(int, kind);
        QFETCH(int, icon);
        ui::QtDialogs dialogs;
        Seen seen;
        pressOnNextBox(seen, "OK");
        const std::string text = "Hiba a lefutásban! (18)";
        switch (kind) {
        case 0: dialogs.error(text); break;
        case 1: dialogs.warning(text); break;
        case 2: dialogs.information(text); break;
        default: dialogs.message(text); break;
        }
        QCOMPARE(seen.title, QString("Velmora"));
        QCOMPARE(seen.text, QString::fromStdString(text));
        QCOMPARE(int(seen.icon), icon);
    }

    void anErrorShowsTheEnginesDetailBelowItsText() {
        ui::QtDialogs dialogs;
        Seen seen;
        pressOnNextBox(seen, "OK");
        dialogs.error("Hiba a lefutásban!", "A(z) NEV mező (Beteg.dbf) értéke hosszabb a mező szélességénél (30 > 25)");
        QCOMPARE(seen.text, QString::fromUtf8("Hiba a lefutásban!"));
        QCOMPARE(seen.detail, QString::fromUtf8("A(z) NEV mező (Beteg.dbf) értéke hosszabb a mező szélességénél (30 > 25)"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.title, QString("Velmora"));
        // A plain error has nothing below its text.
        pressOnNextBox(seen, "OK");
        dialogs.error("Hiba a lefutásban! (18)");
        QVERIFY(seen.detail.isEmpty());
    }

    void questionsAnswerWithIgenAndNem() {
        ui::QtDialogs dialogs;
        for (const QString answer : {"Igen", "Nem"}) {
            Seen seen;
            pressOnNextBox(seen, answer);
            const bool yes = dialogs.ask(app::question(app::Msg::ClosedPeriodQuestion, app::QuestionKind::Warning));
            QCOMPARE(yes, answer == "Igen");
            QCOMPARE(seen.yes, QString("Igen"));
            QCOMPARE(seen.no, QString("Nem"));
            QCOMPARE(seen.icon, QMessageBox::Warning);
            QCOMPARE(seen.title, QString("Velmora"));
        }
    }

    void statusTextsGoWhereTheyAreSent() {
        ui::QtDialogs dialogs;
        dialogs.status(0, "Nincs hová");  // before the main window exists: nothing happens
        std::map<int, QString> panels;
        dialogs.setStatusSink([&panels](int panel, const QString& text) { panels[panel] = text; });
        dialogs.status(0, "Az indexelés befejeződött!!");
        dialogs.status(1, "1234 Példa");
        QCOMPARE(panels, (std::map<int, QString>{{0, "Az indexelés befejeződött!!"}, {1, "1234 Példa"}}));
    }

    // After a box, or a question answered either way, the control that had
    // the focus has it again in its active window, and leaving it runs its
    // check as before: nothing waits for a click.
    void theFocusComesBackAfterABox() {
        for (int kind = 0; kind < 3; ++kind) {
            QWidget window;
            auto* first = new QLineEdit(&window);
            auto* second = new QLineEdit(&window);
            auto* layout = new QVBoxLayout(&window);
            layout->addWidget(first);
            layout->addWidget(second);
            ui::FieldExits exits;
            int checks = 0;
            exits.onLeave(second, [&checks] {
                ++checks;
                return true;
            });
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            second->setFocus(Qt::MouseFocusReason);
            ui::QtDialogs dialogs;
            Seen seen;
            pressOnNextBox(seen, kind == 0 ? "OK" : kind == 1 ? "Igen" : "Nem");
            if (kind == 0)
                dialogs.error("A mező kitöltése kötelező!");
            else
                dialogs.ask({app::Msg::LeaveEntryQuestion, "Kilép?"});
            QCOMPARE(seen.title.isEmpty(), false);
            QCOMPARE(checks, 0);  // coming back from the box is no leaving
            QTRY_COMPARE(QApplication::activeWindow(), &window);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(second));
            QTest::keyClick(second, Qt::Key_Backtab);
            QCOMPARE(checks, 1);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(first));
        }
    }

    // "A mező kitöltése kötelező!" cannot say which field; the first
    // status panel names it by its label while the box is up. Another
    // message, or the same one outside a field's check, leaves it alone.
    void theStatusNamesTheFieldToFill() {
        QWidget window;
        auto* label = new QLabel("Az ellátás elrendelésének ideje:", &window);
        auto* date = new QLineEdit(&window);
        auto* other = new QLineEdit(&window);
        label->setBuddy(date);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(label);
        layout->addWidget(date);
        layout->addWidget(other);
        ui::QtDialogs dialogs;
        std::map<int, QString> panels;
        QString panelWhileShown;
        dialogs.setStatusSink([&panels](int panel, const QString& text) { panels[panel] = text; });
        ui::FieldExits exits;
        std::string message = app::text(app::Msg::MandatoryField);
        exits.onLeave(date, [&] {
            dialogs.error(message);
            return true;
        });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        date->setFocus(Qt::MouseFocusReason);
        Seen seen;
        test::onNextModal([&](QWidget* box) {
            panelWhileShown = panels[0];
            static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        QTest::keyClick(date, Qt::Key_Tab);
        QCOMPARE(panelWhileShown, QString::fromUtf8("Kötelező mező: Az ellátás elrendelésének ideje"));
        QTRY_COMPARE(QApplication::activeWindow(), &window);

        panels.clear();
        message = "Érvénytelen dátum!!";
        date->setFocus(Qt::MouseFocusReason);
        pressOnNextBox(seen, "OK");
        QTest::keyClick(date, Qt::Key_Tab);
        QCOMPARE(seen.text, QString::fromUtf8("Érvénytelen dátum!!"));
        pressOnNextBox(seen, "OK");
        dialogs.error(app::text(app::Msg::MandatoryField));
        QVERIFY(panels.empty());
    }
};

VELMORA_UI_TEST(QtDialogsTest);

#include "QtDialogsTest.moc"
