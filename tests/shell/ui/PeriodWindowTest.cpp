// The period window on a real ZARAS table, today being 2024.06.10.
#include "support/ui/UiTest.h"

#include "app/PeriodChoice.h"
#include "db/Database.h"
#include "shell/ui/Tfokep.h"
#include "shell/ui/TZarasbe.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <memory>

using namespace velmora;
using Outcome = ui::TZarasbe::Outcome;
using velmora::test::ScriptedDialogs;

class PeriodWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<db::Database> dbs;
    std::unique_ptr<app::ZarasPeriodTable> periods;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<ScriptedDialogs> dialogs;

    std::unique_ptr<ui::TZarasbe> openWindow() {
        auto w = std::make_unique<ui::TZarasbe>(*session, *periods, *dialogs, ui::CommandGuard(*dialogs));
        w->show();
        return w;
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        dbs = std::make_unique<db::Database>(data->path());
        // 2024.03 was sent and closed; 2024.04 has a row but no closing date.
        test::makeZaras(*dbs, {{"2024.03", "2024.04.05"}, {"2024.04", ""}});
        periods = std::make_unique<app::ZarasPeriodTable>(dbs->table("ZARAS"));
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        dialogs.reset();
        session.reset();
        clock.reset();
        periods.reset();
        dbs.reset();
        data.reset();
    }

    void windowControls() {
        auto w = openWindow();
        QCOMPARE(w->windowTitle(), QString("Elszámolási időszak"));
        QCOMPARE(w->Label1->text(), QString("Elszámolási időszak beállítása"));
        QCOMPARE(w->ME1->inputMask(), QString("9999.99;_"));
        QCOMPARE(w->ME1->displayText(), QString("____.__"));
        QCOMPARE(w->OKBtn->statusTip(), QString("Továbblépés"));
        QCOMPARE(w->CancelBtn->text(), QString("Mégsem"));
        QCOMPARE(w->CancelBtn->statusTip(), QString("Mentés nélkül kilépés"));
    }

    void entriesAreCheckedWithTheirMessages_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("accepted");  // empty: the window stays open
        const QString early = "Nem adhat meg 1999.06 előtti időszakot!";
        const QString future = "Nem adhat meg előre időszakot!";
        const QString invalid = "Érvénytelen időszak!!";
        QTest::newRow("before 1999.06") << "199905" << QStringList{early} << "";
        QTest::newRow("1999.06") << "199906" << QStringList{} << "1999.06";
        QTest::newRow("current month") << "202406" << QStringList{} << "2024.06";
        QTest::newRow("next month") << "202407" << QStringList{future} << "";
        QTest::newRow("month 13") << "202313" << QStringList{invalid} << "";
        QTest::newRow("half typed") << "2024" << QStringList{invalid} << "";
        QTest::newRow("empty") << "" << QStringList{invalid, early} << "";
        QTest::newRow("open row") << "202404" << QStringList{} << "2024.04";
    }
    void entriesAreCheckedWithTheirMessages() {
        QFETCH(QString, typed);
        QFETCH(QStringList, errors);
        QFETCH(QString, accepted);
        auto w = openWindow();
        QTest::keyClicks(w->ME1, typed);
        QTest::keyClick(w->ME1, Qt::Key_Return);  // Enter presses OK

        QStringList shown;
        for (const std::string& e : dialogs->errors()) shown << QString::fromStdString(e);
        QCOMPARE(shown, errors);
        QVERIFY(dialogs->texts(ScriptedDialogs::Kind::Question).empty());
        if (accepted.isEmpty()) {
            QVERIFY(w->isVisible());
            QCOMPARE(w->outcome(), Outcome::Cancelled);
            QCOMPARE(w->ME1->selectedText(), w->ME1->displayText());  // all selected for retyping
            QCOMPARE(session->mIdoszak, std::string("2004.01"));
        } else {
            QVERIFY(!w->isVisible());
            QCOMPARE(w->outcome(), Outcome::Accepted);
            QCOMPARE(QString::fromStdString(session->mIdoszak), accepted);
            QVERIFY(!session->zarnez);
        }
    }

    void aClosedPeriodIsTakenOnlyWhenConfirmed() {
        dialogs->answerYes();
        auto w = openWindow();
        QTest::keyClicks(w->ME1, "202403");
        QTest::mouseClick(w->OKBtn, Qt::LeftButton);
        QCOMPARE(dialogs->log().size(), size_t(1));
        QCOMPARE(dialogs->log()[0], (ScriptedDialogs::Entry{ScriptedDialogs::Kind::Question,
                                                             "Lezárt időszak! Mégis ezzel akar foglalkozni?",
                                                             app::QuestionKind::Warning}));
        QCOMPARE(w->outcome(), Outcome::Accepted);
        QCOMPARE(session->mIdoszak, std::string("2024.03"));
        QCOMPARE(session->IDOSZAK2, std::string("2024.03.31"));
        QVERIFY(session->zarnez);
    }

    void declinedClosedPeriodAtStartUpEndsTheProgram() {
        dialogs->answerNo();
        session->zarnez = true;
        auto w = openWindow();
        QTest::keyClicks(w->ME1, "202403");
        QTest::mouseClick(w->OKBtn, Qt::LeftButton);
        QCOMPARE(w->outcome(), Outcome::Declined);
        QVERIFY(!w->isVisible());
        QVERIFY(w->endsProgram());
        QCOMPARE(session->mIdoszak, std::string("2004.01"));
        QVERIFY(!session->zarnez);
    }

    void cancelAndTheCloseBoxEndTheProgramOnlyAtStartUp() {
        for (bool fromMenu : {false, true}) {
            session->idobe = fromMenu;
            auto cancelled = openWindow();
            QTest::mouseClick(cancelled->CancelBtn, Qt::LeftButton);
            QCOMPARE(cancelled->outcome(), Outcome::Cancelled);
            QCOMPARE(cancelled->endsProgram(), !fromMenu);

            auto closed = openWindow();
            QTest::keyClicks(closed->ME1, "202405");
            closed->close();
            QCOMPARE(closed->outcome(), Outcome::Cancelled);
            QCOMPARE(closed->endsProgram(), !fromMenu);
            QCOMPARE(session->mIdoszak, std::string("2004.01"));
        }
    }

    void menuCommandChangesThePeriodAndTheBaseFee() {
        ui::Tfokep fokep(*session, *dialogs);
        fokep.setPeriodTable(periods.get());
        session->acceptPeriod("2024.06", false);
        session->ertad();
        fokep.showPeriod();
        QCOMPARE(session->alapert, 5640);

        // Declining a closed period keeps the one before.
        dialogs->answerNo();
        test::onNextModal([](QWidget* w) {
            QTest::keyClicks(w->findChild<QLineEdit*>("ME1"), "202403");
            QTest::mouseClick(w->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        fokep.menuItem("Elszmolsiidszakbellts1")->trigger();
        QVERIFY(session->idobe);
        QCOMPARE(fokep.ID->text(), QString("2024.06"));

        test::onNextModal([](QWidget* w) {
            QTest::keyClicks(w->findChild<QLineEdit*>("ME1"), "200409");
            QTest::keyClick(w->findChild<QLineEdit*>("ME1"), Qt::Key_Enter);
        });
        fokep.menuItem("Elszmolsiidszakbellts1")->trigger();
        QCOMPARE(fokep.ID->text(), QString("2004.09"));
        QCOMPARE(session->alapert, 3240);
        QCOMPARE(session->IDOSZL2, std::string("30.09.2004"));
    }

    void periodWindowLooksLikeADesktopWindow() {
        auto w = openWindow();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::keyClicks(w->ME1, "2024");
        const QImage shot = w->grab().toImage();
        if (!qEnvironmentVariableIsEmpty("VELMORA_SCREENSHOTS"))
            shot.save(qEnvironmentVariable("VELMORA_SCREENSHOTS") + "/zarasbe.png");
        QCOMPARE(w->ME1->displayText(), QString("2024.__"));
        for (QWidget* c : {static_cast<QWidget*>(w->Label1), static_cast<QWidget*>(w->ME1),
                           static_cast<QWidget*>(w->OKBtn), static_cast<QWidget*>(w->CancelBtn)})
            QVERIFY2(w->rect().contains(c->geometry()), qPrintable(c->objectName()));
    }
};

VELMORA_UI_TEST(PeriodWindowTest);

#include "PeriodWindowTest.moc"
