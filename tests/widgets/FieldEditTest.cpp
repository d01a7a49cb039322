// The edits bound to a table field: the field's width, and only what code
// page 852 holds, wherever the cursor stands.
#include "support/ui/UiTest.h"

#include "store/Schemas.h"
#include "widgets/FieldEdit.h"

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
