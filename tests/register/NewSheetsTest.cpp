// New sheets, the next part of a series and the closing date entered
// afterwards, on real tables.
#include "register/NewSheets.h"

#include "app/UserError.h"
#include "db/Sql.h"
#include "sheets/SheetStore.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetForm;
using sheets::SheetKey;

namespace {


}  // namespace

TEST(NextPart, TakesTheNextLetterAndTheDaysBilledSoFarWithAnEmptyGrid) {
    SheetData data;
    data.sheet(seriesPart("2024.03", "00012", "A", 20, {{"Bnokis", "C5000"}, {"Lezdat", "2024.07.31"}, {"Tpotl", "I"}}))
        .sheet(seriesPart("2024.04", "00012", "B", 22))
        .sheet(seriesPart("2024.04", "00013", "", 7));
    data.open({2024, 6, 10}, "2024.05");

    const SheetForm f = reg::nextPartForm(data.ctx(), {"00012", "A", "2024.03"});
    EXPECT_EQ(f.mode, sheets::EntryMode::New);
    EXPECT_EQ(f.m_sorsz, "00012C");
    EXPECT_EQ(f.key(), (SheetKey{"00012", "C", "2024.05"}));
    EXPECT_EQ(f.m_elszviz, "42");
    EXPECT_EQ(f.vszame, "42");
    EXPECT_EQ(f.vszam, "0");
    // The first part's header, looked up as the entry window shows it.
    EXPECT_EQ(f.m_taj, people::patient);
    EXPECT_EQ(f.m_nev, "Minta Mária");
    EXPECT_EQ(f.m_kiserd, "C5000");
    EXPECT_EQ(f.bno3, "Emlő rosszindulatú daganata");
    EXPECT_EQ(f.m_fodiag, "C5000");
    EXPECT_TRUE(f.CB1);
    EXPECT_EQ(f.m_eorvtip, "1");  // the part's own period asks for the doctor's type
    EXPECT_EQ(f.m_lezdat, "2024.07.31");
    EXPECT_EQ(f.m_elszam, "1");
    EXPECT_EQ(f.aptev[0], people::nurse1);
    EXPECT_EQ(f.apnev[0], "Ápoló Anna");
    // The month's grid, empty.
    EXPECT_EQ(f.tnap, 31);
    EXPECT_EQ(f.apdat[30], "2024.05.31");
    for (int d = 0; d < 31; ++d) EXPECT_TRUE(f.tev[d].empty() && f.aptaj[d].empty()) << "day " << d + 1;
}

TEST(NextPart, FebruaryAddsTheFirstPartsEarlierDaysAndARestartedNumberIsAnotherSeries) {
    const struct {
        app::Date today; std::string period; std::vector<RawSheet> sheets; SheetKey first; std::string number, days;
    } cases[] = {
        {{2024, 2, 10}, "2024.02", {seriesPart("2024.01", "00003", "A", 20, {{"Elszviz", 5}})},
         {"00003", "A", "2024.01"}, "00003B", "25"},
        {{2024, 3, 10}, "2024.03", {seriesPart("2024.01", "00003", "A", 20, {{"Elszviz", 5}})},
         {"00003", "A", "2024.01"}, "00003B", "20"},
        // December of 2023: the year after restarted its numbers, its 00012A and B are not this series.
        {{2024, 1, 5}, "2023.12",
         {seriesPart("2023.11", "00012", "A", 10), seriesPart("2024.02", "00012", "A", 20), seriesPart("2024.03", "00012", "B", 5)},
         {"00012", "A", "2023.11"}, "00012B", "10"},
    };
    for (const auto& c : cases) {
        SheetData data;
        for (const RawSheet& s : c.sheets) data.sheet(s);
        data.open(c.today, c.period);
        const SheetForm f = reg::nextPartForm(data.ctx(), c.first);
        EXPECT_EQ(f.m_sorsz, c.number) << c.period;
        EXPECT_EQ(f.m_idosz, c.period);
        EXPECT_EQ(f.m_elszviz, c.days) << c.period;
    }
}

TEST(NewSheet, TheYearsNextNumberOrAMessageWhenNoneIsLeft) {
    SheetData data;
    data.sheet(seriesPart("2023.12", "00347", "", 3))
        .sheet(seriesPart("2024.02", "00056", "", 3))
        .sheet(seriesPart("2024.05", "00012", "", 3));
    data.open({2024, 6, 10}, "2024.05");
    const auto first = reg::startNewSheet(data.ctx(), sheets::SheetKind::FirstPart);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->m_sorsz, "00057A");

    data.session().acceptPeriod("2024.01", false);  // outside the late-report window
    EXPECT_FALSE(reg::startNewSheet(data.ctx(), sheets::SheetKind::Full));
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{reg::kLateReport});

    data.session().acceptPeriod("2024.05", false);
    db::Sql(data.db()).run("update hlapa set sorsz='99999' where sorsz='00012'");
    data.dialogs().clearLog();
    EXPECT_FALSE(reg::startNewSheet(data.ctx(), sheets::SheetKind::Full));
    EXPECT_EQ(data.dialogs().errors(),
              std::vector<std::string>{"Az elszámolási lap sorszáma csak 00001 és 99999 között lehet."});
}

TEST(ClosingDate, RefusedBeforeTheLastVisitInvalidOrEmptyOnOk) {
    SheetData data;
    data.sheet({"2024.05", "00012", "", people::patient, {{2, "1", people::nurse1}, {20, "1", people::nurse1}},
                {{"Szakvet", "2024.05.02"}}})
        .sheet(seriesPart("2024.05", "00050", "", 5, {{"Elkuldve", "xxxx.xx"}}));
    data.open({2024, 6, 10}, "2024.06");
    const SheetKey key{"00012", "", "2024.05"};
    const struct { const char* date; bool forOk; bool fits; std::vector<std::string> errors; } cases[] = {
        {"2024.05.20", true, true, {}},
        {"2024.05.19", true, false, {reg::kClosingBeforeVisit}},
        {"", false, true, {}},                                       // leaving an empty field
        {"    .  .  ", true, false, {"Nincs megadva a lezárás dátuma!"}},
        {"2024.05.32", true, false, {"Érvénytelen dátum!"}},
        {"2024.05.01", true, false, {"Nem lehet a lezárás dátuma kisebb, mint az ápolásba vétel dátuma!"}},
        {"2024.06.01", false, false, {"Nem lehet a lezárás dátuma nagyobb a jelentési időszak végénél!"}},
    };
    for (const auto& c : cases) {
        data.dialogs().clearLog();
        EXPECT_EQ(reg::closingDateFits(data.db(), key, c.date, "2024.05.02", c.forOk, data.dialogs()), c.fits)
            << c.date;
        EXPECT_EQ(data.dialogs().errors(), c.errors) << c.date;
    }
    data.dialogs().clearLog();
    EXPECT_FALSE(reg::closingDateFits(data.db(), {"00050", "", "2024.05"}, "2024.05.25", "2024.05.01", true,
                                      data.dialogs()));
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{"RUV-től visszakapott adat! Nem javítható!"});
}

TEST(ClosingDate, OnlyASentSheetGoesBackToTheFundAndACancelledOneStaysCancelled) {
    const struct { const char* elkuldve; const char* modtipus; bool mark; const char* after; } cases[] = {
        {"", "", true, "|"},                   // never sent: the date goes with its first shipment
        {"2024.05", "", true, "YY|L"},
        {"2024.05", "", false, "2024.05|"},
        {"2024.06", "P", true, "YY|L"},
        {"YY", "K", true, "YY|L"},
        {"YY", "S", true, "YY|S"},             // cancelled: never "L"
        {"2024.06", "S", true, "2024.06|S"},   // its cancellation went out
    };
    for (const auto& c : cases) {
        SheetData data;
        data.sheet(seriesPart("2024.05", "00012", "", 5, {{"Elkuldve", c.elkuldve}, {"Modtipus", c.modtipus}}));
        data.open({2024, 6, 10}, "2024.06");
        reg::storeClosingDate(data.db(), {"00012", "", "2024.05"}, "2024.05.28", c.mark);
        const auto row = db::Sql(data.db()).run("select lezdat,elkuldve,modtipus from hlapa").rows.at(0);
        EXPECT_EQ(row[0].asString(), "2024.05.28");
        EXPECT_EQ(row[1].asString() + "|" + row[2].asString(), c.after) << c.elkuldve << "/" << c.modtipus;
    }
}

TEST(ClosingDate, TheLastClosedPeriodIsTheGreatestNotTheLastStored) {
    SheetData data;
    data.periodRow("2024.05", "2024.06.05").periodRow("2024.03", "2024.04.05");
    data.open();
    const auto last = reg::lastClosedPeriod(data.db());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->idoszak, "2024.05");
    EXPECT_EQ(last->zaras, "2024.06.05");
    db::Sql(data.db()).run("delete from zaras");
    EXPECT_FALSE(reg::lastClosedPeriod(data.db()));
}
