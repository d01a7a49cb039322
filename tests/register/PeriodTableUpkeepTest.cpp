// The period table kept in line with the sent sheets at every start.
#include "support/TableFixture.h"

#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::test;

namespace {

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

TEST(PeriodTable, SentPeriodsOfTheLastSixMonthsAreClosedOnTheFifthOfTheNextMonth) {
    TempDir dir;
    writeFundTables(dir.str());
    // Today is 2024.06.10: the window is 2023.12 to 2024.05.
    writeTable(dir.str(), "HLapa.dbf", store::schema::HLAPA().fields,
               {sentSheet("2023.11", "00001", "2023.11"), sentSheet("2024.01", "00002", "2024.01"),
                sentSheet("2024.02", "00003", "2024.02"), sentSheet("2024.02", "00004", "2024.02"),
                sentSheet("2024.03", "00005", "2024.03"), sentSheet("2024.04", "00006", "2024.04"),
                sentSheet("2024.04", "00007", "YY"), sentSheet("2024.04", "00008", ""),
                sentSheet("2024.04", "00009", "2024.05"), sentSheet("2024.06", "00010", "2024.06")});
    writeTable(dir.str(), "Zaras.dbf", store::schema::ZARAS().fields,
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
    writeTable(dir.str(), "HLapa.dbf", store::schema::HLAPA().fields,
               {sentSheet("2023.11", "00001", "2023.11"), sentSheet("2024.03", "00002", "YY"),
                sentSheet("2024.06", "00003", "2024.06")});
    writeTable(dir.str(), "Zaras.dbf", store::schema::ZARAS().fields,
               {periodRow("2024.03", "2024.07.01", 1), periodRow("2024.04", "", 0)});
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());
    start.db.closeAll();
    EXPECT_EQ(periodTable(dir.str()),
              (std::map<std::string, std::string>{{"2024.03", "2024.07.01/1"}, {"2024.04", "/0"}}));
}
