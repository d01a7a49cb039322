// The visit check and the whole-sheet check: what each broken rule finds,
// in the system's order, and what a clean sheet leaves for saving.
#include "support/Findings.h"
#include "support/SheetFixture.h"

#include "sheets/SheetCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetForm;

namespace {

const std::string kOnlyNursing = "Ezek csak szakápolási tevékenységek, itt nem jelenthetők!";

// The last check's result, as the tests below read it.
sheets::SheetCheckResult last;

bool checked(sheets::SheetCheckResult result) {
    last = std::move(result);
    return last.passed();
}

// What the last check found, as the user reads it, in order.
std::vector<std::string> found() { return findingTexts(last.findings); }

// A visit on every day of May but the 20th, which another sheet of the
// patient holds: 30 visits against an order of 50 days.
void monthOfVisits(SheetForm& f, const std::string& billed) {
    std::vector<VisitDay> days;
    for (int d = 1; d <= 31; ++d)
        if (d != 20) days.push_back({d, "1   5", people::nurse1});
    setVisits(f, days);
    f.m_szakvet = "2024.05.01";
    f.m_elviz = "50";
    f.m_elszviz = billed;
}

}  // namespace

TEST(SheetCheck, ACompleteSheetPassesAndCountsThePatientsDaysItself) {
    SheetData data;
    data.sheet({"2024.03", "00002", "", people::patient, {}, {{"SzNap", 7}}});
    data.open();
    SheetForm form = completeForm();
    form.m_elszam = "2";
    EXPECT_TRUE(checked(sheets::sheetCheck(form, data.ctx())));
    EXPECT_EQ(found(), std::vector<std::string>{});
    EXPECT_EQ(last.vizitdb, 5);
    EXPECT_EQ(last.tszam, 7);  // the TAJ field was never left
    // The check leaves the form to takeCheck.
    EXPECT_EQ(form.tszam, 0);
    sheets::takeCheck(form, last, {});
    EXPECT_EQ(form.vizitdb, 5);
    EXPECT_EQ(form.tszam, 7);
}

TEST(SheetCheck, ThePatientsDaysAreCountedBeforeThe150DayRuleWhenTheTajFieldWasNeverLeft) {
    // A stored sheet opened for modifying: m_taj is never left, so the form
    // holds no day count of the patient's other sheets.
    SheetData data;
    data.sheet({"2024.02", "00002", "", people::patient, {}, {{"SzNap", 49}, {"Lezdat", "2024.02.28"}}})
        .sheet({"2024.03", "00003", "", people::patient, {}, {{"SzNap", 49}, {"Lezdat", "2024.03.29"}}})
        .sheet({"2024.04", "00004", "", people::patient, {}, {{"SzNap", 48}, {"Lezdat", "2024.04.29"}}});
    data.open();
    SheetForm form = completeForm();  // 5 visits: 151 days
    EXPECT_TRUE(checked(sheets::sheetCheck(form, data.ctx())));
    EXPECT_EQ(app::ids(last.findings), std::vector<app::Msg>{app::Msg::PatientDaysOver150});
    EXPECT_EQ(last.findings.at(0).severity, app::Severity::Warning);
}

TEST(SheetCheck, BlankMandatoryFieldsAreListedInOneMessageAndStopTheCheck) {
    SheetData data;
    data.open({2016, 1, 20}, "2015.12");
    SheetForm old = completeForm();
    old.m_idosz = "2015.12";
    old.m_aztip = old.m_terkat = old.m_allp = old.m_nev = "";
    EXPECT_FALSE(checked(sheets::sheetCheck(old, data.ctx())));
    EXPECT_EQ(found(), std::vector<std::string>{"A következő mezők kitöltése kötelező:\rBeteg neve\r"});

    SheetForm recent = completeForm();
    recent.m_aztip = recent.m_allp = recent.m_gyak = "";
    recent.m_szido = "    .  .  ";
    recent.m_elviz = " ";
    EXPECT_FALSE(checked(sheets::sheetCheck(recent, data.ctx())));
    EXPECT_EQ(found(),
              std::vector<std::string>{"A következő mezők kitöltése kötelező:\rAzonosító típus\rBeteg születési ideje\r"
                                       "Állampolgárság\rGyakoriság szövege\rElrendelt napok száma\r"});
    // The focus goes to the first blank field.
    EXPECT_EQ(app::firstRefusalField(last.findings), "m_aztip");
}

TEST(SheetCheck, EveryBrokenRuleShowsItsMessageInTheSystemsOrder) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    form.m_taj = tajOf("10000009").substr(0, 8) + "0";  // check digit 0 is wrong here
    form.bnem = "";
    form.m_kozigkod = "9999999";
    form.m_szido = "1894.12.31";
    form.m_alapb = "Z1234";
    form.m_fodiag = "C0000";
    form.m_fekvd = "C0001";
    form.m_kiserd = "C0002";
    form.orv1 = "";
    form.m_jorv = "777777";
    form.m_elrend = "1996.09.30";
    form.m_szakvet = "2024.02.30";
    form.m_elviz = "60";
    form.m_elszam = "0";
    form.m_elszviz = "51";
    form.m_lezdat = "2024.06.01";
    form.aptev[2] = tajOf("20000009");
    EXPECT_FALSE(checked(sheets::sheetCheck(form, data.ctx())));
    const std::vector<std::string> expected = {
        "Nem létező TAJ szám!",
        "A nem csak nő, vagy férfi lehet!",
        "Nincs ilyen település",
        "Hibás dátum! 1895 előtti nem lehet!",
        "Nem lehet \"Z\"-s kódot beírni!",
        "Nincs az Ápolást indokló fődiagnózis a törzsben!",
        "Nincs a Kórházi ápolás diagnózisa a törzsben!",
        "Nincs a Kísérő betegség diagnózisa a törzsben!",
        "Nincs az elrendelő orvos neve kitöltve!",
        "Nincs a javaslatot tevő orvos neve kitöltve!",
        "Hibás dátum! 1996.10.01 előtti nem lehet!",
        "Érvénytelen dátum!!",
        "Az elrendelt napszám nem lehet több 50-nél és nem lehet 0!",
        "A folyamatos elrendelés nem lehet 0!",
        "Csak nagyobb lehet az elrendelés száma, mint az előző!",
        "Az eddig elszámolt napszám nem lehet több 50-nél!",
        "Nem lehet a lezárás dátuma nagyobb a jelentési időszak végénél!",
        "Nincs a " + tajOf("20000009") + " TAJ számú ápoló a törzsben!",
        "A napok száma nem lehet több 50-nél, és az elrendelt napoknál!",
    };
    EXPECT_EQ(found(), expected);
}

TEST(SheetCheck, TextsThatAreNoNumberFailWithAMessageRatherThanAnException) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    form.m_elszam = "egy";
    form.m_elviz = "20 nap";
    EXPECT_FALSE(checked(sheets::sheetCheck(form, data.ctx())));
    const auto messages = found();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Csak szám írható a mezőbe!"), 3) << ::testing::PrintToString(messages);
}

TEST(VisitCheck, TheGridsRules) {
    const std::string other = tajOf("10000002");
    SheetData data;
    data.sheet({"2024.05", "00007", "", people::patient, {{20, "1", people::nurse2}}});
    data.open();
    struct Case {
        const char* what;
        std::function<void(SheetForm&)> prepare;
        bool passes;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"a clean grid", [](SheetForm&) {}, true, {}},
        {"a day with a nurse only", [](SheetForm& f) { f.aptaj[9] = people::nurse1; }, false,
         {"A 10. napi adatokat ki kell tölteni!"}},
        {"an unknown nurse",
         [&](SheetForm& f) {
             f.aptaj[9] = other;
             f.tev[9] = "1";
         },
         false, {"Nem szerepel az " + other + " ápoló a törzsben!"}},
        {"an activity without its nurse", [](SheetForm& f) { f.tev[2] = "1 3"; }, false,
         {"A tevékenységeknek megfelelő ápoló nincs kitöltve!"}},
        {"a date of another sheet", [](SheetForm& f) { setVisits(f, {{2, "1   5", people::nurse1}, {20, "1", people::nurse1}}); },
         false, {"Az ápolás dátuma 2024.05.20 időben átfed egy másik teljesítést"}},
        {"a visit before the start of care", [](SheetForm& f) { f.m_szakvet = "2024.05.03"; }, false,
         {"Az ápolás dátuma nem lehet kisebb az ápolásba vételnél!"}},
        {"no visit at all", [](SheetForm& f) { setVisits(f, {}); }, false,
         {"Az ápolás dátuma nem lehet kisebb az ápolásba vételnél!", kOnlyNursing}},
        {"a visit after the closing", [](SheetForm& f) { f.m_lezdat = "2024.05.05"; }, false,
         {"Az ápolás dátuma nem lehet nagyobb az ápolási eset lezárásánál !"}},
        {"more days than ordered and billed",
         [](SheetForm& f) {
             f.m_elviz = "20";
             f.m_elszviz = "16";
         },
         false, {"A napok száma nem lehet több 50-nél, és az elrendelt napoknál!"}},
        {"skilled nursing only", [](SheetForm& f) { f.tev[1] = f.tev[2] = "1"; }, false, {kOnlyNursing}},
        {"past 150 days of the patient only warns", [](SheetForm& f) { f.tszam = 146; }, true,
         {"A TAJ számra rögzített napok száma nem lehet több 150-nél!"}},
        {"exactly 150 days of the patient is no warning", [](SheetForm& f) { f.tszam = 145; }, true, {}},
        {"30 visits and 20 billed fill an order of 50", [](SheetForm& f) { monthOfVisits(f, "20"); }, true, {}},
        {"30 visits and 21 billed are one day too many", [](SheetForm& f) { monthOfVisits(f, "21"); }, false,
         {"A napok száma nem lehet több 50-nél, és az elrendelt napoknál!"}},
    };
    for (const Case& c : cases) {
        SheetForm form = completeForm();
        c.prepare(form);
        EXPECT_EQ(checked(sheets::visitCheck(form, data.ctx())), c.passes) << c.what;
        EXPECT_EQ(found(), c.messages) << c.what;
    }
}

TEST(VisitCheck, CountersStartFromZeroAtEveryRun) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    form.tev[1] = form.tev[2] = "1";
    for (int run = 0; run < 2; ++run) {
        EXPECT_FALSE(checked(sheets::visitCheck(form, data.ctx()))) << run;
        EXPECT_EQ(found(), std::vector<std::string>{kOnlyNursing}) << run;
    }
    // A sheet that did list activity 5 before does not help the next run.
    SheetForm withFive = completeForm();
    EXPECT_TRUE(checked(sheets::visitCheck(withFive, data.ctx())));
    EXPECT_FALSE(checked(sheets::visitCheck(form, data.ctx())));
}

TEST(VisitCheck, AnEarlierPartOfTheSeriesMayCarryTheActivitiesBeyondNursing) {
    SheetData data;
    data.sheet({"2024.04", "00020", "A", people::patient, {{3, "     6", people::nurse1}}})
        .sheet({"2023.05", "00021", "A", people::patient, {{3, "     6", people::nurse1}}});
    data.open();
    SheetForm next = completeForm();
    next.usorsz = "00020";
    next.uresz = "B";
    next.tev[1] = next.tev[2] = "1";
    EXPECT_TRUE(checked(sheets::visitCheck(next, data.ctx())));
    // The same number in another year is another series.
    next.usorsz = "00021";
    EXPECT_FALSE(checked(sheets::visitCheck(next, data.ctx())));
}

TEST(VisitCheck, ANursePastHerCapacityIsWarnedOf) {
    SheetData data;
    data.employee({people::nurse1, "Ápoló Anna", "2020.01.01", "", 1, 0});  // 4 days a month
    data.open();
    SheetForm form = completeForm();
    EXPECT_TRUE(checked(sheets::visitCheck(form, data.ctx())));
    EXPECT_EQ(found(),
              std::vector<std::string>{"Dolgozói kapacitás túllépés a " + people::nurse1 + " TAJ számú dolgozónál!"});
}

TEST(VisitCheck, AQueryThatFailsFailsTheCheck) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    data.db().findTable("HLAPB")->close();
    EXPECT_FALSE(checked(sheets::visitCheck(form, data.ctx())));
    const auto messages = found();
    EXPECT_FALSE(messages.empty());
    for (const std::string& m : messages) EXPECT_EQ(m, "Hiba a lefutásban!");
    // The engine's message is kept as the cause.
    for (const app::Finding& f : last.findings) EXPECT_FALSE(f.detail.empty());
}

TEST(VisitCheck, AModifiedSheetClashesWithEverySheetButItself) {
    SheetData data;
    std::vector<VisitDay> own;
    for (int d = 2; d <= 6; ++d) own.push_back({d, "1   5", people::nurse1});
    data.sheet({"2024.05", "00100", "", people::patient, own, {{"Aptaj5", people::nurse1}}})
        .sheet({"2024.05", "00007", "", people::patient, {{20, "1", people::nurse2}}})
        .sheet({"2024.05", "00100", "A", people::patient, {{21, "1", people::nurse2}}});
    data.open();
    SheetForm form = completeForm();
    form.mode = sheets::EntryMode::Modify;
    EXPECT_TRUE(checked(sheets::visitCheck(form, data.ctx())));
    EXPECT_EQ(found(), std::vector<std::string>{});
    // Same period, or same number: still another sheet.
    form.tev[19] = form.tev[20] = "1";
    form.aptaj[19] = form.aptaj[20] = people::nurse1;
    EXPECT_FALSE(checked(sheets::visitCheck(form, data.ctx())));
    EXPECT_EQ(found(), (std::vector<std::string>{"Az ápolás dátuma 2024.05.20 időben átfed egy másik teljesítést",
                                                               "Az ápolás dátuma 2024.05.21 időben átfed egy másik teljesítést"}));
}
