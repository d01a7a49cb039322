// The progress dialog as the user gets it: title, step text, bar, and
// "Mégsem" only for work that can stop.
#include "support/ui/UiTest.h"

#include "widgets/QtProgress.h"

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
        QCOMPARE(dialog->minimumDuration(), ui::QtProgress::kShowAfterMs);
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

VELMORA_UI_TEST(QtProgressTest);

#include "QtProgressTest.moc"
