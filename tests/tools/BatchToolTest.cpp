// velmora-batch run as a process on a copy of the demo installation: each
// command's main path with its files checked, and its refusals with the
// data directory byte for byte as it was.
#include "app/DataDirLock.h"
#include "app/DiagnosticLog.h"
#include "support/BatchFixture.h"
#include "db/DbfFile.h"
#include "support/FundFiles.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>
#include <strings.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const std::string kInterop = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/dbf_interop.py";

using TextRow = std::map<std::string, std::string>;  // lower-case field -> trimmed text

// A folder's file by its name in any case (the name itself when there is none).
fs::path findFile(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (strcasecmp(e.path().filename().c_str(), name.c_str()) == 0) return e.path();
    return dir / name;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trimmed(const std::string& s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// A shipment file's live records as python3-dbf reads them.
std::vector<TextRow> recordsByPython(const fs::path& file) {
    const std::string out = runCommand("/usr/bin/python3 " + kInterop + " dump '" + file.string() + "' 2>&1");
    std::istringstream in(out);
    std::string structure, counts;
    if (!std::getline(in, structure) || !std::getline(in, counts)) throw std::runtime_error("python3-dbf: " + out);
    std::vector<std::string> names;
    std::istringstream fields(structure);
    for (std::string f; std::getline(fields, f, '|');) names.push_back(lower(f.substr(0, f.find(' '))));
    std::vector<TextRow> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream cells(line);
        TextRow row;
        std::string cell;
        for (const std::string& name : names) {
            std::getline(cells, cell, '\t');
            row[name] = cell;
        }
        rows.push_back(row);
    }
    return rows;
}

// Files but for the index files and the diagnostic log: the start-up makes
// the program's empty folders (KULD, TEMP, LISTA, MENT) where they are
// missing, the engine writes the keys of an index file anew when its stamp
// no longer fits the table, as the program does, and every run leaves its
// lines in the installation's log.
std::map<std::string, std::string> filesOf(const fs::path& dir) {
    std::map<std::string, std::string> out = treeBytes(dir);
    std::erase_if(out, [](const auto& entry) {
        return entry.second == "/" || strcasecmp(fs::path(entry.first).extension().c_str(), ".mdx") == 0 ||
               fs::path(entry.first).filename() == app::kLogName;
    });
    return out;
}

// The lines of the installation's log (beside DATA), oldest first.
std::vector<std::string> logLines(const fs::path& installation) {
    return app::lastLogLines(app::logFileIn(installation.string()), 1000);
}

// The log lines that hold every one of `words`.
std::vector<std::string> linesWith(const std::vector<std::string>& lines, const std::vector<std::string>& words) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (std::all_of(words.begin(), words.end(), [&line](const std::string& w) { return line.find(w) != std::string::npos; }))
            found.push_back(line);
    return found;
}

class BatchTool : public ::testing::Test {
protected:
    void SetUp() override { copyDemo(dir.path()); }
    fs::path data() const { return dir.path() / "DATA"; }
    // The table files by lower-case name (a restore may spell one otherwise).
    // Index files are left out: any start of the engine may write a stale
    // one anew with the same keys.
    std::map<std::string, std::string> tables() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::directory_iterator(data()))
            if (e.is_regular_file() && strcasecmp(e.path().extension().c_str(), ".dbf") == 0)
                out[lower(e.path().filename().string())] = fileBytes(e.path());
        return out;
    }
    // The live rows of a table, read by a fresh engine after the tool ended.
    std::vector<TextRow> rows(const std::string& file) const {
        const std::string name = findFile(data(), file).filename().string();
        const auto layout = readLayout(data().string(), name);
        std::vector<TextRow> out;
        for (const Row& row : readRows(data().string(), name)) {
            TextRow text;
            for (size_t f = 0; f < layout.fields.size(); ++f)
                text[lower(layout.fields[f].name)] = row[f].isNull() ? "" : trimmed(row[f].asString());
            out.push_back(text);
        }
        return out;
    }
    // "2026.04/00013C" for each sheet whose field has the value.
    std::set<std::string> sheetsWith(const std::string& field, const std::string& value) const {
        std::set<std::string> keys;
        for (const TextRow& r : rows("HLapa.dbf"))
            if (r.at(field) == value) keys.insert(r.at("idoszak") + "/" + r.at("sorsz") + r.at("resz"));
        return keys;
    }
    // A command that asks first: without --yes it exits with the question
    // and no file changes.
    void expectRefused(const std::string& arguments, const std::string& question) const {
        SCOPED_TRACE(arguments);
        const auto before = filesOf(dir.path());
        const ToolRun run = runBatch(dir.path(), "--data DATA " + arguments);
        EXPECT_EQ(run.exit, 2) << run.err;
        EXPECT_NE(run.err.find(question), std::string::npos) << run.err;
        EXPECT_EQ(changedPaths(before, filesOf(dir.path())), "");
    }
    TempDir dir;
};

TEST_F(BatchTool, BadInputIsRefusedWithTheUsageLineAndChangesNothing) {
    fs::create_directories(dir.path() / "IDEGEN");
    const struct {
        const char* arguments;
        int exit;
        const char* wording;
    } cases[] = {
        {"--data DATA", 64, "Hiányzik a parancs"},
        {"--data DATA frobnicate", 64, "Ismeretlen parancs"},
        {"--data DATA --fast check", 64, "Ismeretlen kapcsoló"},
        {"--data DATA ship 2024.13 --yes", 64, "Hibás időszak"},
        {"--data DATA restore --yes", 64, "--ment vagy az --archive"},
        {"--data DATA import-billed", 64, "1 paramétert vár"},
        {"--data DATA check extra", 64, "nem vár paramétert"},
        {"--data DATA --period 2026.4 reindex", 64, "Hibás időszak: 2026.4"},
        {"--data DATA ship 2026.04 --period 2026.03", 64, "eltér"},
        {"--data NINCS check", 5, "nem található"},
        {"--data IDEGEN backup", 5, "nem a Velmora adatkönyvtára"},
        {"--data DATA backup --encrypt --passphrase-file jelszo.txt", 64, "--encrypt"},
        {"--data DATA backup --archive KI --encrypt", 64, "--passphrase-file"},
        {"--data DATA backup --archive KI --passphrase-file jelszo.txt", 64, "--passphrase-file"},
        {"--data DATA restore --ment --passphrase-file jelszo.txt --yes", 64, "--passphrase-file"},
        {"--data DATA backup --archive KI --encrypt --passphrase titok", 64, "Ismeretlen kapcsoló"},
    };
    const auto before = treeBytes(dir.path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = runBatch(dir.path(), c.arguments);
        EXPECT_EQ(run.exit, c.exit);
        EXPECT_NE(run.err.find(c.wording), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Használat: velmora-batch"), std::string::npos);
    }
    EXPECT_EQ(changedPaths(before, treeBytes(dir.path())), "");
    // Without --data the data directory is DATA of the working directory.
    EXPECT_EQ(runBatch(dir.path(), "check").exit, 0);
    const ToolRun help = runBatch(dir.path(), "--help");
    EXPECT_EQ(help.exit, 0);
    for (const char* command : {"backup", "restore", "ship", "import-billed", "import-contracts", "import-full",
                                "report", "reindex", "check"})
        EXPECT_NE(help.out.find("velmora-batch --data DATA " + std::string(command)), std::string::npos) << command;
}

TEST_F(BatchTool, WaitsForNobodyWhileTheProgramHoldsTheDataDirectory) {
    const auto before = filesOf(dir.path());
    {
        const auto held = app::DataDirLock::tryAcquire(data().string());
        ASSERT_TRUE(held);
        for (const char* arguments : {"--data DATA check", "--data DATA reindex"}) {
            const ToolRun run = runBatch(dir.path(), arguments);
            EXPECT_EQ(run.exit, 3) << arguments;
            EXPECT_NE(run.err.find("másik program dolgozik"), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(changedPaths(before, filesOf(dir.path())), "");
    // The run turned away is in the installation's log, with why; the
    // check, which changes nothing, not even that.
    EXPECT_EQ(linesWith(logLines(dir.path()), {"velmora-batch --data DATA reindex: kilépési kód 3"}).size(), 1u);
    EXPECT_EQ(linesWith(logLines(dir.path()), {" FIGYELEM ", "másik program dolgozik"}).size(), 1u);
    EXPECT_TRUE(linesWith(logLines(dir.path()), {" check"}).empty());
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

// The history comes back as it was at the backup, with the restore's row after it.
TEST_F(BatchTool, BackupThenRestoreFromTheArchivePutsEveryTableBackByteForByte) {
    const auto withoutHistory = [](std::map<std::string, std::string> t) {
        t.erase("elozmeny.dbf");
        t.erase("elozveg.dbf");
        return t;
    };
    const auto restoredLast = [&] {
        const std::string out = runBatch(dir.path(), "--data DATA history").out;
        return out.substr(out.rfind('\n', out.size() - 2) + 1).find("\tVisszatöltés\t") != std::string::npos;
    };
    const ToolRun backup = runBatch(dir.path(), "--data DATA backup --archive KIMENT");
    ASSERT_EQ(backup.exit, 0) << backup.err;
    const std::string archive = fileBytes(data() / "MENT" / "Zaras.arj");
    ASSERT_FALSE(archive.empty());
    EXPECT_TRUE(fileBytes(dir.path() / "KIMENT" / "Zaras.arj") == archive);
    std::map<std::string, std::string> saved;
    for (const auto& e : fs::directory_iterator(data() / "MENT"))
        if (e.path().extension() == ".dbf") saved[lower(e.path().filename().string())] = fileBytes(e.path());
    const auto tablesAtBackup = tables();
    EXPECT_EQ(saved.size(), 16u);  // the fourteen tables and the history's two
    EXPECT_EQ(changedPaths(tablesAtBackup, saved), "");

    // The data go on changing: a shipment after the backup.
    ASSERT_EQ(runBatch(dir.path(), "--data DATA ship 2026.04 --yes").exit, 0);
    ASSERT_TRUE(tables() != tablesAtBackup);

    const auto beforeRefusal = tables();
    const ToolRun refused = runBatch(dir.path(), "--data DATA restore --archive KIMENT/Zaras.arj");
    EXPECT_EQ(refused.exit, 2);
    EXPECT_NE(refused.err.find("Biztosan visszatölti az adatokat ?"), std::string::npos) << refused.err;
    EXPECT_EQ(changedPaths(beforeRefusal, tables()), "");

    const ToolRun restore = runBatch(dir.path(), "--data DATA restore --archive KIMENT/Zaras.arj --yes");
    ASSERT_EQ(restore.exit, 0) << restore.err;
    EXPECT_EQ(changedPaths(withoutHistory(tablesAtBackup), withoutHistory(tables())), "");
    EXPECT_TRUE(restoredLast());
    EXPECT_FALSE(fs::exists(dir.path() / "TEMP" / "VISSZA"));  // the archive's copy is not left behind
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);

    // And once more from the plain copies in MENT.
    ASSERT_EQ(runBatch(dir.path(), "--data DATA ship 2026.04 --yes").exit, 0);
    ASSERT_TRUE(tables() != tablesAtBackup);
    const ToolRun fromMent = runBatch(dir.path(), "--data DATA restore --ment --yes");
    ASSERT_EQ(fromMent.exit, 0) << fromMent.err;
    EXPECT_EQ(changedPaths(withoutHistory(tablesAtBackup), withoutHistory(tables())), "");
    EXPECT_TRUE(restoredLast());
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

// The passphrase comes from a file, never from the command line; the copy
// on the drive is the encrypted one alone, and only the right passphrase
// opens it.
TEST_F(BatchTool, AnEncryptedBackupRestoresOnlyWithItsPassphrase) {
    std::ofstream(dir.path() / "jelszo.txt") << "Titkos mentés, ősz 2026\n";
    std::ofstream(dir.path() / "rossz.txt") << "Titkos mentés, ősz 2025\n";
    const ToolRun backup =
        runBatch(dir.path(), "--data DATA backup --archive KIMENT --encrypt --passphrase-file jelszo.txt");
    ASSERT_EQ(backup.exit, 0) << backup.err;
    std::vector<std::string> onDrive;
    for (const auto& e : fs::directory_iterator(dir.path() / "KIMENT")) onDrive.push_back(e.path().filename().string());
    EXPECT_EQ(onDrive, std::vector<std::string>{"Zaras.arj.titkos"});
    EXPECT_EQ(fileBytes(dir.path() / "KIMENT" / "Zaras.arj.titkos").substr(0, 8), "VLMTITK1");
    const auto tablesAtBackup = tables();
    ASSERT_EQ(runBatch(dir.path(), "--data DATA ship 2026.04 --yes").exit, 0);
    const auto shipped = tables();
    ASSERT_TRUE(shipped != tablesAtBackup);

    fs::create_directories(dir.path() / "HAMIS");
    fs::copy_file(data() / "MENT" / "Zaras.arj", dir.path() / "HAMIS" / "Zaras.arj.titkos");
    const struct {
        const char* arguments;
        const char* wording;
    } refusals[] = {
        {"restore --archive KIMENT/Zaras.arj.titkos --passphrase-file rossz.txt --yes", "nem nyitható ki"},
        {"restore --archive KIMENT --yes", "--passphrase-file"},
        {"restore --archive KIMENT --passphrase-file nincs.txt --yes", "jelszófájl nem olvasható"},
        {"restore --archive HAMIS/Zaras.arj.titkos --passphrase-file jelszo.txt --yes", "nem titkosított mentés"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.arguments);
        const ToolRun run = runBatch(dir.path(), std::string("--data DATA ") + r.arguments);
        EXPECT_EQ(run.exit, 1);
        EXPECT_NE(run.err.find(r.wording), std::string::npos) << run.err;
        EXPECT_EQ(changedPaths(shipped, tables()), "");
    }

    const ToolRun restore =
        runBatch(dir.path(), "--data DATA restore --archive KIMENT/Zaras.arj.titkos --passphrase-file jelszo.txt --yes");
    ASSERT_EQ(restore.exit, 0) << restore.err;
    // Every table as at the backup; the history has the restore's row on top.
    EXPECT_EQ(changedPaths(tablesAtBackup, tables()), "elozmeny.dbf elozveg.dbf ");
    const std::string history = runBatch(dir.path(), "--data DATA history").out;
    EXPECT_NE(history.substr(history.rfind('\n', history.size() - 2) + 1).find("\tVisszatöltés\t"), std::string::npos)
        << history;
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ShipSendsEveryPendingSheetOfThePeriodsWindow) {
    // The sending mode offers the unsent sheets of the period and the four
    // months before it.
    std::set<std::string> pending;
    for (const TextRow& r : rows("HLapa.dbf"))
        if (r.at("idoszak") >= "2025.12" && r.at("idoszak") <= "2026.04" && r.at("elkuldve").empty())
            pending.insert(r.at("idoszak") + "/" + r.at("sorsz") + r.at("resz"));
    ASSERT_FALSE(pending.empty());
    expectRefused("ship 2026.04", "Elküldhető " + std::to_string(pending.size()) + " db elszámolási lap?");

    const ToolRun run = runBatch(dir.path(), "--data DATA ship 2026.04 --yes");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(recordsByPython(findFile(dir.path() / "KULD", "Hosa4711.dbf")).size(), pending.size());
    EXPECT_EQ(sheetsWith("elkuldve", "2026.04"), pending);
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ShipSendsTheListedSheetsAndCopiesTheFiles) {
    const ToolRun run =
        runBatch(dir.path(), "--data DATA ship 2026.04 --sheets 2026.03/00008C,2026.04/00013C --yes --copy MASOLAT");
    ASSERT_EQ(run.exit, 0) << run.err;
    const fs::path kuld = dir.path() / "KULD";
    std::set<std::string> shipped;
    for (const TextRow& h : recordsByPython(findFile(kuld, "Hosa4711.dbf")))
        shipped.insert(h.at("idoszak") + "/" + h.at("sorszam") + h.at("resz"));
    EXPECT_EQ(shipped, (std::set<std::string>{"202603/8C", "202604/13C"}));
    const auto visits = recordsByPython(findFile(kuld, "Hosb4711.dbf"));
    EXPECT_FALSE(visits.empty());
    for (const TextRow& v : visits) EXPECT_TRUE(v.at("sorszam") == "8" || v.at("sorszam") == "13") << v.at("sorszam");
    for (const char* name : {"Hosa4711.dbf", "Hosb4711.dbf", "Hosc4711.dbf"})
        EXPECT_TRUE(fileBytes(findFile(dir.path() / "MASOLAT", name)) == fileBytes(findFile(kuld, name))) << name;
    EXPECT_EQ(sheetsWith("elkuldve", "2026.04"), (std::set<std::string>{"2026.03/00008C", "2026.04/00013C"}));

    // A sheet the sending mode would not offer stops the shipment before any mark.
    const auto before = filesOf(dir.path());
    const ToolRun refused = runBatch(dir.path(), "--data DATA ship 2026.04 --sheets 2026.04/00005D,2025.06/00001 --yes");
    EXPECT_EQ(refused.exit, 1);
    EXPECT_NE(refused.err.find("2025.06/00001"), std::string::npos) << refused.err;
    EXPECT_EQ(changedPaths(before, filesOf(dir.path())), "");
}

// The marks the command sets itself travel in the shipment's unit: a
// shipment refused after they were set leaves every sheet's mark as it was.
TEST_F(BatchTool, ARefusedShipmentLeavesTheMarksItSetAsTheyWere) {
    {  // an institution code that can name no shipment file
        auto part = db::DbfFile::open(findFile(data(), "Part.dbf").string());
        std::string record(part->raw(0), part->recordLength());
        part->encode(record.data(), db::findField(part->fields(), "INTKOD"), db::Value("47/1"));
        part->write(0, record.data());
    }
    const auto before = filesOf(dir.path());
    const std::vector<TextRow> sheetsBefore = rows("HLapa.dbf");
    const ToolRun run = runBatch(dir.path(), "--data DATA ship 2026.04 --yes");
    EXPECT_EQ(run.exit, 1);
    EXPECT_NE(run.err.find("intézménykód"), std::string::npos) << run.err;
    EXPECT_EQ(rows("HLapa.dbf"), sheetsBefore);
    EXPECT_EQ(changedPaths(before, filesOf(dir.path())), "");
}

TEST_F(BatchTool, ReindexBuildsAMissingIndexFileAgain) {
    fs::remove(data() / "HLapa.mdx");
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 4);
    const ToolRun run = runBatch(dir.path(), "--data DATA reindex");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("Az indexelés befejeződött!!"), std::string::npos) << run.err;
    EXPECT_EQ(runBatch(dir.path(), "--data DATA check").exit, 0);
}

TEST_F(BatchTool, ImportsWithoutTheirFilesStopWithTheProgramsMessage) {
    fs::create_directories(dir.path() / "URES");
    const auto before = tables();
    const ToolRun asked = runBatch(dir.path(), "--data DATA import-contracts URES");
    EXPECT_EQ(asked.exit, 2);
    EXPECT_NE(asked.err.find("A teljes szerződésállományt lecseréljük! Rendben?"), std::string::npos) << asked.err;
    for (const char* command : {"import-billed", "import-contracts", "import-full"}) {
        SCOPED_TRACE(command);
        const ToolRun run = runBatch(dir.path(), std::string("--data DATA --period 2026.04 ") + command + " URES --yes");
        EXPECT_EQ(run.exit, 1) << run.err;
        EXPECT_NE(run.err.find("Nincs a megadott helyen"), std::string::npos) << run.err;
    }
    EXPECT_EQ(changedPaths(before, tables()), "");
}

TEST_F(BatchTool, ImportsReadTheFundsFilesOnlyWithYes) {
    const fs::path ruv = dir.path() / "RUV";
    fs::create_directories(ruv);
    writeContractFiles(ruv);
    writeBilledAnswer(ruv);
    const std::string full = "/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/full_data_set.py '" +
                             (dir.path() / "TELJ").string() + "' good 4711";
    ASSERT_EQ(std::system(full.c_str()), 0);

    expectRefused("import-contracts RUV", "A teljes szerződésállományt lecseréljük! Rendben?");
    ToolRun run = runBatch(dir.path(), "--data DATA import-contracts RUV --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    std::string contracts;
    for (const TextRow& r : rows("HSzerz.dbf")) contracts += r.at("szszam") + " ";
    EXPECT_EQ(contracts, "SZ-2027 ");

    expectRefused("import-billed RUV --period 2026.03", "Az elszámolt adatokat beolvassuk! Rendben?");
    run = runBatch(dir.path(), "--data DATA import-billed RUV --period 2026.03 --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(sheetsWith("allapot", "R"), std::set<std::string>{"2026.03/00008C"});  // partly paid
    const ToolRun afterBilled = runBatch(dir.path(), "--data DATA check");
    EXPECT_EQ(afterBilled.exit, 0) << afterBilled.out;

    expectRefused("import-full TELJ", "A teljes adatállományt lecseréljük!");
    run = runBatch(dir.path(), "--data DATA import-full TELJ --yes");
    EXPECT_EQ(run.exit, 0) << run.err;
    std::string newest;
    for (const TextRow& r : rows("HLapa.dbf")) newest = std::max(newest, r.at("idoszak"));
    EXPECT_EQ(newest, "2024.06");  // the fund's set took the place of the local sheets
    // The fund's sheets carry periods without a ZARAS row and series marks
    // of 2024 only: none of that is reported. (Patients, nurses and doctors
    // the local tables do not have, and the fund's visit row without a
    // header, are.)
    const ToolRun afterFull = runBatch(dir.path(), "--data DATA check");
    for (const char* wording : {"zárások között", "elküldött lapok száma", "teljes sorozat jele"})
        EXPECT_EQ(afterFull.out.find(wording), std::string::npos) << afterFull.out;
}

} // namespace
} // namespace velmora::test

namespace velmora::test {
namespace {

// A refused import fails the run whatever was printed, and the installation's
// log keeps the file refused and why, the run and its exit code, and no
// patient's name.
TEST_F(BatchTool, ARefusedImportFailsTheRunAndItsCauseIsInTheInstallationsLog) {
    const fs::path ruv = dir.path() / "RUV";
    fs::create_directories(ruv);
    writeBilledAnswer(ruv);
    // A billed visit of another month than the period being read.
    writeFundFile(ruv / "HEb4711.dbf", "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)",
                  "[[\"4711\",8,\"202602\",\"C\",\"2026-02-01\",\"A1\"]]");
    const auto before = tables();
    const ToolRun run = runBatch(dir.path(), "--data DATA import-billed RUV --period 2026.03 --yes");
    EXPECT_EQ(run.exit, 1) << run.err;
    EXPECT_EQ(changedPaths(before, tables()), "");

    const auto lines = logLines(dir.path());
    const auto refused =
        linesWith(lines, {" HIBA ", "HEb4711.dbf", "Az elszámolt lapok beolvasása elmaradt, az adatok nem változtak."});
    EXPECT_EQ(refused.size(), 1u) << ::testing::PrintToString(lines);
    EXPECT_EQ(linesWith(lines, {"import-billed RUV --period 2026.03 --yes: kilépési kód 1"}).size(), 1u)
        << ::testing::PrintToString(lines);
    EXPECT_FALSE(fs::exists(data() / app::kLogName));
    const std::string all = fileBytes(app::logFileIn(dir.path().string()));
    for (const TextRow& patient : rows("Beteg.dbf")) {
        ASSERT_FALSE(patient.at("nev").empty());
        EXPECT_EQ(all.find(patient.at("nev")), std::string::npos) << patient.at("nev");
    }
}

// A clean run leaves its command line and exit code in the log of the
// installation whose DATA it worked on; a data directory of another name
// keeps its log beside its tables.
TEST_F(BatchTool, ACleanRunWritesItsLinesToTheInstallationsLog) {
    ToolRun run = runBatch(dir.path(), "--data DATA reindex");
    ASSERT_EQ(run.exit, 0) << run.err;
    const auto lines = logLines(dir.path());
    EXPECT_EQ(linesWith(lines, {" INFO velmora-batch --data DATA reindex"}).size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(linesWith(lines, {"reindex: kilépési kód 0"}).size(), 1u);
    EXPECT_TRUE(linesWith(lines, {" HIBA "}).empty()) << ::testing::PrintToString(lines);

    fs::rename(data(), dir.path() / "ADATOK");
    run = runBatch(dir.path(), "--data ADATOK/ reindex");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(linesWith(app::lastLogLines((dir.path() / "ADATOK" / app::kLogName).string(), 10),
                        {"velmora-batch --data ADATOK/ reindex: kilépési kód 0"})
                  .size(),
              1u);
    EXPECT_EQ(logLines(dir.path()).size(), lines.size());
}

} // namespace
} // namespace velmora::test
