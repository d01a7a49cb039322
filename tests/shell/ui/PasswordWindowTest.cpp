// The login window on a real SYS table: the first password is stored as its
// hash, later starts accept only that one, an old scrambled form is upgraded
// on its first login, a damaged store is named, and the menu's password
// change asks for the current password before the new one twice.
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
        const std::string hash = storedForm();
        QVERIFY(app::KindOfStoredForm(hash) == app::StoredForm::Hash);
        QVERIFY(app::PasswordMatches(hash, "Titok"));

        Run wrong = login("titok");  // case matters
        QCOMPARE(wrong.outcome, Outcome::WrongPassword);
        QVERIFY(wrong.endsProgram);
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Érvénytelen jelszó!"});

        dialogs->clearLog();
        Run right = login("Titok");
        QCOMPARE(right.outcome, Outcome::Accepted);
        QVERIFY(!right.endsProgram);
        QVERIFY(dialogs->log().empty());
        QCOMPARE(storedForm(), hash);
    }

    void aPasswordTooLongIsRefused() {
        Run run = login(QString(257, QChar(0x151)));  // "ő" beyond the 256 characters
        QVERIFY(run.stillOpen);
        QCOMPARE(dialogs->errors(), std::vector<std::string>{app::kPasswordTooLong});
        QCOMPARE(storedForm(), std::string());

        dialogs->clearLog();
        QCOMPARE(login(QString(256, QChar(0x151))).outcome, Outcome::Accepted);
        QVERIFY(dialogs->log().empty());
    }

    // An installation from before the hash: SYS of the old layout with the
    // scrambled form. The right password gets in and leaves the hash.
    void theOldFormIsUpgradedOnItsFirstLogin() {
        {
            db::Database dbs(data->path());
            db::Table& sys = dbs.table("SYS", "sys.dbf");
            sys.create({db::FieldDef::character("P_W", 40)});
            sys.open();
            sys.append();
            sys.setField("P_W", db::Value(app::ScramblePassword("Régi")));
            sys.post();
        }
        QCOMPARE(login("Régi").outcome, Outcome::Accepted);
        QVERIFY(dialogs->log().empty());
        QVERIFY(app::KindOfStoredForm(storedForm()) == app::StoredForm::Hash);
        QCOMPARE(login("régi").outcome, Outcome::WrongPassword);
        QCOMPARE(login("Régi").outcome, Outcome::Accepted);
    }

    void aDamagedStoreEndsTheStartWithItsReason() {
        {
            db::Database dbs(data->path());
            app::SysPasswordStore store(dbs);
            store.create();
            store.open();
            store.write("$argon2id$v=19$m=65536,t=2,p=1$sérült");
        }
        Run run = login("Titok");
        QCOMPARE(run.outcome, Outcome::WrongPassword);
        QVERIFY(run.endsProgram);
        QCOMPARE(dialogs->errors(), std::vector<std::string>{app::kPasswordStoreDamaged});
    }

    void anEmptyEntryActsAsCancel() {
        Run atStart = login("");
        QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Kötelező kitölteni!"});
        QCOMPARE(atStart.outcome, Outcome::Cancelled);
        QVERIFY(atStart.endsProgram);

        login("Titok");
        const std::string hash = storedForm();
        session->jels2 = true;
        Run changing = login("");
        QCOMPARE(changing.outcome, Outcome::Cancelled);
        QVERIFY(!changing.endsProgram);
        QCOMPARE(storedForm(), hash);
    }

    // The menu's change through the real window: the prompts each entry is
    // typed under, the button that ends it, and the password that works
    // afterwards. Every refusal leaves the old password and the program.
    void passwordChangeFromTheMenu_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("prompts");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("works");
        const QString current = "Kérem a jelenlegi jelszót", fresh = "Kérem a jelszó módosítását",
                      again = "Kérem az új jelszót még egyszer";
        const QString differ = QString::fromUtf8(app::kPasswordsDiffer);
        QTest::newRow("changed") << QStringList{"Régi", "Új", "Új"} << "OKBtn"
                                 << QStringList{current, fresh, again} << QStringList{} << "Új";
        QTest::newRow("wrong current") << QStringList{"Új"} << "OKBtn" << QStringList{current}
                                       << QStringList{"Érvénytelen jelszó!"} << "Régi";
        QTest::newRow("cancelled at the new one") << QStringList{"Régi", "Új"} << "CancelBtn"
                                                  << QStringList{current, fresh} << QStringList{} << "Régi";
        QTest::newRow("second entry differs") << QStringList{"Régi", "Új", "Uj", "Új", "Új"} << "OKBtn"
                                              << QStringList{current, fresh, again, fresh, again}
                                              << QStringList{differ} << "Új";
    }
    void passwordChangeFromTheMenu() {
        QFETCH(QStringList, typed);
        QFETCH(QString, button);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, boxes);
        QFETCH(QString, works);
        login("Régi");
        db::Database dbs(data->path());
        app::SysPasswordStore store(dbs);
        ui::Tfokep fokep(*session, *dialogs);
        fokep.setPasswordStore(&store);
        QAction* change = fokep.menuItem("Jelszmdosts1");
        QVERIFY(change->isEnabled());

        QString caption;
        QStringList seen;
        test::onNextModal([&](QWidget* w) {
            caption = w->windowTitle();
            auto* entry = w->findChild<QLineEdit*>("Password");
            for (int i = 0; i < typed.size(); ++i) {
                seen << w->findChild<QLabel*>("Label1")->text();
                QVERIFY(entry->text().isEmpty());
                test::typeText(entry, typed[i]);
                const bool last = i + 1 == typed.size();
                QTest::mouseClick(w->findChild<QPushButton*>(last ? button : "OKBtn"), Qt::LeftButton);
            }
        });
        change->trigger();
        QCOMPARE(caption, QString("Jelszó módosítása"));
        QCOMPARE(seen, prompts);
        QCOMPARE(fokep.panels()->text(0), QString("A meglévő jelszó megváltoztatása"));
        QVERIFY(session->jels2);
        QStringList shown;
        for (const auto& e : dialogs->log())
            if (e.kind != ScriptedDialogs::Kind::Status) shown << QString::fromStdString(e.text);
        QCOMPARE(shown, boxes);
        store.close();

        session->jels2 = false;
        const bool changed = works != "Régi";
        QCOMPARE(login(changed ? "Régi" : "Új").outcome, Outcome::WrongPassword);
        QCOMPARE(login(works).outcome, Outcome::Accepted);
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
