// The search text of the browse grids, key by key, and the row it finds on
// a real patient table.
#include "app/IncrementalSearch.h"
#include "db/Database.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::app;

namespace {

// Plays keystrokes: a character is key down, the character, key up;
// '<' Backspace, '\n' Enter (both with their character), '^' Shift down,
// '_' Shift up, '>' the down arrow (no character).
void play(IncrementalSearch& s, const std::u32string& keys, int column, const std::string& current) {
    auto stroke = [&](int key, char32_t ch) {
        s.keyDown(key);
        if (ch) s.keyPress(ch, column, current);
        s.keyUp(key);
    };
    for (char32_t k : keys) {
        switch (k) {
        case U'<': stroke(vk::Back, 8); break;
        case U'\n': stroke(vk::Return, 13); break;
        case U'^': s.keyDown(vk::Shift); break;
        case U'_': s.keyUp(vk::Shift); break;
        case U'>': stroke(vk::Down, 0); break;
        case U' ': stroke(vk::Space, U' '); break;
        default: stroke(k >= U'a' && k <= U'z' ? int(k - 32) : k < 128 ? int(k) : 0xDE, k);
        }
    }
}

struct Case {
    const char* name;
    SearchRules rules;
    int column;
    std::string current;  // the current row's value in the column
    std::u32string keys;
    std::string text;
};

SearchRules sheet() { return {.spaceIsCharacter = false, .keyUpRule = false, .fixedLimits = {{0, 5}, {2, 9}}}; }
SearchRules noKeyUp() { return {.spaceIsCharacter = true, .keyUpRule = false, .fixedLimits = {}}; }

std::vector<Case> cases() {
    return {
    {"letters upper-cased", {}, 1, "Ábrahám Ilona", U"kov", "KOV"},
    {"accented letters as typed", {}, 1, "Ábrahám Ilona", U"kö", "Kö"},
    {"beyond the current value's length dropped", {}, 1, "Kovác    ", U"kovácsné", "KOVáC"},
    {"backspace takes two with the key-up rule", {}, 1, "Ábrahám Ilona", U"kov<", "K"},
    {"backspace takes one without it", noKeyUp(), 1, "Ábrahám Ilona", U"kov<", "KO"},
    {"backspace on an accented letter", noKeyUp(), 1, "Ábrahám Ilona", U"kö<", "K"},
    {"shift down clears", noKeyUp(), 1, "Ábrahám Ilona", U"ko^v_", "V"},
    {"shift up clears too with the key-up rule", {}, 1, "Ábrahám Ilona", U"ko^v_", ""},
    {"next character after shift starts anew", {}, 1, "Ábrahám Ilona", U"ko^v_a", "A"},
    {"space collected", {}, 1, "Ábrahám Ilona", U"ko v", "KO V"},
    {"enter clears", {}, 1, "Ábrahám Ilona", U"ko\n", ""},
    {"arrow clears", {}, 0, "123456789", U"12>3", "3"},
    {"third column collects nothing", {}, 2, "N", U"n", ""},
    {"sheet: space clears", sheet(), 2, "", U"12 3", "3"},
    {"sheet: number column stops at 5", sheet(), 0, "", U"1234567", "12345"},
    {"sheet: other columns collect nothing", sheet(), 1, "A", U"a", ""},
    };
}

class KeyRules : public ::testing::TestWithParam<Case> {};

TEST_P(KeyRules, SearchText) {
    const Case& c = GetParam();
    IncrementalSearch s(c.rules);
    play(s, c.keys, c.column, c.current);
    EXPECT_EQ(s.text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(Browse, KeyRules, ::testing::ValuesIn(cases()), [](const auto& info) {
    std::string n;
    for (char ch : std::string(info.param.name)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return n;
});

TEST(IncrementalSearch, ShownTrimmed) {
    IncrementalSearch s;
    play(s, U" ko ", 1, "Ábrahám Ilona");
    EXPECT_EQ(s.text(), " KO ");
    EXPECT_EQ(s.shown(), "KO");
}

TEST(IncrementalSearch, FindsInNameOrderOnTheTable) {
    test::TempDir dir;
    db::Database dbs(dir.str() + "/");
    db::Table& beteg = dbs.table("BETEG", "Beteg.dbf");
    beteg.create({db::FieldDef::character("TAJ", 9), db::FieldDef::character("NEV", 30)});
    beteg.open();
    beteg.addIndex("Beteg2", "NEV");
    int taj = 100000000;
    for (const char* name : {"Zala Péter", "Kovacs Zoltán", "Kozma Ede", "Kövér Béla", "kovács Anna", "Ábrahám Ilona",
                             "Kóbor Jenő"}) {
        beteg.append();
        beteg.setField("TAJ", db::Value(std::to_string(++taj)));
        beteg.setField("NEV", db::Value(name));
        beteg.post();
    }
    beteg.setActiveIndex("Beteg2");
    beteg.first();

    IncrementalSearch s;
    std::vector<std::string> found;
    for (char32_t ch : std::u32string(U"kov")) {
        s.keyDown(int(ch - 32));
        s.keyPress(ch, 1, beteg.text("NEV"));
        EXPECT_TRUE(s.locate(beteg, "NEV"));
        found.push_back(beteg.text("NEV"));
        s.keyUp(int(ch - 32));
    }
    EXPECT_EQ(s.text(), "KOV");
    // Hungarian order: Kóbor before Kovács; kovács Anna before Kovacs Zoltán.
    EXPECT_EQ(found, (std::vector<std::string>{"Kóbor Jenő", "kovács Anna", "kovács Anna"}));

    // No match leaves the cursor; neither does an empty text move it.
    s.keyPress(U'x', 1, beteg.text("NEV"));
    EXPECT_FALSE(s.locate(beteg, "NEV"));
    s.keyPress(13, 1, beteg.text("NEV"));
    EXPECT_FALSE(s.locate(beteg, "NEV"));
    EXPECT_EQ(beteg.text("NEV"), "kovács Anna");
}

} // namespace
