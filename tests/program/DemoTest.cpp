// The demo installation: the tool writes the fund's seven tables from the
// demo text files, and the program's start-up table steps accept them.
#include "app/TextHelpers.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

} // namespace
} // namespace velmora::test
