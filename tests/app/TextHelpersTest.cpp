#include "app/TextHelpers.h"

#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmora::app;
using velmora::test::ScriptedDialogs;
using Messages = std::vector<std::string>;

namespace {
const char* kInvalidPeriod = "Érvénytelen időszak!!";
const char* kBefore1999 = "Nem adhat meg 1999.06 előtti időszakot!";
const char* kFuture = "Nem adhat meg előre időszakot!";
const char* kInvalidDate = "Érvénytelen dátum!!";
const char* kBefore1895 = "Hibás dátum! 1895 előtti nem lehet!";
const char* kBefore1996 = "Hibás dátum! 1996.10.01 előtti nem lehet!";
const char* kAfterPeriod = "Nem adhat meg az elszámolási időszakot követő dátumot!";
} // namespace

TEST(TextHelpers, IsValidDateTextWantsARealDayInTheProgramsFormat) {
    EXPECT_TRUE(IsValidDateText("2024.02.29"));
    EXPECT_FALSE(IsValidDateText("2023.02.29"));
    EXPECT_FALSE(IsValidDateText("2024.13.01"));
    EXPECT_FALSE(IsValidDateText("2024.01.5"));
    EXPECT_FALSE(IsValidDateText("    .  .01"));
}

TEST(TextHelpers, CheckPeriodTriesEveryRuleAndShowsEachFailure) {
    const struct { Date today; const char* period; bool ok; Messages messages; } cases[] = {
        {{2024, 6, 10}, "1999.05", false, {kBefore1999}},
        {{2024, 6, 10}, "1999.06", true, {}},
        {{2024, 6, 10}, "2024.06", true, {}},
        {{2024, 6, 1}, "2024.06", true, {}},  // today is the period's first day
        {{2024, 6, 10}, "2024.07", false, {kFuture}},
        {{2024, 6, 10}, "2023.13", false, {kInvalidPeriod}},
        {{2025, 1, 15}, "2024.13", false, {kInvalidPeriod}},
        {{2024, 6, 10}, "2024.13", false, {kInvalidPeriod, kFuture}},
        {{2024, 6, 10}, "1998.13", false, {kInvalidPeriod, kBefore1999}},
        {{2024, 6, 10}, "    .  ", false, {kInvalidPeriod, kBefore1999}},  // empty mask
    };
    for (const auto& c : cases) {
        FixedClock clock(c.today);
        ScriptedDialogs dialogs;
        EXPECT_EQ(CheckPeriod(c.period, clock, dialogs), c.ok) << c.period << " on " << c.today.text();
        EXPECT_EQ(dialogs.errors(), c.messages) << c.period << " on " << c.today.text();
        EXPECT_EQ(dialogs.log().size(), c.messages.size()) << "only error boxes";
    }
}

TEST(TextHelpers, DateChecksBoundTheDateByTheirYearAndTheCurrentPeriodsEnd) {
    using Check = bool (*)(const std::string&, const std::string&, Dialogs&);
    const struct { Check check; const char* period; const char* date; bool ok; Messages messages; } cases[] = {
        {CheckDateFrom1895, "2024.02", "1894.12.31", false, {kBefore1895}},
        {CheckDateFrom1895, "2024.02", "1895.01.01", true, {}},
        {CheckDateFrom1895, "2024.02", "2024.02.29", true, {}},
        {CheckDateFrom1895, "2024.02", "2024.03.01", false, {kAfterPeriod}},
        {CheckDateFrom1895, "2023.02", "2023.02.29", false, {kInvalidDate}},
        {CheckDateFrom1895, "2024.02", "", false, {kInvalidDate}},
        {CheckDateFrom1895, "2024.12", "2024.12.31", true, {}},
        {CheckDateFrom1996, "2024.02", "1996.09.30", false, {kBefore1996}},
        {CheckDateFrom1996, "2024.02", "1996.10.01", true, {}},
        {CheckDateFrom1996, "2023.02", "2023.02.28", true, {}},
        {CheckDateFrom1996, "2023.02", "2023.03.01", false, {kAfterPeriod}},
        {CheckDateFrom1996, "1996.05", "1996.06.01", false, {kBefore1996, kAfterPeriod}},
        // a current period that is no month fails the check silently
        {CheckDateFrom1895, "2024.13", "2024.01.01", false, {}},
        {CheckDateFrom1996, "", "2024.01.01", false, {}},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        EXPECT_EQ(c.check(c.date, c.period, dialogs), c.ok) << c.date << " in " << c.period;
        EXPECT_EQ(dialogs.errors(), c.messages) << c.date << " in " << c.period;
    }
}

TEST(TextHelpers, TajCheckDigitIsTheWeightedSumsLastDigit) {
    const struct { const char* taj; bool ok; } cases[] = {
        {"123456788", true},   // 3+14+9+28+15+42+21+56 = 188
        {"987654322", true},   // 212
        {"000000000", true},
        {"123456789", false},
        {"123456787", false},
        {"12345678A", false},
        {"1234a6788", false},
        {"12345678", false},   // no ninth position
        {"1234567888", false},
        {"", true},            // blank: whether it is required is the caller's check
        {"         ", true},
    };
    for (const auto& c : cases) EXPECT_EQ(TajCheckDigitOk(c.taj), c.ok) << '"' << c.taj << '"';
}

TEST(TextHelpers, IsBlankAcceptsOnlyFillCharacters) {
    const struct { std::string text; bool blank; } cases[] = {
        {"", true},
        {"   ", true},
        {std::string("\0 \0", 3), true},
        {"\xC2\xA0", true},        // no-break space, code 255 of code page 852
        {"\xC3\xBF", true},        // U+00FF
        {"\xFF\xFF", true},        // raw fill bytes
        {" a ", false},
        {"\t", false},
        {"\xC3\xA1", false},       // á
    };
    for (const auto& c : cases) EXPECT_EQ(IsBlank(c.text), c.blank) << '"' << c.text << '"';
}

TEST(TextHelpers, CheckMandatoryComplainsAboutBlankFields) {
    ScriptedDialogs dialogs;
    EXPECT_TRUE(CheckMandatory("x", dialogs));
    EXPECT_FALSE(CheckMandatory("", dialogs));
    EXPECT_FALSE(CheckMandatory("   ", dialogs));
    EXPECT_EQ(dialogs.errors(), (Messages{"A mező kitöltése kötelező!", "A mező kitöltése kötelező!"}));
}

TEST(TextHelpers, CheckNotZCodeRefusesChapterZ) {
    ScriptedDialogs dialogs;
    EXPECT_TRUE(CheckNotZCode("C6190", dialogs));
    EXPECT_TRUE(CheckNotZCode("", dialogs));
    EXPECT_TRUE(dialogs.log().empty());
    EXPECT_FALSE(CheckNotZCode("Z5190", dialogs));
    EXPECT_EQ(dialogs.errors(), (Messages{"Nem lehet \"Z\"-s kódot beírni!"}));
}

TEST(TextHelpers, DaysInPeriodFollowsTheLeapYearRules) {
    const struct { const char* period; int days; } cases[] = {
        {"2024.02", 29}, {"2023.02", 28}, {"2000.02", 29}, {"1900.02", 28},
        {"2024.01", 31}, {"2024.04", 30}, {"2024.12", 31},
    };
    for (const auto& c : cases) EXPECT_EQ(DaysInPeriod(c.period), c.days) << c.period;
    EXPECT_THROW(DaysInPeriod("2024.13"), std::invalid_argument);
    EXPECT_THROW(DaysInPeriod("2024.2"), std::invalid_argument);
}

TEST(TextHelpers, TwoDigits) {
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(5), "05");
    EXPECT_EQ(TwoDigits(10), "10");
    EXPECT_EQ(TwoDigits(123), "123");
}

TEST(TextHelpers, PaddingCutsAndFillsByCharactersNotBytes) {
    const struct { bool left; std::string text; int width; std::string fill, expected; } cases[] = {
        {true, "42", 5, "0", "00042"},
        {true, "123456", 5, "0", "12345"},
        {true, "910000012", 9, "0", "910000012"},
        {true, "abc", 5, "", "  abc"},
        {true, "", 3, "0", "000"},
        {true, "árvíz", 7, "ő", "őőárvíz"},
        {true, "ab", 0, "0", ""},
        {false, "Alapdíj: ", 12, " ", "Alapdíj:    "},
        {false, "árvíztűrő", 12, ".", "árvíztűrő..."},
        {false, "árvíztűrő", 4, " ", "árví"},
        {false, "ab", 5, "xy", "abxyx"},
        {false, "ab", 5, "", "ab   "},
        {false, "ab", -1, " ", ""},
    };
    for (const auto& c : cases) {
        const std::string got = c.left ? PadLeft(c.text, c.width, c.fill) : PadRight(c.text, c.width, c.fill);
        EXPECT_EQ(got, c.expected) << (c.left ? "PadLeft " : "PadRight ") << c.text << " " << c.width;
    }
}

TEST(TextHelpers, SureDirEndsAPathWithOneSeparator) {
    EXPECT_EQ(SureDir("/home/x/DATA"), "/home/x/DATA/");
    EXPECT_EQ(SureDir("/home/x/DATA/"), "/home/x/DATA/");
    EXPECT_EQ(SureDir("/"), "/");
    EXPECT_EQ(SureDir(""), "");
}

// Pasted or typed text for a one-line field: tabs and line breaks become one
// space each, other control characters go, every other character stays.
TEST(TextHelpers, CleanTypedTextKeepsOneLineOfPrintableText) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Kovács\tÉva\nmásodik sor", "Kovács Éva második sor"},
        {"sor1\r\nsor2\rsor3", "sor1 sor2 sor3"},
        {"a\x01" "b\x1b" "c\x7f" "d", "abcd"},
        {"C1:\xc2\x85vége", "C1:vége"},                   // U+0085, a C1 control
        {"sor\xe2\x80\xa8köz", "sor köz"},                 // U+2028, a line separator
        {"Őri Éva §12 \xc2\xa0ű", "Őri Éva §12 \xc2\xa0ű"},  // the no-break space stays
        {"rossz\xff" "bájt", "rossz\xff" "bájt"},          // a malformed byte is left for the code page
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cleanTypedText(c.in), c.out) << c.in;
        EXPECT_EQ(hasControlCharacters(c.in), std::string(c.in) != c.out) << c.in;
    }
}
