// The history rows each change of a sheet writes, on real tables: a table
// of changes with the rows they must leave, and changes that are refused or
// rolled back leaving none.
#include "register/NewSheets.h"
#include "register/SheetCommands.h"

#include "db/DbError.h"
#include "db/Os.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetEntry.h"
#include "sheets/SheetStore.h"
#include "store/History.h"
#include "store/HistoryRead.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "support/DiskFull.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using namespace velmora::test;
namespace history = store::history;

namespace {

const db::Table& historyTable(SheetData& data) { return store::tableOf(data.db(), store::schema::ELOZMENY()); }

// The changes after the history's first row, as "action key: FIELD old>new, … !note".
std::vector<std::string> changes(SheetData& data) {
    std::vector<std::string> out;
    for (const history::HistoryEntry& e : history::readHistory(historyTable(data))) {
        if (e.muvelet == history::kStarted) continue;
        std::string line = e.muvelet + " " + e.sheet() + " " + e.taj + ":";
        for (const history::FieldChange& c : e.text.changes) line += " " + c.field + " " + c.before + ">" + c.after;
        if (!e.text.note.empty()) line += " !" + e.text.note;
        out.push_back(line);
    }
    return out;
}

bool mentions(const std::vector<std::string>& lines, size_t i, const std::string& part) {
    return i < lines.size() && lines[i].find(part) != std::string::npos;
}

sheets::SaveResult saveNew(SheetData& data) {
    data.dialogs().answerYes();
    return sheets::saveSheet(*std::make_unique<sheets::SheetForm>(completeForm()), data.ctx());
}

struct ChangeCase {
    const char* name;
    std::function<void(SheetData&)> change;
    std::string action, key, taj;
    std::vector<std::string> fields;  // " FIELD old>new" parts the row must hold
    std::vector<std::string> absent;  // parts it must not
};

}  // namespace

TEST(History, EachChangeOfASheetWritesOneRowWithTheFieldsItChanged) {
    // The stored sheets are another patient's, so that the new sheet (the
    // known patient's) meets no earlier order or visit of its patient.
    const std::string patient = people::patient;
    const std::string other = tajOf("10000002");
    const std::vector<ChangeCase> cases = {
        {"new sheet", [](SheetData& d) { ASSERT_EQ(saveNew(d).outcome, sheets::SaveOutcome::Saved); }, "Új lap",
         "2024.05/00100", patient, {" SZNAP >5", " TEV2 >1   5", " TAJ >" + patient}, {" APDAT", " ELKULDVE"}},
        {"modification",
         [](SheetData& d) {
             ASSERT_EQ(saveNew(d).outcome, sheets::SaveOutcome::Saved);
             auto form = sheets::storedSheetForm(d.ctx(), *sheets::loadSheet(d.db(), {"00100", "", "2024.05"}),
                                                 sheets::EntryMode::Modify);
             form.m_gyak = "hetente";
             d.dialogs().answerYes();
             ASSERT_EQ(sheets::saveSheet(form, d.ctx()).outcome, sheets::SaveOutcome::Saved);
         },
         "Módosítás", "2024.05/00100", patient, {" GYAK heti 3>hetente"}, {" SZNAP", " TEV2", " TAJ "}},
        {"closing date", [](SheetData& d) { reg::storeClosingDate(d.db(), {"00012", "", "2024.05"}, "2024.05.28", true); },
         "Lezárás", "2024.05/00012", other, {" LEZDAT >2024.05.28", " ELKULDVE 2024.05>YY", " MODTIPUS >L"}, {" SZNAP"}},
        {"cancellation", [](SheetData& d) { reg::cancelSheet(d.db(), {"00012", "", "2024.05"}); }, "Sztornó",
         "2024.05/00012", other, {" ELKULDVE 2024.05>YY", " MODTIPUS >S"}, {" SZNAP"}},
        {"deletion", [](SheetData& d) { reg::deleteSheet(d.db(), {"00013", "", "2024.05"}); }, "Törlés",
         "2024.05/00013", other, {" SZNAP 5>", " TEV3 1   5>", " TAJ " + other + ">"}, {}},
        {"conversion", [](SheetData& d) { reg::convertSheet(d.db(), {"00013", "", "2024.05"}, "A"); }, "Átalakítás",
         "2024.05/00013A", other, {" RESZ >A", "!Régi kulcs: 2024.05/00013, új kulcs: 2024.05/00013A"}, {" SZNAP"}},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        SheetData data;
        data.patient(other, "Másik Márta");
        RawSheet sent = seriesPart("2024.05", "00012", "", 5, {{"Elkuldve", "2024.05"}, {"Gyak", "naponta"}});
        RawSheet open = seriesPart("2024.05", "00013", "", 5, {{"Gyak", "naponta"}});
        sent.taj = open.taj = other;
        data.sheet(sent).sheet(open);
        data.open({2024, 6, 10}, "2024.05");
        c.change(data);
        std::vector<std::string> rows = changes(data);
        if (std::string(c.name) == "modification") rows.erase(rows.begin());  // the new sheet's own row
        ASSERT_EQ(rows.size(), 1u) << ::testing::PrintToString(rows);
        EXPECT_EQ(rows[0].substr(0, rows[0].find(':')), c.action + " " + c.key + " " + c.taj);
        for (const std::string& f : c.fields) EXPECT_TRUE(mentions(rows, 0, f)) << f << " in " << rows[0];
        for (const std::string& f : c.absent) EXPECT_FALSE(mentions(rows, 0, f)) << f << " in " << rows[0];
    }
}

TEST(History, AConvertedSheetsHistoryFollowsItAcrossTheChangeOfKey) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00013", "", 5));
    data.open({2024, 6, 12}, "2024.05");
    reg::storeClosingDate(data.db(), {"00013", "", "2024.05"}, "2024.05.28", false);
    reg::convertSheet(data.db(), {"00013", "", "2024.05"}, "A");
    reg::storeClosingDate(data.db(), {"00013", "A", "2024.05"}, "2024.05.29", false);

    const auto entries = history::sheetHistory(historyTable(data), "2024.05", "00013", "A");
    std::vector<std::string> actions;
    for (const auto& e : entries) actions.push_back(e.muvelet + " " + e.sheet());
    EXPECT_EQ(actions, (std::vector<std::string>{"Lezárás 2024.05/00013", "Átalakítás 2024.05/00013A",
                                                 "Lezárás 2024.05/00013A"}));
}

TEST(History, ARefusedOrRolledBackChangeWritesNoRow) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00012", "", 5, {{"Elkuldve", "2024.05"}}));
    data.open({2024, 6, 12}, "2024.05");
    const std::string before = data.rows("HLAPA") + data.rows("ELOZMENY") + data.rows("ELOZVEG");

    // Refused by the sheet check.
    sheets::SheetForm broken = completeForm();
    broken.m_taj.clear();
    EXPECT_EQ(sheets::saveSheet(broken, data.ctx()).outcome, sheets::SaveOutcome::Refused);
    // Refused by the register's rules: a closing date that is no date.
    EXPECT_ANY_THROW(reg::storeClosingDate(data.db(), {"00012", "", "2024.05"}, "2024.13.40", true));
    // Rolled back by a full disk while the history's own file is written.
    velmora::testing::refuseFirstWriteTo("Elozmeny.dbf");
    EXPECT_ANY_THROW(reg::cancelSheet(data.db(), {"00012", "", "2024.05"}));
    EXPECT_TRUE(velmora::testing::firstWriteRefused());
    db::os::testing::reset();

    EXPECT_EQ(data.rows("HLAPA") + data.rows("ELOZMENY") + data.rows("ELOZVEG"), before);
    data.db().closeAll();
    const auto onDisk = readRows(data.dir(), "Elozmeny.dbf");
    ASSERT_EQ(onDisk.size(), 1u);  // the first row alone
    EXPECT_EQ(onDisk[0][4].asString(), history::kStarted);
}

TEST(History, AHistoryThatCannotBeWrittenRollsTheChangeBack) {
    SheetData data;
    data.sheet(seriesPart("2024.05", "00012", "", 5, {{"Elkuldve", "2024.05"}}));
    data.open({2024, 6, 12}, "2024.05");
    const std::string sheets = data.rows("HLAPA") + data.rows("HLAPB");
    store::tableOf(data.db(), store::schema::ELOZMENY()).close();
    std::filesystem::remove(std::filesystem::path(data.dir()) / "Elozmeny.dbf");

    EXPECT_THROW(reg::cancelSheet(data.db(), {"00012", "", "2024.05"}), db::DbError);
    EXPECT_EQ(data.rows("HLAPA") + data.rows("HLAPB"), sheets);
}

TEST(History, AUserNameCodePage852CannotHoldIsWrittenInLettersItHas) {
    const char* was = std::getenv("LOGNAME");
    const std::string saved = was ? was : "";
    setenv("LOGNAME", "Zoë Ødegård 李\tŁukasz", 1);
    SheetData data;
    data.sheet(seriesPart("2024.05", "00012", "", 5, {{"Elkuldve", "2024.05"}}));
    data.open({2024, 6, 12}, "2024.05");
    reg::cancelSheet(data.db(), {"00012", "", "2024.05"});
    if (was) setenv("LOGNAME", saved.c_str(), 1);
    else unsetenv("LOGNAME");

    history::HistoryFilter cancellations;
    cancellations.action = history::kCancel;
    const auto entries = history::readHistory(historyTable(data), cancellations);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].felh, "Zoë Odegard li Łukas");  // twenty characters of "Zoë Odegard li Łukasz"
}
