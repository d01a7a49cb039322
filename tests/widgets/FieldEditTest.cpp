// The edits bound to a table field: the field's width, and only what code
// page 852 holds, wherever the cursor stands.
#include "support/ui/UiTest.h"

#include "store/Schemas.h"
#include "widgets/FieldEdit.h"

#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>

using namespace velmora;

class FieldEditTest : public QObject {
    Q_OBJECT

private slots:
    void validation_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("keptCursor");
        QTest::addColumn<QString>("refused");
        // Hungarian letters, the sign of the paragraph and the no-break space
        // are in the code page; typographic dashes and quotes, the euro, the
        // tilde o and anything beyond the BMP are not.
        QTest::newRow("code page text") << QString::fromUtf8("Őri Éva §12\u00a0ű") << 3
                                        << QString::fromUtf8("Őri Éva §12\u00a0ű") << 3 << QString();
        QTest::newRow("typed at the end") << QString::fromUtf8("Kiss€") << 5 << "Kiss" << 4 << QString::fromUtf8("€");
        QTest::newRow("typed in the middle") << QString::fromUtf8("Kõss") << 2 << "Kss" << 1 << QString::fromUtf8("õ");
        QTest::newRow("pasted") << QString::fromUtf8("Dr. –Kovács“ Anna") << 12 << QString::fromUtf8("Dr. Kovács Anna")
                                << 10 << QString::fromUtf8("–“");
        QTest::newRow("outside the BMP") << QString::fromUtf8("A😀B") << 3 << "AB" << 1 << QString::fromUtf8("😀");
        // Tabs and line breaks are spaces, other control characters go
        // without a word: they are no characters the user meant to keep.
        QTest::newRow("tab and line break") << QString::fromUtf8("Kovács\tÉva\nmásodik sor") << 22
                                            << QString::fromUtf8("Kovács Éva második sor") << 22 << QString();
        QTest::newRow("CR LF is one space") << QString("a\r\nb\x01" "c") << 5 << "a bc" << 3 << QString();
        QTest::newRow("control and refused") << QString::fromUtf8("x\x1b€y") << 4 << "xy" << 2 << QString::fromUtf8("€");
    }
    void validation() {
        QFETCH(QString, input);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, keptCursor);
        QFETCH(QString, refused);
        ui::FieldCharacters validator;
        QSignalSpy spy(&validator, &ui::FieldCharacters::refused);
        QCOMPARE(validator.validate(input, cursor), QValidator::Acceptable);
        QCOMPARE(input, kept);
        QCOMPARE(cursor, keptCursor);
        if (refused.isEmpty()) {
            QCOMPARE(spy.count(), 0);
        } else {
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toString(), refused);
        }
    }

    // A paste is cleaned before the field's width is counted: what is
    // dropped leaves room for what follows, up to the width.
    void pastedTextIsCleanedBeforeItIsCut_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lines") << QString::fromUtf8("Kovács\tÉva\nmásodik sor") << QString::fromUtf8("Kovács Éva második sor");
        // Three characters the code page lacks among the first 25.
        QTest::newRow("refused ones leave room") << QString::fromUtf8("Dr. “Kovács” Anna Mária–Zsófia")
                                                 << QString::fromUtf8("Dr. Kovács Anna MáriaZsóf");
        QTest::newRow("too long") << QString::fromUtf8("Abcdefghij Klmnopqrst Uvwxyz") << "Abcdefghij Klmnopqrst Uvw";
    }
    void pastedTextIsCleanedBeforeItIsCut() {
        QFETCH(QString, clipboard);
        QFETCH(QString, stored);
        QWidget parent;
        QLineEdit* nev = ui::FieldEdit(&parent, "Bnev", store::schema::BETEG(), "Nev", "A beteg neve");
        parent.show();
        nev->setFocus();
        QApplication::clipboard()->setText(clipboard);
        QTest::keyClick(nev, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(nev->text(), stored);
        QCOMPARE(nev->text().size(), std::min<qsizetype>(stored.size(), 25));
        // Pasted into the middle, the cut falls on the pasted text, not on
        // what stood after the cursor.
        nev->setText("Kiss Anna");
        nev->setCursorPosition(5);
        QApplication::clipboard()->setText(QString::fromUtf8("Mária\tTeréz\r\nXXXXXXXXXXXXXXXXX "));
        QTest::keyClick(nev, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(nev->text(), QString::fromUtf8("Kiss Mária Teréz XXXXAnna"));
    }

    void theEditIsAsWideAsItsField() {
        QWidget parent;
        QLineEdit* nev = ui::FieldEdit(&parent, "Bnev", store::schema::BETEG(), "Nev", "A beteg neve");
        QCOMPARE(nev->objectName(), QString("Bnev"));
        QCOMPARE(nev->maxLength(), 25);
        QCOMPARE(nev->toolTip(), QString("A beteg neve"));
        QCOMPARE(ui::FieldEdit(&parent, "azt", store::schema::BETEG(), "AZTIP")->maxLength(), 1);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, ui::FieldEdit(&parent, "x", store::schema::BETEG(), "NINCS"));
    }
};

VELMORA_UI_TEST(FieldEditTest);

#include "FieldEditTest.moc"
