// The start-up sequence across the layers.
#include "support/TableFixture.h"

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
