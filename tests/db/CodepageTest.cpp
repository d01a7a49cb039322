// Code pages: each file's text is read and written in the code page its
// header marks, checked byte by byte against Python's codecs; a file whose
// mark names a code page the engine cannot read is refused, naming the file
// and the code page, before a single value is read.
#include "db/Codepage.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/Sql.h"
#include "db/Table.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

using namespace velmora::db;
using velmora::test::fileBytes;
using velmora::test::runCommand;
using velmora::test::TempDir;

namespace {

const CodePage kAll[] = {CodePage::Cp852, CodePage::Cp1250, CodePage::Cp1252, CodePage::Cp437, CodePage::Cp850};

std::string highBytes() {
    std::string s;
    for (int b = 0x80; b <= 0xFF; ++b) s += static_cast<char>(b);
    return s;
}

// Bytes 0x80..0xFF as Python's codec reads them (a byte it leaves
// undefined as the control character of its number, as Windows reads it).
std::string pythonReads(CodePage cp) {
    const std::string script =
        "import sys\n"
        "cp = sys.argv[1]\n"
        "out = ''\n"
        "for b in range(0x80, 0x100):\n"
        "    try:\n"
        "        out += bytes([b]).decode(cp)\n"
        "    except UnicodeDecodeError:\n"
        "        out += chr(b)\n"
        "sys.stdout.buffer.write(out.encode('utf-8'))\n";
    return runCommand("/usr/bin/python3 -c \"" + script + "\" cp" + codePageNumber(cp));
}

// A table of one character field holding the bytes, marked as given.
std::string markedTable(const TempDir& dir, const std::string& name, uint8_t mark, const std::string& bytes) {
    const std::string path = dir.file(name);
    DbfFile::create(path, {FieldDef::character("NEV", 20)}, 4);
    {
        auto f = DbfFile::open(path);
        std::string rec = f->blankRecord();
        f->encode(rec.data(), 0, Value("x"));
        f->append(rec.data());
    }
    std::string b = fileBytes(path);
    b[29] = static_cast<char>(mark);
    const size_t field = 32 + 32 + 1 + 1;  // header, one descriptor, terminator, deletion flag
    b.replace(field, bytes.size(), bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << b;
    return path;
}

std::string refusal(const std::string& path) {
    try {
        DbfFile::open(path);
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::Code::Damaged);
        return e.what();
    }
    return "(opened)";
}

} // namespace

TEST(Codepage, MarksNameTheCodePagesTheEngineReads) {
    // No mark (dBASE III), the program's own 0x64, the HOSB template's 0x22,
    // and python3-dbf's 0x1F are all 852.
    for (uint8_t mark : {0x00, 0x64, 0x22, 0x1F, 0x23, 0x40}) EXPECT_EQ(codePageOfMark(mark), CodePage::Cp852) << +mark;
    EXPECT_EQ(codePageOfMark(0xC8), CodePage::Cp1250);
    for (uint8_t mark : {0x03, 0x58, 0x59}) EXPECT_EQ(codePageOfMark(mark), CodePage::Cp1252) << +mark;
    EXPECT_EQ(codePageOfMark(0x01), CodePage::Cp437);
    EXPECT_EQ(codePageOfMark(0x02), CodePage::Cp850);
    // "ANSI" is whatever the writing machine used: not told, so not read.
    for (uint8_t mark : {0x57, 0xC9, 0x65, 0x9A, 0xF0}) EXPECT_EQ(codePageOfMark(mark), std::nullopt) << +mark;
    EXPECT_EQ(markedCodePage(0xC9), "1251");
    EXPECT_NE(markedCodePage(0x57).find("ANSI"), std::string::npos);
    EXPECT_EQ(markedCodePage(0x9A), "");
}

TEST(Codepage, EveryByteReadsAsPythonReadsItAndWritesBackTheSame) {
    const std::string high = highBytes();
    for (CodePage cp : kAll) {
        SCOPED_TRACE(codePageNumber(cp));
        const std::string text = codepage::toUtf8(cp, high);
        EXPECT_EQ(text, pythonReads(cp));
        EXPECT_EQ(codepage::fromUtf8(cp, text), high);
        EXPECT_EQ(codepage::firstUnmappable(cp, text), "");
        // Each byte alone, and through the buffer form.
        std::set<std::string> seen;
        for (char c : high) seen.insert(codepage::toUtf8(cp, std::string(1, c)));
        EXPECT_EQ(seen.size(), 128u);
        std::string out(high.size() * 3, '\0');
        out.resize(codepage::toUtf8(cp, high, out.data()));
        EXPECT_EQ(out, text);
    }
    EXPECT_EQ(cp852::toUtf8(high), codepage::toUtf8(CodePage::Cp852, high));
}

TEST(Codepage, HungarianTextOfCodePage1250) {
    // What the fund's 1250 file holds, and what reading it as 852 made of it.
    EXPECT_EQ(codepage::toUtf8(CodePage::Cp1250, "heti \xF6t alkalom"), "heti öt alkalom");
    EXPECT_EQ(cp852::toUtf8("heti \xF6t alkalom"), "heti ÷t alkalom");
    EXPECT_EQ(codepage::toUtf8(CodePage::Cp1250, "Gy\xF5r \xD5\xDB\xF5\xFB \xE1\xE9\xED\xF3\xFA\xFC\xC1\xC9"),
              "Győr ŐŰőű áéíóúüÁÉ");
    EXPECT_EQ(codepage::fromUtf8(CodePage::Cp1250, "Győr ű €"), "Gy\xF5r \xFB \x80");
    // What one code page has and the other lacks is refused, never replaced.
    EXPECT_EQ(codepage::fromUtf8(CodePage::Cp1250, "╬"), std::nullopt);
    EXPECT_EQ(codepage::firstUnmappable(CodePage::Cp1250, "ab╬c"), "╬");
    EXPECT_EQ(cp852::fromUtf8("€"), std::nullopt);
    EXPECT_EQ(codepage::fromUtf8(CodePage::Cp1252, "ő"), std::nullopt);
}

TEST(Codepage, A1250FileIsReadAndWrittenInItsCodePage) {
    TempDir dir;
    const std::string path = markedTable(dir, "HAR1234.DBF", 0xC8, "Gy\xF5r, Sz\xF5l\xF5 \xFB");
    {
        auto f = DbfFile::open(path);
        EXPECT_EQ(f->codePage(), CodePage::Cp1250);
        EXPECT_EQ(f->value(0, 0), Value("Győr, Szőlő ű"));
        std::string rec = f->blankRecord();
        f->encode(rec.data(), 0, Value("Ödön ő €"));
        f->append(rec.data());
        // A character 1250 lacks is refused, naming the field.
        try {
            f->encode(rec.data(), 0, Value("╬"));
            ADD_FAILURE() << "encoded";
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::Code::BadValue);
            EXPECT_NE(std::string(e.what()).find("NEV"), std::string::npos) << e.what();
        }
    }
    const std::string b = fileBytes(path);
    EXPECT_EQ(uint8_t(b[29]), 0xC8) << "the mark stays";
    EXPECT_NE(b.find("\xD6" "d\xF6n \xF5 \x80"), std::string::npos) << "written in 1250";

    // The table object, its filter and the SQL columns read the same text.
    Database db(dir.str());
    Table& t = db.table("HAR", "HAR1234.DBF");
    t.open();
    EXPECT_EQ(t.codePage(), CodePage::Cp1250);
    t.setFilter("NEV = 'Ödön ő €'");
    ASSERT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.text("NEV"), "Ödön ő €");
    t.clearFilter();
    ASSERT_TRUE(t.locate("NEV", Value("győr"), {true, true}));
    EXPECT_EQ(t.recNo(), 0);
    t.edit();
    t.setField("NEV", Value("Győr ű"));
    t.post();
    EXPECT_NE(fileBytes(path).find("Gy\xF5r \xFB"), std::string::npos);
    const auto rows = Sql(db).run("select nev from HAR order by nev").rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], Value("Győr ű"));
    EXPECT_EQ(rows[1][0], Value("Ödön ő €"));
    t.close();
    // By path, as the imports read the fund's files in TEMP.
    TempDir elsewhere;
    Database scratch(elsewhere.str());
    const auto byPath = Sql(scratch).run("select nev from '" + path + "' where nev like 'Ö%'").rows;
    ASSERT_EQ(byPath.size(), 1u);
    EXPECT_EQ(byPath[0][0], Value("Ödön ő €"));
}

TEST(Codepage, FilesOfAnotherCodePageAreRefusedNamingFileAndCodePage) {
    TempDir dir;
    const std::string cyrillic = markedTable(dir, "HAD1234.DBF", 0xC9, "\xCF\xF0\xE8");
    const std::string before = fileBytes(cyrillic);
    std::string message = refusal(cyrillic);
    EXPECT_NE(message.find("HAD1234.DBF"), std::string::npos) << message;
    EXPECT_NE(message.find("1251"), std::string::npos) << message;
    EXPECT_NE(message.find("0xC9"), std::string::npos) << message;
    EXPECT_NE(message.find("nem tudja olvasni"), std::string::npos) << message;

    message = refusal(markedTable(dir, "ANSI.DBF", 0x57, "Gy\xF5r"));
    EXPECT_NE(message.find("ANSI.DBF"), std::string::npos) << message;
    EXPECT_NE(message.find("Windows ANSI"), std::string::npos) << message;

    message = refusal(markedTable(dir, "ISMERETLEN.DBF", 0x9A, "x"));
    EXPECT_NE(message.find("ISMERETLEN.DBF"), std::string::npos) << message;
    EXPECT_NE(message.find("ismeretlen kódlapjelölés áll (0x9A)"), std::string::npos) << message;

    // Through a table object and through SQL by path alike; nothing written.
    Database db(dir.str());
    Table& t = db.table("HAD", "HAD1234.DBF");
    EXPECT_THROW(t.open(), DbError);
    EXPECT_FALSE(t.isOpen());
    TempDir elsewhere;
    Database scratch(elsewhere.str());
    try {
        Sql(scratch).run("select * from '" + cyrillic + "'");
        ADD_FAILURE() << "read";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("1251"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(cyrillic), before);
}

TEST(Codepage, AMarkWrittenIntoTheHeaderChangesTheReadingOrIsRefused) {
    TempDir dir;
    const std::string path = markedTable(dir, "T.DBF", 0x64, "Gy\xF5r");
    auto f = DbfFile::open(path);
    EXPECT_EQ(f->value(0, 0), Value("Gy§r")) << "0xF5 is § in code page 852";
    f->writeHeaderBytes(29, "\xC8");
    EXPECT_EQ(f->codePage(), CodePage::Cp1250);
    EXPECT_EQ(f->value(0, 0), Value("Győr"));
    EXPECT_THROW(f->writeHeaderBytes(28, std::string("\0\xC9", 2)), DbError);
    EXPECT_EQ(uint8_t(fileBytes(path)[29]), 0xC8) << "a refused mark is not written";
    EXPECT_EQ(f->codePage(), CodePage::Cp1250);
    f->writeHeaderBytes(28, std::string(1, '\0'));  // the index flag alone keeps the mark
    EXPECT_EQ(f->codePage(), CodePage::Cp1250);
}
