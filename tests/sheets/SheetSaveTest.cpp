// "Mentés": the checked sheet, its patient, its doctors and its series'
// marks reach the tables together or not at all.
#include "support/DiskFull.h"
#include "support/SheetFixture.h"

#include "app/TextHelpers.h"
#include "db/Os.h"
#include "db/Sql.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetStore.h"
#include "store/Schemas.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;
using sheets::SaveOutcome;
using sheets::SheetForm;
namespace schema = store::schema;

namespace {

// What the program and the disk hold of the tables a save touches.
struct Snapshot {
    std::map<std::string, std::string> files, rows;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(SheetData& data) {
    Snapshot s;
    for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::BETEG(), &schema::ORVOS(),
                                        &schema::APOL()}) {
        s.files[def->name] = fileBytes(std::filesystem::path(data.dir()) / def->fileName);
        s.rows[def->name] = data.rows(def->name);
    }
    return s;
}

// The form moved to another period: its dates, its grid.
SheetForm formFor(const std::string& period) {
    SheetForm f = completeForm();
    f.m_idosz = period;
    f.tnap = app::DaysInPeriod(period);
    for (int d = 0; d < 31; ++d) f.apdat[d] = d < f.tnap ? period + "." + app::TwoDigits(d + 1) : "";
    f.m_elrend = period + ".01";
    f.m_szakvet = period + ".02";
    return f;
}

// A field of the only row of a table file whose key field holds `key`.
std::string onDisk(const std::string& dir, const schema::TableDef& def, const std::string& keyField,
                   const std::string& key, const std::string& field) {
    const int k = db::findField(def.fields, keyField), f = db::findField(def.fields, field);
    for (const Row& r : readRows(dir, def.fileName))
        if (r[k].asString() == key) return r[f].asString();
    return "(nincs)";
}


}  // namespace

TEST(SaveSheet, ANewSheetReachesEveryTable) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    const std::string newPatient = tajOf("10000008");
    form.m_taj = newPatient;
    form.m_nev = "Új Beteg";
    form.bnem = "Férfi";
    form.CB1 = true;
    form.m_allp = "hun";
    form.m_eorv = "111111";
    form.orv1 = "Dr. Új Orvos";
    form.m_jorv = "654321";
    form.orv2 = "Dr. Javasló Júlia";
    data.dialogs().answerYes();
    const auto result = sheets::saveSheet(form, data.ctx());
    EXPECT_EQ(result.outcome, SaveOutcome::Saved);
    EXPECT_EQ(data.dialogs().texts(ScriptedDialogs::Kind::Question),
              std::vector<std::string>{"Adatok ellenőrzése rendben! Elmenthetők ?"});
    EXPECT_TRUE(data.dialogs().errors().empty());

    data.db().closeAll();
    const std::string dir = data.dir();
    auto sheet = [&](const char* field) { return onDisk(dir, schema::HLAPA(), "Sorsz", "00100", field); };
    EXPECT_EQ(sheet("Idoszak"), "2024.05");
    EXPECT_EQ(sheet("Intkod"), "1234");
    EXPECT_EQ(sheet("Finkod"), "987654321");
    EXPECT_EQ(sheet("Taj"), newPatient);
    EXPECT_EQ(sheet("Tpotl"), "I");
    EXPECT_EQ(sheet("Allamp"), "HUN");
    EXPECT_EQ(sheet("Orvkodj"), "654321");
    EXPECT_EQ(sheet("Orvtip"), "1");
    EXPECT_EQ(sheet("SzNap"), "5");
    EXPECT_EQ(sheet("Elszviz"), "0");
    EXPECT_EQ(sheet("Szakvet"), "2024.05.02");
    EXPECT_EQ(sheet("Elkuldve"), "");
    auto visit = [&](const char* field) { return onDisk(dir, schema::HLAPB(), "Sorsz", "00100", field); };
    EXPECT_EQ(visit("APDAT2"), "2024.05.02");
    EXPECT_EQ(visit("TEV2"), "1   5");
    EXPECT_EQ(visit("APBTAJ6"), people::nurse1);
    EXPECT_EQ(visit("APDAT7"), "");
    auto patient = [&](const char* field) { return onDisk(dir, schema::BETEG(), "TAJ", newPatient, field); };
    EXPECT_EQ(patient("Nev"), "Új Beteg");
    EXPECT_EQ(patient("Neme"), "F");
    EXPECT_EQ(patient("Aztip"), "1");
    EXPECT_EQ(patient("Szuli"), "1940.03.04");
    EXPECT_EQ(onDisk(dir, schema::ORVOS(), "Orvoskod", "111111", "Onev"), "Dr. Új Orvos");
    EXPECT_EQ(onDisk(dir, schema::ORVOS(), "Orvoskod", "654321", "Onev"), "Dr. Javasló Júlia");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir) / "VELMORA.JNL"));
}

// "Mentés" straight after a typed code: the check and the stored row read
// the code in its positional form.
TEST(SaveSheet, ATypedActivityCodeIsCheckedAndStoredByPosition) {
    const struct {
        bool nurse5;
        SaveOutcome outcome;
        std::string stored;
    } cases[] = {{false, SaveOutcome::Refused, "(nincs)"}, {true, SaveOutcome::Saved, "    5"}};
    for (const auto& c : cases) {
        SheetData data;
        data.open();
        SheetForm form = completeForm();
        if (!c.nurse5) form.aptev[4] = form.apnev[4] = "";
        form.tev[1] = form.tev[2] = "5";  // typed by hand at the first position
        data.dialogs().answerYes();
        EXPECT_EQ(sheets::saveSheet(form, data.ctx()).outcome, c.outcome) << c.nurse5;
        const auto errors = data.dialogs().errors();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), "A tevékenységeknek megfelelő ápoló nincs kitöltve!"),
                  c.nurse5 ? 0 : 2);
        data.db().closeAll();
        EXPECT_EQ(onDisk(data.dir(), schema::HLAPB(), "Sorsz", "00100", "TEV2"), c.stored) << c.nurse5;
    }
}

TEST(SaveSheet, ARefusedRuleTheAnswerNoAndATakenKeyLeaveEveryTableUntouched) {
    SheetData data;
    data.sheet({"2024.05", "00101", "", tajOf("10000002"), {{20, "1   5", people::nurse2}}});
    data.open();
    const Snapshot before = snapshot(data);

    SheetForm broken = completeForm();
    broken.m_nev = "Más Név";
    broken.m_gyak = "";
    auto result = sheets::saveSheet(broken, data.ctx());
    EXPECT_EQ(result.outcome, SaveOutcome::Refused);
    EXPECT_EQ(result.focus.control, "m_gyak");  // where the first refusal points: the blank field
    EXPECT_EQ(data.dialogs().errors().back(), "Hibás adatok miatt az elszámolási lap nem menthető!!");
    EXPECT_TRUE(data.dialogs().texts(ScriptedDialogs::Kind::Question).empty());
    EXPECT_EQ(snapshot(data), before);

    SheetForm declined = completeForm();
    declined.m_nev = "Más Név";
    data.dialogs().answerNo();
    EXPECT_EQ(sheets::saveSheet(declined, data.ctx()).outcome, SaveOutcome::Declined);
    EXPECT_EQ(snapshot(data), before);

    SheetForm taken = completeForm();
    taken.usorsz = "00101";
    taken.m_nev = "Más Név";
    data.dialogs().clearLog();
    data.dialogs().answerYes();
    EXPECT_EQ(sheets::saveSheet(taken, data.ctx()).outcome, SaveOutcome::Refused);
    EXPECT_EQ(data.dialogs().errors(), std::vector<std::string>{"Már létezik ez a lap, így nem menthető!"});
    EXPECT_EQ(snapshot(data), before);
}

TEST(SaveSheet, AFailureInsideTheUnitLeavesNoTableHalfWritten) {
    SheetData data;
    data.open();
    const Snapshot before = snapshot(data);

    // BETEG refuses a name wider than its field, after both sheet rows were written.
    SheetForm tooLong = completeForm();
    tooLong.m_taj = tajOf("10000008");
    tooLong.m_nev = "Nagyon Hosszú Nevű Új Betegünk";
    data.dialogs().answerYes();
    EXPECT_EQ(sheets::saveSheet(tooLong, data.ctx()).outcome, SaveOutcome::Refused);
    ASSERT_EQ(data.dialogs().errors(), std::vector<std::string>{"Hiba a lefutásban!"});
    EXPECT_NE(data.dialogs().errorDetails()[0].find("Nev"), std::string::npos) << data.dialogs().errorDetails()[0];
    EXPECT_EQ(snapshot(data), before);

    // The disk refuses the doctors' file while the unit reaches the files.
    SheetForm form = completeForm();
    form.m_eorv = "111111";
    form.orv1 = "Dr. Új Orvos";
    data.dialogs().clearLog();
    data.dialogs().answerYes();
    velmora::testing::refuseFirstWriteTo("Orvos.dbf");
    const auto refused = sheets::saveSheet(form, data.ctx());
    db::os::testing::reset();
    EXPECT_TRUE(velmora::testing::firstWriteRefused());
    EXPECT_EQ(refused.outcome, SaveOutcome::Refused);
    ASSERT_EQ(data.dialogs().errors(), std::vector<std::string>{"Hiba a lefutásban!"});
    EXPECT_NE(data.dialogs().errorDetails()[0].find("betelt a lemez"), std::string::npos)
        << data.dialogs().errorDetails()[0];
    EXPECT_EQ(snapshot(data), before);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(data.dir()) / "VELMORA.JNL"));

    // With room on the disk the same sheet is stored.
    data.dialogs().answerYes();
    EXPECT_EQ(sheets::saveSheet(form, data.ctx()).outcome, SaveOutcome::Saved);
    EXPECT_NE(snapshot(data), before);
}

TEST(SaveSheet, AModifiedSheetKeepsItsMarksAndGetsTheCorrectionMarkByTheCalendar) {
    const struct {
        app::Date today;
        std::string period, zarasPeriod, sent;
        std::string elkuldve, modtipus;
    } cases[] = {
        {{2024, 6, 10}, "2024.06", "2024.05", "2024.05", "", ""},     // closed this month, today the 10th
        {{2024, 6, 11}, "2024.06", "2024.05", "2024.05", "YY", "K"},  // the 11th
        {{2024, 7, 1}, "2024.07", "2024.05", "2024.05", "YY", "K"},   // a later month
        {{2024, 6, 11}, "2024.06", "2024.03", "YY", "", ""},          // the period has no row
        {{2024, 6, 11}, "2024.06", "2024.05", "", "", ""},            // never sent: nothing to correct
    };
    for (const auto& c : cases) {
        SheetData data;
        data.sheet({"2024.05", "00012", "", people::patient, {{2, "1   5", people::nurse1}, {3, "1", people::nurse1}},
                    {{"Aptaj5", people::nurse1}, {"Elkuldve", c.sent}, {"Jeloles", "*"}, {"Allapot", "F"}}})
            .periodRow(c.zarasPeriod, "2024.06.03");
        data.open(c.today, c.period);
        db::Sql(data.db()).run("update hlapb set eli2='1', jeloles='*', elkuldve='2024.05'");
        const auto stored = sheets::loadSheet(data.db(), {"00012", "", "2024.05"});
        ASSERT_TRUE(stored);
        SheetForm form = sheets::storedSheetForm(data.ctx(), *stored, sheets::EntryMode::Modify);
        form.m_gyak = "heti 5";
        form.tev[2] = "";
        form.aptaj[2] = "";
        data.dialogs().answerYes();
        ASSERT_EQ(sheets::saveSheet(form, data.ctx()).outcome, SaveOutcome::Saved)
            << ::testing::PrintToString(data.dialogs().errors());
        const db::SqlResult a = db::Sql(data.db()).run(
            "select gyak,elkuldve,modtipus,jeloles,allapot,sznap from hlapa where sorsz='00012'");
        ASSERT_EQ(a.rows.size(), 1u);
        EXPECT_EQ(a.rows[0][0].asString(), "heti 5");
        EXPECT_EQ(a.rows[0][1].asString(), c.elkuldve) << c.today.text();
        EXPECT_EQ(a.rows[0][2].asString(), c.modtipus) << c.today.text();
        EXPECT_EQ(a.rows[0][3].asString(), "*");
        EXPECT_EQ(a.rows[0][4].asString(), "F");
        EXPECT_EQ(a.rows[0][5].asInt(), 1);
        const db::SqlResult b =
            db::Sql(data.db()).run("select eli2,jeloles,elkuldve,tev3,apdat3 from hlapb where sorsz='00012'");
        ASSERT_EQ(b.rows.size(), 1u);
        EXPECT_EQ(b.rows[0][0].asString(), "1");
        EXPECT_EQ(b.rows[0][1].asString(), "*");
        EXPECT_EQ(b.rows[0][2].asString(), "2024.05");
        EXPECT_EQ(b.rows[0][3].asString(), "");
        EXPECT_EQ(b.rows[0][4].asString(), "");
    }
}

TEST(SaveSheet, ASeriesOfFiftyDaysIsMarkedFullAndUnmarkedWhenItShrinks) {
    SheetData data;
    data.sheet({"2024.04", "00020", "A", people::patient, {{3, "     6", people::nurse1}}, {{"SzNap", 45}}});
    data.open();
    SheetForm next = completeForm();
    next.usorsz = "00020";
    next.uresz = "B";
    next.m_sorsz = "00020B";
    next.tev[1] = next.tev[2] = "1";  // the first part carries activity 6
    data.dialogs().answerYes();
    ASSERT_EQ(sheets::saveSheet(next, data.ctx()).outcome, SaveOutcome::Saved)
        << ::testing::PrintToString(data.dialogs().errors());
    auto marks = [&] {
        std::string out;
        for (const auto& r : db::Sql(data.db()).run("select resz,tele from hlapa order by resz").rows)
            out += r[0].asString() + "=" + r[1].asString() + " ";
        return out;
    };
    EXPECT_EQ(marks(), "A=* B=* ");

    next.mode = sheets::EntryMode::Modify;
    next.tev[5] = next.aptaj[5] = "";
    data.dialogs().answerYes();
    ASSERT_EQ(sheets::saveSheet(next, data.ctx()).outcome, SaveOutcome::Saved);
    EXPECT_EQ(marks(), "A= B= ");
}

TEST(SaveSheet, WhatEachPeriodStores) {
    const struct {
        std::string period;
        app::Date today;
        std::string eorv, jorv;
        std::string aztip, allamp, orvtip, orvkodj;
        std::vector<std::string> doctors;
    } cases[] = {
        {"2015.12", {2016, 1, 20}, "123456", "", "", "", "", "0", {"123456", "654321"}},
        {"2016.01", {2016, 2, 20}, "123456", "", "1", "HUN", "", "0", {"123456", "654321"}},
        {"2024.04", {2024, 5, 20}, "00000", "12345", "1", "HUN", "", "12345", {"00000", "123456", "654321"}},
        {"2024.05", {2024, 6, 20}, "123456", "12345", "1", "HUN", "1", "12345", {"12345", "123456", "654321"}},
    };
    for (const auto& c : cases) {
        SheetData data;
        data.open(c.today, c.period);
        SheetForm form = formFor(c.period);
        form.m_taj = tajOf("10000008");
        form.m_allp = "hun";
        form.m_eorv = c.eorv;
        form.orv1 = "Dr. Elrendelő";
        form.m_jorv = c.jorv;
        form.orv2 = c.jorv.empty() ? "" : "Dr. Javasló";
        data.dialogs().answerYes();
        ASSERT_EQ(sheets::saveSheet(form, data.ctx()).outcome, SaveOutcome::Saved)
            << c.period << ::testing::PrintToString(data.dialogs().errors());
        const auto a = db::Sql(data.db()).run("select aztip,terkat,allamp,orvtip,orvkodj from hlapa").rows.at(0);
        EXPECT_EQ(a[0].asString(), c.aztip) << c.period;
        EXPECT_EQ(a[1].asString(), c.aztip.empty() ? "" : "01") << c.period;
        EXPECT_EQ(a[2].asString(), c.allamp) << c.period;
        EXPECT_EQ(a[3].asString(), c.orvtip) << c.period;
        EXPECT_EQ(a[4].asString(), c.orvkodj) << c.period;
        EXPECT_EQ(db::Sql(data.db()).run("select aztip from beteg where taj=?", {form.m_taj}).rows.at(0)[0].asString(),
                  c.aztip)
            << c.period;
        std::vector<std::string> doctors;
        for (const auto& r : db::Sql(data.db()).run("select orvoskod from orvos order by orvoskod").rows)
            doctors.push_back(r[0].asString());
        EXPECT_EQ(doctors, c.doctors) << c.period;
    }
}
