#include "app/Directories.h"
#include "app/UserError.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;
using namespace velmora::app;
using velmora::test::TempDir;

namespace {

// A working directory and, apart from it, a program directory with its DATA,
// so that what belongs below which can be told apart.
class Konyvtar : public ::testing::Test {
protected:
    Konyvtar() : session(clock) {
        fs::create_directories(work());
        fs::create_directories(prog() / "DATA");
        session.dataDir = ProgramDataDir(prog().string());
    }

    fs::path work() const { return root.path() / "work"; }
    fs::path prog() const { return root.path() / "prog"; }

    void makeDirs(const fs::path& base, std::initializer_list<const char*> names) {
        for (const char* n : names) fs::create_directory(base / n);
    }
    void makeFile(const fs::path& p) { std::ofstream(p) << "x"; }

    std::set<std::string> tree() const {
        std::set<std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(root.path()))
            out.insert(fs::relative(e.path(), root.path()).string());
        return out;
    }

    TempDir root;
    FixedClock clock{{2024, 6, 10}};
    Session session;
};

} // namespace

TEST_F(Konyvtar, EverythingPresentCreatesNothingAndSetsThePaths) {
    makeDirs(work(), {"LISTA", "KULD", "DATA", "TEMP"});
    makeDirs(prog() / "DATA", {"MENT"});
    const auto before = tree();

    Konyvtaraz(session, work().string());

    EXPECT_EQ(tree(), before);
    const std::string w = work().string();
    EXPECT_EQ(session.gdir, w);
    EXPECT_EQ(session.kadat, w + "/DATA");
    EXPECT_EQ(session.ktemp, w + "/TEMP");
    EXPECT_EQ(session.klista, w + "/LISTA");
    EXPECT_EQ(session.kkuld, w + "/KULD/");
    EXPECT_EQ(session.mentdir, (prog() / "DATA" / "MENT").string());
}

TEST_F(Konyvtar, OnlyTheMissingTempIsCreated) {
    makeDirs(work(), {"LISTA", "KULD", "DATA"});
    makeDirs(prog() / "DATA", {"MENT"});
    auto expected = tree();
    expected.insert("work/TEMP");

    Konyvtaraz(session, work().string());

    EXPECT_EQ(tree(), expected);
}

TEST_F(Konyvtar, MentGoesBelowTheDataDirectoryNotTheWorkingDirectory) {
    Konyvtaraz(session, work().string());

    EXPECT_TRUE(fs::is_directory(prog() / "DATA" / "MENT"));
    EXPECT_FALSE(fs::exists(work() / "DATA" / "MENT"));
    for (const char* n : {"LISTA", "KULD", "DATA", "TEMP"}) EXPECT_TRUE(fs::is_directory(work() / n)) << n;
}

TEST_F(Konyvtar, ADirectorySpelledInAnotherCaseIsUsedAsItIs) {
    makeDirs(work(), {"Lista", "temp"});
    fs::rename(prog() / "DATA", prog() / "Data");
    makeDirs(prog() / "Data", {"Ment"});
    session.dataDir = ProgramDataDir(prog().string());
    EXPECT_EQ(session.dataDir, (prog() / "Data").string() + "/");

    Konyvtaraz(session, work().string());

    EXPECT_FALSE(fs::exists(work() / "LISTA"));
    EXPECT_FALSE(fs::exists(work() / "TEMP"));
    EXPECT_EQ(session.klista, (work() / "Lista").string());
    EXPECT_EQ(session.ktemp, (work() / "temp").string());
    EXPECT_EQ(session.mentdir, (prog() / "Data" / "Ment").string());
}

TEST_F(Konyvtar, ADirectoryThatCannotBeCreatedStopsWithItsMessage) {
    // A plain file where the directory belongs cannot be turned into one.
    const struct { const char* name; bool inData; } cases[] = {
        {"LISTA", false}, {"KULD", false}, {"DATA", false}, {"TEMP", false}, {"MENT", true},
    };
    for (const auto& c : cases) {
        TempDir fresh;
        fs::create_directories(fresh.path() / "work");
        fs::create_directories(fresh.path() / "prog" / "DATA");
        makeFile(fresh.path() / (c.inData ? "prog/DATA" : "work") / c.name);
        Session s(clock);
        s.dataDir = ProgramDataDir((fresh.path() / "prog").string());
        try {
            Konyvtaraz(s, (fresh.path() / "work").string());
            ADD_FAILURE() << c.name << ": no error";
        } catch (const UserError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Nem lehet a ") + c.name + " könyvtárat létrehozni");
        }
        EXPECT_EQ(s.kadat, "") << "paths stay unset after a failure";
        EXPECT_EQ(s.mentdir, "");
    }
}

TEST_F(Konyvtar, WithoutArgumentsTheCurrentDirectoryIsTheWorkingDirectory) {
    const fs::path before = fs::current_path();
    fs::current_path(work());
    Konyvtaraz(session);
    fs::current_path(before);

    EXPECT_EQ(fs::path(session.gdir), fs::canonical(work()));
    EXPECT_TRUE(fs::is_directory(work() / "KULD"));
}
