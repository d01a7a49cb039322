// The import of billed sheets on small data directories, with the fund's
// files written by python3-dbf: the marks, payment states and fee data a
// good set leaves, and every malformed, foreign or missing file refused
// with every local file byte for byte as it was.
#include "exchange/BilledImport.h"

#include "db/Sql.h"
#include "support/Files.h"
#include "support/FundFiles.h"
#include "support/RecordingProgress.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

using namespace velmora;
using namespace velmora::test;
namespace fs = std::filesystem;

namespace {

const std::string kHebFields = "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)";
const std::string kHruvFields = "IDOSZAK C(7); ALAPDIJ N(10,2); ELOLEG N(12,1)";

std::string visit(const char* sorsz, const char* resz, int day, const char* mark, const char* period = "202406") {
    return std::string("[\"1234\",") + sorsz + ",\"" + period + "\"," + resz + ",\"2024-06-" +
           (day < 10 ? "0" : "") + std::to_string(day) + "\",\"" + mark + "\"]";
}

struct Windows : exchange::ImportWindows {
    std::optional<std::string> dir;
    std::optional<std::string> importDirectory() override { return dir; }
};

// Sheets of 2024.06: 00010 with three days, 00011 with three, 00012 (partly
// paid before) with two, 00013 A and B; one of 2024.05 paid earlier.
struct Billed : ::testing::Test {
    SheetData data;
    TempDir incoming, temp;
    Windows windows;
    RecordingProgress progress;

    void SetUp() override {
        const auto days = [](std::initializer_list<int> ds) {
            std::vector<VisitDay> v;
            for (int d : ds) v.push_back({d, "1", people::nurse1});
            return v;
        };
        data.sheet({"2024.06", "00010", "", people::patient, days({3, 4, 5})})
            .sheet({"2024.06", "00011", "", people::patient, days({3, 4, 5})})
            .sheet({"2024.06", "00012", "", people::patient, days({7, 8}), {{"Allapot", "R"}}})
            .sheet({"2024.06", "00013", "A", people::patient, days({10})})
            .sheet({"2024.06", "00013", "B", people::patient, days({11})})
            .sheet({"2024.05", "00010", "", people::patient, days({3}), {{"Allapot", "ű"}}})
            .periodRow("2024.05", "2024.06.05")
            .periodRow("2024.06", "2024.07.05");
        data.open({2024, 7, 20}, "2024.06");
        data.session().ktemp = temp.str();
        windows.dir = incoming.str();
        writeGoodSet();
    }

    void writeGoodSet() {
        writeFundFile(incoming.file("HEa1234.dbf"), "KABKOD C(4)", "[[\"1234\"]]");
        writeFundFile(incoming.file("HEc1234.dbf"), "KABKOD C(4)", "[[\"1234\"]]");
        heb({visit("10", "null", 3, "A1"), visit("10", "null", 4, "A1"), visit("10", "null", 5, "A1"),
             visit("11", "null", 3, "B1"), visit("11", "null", 4, "B1"), visit("11", "null", 4, "B2"),
             visit("11", "null", 9, "B9"), visit("13", "\"B\"", 11, "D1")});
        hruv("[[\"2024.06\", 7150.25, 350000.0]]");
    }
    void heb(const std::vector<std::string>& rows, const std::string& fields = kHebFields,
             const std::string& codepage = "cp852") {
        std::string json = "[";
        for (const std::string& r : rows) json += (json.size() > 1 ? "," : "") + r;
        writeFundFile(incoming.file("HEb1234.dbf"), fields, json + "]", codepage);
    }
    void hruv(const std::string& rows, const std::string& fields = kHruvFields) {
        writeFundFile(incoming.file("HRuv1234.dbf"), fields, rows);
    }

    void run(bool yes = true) {
        if (yes) data.dialogs().answerYes();
        else data.dialogs().answerNo();
        exchange::importBilled(data.db(), data.session(), data.dialogs(), progress, windows);
    }

    std::string query(const std::string& sql) {
        std::string out;
        for (const auto& row : db::Sql(data.db()).run(sql).rows) {
            for (const auto& v : row) out += v.asString() + "|";
            out += "\n";
        }
        return out;
    }
};

TEST_F(Billed, MarksVisitsPaymentAndFeeAsOneImport) {
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select sorsz, resz, eli3, eli4, eli5, eli7, eli9, eli10, eli11 from hlapb "
                    "where idoszak='2024.06' order by sorsz, resz"),
              "00010||A1|A1|A1|||||\n"
              "00011||B1|B2||||||\n"  // the later row of a day wins; day 9 has no visit
              "00012|||||||||\n"
              "00013|A||||||||\n"
              "00013|B|||||||D1|\n");
    EXPECT_EQ(query("select idoszak, sorsz, resz, allapot from hlapa order by idoszak, sorsz, resz"),
              "2024.05|00010||ű|\n"
              "2024.06|00010||ű|\n"
              "2024.06|00011||R|\n"
              "2024.06|00012|||\n"
              "2024.06|00013|A||\n"
              "2024.06|00013|B|ű|\n");
    EXPECT_EQ(query("select idoszak, alapdij, eloleg, ruvkuld from zaras order by idoszak"),
              "2024.05||||\n2024.06|7150.25000|350000.0|2024.07.20|\n");
    ASSERT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information).size(), 1u);
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information)[0],
              "Az elszámolt lapok beolvasása befejeződött!\n"
              "8 elszámolt látogatás beolvasva, 6 helyi látogatás megjelölve.\n"
              "Az időszak 5 lapja közül teljesen elszámolt 2, részben 1, nem elszámolt 2.\n"
              "Az időszak alapdíja és előlege rögzítve.");
    EXPECT_EQ(data.dialogs().statusText(0), exchange::kBilledDone);
    EXPECT_TRUE(fs::is_empty(temp.path()));
    EXPECT_EQ(progress.begun, progress.ended);
}

// The fund billing more visits than the sheet records (S < B) matches no
// rule of the payment state: the sheet keeps the state it had.
TEST_F(Billed, ASheetWithFewerRecordedDaysThanBilledVisitsKeepsItsState) {
    db::Sql(data.db()).run("update hlapa set sznap=1 where idoszak='2024.06' and sorsz='00012'");
    heb({visit("12", "null", 7, "C1"), visit("12", "null", 8, "C2")});
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select sznap, allapot from hlapa where idoszak='2024.06' and sorsz='00012'"), "1|R|\n");
    EXPECT_EQ(query("select eli7, eli8 from hlapb where idoszak='2024.06' and sorsz='00012'"), "C1|C2|\n");
}

// A sheet of the shipment deleted since (00011) and one never held (00099):
// their rows are skipped and listed, everything else is read.
TEST_F(Billed, RowsOfSheetsTheProviderNoLongerHasAreSkippedAndListed) {
    db::Sql(data.db()).run("delete from hlapa where idoszak='2024.06' and sorsz='00011'");
    db::Sql(data.db()).run("delete from hlapb where idoszak='2024.06' and sorsz='00011'");
    heb({visit("10", "null", 3, "A1"), visit("11", "null", 3, "B1"), visit("99", "null", 4, "X"),
         visit("13", "\"B\"", 11, "D1")});
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select sorsz, resz, eli3, eli11 from hlapb where idoszak='2024.06' order by sorsz, resz"),
              "00010||A1||\n00012||||\n00013|A|||\n00013|B||D1|\n");
    EXPECT_EQ(query("select sorsz, resz, allapot from hlapa where idoszak='2024.06' order by sorsz, resz"),
              "00010||R|\n00012|||\n00013|A||\n00013|B|ű|\n");
    EXPECT_EQ(query("select alapdij from zaras where idoszak='2024.06'"), "7150.25000|\n");
    ASSERT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information).size(), 1u);
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information)[0],
              "Az elszámolt lapok beolvasása befejeződött!\n"
              "2 elszámolt látogatás beolvasva, 2 helyi látogatás megjelölve.\n"
              "Az időszak 4 lapja közül teljesen elszámolt 1, részben 1, nem elszámolt 2.\n"
              "Az időszak alapdíja és előlege rögzítve.\n"
              "2 elszámolt látogatás kihagyva, mert a lapja nincs a helyi lapok között:\n"
              "A(z) HEb1234.dbf állomány 2. sorában a(z) 2024.06 00011 lap\n"
              "A(z) HEb1234.dbf állomány 3. sorában a(z) 2024.06 00099 lap");
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(Billed, FileNamesInAnyCaseAndFeeWithoutPeriodRow) {
    for (const char* name : {"HEa1234.dbf", "HEb1234.dbf", "HEc1234.dbf", "HRuv1234.dbf"}) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        fs::rename(incoming.file(name), incoming.file(lower.substr(0, lower.size() - 3) + "DBF"));
    }
    db::Sql(data.db()).run("delete from zaras where idoszak='2024.06'");
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select allapot from hlapa where idoszak='2024.06' and sorsz='00010'"), "ű|\n");
    EXPECT_NE(data.dialogs().texts(ScriptedDialogs::Kind::Information).at(0).find("nincs zárási sora"),
              std::string::npos);
}

// The visits in Windows 1250 (marked 0xC8): the marks are read in it and
// stored in the visit rows' code page 852.
TEST_F(Billed, VisitsOfCodePage1250AreReadInIt) {
    heb({visit("10", "null", 3, "Győr"), visit("10", "null", 4, "őű ŐŰ"), visit("10", "null", 5, "A1")}, kHebFields,
        "cp1250");
    run();
    EXPECT_EQ(data.dialogs().problems(), std::vector<std::string>{});
    EXPECT_EQ(query("select eli3, eli4, eli5 from hlapb where idoszak='2024.06' and sorsz='00010'"),
              "Győr|őű ŐŰ|A1|\n");
}

TEST_F(Billed, DeclinedOrNoFolderChangesNothing) {
    const auto before = treeBytes(data.dir());
    run(false);
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Warning),
              std::vector<std::string>{exchange::kBilledDeclined});
    windows.dir.reset();
    run();
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{});
    EXPECT_EQ(treeBytes(data.dir()), before);
}

TEST_F(Billed, FailedCopyStopsWithItsMessageAlone) {
    fs::remove(incoming.file("HEc1234.dbf"));
    fs::create_directory(incoming.file("HEc1234.dbf"));  // found, but no file to copy
    const auto before = treeBytes(data.dir());
    run();
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{exchange::kCopyFailed});
    EXPECT_NE(data.dialogs().errorDetails().at(0).find("HEc1234.dbf"), std::string::npos);
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Information), std::vector<std::string>{});
    EXPECT_EQ(treeBytes(data.dir()), before);
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

// Each case spoils the good set one way; the refusal names the file and
// says why, and nothing local changes.
TEST_F(Billed, RefusesBadFilesLeavingEveryLocalFileAsItWas) {
    struct Case {
        const char* what;
        std::function<void(Billed&)> spoil;
        std::vector<std::string> expected;  // parts of the message, in any order
    };
    const std::vector<Case> cases = {
        {"fee file missing", [](Billed& t) { fs::remove(t.incoming.file("HRuv1234.dbf")); },
         {"Nincs a megadott helyen beolvasandó állomány", "HRuv1234.dbf"}},
        {"field missing",
         [](Billed& t) { t.heb({"[\"1234\",10,\"202406\",null,\"2024-06-03\"]"},
                               "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D"); },
         {"HEb1234.dbf", "hiányzó mező: ELSZIDO"}},
        {"wrong type",
         [](Billed& t) { t.heb({"[\"1234\",\"2024-06-01\",\"202406\",null,\"2024-06-03\",\"A\"]"},
                               "KABKOD C(4); SORSZAM D; IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)"); },
         {"HEb1234.dbf", "nem megfelelő típusú mező: SORSZAM"}},
        {"visit of another month",
         [](Billed& t) { t.heb({visit("10", "null", 3, "A1"), visit("10", "null", 3, "A1", "202405")}); },
         {exchange::kOtherPeriod, "HEb1234.dbf állomány 2. sorában", "2024.05"}},
        {"a skipped row of a sheet the provider lacks, then a visit of another month",
         [](Billed& t) { t.heb({visit("99", "null", 3, "X"), visit("10", "null", 3, "A1", "202405")}); },
         {exchange::kOtherPeriod, "HEb1234.dbf állomány 2. sorában", "2024.05"}},
        {"another provider's row",
         [](Billed& t) { t.heb({"[\"9999\",10,\"202406\",null,\"2024-06-03\",\"A\"]"}); },
         {"HEb1234.dbf állomány 1. sorában", "KABKOD (\"9999\")"}},
        {"mark too wide",
         [](Billed& t) { t.heb({"[\"1234\",10,\"202406\",null,\"2024-06-03\",\"12345678\"]"},
                               "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(9)"); },
         {"HEb1234.dbf", "ELSZIDO (\"12345678\") hosszabb 7 karakternél"}},
        {"no billed visit", [](Billed& t) { t.heb({}); }, {exchange::kNoBilledSheet, "HEb1234.dbf"}},
        {"truncated", [](Billed& t) { fs::resize_file(t.incoming.file("HEb1234.dbf"),
                                                      fs::file_size(t.incoming.file("HEb1234.dbf")) - 40); },
         {"Hiba a lefutásban! (6)", "HEb1234.dbf"}},  // the engine's failure, under the step's number
        {"fee of another period", [](Billed& t) { t.hruv("[[\"202405\", 7150.25, 350000.0]]"); },
         {exchange::kOtherPeriod, "HRuv1234.dbf", "2024.05"}},
        {"fee too large", [](Billed& t) { t.hruv("[[\"2024.06\", 123456789, 1]]", "IDOSZAK C(7); ALAPDIJ N(12,0); ELOLEG N(5,0)"); },
         {"HRuv1234.dbf", "ALAPDIJ", "nem fér el"}},
        {"fee file without rows", [](Billed& t) { t.hruv("[]"); }, {"HRuv1234.dbf", "nincs az időszak díjadata"}},
        {"visits of a code page the program cannot read",
         [](Billed& t) { markCodePage(t.incoming.file("HEb1234.dbf"), 0xC9); },
         {"HEb1234.dbf", "ezt a kódlapot használja: 1251 (kódlapjelölés: 0xC9)", "nem tudja olvasni"}},
        {"fee file of a code page the program cannot read",
         [](Billed& t) { markCodePage(t.incoming.file("HRuv1234.dbf"), 0x57); },
         {"HRuv1234.dbf", "Windows ANSI"}},
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
        EXPECT_TRUE(fs::is_empty(temp.path()));
    }
}

} // namespace
