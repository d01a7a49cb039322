// The checks of the entry window's fields when the focus leaves them: the
// message, where the focus goes, and what the field's exit fills in.
#include "support/Findings.h"
#include "support/SheetFixture.h"

#include "db/Sql.h"
#include "sheets/SheetEntry.h"
#include "sheets/SheetStore.h"

#include <gtest/gtest.h>

#include <functional>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetForm;

namespace {

struct ExitCase {
    const char* what;
    std::function<void(SheetForm&)> prepare;
    std::string control;
    std::string focus;
    std::vector<std::string> messages;
    std::function<void(const SheetForm&)> expect = [](const SheetForm&) {};
};

void run(SheetData& data, const std::vector<ExitCase>& cases) {
    for (const auto& c : cases) {
        SheetForm form = completeForm();
        c.prepare(form);
        const sheets::FieldExit exit = sheets::leaveField(form, c.control, data.ctx());
        EXPECT_EQ(exit.focus().control, c.focus) << c.what;
        EXPECT_EQ(findingTexts(exit.findings), c.messages) << c.what;
        c.expect(form);
    }
}

const std::string kMandatory = "A mező kitöltése kötelező!";
const std::string kNumbersOnly = "Csak szám írható a mezőbe!";

}  // namespace

TEST(FieldExits, DatesAndNumbersOfTheOrder) {
    SheetData data;
    data.open();
    const std::string ordered = "Az elrendelt napszám nem lehet több 50-nél és nem lehet 0!";
    auto set = [](std::string SheetForm::*field, std::string value) {
        return [=](SheetForm& f) { f.*field = value; };
    };
    run(data, {
        {"impossible start of care", set(&SheetForm::m_szakvet, "2024.02.30"), "m_szakvet", "m_szakvet",
         {"Érvénytelen dátum!!"}, [](const SheetForm& f) { EXPECT_EQ(f.m_szakvet, "2024.02.30"); }},
        {"empty start of care", set(&SheetForm::m_szakvet, "    .  .  "), "m_szakvet", "m_szakvet", {kMandatory}},
        {"start before the order", set(&SheetForm::m_szakvet, "2024.04.30"), "m_szakvet", "m_szakvet",
         {"Nem lehet az ápolásba vétel kezdete régebbi, mint az elrendelés!"}},
        {"a good start", set(&SheetForm::m_szakvet, "2024.05.03"), "m_szakvet", "", {}},
        {"order date before 1996.10", set(&SheetForm::m_elrend, "1996.09.30"), "m_elrend", "m_elrend",
         {"Hibás dátum! 1996.10.01 előtti nem lehet!"}},
        {"order date after the period", set(&SheetForm::m_elrend, "2024.06.01"), "m_elrend", "m_elrend",
         {"Nem adhat meg az elszámolási időszakot követő dátumot!"}},
        {"order number not a number", set(&SheetForm::m_elszam, "1x"), "m_elszam", "m_elszam", {kNumbersOnly}},
        {"order number 0", set(&SheetForm::m_elszam, "0"), "m_elszam", "m_elszam",
         {"A folyamatos elrendelés nem lehet 0!"}},
        {"order number not following", set(&SheetForm::m_elszam, "4"), "m_elszam", "m_elszam",
         {"Csak nagyobb lehet az elrendelés száma, mint az előző!"},
         [](const SheetForm& f) { EXPECT_EQ(f.m_elszam, "1"); }},
        {"ordered days 0", set(&SheetForm::m_elviz, "0"), "m_elviz", "m_elviz", {ordered}},
        {"ordered days 51", set(&SheetForm::m_elviz, "51"), "m_elviz", "m_elviz", {ordered}},
        {"ordered days in words", set(&SheetForm::m_elviz, "húsz"), "m_elviz", "m_elviz", {kNumbersOnly}},
        {"billed days 51", set(&SheetForm::m_elszviz, "51"), "m_elszviz", "m_elszviz",
         {"Az eddig elszámolt napszám nem lehet több 50-nél!"}},
        {"billed days past the order",
         [](SheetForm& f) {
             f.m_elviz = "10";
             f.m_elszviz = "12";
         },
         "m_elszviz", "m_elszviz", {"Nem lehet több az elszámolt nap, mint az elrendelés!"}},
        {"billed days with ordered days in words",
         [](SheetForm& f) {
             f.m_elviz = "x";
             f.m_elszviz = "5";
         },
         "m_elszviz", "m_elviz", {kNumbersOnly}},
        {"closing on the period's last day", set(&SheetForm::m_lezdat, "2024.05.31"), "m_lezdat", "", {}},
        {"closing after the period", set(&SheetForm::m_lezdat, "2024.06.01"), "m_lezdat", "m_lezdat",
         {"Nem lehet a lezárás dátuma nagyobb a jelentési időszak végénél!"}},
        {"closing before the start", set(&SheetForm::m_lezdat, "2024.05.01"), "m_lezdat", "m_lezdat",
         {"Nem lehet a lezárás dátuma kisebb, mint az ápolásba vétel dátuma!"}},
        {"closing date impossible", set(&SheetForm::m_lezdat, "2024.04.31"), "m_lezdat", "m_lezdat",
         {"Érvénytelen dátum!"}},
        {"no closing date", set(&SheetForm::m_lezdat, "    .  .  "), "m_lezdat", "", {}},
        {"frequency blank", set(&SheetForm::m_gyak, " "), "m_gyak", "m_gyak", {kMandatory}},
    });
}

TEST(FieldExits, ThePatient) {
    SheetData data;
    data.patient("910000002", "Azonosító Nélküli")
        .sheet({"2024.03", "00002", "", people::patient, {}, {{"SzNap", 7}}});
    data.open();
    const std::string badTaj = tajOf("10000007").substr(0, 8) + "0";
    auto set = [](std::string SheetForm::*field, std::string value) {
        return [=](SheetForm& f) { f.*field = value; };
    };
    run(data, {
        {"a substitute identifier is the next one not in use", set(&SheetForm::m_aztip, "0"), "m_aztip", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.m_taj, "910000003"); }},
        {"type 1 with a wrong check digit",
         [&](SheetForm& f) { f.m_taj = badTaj; }, "m_taj", "m_taj", {"Nem létező TAJ szám!"}},
        {"another type is not digit-tested",
         [&](SheetForm& f) {
             f.m_aztip = "2";
             f.m_taj = badTaj;
         },
         "m_taj", "", {}, [](const SheetForm& f) { EXPECT_FALSE(f.betf); }},
        {"blank identifier", set(&SheetForm::m_taj, ""), "m_taj", "m_taj", {kMandatory}},
        {"a known patient fills the patient's fields and her days",
         [](SheetForm& f) {
             f.m_nev = f.m_cim2 = f.m_szido = f.bnem = f.m_kozigkod = "";
             f.m_aztip = "1";
         },
         "m_taj", "", {},
         [](const SheetForm& f) {
             EXPECT_TRUE(f.betf);
             EXPECT_EQ(f.m_nev, "Minta Mária");
             EXPECT_EQ(f.m_cim1, "Budapest");
             EXPECT_EQ(f.m_szido, "1940.03.04");
             EXPECT_EQ(f.bnem, "Nő");
             EXPECT_EQ(f.tszam, 7);
         }},
        {"a known patient's fields are not checked", [](SheetForm& f) { f.betf = true; f.m_nev = ""; }, "m_nev", "", {}},
        {"a new patient's name is", set(&SheetForm::m_nev, ""), "m_nev", "m_nev", {kMandatory}},
        {"a new patient's street is", set(&SheetForm::m_cim2, ""), "m_cim2", "m_cim2", {kMandatory}},
        {"sex not chosen", set(&SheetForm::bnem, ""), "bnem", "bnem", {"A nem csak nő, vagy férfi lehet!"}},
        {"no settlement", set(&SheetForm::m_kozigkod, ""), "m_kozigkod", "m_kozigkod", {"Nincs ilyen település"}},
        {"a settlement gives its name", set(&SheetForm::m_kozigkod, "0200002"), "m_kozigkod", "m_cim2", {},
         [](const SheetForm& f) { EXPECT_EQ(f.m_cim1, "Érd"); }},
        {"born before 1895", set(&SheetForm::m_szido, "1894.12.31"), "m_szido", "m_szido",
         {"Hibás dátum! 1895 előtti nem lehet!"}},
    });
}

// Leaving the identifier type keeps the identifier a sheet already has: a
// new one would move the sheet to another patient. One is issued only when
// the type becomes "0" or the TAJ field is empty.
TEST(FieldExits, TheSubstituteIdentifierIsIssuedOnlyForANewType) {
    SheetData data;
    data.patient("910000002", "Azonosító Nélküli")
        .sheet({"2024.05", "00002", "A", "910000002", {{2, "1   5", people::nurse1}}, {{"Aztip", "0"}}})
        .sheet({"2024.05", "00003", "", people::patient, {{2, "1   5", people::nurse1}}, {{"Aztip", "1"}}});
    data.open();
    auto stored = [&](const char* sorsz, const char* resz, sheets::EntryMode mode) {
        return sheets::storedSheetForm(data.ctx(), *sheets::loadSheet(data.db(), {sorsz, resz, "2024.05"}), mode);
    };
    const std::string fresh = "910000003";  // the next identifier not in use
    const struct {
        const char* what;
        std::function<SheetForm()> open;
        std::function<void(SheetForm&)> type;  // what the user does before leaving m_aztip
        std::string taj;
    } cases[] = {
        {"modifying a sheet of type 0", [&] { return stored("00002", "A", sheets::EntryMode::Modify); },
         [](SheetForm&) {}, "910000002"},
        {"the next part of a series of type 0", [&] { return stored("00002", "A", sheets::EntryMode::New); },
         [](SheetForm&) {}, "910000002"},
        {"type 0 with the TAJ field emptied", [&] { return stored("00002", "A", sheets::EntryMode::Modify); },
         [](SheetForm& f) { f.m_taj = ""; }, fresh},
        {"a sheet's type changed from 1 to 0", [&] { return stored("00003", "", sheets::EntryMode::Modify); },
         [](SheetForm& f) { f.m_aztip = "0"; }, fresh},
        {"a sheet of type 1 left as it is", [&] { return stored("00003", "", sheets::EntryMode::Modify); },
         [](SheetForm&) {}, people::patient},
        {"a new sheet given type 0", [&] { return sheets::newSheetForm(data.ctx(), sheets::SheetKind::Full); },
         [](SheetForm& f) { f.m_aztip = "0"; }, fresh},
        {"a new sheet's substitute identifier kept when the type is left again",
         [&] { return sheets::newSheetForm(data.ctx(), sheets::SheetKind::Full); },
         [&](SheetForm& f) {
             f.m_aztip = "0";
             sheets::leaveField(f, "m_aztip", data.ctx());
             f.m_taj = "910000077";
         },
         "910000077"},
        {"a chosen patient of type 0 keeps her identifier",
         [&] { return sheets::newSheetForm(data.ctx(), sheets::SheetKind::Full); },
         [&](SheetForm& f) {
             sheets::PatientChoice choice;
             choice.btaj = "910000002", choice.baztip = "0", choice.bnev = "Azonosító Nélküli";
             sheets::patientChosen(f, choice, data.ctx());
         },
         "910000002"},
    };
    for (const auto& c : cases) {
        SheetForm form = c.open();
        c.type(form);
        const sheets::FieldExit exit = sheets::leaveField(form, "m_aztip", data.ctx());
        EXPECT_EQ(exit.focus().control, "") << c.what;
        EXPECT_EQ(form.m_taj, c.taj) << c.what;
        EXPECT_TRUE(exit.findings.empty()) << c.what;
    }
}

TEST(FieldExits, DiagnosesAndDoctors) {
    SheetData data;
    data.open();
    auto set = [](std::string SheetForm::*field, std::string value) {
        return [=](SheetForm& f) { f.*field = value; };
    };
    run(data, {
        {"Z codes are refused before any look-up", set(&SheetForm::m_alapb, "Z9999"), "m_alapb", "m_alapb",
         {"Nem lehet \"Z\"-s kódot beírni!"}},
        {"unknown code", set(&SheetForm::m_fodiag, "C9999"), "m_fodiag", "m_fodiag", {"Nincs a BNO kód a törzsben!"}},
        {"a known code shows its name", set(&SheetForm::m_kiserd, "C5000"), "m_kiserd", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.bno3, "Emlő rosszindulatú daganata"); }},
        {"a blank optional code empties its name",
         [](SheetForm& f) {
             f.m_fekvd = "";
             f.bno1 = "régi";
         },
         "m_fekvd", "", {}, [](const SheetForm& f) { EXPECT_EQ(f.bno1, ""); }},
        {"a blank main diagnosis", set(&SheetForm::m_alapb, ""), "m_alapb", "m_alapb", {kMandatory}},
        {"a known ordering doctor", set(&SheetForm::orv1, ""), "m_eorv", "m_jorv", {},
         [](const SheetForm& f) { EXPECT_EQ(f.orv1, "Dr. Elrendelő"); }},
        {"a new ordering doctor is named in orv1", set(&SheetForm::m_eorv, "999999"), "m_eorvtip", "orv1", {}},
        {"no ordering doctor", set(&SheetForm::m_eorv, ""), "m_eorv", "m_eorv", {kMandatory}},
        {"a known proposing doctor", set(&SheetForm::m_jorv, "654321"), "m_jorv", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.orv2, "Dr. Javasló"); }},
        {"a new proposing doctor", set(&SheetForm::m_jorv, "777777"), "m_jorv", "orv2", {}},
        {"no proposing doctor", [](SheetForm& f) { f.orv2 = "valaki"; }, "m_jorv", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.orv2, ""); }},
        {"leaving orv2 goes to the order's page", [](SheetForm&) {}, "orv2", "m_elrend", {}},
    });
}

TEST(FieldExits, ActivityNursesAndTheVisitGrid) {
    SheetData data;
    data.open();
    const std::string newNurse = tajOf("20000009");
    const std::string nurseNeeded = "A tevékenységeknek megfelelő ápoló nincs kitöltve!";
    run(data, {
        {"a known nurse gets her name", [](SheetForm& f) { f.aptev[2] = people::nurse2; }, "aptev3", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.apnev[2], "Ápoló Bella"); }},
        {"an unknown nurse is named in her name field", [&](SheetForm& f) { f.aptev[2] = newNurse; }, "aptev1",
         "apnev3", {}},
        {"a nurse TAJ with a wrong check digit",
         [](SheetForm& f) { f.aptev[6] = "123456789"; }, "aptev7", "aptev7", {"Nem létező TAJ szám!"}},
        {"a nurse without a name", [&](SheetForm& f) { f.aptev[2] = newNurse; }, "apnev3", "apnev3",
         {"Az ápoló nevét ki kell tölteni!"}},
        {"leaving the last name goes to the grid", [](SheetForm&) {}, "apnev8", "tev1", {}},
        {"activity 1 without its nurse",
         [](SheetForm& f) { f.aptev[0] = ""; }, "tev4", "tev4", {nurseNeeded}},
        {"activity 5 needs nurse 5, not nurse 1",
         [](SheetForm& f) {
             f.aptev[4] = "";
             f.tev[3] = "    5";
         },
         "tev4", "tev4", {nurseNeeded}},
        {"a code with other characters", [](SheetForm& f) { f.tev[3] = "19"; }, "tev4", "tev4",
         {"A tevékenység kódja csak 1 és 8 között lehet!"}},
        {"leaving a visiting nurse counts the days", [](SheetForm&) {}, "aptaj6", "", {},
         [](const SheetForm& f) { EXPECT_EQ(f.vszam, "5"); }},
        {"a day with a nurse and no activity",
         [](SheetForm& f) { f.aptaj[6] = people::nurse2; }, "aptaj7", "tev7", {"A 7. napi adatokat ki kell tölteni!"}},
        {"an unknown visiting nurse",
         [&](SheetForm& f) {
             f.aptaj[9] = newNurse;
             f.tev[9] = "1";
         },
         "aptaj2", "aptaj10", {"Nem szerepel az ápoló a törzsben!"}},
        {"more days than ordered", [](SheetForm& f) { f.m_elviz = "4"; }, "aptaj6", "",
         {"A napok száma nem lehet több 50-nél, és az elrendelt napoknál!"}},
        {"ordered days in words", [](SheetForm& f) { f.m_elviz = "négy"; }, "aptaj6", "", {kNumbersOnly}},
    });
}

// A typed code is kept in its positional form, so the nurse rule reads the
// activities the counting counts: "5" typed at the first position is
// activity 5 and needs aptev5.
TEST(FieldExits, ATypedActivityCodeTakesItsPositionalForm) {
    SheetData data;
    data.open();
    const std::string noNurse = "A tevékenységeknek megfelelő ápoló nincs kitöltve!";
    const std::string badCode = "A tevékenység kódja csak 1 és 8 között lehet!";
    const struct {
        const char* typed;
        bool nurse5;  // aptev5 filled (aptev1 always is)
        std::string focus, message, stored;
    } cases[] = {
        {"5", true, "", "", "    5"},
        {"5", false, "tev4", noNurse, "    5"},
        {"51", true, "", "", "1   5"},
        {" 1 5", false, "tev4", noNurse, "1   5"},
        {"1", false, "", "", "1"},
        {"1   5   ", true, "", "", "1   5"},
        {"15x", true, "tev4", badCode, "15x"},
        {"9", true, "tev4", badCode, "9"},
    };
    for (const auto& c : cases) {
        SheetForm form = completeForm();
        if (!c.nurse5) form.aptev[4] = form.apnev[4] = "";
        form.tev[3] = c.typed;
        const sheets::FieldExit exit = sheets::leaveField(form, "tev4", data.ctx());
        EXPECT_EQ(exit.focus().control, c.focus) << c.typed;
        EXPECT_EQ(findingTexts(exit.findings), c.message.empty() ? std::vector<std::string>{}
                                                               : std::vector<std::string>{c.message})
            << c.typed;
        EXPECT_EQ(form.tev[3], c.stored) << c.typed;
    }
}

TEST(FieldExits, ANamedNurseJoinsTheNursesAtOnce) {
    SheetData data;
    data.open();
    const std::string newNurse = tajOf("20000009");
    SheetForm form = completeForm();
    form.aptev[2] = newNurse;
    form.apnev[2] = "Új Ápoló";
    const sheets::FieldExit exit = sheets::leaveField(form, "apnev3", data.ctx());
    EXPECT_EQ(exit.focus().control, "");
    EXPECT_TRUE(exit.findings.empty());
    EXPECT_EQ(db::Sql(data.db()).run("select anev from apol where aptaj=?", {newNurse}).rows.at(0).at(0).asString(),
              "Új Ápoló");
    data.db().closeAll();
    bool onDisk = false;
    for (const Row& r : readRows(data.dir(), "Apol.dbf")) onDisk = onDisk || r[0].asString() == newNurse;
    EXPECT_TRUE(onDisk);
}

TEST(FieldExits, NothingIsCheckedInViewMode) {
    SheetData data;
    data.open();
    SheetForm form = completeForm();
    form.mode = sheets::EntryMode::View;
    form.m_szakvet = "2024.02.30";
    const sheets::FieldExit exit = sheets::leaveField(form, "m_szakvet", data.ctx());
    EXPECT_EQ(exit.focus().control, "");
    EXPECT_TRUE(exit.findings.empty());
}
