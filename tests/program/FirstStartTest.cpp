// Which data directories make a first start: the table of their states.
#include "support/TableFixture.h"
#include "support/TempDir.h"

#include "program/FirstStart.h"
#include "store/ContractCheck.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace fs = std::filesystem;
using namespace velmora;
using velmora::test::TempDir;

namespace {

std::set<std::string> allFundTablesBut(const std::string& kept) {
    std::set<std::string> out;
    for (const auto* def : store::fundTables())
        if (def->name != kept) out.insert(def->name + ".DBF");
    return out;
}

} // namespace

TEST(FirstStart, IsDecidedByTheFundTablesOfTheDataDirectory) {
    struct Case {
        const char* state;
        std::function<void(const std::string& data)> make;
        bool firstStart;
    };
    const std::vector<Case> cases = {
        {"no data directory", [](const std::string&) {}, true},
        {"an empty data directory", [](const std::string& data) { fs::create_directory(data); }, true},
        {"only the program's own tables",
         [](const std::string& data) {
             fs::create_directory(data);
             test::writeTable(data, "Apol.dbf", store::schema::APOL().fields, {{"111111111", "Kiss Anna"}});
         },
         true},
        {"every fund table",
         [](const std::string& data) {
             fs::create_directory(data);
             test::writeFundTables(data);
         },
         false},
        {"some fund tables lost (the start-up names them)",
         [](const std::string& data) {
             fs::create_directory(data);
             test::writeFundTables(data, {"HSZERZ.DBF", "BNOTORZS.DBF"});
         },
         false},
        {"a single fund table left",
         [](const std::string& data) {
             fs::create_directory(data);
             test::writeFundTables(data, allFundTablesBut("TELEPUL"));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        TempDir home;
        const std::string data = home.file("DATA");
        c.make(data);
        EXPECT_EQ(program::isFirstStart(data), c.firstStart);
        EXPECT_EQ(program::isFirstStart(data + "/"), c.firstStart);
    }
}
