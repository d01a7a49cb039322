// The overview's figures on a year counted by hand: a month over the
// contract's days, a nurse over her capacity and one without hours, a sheet
// sent late, days the fund did not pay, the deadlines as of a fixed day.
#include "overview/Overview.h"
#include "overview/OverviewReport.h"
#include "overview/UnpaidDays.h"

#include "db/Sql.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using overview::SheetState;

namespace {

const std::string kNobody = "111111110";  // employed without hours

std::vector<VisitDay> visits(int from, int to, const std::string& nurse, int billedUpTo = 0) {
    std::vector<VisitDay> out;
    for (int d = from; d <= to; ++d) out.push_back({d, "1", nurse, d <= billedUpTo ? "202404" : ""});
    return out;
}

struct Year2024 : ::testing::Test {
    SheetData data;
    void SetUp() override {
        const auto& anna = people::nurse1;
        const auto& bella = people::nurse2;
        data.contracts({contractRow(true, "987654321", "2024.01.01", 30)})
            .employee({anna, "Ápoló Anna", "2020.01.01", "", 40, 0})
            .employee({bella, "Ápoló Bella", "2020.01.01", "", 2, 0})  // 2 × 176 / 40 = 8.8: 9 days
            .employee({kNobody, "Nulla Nóra", "2020.01.01", "", 0, 0});
        auto sheet = [&](const char* p, const char* n, std::vector<VisitDay> days,
                         std::map<std::string, db::Value> more) {
            more["SzNap"] = static_cast<int>(days.size());
            data.sheet({p, n, "", people::patient, std::move(days), std::move(more)});
        };
        sheet("2024.02", "00004", visits(1, 5, anna), {{"Elkuldve", "2024.03"}});  // sent late
        sheet("2024.03", "00001", visits(1, 20, anna, 20), {{"Elkuldve", "2024.03"}, {"Tpotl", "N"}, {"Allapot", "ű"}});
        sheet("2024.03", "00002", visits(1, 10, bella, 6), {{"Elkuldve", "2024.03"}, {"Tpotl", "I"}, {"Allapot", "R"}});
        sheet("2024.03", "00003", visits(21, 23, anna), {{"Elkuldve", "YY"}, {"Modtipus", "S"}});
        sheet("2024.04", "00005", visits(1, 5, anna), {{"Elkuldve", "2024.04"}, {"Modtipus", "K"}, {"Tpotl", db::Value()}});
        sheet("2024.04", "00007", visits(10, 11, anna, 11), {{"Elkuldve", "YY"}, {"Modtipus", "L"}, {"Allapot", "ű"}});
        sheet("2024.05", "00006", visits(1, 6, anna), {});
        data.periodRow("2024.02", "2024.03.05")
            .periodRow("2024.03", "2024.04.05", {{"Ruvkuld", "2024.04.20"}, {"Alapdij", 5640}})
            .periodRow("2024.04", "2024.05.05", {{"Ruvkuld", "2024.05.20"}, {"Alapdij", 5640}});
        data.open({2024, 6, 10}, "2024.05");
    }
    overview::Overview overview() { return overview::makeOverview(data.db(), data.session(), data.dialogs()); }
};

} // namespace

TEST_F(Year2024, BudgetMonthByMonthAgainstTheContract) {
    const auto o = overview();
    ASSERT_EQ(o.budget.months.size(), 12u);
    const std::vector<int> recorded{0, 5, 33, 7, 6, 0, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < 12; ++i) {
        SCOPED_TRACE(o.budget.months[i].period);
        EXPECT_EQ(o.budget.months[i].recordedDays, recorded[i]);
        EXPECT_EQ(o.budget.months[i].contractDays, 30);
        EXPECT_EQ(o.budget.months[i].over(), i == 2);
    }
    const auto& march = o.budget.months[2];
    EXPECT_EQ(march.recordedAmount, db::Decimal::fromInt(33 * 5640));
    EXPECT_EQ(march.supplement, db::Decimal::fromInt(5640));  // 10 % of 10 days × 5640
    EXPECT_EQ(o.budget.contractDays(), 360);
    EXPECT_EQ(o.budget.recordedDays(), 51);
    EXPECT_EQ(o.budget.cumulativeRecorded()[3], 45);
    EXPECT_EQ(o.budget.cumulativeContract()[3], 120);
    EXPECT_TRUE(data.dialogs().problems().empty());
}

TEST_F(Year2024, NursesAgainstTheirCapacity) {
    const auto o = overview();
    ASSERT_EQ(o.nurses.nurses.size(), 3u);
    const auto& anna = o.nurses.nurses[0];
    const auto& bella = o.nurses.nurses[1];
    const auto& nora = o.nurses.nurses[2];
    EXPECT_EQ(anna.nev, "Ápoló Anna");
    EXPECT_EQ(anna.months[2]->napdb, 23);
    EXPECT_EQ(anna.months[2]->keret, 176);
    EXPECT_FALSE(anna.overAny());
    EXPECT_EQ(bella.months[2]->napdb, 10);
    EXPECT_EQ(bella.months[2]->keret, 9);
    EXPECT_TRUE(bella.months[2]->over());
    EXPECT_FALSE(bella.months[3]->over());
    EXPECT_TRUE(nora.noHours());
}

TEST_F(Year2024, SheetsByStateAndTheirKeys) {
    const auto o = overview();
    using A = std::array<int, overview::kStates>;
    //                 Rec Sent Late Corr Closed Canc Billed NotPaid
    EXPECT_EQ(o.states.months[1].sheets, (A{1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(o.states.months[2].sheets, (A{3, 2, 0, 0, 0, 1, 2, 1}));
    EXPECT_EQ(o.states.months[3].sheets, (A{2, 1, 0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(o.states.months[4].sheets, (A{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(o.states.months[2].daysNotPaid, 4);
    EXPECT_EQ(o.states.months[3].daysNotPaid, 5);
    EXPECT_EQ(o.states.total(SheetState::Recorded), 7);

    const auto late = o.states.keys("", SheetState::SentLate);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].number(), "00004");
    EXPECT_EQ(o.states.nurseKeys("2024.03", people::nurse2).size(), 1u);
    // The register's filter lets exactly those sheets through.
    const std::string filter = overview::sheetsFilter("idoszak>='2024.01' and idoszak<='2024.12'",
                                                      o.states.keys("2024.03", SheetState::Recorded));
    db::Table& lap = data.ctx().db.table("HLAPA");
    lap.setFilter(filter);
    int rows = 0;
    for (lap.first(); !lap.eof(); lap.next()) ++rows;
    EXPECT_EQ(rows, 3);
}

TEST_F(Year2024, DeadlinesAsOfToday) {
    const auto d = overview().deadlines;
    std::vector<std::pair<std::string, std::string>> open;
    for (const auto& p : d.newSheets) open.push_back({p.period, p.lastDay.text()});
    EXPECT_EQ(open, (std::vector<std::pair<std::string, std::string>>{{"2024.02", "2024.06.30"},
                                                                      {"2024.03", "2024.07.31"},
                                                                      {"2024.04", "2024.08.31"},
                                                                      {"2024.05", "2024.09.30"}}));
    ASSERT_TRUE(d.correction);
    EXPECT_EQ(d.correction->period, "2024.04");
    EXPECT_EQ(d.correction->lastDay.text(), "2024.09.30");
    EXPECT_FALSE(d.currentShipped);
    ASSERT_EQ(d.answers.size(), 3u);
    EXPECT_EQ(d.answers[0].answered, "");
    EXPECT_EQ(d.answers[1].answered, "2024.04.20");
}

TEST_F(Year2024, UnpaidDaysLargestLossFirst) {
    const auto list = overview::unpaidDays(data.db(), "2024.01", "2024.12");
    ASSERT_EQ(list.sheets.size(), 2u);
    // 00005: 5 days, none billed, empty TPOTL gets +10 %: 5 × 5640 × 1.1
    EXPECT_EQ(list.sheets[0].key.number(), "00005");
    EXPECT_EQ(list.sheets[0].notPaid, 5);
    EXPECT_EQ(list.sheets[0].amount, db::Decimal::fromInt(31020));
    // 00002: 10 recorded, 6 billed, TPOTL "I": 4 × 5640 × 1.1
    EXPECT_EQ(list.sheets[1].key.number(), "00002");
    EXPECT_EQ(list.sheets[1].recorded, 10);
    EXPECT_EQ(list.sheets[1].billed, 6);
    EXPECT_EQ(list.sheets[1].amount, db::Decimal::fromInt(24816));
    EXPECT_EQ(list.sheets[1].nev, "Minta Mária");
    EXPECT_EQ(list.days, 9);
    EXPECT_EQ(list.total, db::Decimal::fromInt(55836));
    EXPECT_EQ(list.unanswered, std::vector<std::string>{"2024.02"});

    const auto table = overview::unpaidTable(list);
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_EQ(table.rows[0][7], reports::Cell::of(db::Decimal::fromInt(31020)));
    EXPECT_EQ(table.rows[1][6], reports::Cell::of(4));
}

TEST_F(Year2024, NotesSayWhatIsMissingOrDue) {
    const auto o = overview();
    const std::string all = [&] {
        std::string s;
        for (const auto& n : o.notes) s += n + "\n";
        return s;
    }();
    EXPECT_NE(all.find("2024.03: a rögzített napok száma (33) meghaladja a szerződött napkeretet (30)."), std::string::npos) << all;
    EXPECT_NE(all.find("Nincs óraszáma a szerződésben: Nulla Nóra"), std::string::npos) << all;
    EXPECT_NE(all.find("A(z) 2024.05 időszak adatküldése még nem készült el."), std::string::npos) << all;
    EXPECT_NE(all.find("Még nem készült biztonsági mentés."), std::string::npos) << all;
}

TEST(EmptyYear, ShowsWhatItCanAndSaysWhatIsMissing) {
    SheetData data;
    data.contracts({contractRow(true, "987654321", "2030.01.01", 30)});
    data.open({2024, 6, 10}, "2024.05");
    const auto o = overview::makeOverview(data.db(), data.session(), data.dialogs());
    EXPECT_FALSE(o.budget.anyContract());
    EXPECT_EQ(o.budget.recordedDays(), 0);
    EXPECT_TRUE(o.states.rows.empty());
    std::string all;
    for (const auto& n : o.notes) all += n + "\n";
    EXPECT_NE(all.find("A(z) 2024. évre nincs érvényes szerződés"), std::string::npos) << all;
    EXPECT_NE(all.find("A(z) 2024. évben nincs rögzített elszámolási lap."), std::string::npos) << all;
    // The paper holds the notes and an empty chart's frame, no division by zero.
    const auto report = overview::overviewReport(o, "2024.06.10 10:00");
    EXPECT_FALSE(report.noRows());
    EXPECT_TRUE(overview::unpaidDays(data.db(), "2024.01", "2024.12").sheets.empty());
}
