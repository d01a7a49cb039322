// Masked edits (dates, diagnosis codes, periods): wherever the user clicks
// into an empty or half-filled mask, or however the focus comes in, what is
// typed next is taken from the first empty position on.
#include "support/ui/UiTest.h"

#include "widgets/DateEdit.h"
#include "widgets/MaskedEdit.h"

#include <QLineEdit>
#include <QVBoxLayout>

using namespace velmora;

namespace {

// An edit with the mask, shown at a width that leaves room right of the
// mask's text, as the entry window's edits do.
QLineEdit* maskedEdit(QWidget& parent, const QString& mask) {
    auto* e = new QLineEdit(&parent);
    ui::SetEditMask(e, mask);
    e->setFixedWidth(200);
    return e;
}

} // namespace

class MaskedEditTest : public QObject {
    Q_OBJECT

private slots:
    void typingAfterAClickIsTaken_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("before");  // already in the edit
        QTest::addColumn<int>("clickAt");     // -1: near the right edge
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("date, right edge") << "0000.00.00;_" << "" << -1 << "20240502" << "2024.05.02";
        QTest::newRow("date, on its day") << "0000.00.00;_" << "" << 9 << "20240502" << "2024.05.02";
        QTest::newRow("half a date") << "0000.00.00;_" << "2024" << -1 << "0502" << "2024.05.02";
        QTest::newRow("diagnosis code") << ">nnnnn; " << "" << -1 << "c3490" << "C3490";
        QTest::newRow("diagnosis code, middle") << ">nnnnn; " << "" << 3 << "C50" << "C50  ";
        QTest::newRow("period") << "9999.99;_" << "" << -1 << "202405" << "2024.05";
        QTest::newRow("birth day") << "9999.99.99" << "" << -1 << "19500714" << "1950.07.14";
        // A filled position keeps its place: the click lands where it was.
        QTest::newRow("filled date, month") << "0000.00.00;_" << "2024.05.02" << 6 << "6" << "2024.06.02";
    }
    void typingAfterAClickIsTaken() {
        QFETCH(QString, mask);
        QFETCH(QString, before);
        QFETCH(int, clickAt);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QWidget parent;
        auto* other = new QLineEdit(&parent);
        QLineEdit* e = maskedEdit(parent, mask);
        auto* layout = new QVBoxLayout(&parent);
        layout->addWidget(other);
        layout->addWidget(e);
        e->setText(before);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        other->setFocus();
        QPoint at(e->width() - 6, e->height() / 2);
        // The first point a click there puts the cursor on that position.
        for (int x = 0; clickAt >= 0 && x < e->width(); ++x)
            if (e->cursorPositionAt(QPoint(x, at.y())) == clickAt) {
                at.setX(x);
                break;
            }
        QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(e));
        QTest::keyClicks(e, keys);
        QCOMPARE(e->displayText(), shown);
    }

    // The focus put back by the program (after a refused exit) or coming
    // back from another window finds the cursor on the first empty place.
    // (Tab puts it on the first position, to type the field anew.)
    void focusComesInOnTheFirstEmptyPosition() {
        for (const auto reason : {Qt::OtherFocusReason, Qt::ActiveWindowFocusReason}) {
            QWidget parent;
            auto* other = new QLineEdit(&parent);
            QLineEdit* e = ui::DateEdit(&parent, "m_elrend", "Elrendelés napja");
            auto* layout = new QVBoxLayout(&parent);
            layout->addWidget(other);
            layout->addWidget(e);
            parent.show();
            QVERIFY(QTest::qWaitForWindowActive(&parent));
            e->setText("2024");
            e->end(false);
            other->setFocus();
            e->setFocus(reason);
            QCOMPARE(e->cursorPosition(), 5);
            QTest::keyClicks(e, "0502");
            QCOMPARE(ui::DateEditText(e), QString("2024.05.02"));
        }
    }

    // A key pressed at the end of the mask, where Qt would drop it, goes to
    // the first empty position.
    void aKeyAtTheEndIsNotLost() {
        QWidget parent;
        QLineEdit* e = maskedEdit(parent, ">nnnnn; ");
        parent.show();
        e->setFocus();
        e->end(false);
        QTest::keyClicks(e, "z1");
        QCOMPARE(e->displayText(), QString("Z1   "));
        QCOMPARE(ui::FirstEmptyPosition(e), 2);
    }
};

VELMORA_UI_TEST(MaskedEditTest);

#include "MaskedEditTest.moc"
