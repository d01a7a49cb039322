// The employees' completed days: the capacity by the period's rule, rounded
// as the sheet check rounds it, the visit days of the period per nurse
// (two sheets on one day count twice), the overrun and the totals.
#include "reports/EmployeeDays.h"

#include "support/SheetFixture.h"
#include "TableText.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const std::string anna = tajOf("22233344"), bella = tajOf("33344455"), cili = tajOf("44455566");

struct Employees : ::testing::Test {
    SheetData data;
    void SetUp() override {
        data.employee({anna, "Anna", "2010.01.01", "", 20, 10})
            .employee({bella, "Bella", "2010.01.01", "", 2, 0})
            .employee({cili, "Cili", "2010.01.01", "2011.11.30", 40, 0});  // gone before the periods below
        std::vector<VisitDay> days;
        for (int d = 1; d <= 4; ++d) days.push_back({d, "1", bella});
        data.sheet({"2012.01", "00001", "", people::patient, days})
            .sheet({"2012.01", "00002", "", people::patient, days})  // the same days again
            .sheet({"2012.01", "00003", "", people::patient, {{5, "1", anna}, {6, "1", "999999999"}}});
        data.open({2012, 2, 10}, "2012.01");
    }
    reports::EmployeeDays run(const std::string& period) {
        const auto days = reports::employeeDays(data.db(), period, data.dialogs());
        EXPECT_TRUE(days);
        return days.value_or(reports::EmployeeDays{});
    }
};

} // namespace

TEST_F(Employees, CapacityByThePeriodsRuleAgainstTheDaysMade) {
    const struct {
        const char* period;
        int anna;
    } capacity[] = {{"2011.12", 77}, {"2012.01", 99}, {"2021.03", 99}, {"2021.04", 132}};
    for (const auto& c : capacity) {
        const reports::EmployeeDays d = run(c.period);
        ASSERT_EQ(d.rows.size(), 2u) << c.period;
        EXPECT_EQ(d.rows[0].taj, anna);
        EXPECT_EQ(d.rows[0].keret, c.anna) << c.period;
        EXPECT_TRUE(d.rows[0].supplementary);
        EXPECT_TRUE(d.sznez);
    }
    const reports::EmployeeDays jan = run("2012.01");
    const reports::EmployeeRow& bellaRow = jan.rows[1];
    EXPECT_EQ(bellaRow.keret, 7);  // 2 / 40 × 132 = 6.6
    EXPECT_EQ(bellaRow.napdb, 8);
    EXPECT_EQ(bellaRow.overrun(), 1);
    EXPECT_FALSE(bellaRow.supplementary);
    EXPECT_EQ(jan.rows[0].napdb, 1);  // the stranger's visit counts nowhere
    EXPECT_EQ(jan.okeret, 106);
    EXPECT_EQ(jan.tszam, 9);
    EXPECT_EQ(jan.provider.county, "BARANYA VÁRMEGYE");
    EXPECT_TRUE(run("2009.12").rows.empty());  // nobody employed yet: the window says so

    data.db().findTable("HLAPB")->close();
    data.dialogs().clearLog();
    EXPECT_FALSE(reports::employeeDays(data.db(), "2012.01", data.dialogs()));
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{reports::kEmployeeQueryFailed});
}

TEST_F(Employees, TheTableALinePerEmployee) {
    const reports::DataTable t = reports::employeeDaysTable(run("2012.01"));
    EXPECT_EQ(t.title, "Dolgozók teljesített napjai 2012.01");
    EXPECT_EQ(headings(t), (std::vector<std::string>{"Dolgozó TAJ-száma", "Dolgozó neve", "Szerződött dolgozói kapacitás",
                                                     "Kiegészítő tevékenység", "Teljesített napok", "Túllépés"}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(rowText(t.rows[0]), (std::vector<std::string>{"s:" + anna, "s:Anna", "n:99", "s:igen", "n:1", "n:0"}));
    EXPECT_EQ(rowText(t.rows[1]), (std::vector<std::string>{"s:" + bella, "s:Bella", "n:7", "e", "n:8", "n:1"}));
}
