#include "program/ui/WholeProgram.h"

#include "app/Clock.h"
#include "app/Directories.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "program/ui/ProgramWindows.h"
#include "program/ui/StartUp.h"
#include "shell/ui/Tfokep.h"
#include "support/Files.h"
#include "widgets/QtDialogs.h"

#include <QLineEdit>
#include <QPushButton>

namespace fs = std::filesystem;

namespace velmora::test {

namespace {
std::string quoted(const std::string& s) { return "'" + s + "'"; }
} // namespace

WholeProgramTest::WholeProgramTest() = default;
WholeProgramTest::~WholeProgramTest() = default;

void WholeProgramTest::setUp(const std::function<void(const fs::path&)>& prepare) {
    work = std::make_unique<TempDir>();
    installation = work->path() / "Velmora";
    fs::create_directories(installation);
    prepare(installation);
    previousDir_ = fs::current_path();
    fs::current_path(installation);  // the program works where it is started
    clock = std::make_unique<app::FixedClock>(app::Date{2026, 5, 6});
    session = std::make_unique<app::Session>(*clock);
    session->dataDir = app::ProgramDataDir(installation.string());
    dbs = std::make_unique<db::Database>(session->dataDir);
    dialogs = std::make_unique<ui::QtDialogs>();
    program = std::make_unique<ui::ProgramWindows>(*session, *dbs, *dialogs);
    watcher = std::make_unique<ModalWatcher>();
}

void WholeProgramTest::tearDown() {
    watcher.reset();
    program.reset();
    dialogs.reset();
    dbs.reset();
    session.reset();
    if (!previousDir_.empty()) fs::current_path(previousDir_);
    work.reset();
}

std::string WholeProgramTest::makeDemo(const fs::path& folder) {
    return runCommand(quoted(VELMORA_DEMO_TOOL) + " --out " + quoted(folder.string()) + " --program " +
                      quoted(VELMORA_PROGRAM_FILE) + " --until 2026.04 2>&1");
}

void WholeProgramTest::startUp() {
    watcher->onWindow("PasswordDlg", [](QWidget* w) {
        typeText(w->findChild<QLineEdit*>("Password"), QString::fromUtf8("titkos jelszó"));
        QTest::mouseClick(w->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    watcher->onWindow("Zarasbe", [](QWidget* w) {
        auto* period = w->findChild<QLineEdit*>("ME1");
        period->selectAll();
        QTest::keyClicks(period, "202604");
        QTest::mouseClick(w->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    });
    QVERIFY2(ui::RunStartUp(*program->fokep, *session, *dbs, *dialogs).ready(),
             qPrintable(watcher->failures().join("\n") + "\nseen:\n" + watcher->seen().join("\n")));
    checkWatcher();
}

void WholeProgramTest::checkWatcher() {
    QVERIFY2(watcher->failures().isEmpty(),
             qPrintable(watcher->failures().join("\n") + "\nseen:\n" + watcher->seen().join("\n")));
    QVERIFY2(watcher->done(), qPrintable("not answered; seen:\n" + watcher->seen().join("\n")));
}

std::string WholeProgramTest::query(const std::string& sql) {
    std::string out;
    for (const auto& row : db::Sql(*dbs).run(sql).rows)
        for (const auto& v : row) out += v.asString() + "|";
    return out;
}

} // namespace velmora::test
