// The demo installation: the tool writes the fund's seven tables from the
// demo text files and made-up patients, doctors, nurses and residues in the
// program's layouts, and the program's start-up table steps accept them; its
// billing sheets pass the sheet check again as stored.
#include "app/Clock.h"
#include "app/Date.h"
#include "app/TextHelpers.h"
#include "db/Sql.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetStore.h"
#include "support/Findings.h"
#include "support/TableFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <sys/wait.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// The demo ending at `until` ("" for the month before today); the tests
// below name the periods of 2026.04's.
int runDemoTool(const TempDir& dir, const std::string& out, const std::string& until = "2026.04") {
    const fs::path program = dir.path() / "prog" / "velmora";
    fs::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\n";
    const std::string cmd = std::string("\"") + VELMORA_DEMO_TOOL + "\" --out \"" + out + "\" --program \"" +
                            program.string() + "\"" + (until.empty() ? "" : " --until " + until) + " >/dev/null 2>&1";
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
    for (const char* file : {"Beteg.dbf", "Orvos.dbf", "Apol.dbf", "Maradv.dbf", "HLapa.dbf", "HLapb.dbf"})
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

// An end month the tool cannot read is refused before anything is written.
TEST(Demo, RefusesAnEndMonthItCannotRead) {
    TempDir dir;
    for (const char* until : {"2026.13", "2026.00", "2026-04", "26.04", "2026.4"}) {
        SCOPED_TRACE(until);
        const int status = runDemoTool(dir, dir.file("demo"), until);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 64) << status;
        EXPECT_FALSE(fs::exists(dir.file("demo/DATA")));
    }
}

std::string logText(const ScriptedDialogs& dialogs) {
    std::string out;
    for (const ScriptedDialogs::Entry& e : dialogs.log())
        if (e.kind != ScriptedDialogs::Kind::Status) out += e.text + " " + e.detail + "\n";
    return out;
}

// The newest period and the day after it ends.
struct DemoEnd {
    std::string until, period;
    app::Date startDay;
};

app::Date firstOfMonthAfter(const std::string& period) { return app::Date::parse(period + ".01")->addMonths(1); }

DemoEnd demoOfToday() {
    const app::Date today = app::SystemClock().today();
    const std::string last = app::Date{today.year, today.month, 1}.addMonths(-1).period();
    return {"", last, today};
}

class DemoEnds : public testing::TestWithParam<DemoEnd> {};

// The demo as the tests and samples know it, one that crosses into a later
// contract year, and today's: its sheets end with the month before today.
INSTANTIATE_TEST_SUITE_P(Demo, DemoEnds,
                         testing::Values(DemoEnd{"2026.04", "2026.04", {2026, 5, 4}},
                                         DemoEnd{"2028.01", "2028.01", firstOfMonthAfter("2028.01")},
                                         demoOfToday()),
                         [](const testing::TestParamInfo<DemoEnd>& info) {
                             return info.param.until.empty() ? std::string("Today")
                                                             : "Until" + info.param.period.substr(0, 4) +
                                                                   info.param.period.substr(5, 2);
                         });

TEST_P(DemoEnds, HasAYearAndAHalfOfSheetsThatPassTheSheetCheckAsStored) {
    const DemoEnd end = GetParam();
    TempDir dir;
    ASSERT_EQ(runDemoTool(dir, dir.file("demo"), end.until), 0);
    const std::string data = dir.file("demo/DATA");
    const std::vector<std::string> residues = column(data, "Maradv.dbf", "MIDOSZAK");
    ASSERT_FALSE(residues.empty());
    EXPECT_EQ(*std::max_element(residues.begin(), residues.end()), end.period);

    // A contract of the fund for every period from the oldest contract on,
    // and the newest one begins in the newest period's year.
    const std::vector<std::string> starts = column(data, "HSZERZ.DBF", "SZKEZD");
    const std::vector<std::string> ends = column(data, "HSZERZ.DBF", "SZVEG");
    ASSERT_FALSE(starts.empty());
    EXPECT_EQ(std::max_element(starts.begin(), starts.end())->substr(0, 5), end.period.substr(0, 4) + ".");
    const auto contracted = [&](const std::string& period) {
        for (size_t i = 0; i < starts.size(); ++i)
            if (starts[i].substr(0, 7) <= period && (ends[i].empty() || ends[i].substr(0, 7) >= period)) return true;
        return false;
    };

    Start start(data, end.startDay);
    ASSERT_TRUE(start.run());
    EXPECT_EQ(logText(start.dialogs), "") << "the start-up shows nothing but its status texts";
    start.dialogs.clearLog();

    std::vector<sheets::Sheet> stored;
    const db::SqlResult keys = db::Sql(start.db).run("select sorsz,resz,idoszak from hlapa order by idoszak,sorsz,resz");
    for (const auto& row : keys.rows) {
        const auto sheet = sheets::loadSheet(start.db, {row[0].asString(), row[1].asString(), row[2].asString()});
        ASSERT_TRUE(sheet) << row[0].asString() << row[1].asString() << " " << row[2].asString();
        stored.push_back(*sheet);
    }

    // Full invoices and partial series, some closed, over at least 18
    // periods that end with the newest residue period.
    std::set<std::string> periods;
    std::map<sheets::SheetKind, int> kinds;
    int closed = 0;
    for (const sheets::Sheet& s : stored) {
        periods.insert(s.key.idoszak);
        ++kinds[s.kind()];
        closed += s.lezdat.empty() ? 0 : 1;
    }
    EXPECT_GE(periods.size(), 18u);
    ASSERT_FALSE(periods.empty());
    EXPECT_EQ(*periods.rbegin(), end.period);
    for (const std::string& p : periods) EXPECT_TRUE(contracted(p)) << p << " has no contract";
    EXPECT_GT(kinds[sheets::SheetKind::Full], 0);
    EXPECT_GT(kinds[sheets::SheetKind::FirstPart], 0);
    EXPECT_GT(kinds[sheets::SheetKind::NextPart], 0);
    EXPECT_GT(closed, 0);

    // A next part follows its series' previous part in the month before,
    // with the same order and the days billed before it.
    std::map<std::string, const sheets::Sheet*> lastOfSeries;  // year + SORSZ
    for (const sheets::Sheet& s : stored) {
        const std::string series = s.key.idoszak.substr(0, 4) + s.key.sorsz;
        if (s.kind() == sheets::SheetKind::NextPart) {
            SCOPED_TRACE(s.key.number() + " " + s.key.idoszak);
            ASSERT_TRUE(lastOfSeries.count(series));
            const sheets::Sheet& before = *lastOfSeries[series];
            EXPECT_EQ(s.key.resz, sheets::nextPartLetter(before.key.resz));
            EXPECT_EQ(app::Date::parse(before.key.idoszak + ".01")->addMonths(1).period(), s.key.idoszak);
            EXPECT_EQ(s.taj, before.taj);
            EXPECT_EQ(s.elszam, before.elszam);
            EXPECT_EQ(s.szakvet, before.szakvet);
            EXPECT_EQ(s.elszviz, before.elszviz + before.sznap);
            EXPECT_TRUE(before.lezdat.empty());
        }
        lastOfSeries[series] = &s;
    }

    // Each sheet, opened for modifying in its own period, passes the whole
    // check with no box and no question.
    for (const sheets::Sheet& s : stored) {
        SCOPED_TRACE(s.key.number() + " " + s.key.idoszak + " " + s.taj);
        start.session.acceptPeriod(s.key.idoszak, false);
        sheets::SheetContext ctx{start.db, start.session, start.dialogs};
        sheets::SheetForm form = sheets::storedSheetForm(ctx, s, sheets::EntryMode::Modify);
        const sheets::SheetCheckResult checked = sheets::sheetCheck(form, ctx);
        EXPECT_TRUE(checked.findings.empty()) << ::testing::PrintToString(test::findingTexts(checked.findings));
        EXPECT_EQ(checked.vizitdb, s.sznap);
        start.dialogs.clearLog();
    }
}

} // namespace
} // namespace velmora::test
