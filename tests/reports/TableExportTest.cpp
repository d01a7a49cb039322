// Lists saved for a spreadsheet, read back independently: the workbook by
// python3-openpyxl, the CSV by Python's csv module, cell by cell against
// the table's rows; and a write that fails leaves nothing under the name.
#include "reports/TableExport.h"

#include "app/UserError.h"
#include "support/Files.h"
#include "support/TableReadBack.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace velmora;
using reports::Cell;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> readBack(const char* kind, const std::string& path) { return test::readBackTable(kind, path); }

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string joined(const std::vector<std::string>& cells) {
    std::string out;
    for (const std::string& c : cells) out += (out.empty() ? "" : "\t") + c;
    return out;
}

// A list with every kind of cell, and texts a CSV must quote.
reports::DataTable sample() {
    reports::DataTable t;
    t.title = "Betegek: [2024/03] *?\\ árvíztűrő tükörfúrógépek listája";
    t.column("TAJ-szám", 11).column("Név", 30).column("Napok", 6).column("Érték Ft", 12.5).column("Születési idő", 12);
    t.rows.push_back({Cell::of("012345675"), Cell::of("Kovács Éva; özv."), Cell::of(12),
                      Cell::of(db::Decimal(-1234550, 2)), Cell::date("1931.02.28")});
    t.rows.push_back({Cell::of("987654320"), Cell::of("\"Öcsi\" Nagy\nFerenc"), Cell::of(0), Cell::of(db::Decimal(15, 1)),
                      Cell::date("1899.12.31")});
    t.rows.push_back({Cell::of("111111110"), Cell{}, Cell{}, Cell::of(db::Decimal(123456789, 0)), Cell::date("")});
    return t;
}

// What a spreadsheet must find in each cell of the table.
std::string expectedXlsxCell(const Cell& c) {
    switch (c.kind) {
    case reports::CellKind::Empty: return "e";
    case reports::CellKind::Number: {
        const int scale = c.number.scale();
        return "n:" + c.number.toString() + ":" + (scale ? "0." + std::string(size_t(scale), '0') : "0");
    }
    case reports::CellKind::Date:
        // Excel counts days from 1900: an earlier one stays its text.
        return c.text < "1900" ? "s:" + c.text : "d:" + c.text + ":yyyy.mm.dd";
    case reports::CellKind::Text: break;
    }
    return "s:" + escaped(c.text);
}

} // namespace

TEST(TableExport, WorkbookReadBackCellByCell) {
    test::TempDir dir;
    const reports::DataTable t = sample();
    const std::string path = dir.file("lista.xlsx");
    reports::writeXlsx(t, path);
    const std::vector<std::string> lines = readBack("xlsx", path);
    ASSERT_EQ(lines.size(), 2 + t.columns.size() + 1 + t.rows.size()) << joined(lines);
    // 31 characters, none of []:*?/\ .
    EXPECT_EQ(lines[0], "sheet\tBetegek 202403  árvíztűrő tükör");
    EXPECT_EQ(lines[1], "freeze\tA2");
    for (size_t c = 0; c < t.columns.size(); ++c) {
        // Excel stores a width with the padding of its default font, to
        // whole pixels.
        const std::string prefix = std::string("width\t") + char('A' + c) + "\t";
        ASSERT_EQ(lines[2 + c].substr(0, prefix.size()), prefix);
        EXPECT_NEAR(std::stod(lines[2 + c].substr(prefix.size())), t.columns[c].width + 0.71, 0.15) << lines[2 + c];
    }
    std::vector<std::string> headings;
    for (const auto& c : t.columns) headings.push_back("h:" + c.heading + ":bold");
    EXPECT_EQ(lines[2 + t.columns.size()], joined(headings));
    for (size_t r = 0; r < t.rows.size(); ++r) {
        std::vector<std::string> cells;
        for (const Cell& c : t.rows[r]) cells.push_back(expectedXlsxCell(c));
        EXPECT_EQ(lines[3 + t.columns.size() + r], joined(cells)) << "row " << r;
    }
    EXPECT_FALSE(fs::exists(path + ".uj"));
}

TEST(TableExport, CsvReadBackCellByCell) {
    test::TempDir dir;
    const reports::DataTable t = sample();
    const std::string path = dir.file("lista.csv");
    reports::writeCsv(t, path);
    const std::vector<std::string> lines = readBack("csv", path);
    const std::vector<std::string> expected{
        "bom\tyes",
        "crlf\tyes",
        "TAJ-szám\tNév\tNapok\tÉrték Ft\tSzületési idő",
        "012345675\tKovács Éva; özv.\t12\t-12345,50\t1931.02.28",
        "987654320\t\"Öcsi\" Nagy\\nFerenc\t0\t1,5\t1899.12.31",
        "111111110\t\t\t123456789\t",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(test::fileBytes(path), reports::csvText(t));
}

TEST(TableExport, SheetNameFromTitle) {
    const struct {
        std::string title, sheet;
    } cases[] = {
        {"Orvosok listája", "Orvosok listája"},
        {"[*?]", "Lista"},
        {"'Idézett' cím'", "Idézett' cím"},
        // 31 characters of two bytes each are whole: no half character.
        {std::string(40, 'x').replace(0, 40, "őőőőőőőőőőőőőőőőőőőőőőőőőőőőőőőőőőőő"), "őőőőőőőőőőőőőőőőőőőőőőőőőőőőőőő"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        reports::DataTable t;
        t.title = c.title;
        t.column("A", 5);
        reports::writeXlsx(t, dir.file("a.xlsx"));
        const std::vector<std::string> lines = readBack("xlsx", dir.file("a.xlsx"));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "sheet\t" + c.sheet) << c.title;
    }
}

// A write that stops half way (a file size limit, as a full disk would)
// and a folder that is not there: the message names the file, and no file
// or part of one is left.
TEST(TableExport, FailedWriteLeavesNoFile) {
    reports::DataTable big = sample();
    for (int i = 0; i < 3000; ++i) big.rows.push_back(big.rows[size_t(i % 3)]);
    for (const reports::TableFormat format : {reports::TableFormat::Xlsx, reports::TableFormat::Csv}) {
        test::TempDir dir;
        const std::string path = dir.file(std::string("lista") + reports::extensionOf(format));
        reports::writeTable(big, path, format);
        const auto whole = fs::file_size(path);
        fs::remove(path);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = whole * 9 / 10;
        setrlimit(RLIMIT_FSIZE, &small);
        std::string message;
        try {
            reports::writeTable(big, path, format);
        } catch (const app::UserError& e) {
            message = e.what();
        }
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(message.substr(0, message.find('\n')), "A(z) " + path + " állomány nem írható!");
        // The CSV is written by the program itself, which sees the failed
        // write; the workbook's sheets go through the library's own
        // temporary files first, whose failures it does not report.
        const char* cause = format == reports::TableFormat::Csv ? "a fájl elérte a megengedett legnagyobb méretet"
                                                                 : "a munkafüzet nem készült el egészen";
        EXPECT_NE(message.find(cause), std::string::npos) << message;
        EXPECT_TRUE(fs::is_empty(dir.path()));

        const std::string nowhere = dir.file("nincs/lista") + reports::extensionOf(format);
        try {
            reports::writeTable(big, nowhere, format);
            ADD_FAILURE() << "written into a folder that is not there";
        } catch (const app::UserError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(e.what()).find('\n')),
                      "A(z) " + nowhere + " állomány nem írható!");
        }
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}
