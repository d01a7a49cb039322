// Where a grid leaves its table and how it comes back to it.
#include "app/FramePosition.h"
#include "support/TempDir.h"

#include "db/Database.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::app;

namespace {

struct Sheets : ::testing::Test {
    void SetUp() override {
        t.create({db::FieldDef::character("SORSZ", 5), db::FieldDef::character("TAJ", 9)});
        t.open();
        t.addIndex("LAP1", "SORSZ");
        t.addIndex("LAP2", "TAJ");
        for (const auto& [s, taj] : {std::pair{"00003", "111"}, {"00001", "333"}, {"00002", "222"}}) {
            t.append();
            t.setField("SORSZ", db::Value(s));
            t.setField("TAJ", db::Value(taj));
            t.post();
        }
    }
    std::string sorsz() const { return t.text("SORSZ"); }
    // Leaves the grid on sheet 00003 in TAJ order, column 2.
    StoredPosition leaveOnThird(const std::string& period) {
        t.setActiveIndex("LAP2");
        EXPECT_TRUE(t.locate("SORSZ", db::Value("00003")));
        return StorePosition(t, 2, period);
    }
    test::TempDir dir;
    db::Database dbs{dir.str() + "/"};
    db::Table& t = dbs.table("HLAPA", "HLapa.dbf");
};

} // namespace

TEST_F(Sheets, NothingStoredEntersOnTheFirstRowInEntryOrder) {
    t.setActiveIndex("LAP2");
    t.last();
    EXPECT_EQ(EnterPosition(t, {"LAP1", false}, {}), 0);
    EXPECT_EQ(t.activeIndex(), "LAP1");
    EXPECT_EQ(sorsz(), "00001");
}

TEST_F(Sheets, StoredPositionComesBack) {
    const StoredPosition p = leaveOnThird("");
    EXPECT_EQ(p.index, "LAP2");
    t.setActiveIndex("LAP1");
    t.first();
    EXPECT_EQ(EnterPosition(t, {"LAP1", false}, p), 2);
    EXPECT_EQ(t.activeIndex(), "LAP2");
    EXPECT_EQ(sorsz(), "00003");
}

TEST_F(Sheets, SheetGridComesBackOnlyWithinTheYear) {
    const StoredPosition p = leaveOnThird("2024.03");
    const struct {
        const char* shown;
        const char* index;
        const char* row;
        int column;
    } cases[] = {{"2024.05", "LAP2", "00003", 2}, {"2025.01", "LAP1", "00001", 0}, {"2024.03", "LAP2", "00003", 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(EnterPosition(t, {"LAP1", true}, p, c.shown), c.column) << c.shown;
        EXPECT_EQ(t.activeIndex(), c.index) << c.shown;
        EXPECT_EQ(sorsz(), c.row) << c.shown;
    }
}

TEST_F(Sheets, GoneRowOrGoneIndexLeavesTheFirstRow) {
    StoredPosition p = leaveOnThird("");
    // Sheet 00003 is the first record: after the pack its number belongs to
    // sheet 00001, which must not be taken for it.
    t.deleteCurrent();
    t.pack();
    EnterPosition(t, {"LAP1", false}, p);
    EXPECT_EQ(t.activeIndex(), "LAP2");
    EXPECT_EQ(t.position(), 0);
    EXPECT_EQ(sorsz(), "00002");

    // Deleted but not packed: the row is simply not there.
    t.setActiveIndex("LAP1");
    t.first();
    p = StorePosition(t, 0);
    t.deleteCurrent();
    EnterPosition(t, {"LAP1", false}, p);
    EXPECT_EQ(sorsz(), "00002");

    // An index that is gone: the entry order and its first row.
    t.setActiveIndex("LAP2");
    t.last();
    p = StorePosition(t, 2);
    p.index = "LAP9";
    EXPECT_EQ(EnterPosition(t, {"LAP1", false}, p), 0);
    EXPECT_EQ(t.activeIndex(), "LAP1");
    EXPECT_EQ(t.position(), 0);
}
