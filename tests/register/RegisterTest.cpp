// The register's listing, caption and budget figures, and the marking of
// sheets for sending or printing, on real tables.
#include "register/Marking.h"
#include "register/Register.h"

#include "db/Sql.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

RawSheet sheet(const char* period, const char* sorsz, int sznap, std::map<std::string, db::Value> more = {}) {
    more["SzNap"] = sznap;
    return {period, sorsz, "", people::patient, {{3, "1", people::nurse1}}, more};
}

db::Table& hlapa(SheetData& data) { return store::tableOf(data.db(), store::schema::HLAPA()); }

// The numbers of the marked sheets, in number order.
std::string marked(SheetData& data) {
    std::string out;
    for (const auto& r : db::Sql(data.db()).run("select sorsz from hlapa where jeloles='*' order by sorsz").rows)
        out += r[0].asString() + " ";
    return out;
}

}  // namespace

TEST(Register, CaptionYearAndBudgetTextsOfThePeriod) {
    SheetData data;
    data.sheet(sheet("2024.05", "00001", 10, {{"Tpotl", "I"}}))
        .sheet(sheet("2024.05", "00002", 20, {{"Tpotl", "N"}, {"Jeloles", "*"}}))
        .sheet(sheet("2024.04", "00003", 4, {{"Jeloles", "*"}}))
        .sheet(sheet("2023.12", "00347", 9));
    data.open({2024, 6, 10}, "2024.05");
    data.session().alapert = 3240;
    db::Sql(data.db()).run("insert into maradv (intkod,midoszak,ft) values ('1234','2024.05',1234567)");

    EXPECT_EQ(reg::registerCaption(data.db(), reg::RegisterMode::Recording),
              "01 1234 Példa Hospice Szolgálat Elszámolási lapjai");
    EXPECT_EQ(reg::registerCaption(data.db(), reg::RegisterMode::Sending),
              "01 1234 Példa Hospice Szolgálat Elszámolási lapok küldése");

    db::Table& t = hlapa(data);
    t.setFilter(reg::yearFilter("2024.05"));
    EXPECT_EQ(t.recordCount(), 3);

    const reg::BudgetTexts all = reg::budgetTexts(data.db(), data.session(), false, data.dialogs());
    EXPECT_EQ(all.STm, "1 234,6");
    EXPECT_EQ(all.STszv, "3 650");      // the contract valid on 2024.05.01
    EXPECT_EQ(all.STszf, "11 826,0");   // 3650 days at 3240 Ft
    EXPECT_EQ(all.STav, "30");
    EXPECT_EQ(all.STtf, "97,2");
    EXPECT_EQ(all.STtp, "3,2");

    reg::BudgetTexts sending = reg::budgetTexts(data.db(), data.session(), true, data.dialogs());
    EXPECT_EQ(sending.STav, "24");      // the marked sheets of the four months
    EXPECT_EQ(sending.STtf, "77,8");
    EXPECT_EQ(sending.STtp, "0,0");
    EXPECT_TRUE(data.dialogs().log().empty());

    // Another period: no residue, no sheet.
    data.session().acceptPeriod("2024.06", false);
    const reg::BudgetTexts empty = reg::budgetTexts(data.db(), data.session(), false, data.dialogs());
    EXPECT_EQ(empty.STm, "0,0");
    EXPECT_EQ(empty.STav, "0");
    EXPECT_EQ(empty.STtf, "0,0");
    EXPECT_EQ(empty.STtp, "0,0");

    // A failing query keeps the figures the labels had.
    data.db().findTable("HLAPA")->close();
    reg::refreshRecorded(sending, data.db(), data.session(), true, data.dialogs());
    EXPECT_EQ(sending.STav, "24");
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Warning), std::vector<std::string>{"Hiba a lefutásban! (3)"});
}

TEST(Marking, OneSheetTogglesAndOnlyItsMarkChanges) {
    SheetData data;
    data.sheet(sheet("2024.05", "00001", 3)).sheet(sheet("2024.05", "00002", 3));
    data.open({2024, 6, 10}, "2024.05");
    const std::string headers = data.rows("hlapa"), visits = data.rows("hlapb");
    reg::toggleMark(data.db(), {"00002", "", "2024.05"});
    EXPECT_EQ(marked(data), "00002 ");
    reg::toggleMark(data.db(), {"00002", "", "2024.05"});
    EXPECT_EQ(marked(data), "");
    EXPECT_EQ(data.rows("hlapa"), headers);
    EXPECT_EQ(data.rows("hlapb"), visits);
}

TEST(Marking, TheMonthsSheetsWithAndWithoutAClosedPeriodChosenTheRegistersFilterKept) {
    const struct { bool zarnez; std::string marked; } cases[] = {
        {false, "00001 00002 "},              // the period's, unsent or sent with its shipment
        {true, "00001 00002 00003 00005 "},   // also the earlier sheet sent with it, and the changed one
    };
    for (const auto& c : cases) {
        SheetData data;
        data.sheet(sheet("2024.05", "00001", 3))
            .sheet(sheet("2024.05", "00002", 3, {{"Elkuldve", "2024.05"}}))
            .sheet(sheet("2024.04", "00003", 3, {{"Elkuldve", "2024.05"}}))
            .sheet(sheet("2024.04", "00004", 3))
            .sheet(sheet("2024.05", "00005", 3, {{"Elkuldve", "YY"}, {"Modtipus", "K"}}));
        data.open({2024, 6, 10}, "2024.05");
        db::Table& t = hlapa(data);
        t.setFilter(reg::yearFilter("2024.05"));
        t.last();
        std::vector<db::TableEvent> events;
        const int listener = t.subscribe([&](db::TableEvent e) { events.push_back(e); });

        reg::BulkToggle toggle;
        reg::markMonth(data.db(), "2024.05", c.zarnez, toggle.flip());
        EXPECT_EQ(marked(data), c.marked) << c.zarnez;
        EXPECT_EQ(events, std::vector<db::TableEvent>{db::TableEvent::RowsChanged}) << "the grid refreshes once";
        EXPECT_EQ(t.filterText(), reg::yearFilter("2024.05"));
        EXPECT_EQ(t.position(), 4);

        reg::markMonth(data.db(), "2024.05", c.zarnez, toggle.flip());  // the second time unmarks
        EXPECT_EQ(marked(data), "");
        t.unsubscribe(listener);
    }
}

TEST(Marking, TheListedSheetsInOneChangeAndTheToggleSharedWithTheMonth) {
    SheetData data;
    data.sheet(sheet("2024.05", "00001", 3))
        .sheet(sheet("2024.02", "00002", 3, {{"Elkuldve", "2024.02"}}))
        .sheet(sheet("2023.12", "00003", 3));
    data.open({2024, 6, 10}, "2024.05");
    db::Table& t = hlapa(data);
    t.setFilter(reg::yearFilter("2024.05"));
    const std::string visits = data.rows("hlapb");
    std::vector<db::TableEvent> events;
    // Unsubscribed before `events` goes: the table outlives it and notifies
    // its listeners when it closes.
    const int listener = t.subscribe([&](db::TableEvent e) { events.push_back(e); });

    reg::BulkToggle toggle;
    EXPECT_EQ(reg::markMonth(data.db(), "2024.05", false, toggle.flip()), 1);
    events.clear();
    EXPECT_EQ(reg::markListed(data.db(), toggle.flip()), 2);  // the month marked: the year unmarks
    EXPECT_EQ(marked(data), "");
    EXPECT_EQ(reg::markListed(data.db(), toggle.flip()), 2);
    EXPECT_EQ(marked(data), "00001 00002 ");
    EXPECT_EQ(events, (std::vector<db::TableEvent>{db::TableEvent::RowsChanged, db::TableEvent::RowsChanged}));
    t.unsubscribe(listener);
    EXPECT_EQ(data.rows("hlapb"), visits);

    reg::clearMarks(data.db());
    EXPECT_EQ(marked(data), "");
}
