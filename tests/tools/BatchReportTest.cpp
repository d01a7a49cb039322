// velmora-batch report on a copy of the demo installation: every report of
// the Listák menu written as PDF and read back by pdftotext, lists' rows as
// a workbook and a CSV read back by python3-openpyxl and Python's csv, the
// data directory unchanged by it, and the refusals with no file written.
#include "support/BatchFixture.h"
#include "support/TableFixture.h"
#include "support/TableReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <strings.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class BatchReport : public ::testing::Test {
protected:
    void SetUp() override { copyDemo(dir.path()); }
    fs::path data() const { return dir.path() / "DATA"; }
    fs::path pdf() const { return dir.path() / "KI" / "lista.pdf"; }

    // The report's text, after checking that the tool wrote it and said so.
    std::string report(const std::string& arguments) {
        SCOPED_TRACE(arguments);
        fs::remove(pdf());
        const ToolRun run = runBatch(dir.path(), "--data DATA " + arguments + " --pdf KI/lista.pdf");
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_NE(run.err.find("A lista PDF állományba mentve:\n" + pdf().string()), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("XDG_RUNTIME_DIR"), std::string::npos) << run.err;
        return runCommand("pdftotext -layout '" + pdf().string() + "' - 2>&1");
    }
    // A report the tool does not write: its exit code and message, no PDF.
    void expectNoReport(const std::string& arguments, int exit, const std::string& message) {
        SCOPED_TRACE(arguments);
        fs::remove(pdf());
        const ToolRun run = runBatch(dir.path(), "--data DATA " + arguments);
        EXPECT_EQ(run.exit, exit) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(pdf()));
    }
    // One field of every live row of a demo table, trimmed.
    std::vector<std::string> column(const std::string& file, size_t field) const {
        std::vector<std::string> out;
        for (const Row& row : readRows(data().string(), file)) out.push_back(trimmed(row[field].asString()));
        return out;
    }
    // The table files: a report reads them and changes none.
    std::map<std::string, std::string> tableFiles() const {
        std::map<std::string, std::string> out = treeBytes(data());
        std::erase_if(out, [](const auto& e) { return strcasecmp(fs::path(e.first).extension().c_str(), ".dbf") != 0; });
        return out;
    }
    TempDir dir;
};

TEST_F(BatchReport, TheMasterListsTheTajListsAndTheEmployeesDaysAreWrittenWithoutAChange) {
    const auto before = tableFiles();
    std::string doctors = report("report doctors");
    EXPECT_NE(doctors.find("Orvosok listája"), std::string::npos);
    for (const std::string& name : column("Orvos.dbf", 1)) EXPECT_NE(doctors.find(name), std::string::npos) << name;
    const std::string patients = report("report patients");
    for (const std::string& taj : column("Beteg.dbf", 0)) EXPECT_NE(patients.find(taj), std::string::npos) << taj;

    const struct {
        const char* arguments;
        std::vector<std::string> texts;
    } cases[] = {
        {"report nurses", {"Ápolók listája"}},
        {"report bno", {"BNO kódok listája"}},
        {"report bno-chapter --chapter C00-D48", {"Daganatok (C00-D48)", "C00 "}},
        {"report bno-chapter --chapter 'Mentális- és viselkedészavarok (F00-F99)'",
         {"Mentális- és viselkedészavarok (F00-F99)"}},
        {"--period 2026.04 report employee-days", {"dolgozói teljesítések megoszlása 2026.04. hónapban"}},
        {"report taj-list", {"szolgáltató betegeiről az otthoni hospice ellátásban", "2024.11"}},
        {"--period 2026.04 report taj-list", {"betegeiről 2026.04 időszakban"}},
        {"report taj-list --from 2026.01 --to 2026.03", {"betegeiről 2026.01-2026.03 időszakban"}},
    };
    for (const auto& c : cases) {
        const std::string text = report(c.arguments);
        for (const std::string& t : c.texts) EXPECT_NE(text.find(t), std::string::npos) << c.arguments << ": " << t;
    }
    const std::string range = report("report taj-list --from 2026.01 --to 2026.03");
    EXPECT_EQ(range.find("2025.12 "), std::string::npos);
    EXPECT_EQ(range.find("2026.04 "), std::string::npos);

    // One patient: every sheet of hers, whatever its period.
    const std::string taj = column("Beteg.dbf", 0).front();
    size_t sheets = 0;
    for (const std::string& t : column("HLapa.dbf", 5)) sheets += t == taj;
    ASSERT_GT(sheets, 0u);
    const std::string one = report("report taj-list --taj " + taj);
    EXPECT_EQ(occurrences(one, taj), 1u);
    EXPECT_NE(one.find(column("Beteg.dbf", 1).front()), std::string::npos);

    EXPECT_EQ(changedPaths(before, tableFiles()), "");
}

TEST_F(BatchReport, SheetFormsOfThePeriodOrOfTheListedSheets) {
    size_t april = 0;
    for (const std::string& p : column("HLapa.dbf", 0)) april += p == "2026.04";
    ASSERT_GT(april, 1u);
    const std::string all = report("--period 2026.04 report sheets");
    EXPECT_EQ(occurrences(all, "HOSPICE EGYÉNI ELSZÁMOLÁSI LAP"), april);
    EXPECT_EQ(occurrences(all, "Jelentési időszak: 2026.04"), april);

    // Listed sheets may be of any month of the period's year, as the register
    // in printing mode lists them; they print in sheet number order.
    const std::string listed = report("--period 2026.04 report sheets --sheets 2026.04/00013C,2026.03/00008C");
    EXPECT_EQ(occurrences(listed, "HOSPICE EGYÉNI ELSZÁMOLÁSI LAP"), 2u);
    const size_t eighth = listed.find("Sorszám: 00008C"), thirteenth = listed.find("Sorszám: 00013C");
    ASSERT_NE(eighth, std::string::npos);
    ASSERT_NE(thirteenth, std::string::npos);
    EXPECT_LT(eighth, thirteenth);
    EXPECT_NE(listed.find("Jelentési időszak: 2026.03"), std::string::npos);

    // A sheet of another year is not offered, though it exists.
    expectNoReport("--period 2026.04 report sheets --sheets 2026.04/00013C,2025.12/00051D --pdf KI/lista.pdf", 1,
                   "A(z) 2025.12/00051D elszámolási lap nincs a(z) 2026. év nyomtatható lapjai között.");
    expectNoReport("--period 2024.06 report sheets --pdf KI/lista.pdf", 1, "Nincs kiválasztva elszámolási lap!");
}

TEST_F(BatchReport, TheMonthlyReportsFollowTheShipmentAndTheFundsAnswer) {
    expectNoReport("--period 2026.03 report monthly-summary --orders 4 --pdf KI/lista.pdf", 1,
                   "Nincs erre az időszakra zárás!");
    expectNoReport("--period 2026.03 report monthly-accounting --pdf KI/lista.pdf", 1,
                   "Nincs a szolgáltatónak beolvasott elszámolása!");

    ASSERT_EQ(runBatch(dir.path(), "--data DATA ship 2026.03 --yes").exit, 0);
    fs::create_directories(dir.path() / "RUV");
    writeBilledAnswer(dir.path() / "RUV");
    ASSERT_EQ(runBatch(dir.path(), "--data DATA import-billed RUV --period 2026.03 --yes").exit, 0);

    // A closed period needs no --yes for a report, which changes nothing.
    const std::string summary = report("--period 2026.03 report monthly-summary --orders 4");
    EXPECT_NE(summary.find("HOSPICE ELLÁTÁS HAVI ÖSSZESÍTŐ JELENTÉS"), std::string::npos);
    EXPECT_NE(summary.find("Elszámolási időszak:                2026.03."), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"Hospice elrendelő lap\"-ok száma:                                     4 db"),
              std::string::npos)
        << summary;
    const std::string accounting = report("--period 2026.03 report monthly-accounting");
    EXPECT_NE(accounting.find("elszámolt napokról 2026.03. hónapban"), std::string::npos);
    EXPECT_NE(accounting.find("14 300,5 Ft"), std::string::npos) << accounting;  // 2 days × 7150,25

    // The days the fund left unpaid, and the year at a glance with its answer read.
    const std::string unpaid = report("report unpaid-days --from 2026.03 --to 2026.03");
    EXPECT_NE(unpaid.find("Ki nem fizetett napok"), std::string::npos) << unpaid;
    EXPECT_NE(unpaid.find("Időszak: 2026.03"), std::string::npos) << unpaid;
    EXPECT_NE(unpaid.find("Összesen:"), std::string::npos) << unpaid;
    const std::string overview = report("overview --period 2026.03");
    EXPECT_NE(overview.find("Áttekintés – 2026. év"), std::string::npos) << overview;
    EXPECT_NE(overview.find("2026.03: elküldve"), std::string::npos) << overview;
    EXPECT_EQ(overview.find("RUV válasz még nincs beolvasva", overview.find("2026.03: elküldve")),
              std::string::npos)
        << overview;
}

TEST_F(BatchReport, BadReportArgumentsAreRefusedAndNoPdfIsWritten) {
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"report lista --pdf KI/lista.pdf", "Ismeretlen jelentés: lista"},
        {"report doctors", "A report parancshoz a --pdf, --xlsx vagy --csv FÁJL kapcsoló kell."},
        {"report doctors --pdf KI/lista.pdf --csv KI/lista.pdf", "A --pdf, --xlsx és --csv közül csak egy adható meg."},
        {"report doctors --xlsx ''", "A report parancs FÁJL-ja nem lehet üres."},
        {"backup --xlsx KI/lista.pdf", "A(z) --xlsx csak a report parancshoz való."},
        {"report doctors --taj 123456788 --pdf KI/lista.pdf", "A(z) --taj kapcsoló nem való a(z) doctors jelentéshez."},
        {"report bno-chapter --pdf KI/lista.pdf", "A BNO főcsoportot ki kell választani!"},
        {"report bno-chapter --chapter X00-X99 --pdf KI/lista.pdf", "Ismeretlen betegségcsoport: X00-X99"},
        {"report monthly-summary --pdf KI/lista.pdf", "a hospice elrendelő lapok száma"},
        {"report monthly-summary --orders 3x --pdf KI/lista.pdf", "Csak szám írható a mezőbe!"},
        {"report taj-list --taj 123456789 --pdf KI/lista.pdf", "CDV hiba!"},
        {"report taj-list --taj '' --pdf KI/lista.pdf", "Nincs TAJ-szám megadva!"},
        {"report taj-list --from 2026.04 --to 2026.03 --pdf KI/lista.pdf", "későbbi, mint az aktuális"},
        {"report taj-list --from 2026.13 --pdf KI/lista.pdf", "Hibás időszak: 2026.13"},
        {"--period 2026.04 report taj-list --from 2026.01 --pdf KI/lista.pdf", "csak az egyik adható meg"},
        {"backup --pdf KI/lista.pdf", "A(z) --pdf csak a report parancshoz való."},
    };
    const auto before = tableFiles();
    for (const auto& c : cases) expectNoReport(c.arguments, 64, c.message);
    EXPECT_EQ(changedPaths(before, tableFiles()), "");
}

// The rows for a spreadsheet: the patients as CSV, the sheets of three
// months as a workbook, each row a sheet with its patient.
TEST_F(BatchReport, ListsRowsAsWorkbookAndCsv) {
    const auto before = tableFiles();
    const fs::path csv = dir.path() / "KI" / "betegek.csv";
    ToolRun run = runBatch(dir.path(), "--data DATA report patients --csv KI/betegek.csv");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("A lista CSV állományba mentve:\n" + csv.string()), std::string::npos) << run.err;
    std::vector<std::string> lines = readBackTable("csv", csv.string());
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0], "bom\tyes");
    EXPECT_EQ(lines[1], "crlf\tyes");
    EXPECT_EQ(lines[2], "TAJ szám\tNév\tSzületési idő\tKözigazgatási kód\tVáros\tUtca, házszám");
    std::vector<std::string> tajs = column("Beteg.dbf", 0), read;
    std::sort(tajs.begin(), tajs.end());
    for (size_t i = 3; i < lines.size(); ++i) read.push_back(lines[i].substr(0, lines[i].find('\t')));
    EXPECT_EQ(read, tajs);

    const fs::path xlsx = dir.path() / "KI" / "taj.xlsx";
    run = runBatch(dir.path(), "--data DATA report taj-list --from 2026.01 --to 2026.03 --xlsx KI/taj.xlsx");
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("A lista Excel táblázatba mentve:\n" + xlsx.string()), std::string::npos) << run.err;
    lines = readBackTable("xlsx", xlsx.string());
    const size_t sheets = std::ranges::count_if(column("HLapa.dbf", 0), [](const std::string& p) {
        return p >= "2026.01" && p <= "2026.03";
    });
    ASSERT_GT(sheets, 0u);
    ASSERT_EQ(lines.size(), 2 + 21 + 1 + sheets);
    EXPECT_EQ(lines[0], "sheet\tTAJ számos ellenőrző lista");
    EXPECT_EQ(lines[1], "freeze\tA2");
    EXPECT_EQ(lines[23].substr(0, lines[23].find('\t')), "h:TAJ-szám:bold");
    for (size_t i = 24; i < lines.size(); ++i) {
        std::vector<std::string> cells;
        std::stringstream in(lines[i]);
        for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
        ASSERT_EQ(cells.size(), 21u) << lines[i];
        EXPECT_TRUE(cells[3] >= "s:2026.01" && cells[3] <= "s:2026.03") << lines[i];  // the period
        EXPECT_EQ(cells[12].substr(0, 2), "n:") << lines[i];                           // days, a number
    }
    EXPECT_EQ(changedPaths(before, tableFiles()), "");
}

} // namespace
} // namespace velmora::test
