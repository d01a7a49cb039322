// The location window over media folders made in a temp directory.
#include "support/ui/UiTest.h"

#include "shell/ui/TAlapkeres.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using velmora::test::ScriptedDialogs;

class LocationWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> tmp;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<ui::TAlapkeres> window;

    std::string media(const std::string& name = {}) const { return tmp->file("media") + (name.empty() ? "" : "/" + name); }
    QStringList drives() const {
        QStringList out;
        for (int i = 0; i < window->DriveCB->count(); ++i) out << window->DriveCB->itemText(i);
        return out;
    }
    QStringList listed() const {
        QStringList out;
        for (int i = 0; i < window->DirLB->count(); ++i) out << window->DirLB->item(i)->text().trimmed();
        return out;
    }
    void chooseDrive(const std::string& path) {
        const int index = window->DriveCB->findText(QString::fromStdString(path));
        QVERIFY(index >= 0);
        window->DriveCB->setCurrentIndex(index);
        emit window->DriveCB->activated(index);  // as when the user picks it
    }

private slots:
    void init() {
        tmp = std::make_unique<test::TempDir>();
        fs::create_directories(media("USB1/Mentes/2024"));
        fs::create_directories(media("USB1/Kuld"));
        fs::create_directories(media("KARTYA"));
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        session->gdir = tmp->str();
        dialogs = std::make_unique<ScriptedDialogs>();
        window = std::make_unique<ui::TAlapkeres>(*session, *dialogs, ui::CommandGuard(*dialogs));
        window->setMediaParents({media()});
        window->refreshDrives();
    }
    void cleanup() {
        window.reset();
        dialogs.reset();
        session.reset();
        clock.reset();
        tmp.reset();
    }

    void controlsAndHints() {
        QCOMPARE(window->windowTitle(), QString("Mentés helyének kiválasztása"));
        QCOMPARE(window->toolTip(), QString("Az útvonal kiválasztása"));
        QCOMPARE(window->DriveCB->statusTip(), QString("A meghajtó kiválasztása"));
        QCOMPARE(window->DirLB->statusTip(), QString("A könyvtár kiválasztása"));
        QCOMPARE(window->Igen->text(), QString("&OK"));
        QCOMPARE(window->Igen->statusTip(), QString("Az útvonal elmentése"));
        QVERIFY(window->Igen->isDefault());
        QCOMPARE(window->Nem->text(), QString("&Mégsem"));
        QCOMPARE(window->Nem->statusTip(), QString("Vissza az alapbeállításra"));
        // It starts in the working directory.
        QCOMPARE(window->directory(), tmp->str());
    }

    void drivesAreRootHomeAndMedia() {
        const QStringList d = drives();
        QCOMPARE(d.first(), QString("/"));
        QVERIFY(d.contains(QDir::homePath()) || QDir::homePath() == "/");
        QVERIFY(d.contains(QString::fromStdString(media("USB1"))));
        QVERIFY(d.contains(QString::fromStdString(media("KARTYA"))));
    }

    void choosingADriveAndADirectory() {
        chooseDrive(media("USB1"));
        QCOMPARE(window->directory(), media("USB1"));
        QCOMPARE(listed(), (QStringList{QString::fromStdString(media("USB1")), "Kuld", "Mentes"}));

        QListWidgetItem* mentes = window->DirLB->findItems("Mentes", Qt::MatchEndsWith).value(0);
        QVERIFY(mentes);
        emit window->DirLB->itemDoubleClicked(mentes);
        QCOMPARE(window->directory(), media("USB1/Mentes"));
        QCOMPARE(listed(), (QStringList{QString::fromStdString(media("USB1")), "Mentes", "2024"}));

        window->show();
        QTest::mouseClick(window->Igen, Qt::LeftButton);
        QVERIFY(session->fment);
        QCOMPARE(window->directory(), media("USB1/Mentes"));  // kept for the caller and the next use
    }

    void aDriveThatIsNotReady() {
        chooseDrive(media("USB1"));
        fs::remove_all(media("KARTYA"));  // the card was pulled out
        chooseDrive(media("KARTYA"));
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Warning), std::vector<std::string>{"Hiba: A meghajtó nem kész"});
        QCOMPARE(window->DriveCB->currentText(), QString::fromStdString(media("USB1")));
        QCOMPARE(window->directory(), media("USB1"));
        QVERIFY(!drives().contains(QString::fromStdString(media("KARTYA"))));  // no longer offered
    }

    // A drive taken out while the window is open: the list read again when
    // it is opened, and "OK" on a place that went away refused with a
    // message, the window left open on a drive that is there.
    void aDriveTakenOutWhileTheWindowIsOpen() {
        window->show();
        chooseDrive(media("USB1"));
        QListWidgetItem* mentes = window->DirLB->findItems("Mentes", Qt::MatchEndsWith).value(0);
        QVERIFY(mentes);
        emit window->DirLB->itemDoubleClicked(mentes);
        fs::remove_all(media("KARTYA"));
        QTest::mouseClick(window->DriveCB, Qt::LeftButton);
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        QVERIFY(!drives().contains(QString::fromStdString(media("KARTYA"))));
        QCOMPARE(window->DriveCB->currentText(), QString::fromStdString(media("USB1")));

        fs::remove_all(media("USB1"));
        QTest::mouseClick(window->Igen, Qt::LeftButton);
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Warning), std::vector<std::string>{ui::kPlaceGone});
        QVERIFY(window->isVisible());
        QVERIFY(!session->fment);
        QVERIFY(!drives().contains(QString::fromStdString(media("USB1"))));
        QVERIFY(fs::is_directory(window->directory()));
        window->hide();
    }

    void placementAndConfirmationOnEveryOpening() {
        window->beolv = "S";
        window->move(400, 300);
        session->fment = true;
        window->show();
        QCOMPARE(window->pos(), QPoint(25, 50));
        QVERIFY(!session->fment);
        window->close();  // the close box counts as "Mégsem"
        QVERIFY(!session->fment);

        QWidget restore;
        restore.setGeometry(100, 200, 400, 300);
        restore.show();
        window->beolv = "V";
        window->restoreWindow = &restore;
        window->show();
        const QRect r = restore.frameGeometry();
        QCOMPARE(window->pos(), QPoint(r.left() + r.width() / 2, r.top() + r.height()));
        QTest::mouseClick(window->Nem, Qt::LeftButton);
        QVERIFY(!session->fment);
        QVERIFY(!window->isVisible());
    }
};

VELMORA_UI_TEST(LocationWindowTest);

#include "LocationWindowTest.moc"
