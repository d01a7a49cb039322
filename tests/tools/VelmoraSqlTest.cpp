// The velmora-sql tool, run as a process on a data directory.
#include "db/Database.h"
#include "db/Journal.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::db {
namespace {

using test::TempDir;

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class VelmoraSqlTool : public ::testing::Test {
protected:
    void SetUp() override {
        Database db(data.str());
        Table& t = db.table("HLAPA", "HLapa.dbf");
        t.create({FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1), FieldDef::character("Nev", 25),
                  FieldDef::numeric("Alapdij", 10, 5)});
        t.open();
        t.addIndex("Lap1", "Sorsz+Resz");
        t.appendValues({"00001", Value(), "Kovács Ágnes", Value(Decimal(123450000, 5))});
        t.appendValues({"00001", "A", "Kovács Ágnes", Value()});
        t.close();
        hlapa = t.path();
    }

    Outcome run(const std::vector<std::string>& args, const std::string& input = "") {
        std::ofstream(work.file("in")) << input;
        std::string cmd = shellQuote(VELMORA_SQL_TOOL);
        for (const std::string& a : args) cmd += " " + shellQuote(a);
        cmd += " <" + shellQuote(work.file("in")) + " >" + shellQuote(work.file("out")) + " 2>" +
               shellQuote(work.file("err"));
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(work.file("out")), readFile(work.file("err"))};
    }

    TempDir data, work;
    std::string hlapa;
};

TEST_F(VelmoraSqlTool, PrintsHeaderAndTabSeparatedRowsPerResult) {
    const Outcome o = run({"--data", data.str(), "select sorsz, resz, nev, alapdij from hlapa order by rowid",
                           "select count(*) as db from hlapa where resz is null"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out,
              "Sorsz\tResz\tNev\tAlapdij\n"
              "00001\t\tKovács Ágnes\t1234.50000\n"
              "00001\tA\tKovács Ágnes\t\n"
              "\n"
              "db\n"
              "1\n");
}

TEST_F(VelmoraSqlTool, ReadsStatementsFromStandardInput) {
    const Outcome o = run({"--data", data.str()}, "select resz from hlapa\n where resz is not null;\nselect count(*) as n\n"
                                                  "from hlapa; -- vége\n");
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "Resz\nA\n\nn\n2\n");
}

// Where a statement ends is SQLite's to say: a ';' in a comment or a text
// does not end it, and an argument's closing comment does not swallow the
// next argument.
TEST_F(VelmoraSqlTool, StatementsEndWhereSqliteEndsThem) {
    const Outcome o = run({"--data", data.str(), "--write",
                           "update hlapa set nev='MIND' /* javítás; csak egy sor */ where resz='A'",
                           "select nev, ';' as jel from hlapa order by rowid -- ; nem választ el",
                           "select count(*) as n from hlapa"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "Nev\tjel\nKovács Ágnes\t;\nMIND\t;\n\nn\n2\n");
    EXPECT_EQ(o.err, "1 sor módosult.\n");
}

TEST_F(VelmoraSqlTool, TheWholeInputIsOneWriteUnit) {
    const std::string before = readFile(hlapa);
    struct Case {
        const char* input;
        int exitCode;
        bool changes;
    };
    const std::vector<Case> cases = {
        {"update hlapa set nev = 'Kiss Éva' where resz = 'A';\nupdate hlapa set sorsz = sorsz || 'TÚL HOSSZÚ';", 1,
         false},
        {"update hlapa set nev = 'Kiss Éva' where resz = 'A';\nselec hiba;", 1, false},
        {"begin;\nupdate hlapa set nev = 'Kiss Éva' where resz = 'A';\nrollback;", 0, false},
        {"BEGIN TRANSACTION;\nupdate hlapa set nev = 'Kiss Éva' where resz = 'A';\nCOMMIT;", 0, true},
        {"update hlapa set alapdij = 1;\nrollback;\nupdate hlapa set nev = 'Kiss Éva' where resz = 'A';\nend;", 0,
         true},
    };
    for (const Case& c : cases) {
        std::ofstream(hlapa, std::ios::binary | std::ios::trunc) << before;
        const Outcome o = run({"--data", data.str(), "--write"}, c.input);
        EXPECT_EQ(o.exitCode, c.exitCode) << c.input << "\n" << o.err;
        Database db(data.str());
        Table& t = db.table("HLAPA", "HLapa.dbf");
        t.open();
        EXPECT_EQ(t.valueAt(1, 2), Value(c.changes ? "Kiss Éva" : "Kovács Ágnes")) << c.input;
        EXPECT_EQ(t.valueAt(0, 3), Value(Decimal(123450000, 5))) << c.input;
        EXPECT_EQ(t.physicalCount(), 2u) << c.input;
    }
}

TEST_F(VelmoraSqlTool, SettlesAnInterruptedWriteFirst) {
    std::ofstream(data.file(kJournalFileName), std::ios::binary) << "VELMJRN1 csonka";
    const Outcome o = run({"--data", data.str(), "select count(*) as n from hlapa"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "n\n2\n");
    EXPECT_NE(o.err.find(std::string(kJournalFileName) + " napló sérült"), std::string::npos) << o.err;
    EXPECT_FALSE(std::filesystem::exists(data.file(kJournalFileName)));
}

TEST_F(VelmoraSqlTool, WritesOnlyWithTheWriteSwitch) {
    const std::string before = readFile(hlapa);
    const std::string update = "update hlapa set nev = 'Kiss Éva' where resz = 'A'";
    const Outcome refused = run({"--data", data.str(), "select * from hlapa", update});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--write"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");  // nothing ran, not even the query before it
    EXPECT_EQ(readFile(hlapa), before);

    const Outcome written = run({"--data", data.str(), "--write", update});
    EXPECT_EQ(written.exitCode, 0) << written.err;
    Database db(data.str());
    Table& t = db.table("HLAPA", "HLapa.dbf");
    t.open();
    EXPECT_EQ(t.valueAt(1, 2), Value("Kiss Éva"));
    EXPECT_EQ(t.valueAt(0, 2), Value("Kovács Ágnes"));
}

TEST_F(VelmoraSqlTool, BadStatementOrFileFailsAndChangesNothing) {
    const std::string before = readFile(hlapa);
    const Outcome syntax = run({"--data", data.str(), "selec * from hlapa"});
    EXPECT_EQ(syntax.exitCode, 1);
    EXPECT_NE(syntax.err.find("SQL hiba"), std::string::npos) << syntax.err;

    const Outcome tooWide = run({"--data", data.str(), "--write", "update hlapa set sorsz = sorsz || 'X'"});
    EXPECT_EQ(tooWide.exitCode, 1);
    EXPECT_NE(tooWide.err.find("Sorsz"), std::string::npos) << tooWide.err;
    EXPECT_EQ(readFile(hlapa), before);

    std::ofstream(data.file("ROSSZ.DBF"), std::ios::binary) << "ez nem dBASE-tábla";
    const Outcome damaged = run({"--data", data.str(), "select * from rossz"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_NE(damaged.err.find("ROSSZ"), std::string::npos) << damaged.err;

    const Outcome missing = run({"--data", data.str(), "select * from nincs"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Nincs ilyen tábla: nincs\n");
}

TEST_F(VelmoraSqlTool, HelpAndUsage) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--write"), std::string::npos);
    const Outcome noData = run({"select 1"});
    EXPECT_EQ(noData.exitCode, 64);
    EXPECT_NE(noData.err.find("--data"), std::string::npos);
}

// While another program (the Velmora program, velmora-batch, a backup in
// progress) holds the data directory, the tool neither reads half-replaced
// tables nor writes into the middle of that work.
TEST_F(VelmoraSqlTool, WaitsForNoOneAndRefusesAHeldDataDirectory) {
    const int dir = ::open(data.str().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    ASSERT_EQ(flock(dir, LOCK_EX | LOCK_NB), 0);
    const std::string before = readFile(hlapa);
    const Outcome held = run({"--data", data.str(), "--write", "update hlapa set nev='Más'"});
    EXPECT_EQ(held.exitCode, 3);
    EXPECT_NE(held.err.find("adatkönyvtáron egy másik program dolgozik"), std::string::npos) << held.err;
    EXPECT_EQ(readFile(hlapa), before);
    ::close(dir);
    EXPECT_EQ(run({"--data", data.str(), "select count(*) from hlapa"}).exitCode, 0) << "free again";
}

} // namespace
} // namespace velmora::db
