// The start-up sequence across the layers.
#include "support/TableFixture.h"

#include "app/DiagnosticLog.h"
#include "app/LoggedDialogs.h"
#include "masterdata/StartupCleanup.h"
#include "program/StartupSequence.h"
#include "register/PeriodTableUpkeep.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace velmora;
using namespace velmora::test;

TEST(StartupMaintenance, AFailedStepShowsItsNumberAndStartUpGoesOn) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    start.db.findTable("HLAPA")->close();
    start.db.findTable("BETEG")->close();
    reg::maintainPeriodTable(start.db, start.clock, start.dialogs);
    masterdata::removeDuplicatePatients(start.db, start.dialogs);
    EXPECT_EQ(start.dialogs.errors(),
              (std::vector<std::string>{"Hiba a lefutásban! (18)", "Hiba a lefutásban! (19)"}));
}

namespace {

// The windows of start-up, answered without a screen.
struct Windows : program::StartupWindows {
    std::vector<std::string> steps;
    bool login() override { steps.push_back("login"); return true; }
    bool choosePeriod() override { steps.push_back("period"); return true; }
    void showVersionCaption() override { steps.push_back("caption"); }
};

} // namespace

TEST(StartupSequence, ABrokenJournalIsDroppedWithItsNameBeforeAnyTableIsTouched) {
    TempDir dir;
    writeFundTables(dir.str());
    { std::ofstream(dir.file("VELMORA.JNL"), std::ios::binary) << "VELMJRN1 félbehagyott írás"; }
    Start start(dir.str());
    start.session.dataDir = dir.str() + "/";
    // The working directories go beside the data, not into the test's own directory.
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Windows windows;
    const bool started = program::runStartup(start.db, start.session, start.dialogs, windows).ready();
    std::filesystem::current_path(here);
    ASSERT_TRUE(started);
    const auto warnings = start.dialogs.texts(ScriptedDialogs::Kind::Warning);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("VELMORA.JNL"), std::string::npos) << warnings[0];
    // The warning came first, before the login opened anything.
    EXPECT_EQ(start.dialogs.log().front().kind, ScriptedDialogs::Kind::Warning);
    EXPECT_EQ(windows.steps, (std::vector<std::string>{"login", "period", "caption"}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("VELMORA.JNL")));
    for (const auto& e : start.dialogs.errors()) ADD_FAILURE() << e;
    EXPECT_TRUE(start.db.findTable("HLAPB")->isOpen());
}

// A start-up that meets a broken table stops there and says so: the result
// is not a success, it names the failure, and the log holds what the
// recovery settled and what stopped the start, with their causes.
TEST(StartupSequence, AFailedStepIsAFailingResultAndEverythingShownIsInTheLog) {
    TempDir dir;
    writeFundTables(dir.str());
    { std::ofstream(dir.file("VELMORA.JNL"), std::ios::binary) << "VELMJRN1 félbehagyott írás"; }
    { std::ofstream(dir.file("Apol.dbf"), std::ios::binary) << "nem tábla"; }
    Start start(dir.str());
    start.session.dataDir = dir.str() + "/";
    app::DiagnosticLog log(app::logFileIn(dir.str()));
    const app::InstalledLog installed(log);
    app::LoggedDialogs dialogs(start.dialogs, log);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Windows windows;
    const program::StartupResult result = program::runStartup(start.db, start.session, dialogs, windows);
    std::filesystem::current_path(here);

    EXPECT_EQ(result.state, program::StartupResult::State::Stopped);
    EXPECT_FALSE(result.ready());
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->text.find("Apol.dbf"), std::string::npos) << result.failure->text;
    EXPECT_EQ(start.dialogs.errors().size(), 1u);

    const auto lines = app::lastLogLines(log.file(), 100);
    const auto logged = [&lines](const std::string& level, const std::string& text) {
        for (const std::string& line : lines)
            if (line.find(" " + level + " ") != std::string::npos && line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(logged("FIGYELEM", "VELMORA.JNL")) << ::testing::PrintToString(lines);
    EXPECT_TRUE(logged("HIBA", "Apol.dbf")) << ::testing::PrintToString(lines);
}

// Tables that cannot be used end the program, as a failure (not as the
// user's own "Mégsem").
TEST(StartupSequence, MissingFundTablesEndItAsAFailure) {
    TempDir dir;
    writeFundTables(dir.str());
    std::filesystem::remove(dir.file("HTHELY.DBF"));
    Start start(dir.str());
    start.session.dataDir = dir.str() + "/";
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Windows windows;
    const program::StartupResult result = program::runStartup(start.db, start.session, start.dialogs, windows);
    std::filesystem::current_path(here);
    EXPECT_EQ(result.state, program::StartupResult::State::Failed);
    EXPECT_FALSE(result.goesOn());
    EXPECT_TRUE(result.failure);
    EXPECT_EQ(windows.steps, (std::vector<std::string>{"login", "period"}));
}
