// A sheet's two rows on the shared tables: written and read back by the
// whole key, the fund's fields and damaged values kept, the cursors left
// alone, and every write inside the caller's write unit.
#include "SheetTablesDir.h"

#include "support/Files.h"
#include "support/TableFixture.h"

#include "db/DbError.h"
#include "db/Sql.h"
#include "db/WriteUnit.h"
#include "sheets/SheetStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace velmora;
using namespace velmora::test;
using sheets::Sheet;
using sheets::SheetKey;
using sheets::Visit;

namespace {

const char* kNurse = "123456788";
const char* kOtherNurse = "234567897";

// A full invoice of 2024.05 with a different value in every field, so a
// field written into another one shows.
Sheet fullInvoice() {
    Sheet s;
    s.key = {"00012", "", "2024.05"};
    s.intkod = "1234", s.finkod = "987654321", s.taj = "111111110", s.kozigkod = "0100001", s.tpotl = "I";
    s.bnofek = "A0100", s.bnofo = "B0200", s.bnokis = "C0300", s.bnoab = "D0400";
    s.orvkode = "11111", s.orvkodj = "22222", s.orvtip = "2";
    s.elrend = "2024.04.28", s.szakvet = "2024.05.02", s.gyak = "naponta kétszer", s.lezdat = "2024.05.31";
    s.elvizdb = 30, s.elszviz = 5, s.elszam = 2, s.sznap = 3;
    s.aptaj = {"100000001", "100000002", "100000003", "100000004",
               "100000005", "100000006", "100000007", "100000008"};
    s.aztip = "1", s.terkat = "01", s.allamp = "HUN";
    s.jeloles = "*", s.elkuldve = "2024.05", s.allapot = "F", s.modtipus = "P";
    s.visits[1] = {"1", kNurse, "2024.05.02", ""};
    s.visits[2] = {"1   5", kOtherNurse, "2024.05.03", "E3"};
    s.visits[30] = {"1 3", kNurse, "2024.05.31", ""};
    s.visitJeloles = "*", s.visitElkuldve = "2024.05";
    return s;
}

// A first partial invoice of a leap February, visited on its last day.
Sheet firstPart() {
    Sheet s;
    s.key = {"00013", "A", "2024.02"};
    s.intkod = "1234", s.finkod = "987654321", s.taj = "222222220", s.kozigkod = "0200002", s.tpotl = "N";
    s.bnoab = "C5000", s.bnofo = "C3490", s.orvkode = "33333", s.orvkodj = "0";
    s.elrend = "2024.02.01", s.szakvet = "2024.02.01", s.gyak = "hetente", s.elvizdb = 50, s.elszam = 1, s.sznap = 2;
    s.aptaj[0] = kNurse, s.aptaj[5] = kOtherNurse;
    s.aztip = "0", s.terkat = "02", s.allamp = "ROU";
    s.visits[0] = {"1", kNurse, "2024.02.01", ""};
    s.visits[28] = {"1    6", kOtherNurse, "2024.02.29", ""};
    return s;
}

// Its next part, the series full.
Sheet nextPart() {
    Sheet s = firstPart();
    s.key = {"00013", "B", "2024.03"};
    s.tele = "*", s.sznap = 1, s.elszviz = 2;
    s.visits = {};
    s.visits[4] = {"12", kNurse, "2024.03.05", ""};
    return s;
}

// A sheet of 2015.12: no identifier type, payment category, citizenship
// nor doctor type.
Sheet oldSheet() {
    Sheet s = fullInvoice();
    s.key = {"00201", "", "2015.12"};
    s.aztip = s.terkat = s.allamp = s.orvtip = "";
    s.elkuldve = s.visitElkuldve = "xxxx.xx", s.modtipus = s.jeloles = s.visitJeloles = s.allapot = "";
    s.visits = {};
    s.visits[0] = {"1", kNurse, "2015.12.01", "E1"};
    return s;
}

db::Value field(db::Table& t, const SheetKey& key, const std::string& name) {
    return t.lookup("idoszak;sorsz;resz", {key.idoszak, key.sorsz, key.resz}, name);
}

int rowsWithKey(db::Database& db, const char* table, const SheetKey& key) {
    const db::SqlResult r = db::Sql(db).run(std::string("select count(*) from ") + table +
                                                " where idoszak=? and sorsz=? and resz is ?",
                                            {key.idoszak, key.sorsz, key.resz.empty() ? db::Value() : key.resz});
    return static_cast<int>(r.rows.at(0).at(0).asInt());
}

} // namespace

TEST(SheetStore, AppendedSheetsReadBackAsTheyWereWrittenIntoTheirOwnFields) {
    SheetTablesDir tables;
    const Sheet sheets[] = {fullInvoice(), firstPart(), nextPart(), oldSheet()};
    for (const Sheet& s : sheets) sheets::appendSheet(tables.db, s);
    for (const Sheet& s : sheets) {
        const std::optional<Sheet> loaded = sheets::loadSheet(tables.db, s.key);
        ASSERT_TRUE(loaded) << s.key.number();
        EXPECT_EQ(*loaded, s);
    }

    // Field by field, as any reader of the table sees the full invoice.
    const SheetKey key = fullInvoice().key;
    const std::map<std::string, std::string> header = {
        {"Intkod", "1234"},       {"Finkod", "987654321"}, {"Taj", "111111110"},   {"Kozigkod", "0100001"},
        {"Tpotl", "I"},           {"Bnofek", "A0100"},     {"Bnofo", "B0200"},     {"Bnokis", "C0300"},
        {"Bnoab", "D0400"},       {"Orvkode", "11111"},    {"Orvkodj", "22222"},   {"Orvtip", "2"},
        {"Elrend", "2024.04.28"}, {"Szakvet", "2024.05.02"}, {"Gyak", "naponta kétszer"},
        {"Elvizdb", "30"},        {"Elszviz", "5"},        {"Elszam", "2"},        {"Lezdat", "2024.05.31"},
        {"Aptaj1", "100000001"},  {"Aptaj8", "100000008"}, {"Aztip", "1"},         {"Terkat", "01"},
        {"Allamp", "HUN"},        {"SzNap", "3"},          {"Tele", ""},           {"Jeloles", "*"},
        {"Elkuldve", "2024.05"},  {"Allapot", "F"},        {"Modtipus", "P"}};
    for (const auto& [name, want] : header) EXPECT_EQ(field(tables.hlapa(), key, name).asString(), want) << name;
    const std::map<std::string, std::string> visits = {
        {"Intkod", "1234"},   {"Finkod", "987654321"}, {"TEV1", ""},           {"APDAT1", ""},
        {"TEV3", "1   5"},    {"APDAT3", "2024.05.03"}, {"APBTAJ3", kOtherNurse}, {"ELI3", "E3"},
        {"TEV31", "1 3"},     {"APDAT31", "2024.05.31"}, {"Jeloles", "*"},     {"Elkuldve", "2024.05"}};
    for (const auto& [name, want] : visits) EXPECT_EQ(field(tables.hlapb(), key, name).asString(), want) << name;
    EXPECT_TRUE(field(tables.hlapa(), oldSheet().key, "Aztip").isNull());
}

TEST(SheetStore, ARewriteKeepsTheFundsFieldsAndTheDaysAfterTheMonthAndWritesVisitsOnlyOnVisitDays) {
    SheetTablesDir tables;
    Sheet june = fullInvoice();
    june.key = {"00020", "", "2024.06"};
    june.allapot = "";
    june.visits = {};
    june.visits[1] = {"1", kNurse, "2024.06.02", ""};
    june.visits[2] = {"1   5", kOtherNurse, "2024.06.03", ""};
    sheets::appendSheet(tables.db, june);
    // The import of billed sheets writes the fund's results; a stray day 31
    // stands in the row of a 30-day month.
    db::Sql sql(tables.db);
    sql.run("update hlapa set allapot='F' where sorsz='00020'");
    sql.run("update hlapb set eli2='E2', eli3='E3', tev31='1', apbtaj31=? where sorsz='00020'", {kNurse});

    const Sheet loaded = *sheets::loadSheet(tables.db, june.key);
    EXPECT_EQ(loaded.allapot, "F");
    Sheet changed = loaded;
    changed.gyak = "hetente kétszer";
    changed.visits[2].tev = changed.visits[2].apbtaj = "";    // no visit any more; the fund's mark stays
    changed.visits[4] = {"  3", kNurse, "", ""};               // a visit without a date
    changed.visits[5] = {"1", "", "2024.06.06", ""};           // a code without a nurse: no visit day
    changed.visits[30] = {};                                   // the month has no day 31
    sheets::rewriteSheet(tables.db, changed);

    Sheet want = changed;
    want.visits[2] = {"", "", "", "E3"};
    want.visits[4] = {"  3", kNurse, "2024.06.05", ""};
    want.visits[5] = {};
    want.visits[30] = loaded.visits[30];
    EXPECT_EQ(want.visits[30].tev, "1");
    EXPECT_EQ(*sheets::loadSheet(tables.db, june.key), want);
}

TEST(SheetStore, DamagedValuesReadAsTheirTextAndKeepTheirBytesWhenTheCallerKeepsThem) {
    TempDir dir;
    const db::FieldList& a = store::schema::HLAPA().fields;
    const db::FieldList& b = store::schema::HLAPB().fields;
    Row header(a.size()), visit(b.size());
    for (Row* r : {&header, &visit}) (*r)[0] = "2024.02", (*r)[3] = "00001";
    header[db::findField(a, "Gyak")] = "hetente";
    header[db::findField(a, "Elrend")] = db::Value::damaged("20240231");
    header[db::findField(a, "Elvizdb")] = db::Value::damaged("*");
    visit[db::findField(b, "TEV1")] = "1";
    visit[db::findField(b, "APBTAJ1")] = kNurse;
    visit[db::findField(b, "APDAT1")] = db::Value::damaged("2024AB01");
    writeTable(dir.str(), "HLapa.dbf", a, {header});
    writeTable(dir.str(), "HLapb.dbf", b, {visit});
    // Opened without index files: the rows are found by reading them all.
    db::Database database(dir.str());
    db::Table& hlapa = store::tableOf(database, store::schema::HLAPA());
    db::Table& hlapb = store::tableOf(database, store::schema::HLAPB());
    hlapa.open();
    hlapb.open();
    ASSERT_TRUE(hlapa.indexNames().empty());

    const SheetKey key{"00001", "", "2024.02"};
    Sheet sheet = *sheets::loadSheet(database, key);
    EXPECT_EQ(sheet.elrend, "20240231");
    EXPECT_EQ(sheet.elvizdb, 0);
    EXPECT_EQ(sheet.visits[0].apdat, "2024AB01");

    sheet.gyak = "naponta";
    sheets::rewriteSheet(database, sheet);
    EXPECT_EQ(hlapa.valueAt(0, hlapa.fieldIndex("Gyak")).asString(), "naponta");
    EXPECT_EQ(hlapa.valueAt(0, hlapa.fieldIndex("Elrend")), db::Value::damaged("20240231"));
    EXPECT_EQ(hlapa.valueAt(0, hlapa.fieldIndex("Elvizdb")), db::Value::damaged("*"));
    EXPECT_EQ(hlapb.valueAt(0, hlapb.fieldIndex("APDAT1")), db::Value::damaged("2024AB01"));

    // Mended by the caller, they are written.
    sheet.elrend = "2024.02.20";
    sheet.elvizdb = 12;
    sheet.visits[0].apdat = "2024.02.01";
    sheets::rewriteSheet(database, sheet);
    EXPECT_EQ(hlapa.valueAt(0, hlapa.fieldIndex("Elrend")), db::Value("2024.02.20"));
    EXPECT_EQ(hlapa.valueAt(0, hlapa.fieldIndex("Elvizdb")), db::Value(12));
    EXPECT_EQ(hlapb.valueAt(0, hlapb.fieldIndex("APDAT1")), db::Value("2024.02.01"));
}

TEST(SheetStore, TheSharedCursorsStayWhereTheyWereAndTheirFiltersHideNothing) {
    SheetTablesDir tables;
    for (const Sheet& s : {fullInvoice(), firstPart(), nextPart()}) sheets::appendSheet(tables.db, s);
    db::Table& hlapa = tables.hlapa();
    db::Table& hlapb = tables.hlapb();
    // The register shows March by patient; the user stands on 00013B.
    hlapa.setFilter("idoszak='2024.03'");
    hlapa.setActiveIndex("Lap2");
    ASSERT_TRUE(hlapa.locate("Sorsz;Resz", {"00013", "B"}));
    ASSERT_TRUE(hlapb.locate("idoszak;sorsz;resz", {"2024.02", "00013", "A"}));
    const auto aRow = hlapa.recNo(), bRow = hlapb.recNo();

    EXPECT_TRUE(sheets::loadSheet(tables.db, fullInvoice().key));  // another month
    EXPECT_TRUE(sheets::sheetExists(tables.db, firstPart().key));
    Sheet march = fullInvoice();
    march.key = {"00014", "", "2024.03"};
    sheets::appendSheet(tables.db, march);
    march.gyak = "hetente";
    sheets::rewriteSheet(tables.db, march);
    sheets::removeSheet(tables.db, fullInvoice().key);

    EXPECT_EQ(hlapa.recNo(), aRow);
    EXPECT_EQ(hlapb.recNo(), bRow);
    EXPECT_EQ(hlapa.filterText(), "idoszak='2024.03'");
    EXPECT_EQ(hlapa.activeIndex(), "Lap2");
}

TEST(SheetStore, AKeyHoldsOneSheetAndRemovingItTakesBothRows) {
    SheetTablesDir tables;
    const Sheet sheet = fullInvoice();
    EXPECT_FALSE(sheets::sheetExists(tables.db, sheet.key));
    EXPECT_THROW(sheets::rewriteSheet(tables.db, sheet), db::DbError);
    EXPECT_EQ(rowsWithKey(tables.db, "hlapb", sheet.key), 0);

    sheets::appendSheet(tables.db, sheet);
    EXPECT_TRUE(sheets::sheetExists(tables.db, sheet.key));
    // The same number in another period and as a first part are other sheets.
    Sheet other = sheet;
    other.key.idoszak = "2023.05";
    EXPECT_FALSE(sheets::sheetExists(tables.db, other.key));
    other.key = {"00012", "A", "2024.05"};
    EXPECT_FALSE(sheets::sheetExists(tables.db, other.key));
    try {
        sheets::appendSheet(tables.db, sheet);
        ADD_FAILURE() << "a taken key was appended";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::DbError::Code::KeyViolation);
    }
    EXPECT_EQ(rowsWithKey(tables.db, "hlapa", sheet.key), 1);
    EXPECT_EQ(rowsWithKey(tables.db, "hlapb", sheet.key), 1);

    sheets::removeSheet(tables.db, sheet.key);
    EXPECT_FALSE(sheets::loadSheet(tables.db, sheet.key));
    EXPECT_EQ(rowsWithKey(tables.db, "hlapb", sheet.key), 0);

    // A visit row that lost its header is taken over, not doubled.
    sheets::appendSheet(tables.db, sheet);
    db::Sql(tables.db).run("delete from hlapa where sorsz='00012'");
    sheets::appendSheet(tables.db, sheet);
    EXPECT_EQ(rowsWithKey(tables.db, "hlapb", sheet.key), 1);
    EXPECT_EQ(*sheets::loadSheet(tables.db, sheet.key), sheet);

    // A header whose visit row was lost reads with empty days and gets the
    // row back when it is rewritten.
    db::Sql(tables.db).run("delete from hlapb where sorsz='00012'");
    Sheet lost = *sheets::loadSheet(tables.db, sheet.key);
    EXPECT_EQ(lost.taj, sheet.taj);
    EXPECT_EQ(lost.visits, decltype(lost.visits){});
    lost.visits = sheet.visits;
    lost.visitJeloles = sheet.visitJeloles, lost.visitElkuldve = sheet.visitElkuldve;
    sheets::rewriteSheet(tables.db, lost);
    EXPECT_EQ(*sheets::loadSheet(tables.db, sheet.key), sheet);

    // Without a unit of the caller's, each call reaches the files.
    tables.db.closeAll();
    EXPECT_EQ(readRows(tables.dir.str(), "HLapa.dbf").size(), 1u);
    EXPECT_EQ(readRows(tables.dir.str(), "HLapb.dbf").size(), 1u);
}

TEST(SheetStore, AWriteUnitThatFailsAfterTheSheetsRowsLeavesBothTablesAsTheyWere) {
    SheetTablesDir tables;
    store::Crtbeteg(tables.db, tables.dialogs);
    db::Table& beteg = store::tableOf(tables.db, store::schema::BETEG());
    beteg.appendValues({"111111110", "Kiss Ilona"});
    const Sheet stored = fullInvoice();
    sheets::appendSheet(tables.db, stored);

    Sheet changed = stored;
    changed.gyak = "hetente";
    changed.visits[1] = {};
    const struct { const char* what; std::function<void()> step; } steps[] = {
        {"append", [&] { sheets::appendSheet(tables.db, firstPart()); }},
        {"rewrite", [&] { sheets::rewriteSheet(tables.db, changed); }},
        {"remove", [&] { sheets::removeSheet(tables.db, stored.key); }},
    };
    for (const auto& s : steps) {
        const std::string hlapaBytes = fileBytes(tables.dir.file("HLapa.dbf"));
        const std::string hlapbBytes = fileBytes(tables.dir.file("HLapb.dbf"));
        try {
            db::WriteUnit unit(tables.db);
            s.step();
            beteg.appendValues({"111111110", "Kiss Ilona"});  // the patient's key is taken: refused
            unit.commit();
            ADD_FAILURE() << s.what << ": the unit did not fail";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.code(), db::DbError::Code::KeyViolation) << s.what;
        }
        EXPECT_EQ(fileBytes(tables.dir.file("HLapa.dbf")), hlapaBytes) << s.what;
        EXPECT_EQ(fileBytes(tables.dir.file("HLapb.dbf")), hlapbBytes) << s.what;
        EXPECT_EQ(sheets::loadSheet(tables.db, stored.key), stored) << s.what;
        EXPECT_FALSE(sheets::sheetExists(tables.db, firstPart().key)) << s.what;
        EXPECT_EQ(rowsWithKey(tables.db, "hlapb", firstPart().key), 0) << s.what;
    }
}
