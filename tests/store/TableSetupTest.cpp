#include "support/TableFixture.h"

#include "db/DbError.h"
#include "support/Files.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

// "Name C7,Other D,Num N10.5": a layout as the tables are documented.
std::string describe(const db::FieldList& fields) {
    std::string s;
    for (const db::FieldDef& f : fields) {
        if (!s.empty()) s += ",";
        s += f.name + " " + f.type;
        if (f.type == 'C') s += std::to_string(f.width);
        if (f.type == 'N') s += std::to_string(f.width) + "." + std::to_string(f.decimals);
    }
    return s;
}

std::string hlapbLayout() {
    std::string s = "Idoszak C7,Intkod C4,Finkod C9,Sorsz C5,Resz C1";
    for (int i = 1; i <= 31; ++i) {
        const std::string n = std::to_string(i);
        s += ",TEV" + n + " C8,APDAT" + n + " D,APBTAJ" + n + " C9,ELI" + n + " C7";
    }
    return s + ",Jeloles C1,Elkuldve C7";
}

// A value of the field's type that fits it, different per field and seed.
db::Value sampleValue(const db::FieldDef& f, int i, int seed) {
    if (f.type == 'D') return "202" + std::to_string(seed) + ".0" + std::to_string(1 + i % 9) + ".1" + std::to_string(i % 10);
    if (f.type == 'N')
        return f.decimals ? db::Value(*db::Decimal::parse(std::to_string(seed) + "." + std::string(f.decimals, '5')))
                          : db::Value(i % 10 + seed);
    return (std::to_string(seed) + f.name).substr(0, f.width);
}

Row sampleRow(const db::FieldList& fields, int seed) {
    Row row;
    for (size_t i = 0; i < fields.size(); ++i) row.push_back(sampleValue(fields[i], static_cast<int>(i), seed));
    return row;
}

} // namespace

TEST(TableSetup, FirstStartWithTheFundTablesCreatesEveryOwnTableWithItsLayoutAndIndexes) {
    TempDir dir;
    writeFundTables(dir.str());
    Start start(dir.str());
    ASSERT_TRUE(start.run());
    EXPECT_TRUE(start.dialogs.errors().empty());

    const struct {
        const char* file;
        const char* table;
        std::string layout;
        std::vector<std::string> tags;
        const char* active;
    } expected[] = {
        {"Zaras.dbf", "ZARAS", "Idoszak C7,Zaras D,Lapoksz N5.0,Ruvkuld D,Alapdij N10.5,Eloleg N10.1",
         {"Zaras=Idoszak+dtos(Zaras)"}, ""},
        {"Apol.dbf", "APOL", "Aptaj C9,Anev C25", {"Apol1=Aptaj!", "Apol2=Anev"}, "Apol1"},
        {"Orvos.dbf", "ORVOS", "Orvoskod C6,Onev C25", {"Orvos1=Orvoskod!", "Orvos2=Onev"}, "Orvos2"},
        {"Beteg.dbf", "BETEG", "TAJ C9,Nev C25,Neme C1,Aztip C1,Kozigkod C7,Cime1 C25,Cime2 C25,Szulh C25,Szuli D",
         {"Beteg1=TAJ!", "Beteg2=Nev"}, "Beteg2"},
        {"Maradv.dbf", "MARADV", "Intkod C4,Midoszak C7,Ft N10.0", {"Mar1=MIdoszak!"}, "Mar1"},
        {"HLapa.dbf", "HLAPA",
         "Idoszak C7,Intkod C4,Finkod C9,Sorsz C5,Resz C1,Taj C9,Kozigkod C7,Tpotl C1,Bnofek C5,Bnofo C5,"
         "Bnokis C5,Bnoab C5,Orvkode C6,Orvkodj C6,Orvtip C1,Elrend D,Szakvet D,Gyak C15,Elvizdb N3.0,"
         "Elszviz N3.0,Elszam N3.0,Lezdat D,Aptaj1 C9,Aptaj2 C9,Aptaj3 C9,Aptaj4 C9,Aptaj5 C9,Aptaj6 C9,"
         "Aptaj7 C9,Aptaj8 C9,Aztip C1,Terkat C2,Allamp C3,SzNap N2.0,Tele C1,Jeloles C1,Elkuldve C7,"
         "Allapot C1,Modtipus C1",
         {"Lap1=Sorsz+Resz", "Lap2=Taj+Idoszak", "Lap3=Idoszak+Sorsz+Resz"}, "Lap1"},
        {"HLapb.dbf", "HLAPB", hlapbLayout(), {"Lapb1=Sorsz+Resz", "Lapb2=Idoszak+Sorsz+Resz"}, "Lapb1"},
    };
    for (const auto& e : expected) {
        db::Table* shared = start.db.findTable(e.table);
        ASSERT_TRUE(shared && shared->isOpen()) << e.table;
        EXPECT_EQ(shared->activeIndex(), e.active) << e.table;
        EXPECT_TRUE(fs::exists(dir.file(fs::path(e.file).replace_extension(".mdx").string()))) << e.file;
    }
    start.db.closeAll();
    for (const auto& e : expected) {
        const FileLayout layout = readLayout(dir.str(), e.file);
        EXPECT_EQ(describe(layout.fields), e.layout) << e.file;
        EXPECT_EQ(layout.level, 4) << e.file;
        EXPECT_EQ(layout.languageDriver, db::kLangDriverCp852) << e.file;
        EXPECT_EQ(layout.tags, e.tags) << e.file;
    }
    EXPECT_EQ(readLayout(dir.str(), "HLapa.dbf").fields.size(), 39u);
    EXPECT_EQ(readLayout(dir.str(), "HLapb.dbf").fields.size(), 131u);
}

TEST(TableSetup, ALostIndexFileIsRebuiltKeepingRowsAndTheCodePageMark) {
    TempDir dir;
    writeFundTables(dir.str());
    { Start first(dir.str()); ASSERT_TRUE(first.run()); }
    writeTable(dir.str(), "Apol.dbf", store::schema::APOL().fields,
               {{"123456788", "Kovács Éva"}, {"987654324", "Szabó Ödön"}});
    fs::remove(dir.file("Apol.mdx"));
    fs::remove(dir.file("HSZERZ.MDX"));

    Start again(dir.str());
    ASSERT_TRUE(again.run());
    EXPECT_TRUE(fs::exists(dir.file("Apol.mdx")));
    db::Table& apol = *again.db.findTable("APOL");
    EXPECT_EQ(apol.activeIndex(), "Apol1");
    EXPECT_EQ(apol.recordCount(), 2);
    EXPECT_EQ(apol.level(), 4);
    EXPECT_EQ(apol.languageDriver(), db::kLangDriverCp852);
    apol.last();
    EXPECT_EQ(apol.text("Anev"), "Szabó Ödön");  // ordered by Aptaj
    // The fund's table gets its index back as well, and the contract is read.
    EXPECT_TRUE(fs::exists(dir.file("HSZERZ.MDX")));
    EXPECT_EQ(again.session.v_finkod, "987654321");
}

TEST(TableSetup, RestoringAnIndexClearsOnlyTheIndexFlag) {
    TempDir dir;
    writeTable(dir.str(), "Maradv.dbf", store::schema::MARADV().fields, {{"1234", "2024.01", 5000}});
    db::Database database(dir.str());
    db::Table& t = store::tableOf(database, store::schema::MARADV());
    t.open();
    t.writeHeaderBytes(28, "\x01");  // as dBASE marks a table with a production index
    store::restoreIndex(t, store::schema::MARADV(), "Mar1");
    t.close();
    const std::string header = fileBytes(dir.file("Maradv.dbf")).substr(0, 32);
    EXPECT_EQ(header[28], '\0');
    EXPECT_EQ(static_cast<uint8_t>(header[29]), db::kLangDriverCp852);
    EXPECT_EQ(readLayout(dir.str(), "Maradv.dbf").level, 4);
}

TEST(TableSetup, OldLayoutsAreCopiedThroughTheCurrentOneWithEveryRow) {
    // Files written by dBASE III (level 3) are rebuilt at level 4. ZARAS is
    // copied at every start, so it must survive a start unchanged as well.
    for (const store::schema::TableDef* def : {&store::schema::ZARAS(), &store::schema::APOL(), &store::schema::BETEG(),
                                             &store::schema::MARADV(), &store::schema::HLAPB()}) {
        SCOPED_TRACE(def->name);
        for (int level : {3, 4}) {
            TempDir dir;
            writeFundTables(dir.str());
            const std::vector<Row> rows = {sampleRow(def->fields, 1), sampleRow(def->fields, 2)};
            writeTable(dir.str(), def->fileName, def->fields, rows, level);
            Start start(dir.str());
            ASSERT_TRUE(start.run());
            EXPECT_TRUE(start.dialogs.errors().empty());
            start.db.closeAll();
            EXPECT_EQ(readLayout(dir.str(), def->fileName).level, 4);
            EXPECT_EQ(readRows(dir.str(), def->fileName), rows);
        }
    }
}

TEST(TableSetup, DoctorsWithAFiveWideCodeComeBackSixWideAndThoseWithoutACodeGo) {
    TempDir dir;
    writeFundTables(dir.str());
    writeTable(dir.str(), "ORVOS.DBF", {db::FieldDef::character("ORVOSKOD", 5), db::FieldDef::character("ONEV", 25)},
               {{"54321", "Dr. Zöld Zoltán"}, {db::Value(), "Kód nélküli"}, {"12345", "Dr. Ács Anna"},
                {db::Value(), "Másik kód nélküli"}});
    {
        Start start(dir.str());
        ASSERT_TRUE(start.run());
        db::Table& orvos = *start.db.findTable("ORVOS");
        EXPECT_EQ(orvos.fields()[orvos.fieldIndex("ORVOSKOD")].width, 6);
        std::vector<std::string> names;
        for (orvos.first(); !orvos.eof(); orvos.next()) names.push_back(orvos.text("Onev"));
        EXPECT_EQ(names, (std::vector<std::string>{"Dr. Ács Anna", "Dr. Zöld Zoltán"}));
        // A new code may now use all six places.
        orvos.append();
        orvos.setField("Orvoskod", "654321");
        orvos.setField("Onev", "Dr. Hat Jegyű");
        orvos.post();
        orvos.append();
        orvos.setField("Onev", "Megint kód nélkül");
        orvos.post();
    }
    Start again(dir.str());
    ASSERT_TRUE(again.run());
    EXPECT_EQ(again.db.findTable("ORVOS")->recordCount(), 3);
    EXPECT_FALSE(again.db.findTable("ORVOS")->locate("Onev", "Megint kód nélkül"));
}

TEST(TableSetup, AnUnreadableTableStopsStartUpNamingTheFileAndIsLeftAlone) {
    TempDir dir;
    writeFundTables(dir.str());
    { std::ofstream(dir.file("Beteg.dbf"), std::ios::binary) << "not a table at all"; }
    Start start(dir.str());
    try {
        start.openTables();
        FAIL() << "start-up went on";
    } catch (const db::DbError& e) {
        EXPECT_NE(std::string(e.what()).find("Beteg.dbf"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(dir.file("Beteg.dbf")), "not a table at all");
    EXPECT_FALSE(fs::exists(dir.file("Beteg.mdx")));
    EXPECT_FALSE(fs::exists(dir.file("Maradv.dbf")));  // the steps after it did not run
}

TEST(TableSetup, ACopyThatFailsLeavesTheOldTableAsItWas) {
    TempDir dir;
    writeFundTables(dir.str());
    // A name the new 25-wide field cannot take.
    writeTable(dir.str(), "Apol.dbf", {db::FieldDef::character("APTAJ", 9), db::FieldDef::character("ANEV", 30)},
               {{"123456788", "Nagyon Hosszú Nevű Ápoló Éva"}}, 3);
    const std::string before = fileBytes(dir.file("Apol.dbf"));
    {
        Start start(dir.str());
        EXPECT_THROW(start.openTables(), db::DbError);
    }
    EXPECT_EQ(fileBytes(dir.file("Apol.dbf")), before);
    EXPECT_FALSE(fs::exists(dir.file("Apol.dbf.old")));

    // A copy statement the old file cannot answer names the table's tag.
    writeTable(dir.str(), "Beteg.dbf", {db::FieldDef::character("TAJ", 9), db::FieldDef::character("NEV", 25)},
               {{"123456788", "Beteg Béla"}}, 3);
    fs::remove(dir.file("Apol.dbf"));
    Start start(dir.str());
    EXPECT_THROW(start.openTables(), db::DbError);
    EXPECT_EQ(start.dialogs.errors(), std::vector<std::string>{"Hiba az állomány készítésében! (beteg)"});
    start.db.closeAll();
    EXPECT_EQ(readRows(dir.str(), "Beteg.dbf"), (std::vector<Row>{{"123456788", "Beteg Béla"}}));
}
