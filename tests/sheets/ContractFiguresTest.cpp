// The register's figures of the contract's day budget and the full-series
// marks of a year.
#include "support/SheetFixture.h"

#include "db/Sql.h"
#include "sheets/ContractFigures.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

RawSheet days(const char* period, const char* sorsz, int sznap, std::map<std::string, db::Value> more = {}) {
    more["SzNap"] = sznap;
    return {period, sorsz, "", people::patient, {}, more};
}

db::Decimal ft(int64_t units, int scale = 0) { return db::Decimal(units, scale); }

}  // namespace

TEST(RecordedFigures, DaysAndExactAmountsOfThePeriodWithTheRegionalSupplement) {
    SheetData data;
    data.sheet(days("2024.05", "00001", 10, {{"Tpotl", "I"}}))
        .sheet(days("2024.05", "00002", 15, {{"Tpotl", "N"}}))
        .sheet(days("2024.05", "00003", 5, {{"Tpotl", db::Value()}}))
        .sheet(days("2024.04", "00004", 40, {{"Tpotl", "I"}}));
    data.open();
    const auto figures = sheets::recordedFigures(data.db(), "2024.05", false, 3240, data.dialogs());
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->days, 30);
    EXPECT_EQ(figures->amount, ft(97200));       // 97,2 thousand
    EXPECT_EQ(figures->supplement, ft(32400, 1));  // 3,24 thousand
    EXPECT_EQ(figures->supplement.toString(), "3240.0");

    const auto none = sheets::recordedFigures(data.db(), "2024.06", false, 3240, data.dialogs());
    ASSERT_TRUE(none);
    EXPECT_EQ(none->days, 0);
    EXPECT_EQ(none->amount, ft(0));
}

TEST(RecordedFigures, MarkedSheetsOfTheFourMonthsUpToThePeriodExceptClosingsSentLater) {
    SheetData data;
    data.sheet(days("2023.12", "00001", 1, {{"Jeloles", "*"}}))  // before the window
        .sheet(days("2024.01", "00002", 4, {{"Jeloles", "*"}, {"Tpotl", "I"}}))
        .sheet(days("2024.03", "00003", 8, {{"Jeloles", "*"}, {"Modtipus", "L"}}))
        .sheet(days("2024.04", "00004", 6, {{"Jeloles", "*"}, {"Modtipus", "K"}}))
        .sheet(days("2024.05", "00005", 9))
        .sheet(days("2024.05", "00006", 1, {{"Jeloles", "*"}}));
    data.open();
    const auto figures = sheets::recordedFigures(data.db(), "2024.05", true, 1000, data.dialogs());
    ASSERT_TRUE(figures);
    EXPECT_EQ(figures->days, 11);
    EXPECT_EQ(figures->amount, ft(11000));
    EXPECT_EQ(figures->supplement, ft(400));
    EXPECT_TRUE(data.dialogs().log().empty());

    data.db().findTable("HLAPA")->close();
    EXPECT_FALSE(sheets::recordedFigures(data.db(), "2024.05", true, 1000, data.dialogs()));
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Warning), std::vector<std::string>{"Hiba a lefutásban! (3)"});
}

TEST(ContractFigures, TheContractValidOnThePeriodsFirstDay) {
    SheetData data;
    data.open();
    // The fund's fixture: 1200 days from 2023.01.01 and 3650 from 2024.01.01, both open-ended.
    const auto now = sheets::contractFigures(data.db(), "2024.05", 3240);
    ASSERT_TRUE(now);
    EXPECT_EQ(now->days, 3650);
    EXPECT_EQ(now->amount, ft(3650LL * 3240));
    EXPECT_EQ(sheets::contractFigures(data.db(), "2023.06", 3240)->days, 1200);
    EXPECT_FALSE(sheets::contractFigures(data.db(), "2022.12", 3240));
}

TEST(FullSeriesOfYear, MarksSeriesOfFiftyAndRemovesNoMark) {
    SheetData data;
    auto part = [](const char* period, const char* sorsz, const char* resz, int sznap, db::Value tele = {}) {
        return RawSheet{period, sorsz, resz, people::patient, {}, {{"SzNap", sznap}, {"Tele", tele}}};
    };
    data.sheet(part("2024.03", "00010", "A", 30))
        .sheet(part("2024.04", "00010", "B", 20))
        .sheet(part("2024.03", "00012", "A", 30))
        .sheet(part("2024.04", "00012", "B", 21))
        .sheet(part("2024.04", "00013", "A", 10, "*"))
        .sheet(part("2024.04", "00011", "", 50))
        .sheet(part("2023.04", "00014", "A", 50));
    data.open();
    sheets::markFullSeriesOfYear(data.db(), "2024", data.dialogs());
    std::string marks;
    for (const auto& r : db::Sql(data.db()).run("select sorsz,resz,tele from hlapa order by sorsz,resz").rows)
        marks += r[0].asString() + r[1].asString() + "=" + r[2].asString() + " ";
    EXPECT_EQ(marks, "00010A=* 00010B=* 00011= 00012A= 00012B= 00013A=* 00014A= ");
    EXPECT_TRUE(data.dialogs().log().empty());
}
