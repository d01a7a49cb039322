// The shipment's three files as another dBASE reader sees them: Debian's
// python3-dbf (code page 852) reads every file written for a shipment of
// each layout era, and its header bytes are the template's but for the
// date of last update and the record count.
#include "exchange/ShipmentFiles.h"

#include "app/UserError.h"
#include "db/Sql.h"
#include "exchange/Layouts.h"
#include "support/Files.h"
#include "support/SheetFixture.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

using namespace velmora;
using namespace velmora::exchange;
using test::people::nurse1;
using test::people::nurse2;
using test::people::patient;

namespace {

const std::string kInterop = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/dbf_interop.py";

using Fields = std::map<std::string, std::string>;  // FIELD -> text as python3-dbf reads it

struct Dump {
    std::vector<std::string> structure;  // "KABKOD C(4)"
    std::vector<Fields> records;
};

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) parts.push_back(part);
    if (!s.empty() && s.back() == sep) parts.emplace_back();
    return parts;
}

Dump readWithPython(const std::string& path) {
    const std::string out = test::runCommand("/usr/bin/python3 " + kInterop + " dump '" + path + "' 2>&1");
    std::vector<std::string> lines = split(out, '\n');
    if (lines.size() < 2) throw std::runtime_error("python3-dbf did not read " + path + ":\n" + out);
    Dump d;
    std::vector<std::string> names;
    for (const std::string& f : split(lines[0], '|')) {
        const std::string field = upper(f.substr(0, f.find(' '))) + f.substr(f.find(' '));
        d.structure.push_back(field);
        names.push_back(field.substr(0, field.find(' ')));
    }
    for (size_t i = 2; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const auto cells = split(lines[i], '\t');
        if (cells.size() != names.size()) throw std::runtime_error("unexpected line: " + lines[i] + "\n" + out);
        Fields r;
        for (size_t k = 0; k < names.size(); ++k) r[names[k]] = cells[k];
        d.records.push_back(r);
    }
    return d;
}

std::string digits(std::string period) {
    period.erase(4, 1);
    return period;
}

std::string firstDay(const std::string& period) { return period.substr(0, 4) + "-" + period.substr(5, 2) + "-01"; }
std::string day(const std::string& period, int d) {
    return period.substr(0, 4) + "-" + period.substr(5, 2) + "-" + (d < 10 ? "0" : "") + std::to_string(d);
}

// A shipment period and the three months before it.
struct Era {
    std::string period, before1, before2, before3;
};

// Marked: a cancellation and a correction of three months before (sent,
// changed since), a late sheet of two months before, a full invoice of the
// period with all four diagnoses and a day without a nurse, and the second
// part of a series whose first part went out last month. Not marked: that
// first part and another sheet of the period.
void addSheets(test::SheetData& data, const Era& e) {
    auto marked = [](std::map<std::string, db::Value> h) {
        h["Jeloles"] = "*";
        h.emplace("Aztip", "1");
        h.emplace("Terkat", "01");
        h.emplace("Allamp", "HUN");
        return h;
    };
    data.sheet({e.before3, "00070", "", patient, {{2, "1", nurse1}},
                marked({{"Modtipus", "S"}, {"Elkuldve", "YY"}, {"Aztip", "0"}, {"Tpotl", db::Value()}})});
    data.sheet({e.before3, "00080", "", patient, {{3, "12", nurse2}},
                marked({{"Modtipus", "K"}, {"Elkuldve", "YY"}, {"Orvkodj", "654321"}})});
    data.sheet({e.before2, "00090", "", patient, {{4, "5", nurse1}}, marked({{"Tpotl", "I"}})});
    data.sheet({e.period, "00101", "", patient, {{2, "1   5", nurse1}, {3, "1", nurse2}, {5, "2", ""}},
                marked({{"Orvkode", "012345"}, {"Orvkodj", db::Value()}, {"Bnofek", "I6390"}, {"Bnokis", "E1190"},
                        {"Aptaj2", nurse2}})});
    data.sheet({e.before1, "00102", "A", patient, {{20, "1", nurse1}}, {{"Elkuldve", e.before1}}});
    data.sheet({e.period, "00102", "B", patient, {{6, "1", nurse1}},
                marked({{"Elszviz", 1}, {"Orvtip", "2"}})});
    data.sheet({e.period, "00103", "", patient, {{7, "1", nurse1}}});
}

// What each header record must hold, as python3-dbf reads it.
std::vector<Fields> expectedHeaders(const Era& e, Layout layout) {
    const bool hosa = layout == Layout::Hosa, orvtip = layout == Layout::Hosauj2;
    const bool newSheets = e.period > "2024.04";
    auto sheet = [&](const std::string& period, const char* sorsz, const char* resz, int days, Fields changes) {
        Fields f = {{"KABKOD", "1234"},     {"FINKOD", "987654321"}, {"SORSZAM", sorsz},
                    {"RESZ", resz},         {"IDOSZAK", digits(period)}, {"ORVKODE", "123456"},
                    {"ORVKODJ", "0"},       {"ORVTIP", ""},           {"TAJ", patient},
                    {"KOZIGKOD", "0100001"}, {"TERPOT", "1"},          {"CIM", "Fő utca 1."},
                    {"NEME", "N"},          {"SZULIDO", "1940-03-04"}, {"AZTIP", "1"},
                    {"TERKAT", "01"},       {"ALLAMP", "HUN"},        {"ELREND", firstDay(period)},
                    {"SZAKVET", firstDay(period)}, {"ELVIZDB", "50"}, {"GYAK", "heti 3"},
                    {"ELSZVIZ", "0"},       {"ELSZAM", "1"},          {"LEZDAT", ""},
                    {"APTAJ1", nurse1},     {"ONAPDB", std::to_string(days)}, {"MODIDO", digits(e.period)},
                    {"MODTIPUS", ""}};
        for (int i = 2; i <= 8; ++i) f["APTAJ" + std::to_string(i)] = hosa ? "0" : "";
        for (auto& [k, v] : changes) f[k] = v;
        return f;
    };
    return {
        sheet(e.before3, "70", "", 1, {{"MODTIPUS", "S"}, {"AZTIP", "0"}, {"TAJ", hosa ? patient : ""}, {"TERPOT", "2"}}),
        sheet(e.before3, "80", "", 1, {{"MODTIPUS", "K"}, {"ORVKODJ", "654321"}}),
        sheet(e.before2, "90", "", 1, {{"MODTIPUS", "P"}, {"TERPOT", "2"}}),
        sheet(e.period, "101", "", 3, {{"ORVKODE", "12345"}, {"ORVTIP", orvtip && newSheets ? "1" : ""},
                                       {"APTAJ2", nurse2}}),
        sheet(e.period, "102", "B", 1, {{"ELSZVIZ", "1"}, {"ORVTIP", orvtip && newSheets ? "2" : ""}}),
    };
}

std::vector<Fields> expectedVisits(const Era& e) {
    auto visit = [&](const std::string& period, const char* sorsz, const char* resz, int d, const char* tev,
                     const std::string& nurse) {
        return Fields{{"KABKOD", "1234"}, {"FINKOD", "987654321"}, {"SORSZAM", sorsz}, {"RESZ", resz},
                      {"IDOSZAK", digits(period)}, {"TEVKOD", tev}, {"APDATUM", day(period, d)}, {"APBTAJ", nurse}};
    };
    return {visit(e.before3, "70", "", 2, "1", nurse1),      visit(e.before3, "80", "", 3, "12", nurse2),
            visit(e.before2, "90", "", 4, "5", nurse1),      visit(e.period, "101", "", 2, "1   5", nurse1),
            visit(e.period, "101", "", 3, "1", nurse2),      visit(e.period, "102", "B", 6, "1", nurse1)};
}

std::vector<Fields> expectedDiagnoses(const Era& e) {
    std::vector<Fields> out;
    auto add = [&](const std::string& period, const char* sorsz, const char* resz, const char* tip, const char* code) {
        out.push_back({{"KABKOD", "1234"}, {"FINKOD", "987654321"}, {"SORSZAM", sorsz}, {"RESZ", resz},
                       {"IDOSZAK", digits(period)}, {"BNOTIP", tip}, {"BNOKOD", code}});
    };
    add(e.before3, "70", "", "2", "C5000");
    add(e.before3, "70", "", "4", "C3490");
    add(e.before3, "80", "", "2", "C5000");
    add(e.before3, "80", "", "4", "C3490");
    add(e.before2, "90", "", "2", "C5000");
    add(e.before2, "90", "", "4", "C3490");
    add(e.period, "101", "", "2", "C5000");
    add(e.period, "101", "", "4", "C3490");
    add(e.period, "101", "", "1", "I6390");
    add(e.period, "101", "", "3", "E1190");
    add(e.period, "102", "B", "2", "C5000");
    add(e.period, "102", "B", "4", "C3490");
    return out;
}

// Every field of every record read from the file against the expectation;
// a field the file has and the expectation lacks is a failure too.
void expectRecords(const Dump& dump, const std::vector<Fields>& expected) {
    ASSERT_EQ(dump.records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        for (const auto& [field, value] : dump.records[i]) {
            auto it = expected[i].find(field);
            if (it == expected[i].end()) ADD_FAILURE() << "record " << i << ": unexpected field " << field;
            else EXPECT_EQ(value, it->second) << "record " << i << ", " << field;
        }
}

std::string structureOf(const OutgoingLayout& layout) {
    std::string s;
    for (const db::FieldDef& f : layout.fields) {
        s += (s.empty() ? "" : "|") + upper(f.name) + " " + f.type;
        if (f.type == 'C') s += "(" + std::to_string(f.width) + ")";
        if (f.type == 'N') s += "(" + std::to_string(f.width) + ",0)";
    }
    return s;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string s;
    for (const auto& p : parts) s += (s.empty() ? "" : "|") + p;
    return s;
}

int byteAt(const std::string& b, size_t at) { return static_cast<unsigned char>(b[at]); }

std::vector<int> todayBytes() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year, tm.tm_mon + 1, tm.tm_mday};
}

// The header as the template has it, but for the date of last update
// (today's, written with the records) and the record count.
void expectTemplateHeader(const std::string& bytes, const OutgoingLayout& layout, int records,
                          const std::vector<int>& dayBefore, const std::vector<int>& dayAfter) {
    std::string expected = templateBytes(layout);
    ASSERT_GE(bytes.size(), expected.size());
    std::string head = bytes.substr(0, expected.size());
    const std::vector<int> date = {byteAt(head, 1), byteAt(head, 2), byteAt(head, 3)};
    EXPECT_TRUE(date == dayBefore || date == dayAfter) << date[0] << "." << date[1] << "." << date[2];
    EXPECT_EQ(byteAt(head, 4) | byteAt(head, 5) << 8 | byteAt(head, 6) << 16 | byteAt(head, 7) << 24, records);
    head.replace(1, 7, 7, '\0');
    expected.replace(1, 7, 7, '\0');
    EXPECT_EQ(head, expected);
    EXPECT_EQ(bytes.size(), expected.size() + static_cast<size_t>(records) * layout.recordLength() + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
}

} // namespace

TEST(ShipmentFiles, EachEraAsAnotherReaderSeesIt) {
    struct Case {
        Era era;
        Layout headers, visits, diagnoses;
    };
    const Case cases[] = {
        {{"2009.08", "2009.07", "2009.06", "2009.05"}, Layout::Hosa, Layout::OldVisits, Layout::OldDiagnoses},
        {{"2015.12", "2015.11", "2015.10", "2015.09"}, Layout::Hosa, Layout::Hosb, Layout::Hosc},
        {{"2024.04", "2024.03", "2024.02", "2024.01"}, Layout::Hosauj, Layout::Hosbuj, Layout::Hoscuj},
        {{"2024.05", "2024.04", "2024.03", "2024.02"}, Layout::Hosauj2, Layout::Hosbuj, Layout::Hoscuj},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.era.period);
        test::SheetData data;
        addSheets(data, c.era);
        data.open();
        ASSERT_EQ(unsendableSheets(data.db(), c.era.period), std::vector<std::string>{});
        test::TempDir kuld;
        const std::vector<int> dayBefore = todayBytes();
        const ShipmentCounts counts = writeShipmentFiles(data.db(), c.era.period, "1234", kuld.str());
        const std::vector<int> dayAfter = todayBytes();
        EXPECT_EQ(counts.headers, 5);
        EXPECT_EQ(counts.visits, 6);
        EXPECT_EQ(counts.diagnoses, 12);

        const std::string hosa = kuld.file("Hosa1234.Dbf"), hosb = kuld.file("Hosb1234.Dbf"),
                          hosc = kuld.file("Hosc1234.Dbf");
        const OutgoingLayout& a = outgoingLayout(c.headers);
        const OutgoingLayout& b = outgoingLayout(c.visits);
        const OutgoingLayout& d = outgoingLayout(c.diagnoses);

        const Dump headers = readWithPython(hosa);
        EXPECT_EQ(joined(headers.structure), structureOf(a));
        expectRecords(headers, expectedHeaders(c.era, c.headers));
        expectTemplateHeader(test::fileBytes(hosa), a, 5, dayBefore, dayAfter);

        std::vector<Fields> visits = expectedVisits(c.era), diagnoses = expectedDiagnoses(c.era);
        if (c.visits == Layout::OldVisits) {
            // Before 2009.09 the visit and diagnosis files carry neither the
            // period nor the financing code.
            for (auto* list : {&visits, &diagnoses})
                for (Fields& f : *list) f.erase("IDOSZAK"), f.erase("FINKOD");
            EXPECT_EQ(byteAt(test::fileBytes(hosb), 29), 0) << "a dBASE III table carries no language driver";
        } else {
            expectTemplateHeader(test::fileBytes(hosb), b, 6, dayBefore, dayAfter);
            expectTemplateHeader(test::fileBytes(hosc), d, 12, dayBefore, dayAfter);
        }
        const Dump visitDump = readWithPython(hosb), diagnosisDump = readWithPython(hosc);
        EXPECT_EQ(joined(visitDump.structure), structureOf(b));
        EXPECT_EQ(joined(diagnosisDump.structure), structureOf(d));
        expectRecords(visitDump, visits);
        expectRecords(diagnosisDump, diagnoses);
    }
}

// Numbers right-aligned, codes of characters left-aligned, dates as eight
// digits, text in code page 852: the bytes of the full invoice's record at
// the offsets the fund reads them from.
TEST(ShipmentFiles, RecordBytesWhereTheFundReadsThem) {
    struct Field {
        int offset;
        std::string bytes;
    };
    struct Case {
        Era era;
        int headerLength, recordLength;
        std::vector<Field> fields;
    };
    const Case cases[] = {
        {{"2015.12", "2015.11", "2015.10", "2015.09"}, 993, 210,
         {{5, "  101"}, {17, "12345 "}, {23, "0     "}, {29, patient}, {46, "F\x8B utca 1."}, {80, "20151201"},
          {137, nurse2}}},
        {{"2024.04", "2024.03", "2024.02", "2024.01"}, 1121, 225,
         {{14, "  101"}, {26, "12345 "}, {32, "0     "}, {54, "1"}, {95, "20240401"}, {218, "202404"}}},
        {{"2024.05", "2024.04", "2024.03", "2024.02"}, 1153, 226,
         {{14, "  101"}, {26, " 12345"}, {32, "     0"}, {38, "1"}, {96, "20240501"}, {219, "202405"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.era.period);
        test::SheetData data;
        addSheets(data, c.era);
        data.open();
        test::TempDir kuld;
        writeShipmentFiles(data.db(), c.era.period, "1234", kuld.str());
        const std::string bytes = test::fileBytes(kuld.file("Hosa1234.Dbf"));
        const std::string record = bytes.substr(c.headerLength + 3 * c.recordLength, c.recordLength);  // the 4th
        EXPECT_EQ(record[0], ' ');
        for (const Field& f : c.fields) EXPECT_EQ(record.substr(f.offset, f.bytes.size()), f.bytes) << "offset " << f.offset;
    }
}

TEST(ShipmentFiles, NothingMarkedLeavesTheTemplatesAsTheyAre) {
    test::SheetData data;
    data.sheet({"2024.05", "00101", "", patient, {{2, "1", nurse1}}});
    data.open();
    test::TempDir kuld;
    const ShipmentCounts counts = writeShipmentFiles(data.db(), "2024.05", "AB12", kuld.str());
    EXPECT_EQ(counts.headers + counts.visits + counts.diagnoses, 0);
    EXPECT_EQ(test::fileBytes(kuld.file("HosaAB12.Dbf")), templateBytes(outgoingLayout(Layout::Hosauj2)));
    EXPECT_EQ(test::fileBytes(kuld.file("HosbAB12.Dbf")), templateBytes(outgoingLayout(Layout::Hosbuj)));
    EXPECT_EQ(test::fileBytes(kuld.file("HoscAB12.Dbf")), templateBytes(outgoingLayout(Layout::Hoscuj)));
}

TEST(ShipmentFiles, FilesOfTheSameNamesAreReplaced) {
    test::SheetData data;
    data.sheet({"2024.05", "00101", "", patient, {{2, "1", nurse1}}, {{"Jeloles", "*"}}});
    data.open();
    test::TempDir kuld;
    writeShipmentFiles(data.db(), "2024.05", "1234", kuld.str());
    writeShipmentFiles(data.db(), "2024.05", "1234", kuld.str());
    EXPECT_EQ(readWithPython(kuld.file("Hosa1234.Dbf")).records.size(), 1u);
    EXPECT_EQ(readWithPython(kuld.file("Hosb1234.Dbf")).records.size(), 1u);
}

TEST(ShipmentFiles, UnsendableSheetsAreNamedWithWhatKeepsThemOut) {
    test::SheetData data;
    const std::string stranger = test::tajOf("10000099");
    data.sheet({"2024.05", "00101", "", patient, {{2, "1", nurse1}}, {{"Jeloles", "*"}}});
    data.sheet({"2024.05", "00102", "", stranger, {{2, "1", nurse1}}, {{"Jeloles", "*"}}});
    data.sheet({"2024.05", "00103", "A", patient, {{2, "1", nurse1}}, {{"Jeloles", "*"}, {"Orvkode", "12E456"}}});
    data.sheet({"2024.05", "00104", "", stranger, {{2, "1", nurse1}}});  // not marked
    data.sheet({"2015.12", "00105", "", patient, {{2, "1", "2000X0001"}}, {{"Jeloles", "*"}, {"Orvkodj", "x"}}});
    data.open();
    db::Sql(data.db()).run("delete from hlapb where sorsz=?", {db::Value("00101")});

    EXPECT_EQ(unsendableSheets(data.db(), "2015.12"),
              (std::vector<std::string>{
                  "00105 (2015.12): a javasló orvos kódja nem szám: 'x'; "
                  "a(z) 2. nap ápolójának TAJ száma nem szám: '2000X0001'",
                  "00101 (2024.05): hiányzik a látogatási sora",
                  "00102 (2024.05): a(z) " + stranger + " TAJ számú beteg nincs a betegek között",
                  "00103A (2024.05): az elrendelő orvos kódja nem szám: '12E456'"}));
    // The nurse's TAJ is text in the visit file of 2016 on.
    EXPECT_EQ(unsendableSheets(data.db(), "2024.05").front(), "00105 (2015.12): a javasló orvos kódja nem szám: 'x'");

    test::TempDir kuld;
    EXPECT_THROW(writeShipmentFiles(data.db(), "2024.05", "1234", kuld.str()), app::UserError);
    EXPECT_TRUE(std::filesystem::is_empty(kuld.path())) << "no file is started before every record is filled";
}

TEST(ShipmentFiles, NamesAndTheProviderCode) {
    const ShipmentFileNames written = shipmentFileNames("12AB"), copied = copyFileNames("12AB");
    EXPECT_EQ((std::vector<std::string>{written.hosa, written.hosb, written.hosc}),
              (std::vector<std::string>{"Hosa12AB.Dbf", "Hosb12AB.Dbf", "Hosc12AB.Dbf"}));
    EXPECT_EQ((std::vector<std::string>{copied.hosa, copied.hosb, copied.hosc}),
              (std::vector<std::string>{"hosa12AB.dbf", "hosb12AB.dbf", "hosc12AB.dbf"}));

    const std::pair<const char*, bool> codes[] = {{"1234", true}, {"ab9Z", true}, {"123", false}, {"12345", false},
                                                  {"12/4", false}, {"1 34", false}, {"..12", false}, {"", false},
                                                  {"12\xC3\xA9", false}};
    for (const auto& [code, ok] : codes) EXPECT_EQ(validIntkod(code), ok) << code;

    test::TempDir kuld;
    db::Database db(kuld.str());
    EXPECT_THROW(writeShipmentFiles(db, "2024.05", "../x", kuld.str()), app::UserError);
}
