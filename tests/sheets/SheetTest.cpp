// The sheet model: kinds and part letters, the year's numbering, the field
// rules by period and the two readings of an activity code.
#include "SheetTablesDir.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "sheets/Sheet.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;
using sheets::ActivityCode;
using sheets::SheetKind;

TEST(SheetKind, ThePartLetterTellsTheKindAndTheNextLetterFollowsCharacterOrder) {
    EXPECT_EQ(sheets::kindOf(""), SheetKind::Full);
    EXPECT_EQ(sheets::kindOf(" "), SheetKind::Full);
    EXPECT_EQ(sheets::kindOf("A"), SheetKind::FirstPart);
    EXPECT_EQ(sheets::kindOf("B"), SheetKind::NextPart);
    EXPECT_EQ(sheets::kindOf("L"), SheetKind::NextPart);

    EXPECT_EQ(sheets::nextPartLetter(""), "A");
    EXPECT_EQ(sheets::nextPartLetter("A"), "B");
    EXPECT_EQ(sheets::nextPartLetter("K"), "L");
    for (const char* damaged : {"Z", "a", "AB", "1"})
        EXPECT_THROW(sheets::nextPartLetter(damaged), app::UserError) << damaged;
}

namespace {

void addHeader(db::Table& hlapa, const char* period, const char* sorsz, const char* resz = "") {
    std::vector<db::Value> row(hlapa.fields().size());
    row[hlapa.fieldIndex("Idoszak")] = period;
    if (*sorsz) row[hlapa.fieldIndex("Sorsz")] = sorsz;
    if (*resz) row[hlapa.fieldIndex("Resz")] = resz;
    hlapa.appendValues(row);
}

} // namespace

TEST(SheetNumber, TheYearsLargestNumberPlusOnePassingOverDamagedNumbersAndTheRegistersFilter) {
    SheetTablesDir tables;
    db::Table& hlapa = tables.hlapa();
    addHeader(hlapa, "2023.12", "00347");
    addHeader(hlapa, "2024.03", "00056", "A");
    addHeader(hlapa, "2024.11", "00012");
    addHeader(hlapa, "2024.05", "ABCDE");  // damaged: text would sort after every number
    addHeader(hlapa, "2024.06", "99A99");
    addHeader(hlapa, "2024.07", "");
    addHeader(hlapa, "2025.01", "00003");
    addHeader(hlapa, "2022.04", "X0001");  // the year holds only a damaged number
    // The register shows one month; the numbering counts the whole year.
    hlapa.setFilter("idoszak='2024.11'");

    const struct { const char* year; const char* next; } cases[] = {
        {"2024", "00057"},  // the largest whatever its month or part
        {"2023", "00348"},
        {"2025", "00004"},  // a new year starts again, whatever the last one reached
        {"2026", "00001"},
        {"2022", "00001"},
    };
    for (const auto& c : cases) EXPECT_EQ(sheets::nextSheetNumber(tables.db, c.year), c.next) << c.year;
}

TEST(SheetNumber, FiveDigitsOrARefusal) {
    EXPECT_EQ(sheets::formatSheetNumber(1), "00001");
    EXPECT_EQ(sheets::formatSheetNumber(348), "00348");
    EXPECT_EQ(sheets::formatSheetNumber(99999), "99999");
    EXPECT_THROW(sheets::formatSheetNumber(100000), app::UserError);
    EXPECT_THROW(sheets::formatSheetNumber(0), app::UserError);
}

TEST(SheetNumber, AFailingQueryThrowsInsteadOfNumberingFromOne) {
    SheetTablesDir tables;
    tables.hlapa().close();
    EXPECT_THROW(sheets::nextSheetNumber(tables.db, "2024"), db::DbError);
}

TEST(PeriodRules, PatientCategoryFrom2016AndDoctorTypeAfterApril2024) {
    const struct { const char* period; bool category, doctorType; } cases[] = {
        {"2015.12", false, false}, {"2016.01", true, false}, {"2024.04", true, false}, {"2024.05", true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(sheets::recordsPatientCategory(c.period), c.category) << c.period;
        EXPECT_EQ(sheets::recordsDoctorType(c.period), c.doctorType) << c.period;
    }
}

TEST(ActivityCode, PositionsForTheNursesRuleDigitsAnywhereForTheCounting) {
    // Per activity 1..8: whether the code lists it at its position, and
    // whether it mentions it anywhere.
    const struct { const char* code; const char* listsAt; const char* mentions; } cases[] = {
        {"1 3     ", "10100000", "10100000"},
        {"5", "00000000", "00001000"},  // typed by hand: needs no nurse of activity 5, still counts
        {"15", "10000000", "10001000"},
        {"   4", "00010000", "00010000"},
        {"12345678", "11111111", "11111111"},
        {"87654321", "00000000", "11111111"},
        {"", "00000000", "00000000"},
    };
    for (const auto& c : cases) {
        const ActivityCode code{c.code};
        for (int k = 1; k <= sheets::kActivities; ++k) {
            EXPECT_EQ(code.listsAt(k), c.listsAt[k - 1] == '1') << '"' << c.code << "\" at " << k;
            EXPECT_EQ(code.mentions(k), c.mentions[k - 1] == '1') << '"' << c.code << "\" mentions " << k;
        }
        EXPECT_FALSE(code.listsAt(0) || code.mentions(0) || code.listsAt(9) || code.mentions(9)) << c.code;
    }
}

TEST(ActivityCode, TheChoosersCodeHoldsEachChosenDigitAtItsOwnPlace) {
    auto choice = [](std::initializer_list<int> ks) {
        std::array<bool, sheets::kActivities> chosen{};
        for (int k : ks) chosen[static_cast<size_t>(k - 1)] = true;
        return ActivityCode::fromChoice(chosen);
    };
    EXPECT_EQ(choice({1, 5, 8}), "1   5  8");
    EXPECT_EQ(choice({2, 5}), " 2  5   ");
    EXPECT_EQ(choice({}), "        ");
    EXPECT_EQ(choice({1, 2, 3, 4, 5, 6, 7, 8}), "12345678");

    // The chooser lists each activity as its code, a space and its name;
    // the code is what it writes.
    const auto& names = sheets::ActivityNames();
    for (int k = 1; k <= sheets::kActivities; ++k)
        EXPECT_EQ(names[static_cast<size_t>(k - 1)].substr(0, 2), std::to_string(k) + " ");
    EXPECT_EQ(names[0], "1 Szakápolás");
    EXPECT_EQ(names[7], "8 Gyógyszerelés tervezés/ellenörzés");
}
