// The progress dialog as the user gets it: title, step text, bar, and
// "Mégsem" only for work that can stop.
#include "support/ui/UiTest.h"

#include "support/ui/ModalWatcher.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtProgress.h"

#include <QElapsedTimer>
#include <QMessageBox>

#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>

using namespace velmora;

class QtProgressTest : public QObject {
    Q_OBJECT

private slots:
    void stepsShowTheirTextAndCount() {
        QWidget owner;
        ui::QtProgress progress(&owner);
        progress.begin("Indexelés", 13, false);
        QProgressDialog* dialog = progress.dialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), &owner);
        QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Indexelés"));
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->maximum(), 13);
        // Short work is over before the dialog would show.
        QVERIFY(!dialog->isVisible());
        progress.step("A(z) Beteg.dbf állomány indexelése", 1);
        QCOMPARE(dialog->labelText(), QString::fromUtf8("A(z) Beteg.dbf állomány indexelése"));
        QCOMPARE(dialog->value(), 1);
        progress.end();
        QVERIFY(!progress.dialog());
    }

    void onlyCancellableWorkOffersMegsem() {
        ui::QtProgress progress;
        progress.begin("Mentés", 3, false);
        QVERIFY(progress.dialog()->findChildren<QPushButton*>().isEmpty());
        QTest::keyClick(progress.dialog(), Qt::Key_Escape);
        progress.dialog()->cancel();
        QVERIFY(!progress.cancelled());
        progress.end();

        progress.begin("Mentés", 3, true);
        const auto buttons = progress.dialog()->findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons[0]->text(), QString::fromUtf8("Mégsem"));
        progress.step("Beteg.dbf", 0);
        QVERIFY(!progress.cancelled());
        buttons[0]->click();
        QVERIFY(progress.cancelled());
        progress.end();
        QVERIFY(!progress.cancelled());
    }
};

class ProgressUnderBoxesTest : public QObject {
    Q_OBJECT

private slots:
    // Work that lasts shows its dialog, with or without steps.
    void theDialogShowsWhenWorkTakesAMoment() {
        QWidget owner;
        owner.show();
        ui::QtProgress progress(&owner);
        progress.begin("Visszatöltés", 4, false);
        progress.step("Átalakítás és indexelés", 2);
        QVERIFY(!progress.dialog()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(progress.dialog()->isVisible(), 2000);
        progress.end();
    }

    // The box that ends a restore opens inside the work's scope and stays
    // open longer than the dialog's delay: the dialog must not show above
    // it (it did, application-modal and without a button, and the program
    // had to be killed).
    void aBoxOpenedBeforeTheDelayIsNeverCovered() {
        QWidget owner;
        owner.show();
        ui::QtDialogs dialogs;
        dialogs.setParentWindow(&owner);
        ui::QtProgress progress(&owner);
        test::ModalWatcher watcher;
        watcher.expect(QString::fromUtf8("A visszatöltés befejeződött!!"), "OK", 3 * ui::QtProgress::kShowAfterMs);
        progress.begin("Visszatöltés", 4, false);
        progress.step("Átalakítás és indexelés", 2);
        dialogs.information("A visszatöltés befejeződött!!");
        QVERIFY2(watcher.failures().isEmpty(), qPrintable(watcher.failures().join('\n')));
        QVERIFY(watcher.done());
        QVERIFY(!progress.dialog()->isVisible());
        progress.end();
    }

    // A dialog already shown steps aside for a question and comes back with
    // the next step.
    void aShownDialogStepsAsideForAQuestion() {
        QWidget owner;
        owner.show();
        ui::QtDialogs dialogs;
        dialogs.setParentWindow(&owner);
        ui::QtProgress progress(&owner);
        test::ModalWatcher watcher;
        watcher.expect(QString::fromUtf8("Folytatja?"), "Igen", 300);
        progress.begin("Szerződések beolvasása", 3, true);
        progress.step("Hszerz.dbf", 1);
        QTRY_VERIFY_WITH_TIMEOUT(progress.dialog()->isVisible(), 2000);
        QVERIFY(dialogs.ask({app::Msg::LeaveEntryQuestion, "Folytatja?"}));
        QVERIFY2(watcher.failures().isEmpty(), qPrintable(watcher.failures().join('\n')));
        QVERIFY(!progress.dialog()->isVisible());
        progress.step("Hszolgsz.dbf", 2);
        QVERIFY(progress.dialog()->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(progress.dialog()));
        progress.end();
    }
};

VELMORA_UI_TEST(QtProgressTest);
VELMORA_UI_TEST(ProgressUnderBoxesTest);

#include "QtProgressTest.moc"
