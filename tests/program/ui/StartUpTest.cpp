// The start-up sequence in the main window, from the login to the maximised
// window, on a fresh working directory.
#include "support/ui/UiTest.h"

#include "app/DataDirLock.h"
#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "db/Database.h"
#include "program/ui/StartUp.h"
#include "shell/ui/StatusPanels.h"
#include "shell/ui/Tfokep.h"
#include "support/TableFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;
using velmora::test::ScriptedDialogs;

namespace {

// Answers the login, then (when given) the period window.
void answerStartUp(const QString& password, const QString& period) {
    test::onNextModal([=](QWidget* login) {
        if (!period.isEmpty())
            test::onNextModal([=](QWidget* zarasbe) {
                QTest::keyClicks(zarasbe->findChild<QLineEdit*>("ME1"), period);
                QTest::mouseClick(zarasbe->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
            });
        test::typeText(login->findChild<QLineEdit*>("Password"), password);
        QTest::mouseClick(login->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> work;
    fs::path previousDir;
    std::unique_ptr<app::FixedClock> clock;
    std::unique_ptr<ScriptedDialogs> dialogs;

    struct Program {
        app::Session session;
        db::Database dbs;
        app::SysPasswordStore passwords;
        app::ZarasPeriodTable periods;
        ui::Tfokep fokep;
        Program(const app::Clock& clock, const std::string& dataDir, app::Dialogs& dialogs)
            : session(clock), dbs(dataDir), passwords(dbs), periods(dbs.table("ZARAS", "Zaras.dbf")),
              fokep(session, dialogs) {
            session.dataDir = dataDir;
            fokep.setPasswordStore(&passwords);
            fokep.setPeriodTable(&periods);
        }
    };
    std::unique_ptr<Program> start() {
        return std::make_unique<Program>(*clock, app::ProgramDataDir(work->str()), *dialogs);
    }
private slots:
    void init() {
        work = std::make_unique<test::TempDir>();
        fs::create_directory(work->path() / "DATA");
        test::writeFundTables((work->path() / "DATA").string());
        previousDir = fs::current_path();
        fs::current_path(work->path());  // the program works where it is started
        clock = std::make_unique<app::FixedClock>(test::testToday());
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup() {
        fs::current_path(previousDir);
        dialogs.reset();
        clock.reset();
        work.reset();
    }

    void firstStartSetsUpEverything() {
        auto program = start();
        answerStartUp("abc", "202406");
        QVERIFY(ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs).ready());

        QVERIFY(dialogs->errors().empty());
        QVERIFY(dialogs->texts(ScriptedDialogs::Kind::Message).empty());
        QVERIFY(dialogs->statusText(1).find("FINkód") != std::string::npos);
        QCOMPARE(program->session.mIdoszak, std::string("2024.06"));
        QCOMPARE(program->fokep.ID->text(), QString("2024.06"));
        QCOMPARE(program->session.alapert, 5640);
        QCOMPARE(program->session.ellsz, 910000000);
        for (const char* dir : {"LISTA", "KULD", "TEMP", "DATA/MENT"}) QVERIFY2(fs::is_directory(work->path() / dir), dir);
        QCOMPARE(program->session.kkuld, work->str() + "/KULD/");
        QVERIFY(program->fokep.isMaximized());
        QCOMPARE(program->fokep.panels()->text(0), QString());
        QCOMPARE(program->fokep.panels()->text(2), QString("2024.06.10"));
    }

    void aDataDirectoryHeldByAnotherRunTurnsTheProgramAway() {
        const std::string data = app::ProgramDataDir(work->str());
        std::unique_ptr<app::DataDirLock> hold;
        {
            const auto other = app::DataDirLock::tryAcquire(data);  // velmora-batch, or a second copy
            QVERIFY(other);
            QString shown;
            test::onNextModal([&shown](QWidget* box) {
                shown = box->findChild<QLabel*>("qt_msgbox_label")->text();
                box->close();
            });
            QVERIFY(!ui::HoldDataDir(data, hold));
            QVERIFY(!hold);
            QCOMPARE(shown.toStdString(), app::dataDirHeldMessage(data));
        }
        QVERIFY(ui::HoldDataDir(data, hold));  // free again once the other run ended
        QVERIFY(hold);
        QVERIFY(!app::DataDirLock::tryAcquire(data));
        QVERIFY(ui::HoldDataDir((work->path() / "NINCS").string(), hold));  // no directory: the start-up tells
        QVERIFY(!hold);
    }

    void aWrongPasswordOrCancelledPeriodEndsTheProgram() {
        {
            auto first = start();
            answerStartUp("abc", "202406");
            QVERIFY(ui::RunStartUp(first->fokep, first->session, first->dbs, *dialogs).ready());
        }
        {
            auto second = start();
            answerStartUp("abd", "");
            QVERIFY(!ui::RunStartUp(second->fokep, second->session, second->dbs, *dialogs).goesOn());
            QCOMPARE(dialogs->texts(ScriptedDialogs::Kind::Message), std::vector<std::string>{"Érvénytelen jelszó!"});
            QVERIFY(!second->fokep.isVisible());
        }
        {
            auto third = start();
            test::onNextModal([](QWidget* login) {
                test::onNextModal([](QWidget* zarasbe) { zarasbe->close(); });
                test::typeText(login->findChild<QLineEdit*>("Password"), "abc");
                QTest::mouseClick(login->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
            });
            QVERIFY(!ui::RunStartUp(third->fokep, third->session, third->dbs, *dialogs).goesOn());
        }
    }

    void anErrorInTheSequenceIsShownAndTheWindowOpensNevertheless() {
        std::ofstream(work->path() / "DATA" / "Apol.dbf") << "nem tábla";
        auto program = start();
        answerStartUp("abc", "202406");
        // Not a success: the result says the sequence stopped, and on what.
        const program::StartupResult result = ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs);
        QCOMPARE(result.state, program::StartupResult::State::Stopped);
        QVERIFY(result.goesOn());
        QVERIFY(result.failure && result.failure->text.find("Apol.dbf") != std::string::npos);
        QCOMPARE(ui::ExitCodeOf(result), 0);  // the window opens for the repair
        QCOMPARE(dialogs->errors().size(), size_t(1));
        QVERIFY(dialogs->errors()[0].find("Apol.dbf") != std::string::npos);
        QVERIFY(!fs::exists(work->path() / "LISTA"));    // the rest of the sequence did not run
        QCOMPARE(program->session.alapert, 5640);        // the base fee is set after the sequence
        QVERIFY(program->fokep.isMaximized());
        std::ifstream kept(work->path() / "DATA" / "Apol.dbf");
        QCOMPARE(std::string(std::istreambuf_iterator<char>(kept), {}), std::string("nem tábla"));
    }

    void aSecondCopyOnTheSameDataDirectoryEndsCleanly() {
        auto first = start();
        answerStartUp("abc", "202406");
        QVERIFY(ui::RunStartUp(first->fokep, first->session, first->dbs, *dialogs).ready());
        auto second = start();
        answerStartUp("abc", "");
        const program::StartupResult result = ui::RunStartUp(second->fokep, second->session, second->dbs, *dialogs);
        QCOMPARE(result.state, program::StartupResult::State::Failed);
        QCOMPARE(ui::ExitCodeOf(result), 1);
        QCOMPARE(dialogs->errors().size(), size_t(1));
        QVERIFY(dialogs->errors()[0].find("másik program") != std::string::npos);
        QVERIFY(!second->fokep.isVisible());
    }

    void missingFundTablesEndTheProgram() {
        fs::remove(work->path() / "DATA" / "HTHELY.DBF");
        auto program = start();
        answerStartUp("abc", "202406");
        QVERIFY(!ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs).goesOn());
        QCOMPARE(dialogs->errors().size(), size_t(1));
        QVERIFY(dialogs->errors()[0].find("    HTHELY.DBF") != std::string::npos);
    }

    void everyOwnTableExistsAfterTheFirstStart() {
        auto program = start();
        answerStartUp("abc", "202406");
        QVERIFY(ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs).ready());
        for (const char* t : {"Zaras", "Apol", "Orvos", "Beteg", "Maradv", "HLapa", "HLapb"}) {
            QVERIFY2(program->dbs.fileExists(std::string(t) + ".dbf"), t);
            QVERIFY2(program->dbs.fileExists(std::string(t) + ".mdx"), t);
        }
        QVERIFY(program->dbs.table("HLAPA").isOpen());
        QVERIFY(program->fokep.windowTitle().endsWith(" - verziószám: 4.11"));

        // "Indexelés" twice: every table open again, one version suffix.
        ui::ConnectCommands(program->fokep, program->session, program->dbs, *dialogs);
        const QString caption = program->fokep.windowTitle();
        for (int i = 0; i < 2; ++i) program->fokep.menuItem("Indexels1")->trigger();
        QCOMPARE(program->fokep.windowTitle(), caption);
        QCOMPARE(program->fokep.windowTitle().count("verziószám"), 1);
        QCOMPARE(program->fokep.panels()->text(0), QString("Az indexelés befejeződött!!"));
        for (const char* t : {"HLAPA", "HLAPB", "BETEG", "ZARAS", "HSZERZ", "BNOTORZS"})
            QVERIFY2(program->dbs.table(t).isOpen(), t);
        QVERIFY(dialogs->errors().empty());
    }

    // A failed "Indexelés" shows the engine's words under the system's text
    // and never reports the end; the program goes on, the tables not yet
    // reached stay closed.
    void aFailedReindexingIsShownAndNotReportedFinished() {
        auto program = start();
        answerStartUp("abc", "202406");
        QVERIFY(ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs).ready());
        ui::ConnectCommands(program->fokep, program->session, program->dbs, *dialogs);
        program->fokep.setPanelText(0, QString());
        dialogs->clearLog();
        program->dbs.closeAll();
        { std::ofstream(work->path() / "DATA" / "HLapb.dbf", std::ios::binary) << "garbage"; }
        program->fokep.menuItem("Indexels1")->trigger();
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba a lefutásban!"});
        QVERIFY2(dialogs->errorDetails()[0].find("HLapb.dbf") != std::string::npos, dialogs->errorDetails()[0].c_str());
        QVERIFY(program->fokep.panels()->text(0) != QString("Az indexelés befejeződött!!"));
        QVERIFY(dialogs->statusText(0) != "Az indexelés befejeződött!!");
        QVERIFY(!program->dbs.table("PART").isOpen());
        QVERIFY(program->fokep.menuItem("Indexels1")->isEnabled());
    }
};

VELMORA_UI_TEST(StartUpTest);

#include "StartUpTest.moc"
