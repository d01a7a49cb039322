// The demo installation: the tool writes the fund's seven tables from the
// demo text files and made-up patients, doctors, nurses and residues in the
// program's layouts, and the program's start-up table steps accept them.
#include "app/TextHelpers.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

int runDemoTool(const TempDir& dir, const std::string& out) {
    const fs::path program = dir.path() / "prog" / "velmora";
    fs::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\n";
    const std::string cmd = std::string("\"") + VELMORA_DEMO_TOOL + "\" --out \"" + out + "\" --program \"" +
                            program.string() + "\" >/dev/null 2>&1";
    return std::system(cmd.c_str());
}

// One field of every row of a table file, in physical order.
std::vector<std::string> column(const std::string& dir, const std::string& file, const std::string& field) {
    const int i = db::findField(readLayout(dir, file).fields, field);
    EXPECT_GE(i, 0) << file << " " << field;
    std::vector<std::string> out;
    if (i < 0) return out;
    for (const Row& r : readRows(dir, file)) out.push_back(r[static_cast<size_t>(i)].asString());
    return out;
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

TEST(Demo, WritesTheFundTablesTheStartUpAccepts) {
    TempDir dir;
    const std::string out = dir.file("demo");
    ASSERT_EQ(runDemoTool(dir, out), 0);
    EXPECT_TRUE(fs::exists(fs::path(out) / "velmora"));
    const std::string data = (fs::path(out) / "DATA").string();

    for (const char* file : {"PART.DBF", "HSZERZ.DBF", "HSZOLGSZ.DBF", "TELEPUL.DBF", "HTERULET.DBF", "HTHELY.DBF",
                             "BNOTORZS.DBF"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(readLayout(data, file).level, 3);
        EXPECT_FALSE(readRows(data, file).empty());
    }

    const std::vector<Row> bno = readRows(data, "BNOTORZS.DBF");
    EXPECT_GE(bno.size(), 200u);
    bool accented = false;
    for (const Row& r : bno) {
        EXPECT_FALSE(r[0].asString().empty());
        EXPECT_EQ(r[0].asString().find('.'), std::string::npos) << r[0].asString();
        accented = accented || r[1].asString().find("ő") != std::string::npos;
    }
    EXPECT_TRUE(accented) << "the names come through in Hungarian";

    const std::vector<Row> staff = readRows(data, "HSZOLGSZ.DBF");
    EXPECT_GE(staff.size(), 3u);
    for (const Row& r : staff) {
        EXPECT_EQ(r[0].asString().size(), 9u);
        EXPECT_TRUE(app::TajCheckDigitOk(r[0].asString())) << r[0].asString();
    }

    {
        Start start(data, {2026, 3, 2});
        EXPECT_TRUE(start.run());
        EXPECT_TRUE(start.dialogs.errors().empty());
    }

    // A second run must not touch the existing data.
    EXPECT_NE(runDemoTool(dir, out), 0);
    EXPECT_EQ(readRows(data, "BNOTORZS.DBF").size(), bno.size());
}

TEST(Demo, HasPatientsDoctorsNursesAndResiduesTheProgramAccepts) {
    TempDir dir;
    ASSERT_EQ(runDemoTool(dir, dir.file("demo")), 0);
    const std::string data = dir.file("demo/DATA");

    std::map<std::string, std::string> settlements;
    for (const Row& r : readRows(data, "TELEPUL.DBF")) settlements[r[0].asString()] = r[1].asString();

    const std::vector<std::string> taj = column(data, "Beteg.dbf", "TAJ");
    const std::vector<std::string> names = column(data, "Beteg.dbf", "NEV");
    const std::vector<std::string> codes = column(data, "Beteg.dbf", "KOZIGKOD");
    const std::vector<std::string> towns = column(data, "Beteg.dbf", "CIME1");
    const std::vector<std::string> born = column(data, "Beteg.dbf", "SZULI");
    const std::vector<std::string> sex = column(data, "Beteg.dbf", "NEME");
    const std::vector<std::string> kind = column(data, "Beteg.dbf", "AZTIP");
    ASSERT_EQ(taj.size(), 30u);
    EXPECT_EQ(std::set<std::string>(taj.begin(), taj.end()).size(), taj.size()) << "TAJ is the patients' key";
    ScriptedDialogs dialogs;
    bool accented = false;
    for (size_t i = 0; i < taj.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(kind[i], "1");
        EXPECT_EQ(taj[i].size(), 9u);
        EXPECT_TRUE(app::TajCheckDigitOk(taj[i])) << taj[i];
        ASSERT_TRUE(settlements.count(codes[i])) << codes[i] << " is not in TELEPUL";
        EXPECT_EQ(towns[i], settlements[codes[i]]);
        EXPECT_TRUE(sex[i] == "F" || sex[i] == "N") << sex[i];
        EXPECT_TRUE(app::CheckDateFrom1895(born[i], "2026.03", dialogs)) << born[i];
        accented = accented || names[i].find_first_of("\xC3\xC5") != std::string::npos;
    }
    EXPECT_TRUE(dialogs.log().empty());
    EXPECT_TRUE(accented) << "Hungarian names";

    const std::vector<std::string> stamps = column(data, "Orvos.dbf", "ORVOSKOD");
    EXPECT_EQ(stamps.size(), 8u);
    EXPECT_EQ(std::set<std::string>(stamps.begin(), stamps.end()).size(), stamps.size());
    for (const std::string& code : stamps) EXPECT_TRUE(code.size() == 6 && allDigits(code)) << code;

    // The nurses are the contract's employees, so their working time is there.
    std::map<std::string, std::string> employees;
    for (const Row& r : readRows(data, "HSZOLGSZ.DBF")) employees[r[0].asString()] = r[1].asString();
    const std::vector<std::string> nurseTaj = column(data, "Apol.dbf", "APTAJ");
    const std::vector<std::string> nurseNames = column(data, "Apol.dbf", "ANEV");
    EXPECT_EQ(nurseTaj.size(), 6u);
    for (size_t i = 0; i < nurseTaj.size(); ++i) {
        EXPECT_TRUE(app::TajCheckDigitOk(nurseTaj[i])) << nurseTaj[i];
        EXPECT_EQ(employees[nurseTaj[i]], nurseNames[i]);
    }

    const std::string intkod = readRows(data, "PART.DBF").at(0).at(0).asString();
    const std::vector<std::string> periods = column(data, "Maradv.dbf", "MIDOSZAK");
    EXPECT_GE(periods.size(), 3u);
    EXPECT_EQ(std::set<std::string>(periods.begin(), periods.end()).size(), periods.size());
    for (const std::string& p : periods) EXPECT_TRUE(app::IsValidDateText(p + ".01")) << p;
    for (const std::string& k : column(data, "Maradv.dbf", "INTKOD")) EXPECT_EQ(k, intkod);

    // The same installation on every run.
    ASSERT_EQ(runDemoTool(dir, dir.file("again")), 0);
    for (const char* file : {"Beteg.dbf", "Orvos.dbf", "Apol.dbf", "Maradv.dbf"})
        EXPECT_EQ(readRows(dir.file("again/DATA"), file), readRows(data, file)) << file;

    // The first start builds the index files and keeps every row.
    {
        Start start(data, {2026, 3, 2});
        EXPECT_TRUE(start.run());
        EXPECT_TRUE(start.dialogs.errors().empty());
        EXPECT_TRUE(start.dialogs.texts(ScriptedDialogs::Kind::Warning).empty());
    }
    for (const char* file : {"Beteg.dbf", "Orvos.dbf", "Apol.dbf", "Maradv.dbf"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(readLayout(data, file).tags.empty());
    }
    EXPECT_EQ(readRows(data, "Beteg.dbf").size(), 30u);
}

} // namespace
} // namespace velmora::test
