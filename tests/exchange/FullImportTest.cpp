// The fund's complete data set, written by python3-dbf and packed by the
// archiver, replacing the local sheets of a small data directory: the
// rebuilt rows, and every malformed archive or file refused with the data
// directory byte for byte as it was.
#include "exchange/FullImport.h"

#include "db/Sql.h"
#include "db/Table.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "db/Os.h"
#include "support/Files.h"
#include "support/RecordingProgress.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/full_data_set.py";

struct Windows : exchange::FullImportWindows {
    std::optional<std::string> dir;
    std::optional<std::string> sourceDirectory() override { return dir; }
};

using Contents = std::map<std::string, std::string>;

// The names of the files that differ (added, removed or changed).
std::string changed(const Contents& before, const Contents& after) {
    std::string out;
    for (const auto& [name, bytes] : before) {
        const auto it = after.find(name);
        if (it == after.end() || it->second != bytes) out += name + " ";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name)) out += name + " ";
    return out;
}

// A data directory with two local sheets (one never sent), TEMP beside it,
// and the fund's set of provider 1234 in a folder of its own.
struct Import {
    SheetData data;
    fs::path work, temp, from;
    Windows windows;
    RecordingProgress progress;

    explicit Import(const std::string& variant) {
        data.sheet({"2024.05", "00500", "", people::patient, {{3, "1", people::nurse1}}, {{"Elkuldve", "2024.05"}}})
            .sheet({"2024.06", "00501", "", people::patient, {{4, "1", people::nurse1}}});
        data.open({2024, 7, 5}, "2024.06");
        work = fs::path(data.dir()).parent_path() / ("work-" + fs::path(data.dir()).filename().string());
        temp = work / "TEMP";
        from = work / "from";
        fs::create_directories(temp);
        data.session().ktemp = temp.string();
        const std::string out = runCommand("/usr/bin/python3 " + kTool + " '" + from.string() + "' " + variant + " 2>&1");
        if (!fs::exists(from / "Telj1234.arj")) throw std::runtime_error("no archive:\n" + out);
        windows.dir = from.string();
    }
    ~Import() { fs::remove_all(work); }

    app::Result<exchange::FullImportSummary> run() {
        return exchange::importFullDataSet(data.db(), data.session(), data.dialogs(), progress, windows);
    }
    std::string query(const std::string& sql) {
        std::string out;
        for (const auto& row : db::Sql(data.db()).run(sql).rows) {
            for (size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "") + row[i].asString();
            out += "\n";
        }
        return out;
    }
};

} // namespace

TEST(FullImport, TheFundsSetReplacesEverySheet) {
    Import im("good");
    im.data.dialogs().answerYes();
    const auto summary = im.run();
    ASSERT_TRUE(summary) << ::testing::PrintToString(im.data.dialogs().errors());

    // Three months before 2024.06 is the cut-off: older sheets are taken
    // over ("xxxx.xx"). TAJ and doctor codes padded (a six-digit code kept
    // whole), the blank TAJ of an identifier type 0, TERPOT 1 -> N, ORVTIP
    // only after 2024.04 ("1" when blank), diagnoses by type, payment marks
    // from the billed days, and the full-series mark on the 20 + 20 + 10
    // series of 2024 alone.
    EXPECT_EQ(im.query("select idoszak,sorsz,resz,taj,orvkode,orvkodj,orvtip,tpotl,aztip,sznap,elkuldve,allapot,tele,"
                       "bnofek,bnofo,bnokis,bnoab,jeloles,modtipus,intkod,finkod from hlapa order by idoszak,sorsz,resz"),
              "2023.05|00013|A|012345678|01234|0||N|1|25|xxxx.xx|||||||||1234|987654321\n"
              "2023.06|00013|B|012345678|123456|0||N|1|25|xxxx.xx|||||||||1234|987654321\n"
              "2024.02|00012|||01234|0||N|0|1|xxxx.xx|||||||||1234|987654321\n"
              "2024.03|00014||012345678|01234|0||N|1|2|2024.03|ű||C1510|C1620|I1000|E1190|||1234|987654321\n"
              "2024.04|00010|A|012345678|01234|0||N|1|20|2024.04||*|||||||1234|987654321\n"
              "2024.05|00010|B|012345678|01234|0|1|N|1|20|2024.05||*|||||||1234|987654321\n"
              "2024.05|00011|A|012345678|01234|0|1|N|1|20|2024.05|||||||||1234|987654321\n"
              "2024.06|00010|C|012345678|01234|4321|2|I|1|10|2024.06||*||C5000|||||1234|987654321\n"
              "2024.06|00011|B|012345678|01234|0|1|N|1|20|2024.06|R||||||||1234|987654321\n");
    // One visit row per sheet key, the visit of a sheet without a header too.
    EXPECT_EQ(im.query("select idoszak,sorsz,resz,elkuldve,tev3,apdat3,eli3,tev4,eli4,tev5,tev6,apdat6,apbtaj6,eli6,"
                       "tev29,apdat29,tev1 from hlapb order by idoszak,sorsz,resz"),
              "2024.02|00012||xxxx.xx|||||||||||1|2024.02.29|\n"
              "2024.03|00014||2024.03||||||1|5|2024.03.06|123456788|2024.03|||\n"
              "2024.06|00011|B|2024.06|1|2024.06.03|2024.06|1|2024.06||||||||\n"
              "2024.06|00099||2024.06|||||||||||||1\n");

    // Text in code page 852 (python3-dbf marks it 0x1F).
    EXPECT_EQ(im.query("select distinct gyak from hlapa"), "heti öt\n");

    EXPECT_EQ(summary->rowsRead, 9 + 6 + 6);
    EXPECT_EQ(summary->sheetsReplaced, 2);
    EXPECT_EQ(summary->sheetsRead, 9);
    const auto questions = im.data.dialogs().texts(ScriptedDialogs::Kind::Question);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("9 lapja (legújabb időszak: 2024.06) kerül a helyi 2 lap helyére"), std::string::npos);
    EXPECT_NE(questions[0].find("1 még nem volt elküldve"), std::string::npos);

    // The shared tables are open on their tags again; nothing is left in TEMP
    // or beside the tables.
    db::Table& hlapa = store::tableOf(im.data.db(), store::schema::HLAPA());
    EXPECT_TRUE(hlapa.isOpen());
    EXPECT_EQ(hlapa.activeIndex(), "Lap1");
    EXPECT_FALSE(hlapa.hasForeignIndexFile());
    EXPECT_TRUE(fs::is_empty(im.temp));
    for (const auto& e : fs::directory_iterator(im.data.dir())) EXPECT_FALSE(e.is_directory()) << e.path();
    EXPECT_TRUE(im.data.dialogs().errors().empty());
}

// The fund's set in Windows 1250 (its headers marked 0xC8) reads as the same
// set in 852 does: the frequency "heti öt alkalom", not "heti ÷t alkalom".
TEST(FullImport, ASetInCodePage1250IsReadInIt) {
    Import im("cp1250");
    im.data.dialogs().answerYes();
    const auto summary = im.run();
    ASSERT_TRUE(summary) << ::testing::PrintToString(im.data.dialogs().errors());
    EXPECT_EQ(im.query("select gyak, count(*) from hlapa group by gyak"), "heti öt alkalom|9\n");
    EXPECT_EQ(im.query("select count(*) from hlapb"), "4\n");
    EXPECT_EQ(summary->sheetsRead, 9);
    EXPECT_TRUE(im.data.dialogs().errors().empty());
}

TEST(FullImport, MalformedSetsAreRefusedAndNothingLocalChanges) {
    struct Case {
        const char* variant;
        const char* named;  // the message names this
        const char* first = "";  // and begins with this: the system's numbered failure of a step
    };
    const Case cases[] = {
        {"missing-field", "HAa1234.dbf állomány nem a várt szerkezetű: hiányzó mező: ONAPDB"},
        {"wrong-type", "HAb1234.dbf állomány nem a várt szerkezetű: nem megfelelő típusú mező: APDATUM"},
        {"other-month", "HAb1234.dbf állomány 1. rekordja: a látogatás napja (2024.05.31)"},
        {"bad-period", "HAa1234.dbf állomány 4. rekordja: a(z) IDOSZAK mező (\"202413\")"},
        {"duplicate", "HAb1234.dbf állomány 7. rekordja: a lap látogatási napja (2024.03 00014) már szerepel"},
        {"empty-taj", "HAa1234.dbf állomány 1. rekordja: a(z) TAJ mező üres"},
        {"too-wide", "HAb1234.dbf állomány 2. rekordja: a(z) TEVKOD mező (\"1234567890\") hosszabb 8"},
        {"foreign", "HAa1234.dbf állomány 1. rekordja: az intézménykód (\"9999\")"},
        {"truncated", "HAb1234.dbf nem olvasható dBASE tábla", "Hiba a lefutásban! (10)\n"},
        {"cyrillic", "HAc1234.dbf állomány a fejléce szerint ezt a kódlapot használja: 1251 (kódlapjelölés: 0xC9). "
                     "Ezt a kódlapot a program nem tudja olvasni"},
        {"wrong-members", "Telj1234.arj archívum nem a teljes adatállomány három állományát"},
        {"extra-member", "benne: HAa1234.dbf, HAb1234.dbf, HAc1234.dbf, olvass.txt"},
        {"dotdot", "benne: HAa1234.dbf, HAb1234.dbf, HAc1234.dbf, ../x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        Import im(c.variant);
        const auto before = treeBytes(im.data.dir());
        const std::string hlapa = im.data.rows("hlapa");
        EXPECT_FALSE(im.run());
        const auto errors = im.data.dialogs().errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(c.named), std::string::npos) << errors[0];
        EXPECT_EQ(errors[0].rfind(c.first, 0), 0u) << errors[0];
        EXPECT_TRUE(im.data.dialogs().texts(ScriptedDialogs::Kind::Question).empty());
        EXPECT_EQ(changed(before, treeBytes(im.data.dir())), "");
        EXPECT_EQ(im.data.rows("hlapa"), hlapa);
        EXPECT_TRUE(fs::is_empty(im.temp));
        EXPECT_FALSE(fs::exists(im.work / "x"));
    }
}

TEST(FullImport, DeclinedOrMissingLeavesEverything) {
    {
        Import im("good");
        const auto before = treeBytes(im.data.dir());
        im.data.dialogs().answerNo();
        EXPECT_FALSE(im.run());
        EXPECT_EQ(im.data.dialogs().problems(), std::vector<std::string>{exchange::kFullImportDeclined});
        EXPECT_EQ(changed(before, treeBytes(im.data.dir())), "");
        EXPECT_TRUE(fs::is_empty(im.temp));
    }
    {
        Import im("good");
        fs::remove(im.from / "Telj1234.arj");
        const auto before = treeBytes(im.data.dir());
        EXPECT_FALSE(im.run());
        EXPECT_EQ(im.data.dialogs().errors(), std::vector<std::string>{exchange::kFullImportNoArchive});
        EXPECT_EQ(changed(before, treeBytes(im.data.dir())), "");
    }
}

TEST(FullImport, AReplacementThatFailsLeavesTheOldSheets) {
    Import im("good");
    // Index files the start left to write are written at a close.
    for (const auto* def : {&store::schema::HLAPA(), &store::schema::HLAPB()}) {
        store::tableOf(im.data.db(), *def).close();
        store::tableOf(im.data.db(), *def).open();
    }
    const auto before = treeBytes(im.data.dir());
    // The journal that would replace both tables cannot be written: the new
    // files are made and marked by then.
    db::os::testing::FaultPlan plan;
    plan.action = db::os::testing::FaultAction::Fail;
    plan.at = 1;
    plan.error = EIO;
    plan.scope = "VELMORA.JNL";
    db::os::testing::setFaultPlan(plan);
    im.data.dialogs().answerYes();
    EXPECT_FALSE(im.run());
    EXPECT_EQ(db::os::testing::countedCalls(), 1);
    db::os::testing::reset();
    ASSERT_EQ(im.data.dialogs().errors().size(), 1u);
    EXPECT_EQ(changed(before, treeBytes(im.data.dir())), "");
    EXPECT_EQ(store::tableOf(im.data.db(), store::schema::HLAPA()).recordCount(), 2);
    EXPECT_TRUE(fs::is_empty(im.temp));
}
