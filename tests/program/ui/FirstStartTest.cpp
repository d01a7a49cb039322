// The first start of an installation without data: the first-start window
// instead of the start-up's error chain, its ways in, and its way out.
#include "program/ui/WholeProgram.h"

#include "app/Archiver.h"
#include "app/Clock.h"
#include "app/Directories.h"
#include "app/Session.h"
#include "backup/BackupSet.h"
#include "backup/ui/Tviszv.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "program/FirstStart.h"
#include "program/ui/ProgramWindows.h"
#include "program/ui/StartUp.h"
#include "program/ui/TElsoind.h"
#include "shell/ui/TAlapkeres.h"
#include "shell/ui/Tfokep.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/Files.h"
#include "support/TableFixture.h"
#include "support/ui/ModalWatcher.h"
#include "widgets/QtDialogs.h"

#include <QLabel>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cctype>
#include <filesystem>
#include <functional>
#include <memory>

namespace fs = std::filesystem;
using namespace velmora;

namespace {

// No table or other file anywhere under `dir` (the working folders may be there).
bool noFilesIn(const fs::path& dir) {
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (!entry.is_directory()) return false;
    return true;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The backup of another machine: Zaras.arj of a demo installation's tables,
// as "Mentés" leaves it on a stick.
void writeBackupOfAnotherMachine(const fs::path& machine, const fs::path& stick) {
    const std::string out = test::WholeProgramTest::makeDemo(machine);
    std::vector<std::string> names;
    for (const auto* def : backup::backedUpTables())
        for (const auto& entry : fs::directory_iterator(machine / "DATA"))
            if (upper(entry.path().filename().string()) == upper(def->fileName))
                names.push_back(entry.path().filename().string());
    QVERIFY2(names.size() == backup::backedUpTables().size(), out.c_str());
    fs::create_directories(stick);
    app::createArchive((stick / "Zaras.arj").string(), (machine / "DATA").string(), names);
}

} // namespace

class FirstStartTest : public test::WholeProgramTest {
    Q_OBJECT

    bool runFirstStart(const std::string& demoTool = {}) {
        return ui::RunFirstStart(*program, *session, *dbs, *dialogs, demoTool);
    }
    static void press(QWidget* window, const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    // "Visszatöltés" → "Választott útvonal" → the folder in the location window.
    // `then` acts on the first-start window once the restore has ended.
    void restoreFrom(const fs::path& folder, std::function<void(QWidget*)> then = {}) {
        watcher->onWindow("Elsoind", [then](QWidget* w) {
            press(w, "Visszatolt");
            if (then) then(w);
        });
        watcher->expect(QString::fromUtf8("Biztosan visszatölti"), "Igen");
        watcher->onWindow("Tviszv", [](QWidget* w) {
            auto* viszv = static_cast<ui::Tviszv*>(w);
            viszv->RG1Utvonal->setChecked(true);
            QTest::mouseClick(viszv->B1, Qt::LeftButton);
        });
        watcher->onWindow("Alapkeres", [folder](QWidget* w) {
            auto* location = static_cast<ui::TAlapkeres*>(w);
            location->setDirectory(folder.string());
            QTest::mouseClick(location->Igen, Qt::LeftButton);
        });
    }

private slots:
    void init() {
        // DATA as the program makes it on a first start.
        setUp([](const fs::path& installation) { fs::create_directories(installation / "DATA"); });
    }
    void cleanup() { tearDown(); }

    // Moving to a new computer: the archive made on the old one comes back
    // through the restore command, then the program starts as usual on it.
    void aBackupFromAnotherMachineIsRestoredAndTheStartGoesOn() {
        const fs::path stick = work->path() / "stick";
        writeBackupOfAnotherMachine(work->path() / "regi", stick);
        restoreFrom(stick);
        watcher->expect(QString::fromUtf8("A visszatöltés befejeződött!!"), "OK", 1500);
        QVERIFY(runFirstStart());
        checkWatcher();
        QVERIFY(!program::isFirstStart(session->dataDir));

        startUp();
        if (QTest::currentTestFailed()) return;
        QVERIFY(program->fokep->isVisible());
        QCOMPARE(session->mIdoszak, std::string("2026.04"));
        db::Database old((work->path() / "regi" / "DATA").string());
        store::tableOf(old, store::schema::HLAPA()).open();
        const std::string sheets = "select count(*) from hlapa";
        QCOMPARE(query(sheets), [&] {
            std::string out;
            for (const auto& row : db::Sql(old).run(sheets).rows) out += row[0].asString() + "|";
            return out;
        }());
    }

    // A new provider: the fund's seven tables from the folder she got them
    // in, then the program's own tables are made by the normal start.
    void theFundsTablesFromAFolderAndTheStartGoesOn() {
        const fs::path ruv = work->path() / "ruv";
        fs::create_directories(ruv);
        test::writeFundTables(ruv.string());
        watcher->onWindow("Elsoind", [](QWidget* w) { press(w, "Alapok"); });
        watcher->onWindow("QFileDialog", [ruv](QWidget* w) {
            auto* chooser = static_cast<QFileDialog*>(w);
            chooser->setDirectory(QString::fromStdString(ruv.string()));
            QMetaObject::invokeMethod(chooser, "accept");
        });
        QVERIFY(runFirstStart());
        checkWatcher();
        QVERIFY(!program::isFirstStart(session->dataDir));

        startUp();
        if (QTest::currentTestFailed()) return;
        QVERIFY(program->fokep->isVisible());
        QVERIFY(fs::exists(installation / "DATA" / "HLapa.dbf"));
    }

    // A restore that cannot be done leaves the window open for another way;
    // nothing of the data directory changed.
    void aRefusedRestoreKeepsTheWindow() {
        const fs::path empty = work->path() / "ures";
        fs::create_directories(empty);
        bool stayed = false;
        restoreFrom(empty, [&stayed](QWidget* w) {
            stayed = w->isVisible();
            press(w, "Megsem");
        });
        watcher->expect("ZARAS.ARJ", "OK");
        QVERIFY(!runFirstStart());
        checkWatcher();
        QVERIFY(stayed);
        QVERIFY(program::isFirstStart(session->dataDir));
        QVERIFY(noFilesIn(installation / "DATA"));
    }

    // "Mégsem" and the close box end the program: no message, no error
    // chain, no table made.
    void leavingTheWindowEndsTheProgramQuietly() {
        const std::vector<std::function<void(QWidget*)>> ways = {
            [](QWidget* w) { press(w, "Megsem"); },
            [](QWidget* w) { w->close(); },
            [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); },
        };
        for (const auto& leave : ways) {
            watcher->onWindow("Elsoind", leave);
            QVERIFY(!runFirstStart());
            checkWatcher();
            QVERIFY(watcher->seen().isEmpty());
            QVERIFY(noFilesIn(installation / "DATA"));
            QVERIFY(!program->fokep->isVisible());
        }
    }

    // The window says honestly whether a demo installation can be made here.
    void theDemoIsOfferedOnlyWhereItIsInstalled() {
        // Beside the program, and in the bin folder of a packaged installation.
        const fs::path beside = work->path() / "program";
        const fs::path packaged = work->path() / "usr";
        fs::create_directories(beside);
        fs::create_directories(packaged / "lib" / "velmora");
        fs::create_directories(packaged / "bin");
        fs::copy_file(VELMORA_DEMO_TOOL, beside / "velmora-demo");
        fs::copy_file(VELMORA_DEMO_TOOL, packaged / "bin" / "velmora-demo");
        QCOMPARE(ui::DemoToolBeside(beside.string()), (beside / "velmora-demo").string());
        QCOMPARE(ui::DemoToolBeside((packaged / "lib" / "velmora").string()), (packaged / "bin" / "velmora-demo").string());
        QVERIFY(ui::DemoToolBeside((work->path() / "Velmora").string()).empty());
        const std::string demoTool = ui::DemoToolBeside(beside.string());
        for (const std::string& tool : {demoTool, std::string()}) {
            QString shown;
            watcher->onWindow("Elsoind", [&shown](QWidget* w) {
                shown = w->findChild<QLabel*>("Bemutato")->text();
                press(w, "Megsem");
            });
            QVERIFY(!runFirstStart(tool));
            checkWatcher();
            QCOMPARE(shown.toStdString(), ui::demoText(tool, QCoreApplication::applicationFilePath().toStdString()));
            QVERIFY(shown.contains(tool.empty() ? QString::fromUtf8("nem tartozik") : QString::fromStdString(tool)));
        }
    }
};

VELMORA_UI_TEST(FirstStartTest);

#include "FirstStartTest.moc"
