// Index key expressions: which order their sort keys give, the text dBASE
// shows for them, and which expressions are refused.
#include "db/DbError.h"
#include "db/KeyExpr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

namespace velmora::db {
namespace {

const FieldList kFields = {
    FieldDef::character("Idoszak", 7), FieldDef::character("Sorsz", 5), FieldDef::character("Resz", 1),
    FieldDef::character("Taj", 9),     FieldDef::character("Nev", 25),  FieldDef::date("Zaras"),
    FieldDef::date("Kezd"),            FieldDef::numeric("Ssorszam", 5), FieldDef::numeric("Osszeg", 12, 2),
    FieldDef::logical("Tele"),
};

// One record of the layout above; fields not given are blank (null).
struct Row : RecordSource {
    std::vector<Value> values = std::vector<Value>(kFields.size());
    Row(std::initializer_list<std::pair<const char*, Value>> given) {
        for (const auto& [name, v] : given) values.at(findField(kFields, name)) = v;
    }
    Value value(int i) const override { return values.at(i); }
};

std::string key(const std::string& expr, const Row& r) { return KeyExpr::compile(expr, kFields).sortKey(r); }

struct OrderCase {
    const char* expression;
    std::vector<Row> ascending;  // each row sorts strictly after the one before
};

TEST(KeyExpr, SortKeysGiveTheIndexOrder) {
    const std::vector<OrderCase> cases = {
        // The sheet number, then the part letter; a sheet without a part
        // letter comes before its parts, and a longer number never interleaves.
        {"Sorsz+Resz",
         {Row{{"Sorsz", "00012"}},
          Row{{"Sorsz", "00012"}, {"Resz", "A"}},
          Row{{"Sorsz", "00012"}, {"Resz", "B"}},
          Row{{"Sorsz", "00013"}},
          Row{{"Sorsz", "1"}, {"Resz", "Z"}},
          Row{{"Sorsz", "12"}},
          Row{{"Sorsz", "12"}, {"Resz", "A"}},
          Row{{"Sorsz", "123"}}}},
        {" taj + IDOSZAK ",
         {Row{{"Idoszak", "2024.06"}},
          Row{{"Taj", "012345678"}, {"Idoszak", "2023.12"}},
          Row{{"Taj", "012345678"}, {"Idoszak", "2024.01"}},
          Row{{"Taj", "012345679"}, {"Idoszak", "2020.01"}}}},
        // Chronological days, then the number right-aligned: 9 before 10.
        {"dtoc(kezd)+str(ssorszam,5)",
         {Row{{"Ssorszam", 1}},
          Row{{"Kezd", "2023.12.31"}, {"Ssorszam", 10}},
          Row{{"Kezd", "2024.01.02"}, {"Ssorszam", 9}},
          Row{{"Kezd", "2024.01.02"}, {"Ssorszam", 10}},
          Row{{"Kezd", "2024.01.02"}, {"Ssorszam", 100}},
          Row{{"Kezd", "2024.10.01"}, {"Ssorszam", 2}}}},
        {"Idoszak+dtos(Zaras)",
         {Row{{"Idoszak", "2024.05"}, {"Zaras", "2024.06.10"}},
          Row{{"Idoszak", "2024.06"}},
          Row{{"Idoszak", "2024.06"}, {"Zaras", "2024.06.09"}},
          Row{{"Idoszak", "2024.06"}, {"Zaras", "2024.07.01"}}}},
        // A bare date: blank first, then by day.
        {"Kezd",
         {Row{}, Row{{"Kezd", "1999.12.31"}}, Row{{"Kezd", "2000.01.01"}}, Row{{"Kezd", "2024.02.29"}}}},
        // A bare number: by value, blank first, whatever the scale.
        {"Osszeg",
         {Row{}, Row{{"Osszeg", Decimal(-100000, 2)}}, Row{{"Osszeg", Decimal(-5, 1)}},
          Row{{"Osszeg", Decimal(-49, 2)}}, Row{{"Osszeg", 0}}, Row{{"Osszeg", Decimal(1, 2)}},
          Row{{"Osszeg", Decimal(9, 1)}}, Row{{"Osszeg", 1}}, Row{{"Osszeg", Decimal(1000000001, 2)}}}},
        // Names the Hungarian way, capitals beside small letters.
        {"Nev",
         {Row{{"Nev", "Csató"}}, Row{{"Nev", "kovács"}}, Row{{"Nev", "Kovács"}}, Row{{"Nev", "Kovácsné"}},
          Row{{"Nev", "Ödön"}}, Row{{"Nev", "Szabó"}}, Row{{"Nev", "Zsigmond"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        for (size_t i = 0; i < c.ascending.size(); ++i)
            for (size_t j = i + 1; j < c.ascending.size(); ++j)
                EXPECT_LT(key(c.expression, c.ascending[i]), key(c.expression, c.ascending[j]))
                    << "rows " << i << " and " << j;
    }
}

// Every segment key must end in its only 0 byte, or the segments of a
// concatenated key would bleed into one another.
void expectOneTerminator(const std::string& k, size_t segments) {
    EXPECT_EQ(std::count(k.begin(), k.end(), '\0'), static_cast<long>(segments));
    EXPECT_EQ(k.back(), '\0');
}

TEST(KeyExpr, NumberKeysFollowTheExactValue) {
    std::mt19937_64 rng(20240610);
    std::uniform_int_distribution<int64_t> units(-999'999'999'999, 999'999'999'999);
    std::uniform_int_distribution<int> scale(0, 6);
    const KeyExpr k = KeyExpr::compile("Osszeg", kFields);
    std::vector<Decimal> values = {Decimal(0, 0), Decimal(0, 4), Decimal(INT64_MAX, 0), Decimal(INT64_MIN + 1, 0),
                                   Decimal(INT64_MAX, 18), Decimal(-1, 18)};
    for (int i = 0; i < 300; ++i) values.emplace_back(units(rng) >> scale(rng) * 6, scale(rng));
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string ki = k.sortKey(Row{{"Osszeg", values[i]}});
        expectOneTerminator(ki, 1);
        for (size_t j = 0; j < values.size(); j += 7) {
            const int byKey = ki.compare(k.sortKey(Row{{"Osszeg", values[j]}}));
            EXPECT_EQ((byKey > 0) - (byKey < 0), Decimal::compare(values[i], values[j]))
                << values[i].toString() << " vs " << values[j].toString();
        }
    }
}

TEST(KeyExpr, EverySegmentKeyHasOneTerminator) {
    const Row full{{"Idoszak", "2024.06"}, {"Sorsz", "00012"}, {"Kezd", "2024.06.01"}, {"Ssorszam", 0},
                   {"Osszeg", Decimal(-1, 2)}, {"Tele", Value::boolean(true)}};
    const Row blank{};
    for (const auto* expr : {"Idoszak+Sorsz+Resz", "Kezd+Osszeg+Tele", "dtos(Zaras)+dtoc(Kezd)+str(Ssorszam,5)"})
        for (const Row* r : {&full, &blank}) expectOneTerminator(key(expr, *r), 3);
}

TEST(KeyExpr, KeyTextIsTheDbaseValueAtFullWidth) {
    const Row r{{"Idoszak", "2024.06"}, {"Sorsz", "12"}, {"Kezd", "2024.06.01"}, {"Zaras", "2024.06.15"},
                {"Ssorszam", 7}, {"Osszeg", Decimal(-2550, 2)}, {"Nev", "Árvíz"}};
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"Sorsz+Resz", "12    "},
        {"Idoszak+dtos(Zaras)", "2024.0620240615"},
        {"dtoc(kezd)+str(ssorszam,5)", "2024.06.01    7"},
        {"Nev", "Árvíz" + std::string(20, ' ')},                            // width counts characters
        {"Kezd+Osszeg", "20240601      -25.50"},
        {"str(osszeg,5)", "  -26"},      // rounded half away from zero
        {"str(osszeg,7,1)", "  -25.5"},
        {"str(osszeg,2)", "**"},         // does not fit
        {"str(ssorszam,8,2)", "    7.00"},
        {"str(ssorszam)", "         7"}, // dBASE's default width of 10
    };
    for (const auto& [expr, text] : cases) EXPECT_EQ(KeyExpr::compile(expr, kFields).keyText(r), text) << expr;
    // A blank row: dates and numbers are blanks, str() of a blank number is 0.
    EXPECT_EQ(KeyExpr::compile("Kezd+Ssorszam+str(Osszeg,3)+Resz+dtoc(Zaras)+dtos(Zaras)", kFields).keyText(Row{}),
              std::string(13, ' ') + "  0 " + std::string(18, ' '));
}

TEST(KeyExpr, StrRoundsHalfAwayFromZero) {
    const KeyExpr k = KeyExpr::compile("str(Osszeg,4)", kFields);
    const std::vector<std::pair<Decimal, std::string>> cases = {
        {Decimal(250, 2), "   3"}, {Decimal(249, 2), "   2"}, {Decimal(-250, 2), "  -3"},
        {Decimal(-49, 2), "   0"}, {Decimal(99995, 2), "1000"}, {Decimal(999950, 2), "****"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(k.keyText(Row{{"Osszeg", v}}), text) << v.toString();
}

TEST(KeyExpr, RefusesWhatItCannotUnderstand) {
    for (const char* expr : {"", "   ", "Sorsz+", "+Sorsz", "Sorsz++Resz", "Sorsz Resz", "Nincs", "Sorsz+Nincs",
                             "upper(Sorsz)", "dtos(Sorsz)", "dtoc(Ssorszam)", "str(Kezd,5)", "str(Ssorszam,0)",
                             "str(Ssorszam,5,5)", "str(Ssorszam,5,)", "str(Ssorszam,)", "dtos(Kezd",
                             "dtos()", "dtos(Kezd))", "Sorsz-Resz", "12", "Sorsz+'A'"}) {
        try {
            KeyExpr::compile(expr, kFields);
            ADD_FAILURE() << "accepted: " << expr;
        } catch (const DbError& e) {
            EXPECT_EQ(e.code(), DbError::Code::BadExpression) << expr;
            EXPECT_NE(std::string(e.what()).find("Hibás indexkifejezés: " + std::string(expr)), std::string::npos)
                << e.what();
        }
    }
}

TEST(KeyExpr, LeadingFieldsStopAtTheFirstComputedSegment) {
    const auto fieldsOf = [](const char* expr) { return KeyExpr::compile(expr, kFields).leadingFields(); };
    const int idoszak = 0, sorsz = 1, resz = 2, kezd = 6;
    EXPECT_EQ(fieldsOf("Idoszak+Sorsz+Resz"), (std::vector<int>{idoszak, sorsz, resz}));
    EXPECT_EQ(fieldsOf("kezd+SORSZ"), (std::vector<int>{kezd, sorsz}));
    EXPECT_EQ(fieldsOf("Sorsz+dtos(Kezd)+Resz"), (std::vector<int>{sorsz}));
    EXPECT_EQ(fieldsOf("Ssorszam+Sorsz"), std::vector<int>{});
    EXPECT_EQ(fieldsOf("dtoc(kezd)+str(ssorszam,5)"), std::vector<int>{});
}

TEST(KeyExpr, PrefixKeyIsThePrefixOfMatchingKeysOnly) {
    const KeyExpr k = KeyExpr::compile("Idoszak+Sorsz+Resz", kFields);
    const Row sheet{{"Idoszak", "2024.06"}, {"Sorsz", "12"}, {"Resz", "A"}};
    const std::string full = k.sortKey(sheet);
    EXPECT_TRUE(full.starts_with(k.prefixKey({})));
    EXPECT_TRUE(full.starts_with(k.prefixKey({"2024.06"})));
    EXPECT_TRUE(full.starts_with(k.prefixKey({"2024.06", "12"})));
    EXPECT_EQ(full, k.prefixKey({"2024.06", "12", "A"}));
    // A text prefix is not a key prefix: "1" must not find sheet "12".
    EXPECT_FALSE(full.starts_with(k.prefixKey({"2024.06", "1"})));
    EXPECT_FALSE(full.starts_with(k.prefixKey({"2024.06", "12", Value()})));
    EXPECT_EQ(k.sortKey(Row{{"Idoszak", "2024.06"}, {"Sorsz", "12"}}), k.prefixKey({"2024.06", "12", Value()}));

    const KeyExpr byDay = KeyExpr::compile("Kezd+Sorsz", kFields);
    EXPECT_TRUE(byDay.sortKey(Row{{"Kezd", "2024.06.01"}, {"Sorsz", "5"}}).starts_with(byDay.prefixKey({"2024.06.01"})));
    EXPECT_TRUE(byDay.sortKey(Row{{"Sorsz", "5"}}).starts_with(byDay.prefixKey({Value()})));

    EXPECT_THROW(KeyExpr::compile("Sorsz+str(Ssorszam,5)", kFields).prefixKey({"1", 5}), DbError);
    EXPECT_THROW(k.prefixKey({"a", "b", "c", "d"}), DbError);
}

} // namespace
} // namespace velmora::db
