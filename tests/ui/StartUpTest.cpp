// The start-up sequence in the main window, from the login to the maximised
// window, on a fresh working directory.
#include "UiTest.h"

#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "app/PeriodChoice.h"
#include "app/ui/StartUp.h"
#include "app/ui/StatusPanels.h"
#include "app/ui/Tfokep.h"
#include "db/Database.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
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
    ui::StartUpHooks hooks() {
        ui::StartUpHooks h;
        h.crtzaras = [](db::Database& dbs) {
            if (!dbs.fileExists("Zaras.dbf")) test::makeZaras(dbs, {});
            dbs.table("ZARAS", "Zaras.dbf").open();
        };
        return h;
    }

private slots:
    void init() {
        work = std::make_unique<test::TempDir>();
        fs::create_directory(work->path() / "DATA");
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
        QVERIFY(ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs, hooks()));

        QVERIFY(dialogs->log().empty());
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

    void aWrongPasswordOrCancelledPeriodEndsTheProgram() {
        {
            auto first = start();
            answerStartUp("abc", "202406");
            QVERIFY(ui::RunStartUp(first->fokep, first->session, first->dbs, *dialogs, hooks()));
        }
        {
            auto second = start();
            answerStartUp("abd", "");
            QVERIFY(!ui::RunStartUp(second->fokep, second->session, second->dbs, *dialogs, hooks()));
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
            QVERIFY(!ui::RunStartUp(third->fokep, third->session, third->dbs, *dialogs, hooks()));
        }
    }

    void anErrorInTheSequenceIsShownAndTheWindowOpensNevertheless() {
        auto program = start();
        ui::StartUpHooks h = hooks();
        h.crtTables = [](db::Database&) { throw std::runtime_error("Hiba az állomány készítésében! (APOL)"); };
        int cleanups = 0;
        h.duplicatePatients = [&](db::Database&) { ++cleanups; };
        answerStartUp("abc", "202406");
        QVERIFY(ui::RunStartUp(program->fokep, program->session, program->dbs, *dialogs, h));
        QCOMPARE(dialogs->errors(), std::vector<std::string>{"Hiba az állomány készítésében! (APOL)"});
        QCOMPARE(cleanups, 0);                           // the rest of the sequence did not run
        QVERIFY(!fs::exists(work->path() / "LISTA"));
        QCOMPARE(program->session.alapert, 5640);        // the base fee is set after the sequence
        QVERIFY(program->fokep.isMaximized());
    }
};

VELMORA_UI_TEST(StartUpTest);

#include "StartUpTest.moc"
