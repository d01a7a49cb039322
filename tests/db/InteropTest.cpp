// Other dBASE readers agree with the engine: Debian's python3-dbf and GDAL's
// ogrinfo read what we write, and we read what python3-dbf writes.
#include "db/Database.h"
#include "db/DbfFile.h"
#include "db/Table.h"
#include "support/TempDir.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

using namespace velmora::db;
using velmora::test::TempDir;

namespace {

using velmora::test::runCommand;

const std::string kInterop = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/dbf_interop.py";

void writeSample(Database& db) {
    Table& t = db.table("ZARAS", "Zaras.dbf");
    t.create({FieldDef::character("Idoszak", 7), FieldDef::date("Zaras"), FieldDef::numeric("Lapoksz", 5),
              FieldDef::numeric("Alapdij", 10, 5), FieldDef::character("Megj", 30)});
    t.open();
    t.appendValues({"2024.02", "2024.03.05", 17, Decimal::parse("4321.12345").value(), "Árvíztűrő tükörfúrógép őŐűŰ"});
    t.appendValues({"2024.03", Value(), Value(), Value(), Value()});
    t.appendValues({"2024.04", "2024.05.02", -3, Decimal(5, 1), "x"});
    t.deleteAt(2);
    t.close();
}

} // namespace

TEST(Interop, PythonDbfReadsWhatTheEngineWrote) {
    TempDir dir;
    Database db(dir.str());
    writeSample(db);
    const std::string out = runCommand("/usr/bin/python3 " + kInterop + " dump " + dir.file("Zaras.dbf"));
    EXPECT_EQ(out,
              "idoszak C(7)|zaras D|lapoksz N(5,0)|alapdij N(10,5)|megj C(30)\n"
              "3 2\n"
              "2024.02\t2024-03-05\t17\t4321.12345\tÁrvíztűrő tükörfúrógép őŐűŰ\n"
              "2024.03\t\t\t\t\n");
}

TEST(Interop, OgrinfoReadsWhatTheEngineWrote) {
    TempDir dir;
    Database db(dir.str());
    writeSample(db);
    const std::string out = runCommand("ogrinfo -ro -al " + dir.file("Zaras.dbf") + " 2>&1");
    EXPECT_NE(out.find("Feature Count: 3"), std::string::npos) << out;
    EXPECT_NE(out.find("OGRFeature(Zaras):1"), std::string::npos) << out;
    EXPECT_EQ(out.find("OGRFeature(Zaras):2"), std::string::npos) << "the deleted record is skipped\n" << out;
    EXPECT_NE(out.find("Megj (String) = Árvíztűrő tükörfúrógép őŐűŰ"), std::string::npos) << out;
    EXPECT_NE(out.find("Zaras (Date) = 2024/03/05"), std::string::npos) << out;
    EXPECT_NE(out.find("Alapdij (Real) = 4321.12345"), std::string::npos) << out;
    EXPECT_NE(out.find("Lapoksz (Integer) = 17"), std::string::npos) << out;
}

TEST(Interop, EngineReadsWhatPythonDbfWrote) {
    TempDir dir;
    runCommand("/usr/bin/python3 " + kInterop + " write " + dir.file("KULSO.DBF"));
    Database db(dir.str());
    Table& t = db.table("KULSO", "kulso.dbf");
    t.open();
    ASSERT_EQ(t.recordCount(), 2);
    t.first();
    EXPECT_EQ(t.field("nev"), Value("Árvíztűrő tükörfúrógép"));
    EXPECT_EQ(t.field("szuli"), Value("2024.02.29"));
    EXPECT_EQ(t.field("alapdij").number().toString(), "1234.56789");
    EXPECT_EQ(t.field("db"), Value(42));
    t.next();
    EXPECT_EQ(t.field("nev"), Value("ŐŰ őű"));
    EXPECT_EQ(t.field("alapdij").number().toString(), "-0.50000");
}

// The fund may send its files in Windows 1250, marked so (0xC8): read in it,
// and what the engine writes into such a file stays 1250.
TEST(Interop, EngineReadsAndWritesAFilePythonDbfWroteInCodePage1250) {
    TempDir dir;
    runCommand("/usr/bin/python3 " + kInterop + " write:cp1250 " + dir.file("KULSO.DBF"));
    ASSERT_EQ(uint8_t(velmora::test::fileBytes(dir.file("KULSO.DBF"))[29]), 0xC8);
    Database db(dir.str());
    Table& t = db.table("KULSO", "kulso.dbf");
    t.open();
    EXPECT_EQ(t.codePage(), CodePage::Cp1250);
    t.first();
    EXPECT_EQ(t.field("nev"), Value("Árvíztűrő tükörfúrógép"));
    t.next();
    EXPECT_EQ(t.field("nev"), Value("ŐŰ őű"));
    t.appendValues({"Győr, heti öt alkalom", "2025.01.02", Decimal::parse("1.5").value(), 3});
    t.close();
    const std::string out = runCommand("/usr/bin/python3 " + kInterop + " dump:cp1250 " + dir.file("KULSO.DBF"));
    EXPECT_NE(out.find("\nGyőr, heti öt alkalom\t2025-01-02\t"), std::string::npos) << out;
    EXPECT_NE(out.find("\nŐŰ őű\t"), std::string::npos) << out;
}
