// The monthly summary and accounting on a small data directory: what each
// kind of sheet adds, each sheet part once under two valid contracts, the
// 10 % territorial supplement, a sheet of a provider without a contract left
// out, the billed days and their exact value.
#include "reports/Monthly.h"

#include "app/UserError.h"
#include "db/Sql.h"
#include "reports/Numbers.h"
#include "support/SheetFixture.h"
#include "TableText.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

std::vector<VisitDay> days(int from, int to, const std::string& tev) {
    std::vector<VisitDay> out;
    for (int d = from; d <= to; ++d) out.push_back({d, tev, people::nurse1});
    return out;
}

struct Monthly : ::testing::Test {
    SheetData data;
    void SetUp() override {
        const db::Value sent("2024.05");
        data.sheet({"2024.05", "00001", "", people::patient, days(1, 20, "1 3"),
                    {{"Elkuldve", sent}, {"SzNap", 20}, {"Tpotl", "I"}}})
            .sheet({"2024.05", "00002", "", people::patient, days(1, 5, "2"), {{"Elkuldve", sent}, {"SzNap", 5}, {"Tpotl", "N"}}})
            .sheet({"2024.04", "00003", "", people::patient, days(1, 7, "1"),  // late: in the totals, not in lapszam
                    {{"Elkuldve", sent}, {"SzNap", 7}, {"Tpotl", "N"}}})
            .sheet({"2024.04", "00004", "", people::patient, days(1, 12, "1"),
                    {{"Elkuldve", sent}, {"SzNap", 12}, {"Modtipus", "S"}}})
            .sheet({"2024.03", "00005", "", people::patient, days(1, 3, "1"),
                    {{"Elkuldve", sent}, {"SzNap", 3}, {"Modtipus", "K"}}})
            .sheet({"2024.05", "00006", "", people::patient, days(1, 4, "1"), {{"SzNap", 4}}})  // not sent
            .sheet({"2024.04", "00007", "", people::patient, days(1, 9, "1"),  // a provider without a contract
                    {{"Elkuldve", sent}, {"SzNap", 9}, {"Intkod", "9999"}}})
            .periodRow("2024.05", "2024.06.05");
        data.open({2024, 6, 10}, "2024.05");
    }
};

} // namespace

TEST_F(Monthly, SummaryOfTheSheetsSentWithThePeriodsShipment) {
    const auto s = reports::monthlySummary(data.db(), "2024.05", "2024.05.01", "2024.05.31", 3240, 4);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->lapszam, 2);
    EXPECT_EQ(s->oszam, 4);
    EXPECT_EQ(s->onsz, 32);  // 20 + 5 + 7, each once under the fixture's two contracts
    EXPECT_EQ(s->tpnsz, 20);
    EXPECT_EQ(s->snap, -12);
    EXPECT_EQ(s->knap, 3);
    EXPECT_EQ(s->pnap, 0);
    EXPECT_EQ(s->tv, (std::array<int, 8>{27, 5, 20, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s->mft, 32 * 3240);
    EXPECT_EQ(reports::huMoney(s->mtpft, 0), "6 480");  // 10 % of 20 × 3240
    EXPECT_EQ(s->closing, "2024.06.05");
    EXPECT_EQ(s->szszam, "SZ-2024");  // the newer of the two valid contracts
    EXPECT_EQ(s->provider.intkod, "1234");
    EXPECT_EQ(s->provider.county, "BARANYA VÁRMEGYE");

    EXPECT_FALSE(reports::monthlySummary(data.db(), "2024.06", "2024.06.01", "2024.06.30", 3240, 0));
    EXPECT_FALSE(reports::monthlySummary(data.db(), "2024.05", "2001.05.01", "2001.05.31", 3240, 0));  // no contract

    data.db().findTable("HLAPA")->close();
    try {
        reports::monthlySummary(data.db(), "2024.05", "2024.05.01", "2024.05.31", 3240, 0);
        ADD_FAILURE() << "a summary without the sheet table";
    } catch (const app::UserError& e) {
        EXPECT_STREQ(e.what(), reports::kSummaryCountFailed);
    }
}

TEST_F(Monthly, AccountingOfTheBilledDaysAtTheFundsFee) {
    EXPECT_FALSE(reports::monthlyAccounting(data.db(), "2024.05"));  // the fee is not read back yet
    db::Sql sql(data.db());
    sql.run("update zaras set alapdij=3240 where idoszak='2024.05'");
    std::string marks;
    for (int d = 1; d <= 18; ++d) marks += std::string(marks.empty() ? "" : ",") + "eli" + std::to_string(d) + "='E2405'";
    sql.run("update hlapb set " + marks + " where sorsz='00001'");
    sql.run("update hlapb set eli25='E2405' where sorsz='00002'");  // no visit that day: counts for nothing
    const auto a = reports::monthlyAccounting(data.db(), "2024.05");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->rows.size(), 3u);  // every sheet part of the period, sent or not
    EXPECT_EQ(a->rows[0].lap, "00001");
    EXPECT_EQ(a->rows[0].inap, 18);
    EXPECT_TRUE(a->rows[0].tpotl);
    EXPECT_EQ(reports::huMoney(a->rows[0].value, 1), "64 152,0");
    EXPECT_EQ(a->rows[1].inap, 0);
    EXPECT_EQ(a->mnap, 18);
    EXPECT_EQ(reports::huMoney(a->total, 1), "64 152,0");
}

// The 10 % supplement is refused only by an "N" in TPOTL: a sheet that
// never recorded the field (00006) gets it like one with "I".
TEST_F(Monthly, OnlyAnNInTpotlRefusesTheSupplement) {
    db::Sql sql(data.db());
    sql.run("update zaras set alapdij=3240 where idoszak='2024.05'");
    sql.run("update hlapb set eli1='E2405', eli2='E2405' where idoszak='2024.05'");
    sql.run("update hlapa set tpotl=null where sorsz='00006'");
    const auto a = reports::monthlyAccounting(data.db(), "2024.05");
    ASSERT_TRUE(a);
    const struct { const char* lap; bool tpotl; const char* value; } cases[] = {
        {"00001", true, "7 128,0"},   // "I"
        {"00002", false, "6 480,0"},  // "N"
        {"00006", true, "7 128,0"},   // empty
    };
    ASSERT_EQ(a->rows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(a->rows[i].lap, cases[i].lap);
        EXPECT_EQ(a->rows[i].tpotl, cases[i].tpotl) << cases[i].lap;
        EXPECT_EQ(reports::huMoney(a->rows[i].value, 1), cases[i].value) << cases[i].lap;
    }
}

// The tables: the summary's figures a line each, the accounting a line a
// sheet part, numbers as numbers with their decimals.
TEST_F(Monthly, TablesOfTheSummaryAndTheAccounting) {
    const auto s = reports::monthlySummary(data.db(), "2024.05", "2024.05.01", "2024.05.31", 3240, 4);
    ASSERT_TRUE(s);
    const reports::DataTable summary = reports::monthlySummaryTable(*s);
    EXPECT_EQ(summary.title, "Havi összesítő 2024.05");
    EXPECT_EQ(headings(summary), (std::vector<std::string>{"Megnevezés", "Érték", "Egység"}));
    EXPECT_EQ(figure(summary, "\"Egyéni elszámolási lap\"-ok száma"), "n:2");
    EXPECT_EQ(figure(summary, "1. Szakápolás"), "n:27");
    EXPECT_EQ(figure(summary, "Ellátott napok száma összesen"), "n:32");
    EXPECT_EQ(figure(summary, "Ellátott napok forint összege összesen"), "n:103680");
    EXPECT_EQ(figure(summary, "Területi pótlék összege összesen"), "n:6480,0");
    EXPECT_EQ(figure(summary, "Sztornózott napszám"), "n:-12");
    EXPECT_EQ(figure(summary, "Dátum"), "d:2024.06.05");
    EXPECT_EQ(figure(summary, "Szolgáltató VARO kódja"), "s:1234");

    db::Sql sql(data.db());
    sql.run("update zaras set alapdij=3240 where idoszak='2024.05'");
    sql.run("update hlapb set eli1='E2405', eli2='E2405' where sorsz='00001'");
    const auto a = reports::monthlyAccounting(data.db(), "2024.05");
    ASSERT_TRUE(a);
    const reports::DataTable accounting = reports::monthlyAccountingTable(*a);
    EXPECT_EQ(accounting.title, "Havi elszámolás 2024.05");
    ASSERT_EQ(accounting.rows.size(), 3u);
    EXPECT_EQ(rowText(accounting.rows[0]),
              (std::vector<std::string>{"s:00001", "s:" + people::patient, "s:Minta Mária", "s:2024.05", "n:3240,0",
                                        "n:2", "s:+10%", "n:7128,0"}));
    EXPECT_EQ(cellText(accounting.rows[1][6]), "e");  // no supplement
}
