// Opening the entry window on a new or a stored sheet, and the choose
// windows' results.
#include "support/SheetFixture.h"

#include "sheets/SheetEntry.h"
#include "sheets/SheetStore.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using sheets::SheetForm;
using sheets::SheetKind;

TEST(NewSheet, TheYearsNextNumberAndThePeriodsDefaults) {
    SheetData data;
    data.sheet({"2023.12", "00347", "", people::patient, {}})
        .sheet({"2024.02", "00056", "A", people::patient, {}})
        .sheet({"2024.05", "00012", "", people::patient, {}});
    data.open({2024, 6, 10}, "2024.05");
    const SheetForm full = sheets::newSheetForm(data.ctx(), SheetKind::Full);
    EXPECT_EQ(full.m_sorsz, "00057");
    EXPECT_EQ(full.uresz, "");
    EXPECT_EQ(full.m_idosz, "2024.05");
    EXPECT_EQ(full.m_aztip, "1");
    EXPECT_EQ(full.m_terkat, "01");
    EXPECT_EQ(full.m_allp, "HUN");
    EXPECT_EQ(full.m_eorvtip, "1");
    EXPECT_EQ(full.m_elszam, "0");
    EXPECT_EQ(full.m_elviz, "0");
    EXPECT_EQ(full.m_elszviz, "0");
    EXPECT_EQ(full.vszam, "0");
    EXPECT_EQ(full.tnap, 31);
    EXPECT_EQ(full.apdat[30], "2024.05.31");
    EXPECT_EQ(full.mode, sheets::EntryMode::New);
    EXPECT_EQ(sheets::newSheetForm(data.ctx(), SheetKind::FirstPart).m_sorsz, "00057A");
    EXPECT_EQ(sheets::firstControl(full, data.ctx().session), "m_aztip");
    EXPECT_TRUE(sheets::showsPatientCategory(data.ctx().session));

    data.session().acceptPeriod("2024.02", false);
    const SheetForm february = sheets::newSheetForm(data.ctx(), SheetKind::Full);
    EXPECT_EQ(february.tnap, 29);
    EXPECT_EQ(february.apdat[28], "2024.02.29");
    EXPECT_EQ(february.apdat[29], "");

    data.session().acceptPeriod("2015.12", false);
    const SheetForm old = sheets::newSheetForm(data.ctx(), SheetKind::Full);
    EXPECT_EQ(old.m_sorsz, "00001");
    EXPECT_EQ(old.m_aztip, "");
    EXPECT_EQ(old.m_terkat, "");
    EXPECT_EQ(old.m_allp, "");
    EXPECT_EQ(sheets::firstControl(old, data.ctx().session), "m_taj");
    EXPECT_FALSE(sheets::showsPatientCategory(data.ctx().session));
}

TEST(StoredSheet, EveryControlFilledWithTheNamesLookedUp) {
    SheetData data;
    data.sheet({"2024.05", "00012", "A", people::patient,
                {{2, "1   5", people::nurse1}, {3, "1", people::nurse2}},
                {{"Bnofek", "C5000"}, {"Orvkodj", "0"}, {"Orvtip", db::Value()}, {"Elszviz", 4},
                 {"Aptaj5", people::nurse2}, {"Tpotl", "I"}, {"Aztip", "1"}, {"Terkat", "02"}, {"Allamp", "HUN"}}})
        .sheet({"2024.04", "00013", "", people::patient, {}, {{"Orvkodj", "654321"}, {"Orvtip", "2"}}});
    data.open();
    sheets::Sheet sheet = *sheets::loadSheet(data.db(), {"00012", "A", "2024.05"});
    const SheetForm form = sheets::storedSheetForm(data.ctx(), sheet, sheets::EntryMode::Modify);
    EXPECT_EQ(form.m_sorsz, "00012A");
    EXPECT_EQ(form.m_nev, "Minta Mária");
    EXPECT_EQ(form.bnem, "Nő");
    EXPECT_EQ(form.m_cim2, "Fő utca 1.");
    EXPECT_EQ(form.bno1, "Emlő rosszindulatú daganata");
    EXPECT_EQ(form.bno2, "Hörgő vagy tüdő rosszindulatú daganata");
    EXPECT_EQ(form.orv1, "Dr. Elrendelő");
    EXPECT_EQ(form.m_jorv, "");
    EXPECT_EQ(form.orv2, "");
    EXPECT_EQ(form.m_eorvtip, "1");  // after 2024.04 an empty type shows "1"
    EXPECT_EQ(form.m_terkat, "02");
    EXPECT_TRUE(form.CB1);
    EXPECT_EQ(form.apnev[0], "Ápoló Anna");
    EXPECT_EQ(form.apnev[4], "Ápoló Bella");
    EXPECT_EQ(form.tev[1], "1   5");
    EXPECT_EQ(form.aptaj[2], people::nurse2);
    EXPECT_EQ(form.tev[3], "");
    EXPECT_EQ(form.vszam, "2");
    EXPECT_EQ(form.vszame, "4");
    EXPECT_EQ(form.m_elszviz, "4");
    EXPECT_TRUE(form.modifying());

    const SheetForm april = sheets::storedSheetForm(data.ctx(), *sheets::loadSheet(data.db(), {"00013", "", "2024.04"}),
                                                    sheets::EntryMode::View);
    EXPECT_EQ(april.m_jorv, "654321");
    EXPECT_EQ(april.orv2, "Dr. Javasló");
    EXPECT_EQ(april.m_eorvtip, "");  // not stored up to 2024.04
    EXPECT_EQ(april.vszame, "");
    EXPECT_EQ(april.tnap, 30);
    EXPECT_EQ(sheets::firstControl(april, data.ctx().session), "");
}

TEST(ChooseWindows, TheirResultsFillTheFormAndMoveTheFocus) {
    SheetData data;
    data.sheet({"2024.03", "00002", "", people::patient, {}, {{"SzNap", 7}}});
    data.open();
    SheetForm form = sheets::newSheetForm(data.ctx(), SheetKind::Full);
    const sheets::PatientChoice patient{people::patient, "1", "Minta Mária", "N", "0100001", "Budapest",
                                        "Fő utca 1.", "Pécs", "1940.03.04"};
    EXPECT_EQ(sheets::patientChosen(form, patient, data.ctx()).focus().control, "CB1");
    EXPECT_EQ(form.m_taj, people::patient);
    EXPECT_EQ(form.bnem, "Nő");
    EXPECT_TRUE(form.betf);
    EXPECT_EQ(form.tszam, 7);
    EXPECT_EQ(sheets::patientChosen(form, {}, data.ctx()).focus().control, "");

    EXPECT_EQ(sheets::settlementChosen(form, "", "").control, "m_kozigkod");
    EXPECT_EQ(sheets::settlementChosen(form, "0200002", "Érd").control, "m_cim2");
    EXPECT_EQ(form.m_cim1, "Érd");
    EXPECT_EQ(sheets::diagnosisChosen(form, "m_fodiag", "C5000", "Emlő").control, "m_fodiag");
    EXPECT_EQ(form.m_fodiag, "C5000");
    EXPECT_EQ(form.bno4, "Emlő");
    EXPECT_EQ(sheets::doctorChosen(form, 'E', "", "").control, "m_eorv");
    EXPECT_EQ(sheets::doctorChosen(form, 'E', "123456", "Dr. Elrendelő").control, "m_jorv");
    sheets::doctorChosen(form, 'J', "654321", "Dr. Javasló");
    EXPECT_EQ(form.m_jorv, "654321");
    EXPECT_EQ(form.orv2, "Dr. Javasló");
    sheets::nurseChosen(form, "aptev3", people::nurse2);
    sheets::nurseChosen(form, "aptaj17", people::nurse1);
    EXPECT_EQ(form.aptev[2], people::nurse2);
    EXPECT_EQ(form.aptaj[16], people::nurse1);
    sheets::activitiesChosen(form, 17, "1   5  8");
    sheets::activitiesChosen(form, 18, "");
    EXPECT_EQ(form.tev[16], "1   5  8");
    EXPECT_EQ(form.tev[17], "");
}
