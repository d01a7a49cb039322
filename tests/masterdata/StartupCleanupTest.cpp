// The master-data clean-ups of every start.
#include "support/TableFixture.h"

#include "store/Schemas.h"

#include <gtest/gtest.h>

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

} // namespace

TEST(DuplicatePatients, EachGroupLosesOneRowPerStartAndOnlyExactGroupsCount) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "Beteg.dbf", store::schema::BETEG().fields,
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
