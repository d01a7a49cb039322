// The checks of a sheet against the patient's other sheets, the nurses'
// capacity and the series' full mark, each on a small directory with a
// table of passing and failing cases.
#include "support/Findings.h"
#include "support/SheetFixture.h"

#include "db/Sql.h"
#include "sheets/CrossChecks.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetKey;

namespace {

const std::string kOther = tajOf("10000002");
const char* const kFailed = "Hiba a lefutásban!";

void closeTable(SheetData& data, const char* name) { data.db().findTable(name)->close(); }

}  // namespace

TEST(OverlapCheck, StartOfCareInsideTheSpanOfAnotherSheetsVisitsIsRefused) {
    SheetData data;
    data.sheet({"2024.02", "00001", "", people::patient, {{5, "1", people::nurse1}, {20, "1", people::nurse1}}})
        .sheet({"2024.02", "00002", "", kOther, {{1, "1", people::nurse1}, {28, "1", people::nurse1}}})
        .sheet({"2023.12", "00001", "", people::patient, {{1, "1", people::nurse1}, {20, "1", people::nurse1}}});
    data.open();
    const std::string overlap = "Az ápolásba vétel kezdete időben átfedi az előző teljesítést!";
    const struct {
        SheetKey key;
        std::string taj, elrend, szakvet;
        bool passes;
        std::vector<std::string> errors;
    } cases[] = {
        {{"00009", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.15", false, {overlap}},
        {{"00009", "A", "2024.03"}, people::patient, "2024.02.01", "2024.02.05", false, {overlap}},
        {{"00009", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.20", false, {overlap}},
        {{"00009", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.21", true, {}},
        {{"00009", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.04", true, {}},
        // January sheets and next parts do not look back.
        {{"00009", "", "2024.01"}, people::patient, "2024.01.01", "2024.02.15", true, {}},
        {{"00009", "B", "2024.03"}, people::patient, "2024.02.01", "2024.02.15", true, {}},
        // The sheet's own number and its own period are not "earlier".
        {{"00001", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.15", true, {}},
        {{"00009", "", "2024.02"}, people::patient, "2024.02.01", "2024.02.15", true, {}},
        // Numbers restart every year: last year's 00001 is another episode.
        {{"00001", "", "2024.03"}, people::patient, "2023.11.01", "2023.12.10", false, {overlap}},
        {{"00009", "", "2024.03"}, tajOf("10000003"), "2024.02.01", "2024.02.15", true, {}},
        {{"00009", "", "2024.03"}, people::patient, "2024.02.16", "2024.02.15", false,
         {"Nem lehet az ápolásba vétel kezdete régebbi, mint az elrendelés!", overlap}},
    };
    for (const auto& c : cases) {
        const app::Findings found = sheets::overlapCheck(data.db(), c.key, c.taj, c.elrend, c.szakvet, "m_szakvet");
        EXPECT_EQ(!app::refuses(found), c.passes) << c.key.number() << " " << c.key.idoszak << " " << c.szakvet;
        EXPECT_EQ(findingTexts(found), c.errors) << c.key.number() << " " << c.szakvet;
        for (const app::Finding& f : found) EXPECT_EQ(f.field, "m_szakvet");
    }
    // A TAJ typed with a quote is a value, not statement text.
    EXPECT_TRUE(sheets::overlapCheck(data.db(), {"00009", "", "2024.03"}, "1' or '1'='1", "2024.02.01", "2024.02.15")
                    .empty());
    closeTable(data, "HLAPB");
    const app::Findings failed =
        sheets::overlapCheck(data.db(), {"00009", "", "2024.03"}, people::patient, "2024.02.01", "2024.02.21");
    EXPECT_EQ(findingTexts(failed), std::vector<std::string>{kFailed});
    EXPECT_FALSE(failed.at(0).detail.empty());  // the engine's message is kept
}

TEST(OrderNumberCheck, TheOrdinalFollowsThePatientsLatestSheetUnlessThatEpisodeWasClosed) {
    const std::string fresh = tajOf("10000004"), closed = tajOf("10000005"), lastYear = tajOf("10000006");
    SheetData data;
    data.sheet({"2024.02", "00001", "", people::patient, {}, {{"Elszam", 1}}})
        .sheet({"2024.03", "00003", "", people::patient, {}, {{"Elszam", 2}, {"Szakvet", "2024.03.10"}}})
        .sheet({"2024.03", "00004", "", people::patient, {}, {{"Elszam", 7}, {"Szakvet", "2024.03.01"}}})
        .sheet({"2024.04", "00002", "", closed, {}, {{"Elszam", 3}, {"Lezdat", "2024.04.20"}}})
        .sheet({"2023.11", "00100", "", lastYear, {}, {{"Elszam", 5}}});
    data.open();
    const std::string smaller = "Csak nagyobb lehet az elrendelés száma, mint az előző!";
    using Form = sheets::OrderNumberForm;
    const struct {
        SheetKey key;
        std::string taj, elszam;
        Form form;
        bool asks;  // whether to start again from 1
        bool passes;
        std::optional<std::string> becomes;
        std::vector<std::string> errors;
    } cases[] = {
        // The latest by period, then start of care, is 00003 with ordinal 2.
        {{"00100", "", "2024.05"}, people::patient, "3", Form::Field, false, true, {}, {}},
        {{"00100", "", "2024.05"}, people::patient, "8", Form::Field, false, false, "3", {smaller}},
        {{"00100", "", "2024.05"}, people::patient, "2", Form::Save, false, false, {}, {smaller}},
        // A patient's first sheet carries 1.
        {{"00100", "", "2024.05"}, fresh, "1", Form::Save, false, true, {}, {}},
        {{"00100", "", "2024.05"}, fresh, "2", Form::Field, false, false, "1", {smaller}},
        // After a closed episode any ordinal passes; other than 1 it asks.
        {{"00100", "A", "2024.05"}, closed, "4", Form::Save, true, true, {}, {}},
        {{"00100", "", "2024.05"}, closed, "4", Form::Field, true, true, {}, {}},
        {{"00100", "", "2024.05"}, closed, "1", Form::Field, false, true, {}, {}},
        // Next parts and January sheets are not checked.
        {{"00100", "B", "2024.05"}, fresh, "5", Form::Field, false, true, {}, {}},
        {{"00100", "", "2024.01"}, fresh, "5", Form::Field, false, true, {}, {}},
        // The sheet's own number is not its predecessor.
        {{"00003", "", "2024.05"}, people::patient, "8", Form::Save, false, true, {}, {}},
        // Numbers restart every year: last year's 00100 is the predecessor.
        {{"00100", "", "2024.05"}, lastYear, "6", Form::Save, false, true, {}, {}},
        {{"00100", "", "2024.05"}, lastYear, "1", Form::Field, false, false, "6", {smaller}},
        {{"00100", "", "2024.05"}, people::patient, "3a", Form::Field, false, false, {}, {"Csak szám írható a mezőbe!"}},
    };
    for (const auto& c : cases) {
        const auto result = sheets::orderNumberCheck(data.db(), c.key, c.taj, c.elszam, c.form, "m_elszam");
        EXPECT_EQ(result.passed(), c.passes) << c.taj << " " << c.elszam;
        EXPECT_EQ(result.elszam, c.becomes) << c.taj << " " << c.elszam;
        EXPECT_EQ(findingTexts(result.findings), c.errors) << c.taj << " " << c.elszam;
        const bool asked = !result.findings.empty() && result.findings[0].severity == app::Severity::Question;
        EXPECT_EQ(asked, c.asks) << c.taj << " " << c.elszam;
        if (asked) {
            EXPECT_EQ(result.findings[0].id, app::Msg::FirstOrderQuestion);
            EXPECT_EQ(result.findings[0].onYes, "1");  // a Yes starts again from 1
        }
    }
}

TEST(VisitDateCheck, AModifiedSheetLeavesOutOnlyItsOwnVisits) {
    SheetData data;
    data.sheet({"2024.05", "00005", "", people::patient, {{10, "1", people::nurse1}}})
        .sheet({"2024.05", "00006", "", people::patient, {{12, "1", people::nurse1}}})
        .sheet({"2024.05", "00005", "A", people::patient, {{14, "1", people::nurse1}}})
        .sheet({"2024.04", "00007", "", people::patient, {{14, "1", people::nurse1}}})
        .sheet({"2024.05", "00008", "", kOther, {{20, "1", people::nurse1}}});
    data.open();
    const SheetKey own{"00005", "", "2024.05"};
    const struct {
        bool modifying;
        std::string date, taj;
        bool taken;
    } cases[] = {
        {true, "2024.05.10", people::patient, false},   // its own visit
        {true, "2024.05.12", people::patient, true},    // another number, same period
        {true, "2024.05.14", people::patient, true},    // same number, another part
        {false, "2024.05.10", people::patient, true},   // a new sheet leaves nothing out
        {false, "2024.05.20", people::patient, false},  // another patient's visit
        {false, "2024.05.20", kOther, true},
        {false, "2024.04.14", people::patient, true},
        {false, "2024.05.11", people::patient, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sheets::visitDateTaken(data.db(), own, c.modifying, c.date, c.taj), std::optional<bool>(c.taken))
            << c.modifying << " " << c.date;
    closeTable(data, "HLAPB");
    EXPECT_EQ(sheets::visitDateTaken(data.db(), own, true, "2024.05.12", people::patient), std::nullopt);
}

TEST(DayCountRule, VisitsAndBilledDaysFitTheOrderAndFifty) {
    const struct {
        int visits, ordered, billed;
        bool fits;
    } cases[] = {{20, 45, 25, true}, {20, 45, 31, false}, {10, 10, 0, true}, {11, 10, 0, false}, {30, 60, 21, false}};
    for (const auto& c : cases)
        EXPECT_EQ(sheets::dayCountFits(c.visits, c.ordered, c.billed), c.fits) << c.visits << "+" << c.billed;
}

TEST(PatientDays, CountOtherNumbersAndPartsInOtherPeriods) {
    SheetData data;
    data.sheet({"2024.05", "00100", "", people::patient, {}, {{"SzNap", 5}}})
        .sheet({"2024.05", "00006", "", people::patient, {}, {{"SzNap", 3}}})   // same period
        .sheet({"2024.04", "00100", "", people::patient, {}, {{"SzNap", 4}}})   // same number and part
        .sheet({"2024.04", "00100", "A", people::patient, {}, {{"SzNap", 2}}})  // another part
        .sheet({"2024.03", "00002", "", people::patient, {}, {{"SzNap", 7}}})
        .sheet({"2024.03", "00003", "", kOther, {}, {{"SzNap", 11}}});
    data.open();
    EXPECT_EQ(sheets::patientDays(data.db(), {"00100", "", "2024.05"}, people::patient), 9);
    EXPECT_EQ(sheets::patientDays(data.db(), {"00100", "", "2024.05"}, tajOf("10000009")), 0);
    closeTable(data, "HLAPA");
    EXPECT_EQ(sheets::patientDays(data.db(), {"00100", "", "2024.05"}, people::patient), std::nullopt);
}

TEST(Capacity, RoundsHalfAwayFromZero) {
    const struct {
        double days;
        int whole;
    } cases[] = {{82.5, 83}, {82.49, 82}, {5.5, 6}, {0.5, 1}, {-0.5, -1}, {2.75, 3}, {88.0, 88}};
    for (const auto& c : cases) EXPECT_EQ(sheets::roundCapacity(c.days), c.whole) << c.days;
}

TEST(Capacity, EachEmployeesCapacityFollowsThePeriodsFactors) {
    const std::string a = tajOf("30000001"), b = tajOf("30000002"), c = tajOf("30000003");
    const struct {
        std::string period;
        std::map<std::string, int> keret;
    } cases[] = {
        // 20 + 10 hours; 25 hours; 2 hours and a half (a fraction of a day).
        {"2011.12", {{a, 55 + 22}, {b, 69}, {c, 7}}},  // 20/40×110 + 10/40×88; 68.75; 6.875
        {"2012.01", {{a, 99}, {b, 83}, {c, 8}}},       // 30/40×132; 82.5; 8.25
        {"2021.03", {{a, 99}, {b, 83}, {c, 8}}},
        {"2021.04", {{a, 132}, {b, 110}, {c, 11}}},    // 30/40×176; 110; 11
    };
    for (const auto& k : cases) {
        SheetData data;
        data.employee({a, "Aladár", "2000.01.01", "", 20, 10})
            .employee({b, "Borbála", "2000.01.01", "", 25, 0})
            .employee({c, "Cecília", "2000.01.01", "", db::Value(db::Decimal(25, 1)), 0});
        data.open({2024, 6, 10}, "2024.05");
        const auto count = sheets::countCapacity(data.db(), k.period, nullptr, data.dialogs());
        ASSERT_TRUE(count) << k.period;
        for (const auto& [taj, keret] : k.keret) EXPECT_EQ(count->nurses.at(taj).keret, keret) << k.period << " " << taj;
    }
}

TEST(Capacity, CountsThePeriodsOtherSheetsForTheEmployeesOfThePeriod) {
    const std::string left = tajOf("30000004"), later = tajOf("30000005"), lastDay = tajOf("30000006");
    std::vector<VisitDay> ten, five;
    for (int d = 1; d <= 10; ++d) ten.push_back({d, "1", people::nurse1});
    for (int d = 1; d <= 5; ++d) five.push_back({d, "1", people::nurse2});
    SheetData data;
    data.employee({people::nurse1, "Ápoló Anna", "2020.01.01", "", 40, 0})
        .employee({people::nurse2, "Ápoló Bella", "2020.01.01", "", 1, 0})
        .employee({left, "Kilépett", "2020.01.01", "2024.04.30", 40, 0})
        .employee({later, "Később", "2024.06.01", "", 40, 0})
        .employee({lastDay, "Utolsó napon", "2024.05.31", "", 40, 0});
    data.sheet({"2024.05", "00001", "", people::patient, ten})
        .sheet({"2024.05", "00002", "A", kOther, five})
        .sheet({"2024.04", "00003", "", kOther, ten});
    data.open();
    auto napdb = [&](const SheetKey* own) {
        auto count = sheets::countCapacity(data.db(), "2024.05", own, data.dialogs());
        std::map<std::string, int> out;
        for (const auto& [taj, n] : count->nurses) out[taj] = n.napdb;
        return out;
    };
    const std::map<std::string, int> all = {{people::nurse1, 10}, {people::nurse2, 5}, {lastDay, 0}};
    EXPECT_EQ(napdb(nullptr), all);
    const SheetKey own{"00001", "", "2024.05"};
    EXPECT_EQ(napdb(&own), (std::map<std::string, int>{{people::nurse1, 0}, {people::nurse2, 5}, {lastDay, 0}}));
    const SheetKey ownPart{"00001", "A", "2024.05"};  // another sheet than 00001: nothing left out
    EXPECT_EQ(napdb(&ownPart), all);

    // One weekly hour in 2024.05: 4.4 days, so the fifth visit is past it.
    auto count = sheets::countCapacity(data.db(), "2024.05", nullptr, data.dialogs());
    EXPECT_EQ(count->nurses.at(people::nurse2).keret, 4);
    count->countVisit(people::nurse1);
    EXPECT_EQ(count->overrun, "");
    count->countVisit(people::nurse2);
    EXPECT_EQ(count->overrun, people::nurse2);
    count->countVisit(tajOf("39999999"));  // not contracted: not counted
    EXPECT_EQ(count->nurses.size(), 3u);

    closeTable(data, "HSZOLGSZ");
    data.dialogs().clearLog();
    EXPECT_FALSE(sheets::countCapacity(data.db(), "2024.05", nullptr, data.dialogs()));
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{kFailed});
}

TEST(Capacity, TheEightyNinthVisitOfTwentyHoursIsAnOverrun) {
    SheetData data;
    data.open();
    auto count = sheets::countCapacity(data.db(), "2024.05", nullptr, data.dialogs());
    ASSERT_TRUE(count);
    EXPECT_EQ(count->nurses.at(people::nurse2).keret, 88);
    for (int i = 0; i < 88; ++i) count->countVisit(people::nurse2);
    EXPECT_EQ(count->overrun, "");
    count->countVisit(people::nurse2);
    EXPECT_EQ(count->overrun, people::nurse2);
}

TEST(FullSeriesMark, EveryPartOfASeriesOfFiftyDaysInTheYear) {
    SheetData data;
    data.sheet({"2024.03", "00010", "A", people::patient, {}, {{"SzNap", 30}}})
        .sheet({"2024.04", "00010", "B", people::patient, {}, {{"SzNap", 20}}})
        .sheet({"2023.05", "00010", "A", kOther, {}, {{"SzNap", 50}}})
        .sheet({"2024.03", "00011", "", kOther, {}, {{"SzNap", 50}}});
    data.open();
    auto marks = [&] {
        std::string out;
        for (const auto& r : db::Sql(data.db()).run("select idoszak,sorsz,resz,tele from hlapa order by idoszak,sorsz").rows)
            out += r[0].asString() + r[1].asString() + r[2].asString() + "=" + r[3].asString() + " ";
        return out;
    };
    sheets::telenez(data.db(), "00010", "2024", false);
    sheets::telenez(data.db(), "00011", "2024", false);
    EXPECT_EQ(marks(), "2023.0500010A= 2024.0300010A=* 2024.0300011= 2024.0400010B=* ");
    db::Sql(data.db()).run("update hlapa set sznap=15 where resz='B'");
    sheets::telenez(data.db(), "00010", "2024", false);
    EXPECT_EQ(marks(), "2023.0500010A= 2024.0300010A= 2024.0300011= 2024.0400010B= ");
    db::Sql(data.db()).run("update hlapa set sznap=20 where resz='B'");
    sheets::telenez(data.db(), "00010", "2024", false);
    sheets::telenez(data.db(), "00010", "2024", true);
    EXPECT_EQ(marks(), "2023.0500010A= 2024.0300010A= 2024.0300011= 2024.0400010B= ");
}
