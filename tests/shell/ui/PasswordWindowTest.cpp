// The login window on a real SYS table: the first password is stored, later
// starts accept only that one, and the menu's password change replaces it.
#include "support/ui/UiTest.h"

#include "app/Password.h"
#include "app/PasswordStore.h"
#include "db/Database.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/Tfokep.h"
#include "shell/ui/TPasswordDlg.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <memory>

using namespace velmora;
using Outcome = ui::TPasswordDlg::Outcome;
using velmora::test::ScriptedDialogs;

class PasswordWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DataDir> data;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<app::Session> session;
    std::unique_ptr<ScriptedDialogs> dialogs;

    // One start of the program: a fresh database object on the directory, a
    // login window, the text typed and OK pressed.
    struct Run {
        Outcome outcome;
        bool endsProgram;
        bool stillOpen;
    };
    Run login(const QString& typed, const std::string& dir = {}) {
        db::Database dbs(dir.empty() ? data->path() : dir);
        app::SysPasswordStore store(dbs);
        ui::TPasswordDlg dlg(*session, store, *dialogs, ui::CommandGuard(*dialogs));
        dlg.show();
        test::typeText(dlg.Password, typed);
        QTest::keyClick(dlg.Password, Qt::Key_Return);  // the default button
        return {dlg.outcome(), dlg.endsProgram(), dlg.isVisible()};
    }

    std::string storedForm() {
        db::Database dbs(data->path());
        db::Table& sys = dbs.table("SYS", "sys.dbf");
        sys.open();
        return sys.isEmpty() ? std::string() : (sys.first(), sys.text("P_W"));
    }

private slots:
    void init() {
        data = std::make_unique<test::DataDir>();
        clock = std::make_unique<app::FixedClock>(test::testToday());
        session = std::make_unique<app::Session>(*clock);
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        dialogs.reset();
        session.reset();
        clock.reset();
        data.reset();
    }

    void windowControls() {
        db::Database dbs(data->path());
        app::SysPasswordStore store(dbs);
        ui::TPasswordDlg dlg(*session, store, *dialogs, ui::CommandGuard(*dialogs));
        QCOMPARE(dlg.windowTitle(), QString("Bejelentkezési ablak"));
        QCOMPARE(dlg.toolTip(), QString("A jelszó megadása kötelező"));
        QCOMPARE(dlg.Label1->text(), QString("Kérem a jelszót"));
        QCOMPARE(dlg.Password->echoMode(), QLineEdit::Password);
        QCOMPARE(dlg.OKBtn->text(), QString("OK"));
        QCOMPARE(dlg.OKBtn->statusTip(), QString("Elmentés"));
        QCOMPARE(dlg.CancelBtn->text(), QString("Mégsem"));
        QCOMPARE(dlg.CancelBtn->statusTip(), QString("Mentés nélkül kilépés"));
        QVERIFY(dlg.OKBtn->isDefault());
        QVERIFY(std::filesystem::exists(data->path() + "sys.dbf"));  // created on opening
    }

    void firstStartSetsThePasswordAndLaterStartsCheckIt() {
        Run first = login("Titok");
        QCOMPARE(first.outcome, Outcome::Accepted);
        QVERIFY(!first.stillOpen);
        QCOMPARE(storedForm(), app::ScramblePassword("Titok"));

        Run wrong = login("titok");  // case matters
        QCOMPARE(wrong.outcome, Outcome::WrongPassword);
        QVERIFY(wrong.endsProgram);
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Érvénytelen jelszó!"});

        dialogs->clearLog();
        Run right = login("Titok");
        QCOMPARE(right.outcome, Outcome::Accepted);
        QVERIFY(!right.endsProgram);
        QVERIFY(dialogs->log().empty());
        QCOMPARE(storedForm(), app::ScramblePassword("Titok"));
    }

    void aPasswordTooLongToStoreIsRefused() {
        Run run = login(QString(14, 'z'));  // 14 x "183": 42 digits, the field holds 40
        QVERIFY(run.stillOpen);
        QCOMPARE(dialogs->errors(), std::vector<std::string>{app::kPasswordTooLong});
        QCOMPARE(storedForm(), std::string());

        dialogs->clearLog();
        QCOMPARE(login(QString(13, 'z')).outcome, Outcome::Accepted);  // 39 digits fit
        QVERIFY(dialogs->log().empty());
    }

    void anEmptyEntryActsAsCancel() {
        Run atStart = login("");
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Kötelező kitölteni!"});
        QCOMPARE(atStart.outcome, Outcome::Cancelled);
        QVERIFY(atStart.endsProgram);

        login("Titok");
        session->jels2 = true;
        Run changing = login("");
        QCOMPARE(changing.outcome, Outcome::Cancelled);
        QVERIFY(!changing.endsProgram);
        QCOMPARE(storedForm(), app::ScramblePassword("Titok"));
    }

    void passwordChangeFromTheMenu() {
        login("Régi");
        db::Database dbs(data->path());
        app::SysPasswordStore store(dbs);
        ui::Tfokep fokep(*session, *dialogs);
        fokep.setPasswordStore(&store);
        QAction* change = fokep.menuItem("Jelszmdosts1");
        QVERIFY(change->isEnabled());

        // "Mégsem" keeps the old password and the program.
        QString caption, prompt;
        test::onNextModal([&](QWidget* w) {
            caption = w->windowTitle();
            prompt = w->findChild<QLabel*>("Label1")->text();
            test::typeText(w->findChild<QLineEdit*>("Password"), "Új");
            QTest::mouseClick(w->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
        });
        change->trigger();
        QCOMPARE(caption, QString("Jelszó módosítása"));
        QCOMPARE(prompt, QString("Kérem a jelszó módosítását"));
        QCOMPARE(fokep.panels()->text(0), QString("A meglévő jelszó megváltoztatása"));
        QVERIFY(session->jels2);
        store.close();
        QCOMPARE(storedForm(), app::ScramblePassword("Régi"));

        // OK stores the new one without asking for the old.
        test::onNextModal([&](QWidget* w) {
            test::typeText(w->findChild<QLineEdit*>("Password"), "Új");
            QTest::mouseClick(w->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
        });
        change->trigger();
        store.close();
        QCOMPARE(storedForm(), app::ScramblePassword("Új"));

        session->jels2 = false;
        QCOMPARE(login("Régi").outcome, Outcome::WrongPassword);
        QCOMPARE(login("Új").outcome, Outcome::Accepted);
    }

    void aTableThatCannotBeCreated() {
        const std::string missing = data->path() + "nincs/";
        Run run = login("Titok", missing);
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message),
                 (std::vector<std::string>{"Hiba a lefutásban", "Hiba a készítésben!!!"}));
        // The window stays usable; OK fails with the engine's error.
        QVERIFY(run.stillOpen);
        QCOMPARE(dialogs->errors().size(), size_t(1));
    }
};

VELMORA_UI_TEST(PasswordWindowTest);

#include "PasswordWindowTest.moc"
