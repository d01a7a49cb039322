// Date edits: typed or pasted, a day the calendar lacks is not taken; what
// the logic reads from them.
#include "support/ui/UiTest.h"

#include "widgets/DateEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

using namespace velmora;

class DateEditTest : public QObject {
    Q_OBJECT

private slots:
    void typing_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("read");
        QTest::newRow("a real day") << "20240229" << "2024.02.29" << "2024.02.29";
        QTest::newRow("30 February") << "20240230" << "2024.02.3_" << "2024.02.3 ";
        QTest::newRow("29 February of a common year") << "20230229" << "2023.02.2_" << "2023.02.2 ";
        QTest::newRow("31 April") << "20240431" << "2024.04.3_" << "2024.04.3 ";
        QTest::newRow("month 13") << "202413" << "2024.1_.__" << "2024.1 .  ";
        QTest::newRow("month 00") << "202400" << "2024.0_.__" << "2024.0 .  ";
        QTest::newRow("day 00") << "20240100" << "2024.01.0_" << "2024.01.0 ";
        QTest::newRow("half typed") << "2024" << "2024.__.__" << "2024.  .  ";
        QTest::newRow("nothing") << "" << "____.__.__" << "";
        QTest::newRow("letters are no digits") << "ab" << "____.__.__" << "";
    }
    void typing() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QString, read);
        QWidget parent;
        QLineEdit* e = ui::DateEdit(&parent, "m_szakvet", "Szakápolásba vétel kezdete");
        parent.show();
        e->setFocus();
        e->setCursorPosition(0);
        QTest::keyClicks(e, keys);
        QCOMPARE(e->displayText(), shown);
        QCOMPARE(ui::DateEditText(e), read);
        QCOMPARE(e->objectName(), QString("m_szakvet"));
    }

    void aPastedImpossibleDayIsNotTaken() {
        QWidget parent;
        QLineEdit* e = ui::DateEdit(&parent, "m_elrend", "Elrendelés napja");
        parent.show();
        e->setFocus();
        e->setCursorPosition(0);
        QApplication::clipboard()->setText("2024.02.30");
        e->paste();
        QCOMPARE(ui::DateEditText(e), QString());
        QApplication::clipboard()->setText("2024.02.28");
        e->paste();
        QCOMPARE(ui::DateEditText(e), QString("2024.02.28"));
    }
};

VELMORA_UI_TEST(DateEditTest);

#include "DateEditTest.moc"
