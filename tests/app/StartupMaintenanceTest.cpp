#include "TableFixture.h"

#include "app/Schemas.h"
#include "app/StartupMaintenance.h"

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::test;

namespace {

Row patient(const char* taj, const char* name, const char* sex, const char* birth) {
    Row r(9);
    if (*taj) r[0] = taj;
    r[1] = name;
    r[2] = sex;
    r[8] = birth;
    return r;
}

Row sentSheet(const char* period, const char* number, const char* sent) {
    Row r(39);
    r[0] = period;
    r[3] = number;
    if (*sent) r[36] = sent;  // Elkuldve
    return r;
}

Row periodRow(const char* period, const char* closed, int sheets) {
    return {period, *closed ? db::Value(closed) : db::Value(), sheets};
}

// Idoszak -> "Zaras/Lapoksz" of the period table's live rows.
std::map<std::string, std::string> periodTable(const std::string& dir) {
    std::map<std::string, std::string> out;
    for (const Row& r : readRows(dir, "Zaras.dbf")) out[r[0].asString()] = r[1].asString() + "/" + r[2].asString();
    return out;
}

} // namespace

TEST(DuplicatePatients, EachGroupLosesOneRowPerStartAndOnlyExactGroupsCount) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "Beteg.dbf", app::schema::BETEG().fields,
               {patient("111111111", "Első Anna", "N", "1940.01.01"), patient("111111111", "Második Anna", "N", "1940.01.01"),
                patient("111111111", "Harmadik Anna", "N", "1940.01.01"),
                patient("222222222", "Férfi Béla", "F", "1950.02.02"), patient("222222222", "Női Béla", "N", "1950.02.02"),
                patient("333333333", "Korábbi Cecil", "F", "1930.03.03"), patient("333333333", "Későbbi Cecil", "F", "1931.03.03"),
                patient("", "TAJ nélküli Dóra", "N", "1945.04.04"), patient("", "TAJ nélküli Dóra", "N", "1945.04.04")});
    auto names = [&] {
        std::vector<std::string> n;
        for (const Row& r : readRows(dir.str(), "Beteg.dbf")) n.push_back(r[1].asString());
        return n;
    };
    {
        Start start(dir.str());
        ASSERT_TRUE(start.run());
        EXPECT_TRUE(start.dialogs.errors().empty());
    }
    // The first by name goes: the table is in name order at start-up.
    EXPECT_EQ(names(), (std::vector<std::string>{"Második Anna", "Harmadik Anna", "Férfi Béla", "Női Béla",
                                                 "Korábbi Cecil", "Későbbi Cecil", "TAJ nélküli Dóra",
                                                 "TAJ nélküli Dóra"}));
    { Start start(dir.str()); ASSERT_TRUE(start.run()); }
    { Start start(dir.str()); ASSERT_TRUE(start.run()); }
    EXPECT_EQ(names(), (std::vector<std::string>{"Második Anna", "Férfi Béla", "Női Béla", "Korábbi Cecil",
                                                 "Későbbi Cecil", "TAJ nélküli Dóra", "TAJ nélküli Dóra"}));
}

TEST(PeriodTable, SentPeriodsOfTheLastSixMonthsAreClosedOnTheFifthOfTheNextMonth) {
    TempDir dir;
    writeFundTables(dir.str());
    // Today is 2024.06.10: the window is 2023.12 to 2024.05.
    writeTable(dir.str(), "HLapa.dbf", app::schema::HLAPA().fields,
               {sentSheet("2023.11", "00001", "2023.11"), sentSheet("2024.01", "00002", "2024.01"),
                sentSheet("2024.02", "00003", "2024.02"), sentSheet("2024.02", "00004", "2024.02"),
                sentSheet("2024.03", "00005", "2024.03"), sentSheet("2024.04", "00006", "2024.04"),
                sentSheet("2024.04", "00007", "YY"), sentSheet("2024.04", "00008", ""),
                sentSheet("2024.04", "00009", "2024.05"), sentSheet("2024.06", "00010", "2024.06")});
    writeTable(dir.str(), "Zaras.dbf", app::schema::ZARAS().fields,
               {periodRow("2023.11", "2024.03.01", 1), periodRow("2024.01", "", 1),
                periodRow("2024.02", "2024.05.20", 9), periodRow("2024.03", "2024.04.10", 1),
                periodRow("2024.05", "2024.06.03", 4)});
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());
    start.db.closeAll();
    EXPECT_EQ(periodTable(dir.str()), (std::map<std::string, std::string>{
                                          {"2023.11", "2024.03.01/1"},  // before the window
                                          {"2024.01", "/1"},            // open period stays open
                                          {"2024.02", "2024.03.05/9"},  // closed late: moved, count kept
                                          {"2024.03", "2024.04.10/1"},  // closed in the next month
                                          {"2024.04", "2024.05.05/2"},  // new row with the sent sheets
                                      }));  // 2024.05, after the last sent period, is gone
    EXPECT_EQ(readRows(dir.str(), "Zaras.dbf").size(), 5u);
}

TEST(PeriodTable, NothingSentInTheWindowChangesNothing) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "HLapa.dbf", app::schema::HLAPA().fields,
               {sentSheet("2023.11", "00001", "2023.11"), sentSheet("2024.03", "00002", "YY"),
                sentSheet("2024.06", "00003", "2024.06")});
    writeTable(dir.str(), "Zaras.dbf", app::schema::ZARAS().fields,
               {periodRow("2024.03", "2024.07.01", 1), periodRow("2024.04", "", 0)});
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());
    start.db.closeAll();
    EXPECT_EQ(periodTable(dir.str()),
              (std::map<std::string, std::string>{{"2024.03", "2024.07.01/1"}, {"2024.04", "/0"}}));
}

TEST(StartupMaintenance, AFailedStepShowsItsNumberAndStartUpGoesOn) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    start.db.findTable("HLAPA")->close();
    start.db.findTable("BETEG")->close();
    app::maintainPeriodTable(start.db, start.clock, start.dialogs);
    app::removeDuplicatePatients(start.db, start.dialogs);
    EXPECT_EQ(start.dialogs.errors(),
              (std::vector<std::string>{"Hiba a lefutásban! (18)", "Hiba a lefutásban! (19)"}));
}
