// "Mentés" and "Visszatöltés" chosen from the menu: the questions, the
// location window under each command's caption and place, the restore
// window's two sources and its refusals, and the tables afterwards.
#include "support/ui/MenuOwner.h"
#include "support/ui/UiTest.h"

#include "backup/ArchiveCrypt.h"
#include "backup/Backup.h"
#include "backup/Restore.h"
#include "backup/ui/BackupCommands.h"
#include "backup/ui/Tmentjel.h"
#include "backup/ui/Tviszv.h"
#include "shell/ui/TAlapkeres.h"
#include "store/Schemas.h"
#include "store/IndexFiles.h"
#include "support/TableFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using Kind = test::ScriptedDialogs::Kind;

class BackupWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> data, drive;
    std::unique_ptr<test::Start> start;
    std::unique_ptr<test::MenuOwner> owner;
    std::unique_ptr<ui::TAlapkeres> location;
    std::unique_ptr<ui::BackupCommands> commands;

    test::ScriptedDialogs& dialogs() { return start->dialogs; }
    db::Table& apol() { return store::tableOf(start->db, store::schema::APOL()); }

    std::vector<std::string> nurses() {
        std::vector<std::string> out;
        for (apol().first(); !apol().eof(); apol().next()) out.push_back(apol().text("Anev"));
        return out;
    }
    void addNurse(const char* taj, const char* name) {
        apol().append();
        apol().setField("Aptaj", db::Value(taj));
        apol().setField("Anev", db::Value(name));
        apol().post();
    }

    // The backup's one closing message, with its summary below.
    bool endedWithDone() {
        const auto info = dialogs().texts(Kind::Information);
        return info.size() == 1 && info[0].rfind(backup::kBackupDone, 0) == 0;
    }

    // The location window: its caption noted, the folder picked and left
    // with "OK" (or "Mégsem" when `folder` is empty).
    std::function<void(QWidget*)> pick(std::string folder, QString* caption = nullptr, QPoint* at = nullptr) {
        return [this, folder, caption, at](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(location.get()));
            if (caption) *caption = window->windowTitle();
            if (at) *at = window->pos();
            if (folder.empty()) return QTest::mouseClick(location->Nem, Qt::LeftButton);
            location->setDirectory(folder);
            QTest::mouseClick(location->Igen, Qt::LeftButton);
        };
    }

    // The passphrase window: its prompt noted, the text typed and "OK"
    // pressed (or "Mégsem" when `typed` is null); `then` waits for the next
    // window.
    std::function<void(QWidget*)> passphrase(const char* typed, QStringList* prompts,
                                             std::function<void(QWidget*)> then = {}) {
        return [this, typed, prompts, then](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(commands->mentjel()));
            auto* w = commands->mentjel();
            prompts->append(w->Label1->text());
            QCOMPARE(w->Jelszo->echoMode(), QLineEdit::Password);
            QVERIFY(w->Jelszo->text().isEmpty());
            if (!typed) {
                QTest::mouseClick(w->CancelBtn, Qt::LeftButton);
            } else {
                test::typeText(w->Jelszo, QString::fromUtf8(typed));
                QTest::mouseClick(w->OKBtn, Qt::LeftButton);
            }
            afterClose(then);
        };
    }
    // The location window, then the passphrase window once or twice.
    std::function<void(QWidget*)> pickThen(std::string folder, std::function<void(QWidget*)> then) {
        return [this, folder, then](QWidget* window) {
            pick(folder)(window);
            afterClose(then);
        };
    }
    // The next window is waited for once the one just left is hidden, so
    // that it is not taken for the next.
    static void afterClose(std::function<void(QWidget*)> then) {
        if (then) QTimer::singleShot(0, [then] { test::onNextModal(then); });
    }

    // The restore window: an item chosen (none when null), then "OK".
    void restoreWith(QRadioButton* ui::Tviszv::*item, std::function<void(QWidget*)> thenLocation = {}) {
        dialogs().answerYes();
        test::onNextModal([this, item, thenLocation](QWidget* window) {
            QCOMPARE(window, static_cast<QWidget*>(commands->viszv()));
            QVERIFY(!commands->viszv()->RG1Ment->isChecked() && !commands->viszv()->RG1Utvonal->isChecked());
            if (item) (commands->viszv()->*item)->setChecked(true);
            if (thenLocation) test::onNextModal(thenLocation);
            QTest::mouseClick(commands->viszv()->B1, Qt::LeftButton);
        });
        owner->menuItem("Visszatlts1")->trigger();
    }

    // Backs up with one nurse, archive copied to the drive, then adds a second.
    void backUpThenChange() {
        dialogs().answerYes().answerNo();  // outside MENT, not encrypted
        test::onNextModal(pick(drive->str()));
        owner->menuItem("Ments1")->trigger();
        QVERIFY(fs::exists(drive->file("Zaras.arj")));
        addNurse("222222222", "Később Felvett");
        dialogs().clearLog();
    }

private slots:
    void init() {
        data = std::make_unique<test::TempDir>();
        drive = std::make_unique<test::TempDir>();
        test::writeFundTables(data->str());
        test::writeTable(data->str(), "Apol.dbf", store::schema::APOL().fields, {{"111111111", "Mentett Ápoló"}});
        start = std::make_unique<test::Start>(data->str());
        QVERIFY(start->run());
        start->session.mentdir = data->file("MENT") + "/";
        start->session.ktemp = data->file("TEMP") + "/";
        owner = std::make_unique<test::MenuOwner>();
        location = std::make_unique<ui::TAlapkeres>(start->session, dialogs(), ui::CommandGuard(dialogs()),
                                                    owner.get());
        commands = std::make_unique<ui::BackupCommands>(*owner, start->session, start->db, dialogs(), *location);
        owner->plug(commands->commands());
        dialogs().clearLog();
    }
    void cleanup() {
        commands.reset();
        location.reset();
        owner.reset();
        start.reset();
        drive.reset();
        data.reset();
    }

    // Yes, then the location window at its backup place under the backup's
    // caption: the tested archive on the drive and the closing message.
    void backupToAChosenPlace() {
        location->setWindowTitle("Eredeti");
        dialogs().answerYes().answerNo();
        QString caption;
        QPoint at;
        test::onNextModal(pick(drive->str(), &caption, &at));
        owner->menuItem("Ments1")->trigger();
        QCOMPARE(caption, QString::fromUtf8(backup::kPlaceCaption));
        QCOMPARE(at, QPoint(25, 50));
        QCOMPARE(location->windowTitle(), QString("Eredeti"));
        QVERIFY(fs::exists(drive->file("Zaras.arj")));
        QVERIFY(fs::exists(data->file("MENT/HLapb.dbf")));
        QVERIFY(dialogs().problems().empty());
        QVERIFY(endedWithDone());
        QCOMPARE(nurses(), std::vector<std::string>{"Mentett Ápoló"});  // the tables are open again
    }

    // "Mégsem" in the location window: the set and its archive stay in MENT.
    void backupWithoutAPlace() {
        dialogs().answerYes();
        test::onNextModal(pick(""));
        owner->menuItem("Ments1")->trigger();
        QVERIFY(fs::exists(data->file("MENT/Zaras.arj")));
        QVERIFY(fs::is_empty(drive->path()));
        QCOMPARE(dialogs().texts(Kind::Warning), std::vector<std::string>{backup::kNoPlace});
        QVERIFY(endedWithDone());
    }

    // Yes to the encryption: the passphrase window twice, the encrypted copy
    // alone on the drive; it restores through the restore window and the
    // passphrase window, and a wrong passphrase there changes nothing.
    void encryptedBackupAndItsRestore() {
        dialogs().answerYes().answerYes();
        QStringList prompts;
        test::onNextModal(pickThen(drive->str(), passphrase("Pendrive jelszó ő", &prompts,
                                                            passphrase("Pendrive jelszó ő", &prompts))));
        owner->menuItem("Ments1")->trigger();
        QCOMPARE(prompts, (QStringList{QString::fromUtf8(backup::kPassphrasePrompt),
                                       QString::fromUtf8(backup::kPassphraseAgainPrompt)}));
        QVERIFY(dialogs().problems().empty());
        QVERIFY(endedWithDone());
        QVERIFY(fs::exists(drive->file(backup::kEncryptedArchiveName)));
        QVERIFY(!fs::exists(drive->file("Zaras.arj")));
        QVERIFY(backup::decryptsTo(drive->file(backup::kEncryptedArchiveName), data->file("MENT/Zaras.arj"),
                                   "Pendrive jelszó ő"));
        addNurse("222222222", "Később Felvett");
        const std::vector<std::string> now{"Mentett Ápoló", "Később Felvett"};

        dialogs().clearLog();
        prompts.clear();
        restoreWith(&ui::Tviszv::RG1Utvonal, pickThen(drive->str(), passphrase("Pendrive jelszo", &prompts)));
        QCOMPARE(prompts, QStringList{QString::fromUtf8(backup::kPassphrasePrompt)});
        QCOMPARE(dialogs().errors().size(), size_t(1));
        QVERIFY(dialogs().errors()[0].find(backup::kWrongPassphrase) != std::string::npos);
        QCOMPARE(nurses(), now);

        dialogs().clearLog();
        restoreWith(&ui::Tviszv::RG1Utvonal, pickThen(drive->str(), passphrase(nullptr, &prompts)));
        QCOMPARE(dialogs().texts(Kind::Information), std::vector<std::string>{backup::kNoRestore});
        QCOMPARE(nurses(), now);

        dialogs().clearLog();
        restoreWith(&ui::Tviszv::RG1Utvonal, pickThen(drive->str(), passphrase("Pendrive jelszó ő", &prompts)));
        QVERIFY(dialogs().problems().empty());
        QCOMPARE(nurses(), std::vector<std::string>{"Mentett Ápoló"});
    }

    void restoreFromMent() {
        backUpThenChange();
        restoreWith(&ui::Tviszv::RG1Ment);
        QCOMPARE(nurses(), std::vector<std::string>{"Mentett Ápoló"});
        QVERIFY(dialogs().problems().empty());
        QCOMPARE(dialogs().statusText(0), std::string(backup::kIndexDone));
    }

    // "Választott útvonal": the location window below the restore window,
    // under the restore's caption; the archive there is read.
    void restoreFromTheArchiveOfAChosenFolder() {
        backUpThenChange();
        fs::remove_all(data->file("MENT"));
        QString caption;
        QPoint at;
        restoreWith(&ui::Tviszv::RG1Utvonal, pick(drive->str(), &caption, &at));
        QCOMPARE(caption, QString::fromUtf8("Visszatöltés helyének kiválsztása"));
        const QRect viszv = commands->viszv()->frameGeometry();
        QCOMPARE(at, QPoint(viszv.left() + viszv.width() / 2, viszv.top() + viszv.height()));
        QCOMPARE(nurses(), std::vector<std::string>{"Mentett Ápoló"});
        QVERIFY(dialogs().problems().empty());
    }

    // No item, "Mégsem" in the location window, a folder without an archive,
    // or No to the question: the second nurse stays.
    void refusedRestoresChangeNothing() {
        backUpThenChange();
        const std::vector<std::string> now{"Mentett Ápoló", "Később Felvett"};

        restoreWith(nullptr);
        QCOMPARE(dialogs().errors(), std::vector<std::string>{backup::kNoSourceChosen});
        QCOMPARE(nurses(), now);

        dialogs().clearLog();
        restoreWith(&ui::Tviszv::RG1Utvonal, pick(""));
        QVERIFY(dialogs().problems().empty());
        QCOMPARE(nurses(), now);

        fs::create_directories(data->file("TEMP"));
        restoreWith(&ui::Tviszv::RG1Utvonal, pick(data->file("TEMP")));
        QCOMPARE(dialogs().errors().size(), size_t(1));
        QVERIFY(dialogs().errors()[0].find("ZARAS.ARJ!!") != std::string::npos);
        QCOMPARE(nurses(), now);

        dialogs().clearLog();
        dialogs().answerNo();
        owner->menuItem("Visszatlts1")->trigger();
        QCOMPARE(dialogs().texts(Kind::Information), std::vector<std::string>{backup::kNoRestore});
        QCOMPARE(nurses(), now);
    }
};

VELMORA_UI_TEST(BackupWindowTest);
#include "BackupWindowTest.moc"
