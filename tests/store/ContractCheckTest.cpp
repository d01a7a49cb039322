#include "support/TableFixture.h"

#include "store/ContractCheck.h"
#include "store/TableSetup.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

TEST(ContractCheck, MissingFundTablesAreListedAndTheProgramEnds) {
    const struct {
        std::set<std::string> leaveOut;
        std::string lines;
    } cases[] = {
        {{"HTHELY.DBF", "BNOTORZS.DBF"}, "\r    HTHELY.DBF\rHiányzik még a BNOTORZS.DBF is."},
        {{"PART.DBF", "HSZERZ.DBF", "HSZOLGSZ.DBF", "TELEPUL.DBF", "HTERULET.DBF"},
         "\r    PART.DBF\r    HSZERZ.DBF\r    HSZOLGSZ.DBF\r    TELEPUL.DBF\r    HTERULET.DBF"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeFundTables(dir.str(), c.leaveOut);
        Start start(dir.str());
        EXPECT_FALSE(start.run());
        EXPECT_EQ(start.dialogs.errors(),
                  std::vector<std::string>{"Nincsenek szerződéses adatok!\rHiányzik:" + c.lines +
                                           "\rKérje a hiányzó állományokat a RUV-től,\rés másolja be a DATA "
                                           "könyvtárba!!\r\rA program ezek nélkül nem indul!!\rKilépés!!"});
        for (const std::string& file : c.leaveOut) EXPECT_FALSE(db::findFileNoCase(dir.str(), file)) << file;
        EXPECT_FALSE(fs::exists(dir.file("Apol.dbf")));  // the program's own tables come after the check
    }
}

TEST(ContractCheck, TheLatestContractGivesTheProviderLine) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_EQ(start.session.v_finkod, "987654321");
    EXPECT_EQ(start.session.v_datum, "2024.01.01");
    EXPECT_EQ(start.dialogs.statusText(1),
              "1234 Példa Hospice Szolgálat  (FINkód: 987654321, Szerz.kezd: 2024.01.01)");
    EXPECT_EQ(start.db.findTable("HSZERZ")->activeIndex(), "Szerz1");
}

TEST(ContractCheck, AContractWithoutFinkodGainsItBlankWithZeroDayCounts) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "HSZERZ.DBF", contractFields(false),
               {contractRow(false, "", "2024.01.01", 3650), contractRow(false, "", "2022.07.01", 900)}, 3);

    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());
    EXPECT_EQ(start.session.v_finkod, "");
    EXPECT_EQ(start.session.v_datum, "2024.01.01");
    start.db.closeAll();

    const FileLayout layout = readLayout(dir.str(), "HSzerz.dbf");
    ASSERT_EQ(layout.fields.size(), 21u);
    EXPECT_EQ(layout.tags, std::vector<std::string>{"Szerz1=szkezd"});
    const int finkod = db::findField(layout.fields, "FINKOD");
    const int normnap = db::findField(layout.fields, "NORMNAP");
    const int potnap = db::findField(layout.fields, "POTNAP");
    EXPECT_EQ(finkod, 2);
    const auto rows = readRows(dir.str(), "HSzerz.dbf");
    ASSERT_EQ(rows.size(), 2u);
    for (const Row& r : rows) {
        EXPECT_TRUE(r[finkod].isNull());
        EXPECT_EQ(r[normnap], db::Value(0));
        EXPECT_EQ(r[potnap], db::Value(0));
        EXPECT_EQ(r[db::findField(layout.fields, "MODDAT")], db::Value("2024.02.01"));
    }
    EXPECT_EQ(rows[0][db::findField(layout.fields, "SZKEZD")], db::Value("2022.07.01"));  // in start order
    EXPECT_EQ(rows[1][db::findField(layout.fields, "OSSZNAP")], db::Value(3650));
}

TEST(ContractCheck, AContractStillWithoutFinkodEndsTheProgram) {
    // After a contract import the contract is read again without the upgrade.
    TempDir dir;
    writeFundTables(dir.str());
    db::FieldList noFinkod = contractFields(false);
    writeTable(dir.str(), "HSZERZ.DBF", noFinkod, {}, 3);
    db::Database database(dir.str());
    for (const char* name : {"HSZERZ", "PART"}) database.table(name, std::string(name) + ".DBF").open();
    ScriptedDialogs dialogs;
    database.findTable("HSZERZ")->addIndex("Szerz1", "szkezd");
    EXPECT_FALSE(store::finkodtolt(database, dialogs));
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"Nincs a szerződésben FINKOD mező, így nem használható a "
                                                         "program.\rKérjen új szerződés adatot!\rA program kilép!"});
}
