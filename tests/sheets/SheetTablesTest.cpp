// What the sheet tables get at every start: the doctor type of an old
// layout, the defaults of sheets from 2016.01 and the patient's name.
#include "support/TableFixture.h"

#include "sheets/SheetTables.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

TEST(SheetTables, SheetsWithoutDoctorTypeGainItBlankAndSheetsFrom2016GetTheirDefaults) {
    TempDir dir;
    writeFundTables(dir.str());
    db::FieldList old = store::schema::HLAPA().fields;
    old.erase(old.begin() + db::findField(old, "Orvtip"));
    auto sheet = [&](const char* period, const char* number, db::Value aztip, db::Value allamp, db::Value terkat) {
        Row r(old.size());
        r[db::findField(old, "Idoszak")] = period;
        r[db::findField(old, "Sorsz")] = number;
        r[db::findField(old, "Taj")] = "123456788";
        r[db::findField(old, "Elrend")] = "2015.11.02";
        r[db::findField(old, "Elszam")] = 12;
        r[db::findField(old, "Aztip")] = aztip;
        r[db::findField(old, "Allamp")] = allamp;
        r[db::findField(old, "Terkat")] = terkat;
        return r;
    };
    writeTable(dir.str(), "HLAPA.DBF", old,
               {sheet("2016.03", "00002", {}, {}, {}), sheet("2015.12", "00001", {}, {}, {}),
                sheet("2016.05", "00003", "2", {}, {}), sheet("2016.01", "00004", {}, {}, {})});
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());
    db::Table& lap = *start.db.findTable("HLAPA");
    ASSERT_EQ(lap.fields().size(), 39u);
    EXPECT_EQ(lap.fields()[14].name, "Orvtip");
    const struct { const char* sorsz; const char* aztip; const char* allamp; const char* terkat; } want[] = {
        {"00001", "", "", ""}, {"00002", "1", "HUN", "01"}, {"00003", "2", "", ""}, {"00004", "1", "HUN", "01"}};
    for (const auto& w : want) {
        ASSERT_TRUE(lap.locate("Sorsz", w.sorsz)) << w.sorsz;
        EXPECT_TRUE(lap.field("Orvtip").isNull()) << w.sorsz;
        EXPECT_EQ(lap.text("Elrend"), "2015.11.02") << w.sorsz;
        EXPECT_EQ(lap.field("Elszam").asInt(), 12) << w.sorsz;
        EXPECT_EQ(lap.text("Aztip"), w.aztip) << w.sorsz;
        EXPECT_EQ(lap.text("Allamp"), w.allamp) << w.sorsz;
        EXPECT_EQ(lap.text("Terkat"), w.terkat) << w.sorsz;
    }
}

TEST(SheetTables, SheetsShowThePatientsName) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "Beteg.dbf", store::schema::BETEG().fields, {{"123456788", "Kiss Ilona"}});
    Row sheet(39);
    sheet[0] = "2024.05";
    sheet[3] = "00001";
    sheet[5] = "123456788";
    writeTable(dir.str(), "HLapa.dbf", store::schema::HLAPA().fields, {sheet});
    Start start(dir.str());
    sheets::addPatientNameLookup(start.db);
    ASSERT_TRUE(start.run());
    db::Table& lap = *start.db.findTable("HLAPA");
    lap.first();
    EXPECT_EQ(lap.text("bnev"), "Kiss Ilona");
}
