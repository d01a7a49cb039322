// The billing sheet forms of the marked sheets on a small data directory:
// which sheets, in which order, once each; the day table of a leap
// February; the activity totals; the captions that depend on the period.
#include "reports/SheetForm.h"

#include "support/SheetFixture.h"
#include "TableText.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

bool bandHas(const reports::Band& band, const std::string& text) {
    for (const auto& t : band.texts)
        if (t.text == text) return true;
    return false;
}

struct Forms : ::testing::Test {
    SheetData data;
    void SetUp() override {
        const db::Value marked("*");
        data.sheet({"2024.02", "00002", "", people::patient,
                    {{5, "1 3     ", people::nurse1}, {29, "5", people::nurse2}},
                    {{"Jeloles", marked}, {"Bnofo", "C5000"}, {"SzNap", 2}, {"Tpotl", "N"}, {"Aztip", "1"}}})
            .sheet({"2015.12", "00001", "", people::patient, {{1, "2", people::nurse1}}, {{"Jeloles", marked}}})
            .sheet({"2024.02", "00003", "", people::patient, {{6, "1", people::nurse1}}});  // not marked
        data.open({2024, 3, 5}, "2024.02");
    }
};

} // namespace

TEST_F(Forms, MarkedSheetsOnceEachInNumberOrderWithTheirMonth) {
    // Both contracts of the fixture are valid in 2024.02: still one form a sheet.
    const auto forms = reports::markedSheetForms(data.db(), "2024.02.01", "2024.02.29");
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].sorsz, "00001");
    const reports::SheetForm& feb = forms[1];
    EXPECT_EQ(feb.sorsz, "00002");
    EXPECT_EQ(feb.county, "BARANYA VÁRMEGYE");
    EXPECT_EQ(feb.nev, "Minta Mária");
    EXPECT_EQ(feb.tpotl, "nem");
    EXPECT_EQ(feb.diagnoses[3].code, "C5000");
    EXPECT_EQ(feb.diagnoses[3].name, "Emlő rosszindulatú daganata");
    EXPECT_EQ(feb.days[28].date, "2024.02.29");
    EXPECT_EQ(feb.days[28].nurse, people::nurse2);
    EXPECT_EQ(feb.days[29].date, "");  // no 30th in February
    EXPECT_EQ(feb.days[5].tev, "");    // no visit on the 6th
    EXPECT_EQ(feb.days[4].tev, "1 3");  // as stored, trailing blanks aside
    EXPECT_EQ(feb.tv, (std::array<int, 8>{1, 0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(forms[0].tv, (std::array<int, 8>{0, 1, 0, 0, 0, 0, 0, 0}));  // its own totals
    EXPECT_EQ(forms[0].days[30].date, "2015.12.31");

    // No contract valid in the period: nothing to print.
    EXPECT_TRUE(reports::markedSheetForms(data.db(), "2001.01.01", "2001.01.31").empty());
}

TEST_F(Forms, EachSheetOnPagesOfItsOwnWithThePeriodsCaptions) {
    const auto forms = reports::markedSheetForms(data.db(), "2024.02.01", "2024.02.29");
    const reports::Report r = reports::sheetFormReport(forms, "2024.03.05", "2024.03.05 10:00");
    ASSERT_EQ(r.groups.size(), 2u);
    for (const auto& g : r.groups) EXPECT_TRUE(g.newPage);
    const reports::Band& old = *r.groups[0].header;
    const reports::Band& recent = *r.groups[1].header;
    EXPECT_TRUE(bandHas(old, "Szolgáltató KAB kódja:"));
    EXPECT_FALSE(bandHas(old, "Azonosító típus:"));
    EXPECT_TRUE(bandHas(recent, "Szolgáltató VARO kódja:"));
    EXPECT_TRUE(bandHas(recent, "Azonosító típus:"));
    EXPECT_TRUE(bandHas(*r.groups[1].footer, "2024.03.05"));
}

TEST_F(Forms, TheTableALinePerSheetWithItsMainFields) {
    const reports::DataTable t = reports::sheetFormTable(reports::markedSheetForms(data.db(), "2024.02.01", "2024.02.29"));
    EXPECT_EQ(t.title, "Elszámolási lapok");
    ASSERT_EQ(t.rows.size(), 2u);
    ASSERT_EQ(t.columns.size(), 26u);
    const std::vector<std::string> feb = rowText(t.rows[1]);
    EXPECT_EQ(feb[0], "s:00002");
    EXPECT_EQ(feb[1], "s:2024.02");
    EXPECT_EQ(feb[4], "s:" + people::patient);
    EXPECT_EQ(feb[5], "s:Minta Mária");
    EXPECT_EQ(feb[10], "s:nem");
    EXPECT_EQ(feb[12], "s:C5000");
    EXPECT_EQ(feb[17], "n:2");
    const std::vector<std::string> activities(feb.begin() + 18, feb.end());
    EXPECT_EQ(activities, (std::vector<std::string>{"n:1", "n:0", "n:1", "n:0", "n:1", "n:0", "n:0", "n:0"}));
}
