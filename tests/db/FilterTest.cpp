// Record filters evaluated against in-memory records: the conditions the
// program sets on its shared tables, the blank rules, the Hungarian text
// order, typed constants and the error messages.
#include "db/DbError.h"
#include "db/Filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velmora::db;

namespace {

// One record with a name, so a test can state which rows a filter keeps.
struct Row : RecordSource {
    std::string name;
    std::vector<Value> values;
    Row(std::string n, std::vector<Value> v) : name(std::move(n)), values(std::move(v)) {}
    Value value(int i) const override { return values.at(i); }
};

std::vector<std::string> kept(const std::string& expression, const FieldList& fields,
                              const std::vector<Row>& rows, bool caseInsensitive = false) {
    const Filter f = Filter::compile(expression, fields, caseInsensitive);
    std::vector<std::string> names;
    for (const Row& r : rows)
        if (f.matches(r))
            names.push_back(r.name);
    return names;
}

using Names = std::vector<std::string>;
const Value blank;

// Billing sheet headers: the fields the register's filters test.
const FieldList sheetFields = {
    FieldDef::character("SORSZ", 6),    FieldDef::character("RESZ", 1),
    FieldDef::character("IDOSZAK", 7),  FieldDef::character("ELKULDVE", 7),
    FieldDef::character("MODTIPUS", 1), FieldDef::character("TELE", 1),
};

//                                 sorsz   resz idoszak    elkuldve   modtipus tele
const std::vector<Row> sheets = {
    {"unsent",        {"000001", "A", "2024.03", blank,     blank, blank}},
    {"sentNow",       {"000002", "A", "2024.05", "2024.05", blank, "*"}},
    {"sentBefore",    {"000003", "B", "2024.02", "2024.04", blank, blank}},
    {"tooOld",        {"000004", "A", "2023.12", blank,     blank, blank}},
    {"resend",        {"000005", "A", "2023.11", "YY",      "K",   blank}},
    {"sentOldYY",     {"000006", "A", "2023.11", "YY",      blank, blank}},
    {"lateSentNow",   {"000007", "A", "2024.02", "2024.05", "P",   blank}},
    {"cancelSentNow", {"000008", "A", "2023.10", "2024.05", "S",   blank}},
    {"nextMonth",     {"000009", "A", "2024.06", blank,     blank, blank}},
};

TEST(Filter, SheetRegisterConditions) {
    struct Case { const char* expression; Names expected; };
    const Case cases[] = {
        // sending mode for 2024.05
        {"(idoszak>='2024.01' and idoszak<='2024.05' and (elkuldve is null or elkuldve='2024.05')) "
         "or (elkuldve='YY' and modtipus<>null) or (elkuldve='2024.05' and modtipus<>null)",
         {"unsent", "sentNow", "resend", "lateSentNow", "cancelSentNow"}},
        // recording mode: the year of the period
        {"idoszak>='2024.01' and idoszak<='2024.12'",
         {"unsent", "sentNow", "sentBefore", "lateSentNow", "nextMonth"}},
        // first partial invoices of the year with an unfilled series
        {"idoszak>='2024.01' and idoszak<='2024.12' and resz='A' and tele <> '*'",
         {"unsent", "lateSentNow", "nextMonth"}},
        // bulk mark of the month, open and closed period
        {"idoszak='2024.05' and (elkuldve is null or elkuldve= '2024.05') ", {"sentNow"}},
        {"(elkuldve= '2024.05' or idoszak='2024.05') ", {"sentNow", "lateSentNow", "cancelSentNow"}},
        // "and" binds tighter than "or"; parentheses override it
        {"idoszak='2024.02' or idoszak='2024.03' and elkuldve='2024.04'", {"sentBefore", "lateSentNow"}},
        {"(idoszak='2024.02' or idoszak='2024.03') and elkuldve='2024.04'", {"sentBefore"}},
        {"elkuldve='YY' or elkuldve='2024.04' or modtipus='S'", {"sentBefore", "resend", "sentOldYY", "cancelSentNow"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kept(c.expression, sheetFields, sheets), c.expected) << c.expression;
}

TEST(Filter, KeywordsSpacingAndQuotesDoNotChangeTheMeaning) {
    const Names expected = kept("idoszak='2024.05' and (elkuldve is null or elkuldve='2024.05')", sheetFields, sheets);
    ASSERT_EQ(expected, Names{"sentNow"});
    for (const char* variant : {
             "IDOSZAK='2024.05' AND (ELKULDVE IS NULL OR ELKULDVE=\"2024.05\")",
             "  Idoszak  =  '2024.05'And(  elkuldve Is   Null oR elkuldve = '2024.05 ' )  ",
             "\tidoszak='2024.05'\nand (elkuldve=null or elkuldve<>null and elkuldve=\"2024.05\")",
         })
        EXPECT_EQ(kept(variant, sheetFields, sheets), expected) << variant;
}

// A blank field is null: only the blank tests and "<>" hold for it.
TEST(Filter, BlankFieldRules) {
    const FieldList fields = {FieldDef::character("M", 1), FieldDef::date("LEZDAT"), FieldDef::numeric("ORASZ", 5, 1)};
    const std::vector<Row> rows = {
        {"null", {blank, blank, blank}},
        {"spaces", {"   ", blank, blank}},
        {"X", {"X", "2024.05.10", Decimal(75, 1)}},
    };
    struct Case { const char* expression; Names expected; };
    const Case cases[] = {
        {"m = 'X'", {"X"}},
        {"m <> 'X'", {"null", "spaces"}},
        {"m <> 'Y'", {"null", "spaces", "X"}},
        {"m < 'Y'", {"X"}},
        {"m >= 'A'", {"X"}},
        {"m is null", {"null", "spaces"}},
        {"m is not null", {"X"}},
        {"m=null", {"null", "spaces"}},
        {"m<>null", {"X"}},
        {"m = ''", {"null", "spaces"}},
        {"m <> ' '", {"X"}},
        {"lezdat is null", {"null", "spaces"}},
        {"lezdat<'2030.01.01'", {"X"}},
        {"lezdat<>'2024.05.11'", {"null", "spaces", "X"}},
        {"orasz<>7.5", {"null", "spaces"}},
        {"orasz<=7.5", {"X"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kept(c.expression, fields, rows), c.expected) << c.expression;
}

// Contracted employees and contract periods: date fields with open ends.
TEST(Filter, DateRangesWithOpenEnds) {
    const FieldList fields = {FieldDef::character("NEV", 30), FieldDef::date("KEZD"), FieldDef::date("VEG")};
    const std::vector<Row> staff = {
        {"openEnded",     {"a", "2002.03.01", blank}},
        {"ended",         {"b", "2002.03.01", "2024.01.31"}},
        {"endsFirstDay",  {"c", "2020.01.01", "2024.02.01"}},
        {"startsLastDay", {"d", "2024.02.29", "2024.12.31"}},
        {"startsLater",   {"e", "2024.03.01", blank}},
        {"farFuture",     {"f", "1999.06.01", "2999.12.31"}},
        {"beforeFund",    {"g", "1999.05.31", "2000.01.01"}},
    };
    struct Case { const char* expression; Names expected; };
    const Case cases[] = {
        {"kezd<='2024.02.29' and (veg >='2024.02.01' or veg=null)",
         {"openEnded", "endsFirstDay", "startsLastDay", "farFuture"}},
        // the same period written day.month.year
        {"kezd<='29.02.2024' and (veg >='01.02.2024' or veg=null)",
         {"openEnded", "endsFirstDay", "startsLastDay", "farFuture"}},
        // validity of an open-ended contract that began 2003.01.01
        {"kezd<='2003.01.01' and (veg >='2999.12.01' or veg=null)", {"openEnded", "farFuture"}},
        {"kezd>='1999.06.01'", {"openEnded", "ended", "endsFirstDay", "startsLastDay", "startsLater", "farFuture"}},
        {"veg='2024.1.31' or kezd=\"20240229\"", {"ended", "startsLastDay"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kept(c.expression, fields, staff), c.expected) << c.expression;
}

// Text orders as a Hungarian reader expects, not by bytes: "Á" sits with
// "A", and "cs" is a letter of its own after "c".
TEST(Filter, TextOrderIsHungarianAndCaseFollowsTheFilter) {
    const FieldList fields = {FieldDef::character("NEV", 20)};
    const std::vector<Row> rows = {
        {"Ábel", {"Ábel"}}, {"Bea", {"Bea"}}, {"Csaba", {"Csaba"}}, {"Cz", {"Cz"}},
        {"kovács", {"kovács"}}, {"KOVÁCS", {"KOVÁCS"}}, {"Kovacs", {"Kovacs"}},
    };
    EXPECT_EQ(kept("nev<'B'", fields, rows), Names{"Ábel"});
    EXPECT_EQ(kept("nev>'Cz' and nev<'D'", fields, rows), Names{"Csaba"});

    EXPECT_EQ(kept("nev='kovács'", fields, rows), Names{"kovács"});
    EXPECT_EQ(kept("nev='kovács'", fields, rows, true), (Names{"kovács", "KOVÁCS"}));
    EXPECT_EQ(kept("nev<>'KOVÁCS'", fields, rows, true), (Names{"Ábel", "Bea", "Csaba", "Cz", "Kovacs"}));
    EXPECT_EQ(kept("nev>='kovács' and nev<='kovács'", fields, rows, true), (Names{"kovács", "KOVÁCS"}));
    EXPECT_EQ(kept("nev<='bea' and nev>='bea'", fields, rows), Names{});
    EXPECT_EQ(kept("nev<='bea' and nev>='bea'", fields, rows, true), Names{"Bea"});
}

TEST(Filter, NumbersCompareByValue) {
    const FieldList fields = {FieldDef::numeric("ORASZ", 5, 1), FieldDef::character("KOD", 5)};
    const std::vector<Row> rows = {
        {"7.5", {Decimal(75, 1), "7.5"}}, {"20", {Decimal(200, 1), "20"}}, {"100", {Decimal(1000, 1), "100"}},
        {"-3", {Decimal(-3, 0), "-3"}},
    };
    EXPECT_EQ(kept("orasz>=20", fields, rows), (Names{"20", "100"}));
    EXPECT_EQ(kept("orasz='7.50'", fields, rows), Names{"7.5"});
    EXPECT_EQ(kept("orasz < -2.5", fields, rows), Names{"-3"});
    // a character field keeps text order even for digits
    EXPECT_EQ(kept("kod>='20'", fields, rows), (Names{"7.5", "20"}));
}

TEST(Filter, EmptyExpressionKeepsEveryRowAndTextIsKept) {
    EXPECT_EQ(kept("   ", sheetFields, sheets).size(), sheets.size());
    EXPECT_TRUE(Filter().matches(sheets[0]));

    const std::string text = "idoszak='2024.05' ";
    Filter f = Filter::compile(text, sheetFields, false);
    Filter moved = std::move(f);
    EXPECT_EQ(moved.text(), text);
    EXPECT_TRUE(moved.matches(sheets[1]));
    EXPECT_FALSE(moved.matches(sheets[0]));
}

TEST(Filter, UnknownFieldNamesFieldAndExpression) {
    const std::string expression = "idoszak='2024.05' and elkuldes is null";
    try {
        Filter::compile(expression, sheetFields, false);
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), DbError::Code::BadExpression);
        const std::string message = e.what();
        EXPECT_NE(message.find("elkuldes"), std::string::npos) << message;
        EXPECT_NE(message.find(expression), std::string::npos) << message;
        EXPECT_NE(message.find("mező"), std::string::npos) << message;
    }
}

TEST(Filter, SyntaxErrorsAreHungarianAndQuoteTheExpression) {
    const FieldList fields = {FieldDef::character("IDOSZAK", 7), FieldDef::date("LEZDAT"), FieldDef::numeric("ORASZ", 5, 1)};
    struct Case { std::string expression; const char* detail; };
    const Case cases[] = {
        {"idoszak='2024.05", "lezáratlan"},
        {"idoszak", "összehasonlító jel"},
        {"idoszak=", "érték"},
        {"idoszak==", "érték"},
        {"(idoszak='1'", "záró zárójel"},
        {"idoszak='1')", "véget"},
        {"idoszak='1' idoszak='2'", "véget"},
        {"idoszak='1' and", "mezőnév"},
        {"and idoszak='1'", "mezőnév"},
        {"()", "mezőnév"},
        {"idoszak is", "null"},
        {"idoszak is not", "null"},
        {"idoszak < null", "üres"},
        {"idoszak >= ''", "üres"},
        {"idoszak ~ '1'", "ismeretlen jel"},
        {"idoszak != '1'", "ismeretlen jel"},
        {"lezdat='2024.13.01'", "dátum"},
        {"lezdat>='2023.02.29'", "dátum"},
        {"lezdat='2024.05'", "dátum"},
        {"orasz='sok'", "szám"},
        {std::string(300, '(') + "idoszak='1'" + std::string(300, ')'), "zárójel"},
    };
    for (const Case& c : cases) {
        try {
            Filter::compile(c.expression, fields, false);
            ADD_FAILURE() << "no error for " << c.expression;
        } catch (const DbError& e) {
            const std::string message = e.what();
            EXPECT_EQ(e.code(), DbError::Code::BadExpression) << c.expression;
            EXPECT_EQ(message.rfind("Hibás szűrőfeltétel", 0), 0u) << message;
            EXPECT_NE(message.find(c.expression), std::string::npos) << message;
            EXPECT_NE(message.find(c.detail), std::string::npos) << message;
        }
    }
}

} // namespace
