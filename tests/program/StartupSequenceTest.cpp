// The start-up sequence across the layers.
#include "support/TableFixture.h"

#include "masterdata/StartupCleanup.h"
#include "register/PeriodTableUpkeep.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

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
