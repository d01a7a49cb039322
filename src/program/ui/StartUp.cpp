#include "program/ui/StartUp.h"

#include "app/Clock.h"
#include "app/DataDirLock.h"
#include "app/DiagnosticLog.h"
#include "app/Directories.h"
#include "app/PasswordStore.h"
#include "app/LoggedDialogs.h"
#include "app/PeriodChoice.h"
#include "app/UserError.h"
#include "app/Version.h"
#include "db/Database.h"
#include "program/FirstStart.h"
#include "program/StartupSequence.h"
#include "program/ui/ProgramWindows.h"
#include "program/ui/TElsoind.h"
#include "overview/ui/OverviewCommands.h"
#include "backup/ui/BackupCommands.h"
#include "shell/ui/Tfokep.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"
#include "store/Schemas.h"
#include "widgets/CommandGuard.h"
#include "widgets/GuardedApplication.h"
#include "widgets/Placement.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtProgress.h"
#include "widgets/QtText.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

namespace velmora::ui {

namespace {

// The start-up's windows are the main window's.
class MainWindowSteps : public program::StartupWindows {
public:
    explicit MainWindowSteps(Tfokep& fokep) : fokep_(fokep) {}
    bool login() override { return fokep_.runLogin(); }
    bool choosePeriod() override { return fokep_.runPeriodWindow(false); }
    void showVersionCaption() override { fokep_.setVersionCaption(); }

private:
    Tfokep& fokep_;
};

// VELMORA_SHOW_AND_QUIT: names the first window shown on standard output
// and closes each window as it appears, so the program ends by itself.
class ShowAndQuit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow()) {
            if (!named_) {
                named_ = true;
                std::printf("%s\n", qPrintable(widget->objectName()));
                std::fflush(stdout);
            }
            QTimer::singleShot(0, widget, &QWidget::close);
        }
        return false;
    }

private:
    bool named_ = false;
};

} // namespace

bool RunFirstStart(ProgramWindows& windows, app::Session& session, db::Database& dbs, app::Dialogs& dialogs,
                   const std::string& demoTool) {
    // The working folders exist before the restore stages its files in TEMP.
    app::Konyvtaraz(session);
    TElsoind window(windows.fokep.get(), session.dataDir, CommandGuard(dialogs, &dbs),
                    [&windows] { windows.backupCommands->restore(); }, demoTool);
    return window.run();
}

std::string DemoToolBeside(const std::string& programDir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const fs::path candidate : {fs::path(programDir) / "velmora-demo", fs::path(programDir) / "../../bin/velmora-demo"})
        if (fs::is_regular_file(candidate, ec)) return fs::absolute(candidate, ec).lexically_normal().string();
    return {};
}

void ConnectCommands(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    fokep.setCommandGuard(CommandGuard(dialogs, &dbs));
    fokep.setOnIndexel([&fokep, &session, &dbs, &dialogs] {
        QtProgress progress(&fokep);
        if (!store::Indexeles(dbs, session, dialogs, progress)) QApplication::exit(0);
        fokep.setVersionCaption();
    });
}

program::StartupResult RunStartUp(Tfokep& fokep, app::Session& session, db::Database& dbs, app::Dialogs& dialogs) {
    MainWindowSteps steps(fokep);
    program::StartupResult result = program::runStartup(dbs, session, dialogs, steps);
    if (result.goesOn()) fokep.finishStartup();
    return result;
}

int ExitCodeOf(const program::StartupResult& result) {
    return result.state == program::StartupResult::State::Failed ? 1 : 0;
}

bool HoldDataDir(const std::string& dataDir, std::unique_ptr<app::DataDirLock>& hold) {
    hold.reset();
    try {
        hold = app::DataDirLock::tryAcquire(dataDir);
        if (!hold) {
            app::logEvent(app::LogLevel::Warning, app::dataDirHeldMessage(dataDir));
            QMessageBox box(QMessageBox::NoIcon, app::kProgramTitle, qs(app::dataDirHeldMessage(dataDir)),
                            QMessageBox::Ok);
            box.exec();
            return false;
        }
    } catch (const app::UserError& e) {
        // No data directory yet: the start-up says so in its own words.
        app::logEvent(app::LogLevel::Info, e.what());
    }
    return true;
}

int RunProgram(int argc, char** argv) {
    // The e-report page's browser wants this before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    GuardedApplication application(argc, argv);
    QApplication::setApplicationName(app::kProgramTitle);
    SetWindowPlacesFile(DefaultWindowPlacesFile());

    app::SystemClock clock;
    app::Session session(clock);
    ShowAndQuit showAndQuit;
    if (std::getenv("VELMORA_SHOW_AND_QUIT")) application.installEventFilter(&showAndQuit);
    session.dataDir = app::ProgramDataDir(
        app::InstallationDir(ss(QApplication::applicationDirPath()), std::getenv("VELMORA_HOME")));
    // A first start makes the data directory, so that it is held like any other.
    const bool firstStart = program::isFirstStart(session.dataDir);
    if (firstStart) {
        std::error_code ec;
        std::filesystem::create_directories(session.dataDir, ec);
    }
    // The log of the installation the program works in, from before the
    // recovery on; every error and warning shown goes into it.
    app::DiagnosticLog log(app::logFileIn(std::filesystem::current_path().string()));
    const app::InstalledLog installedLog(log);
    log.write(app::LogLevel::Info, std::string("A program indul (") + app::kVersion + "), adatkönyvtár: " + session.dataDir);
    std::unique_ptr<app::DataDirLock> hold;
    if (!HoldDataDir(session.dataDir, hold)) return 1;
    db::Database dbs(session.dataDir);
    QtDialogs boxes;
    app::LoggedDialogs dialogs(boxes, log);
    // The last guard: a failure no command caught is shown, not fatal.
    const CommandGuard guard(dialogs, &dbs);
    application.setGuard(&guard);
    struct Unguard {
        GuardedApplication& application;
        ~Unguard() { application.setGuard(nullptr); }  // before the dialogs and tables go
    } unguard{application};

    std::unique_ptr<ProgramWindows> windows;
    try {
        windows = std::make_unique<ProgramWindows>(session, dbs, boxes, dialogs);
        if (firstStart && !RunFirstStart(*windows, session, dbs, dialogs,
                                         DemoToolBeside(ss(QApplication::applicationDirPath()))))
            return 0;
        const program::StartupResult started = RunStartUp(*windows->fokep, session, dbs, dialogs);
        if (!started.goesOn()) return ExitCodeOf(started);
        windows->overview->offer();
    } catch (const std::exception& e) {
        log.write(app::failureOf("Hiba a program indításakor", e));
        QMessageBox box(QMessageBox::NoIcon, app::kProgramTitle,
                        QString("Hiba a program indításakor: ") + qs(e.what()), QMessageBox::Ok);
        box.exec();
        if (!windows) return 1;  // no window would ever end the event loop
    }
    const int code = application.exec();
    log.write(app::LogLevel::Info, "A program véget ért (" + std::to_string(code) + ")");
    return code;
}

} // namespace velmora::ui
