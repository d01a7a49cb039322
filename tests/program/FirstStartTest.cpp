// Which data directories make a first start: the table of their states.
#include "support/TableFixture.h"
#include "support/TempDir.h"

#include "app/UserError.h"
#include "program/FirstStart.h"
#include "store/ContractCheck.h"
#include "store/Schemas.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
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

// The fund's tables taken from the folder the provider got them in: all
// seven whatever the case of their names, or none.
TEST(FirstStart, TheFundTablesComeFromAFolderAllOrNothing) {
    struct Case {
        const char* folder;
        std::function<void(const fs::path& folder)> make;
        const char* refusal;  // nullptr: taken
    };
    const std::vector<Case> cases = {
        {"all seven, names in small letters",
         [](const fs::path& f) {
             test::writeFundTables(f.string());
             for (const auto& e : fs::directory_iterator(f)) {
                 std::string name = e.path().filename().string();
                 for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                 fs::rename(e.path(), f / name);
             }
         },
         nullptr},
        {"HTHELY missing", [](const fs::path& f) { test::writeFundTables(f.string(), {"HTHELY.DBF"}); },
         "Hiányzik: HThely.dbf"},
        {"BNOTORZS is no table",
         [](const fs::path& f) {
             test::writeFundTables(f.string());
             std::ofstream(f / "BNOTORZS.DBF", std::ios::trunc) << "nem tábla";
         },
         "BNOTORZS.DBF állomány nem olvasható dBASE tábla"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path folder = dir.path() / "ruv", data = dir.path() / "DATA";
        fs::create_directories(folder);
        c.make(folder);
        if (!c.refusal) {
            program::takeFundTables(folder.string(), data.string());
            EXPECT_FALSE(program::isFirstStart(data.string())) << c.folder;
            for (const auto* def : store::fundTables()) EXPECT_TRUE(fs::exists(data / def->fileName)) << def->fileName;
            continue;
        }
        try {
            program::takeFundTables(folder.string(), data.string());
            ADD_FAILURE() << c.folder << ": taken";
        } catch (const app::UserError& e) {
            EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
        }
        EXPECT_TRUE(!fs::exists(data) || fs::is_empty(data)) << c.folder;
    }
}
