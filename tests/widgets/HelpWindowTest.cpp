// The help in the program's own window: the help file beside the program
// with its chapters, pictures and search; a help file that cannot be read
// is told, never passed over in silence. With VELMORA_SHOTS set to a
// directory, the help window is saved there as a picture.
#include "support/ui/UiTest.h"

#include "widgets/Help.h"
#include "widgets/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTextBrowser>
#include <QTextDocument>

using namespace velmora;

namespace {

// Runs `act` with the help path set to `path`, putting the real one back.
struct HelpFileAt {
    explicit HelpFileAt(const QString& path) { ui::SetHelpFilePath(path); }
    ~HelpFileAt() { ui::SetHelpFilePath({}); }
};

} // namespace

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The help file installed beside the program: its chapters listed,
    // its pictures found beside it, a chapter shown at its anchor.
    void showsTheInstalledHelpWithChaptersAndPictures() {
        QVERIFY(QFile::exists(ui::HelpFilePath()));
        QPointer<ui::HelpWindow> help = ui::Helphelp(QStringLiteral("listak"));
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowModality(), Qt::ApplicationModal);
        QCOMPARE(help->Text->source().fragment(), QString("listak"));
        QCOMPARE(help->chapter(), QString("listak"));
        QCOMPARE(help->Tartalom->currentItem()->text(), QString::fromUtf8("Listák és nyomtatás"));

        QStringList chapters;
        for (int i = 0; i < help->Tartalom->count(); ++i) chapters << help->Tartalom->item(i)->text();
        QVERIFY(chapters.contains(QString::fromUtf8("Bejelentkezés és jelszó")));
        QVERIFY(chapters.contains(QString::fromUtf8("Az elszámolási lapok nyilvántartása")));
        QCOMPARE(chapters.first(), QString::fromUtf8("A program indítása"));

        // The report samples are read from the help folder's pictures.
        const QVariant picture =
            help->Text->document()->resource(QTextDocument::ImageResource, QUrl("minta/havi-osszesito.png"));
        QVERIFY(picture.isValid());
        QVERIFY(!picture.value<QImage>().isNull() || !picture.value<QPixmap>().isNull() ||
                !picture.toByteArray().isEmpty());

        // A chapter chosen from the list is shown.
        for (int i = 0; i < help->Tartalom->count(); ++i)
            if (help->Tartalom->item(i)->text() == QString::fromUtf8("Adatküldés"))
                emit help->Tartalom->itemClicked(help->Tartalom->item(i));
        QCOMPARE(help->chapter(), QString("adatkuldes"));

        // With VELMORA_SHOTS set, the help window is saved as the help's
        // own picture, at the chapter of the reports' samples.
        if (const QByteArray shots = qgetenv("VELMORA_SHOTS"); !shots.isEmpty()) {
            help->showChapter(QStringLiteral("listak"));
            QApplication::processEvents();
            help->grab().toImage().convertToFormat(QImage::Format_Indexed8).save(QString::fromLocal8Bit(shots) + "/sugo.png");
        }
        help->close();
    }

    // Enter in the search line finds the next place, round to the
    // beginning; a text the help lacks says so.
    void searchFindsTheTextOrSaysThereIsNone() {
        QPointer<ui::HelpWindow> help = ui::Helphelp();
        QVERIFY(help);
        help->Kereses->setText(QString::fromUtf8("Zaras.arj"));
        QTest::keyClick(help->Kereses, Qt::Key_Return);
        QCOMPARE(help->Text->textCursor().selectedText(), QString::fromUtf8("Zaras.arj"));
        const int first = help->Text->textCursor().position();
        QVERIFY(help->findNext());
        QVERIFY(help->Text->textCursor().position() != first);
        QVERIFY(help->Talalat->text().isEmpty());

        help->Kereses->setText(QString::fromUtf8("nincs ilyen szöveg a súgóban"));
        QVERIFY(!help->findNext());
        QCOMPARE(help->Talalat->text(), QString::fromUtf8("Nincs találat."));
        help->close();
    }

    // A missing or empty help file: a Hungarian message naming the file,
    // no window.
    void aHelpFileThatCannotBeReadIsTold_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << false << QString::fromUtf8("A súgó nem nyitható meg: az állománya nem található!");
        QTest::newRow("empty") << true << QString::fromUtf8("A súgó nem nyitható meg: az állománya nem olvasható!");
    }
    void aHelpFileThatCannotBeReadIsTold() {
        QFETCH(bool, exists);
        QFETCH(QString, message);
        test::TempDir dir;
        const QString path = QString::fromStdString(dir.str()) + "/help/index.html";
        if (exists) {
            QDir().mkpath(QString::fromStdString(dir.str()) + "/help");
            QFile empty(path);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        }
        const HelpFileAt at(path);
        QString shown, detail;
        test::onNextModal([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                shown = box->text();
                detail = box->informativeText();
            }
        });
        QCOMPARE(ui::Helphelp(QStringLiteral("listak")), nullptr);
        QCOMPARE(shown, message);
        QCOMPARE(detail, path);
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<ui::HelpWindow*>(w) || !w->isVisible());
    }
};

VELMORA_UI_TEST(HelpWindowTest);
#include "HelpWindowTest.moc"
