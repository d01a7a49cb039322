// velmora-batch run as a process on copies of the demo installation (provider
// 4711): each command's main path with its files, a refusal that leaves the
// data directory byte for byte as it was, and bad command lines.
#include "app/DataDirLock.h"
#include "check/BatchFixture.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "support/Files.h"
#include "support/FundFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A folder's file by its name in any case ("" when there is none).
fs::path findFile(const fs::path& dir, const std::string& name) {
    for (const auto& e : fs::directory_iterator(dir))
        if (lower(e.path().filename().string()) == lower(name)) return e.path();
    return {};
}

// The tables of a data directory by their lower-case names: a restore may
// spell a name otherwise, and rebuilds the index files.
std::map<std::string, std::string> tableBytes(const fs::path& data) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(data))
        if (e.is_regular_file() && lower(e.path().extension().string()) == ".dbf")
            out[lower(e.path().filename().string())] = fileBytes(e.path());
    return out;
}

using Row = std::map<std::string, std::string>;  // FIELD -> text as python3-dbf reads it

// A shipment file as Debian's python3-dbf reads it.
std::vector<Row> readWithPython(const fs::path& file) {
    const std::string out = runCommand("/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) +
                                       "/tools/dbf_interop.py dump '" + file.string() + "' 2>&1");
    std::istringstream in(out);
    std::string structure, counts;
    if (!std::getline(in, structure) || !std::getline(in, counts)) throw std::runtime_error("python3-dbf: " + out);
    std::vector<std::string> names;
    std::istringstream fields(structure);
    for (std::string f; std::getline(fields, f, '|');) names.push_back(lower(f.substr(0, f.find(' '))));
    std::vector<Row> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream cells(line);
        Row row;
        std::string cell;
        for (const std::string& name : names) {
            std::getline(cells, cell, '\t');
            row[name] = cell;
        }
        rows.push_back(row);
    }
    return rows;
}

struct Installation {
    TempDir dir;
    Installation() { copyDemo(dir.path()); }
    fs::path data() const { return dir.path() / "DATA"; }
    ToolRun run(const std::string& arguments) const { return runBatch(dir.path(), "--data DATA " + arguments); }

    // One column of a query's rows, joined by spaces, read after the tool ended.
    std::string query(const std::string& sql) const {
        db::Database database(data().string() + "/");
        std::string out;
        for (const auto& row : db::Sql(database).run(sql).rows) out += (out.empty() ? "" : " ") + row.at(0).asString();
        database.closeAll();
        return out;
    }
};

void expectRefused(const Installation& at, const std::string& arguments, const std::string& question) {
    SCOPED_TRACE(arguments);
    const auto before = treeBytes(at.dir.path());
    const ToolRun run = at.run(arguments);
    EXPECT_EQ(run.exit, 2) << run.err;
    EXPECT_NE(run.err.find(question), std::string::npos) << run.err;
    EXPECT_EQ(treeBytes(at.dir.path()), before);
}

TEST(Batch, RestoreBringsBackTheSavedTablesFromTheArchiveAndFromMent) {
    Installation at;
    const auto saved = tableBytes(at.data());
    const ToolRun backup = at.run("backup --archive " + (at.dir.path() / "kulso").string());
    ASSERT_EQ(backup.exit, 0) << backup.err;
    const std::string archive = fileBytes(at.data() / "MENT" / "Zaras.arj");
    EXPECT_FALSE(archive.empty());
    EXPECT_EQ(fileBytes(at.dir.path() / "kulso" / "Zaras.arj"), archive);

    ASSERT_EQ(at.run("ship 2026.04 --yes").exit, 0);
    ASSERT_NE(tableBytes(at.data()), saved);
    expectRefused(at, "restore --ment", "Biztosan visszatölti az adatokat ?");

    const ToolRun fromArchive = at.run("restore --archive kulso/Zaras.arj --yes");
    EXPECT_EQ(fromArchive.exit, 0) << fromArchive.err;
    EXPECT_EQ(tableBytes(at.data()), saved);

    ASSERT_EQ(at.run("ship 2026.04 --yes").exit, 0);
    const ToolRun fromMent = at.run("restore --ment --yes");
    EXPECT_EQ(fromMent.exit, 0) << fromMent.err;
    EXPECT_EQ(tableBytes(at.data()), saved);
    EXPECT_EQ(at.run("check").exit, 0);
}

TEST(Batch, ShipsEveryPendingSheetOfThePeriodsWindow) {
    Installation at;
    const std::string pending = "select count(*) from hlapa where idoszak>='2025.12' and idoszak<='2026.04' and "
                                "(elkuldve is null or elkuldve='')";
    const std::string count = at.query(pending);
    ASSERT_NE(count, "0");
    expectRefused(at, "ship 2026.04", "Elküldhető " + count + " db elszámolási lap?");

    const ToolRun run = at.run("ship 2026.04 --yes");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(std::to_string(readWithPython(findFile(at.dir.path() / "KULD", "Hosa4711.dbf")).size()), count);
    EXPECT_EQ(at.query(pending), "0");
    EXPECT_EQ(at.query("select count(*) from hlapa where elkuldve='2026.04'"), count);
}

TEST(Batch, ShipsTheListedSheetsAndCopiesTheFiles) {
    Installation at;
    const ToolRun run = at.run("ship 2026.04 --sheets 2026.03/00008C,2026.04/00013C --yes --copy ki");
    ASSERT_EQ(run.exit, 0) << run.err;
    const fs::path kuld = at.dir.path() / "KULD";
    const std::vector<Row> headers = readWithPython(findFile(kuld, "Hosa4711.dbf"));
    ASSERT_EQ(headers.size(), 2u);
    std::set<std::string> keys;
    for (const Row& h : headers) keys.insert(h.at("idoszak") + "/" + h.at("sorszam") + h.at("resz"));
    EXPECT_EQ(keys, (std::set<std::string>{"202603/8C", "202604/13C"}));
    for (const Row& v : readWithPython(findFile(kuld, "Hosb4711.dbf"))) EXPECT_TRUE(v.at("sorszam") == "8" || v.at("sorszam") == "13");
    for (const char* name : {"Hosa4711.dbf", "Hosb4711.dbf", "Hosc4711.dbf"})
        EXPECT_EQ(fileBytes(findFile(at.dir.path() / "ki", name)), fileBytes(findFile(kuld, name))) << name;
    EXPECT_EQ(at.query("select idoszak||'/'||sorsz||resz from hlapa where elkuldve='2026.04' order by 1"),
              "2026.03/00008C 2026.04/00013C");
}

TEST(Batch, AShipmentOfASheetOutsideTheWindowChangesNothing) {
    Installation at;
    const auto before = treeBytes(at.dir.path());
    const ToolRun run = at.run("ship 2026.04 --sheets 2026.03/00008C,2025.06/00001 --yes");
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("2025.06/00001"), std::string::npos) << run.err;
    EXPECT_EQ(treeBytes(at.dir.path()), before);
}

const std::string kHas =
    "INTKOD C(4); SZSZAM C(10); FINKOD C(9); OSSZNAP N(5,0); SZKEZD D; SZVEG D; TELEP N(3,0); ORVOS N(3,0); "
    "GYOGYT N(3,0); DIPL N(3,0); DIET N(3,0); PSZICH N(3,0); MENTAL N(3,0); SZOCM N(3,0); HOSPSZ N(3,0); "
    "SZAKAP N(3,0); FIZIO N(3,0); OSSZD N(3,0); MODDAT D; NORMNAP N(3,0); POTNAP N(3,0); MEGJ C(20)";

void writeContracts(const fs::path& dir) {
    fs::create_directories(dir);
    writeFundFile(dir / "HAs4711.dbf", kHas,
                  "[[\"4711\",\"SZ-2027\",\"470911001\",4000,\"2026-01-01\",null,1,1,1,1,1,1,1,1,1,1,1,11,"
                  "\"2026-01-02\",300,20,\"új szerződés\"]]");
    writeFundFile(dir / "HAr4711.dbf", "KOZIGKOD C(7); HELYNEV C(30); KEZD D; VEG D; TSORSZAM N(5,0); LETSZAM N(6,0)",
                  "[[\"0300003\",\"Gödöllő\",\"2026-01-01\",null,1,30000]]");
    writeFundFile(dir / "HAd4711.dbf",
                  "TAJ C(9); NEV C(30); KEZD D; VEG D; SSORSZAM N(5,0); ORASZ N(5,1); ORAK N(5,1); SZAKA C(20)",
                  "[[\"123456788\",\"Ápoló Anna\",\"2026-01-01\",null,1,40,0,\"ápoló\"]]");
    writeFundFile(dir / "HAt4711.dbf", "TSORSZAM N(5,0); KOZIGKOD C(7); HELYNEV C(30); CIM C(40); KEZD D; VEG D; NAP N(3,0)",
                  "[[1,\"0300003\",\"Gödöllő\",\"Szőlő utca 2.\",\"2026-01-01\",null,5]]");
    writeFundFile(dir / "HPa4711.dbf", "INTKOD C(4); MEGYE C(2); INTE C(40)", "[[\"4711\",\"13\",\"Demó Hospice\"]]");
}

void writeBilled(const fs::path& dir) {
    fs::create_directories(dir);
    writeFundFile(dir / "HEa4711.dbf", "KABKOD C(4)", "[[\"4711\"]]");
    writeFundFile(dir / "HEc4711.dbf", "KABKOD C(4)", "[[\"4711\"]]");
    writeFundFile(dir / "HEb4711.dbf", "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)",
                  "[[\"4711\",8,\"202603\",\"C\",\"2026-03-01\",\"A1\"],[\"4711\",8,\"202603\",\"C\",\"2026-03-02\",\"A1\"]]");
    writeFundFile(dir / "HRuv4711.dbf", "IDOSZAK C(7); ALAPDIJ N(10,2); ELOLEG N(12,1)", "[[\"2026.03\",7150.25,350000.0]]");
}

TEST(Batch, ImportsTheFundsFilesOnlyWithYes) {
    Installation at;
    const fs::path in = at.dir.path() / "RUV";
    writeContracts(in);
    writeBilled(in);
    ASSERT_EQ(system(("/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) + "/tools/full_data_set.py '" +
                      (at.dir.path() / "TELJ").string() + "' good 4711")
                         .c_str()),
              0);

    expectRefused(at, "import-contracts RUV", "A teljes szerződésállományt lecseréljük! Rendben?");
    ToolRun run = at.run("import-contracts RUV --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(at.query("select szszam from hszerz"), "SZ-2027");

    expectRefused(at, "--period 2026.03 import-billed RUV", "Az elszámolt adatokat beolvassuk! Rendben?");
    run = at.run("--period 2026.03 import-billed RUV --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(at.query("select idoszak||'/'||sorsz||resz||allapot from hlapa where allapot<>'' order by 1"),
              "2026.03/00008CR");

    expectRefused(at, "import-full TELJ", "A teljes adatállományt lecseréljük!");
    run = at.run("import-full TELJ --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(at.query("select max(idoszak) from hlapa"), "2024.06");
}

TEST(Batch, ReindexRebuildsAMissingIndexAndWaitsForTheProgram) {
    Installation at;
    fs::remove(findFile(at.data(), "Orvos.mdx"));
    EXPECT_EQ(at.run("check").exit, 4);
    {
        const auto held = app::DataDirLock::tryAcquire(at.data().string());
        ASSERT_TRUE(held);
        const auto before = treeBytes(at.dir.path());
        const ToolRun refused = at.run("reindex");
        EXPECT_EQ(refused.exit, 3);
        EXPECT_NE(refused.err.find("másik program dolgozik"), std::string::npos) << refused.err;
        EXPECT_EQ(treeBytes(at.dir.path()), before);
        EXPECT_EQ(at.run("check").exit, 3);
    }
    const ToolRun run = at.run("reindex");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(at.run("check").exit, 0);
}

TEST(Batch, BadCommandLinesChangeNothing) {
    struct Case {
        std::string arguments;
        int exit;
        const char* wording;
    };
    const std::vector<Case> cases = {
        {"--data DATA", 64, "Hiányzik a parancs"},
        {"--data DATA frissit", 64, "Ismeretlen parancs: frissit"},
        {"--data DATA --gyorsan check", 64, "Ismeretlen kapcsoló: --gyorsan"},
        {"--data DATA ship 2026-04", 64, "Hibás időszak: 2026-04"},
        {"--data DATA --period 2026.13 reindex", 64, "Hibás időszak: 2026.13"},
        {"--data DATA restore", 64, "--ment vagy az --archive"},
        {"--data DATA check extra", 64, "nem vár paramétert"},
        {"--data NINCS check", 5, "NINCS adatkönyvtár nem található"},
        {"--data KULD check", 5, "nem a Velmora adatkönyvtára"},
        {"check", 0, ""},  // DATA of the working directory
    };
    Installation at;
    fs::create_directories(at.dir.path() / "KULD");
    const auto before = treeBytes(at.dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = runBatch(at.dir.path(), c.arguments);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        EXPECT_NE(run.err.find(c.wording), std::string::npos) << run.err;
        if (c.exit == 64) EXPECT_NE(run.err.find("Használat: velmora-batch"), std::string::npos) << run.err;
        EXPECT_EQ(treeBytes(at.dir.path()), before);
    }
}

} // namespace
} // namespace velmora::test
