// The import of the fund's contract tables on small data directories, the
// files written by python3-dbf: the tables replaced with their index files
// and the main window's contract details read again, PART kept when not
// sent, and every missing, malformed or foreign file refused with every
// local file byte for byte as it was.
#include "exchange/ContractImport.h"

#include "db/Sql.h"
#include "db/Table.h"
#include "store/Schemas.h"
#include "support/Files.h"
#include "support/FundFiles.h"
#include "support/RecordingProgress.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

const std::string kHas =
    "INTKOD C(4); SZSZAM C(10); FINKOD C(9); OSSZNAP N(5,0); SZKEZD D; SZVEG D; TELEP N(3,0); ORVOS N(3,0); "
    "GYOGYT N(3,0); DIPL N(3,0); DIET N(3,0); PSZICH N(3,0); MENTAL N(3,0); SZOCM N(3,0); HOSPSZ N(3,0); "
    "SZAKAP N(3,0); FIZIO N(3,0); OSSZD N(3,0); MODDAT D; NORMNAP N(3,0); POTNAP N(3,0); MEGJ C(20)";
const std::string kHasRows =
    "[[\"1234\",\"SZ-2025\",\"555555555\",4000,\"2025-01-01\",null,1,1,1,1,1,1,1,1,1,1,1,11,\"2025-01-02\",300,20,"
    "\"új szerződés\"],"
    " [\"1234\",\"SZ-2024\",\"987654321\",3650,\"2024-01-01\",\"2024-12-31\",1,1,1,1,1,1,1,1,1,1,1,11,null,300,0,"
    "null]]";
const std::string kHar = "KOZIGKOD C(7); HELYNEV C(30); KEZD D; VEG D; TSORSZAM N(5,0); LETSZAM N(6,0)";
const std::string kHad = "TAJ C(9); NEV C(30); KEZD D; VEG D; SSORSZAM N(5,0); ORASZ N(5,1); ORAK N(5,1); SZAKA C(20)";
const std::string kHat = "TSORSZAM N(5,0); KOZIGKOD C(7); HELYNEV C(30); CIM C(40); KEZD D; VEG D; NAP N(3,0)";
const std::string kHpa = "INTKOD C(4); MEGYE C(2); INTE C(40)";

struct Windows : exchange::ImportWindows {
    std::optional<std::string> dir;
    std::optional<std::string> importDirectory() override { return dir; }
};

struct Contracts : ::testing::Test {
    SheetData data;
    TempDir incoming, temp;
    Windows windows;
    RecordingProgress progress;

    void SetUp() override {
        data.open();
        data.session().ktemp = temp.str();
        windows.dir = incoming.str();
        writeGoodSet();
    }

    void writeGoodSet() {
        writeFundFile(incoming.file("HAs1234.dbf"), kHas, kHasRows);
        writeFundFile(incoming.file("HAr1234.dbf"), kHar,
                  "[[\"0300003\",\"Gödöllő\",\"2025-01-01\",null,1,30000],"
                  " [\"0100001\",\"Budapest\",\"2024-01-01\",null,2,1000]]");
        writeFundFile(incoming.file("HAd1234.dbf"), kHad,
                  "[[\"" + people::nurse1 + "\",\"Ápoló Anna\",\"2025-01-01\",null,1,40,0,\"ápoló\"]]");
        writeFundFile(incoming.file("HAt1234.dbf"), kHat,
                  "[[1,\"0300003\",\"Gödöllő\",\"Szőlő utca 2.\",\"2025-01-01\",null,5]]");
        writeFundFile(incoming.file("HPa1234.dbf"), kHpa, "[[\"1234\",\"13\",\"Új Hospice Szolgálat\"]]");
    }

    void run() {
        data.dialogs().answerYes();
        exchange::importContracts(data.db(), data.session(), data.dialogs(), progress, windows);
    }

    std::string query(const std::string& sql) {
        std::string out;
        for (const auto& row : db::Sql(data.db()).run(sql).rows) {
            for (const auto& v : row) out += v.asString() + "|";
            out += "\n";
        }
        return out;
    }

    bool allOpen() {
        namespace s = store::schema;
        for (const s::TableDef* def : {&s::HSZERZ(), &s::HTERULET(), &s::HSZOLGSZ(), &s::HTHELY(), &s::PART()})
            if (!data.db().table(def->name, def->fileName).isOpen()) return false;
        return true;
    }
};

TEST_F(Contracts, ReplacesTheFiveTablesAndReadsTheContractAgain) {
    const std::string sources = fileBytes(incoming.file("HAs1234.dbf"));
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select szszam, finkod, ossznap, szkezd, potnap, megj from hszerz order by szkezd"),
              "SZ-2024|987654321|3650|2024.01.01|0||\n"
              "SZ-2025|555555555|4000|2025.01.01|20|új szerződés|\n");
    EXPECT_EQ(query("select kozigkod, helynev from hterulet order by kozigkod"),
              "0100001|Budapest|\n0300003|Gödöllő|\n");
    EXPECT_EQ(query("select nev, orasz, szaka from hszolgsz"), "Ápoló Anna|40.0|ápoló|\n");
    EXPECT_EQ(query("select cim from hthely"), "Szőlő utca 2.|\n");
    EXPECT_EQ(query("select inte from part"), "Új Hospice Szolgálat|\n");
    EXPECT_TRUE(allOpen());
    for (const char* mdx : {"HSzerz.mdx", "HTerulet.mdx", "HSzolgsz.mdx", "HThely.mdx"})
        EXPECT_TRUE(data.db().fileExists(mdx)) << mdx;
    EXPECT_EQ(data.db().table("HSZERZ", "HSzerz.dbf").activeIndex(), "Szerz1");
    EXPECT_EQ(data.session().v_finkod, "555555555");
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information),
              std::vector<std::string>{"A szerződés frissítése befejeződött!!\n"
                                       "HSZERZ: 2 sor a(z) HAs1234.dbf állományból\n"
                                       "HTERULET: 2 sor a(z) HAr1234.dbf állományból\n"
                                       "HSZOLGSZ: 1 sor a(z) HAd1234.dbf állományból\n"
                                       "HTHELY: 1 sor a(z) HAt1234.dbf állományból\n"
                                       "PART: 1 sor a(z) HPa1234.dbf állományból"});
    EXPECT_EQ(data.dialogs().statusText(0), exchange::kContractIndexDone);
    EXPECT_EQ(fileBytes(incoming.file("HAs1234.dbf")), sources);
    EXPECT_TRUE(fs::is_empty(temp.path()));
    EXPECT_EQ(progress.begun, progress.ended);
}

// The fund's files in Windows 1250 (marked 0xC8) are read in it; the tables
// are the fund's files byte for byte, so they stay 1250 and read so.
// The fund's names and addresses become one-line fields the user sees.
TEST_F(Contracts, TabsAndLineBreaksOfTheFundsTextsBecomeSpaces) {
    writeFundFile(incoming.file("HAd1234.dbf"), kHad,
                  "[[\"" + people::nurse1 + "\",\"Ápoló\\tAnna\\nmásodik\\u0007 sor\",\"2025-01-01\",null,1,40,0,\"ápoló\"]]");
    writeFundFile(incoming.file("HAt1234.dbf"), kHat,
                  "[[1,\"0300003\",\"Gödöllő\",\"Szőlő utca\\r\\n2.\",\"2025-01-01\",null,5]]");
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select nev from hszolgsz"), "Ápoló Anna második sor|\n");
    EXPECT_EQ(query("select cim from hthely"), "Szőlő utca 2.|\n");
}

TEST_F(Contracts, FilesOfCodePage1250AreReadInIt) {
    writeFundFile(incoming.file("HAs1234.dbf"), kHas, kHasRows, "cp1250");
    writeFundFile(incoming.file("HAr1234.dbf"), kHar, "[[\"0825005\",\"Győr\",\"2025-01-01\",null,1,130000]]", "cp1250");
    writeFundFile(incoming.file("HAd1234.dbf"), kHad,
                  "[[\"" + people::nurse1 + "\",\"Szűcs Ödön\",\"2025-01-01\",null,1,40,0,\"ápoló\"]]", "cp1250");
    writeFundFile(incoming.file("HAt1234.dbf"), kHat,
                  "[[1,\"0825005\",\"Győr\",\"Szőlő utca 2. ŐŰ\",\"2025-01-01\",null,5]]", "cp1250");
    writeFundFile(incoming.file("HPa1234.dbf"), kHpa, "[[\"1234\",\"08\",\"Győri Hospice Szolgálat\"]]", "cp1250");
    ASSERT_EQ(uint8_t(fileBytes(incoming.file("HAt1234.dbf"))[29]), 0xC8);
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select szszam, megj from hszerz order by szkezd"), "SZ-2024||\nSZ-2025|új szerződés|\n");
    EXPECT_EQ(query("select kozigkod, helynev from hterulet"), "0825005|Győr|\n");
    EXPECT_EQ(query("select nev, szaka from hszolgsz"), "Szűcs Ödön|ápoló|\n");
    EXPECT_EQ(query("select helynev, cim from hthely"), "Győr|Szőlő utca 2. ŐŰ|\n");
    EXPECT_EQ(query("select inte from part"), "Győri Hospice Szolgálat|\n");
    EXPECT_EQ(uint8_t(fileBytes(*data.db().findFile("HThely.dbf"))[29]), 0xC8);
    db::Table& hthely = data.db().table(store::schema::HTHELY().name, store::schema::HTHELY().fileName);
    ASSERT_TRUE(hthely.locate("CIM", db::Value("Szőlő utca 2. ŐŰ")));
    EXPECT_EQ(hthely.text("HELYNEV"), "Győr");
    EXPECT_EQ(data.session().v_finkod, "555555555");
    EXPECT_TRUE(allOpen());
}

TEST_F(Contracts, WithoutHPaPartStaysAsItWas) {
    fs::remove(incoming.file("HPa1234.dbf"));
    const std::string part = fileBytes(*data.db().findFile("Part.dbf"));
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(fileBytes(*data.db().findFile("Part.dbf")), part);
    EXPECT_EQ(query("select count(*) from hszolgsz"), "1|\n");
    EXPECT_TRUE(allOpen());
}

TEST_F(Contracts, RefusesBadFilesLeavingEveryLocalFileAsItWas) {
    struct Case {
        const char* what;
        std::function<void(Contracts&)> spoil;
        std::vector<std::string> expected;  // parts of the message
    };
    const std::vector<Case> cases = {
        {"a required file missing", [](Contracts& t) { fs::remove(t.incoming.file("HAt1234.dbf")); },
         {"Nincs a megadott helyen szerződés állomány", "HAt1234.dbf"}},
        {"contract without FINKOD",
         [](Contracts& t) {
             writeFundFile(t.incoming.file("HAs1234.dbf"), "INTKOD C(4); SZSZAM C(10); OSSZNAP N(5,0); SZKEZD D",
                       "[[\"1234\",\"SZ\",10,\"2025-01-01\"]]");
         },
         {"HAs1234.dbf", "hiányzó mező: FINKOD"}},
        {"a date field of another type",
         [](Contracts& t) {
             writeFundFile(t.incoming.file("HAd1234.dbf"),
                       "TAJ C(9); NEV C(30); KEZD C(10); VEG D; SSORSZAM N(5,0); ORASZ N(5,1); ORAK N(5,1)",
                       "[[\"123456788\",\"X\",\"2025.01.01\",null,1,40,0]]");
         },
         {"HAd1234.dbf", "nem megfelelő típusú mező: KEZD"}},
        {"another provider's PART",
         [](Contracts& t) { writeFundFile(t.incoming.file("HPa1234.dbf"), kHpa, "[[\"9999\",\"13\",\"Más\"]]"); },
         {"HPa1234.dbf", "más intézmény", "9999"}},
        {"a date that is no day",
         [](Contracts& t) {
             writeFundFile(t.incoming.file("HAt1234.dbf"), "TSORSZAM N(5,0); KOZIGKOD C(7); HELYNEV C(30); "
                           "CIM C(40); KEZD C(8); VEG D; NAP N(3,0)", "[[1,\"0300003\",\"G\",\"C\",\"20250231\",null,5]]");
             // The same bytes a date field would hold: only the descriptor's type letter differs.
             std::string bytes = fileBytes(t.incoming.file("HAt1234.dbf"));
             bytes[32 * 5 + 11] = 'D';
             std::ofstream(t.incoming.file("HAt1234.dbf"), std::ios::binary) << bytes;
         },
         {"HAt1234.dbf állomány 1. sorában", "KEZD", "20250231"}},
        {"truncated",
         [](Contracts& t) {
             fs::resize_file(t.incoming.file("HAr1234.dbf"), fs::file_size(t.incoming.file("HAr1234.dbf")) - 30);
         },
         {"HAr1234.dbf", "nem olvasható"}},
        {"a contract file without a contract",
         [](Contracts& t) { writeFundFile(t.incoming.file("HAs1234.dbf"), kHas, "[]"); },
         {"A(z) HAs1234.dbf állományban nincs szerződés.", exchange::kContractRefused}},
        {"a provider file without the provider",
         [](Contracts& t) { writeFundFile(t.incoming.file("HPa1234.dbf"), kHpa, "[]"); },
         {"A(z) HPa1234.dbf állományban nincs az intézmény adata.", exchange::kContractRefused}},
        {"a code page the program cannot read",
         [](Contracts& t) { markCodePage(t.incoming.file("HAd1234.dbf"), 0xC9); },
         {"A(z) HAd1234.dbf állomány nem olvasható", "ezt a kódlapot használja: 1251", "nem tudja olvasni"}},
        {"the code page of whatever machine wrote it",
         [](Contracts& t) { markCodePage(t.incoming.file("HAt1234.dbf"), 0x57); },
         {"A(z) HAt1234.dbf állomány nem olvasható", "Windows ANSI", "0x57"}},
        {"a mark dBASE does not define",
         [](Contracts& t) { markCodePage(t.incoming.file("HAs1234.dbf"), 0x9A); },
         {"A(z) HAs1234.dbf állomány nem olvasható", "ismeretlen kódlapjelölés áll (0x9A)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeGoodSet();
        c.spoil(*this);
        const auto before = treeBytes(data.dir());
        data.dialogs().clearLog();
        run();
        ASSERT_EQ(data.dialogs().errors().size(), 1u);
        const std::string shown = data.dialogs().errors()[0] + "\n" + data.dialogs().errorDetails()[0];
        for (const std::string& part : c.expected) EXPECT_NE(shown.find(part), std::string::npos) << shown;
        EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information), std::vector<std::string>{});
        EXPECT_EQ(treeBytes(data.dir()), before);
        EXPECT_TRUE(allOpen());
        EXPECT_TRUE(fs::is_empty(temp.path()));
    }
}

} // namespace
