// The TAJ check lists on a small data directory: which sheets each choice
// selects, the visit days per activity of every sheet part and the
// patient's totals, the typed starting period's checks and the titles.
#include "reports/TajLists.h"

#include "support/SheetFixture.h"
#include "TableText.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using reports::TajScope;

namespace {

struct TajLists : ::testing::Test {
    SheetData data;
    const std::string other = tajOf("11122233");
    void SetUp() override {
        data.patient(other, "Második Beteg")
            .sheet({"2024.04", "00001", "A", people::patient,
                    {{2, "1 3", people::nurse1}, {3, "1", people::nurse1}}, {{"SzNap", 2}, {"Bnofo", "C5000"}}})
            .sheet({"2024.05", "00001", "B", people::patient, {{6, "5", people::nurse2}}, {{"SzNap", 1}}})
            .sheet({"2024.05", "00002", "", other, {{7, "2", people::nurse1}}, {{"SzNap", 1}}});
        data.open({2024, 6, 10}, "2024.05");
    }
    reports::TajList list(TajScope scope, const std::string& taj = "", const std::string& from = "") {
        return reports::tajList(data.db(), {scope, taj, from, "2024.05"});
    }
};

} // namespace

TEST_F(TajLists, SheetsPerPatientWithActivityDaysAndTotals) {
    const reports::TajList all = list(TajScope::All);
    ASSERT_EQ(all.patients.size(), 2u);
    const reports::TajPatient& p = all.patients[people::patient < other ? 0 : 1];
    EXPECT_EQ(p.taj, people::patient);
    ASSERT_EQ(p.sheets.size(), 2u);
    EXPECT_EQ(p.sheets[0].sorsz + p.sheets[0].resz, "00001A");
    EXPECT_EQ(p.sheets[0].viz, (std::array<int, 8>{2, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(p.sheets[0].bnofoName, "Emlő rosszindulatú daganata");
    EXPECT_EQ(p.sheets[1].viz, (std::array<int, 8>{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(p.tviz, (std::array<int, 8>{2, 0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(p.sznap, 3);
    EXPECT_EQ(all.title.rfind("TAJ számos ellenőrző lista a 1234 ", 0), 0u);

    const struct {
        TajScope scope;
        std::string taj, from;
        size_t sheets;
        std::string titlePart;
    } cases[] = {
        {TajScope::OnePatient, other, "", 1, "egy beteg viziteiről"},
        {TajScope::CurrentPeriod, "", "", 2, " 2024.05 időszakban"},
        {TajScope::FromPeriod, "", "2024.04", 3, " 2024.04-2024.05 időszakban"},
        {TajScope::FromPeriod, "", "2024.06", 0, ""},
    };
    for (const auto& c : cases) {
        const reports::TajList l = list(c.scope, c.taj, c.from);
        size_t n = 0;
        for (const auto& patient : l.patients) n += patient.sheets.size();
        EXPECT_EQ(n, c.sheets) << c.titlePart;
        EXPECT_NE(l.title.find(c.titlePart), std::string::npos) << l.title;
    }
    EXPECT_EQ(reports::emptyTajListMessage(data.db(), {TajScope::OnePatient, "123", "", ""}),
              "Nincs a 123 TAJ-számú betegnek elszámolási lapja!");
}

TEST(TajListInput, TheTypedStartingPeriodIsCheckedInOrder) {
    const struct {
        const char* typed;
        const char* problem;
    } cases[] = {
        {"2004", "Ez még kevés lesz ..."},     {"20040", "Ez még kevés lesz ..."},
        {"2004a1", "Számokkal kéne megoldani ..."}, {"200408", "Nem adhat meg 2004.09 hónál kisebb dátumot!"},
        {"200413", "Csak 12 hónap van egy évben sajna ..."}, {"202400", "Csak 12 hónap van egy évben sajna ..."},
        {"200409", nullptr},                   {"202412", nullptr},
    };
    for (const auto& c : cases) {
        const auto problem = reports::startPeriodProblem(c.typed);
        if (c.problem)
            EXPECT_EQ(problem, std::optional<std::string>(c.problem)) << c.typed;
        else
            EXPECT_FALSE(problem) << c.typed;
    }
    EXPECT_EQ(reports::periodOfTyped("202403"), "2024.03");
    EXPECT_TRUE(reports::periodRangeProblem("2024.06", "2024.05"));  // backwards
    EXPECT_FALSE(reports::periodRangeProblem("2024.05", "2024.05"));
}

TEST(TajListLayout, DaysShowEvenWhenNoneButAnActivityOnNoDayStaysEmpty) {
    reports::TajSheet none;
    none.sorsz = "00007";
    reports::TajSheet some = none;
    some.sznap = 1234;
    some.viz[0] = 1;
    const reports::TajList list{"", {{"100000010", "Minta Mária", {none, some}, 1234, some.viz}}};
    const reports::Report r = reports::tajListReport(list, "2024.06.10 10:00");
    ASSERT_EQ(r.groups.size(), 1u);
    ASSERT_EQ(r.groups[0].rows.size(), 2u);
    // The first line's cells: number, period, BNO and its name, the days,
    // then the eight activities.
    const auto firstLine = [&](size_t row) {
        std::vector<std::string> texts;
        for (const auto& t : r.groups[0].rows[row].texts) texts.push_back(t.text);
        return std::vector<std::string>(texts.begin() + 4, texts.begin() + 13);
    };
    EXPECT_EQ(firstLine(0), (std::vector<std::string>{"0", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(firstLine(1), (std::vector<std::string>{"1 234", "1", "", "", "", "", "", "", ""}));
}

// The table: a line per sheet part with its patient, dates as dates and
// every activity count a number, 0 too.
TEST_F(TajLists, TheTableALinePerSheetWithItsPatient) {
    const reports::DataTable t = reports::tajListTable(list(TajScope::All));
    EXPECT_EQ(t.title, "TAJ számos ellenőrző lista");
    ASSERT_EQ(t.columns.size(), 21u);
    EXPECT_EQ(t.columns[12].heading, "Összes napszám");
    EXPECT_EQ(t.columns[13].heading, "1. tevékenység");
    ASSERT_EQ(t.rows.size(), 3u);
    const size_t first = people::patient < other ? 0 : 1;
    const std::vector<std::string> row = rowText(t.rows[first]);
    const std::vector<std::string> start(row.begin(), row.begin() + 4);
    EXPECT_EQ(start, (std::vector<std::string>{"s:" + people::patient, "s:Minta Mária", "s:00001A", "s:2024.04"}));
    EXPECT_EQ(row[11], "s:Emlő rosszindulatú daganata");
    EXPECT_EQ(row[12], "n:2");
    const std::vector<std::string> activities(row.begin() + 13, row.end());
    EXPECT_EQ(activities, (std::vector<std::string>{"n:2", "n:0", "n:1", "n:0", "n:0", "n:0", "n:0", "n:0"}));
    EXPECT_EQ(cellText(t.rows[first == 0 ? 2 : 0][0]), "s:" + other);
}
