// The data check on the demo installation and on copies of it with one
// fault each, made below the engine (straight into the files), as a crash,
// another program or a bad copy would leave them.
#include "support/BatchFixture.h"
#include "check/DataCheck.h"
#include "db/DbfFile.h"
#include "db/Database.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// One record of a table changed in place; the index file is left alone.
void setField(const fs::path& table, uint32_t recno, const std::string& field, const db::Value& value) {
    auto file = db::DbfFile::open(table.string());
    std::string record(file->raw(recno), file->recordLength());
    file->encode(record.data(), db::findField(file->fields(), field), value);
    file->write(recno, record.data());
}

void setDeleted(const fs::path& table, uint32_t recno) { db::DbfFile::open(table.string())->setDeleted(recno, true); }

std::string problemsOf(const check::CheckReport& report, const std::string& file) {
    std::string text;
    for (const check::FileReport& f : report.files)
        if (f.file == file)
            for (const std::string& p : f.problems) text += p + "\n";
    return text;
}

TEST(DataCheck, TheDemoInstallationIsCleanAndTheCheckChangesNoByte) {
    TempDir dir;
    copyDemo(dir.path());
    const auto before = treeBytes(dir.path() / "DATA");
    const ToolRun run = runBatch(dir.path(), "--data DATA check");
    EXPECT_EQ(run.exit, 0) << run.out << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_NE(run.out.find("rendben"), std::string::npos) << run.out;
    EXPECT_EQ(changedPaths(before, treeBytes(dir.path() / "DATA")), "");
}

struct Fault {
    const char* name;
    std::function<void(const fs::path& data)> make;
    const char* file;     // where the report must name it
    const char* wording;  // a part of its line
};

const std::vector<Fault>& faults() {
    static const std::vector<Fault> list = {
        {"truncated table", [](const fs::path& d) { fs::resize_file(d / "HLapb.dbf", fs::file_size(d / "HLapb.dbf") - 300); },
         "HLapb.dbf", "csonka"},
        {"records past the count",
         [](const fs::path& d) { std::ofstream(d / "Apol.dbf", std::ios::app | std::ios::binary) << std::string(200, ' '); },
         "Apol.dbf", "a fájl mérete"},
        {"index of an earlier table", [](const fs::path& d) { setField(d / "Apol.dbf", 0, "Anev", db::Value("Zzz Ápoló")); },
         "Apol.dbf", "Apol2 címkéje nem egyezik"},
        {"damaged index file",
         [](const fs::path& d) { std::ofstream(d / "Orvos.mdx", std::ios::binary | std::ios::trunc) << "nem index"; },
         "Orvos.dbf", "sérült"},
        {"pending journal", [](const fs::path& d) { std::ofstream(d / "VELMORA.JNL") << "x"; }, "", "naplója"},
        {"header without visits", [](const fs::path& d) { setDeleted(d / "HLapb.dbf", 0); }, "HLapa.dbf",
         "nincs látogatási sora"},
        {"visits without header", [](const fs::path& d) { setDeleted(d / "HLapa.dbf", 0); }, "HLapb.dbf",
         "nincs fejsora"},
        {"missing patient", [](const fs::path& d) { setField(d / "HLapa.dbf", 0, "Taj", db::Value("999999999")); },
         "HLapa.dbf", "999999999) nincs a betegek között"},
        {"duplicate sheet key",
         [](const fs::path& d) {
             auto file = db::DbfFile::open((d / "HLapa.dbf").string());
             file->write(1, file->raw(0));
         },
         "HLapa.dbf", "többször szerepel"},
        {"visit outside the month", [](const fs::path& d) { setField(d / "HLapb.dbf", 0, "APDAT1", db::Value("2001.01.05")); },
         "HLapb.dbf", "nem a lap hónapjára esik"},
        {"missing nurse", [](const fs::path& d) { setField(d / "HLapa.dbf", 0, "Aptaj8", db::Value("111111111")); },
         "HLapa.dbf", "111111111 TAJ-számú ápolóra"},
        {"missing doctor", [](const fs::path& d) { setField(d / "HLapa.dbf", 0, "Orvkode", db::Value("X9999")); },
         "HLapa.dbf", "X9999 kódú orvosra"},
        {"tab and line break in a patient's name",
         [](const fs::path& d) { setField(d / "Beteg.dbf", 0, "Nev", db::Value("Kovács\tÉva\nmásodik sor")); },
         "Beteg.dbf", "1. rekord Nev mezőjében vezérlőkarakter"},
        {"a control character in a sheet's frequency",
         [](const fs::path& d) { setField(d / "HLapa.dbf", 2, "Gyak", db::Value("heti\x01 3")); },
         "HLapa.dbf", "3. rekord Gyak mezőjében vezérlőkarakter"},
    };
    return list;
}

TEST(DataCheck, ReportsEachFaultUnderItsTable) {
    for (const Fault& fault : faults()) {
        SCOPED_TRACE(fault.name);
        TempDir dir;
        copyDemo(dir.path());
        fault.make(dir.path() / "DATA");
        const check::CheckReport report = check::checkDataDirectory((dir.path() / "DATA").string());
        EXPECT_FALSE(report.clean());
        EXPECT_NE(problemsOf(report, fault.file).find(fault.wording), std::string::npos)
            << check::reportText(report);
    }
}

TEST(DataCheck, TheToolReportsFaultsWithItsOwnExitAndLeavesThemAsTheyWere) {
    TempDir dir;
    copyDemo(dir.path());
    setDeleted(dir.path() / "DATA" / "HLapb.dbf", 0);
    const auto before = treeBytes(dir.path() / "DATA");
    const ToolRun run = runBatch(dir.path(), "--data DATA check");
    EXPECT_EQ(run.exit, 4) << run.err;
    EXPECT_NE(run.out.find("HLapa.dbf:\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Összesen"), std::string::npos) << run.out;
    EXPECT_EQ(changedPaths(before, treeBytes(dir.path() / "DATA")), "");
}

// In the program the tables are open and an index file on disk may lag
// behind the rows changed in this run: the window's check must not take
// that for a fault, and leaves the tables open.
TEST(DataCheck, TheProgramsOwnChangesAreNoFaultAndItsTablesStayOpen) {
    TempDir dir;
    copyDemo(dir.path());
    db::Database db((dir.path() / "DATA").string() + "/");
    store::mindnyit(db);
    db::Table& apol = store::tableOf(db, store::schema::APOL());
    apol.first();
    apol.edit();
    apol.setField("Anev", db::Value("Zzz Ápoló"));
    apol.post();

    const check::CheckReport report = check::checkOpenDataDirectory(db);
    EXPECT_TRUE(report.clean()) << check::reportText(report);
    EXPECT_TRUE(apol.isOpen());
    EXPECT_TRUE(store::tableOf(db, store::schema::HLAPA()).isOpen());
    db.closeAll();
    EXPECT_TRUE(check::checkDataDirectory((dir.path() / "DATA").string()).clean());
}

} // namespace
} // namespace velmora::test
