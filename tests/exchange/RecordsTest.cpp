// Filling the shipment's records: the rules of each field, by layout.
#include "exchange/Records.h"

#include "app/UserError.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace velmora::exchange;
using velmora::db::Value;

namespace {

const std::string kNurse = "200000014";

// A header query row of a sheet of 2024.05 (00012A).
QueryRow headerRow(const std::vector<std::pair<std::string, Value>>& changes = {}) {
    QueryRow row = {
        {"kabkod", "1234"},       {"finkod", "987654321"},  {"sorszam", "00012"},    {"resz", "A"},
        {"idoszak", "2024.05"},   {"orvkode", "012345"},    {"orvkodj", Value()},     {"orvtip", Value()},
        {"taj", "100000018"},     {"kozigkod", "0100001"},  {"terpot", "N"},          {"cim", "Fő utca 1."},
        {"neme", "N"},            {"szulido", "1940.03.04"}, {"aztip", "1"},          {"terkat", "01"},
        {"allamp", "HUN"},        {"elrend", "2024.05.01"}, {"szakvet", "2024.05.02"}, {"elvizdb", 20},
        {"gyak", "heti 3"},       {"elszviz", 0},           {"elszam", 1},            {"lezdat", Value()},
        {"aptaj1", kNurse},       {"onapdb", 5},            {"modtipus", Value()},
    };
    for (auto& [column, value] : changes) row[column] = value;
    return row;
}

Value fieldOf(const OutgoingLayout& layout, const OutRecord& record, const std::string& name) {
    const int i = velmora::db::findField(layout.fields, name);
    if (i < 0) throw std::invalid_argument(layout.name + " has no " + name);
    return record.at(static_cast<size_t>(i));
}

const Value kBlank;

} // namespace

TEST(HeaderRecord, FieldRules) {
    struct Case {
        const char* what;
        Layout layout;
        const char* period;  // of the shipment
        std::vector<std::pair<std::string, Value>> row;
        std::vector<std::pair<std::string, Value>> expected;
    };
    const Case cases[] = {
        {"doctor codes in character fields", Layout::Hosauj, "2024.04", {},
         {{"ORVKODE", "12345"}, {"ORVKODJ", "0"}}},
        {"doctor codes in numeric fields", Layout::Hosauj2, "2024.05", {{"orvkodj", "007"}},
         {{"ORVKODE", 12345}, {"ORVKODJ", 7}}},
        {"the HOSA doctor fields are characters too", Layout::Hosa, "2015.12", {{"orvkode", "000000"}},
         {{"ORVKODE", "0"}, {"ORVKODJ", "0"}}},
        {"type 1 when a new sheet has none", Layout::Hosauj2, "2024.05", {}, {{"ORVTIP", "1"}}},
        {"the sheet's own type", Layout::Hosauj2, "2024.05", {{"orvtip", "2"}}, {{"ORVTIP", "2"}}},
        {"no type for a sheet up to 2024.04", Layout::Hosauj2, "2024.06", {{"idoszak", "2024.04"}, {"orvtip", "2"}},
         {{"ORVTIP", kBlank}}},
        {"TAJ text", Layout::Hosauj, "2024.05", {}, {{"TAJ", "100000018"}, {"AZTIP", "1"}}},
        {"no TAJ for identifier type 0", Layout::Hosauj2, "2024.05", {{"aztip", "0"}},
         {{"TAJ", kBlank}, {"AZTIP", "0"}}},
        {"HOSA numbers: TAJ and nurses, 0 for none", Layout::Hosa, "2015.12", {{"taj", "012345678"}},
         {{"TAJ", 12345678}, {"APTAJ1", 200000014}, {"APTAJ2", 0}, {"APTAJ8", 0}}},
        {"nurses as stored", Layout::Hosauj, "2024.05", {}, {{"APTAJ1", kNurse}, {"APTAJ2", kBlank}}},
        {"no regional supplement", Layout::Hosauj, "2024.05", {{"terpot", "N"}}, {{"TERPOT", 1}}},
        {"regional supplement", Layout::Hosauj, "2024.05", {{"terpot", "I"}}, {{"TERPOT", 2}}},
        {"supplement not stated", Layout::Hosauj, "2024.05", {{"terpot", Value()}}, {{"TERPOT", 2}}},
        {"sheet of the shipment's period", Layout::Hosauj2, "2024.05", {},
         {{"IDOSZAK", "202405"}, {"MODIDO", "202405"}, {"MODTIPUS", kBlank}}},
        {"late sheet", Layout::Hosauj2, "2024.06", {{"idoszak", "2024.03"}},
         {{"IDOSZAK", "202403"}, {"MODIDO", "202406"}, {"MODTIPUS", "P"}, {"ORVTIP", kBlank}}},
        {"late correction keeps its kind", Layout::Hosauj, "2024.04", {{"idoszak", "2024.01"}, {"modtipus", "K"}},
         {{"MODTIPUS", "K"}}},
        {"cancellation in its own period", Layout::Hosauj2, "2024.05", {{"modtipus", "S"}}, {{"MODTIPUS", "S"}}},
        {"key, patient and order", Layout::Hosauj2, "2024.05", {},
         {{"KABKOD", "1234"}, {"FINKOD", "987654321"}, {"SORSZAM", 12}, {"RESZ", "A"}, {"CIM", "Fő utca 1."},
          {"SZULIDO", "1940.03.04"}, {"ELREND", "2024.05.01"}, {"GYAK", "heti 3"}, {"ELVIZDB", 20},
          {"ONAPDB", 5}, {"LEZDAT", kBlank}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OutgoingLayout& layout = outgoingLayout(c.layout);
        const OutRecord record = headerRecord(layout, headerRow(c.row), c.period);
        ASSERT_EQ(record.size(), layout.fields.size());
        for (const auto& [field, value] : c.expected) EXPECT_EQ(fieldOf(layout, record, field), value) << field;
    }
}

TEST(HeaderRecord, CodesThatAreNoIntegersKeepTheSheetOut) {
    struct Case {
        Layout layout;
        std::vector<std::pair<std::string, Value>> row;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {Layout::Hosauj2, {}, {}},
        {Layout::Hosauj2, {{"orvkode", Value()}}, {"az elrendelő orvos kódja üres"}},
        {Layout::Hosauj, {{"orvkode", "12A45"}, {"orvkodj", "x"}},
         {"az elrendelő orvos kódja nem szám: '12A45'", "a javasló orvos kódja nem szám: 'x'"}},
        {Layout::Hosa, {{"taj", "91000000X"}, {"aptaj3", "abc"}},
         {"a TAJ szám nem szám: '91000000X'", "a(z) 3. ápoló TAJ száma nem szám: 'abc'"}},
        {Layout::Hosauj, {{"taj", "91000000X"}, {"aptaj3", "abc"}}, {}},
        {Layout::Hosa, {{"sorszam", "0001?"}}, {"a sorszám nem szám: '0001?'"}},
    };
    for (const Case& c : cases) EXPECT_EQ(headerProblems(outgoingLayout(c.layout), headerRow(c.row)), c.problems);

    try {
        headerRecord(outgoingLayout(Layout::Hosauj2), headerRow({{"orvkode", "12A45"}}), "2024.05");
        FAIL() << "a sheet with a bad doctor code was filled";
    } catch (const velmora::app::UserError& e) {
        EXPECT_EQ(std::string(e.what()), "00012A (2024.05): az elrendelő orvos kódja nem szám: '12A45'");
    }
}

TEST(VisitRecords, OnlyDaysWithDateActivityAndNurseGoOut) {
    QueryRow row = {{"intkod", "1234"}, {"finkod", "987654321"}, {"sorsz", "00012"}, {"resz", Value()},
                    {"idoszak", "2015.12"}};
    auto day = [&](int n, Value tev, Value date, Value nurse) {
        row["tev" + std::to_string(n)] = std::move(tev);
        row["apdat" + std::to_string(n)] = std::move(date);
        row["apbtaj" + std::to_string(n)] = std::move(nurse);
    };
    day(1, "15", "2015.12.01", kNurse);
    day(2, "1", "2015.12.02", Value());   // no nurse
    day(3, Value(), "2015.12.03", kNurse);  // no activity
    day(4, "2", Value(), kNurse);           // no date
    day(31, "12345678", "2015.12.31", "300000017");

    struct Case {
        Layout layout;
        std::vector<std::vector<std::pair<std::string, Value>>> records;
    };
    const Case cases[] = {
        {Layout::Hosb,
         {{{"KABKOD", "1234"}, {"SORSZAM", 12}, {"RESZ", kBlank}, {"IDOSZAK", "201512"}, {"TEVKOD", "15"},
           {"APDATUM", "2015.12.01"}, {"APBTAJ", 200000014}},
          {{"TEVKOD", "12345678"}, {"APDATUM", "2015.12.31"}, {"APBTAJ", 300000017}}}},
        {Layout::Hosbuj,
         {{{"FINKOD", "987654321"}, {"IDOSZAK", "201512"}, {"APBTAJ", kNurse}},
          {{"APDATUM", "2015.12.31"}, {"APBTAJ", "300000017"}}}},
        {Layout::OldVisits,
         {{{"KABKOD", "1234"}, {"SORSZAM", 12}, {"TEVKOD", "15"}, {"APBTAJ", 200000014}}, {{"TEVKOD", "12345678"}}}},
    };
    for (const Case& c : cases) {
        const OutgoingLayout& layout = outgoingLayout(c.layout);
        SCOPED_TRACE(layout.name);
        const auto records = visitRecords(layout, row);
        ASSERT_EQ(records.size(), c.records.size());
        for (size_t i = 0; i < records.size(); ++i)
            for (const auto& [field, value] : c.records[i]) EXPECT_EQ(fieldOf(layout, records[i], field), value) << field;
    }
    EXPECT_FALSE(outgoingLayout(Layout::OldVisits).has("IDOSZAK"));

    day(5, "1", "2015.12.05", "2000A0014");
    EXPECT_EQ(visitProblems(outgoingLayout(Layout::Hosb), row),
              std::vector<std::string>{"a(z) 5. nap ápolójának TAJ száma nem szám: '2000A0014'"});
    EXPECT_TRUE(visitProblems(outgoingLayout(Layout::Hosbuj), row).empty());
}

TEST(DiagnosisRecords, MainUnderlyingInpatientAccompanyingInThatOrder) {
    const QueryRow all = {{"kabkod", "1234"}, {"finkod", "987654321"}, {"sorszam", "00012"}, {"resz", "B"},
                          {"idoszak", "2024.05"}, {"bnofek", "I6390"}, {"bnoab", "C3490"}, {"bnofo", "C5000"},
                          {"bnokis", "E1190"}};
    QueryRow mainOnly = all;
    mainOnly["bnofek"] = mainOnly["bnoab"] = mainOnly["bnokis"] = Value();

    struct Case {
        Layout layout;
        const QueryRow* row;
        std::vector<std::pair<int, std::string>> codes;
    };
    const Case cases[] = {
        {Layout::Hoscuj, &all, {{2, "C5000"}, {4, "C3490"}, {1, "I6390"}, {3, "E1190"}}},
        {Layout::Hosc, &all, {{2, "C5000"}, {4, "C3490"}, {1, "I6390"}, {3, "E1190"}}},
        {Layout::OldDiagnoses, &mainOnly, {{2, "C5000"}}},
        {Layout::Hoscuj, &mainOnly, {{2, "C5000"}}},
    };
    for (const Case& c : cases) {
        const OutgoingLayout& layout = outgoingLayout(c.layout);
        SCOPED_TRACE(layout.name);
        std::vector<std::pair<int, std::string>> got;
        for (const OutRecord& r : diagnosisRecords(layout, *c.row)) {
            got.emplace_back(static_cast<int>(fieldOf(layout, r, "BNOTIP").asInt()), fieldOf(layout, r, "BNOKOD").asString());
            EXPECT_EQ(fieldOf(layout, r, "SORSZAM"), Value(12));
            EXPECT_EQ(fieldOf(layout, r, "RESZ"), Value("B"));
        }
        EXPECT_EQ(got, c.codes);
    }
}

TEST(IntegerReading, DigitsWithBlanksAroundThem) {
    const std::pair<const char*, std::optional<int64_t>> cases[] = {
        {"012345", 12345}, {" 42 ", 42}, {"0", 0}, {"", std::nullopt}, {"   ", std::nullopt},
        {"12 3", std::nullopt}, {"-5", std::nullopt}, {"1e3", std::nullopt}, {"9999999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(integerOf(text), value) << "'" << text << "'";
}
