// dBASE files as other dBASE tools see them: header bytes, every field
// type, Hungarian text, exact numbers, refusals and damaged files.
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::db;
using velmora::test::TempDir;

namespace {

FieldList sampleFields() {
    return {FieldDef::character("NEV", 25), FieldDef::date("SZULI"), FieldDef::numeric("ALAPDIJ", 10, 5),
            FieldDef::numeric("LAPOKSZ", 5), FieldDef::logical("AKTIV")};
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

uint32_t appendRow(DbfFile& f, const std::vector<Value>& values) {
    std::string rec = f.blankRecord();
    for (size_t i = 0; i < values.size(); ++i) f.encode(rec.data(), static_cast<int>(i), values[i]);
    return f.append(rec.data());
}

} // namespace

TEST(DbfFile, HeaderOfNewTablesMatchesTheDbaseLayout) {
    TempDir dir;
    for (int level : {3, 4}) {
        const std::string path = dir.file("T" + std::to_string(level) + ".dbf");
        DbfFile::create(path, sampleFields(), level);
        const std::string b = readAll(path);
        ASSERT_EQ(b.size(), 32u + 5 * 32 + 1 + 1) << "header, five descriptors, terminator, end-of-file mark";
        EXPECT_EQ(b[0], '\x03');
        EXPECT_EQ(b[4] | b[5] | b[6] | b[7], 0) << "no records";
        EXPECT_EQ(uint8_t(b[8]) | uint8_t(b[9]) << 8, 32 + 5 * 32 + 1);
        EXPECT_EQ(uint8_t(b[10]) | uint8_t(b[11]) << 8, 1 + 25 + 8 + 10 + 5 + 1);
        EXPECT_EQ(b[28], 0) << "production index flag stays clear";
        EXPECT_EQ(uint8_t(b[29]), level == 4 ? kLangDriverCp852 : 0);
        EXPECT_EQ(b[32 + 5 * 32], '\x0D');
        EXPECT_EQ(b.back(), '\x1A');
        EXPECT_EQ(DbfFile::open(path)->level(), level);
    }
}

TEST(DbfFile, EveryValueReadsBackAsWritten) {
    TempDir dir;
    const std::string path = dir.file("ertek.dbf");
    DbfFile::create(path, sampleFields(), 4);
    const std::vector<std::vector<Value>> rows = {
        {"Őrült Űrhajós Árvíztűrő", "2024.02.29", Decimal(123456789, 5), 42, Value::boolean(true)},
        {"ŐŰÁÉÍÓÖÚÜ őűáéíóöúü", "1895.01.01", Decimal(-99999, 5), 0, Value::boolean(false)},
        {"  behúzott szöveg", "2099.12.31", Decimal(0, 5), 99999, Value()},
        {Value(), Value(), Value(), Value(), Value()},
        {"x", "2024.01.31", Decimal(999999999, 5), -9999, Value::boolean(true)},
    };
    {
        auto f = DbfFile::open(path);
        for (const auto& r : rows) appendRow(*f, r);
    }
    auto f = DbfFile::open(path);
    ASSERT_EQ(f->recordCount(), rows.size());
    for (uint32_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(f->value(r, c), rows[r][c]) << "row " << r << " field " << c << ": " << f->value(r, c).asString();
    EXPECT_EQ(f->value(0, 2).number().toString(), "1234.56789");
    EXPECT_EQ(f->value(2, 0).text(), "  behúzott szöveg") << "leading blanks are data, trailing ones padding";
}

TEST(DbfFile, TextIsCodePage852OnDisk) {
    TempDir dir;
    const std::string path = dir.file("cp.dbf");
    DbfFile::create(path, {FieldDef::character("NEV", 4)}, 4);
    {
        auto f = DbfFile::open(path);
        appendRow(*f, {"őŐűŰ"});
    }
    const std::string b = readAll(path);
    const size_t header = 32 + 32 + 1;
    EXPECT_EQ(b.substr(header, 5), std::string("\x20\x8B\x8A\xFB\xEB", 5));
}

TEST(DbfFile, ValuesThatDoNotFitAreRefusedAndTheRecordKeepsItsBytes) {
    TempDir dir;
    const std::string path = dir.file("szuk.dbf");
    DbfFile::create(path, sampleFields(), 4);
    auto f = DbfFile::open(path);
    struct Case { int field; Value value; };
    const std::vector<Case> cases = {
        {0, std::string(26, 'a')},            // longer than C(25)
        {0, "ár € nélkül"},                   // no euro sign in code page 852
        {1, "2023.02.29"},                    // not a day of the calendar
        {1, "2024.13.01"},
        {1, "tegnap"},
        {2, Decimal(1, 6)},                   // six decimals into N(10,5)
        {2, Decimal::parse("12345.00000").value()},  // 11 characters into N(10,5)
        {3, 100000},                          // six digits into N(5,0)
        {3, "-10000"},                        // the sign needs a place too
        {3, "tíz"},
    };
    for (const auto& c : cases) {
        std::string rec = f->blankRecord();
        const std::string before = rec;
        EXPECT_THROW(f->encode(rec.data(), c.field, c.value), DbError) << c.value.asString();
        try { f->encode(rec.data(), c.field, c.value); } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::Code::BadValue);
            EXPECT_NE(std::string(e.what()).find(f->fields()[c.field].name), std::string::npos) << e.what();
        }
    }
    // Trailing zeros beyond the field's decimals are not a loss.
    std::string rec = f->blankRecord();
    f->encode(rec.data(), 3, Decimal::parse("12.000").value());
    EXPECT_EQ(DbfFile::decode(rec.data(), f->fields()[3], f->header().offsets[3], f->codePage()), Value(12));
}

TEST(DbfFile, DamagedFilesGiveAClearErrorNamingTheFile) {
    TempDir dir;
    const std::string good = dir.file("JO.DBF");
    DbfFile::create(good, sampleFields(), 4);
    {
        auto f = DbfFile::open(good);
        for (int i = 0; i < 3; ++i) appendRow(*f, {"név", "2024.01.01", 1, 2, Value::boolean(true)});
    }
    const std::string bytes = readAll(good);
    auto with = [&](size_t at, char c) { std::string b = bytes; b[at] = c; return b; };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"text file", "Ez nem dBASE tábla, csak szöveg.\n"},
        {"header cut", bytes.substr(0, 40)},
        {"record cut", bytes.substr(0, bytes.size() - 30)},
        {"count too high", with(4, '\x09')},
        {"wrong record length", with(10, '\x40')},
        {"header length too small", with(8, '\x20')},
        {"header length past the file", with(9, '\x7F')},
        {"unknown version", with(0, '\x07')},
        {"date field not 8 wide", with(32 + 32 + 16, '\x05')},
        {"descriptor end missing", with(32 + 5 * 32, 'X')},
    };
    for (const auto& [what, content] : cases) {
        const std::string path = dir.file("ROSSZ.DBF");
        writeAll(path, content);
        try {
            DbfFile::open(path);
            ADD_FAILURE() << what << ": opened";
        } catch (const DbError& e) {
            EXPECT_NE(std::string(e.what()).find("ROSSZ.DBF"), std::string::npos) << what << ": " << e.what();
        }
    }
}

TEST(DbfFile, BytesPastTheCountedRecordsAreAnInterruptedAppendAndIgnored) {
    TempDir dir;
    const std::string path = dir.file("fel.dbf");
    DbfFile::create(path, {FieldDef::character("A", 3)}, 4);
    {
        auto f = DbfFile::open(path);
        appendRow(*f, {"egy"});
    }
    std::string b = readAll(path);
    b.pop_back();                // end-of-file mark
    b += " két";                 // a record whose count never reached the header
    writeAll(path, b);
    auto f = DbfFile::open(path);
    EXPECT_EQ(f->recordCount(), 1u);
    appendRow(*f, {"hár"});
    EXPECT_EQ(f->value(1, 0), Value("hár"));
}

TEST(DbfFile, ASecondProcessCannotOpenAnOpenTable) {
    TempDir dir;
    const std::string path = dir.file("zar.dbf");
    DbfFile::create(path, {FieldDef::character("A", 3)}, 4);
    auto f = DbfFile::open(path);
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            DbfFile::open(path);
            _exit(1);
        } catch (const DbError& e) {
            _exit(e.code() == DbError::Code::Locked && std::string(e.what()).find("zar.dbf") != std::string::npos ? 0 : 2);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second opener must get a clear 'in use' error";
    EXPECT_THROW(DbfFile::create(path, {FieldDef::character("B", 3)}, 4), DbError) << "nor may it be replaced";
}

// Held changes live in memory only: a file closed while holding them keeps
// what it had.
TEST(DbfFile, PackAndHeldChangesNeverReachTheFile) {
    TempDir dir;
    const std::string path = dir.file("pk.dbf");
    DbfFile::create(path, {FieldDef::character("A", 3)}, 4);
    auto f = DbfFile::open(path);
    for (const char* s : {"a", "b", "c", "d"}) appendRow(*f, {s});
    f->setDeleted(1, true);
    f->setDeleted(3, true);
    const auto map = f->pack();
    EXPECT_EQ(map, (std::vector<uint32_t>{0, UINT32_MAX, 1, UINT32_MAX}));
    f->hold(true);
    appendRow(*f, {"e"});
    std::string rec = f->blankRecord();
    f->encode(rec.data(), 0, "x");
    f->write(0, rec.data());
    EXPECT_EQ(f->recordCount(), 3u);
    f.reset();
    f = DbfFile::open(path);
    ASSERT_EQ(f->recordCount(), 2u);
    EXPECT_EQ(f->value(0, 0), Value("a"));
    EXPECT_EQ(f->value(1, 0), Value("c"));
}
