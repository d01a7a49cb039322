// Deleting, cancelling and converting a recorded sheet on real tables: both
// rows change together, the series' full mark follows, and the fund's sheets
// are never touched.
#include "register/SheetCommands.h"

#include "app/UserError.h"
#include "db/Sql.h"
#include "sheets/SheetStore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetKey;

namespace {


// "sorsz|resz|idoszak|tele|elkuldve|modtipus" of every header row, in key order.
std::string headers(SheetData& data) {
    std::string out;
    for (const auto& r : db::Sql(data.db())
                             .run("select sorsz,resz,idoszak,tele,elkuldve,modtipus from hlapa "
                                  "order by idoszak,sorsz,resz")
                             .rows) {
        for (const auto& v : r) out += v.asString() + "|";
        out.back() = '\n';
    }
    return out;
}

// "sorsz resz idoszak" of every visit row.
std::string visitKeys(SheetData& data) {
    std::string out;
    for (const auto& r :
         db::Sql(data.db()).run("select sorsz,resz,idoszak from hlapb order by idoszak,sorsz,resz").rows)
        out += r[0].asString() + " " + r[1].asString() + " " + r[2].asString() + "\n";
    return out;
}

db::Table& hlapa(SheetData& data) { return store::tableOf(data.db(), store::schema::HLAPA()); }
db::Table& hlapb(SheetData& data) { return store::tableOf(data.db(), store::schema::HLAPB()); }

}  // namespace

TEST(DeleteSheet, RemovesBothRowsPacksBothFilesAndRecomputesTheSeriesMark) {
    SheetData data;
    data.sheet(seriesPart("2024.03", "00012", "A", 30, {{"Tele", "*"}}))
        .sheet(seriesPart("2024.04", "00012", "B", 20, {{"Tele", "*"}}))
        .sheet(seriesPart("2024.04", "00013", "", 5));
    data.open({2024, 6, 10}, "2024.04");
    hlapa(data).last();

    reg::deleteSheet(data.db(), {"00012", "B", "2024.04"});

    EXPECT_EQ(headers(data), "00012|A|2024.03|||\n00013||2024.04|||\n");
    EXPECT_EQ(visitKeys(data), "00012 A 2024.03\n00013  2024.04\n");
    for (db::Table* t : {&hlapa(data), &hlapb(data)}) {
        EXPECT_EQ(t->physicalCount(), 2u) << t->name() << ": the deleted records were packed away";
        EXPECT_EQ(t->position(), 0) << t->name();
    }
    // The packed files, read by a fresh engine, hold the two sheets alone.
    data.db().closeAll();
    EXPECT_EQ(readRows(data.dir(), store::schema::HLAPA().fileName).size(), 2u);
}

TEST(CancelSheet, MarksItForTheFundAndTakesTheFullMarkOffTheSeries) {
    SheetData data;
    data.sheet(seriesPart("2024.04", "00012", "A", 30, {{"Tele", "*"}, {"Elkuldve", "2024.04"}}))
        .sheet(seriesPart("2024.05", "00012", "B", 20, {{"Tele", "*"}, {"Elkuldve", "2024.05"}, {"Jeloles", "*"}}));
    data.open({2024, 6, 12}, "2024.06");
    const auto before = sheets::loadSheet(data.db(), {"00012", "B", "2024.05"});

    for (int again = 0; again < 2; ++again) {  // cancelling twice writes the same
        reg::cancelSheet(data.db(), {"00012", "B", "2024.05"});
        EXPECT_EQ(headers(data), "00012|A|2024.04||2024.04|\n00012|B|2024.05||YY|S\n");
    }
    // Nothing else of the sheet changed.
    auto after = sheets::loadSheet(data.db(), {"00012", "B", "2024.05"});
    ASSERT_TRUE(before && after);
    after->elkuldve = before->elkuldve;
    after->modtipus = before->modtipus;
    after->tele = before->tele;
    EXPECT_EQ(*after, *before);
}

TEST(ConvertSheet, TurnsAFirstPartIntoAFullInvoiceAndBackInBothTables) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00020", "A", 50, {{"Tele", "*"}, {"Gyak", "naponta"}}));
    data.open({2024, 6, 12}, "2024.05");
    const auto before = sheets::loadSheet(data.db(), {"00020", "A", "2024.05"});

    reg::convertSheet(data.db(), {"00020", "A", "2024.05"}, "");
    EXPECT_EQ(headers(data), "00020||2024.05|||\n");  // a full invoice has no series mark
    EXPECT_EQ(visitKeys(data), "00020  2024.05\n");

    reg::convertSheet(data.db(), {"00020", "", "2024.05"}, "A");
    EXPECT_EQ(headers(data), "00020|A|2024.05|*||\n");  // fifty days: the series is full again
    EXPECT_EQ(visitKeys(data), "00020 A 2024.05\n");
    EXPECT_EQ(sheets::loadSheet(data.db(), {"00020", "A", "2024.05"}), before);
}

TEST(ConvertSheet, RefusesATakenKeyASeriesWithLaterPartsAMissingVisitRowAndTheFundsSheets) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00021", "", 3))
        .sheet(seriesPart("2024.05", "00021", "A", 4))                             // the key 00021 would take
        .sheet(seriesPart("2024.03", "00012", "A", 10))
        .sheet(seriesPart("2024.04", "00012", "B", 10))                            // a later part of its series
        .sheet(seriesPart("2023.03", "00030", "A", 10))
        .sheet(seriesPart("2024.03", "00030", "B", 10))                            // another year's series
        .sheet(seriesPart("2024.05", "00040", "", 5))
        .sheet(seriesPart("2024.05", "00050", "", 5, {{"Elkuldve", "xxxx.xx"}}));
    data.open({2024, 6, 12}, "2024.05");
    db::Sql(data.db()).run("delete from hlapb where sorsz='00040'");
    const std::string headersBefore = headers(data), visitsBefore = visitKeys(data);

    const struct { SheetKey key; const char* newResz; std::string message; } refused[] = {
        {{"00021", "", "2024.05"}, "A", "Ilyen sorszámú lap már van! A javítás nem hajtható végre!"},
        {{"00012", "A", "2024.03"}, "", "A részszámlának már vannak további részei! Nem alakítható teljes számlává!"},
        {{"00040", "", "2024.05"}, "A", reg::kConvertBroken},
        {{"00050", "", "2024.05"}, "A", reg::kFromFund},
        {{"00012", "B", "2024.04"}, "", reg::kConvertOther},
    };
    for (const auto& c : refused) {
        try {
            reg::convertSheet(data.db(), c.key, c.newResz);
            ADD_FAILURE() << c.key.number() << " was converted";
        } catch (const app::UserError& e) {
            EXPECT_EQ(e.what(), c.message) << c.key.number();
        }
    }
    EXPECT_EQ(headers(data), headersBefore);
    EXPECT_EQ(visitKeys(data), visitsBefore);

    // A number restarted in January is another series: 2023's 00030 has no later part.
    reg::convertSheet(data.db(), {"00030", "A", "2023.03"}, "");
    EXPECT_TRUE(sheets::sheetExists(data.db(), {"00030", "", "2023.03"}));
}

TEST(SheetCommands, TheFundsSheetIsNeitherDeletedNorCancelled) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00050", "", 5, {{"Elkuldve", "xxxx.xx"}}));
    data.open({2024, 6, 12}, "2024.05");
    const std::string before = headers(data);
    EXPECT_THROW(reg::deleteSheet(data.db(), {"00050", "", "2024.05"}), app::UserError);
    EXPECT_THROW(reg::cancelSheet(data.db(), {"00050", "", "2024.05"}), app::UserError);
    EXPECT_EQ(headers(data), before);
    EXPECT_EQ(visitKeys(data), "00050  2024.05\n");
}
