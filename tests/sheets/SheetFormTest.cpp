// The entry window's controls as the form holds them: each name reaches
// its own member, the typed ones come in the window's tab order, and each
// takes only what its field holds.
#include "sheets/SheetForm.h"

#include <gtest/gtest.h>

#include <set>

using namespace velmora;
using sheets::SheetForm;

TEST(SheetForm, EachControlNameReachesItsOwnMember) {
    SheetForm form;
    const struct { const char* control; std::string* member; } cases[] = {
        {"m_taj", &form.m_taj},         {"m_gyak", &form.m_gyak},     {"m_lezdat", &form.m_lezdat},
        {"orv2", &form.orv2},           {"bno1", &form.bno1},         {"bno4", &form.bno4},
        {"m_sorsz", &form.m_sorsz},     {"m_idosz", &form.m_idosz},   {"vszam", &form.vszam},
        {"vszame", &form.vszame},       {"aptev1", &form.aptev[0]},   {"aptev8", &form.aptev[7]},
        {"apnev3", &form.apnev[2]},     {"apdat1", &form.apdat[0]},   {"apdat31", &form.apdat[30]},
        {"tev17", &form.tev[16]},       {"aptaj9", &form.aptaj[8]},   {"aptaj31", &form.aptaj[30]},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(form.text(c.control), c.member) << c.control;
        EXPECT_EQ(std::as_const(form).text(c.control), c.member) << c.control;
    }
    // bnem and CB1 are no text controls; nor are numbers past the rows.
    for (const char* none : {"bnem", "CB1", "", "tev", "tev0", "tev01", "tev32", "aptev9", "apnev0", "m_tajx", "tev1x"})
        EXPECT_EQ(form.text(none), nullptr) << none;

    // Every name of the window reaches a member no other name reaches.
    std::vector<std::string> names = SheetForm::textControls();
    for (const char* display : {"m_sorsz", "m_idosz", "vszam", "vszame", "bno1", "bno2", "bno3", "bno4"})
        names.push_back(display);
    for (int d = 1; d <= sheets::kMaxDays; ++d) names.push_back("apdat" + std::to_string(d));
    std::set<const std::string*> members;
    for (const std::string& name : names) {
        const std::string* member = form.text(name);
        ASSERT_NE(member, nullptr) << name;
        EXPECT_TRUE(members.insert(member).second) << name << " shares its member";
    }
}

TEST(SheetForm, TheTypedControlsComeInTheWindowsTabOrder) {
    std::vector<std::string> want = {"m_aztip", "m_taj",  "m_nev",   "m_kozigkod", "m_cim1",    "m_cim2",   "m_szh",
                                     "m_szido", "m_terkat", "m_allp", "m_fekvd",   "m_alapb",   "m_kiserd", "m_fodiag",
                                     "m_eorv",  "m_eorvtip", "orv1",  "m_jorv",    "orv2",      "m_elrend", "m_szakvet",
                                     "m_elviz", "m_gyak",  "m_elszam", "m_elszviz", "m_lezdat"};
    for (int k = 1; k <= sheets::kActivities; ++k)
        for (const char* row : {"aptev", "apnev"}) want.push_back(row + std::to_string(k));
    for (int d = 1; d <= sheets::kMaxDays; ++d)
        for (const char* row : {"tev", "aptaj"}) want.push_back(row + std::to_string(d));
    EXPECT_EQ(SheetForm::textControls(), want);
}

TEST(SheetForm, ControlsTakeTheWidthOfTheFieldTheyFeed) {
    const struct { const char* control; int width; } cases[] = {
        {"m_aztip", 1},   {"m_taj", 9},     {"m_nev", 25},    {"m_kozigkod", 7}, {"m_cim1", 25},  {"m_cim2", 25},
        {"m_szh", 25},    {"m_szido", 10},  {"m_terkat", 2},  {"m_allp", 3},     {"m_fekvd", 5},  {"m_alapb", 5},
        {"m_kiserd", 5},  {"m_fodiag", 5},  {"m_eorv", 6},    {"m_eorvtip", 1},  {"orv1", 25},    {"m_jorv", 6},
        {"orv2", 25},     {"m_elrend", 10}, {"m_szakvet", 10}, {"m_elviz", 2},   {"m_gyak", 15},  {"m_elszam", 3},
        {"m_elszviz", 2}, {"m_lezdat", 10}, {"aptev1", 9},    {"aptev8", 9},     {"apnev4", 25},  {"tev1", 8},
        {"tev31", 8},     {"aptaj1", 9},    {"aptaj31", 9},
        // displays, and names of no control
        {"m_sorsz", 0},   {"m_idosz", 0},   {"vszam", 0},     {"vszame", 0},     {"apdat5", 0},   {"bno2", 0},
        {"bnem", 0},      {"tev32", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(sheets::controlWidth(c.control), c.width) << c.control;
    // Nothing the user types is unbounded.
    for (const std::string& name : SheetForm::textControls()) EXPECT_GT(sheets::controlWidth(name), 0) << name;
}
