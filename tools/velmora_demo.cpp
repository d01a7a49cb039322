// velmora-demo: builds a ready-to-run demo installation. The target folder
// gets a copy of the program (with its help folder) and a DATA folder with
// the seven tables the fund supplies, written as dBASE III files from the
// tab-separated text files of the demo data folder, and the program's own
// patients, doctors, nurses and residues, made up from the name lists of
// that folder, the same on every run. Then it opens the tables as the
// program's start does and enters a year and a half of billing sheets up to
// the newest residue period through the sheet logic (demo_sheets.cpp).
//
// The newest period is the month before today unless --until names one, so
// a newcomer sees this year's budget in use. The text files describe the
// provider as of 2026.04; for another end month every date of the fund's
// tables moves by whole years (contract years stay calendar years), and the
// residues run from the newest contract's start to that month. --until
// 2026.04 writes the text files' data set as it stands.
#include "app/Clock.h"
#include "app/Date.h"
#include "demo_dice.h"
#include "demo_sheets.h"

#include "app/TextHelpers.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldDef.h"
#include "db/Value.h"
#include "store/Schemas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#ifndef VELMORA_DEMO_DATA_DIR
#define VELMORA_DEMO_DATA_DIR "."
#endif

namespace {

namespace fs = std::filesystem;
namespace schema = velmora::store::schema;
using velmora::db::FieldDef;
using velmora::db::FieldList;
using velmora::db::Value;
using velmora::demo::Dice;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 64;

const char* const kHelp =
    "Használat: velmora-demo --out KÖNYVTÁR --program PROGRAMFÁJL [--until ÉÉÉÉ.HH]\n"
    "                        [--data KÖNYVTÁR]\n"
    "\n"
    "Bemutató telepítést készít: a KÖNYVTÁR-ba másolja a programot (és a mellette\n"
    "lévő help mappát), a KÖNYVTÁR/DATA mappába pedig megírja a pénztártól érkező\n"
    "hét táblát (PART, HSZERZ, HSZOLGSZ, TELEPUL, HTERULET, HTHELY, BNOTORZS)\n"
    "a bemutató adatok szövegfájljaiból, valamint kitalált betegeket (BETEG),\n"
    "orvosokat (ORVOS), ápolókat (APOL) és maradványokat (MARADV), végül másfél\n"
    "év elszámolási lapjait (HLAPA, HLAPB: teljes számlák és részszámla-sorozatok,\n"
    "némelyik lezárva) a program mentési ellenőrzésein át; ezek minden futáskor\n"
    "ugyanazok. Az ápolók a szerződés dolgozói közül valók.\n"
    "\n"
    "A legújabb időszak a mai napot megelőző hónap, hogy az idei keret is\n"
    "látszódjon; a szerződések, dolgozók és területek dátumai egész évekkel\n"
    "mozdulnak vele, a maradványok a legújabb szerződés kezdetétől eddig az\n"
    "időszakig tartanak.\n"
    "\n"
    "  --out KÖNYVTÁR      a telepítés helye; a DATA mappa nem létezhet még\n"
    "  --program FÁJL      a velmora program futtatható fájlja\n"
    "  --until ÉÉÉÉ.HH     a legújabb időszak a mai előtti hónap helyett (a\n"
    "                      tesztek és minták rögzített adataihoz; 2026.04 a\n"
    "                      szövegfájlok adatai változatlanul)\n"
    "  --data KÖNYVTÁR     a bemutató adatok (TÁBLA.txt fájlok, tabulátorral\n"
    "                      elválasztva, első sor a mezőnevek, és a névlisták:\n"
    "                      vezeteknevek, ferfinevek, noinevek, utcak .txt, soronként\n"
    "                      egy); alapértelmezés:\n"
    "                      " VELMORA_DEMO_DATA_DIR "\n"
    "  --help              ez a leírás\n"
    "\n"
    "Kilépési kód: 0 siker, 1 hiba, 64 hibás paraméterezés.\n";

struct FundTable {
    const char* name;  // text file is name + ".txt", table file name + ".DBF"
    FieldList fields;
};

FieldDef C(const char* name, int width) { return FieldDef::character(name, width); }
FieldDef D(const char* name) { return FieldDef::date(name); }
FieldDef N(const char* name, int width, int decimals = 0) { return FieldDef::numeric(name, width, decimals); }

// The layouts the fund delivers its files in.
std::vector<FundTable> fundTables() {
    FieldList contract = {C("INTKOD", 4), C("SZSZAM", 10), C("FINKOD", 9), N("OSSZNAP", 5), D("SZKEZD"), D("SZVEG")};
    for (const char* n : {"TELEP", "ORVOS", "GYOGYT", "DIPL", "DIET", "PSZICH", "MENTAL", "SZOCM", "HOSPSZ",
                          "SZAKAP", "FIZIO", "OSSZD"})
        contract.push_back(N(n, 3));
    for (FieldDef f : {D("MODDAT"), N("NORMNAP", 3), N("POTNAP", 3)}) contract.push_back(f);

    return {
        {"PART",
         {C("INTKOD", 4), C("MEGYE", 2), C("INTE", 40), C("IRSZAM", 4), C("HELY", 25), C("UTCA", 30),
          C("TELKORZET", 4), C("TELSZAM", 10), C("VEZETO", 30), C("BEOSZTAS", 30)}},
        {"HSZERZ", contract},
        {"HSZOLGSZ",
         {C("TAJ", 9), C("NEV", 30), D("KEZD"), D("VEG"), N("SSORSZAM", 5), N("ORASZ", 5), N("ORAK", 5),
          N("OSSZO", 5), N("HETIO", 5, 1), C("FOGLMIN", 1), C("MASFOGL", 1), C("MASHOL", 30), C("SZAKA", 1),
          C("SZAKB", 1), C("SZAKC", 1), C("SZAKCB", 1), C("SZAKCR", 1), C("SZHELY", 30), N("SZIDO", 5),
          C("TEVK", 8), C("TEVSZ", 8)}},
        {"TELEPUL", {C("KOZIGKOD", 7), C("HELYNEV", 30)}},
        {"HTERULET", {C("KOZIGKOD", 7), C("HELYNEV", 30), D("KEZD"), D("VEG"), N("TSORSZAM", 5), N("LETSZAM", 6)}},
        {"HTHELY",
         {N("TSORSZAM", 5), C("KOZIGKOD", 7), C("HELYNEV", 30), C("CIM", 40), D("KEZD"), D("VEG"), N("NAP", 3)}},
        {"BNOTORZS", {C("KOD10", 5), C("NEV", 100)}},
    };
}

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == '\t') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

// Rows of a text file, checked against the layout: the header must name the
// fields in order, every line must have one value per field.
std::vector<std::vector<Value>> readText(const fs::path& file, const FieldList& fields) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Failure("Nem olvasható a bemutató adatfájl: " + file.string());
    std::vector<std::vector<Value>> rows;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        if (line.empty()) continue;
        const std::vector<std::string> cells = splitTabs(line);
        const std::string where = file.filename().string() + " " + std::to_string(lineNo) + ". sor: ";
        if (cells.size() != fields.size())
            throw Failure(where + std::to_string(fields.size()) + " oszlop kellene, " + std::to_string(cells.size()) +
                          " van");
        if (lineNo == 1) {
            for (size_t i = 0; i < fields.size(); ++i)
                if (cells[i] != fields[i].name)
                    throw Failure(where + "a(z) " + std::to_string(i + 1) + ". oszlop neve " + fields[i].name +
                                  " kellene, nem " + cells[i]);
            continue;
        }
        std::vector<Value> row;
        for (const std::string& cell : cells) row.push_back(cell.empty() ? Value() : Value(cell));
        rows.push_back(std::move(row));
    }
    if (lineNo == 0) throw Failure("Üres a bemutató adatfájl: " + file.string());
    return rows;
}

// The rows of one fund table as written, looked up by field name.
struct FundRows {
    FieldList fields;
    std::vector<std::vector<Value>> rows;

    std::string text(size_t row, const char* field) const {
        const int i = velmora::db::findField(fields, field);
        if (i < 0) throw Failure(std::string("Nincs ilyen mező: ") + field);
        return rows[row][static_cast<size_t>(i)].asString();
    }
};
using FundData = std::map<std::string, FundRows>;

// A month "YYYY.MM" as a count of months, and back.
struct Month {
    int year = 0, month = 0;
    static std::optional<Month> parse(const std::string& text) {
        static const std::regex form(R"((\d{4})\.(\d{2}))");
        std::smatch m;
        if (!std::regex_match(text, m, form)) return std::nullopt;
        const Month out{std::stoi(m[1]), std::stoi(m[2])};
        if (out.month < 1 || out.month > 12 || out.year < 1995 || out.year > 2999) return std::nullopt;
        return out;
    }
    int index() const { return year * 12 + month - 1; }
    static Month of(int index) { return {index / 12, index % 12 + 1}; }
    std::string text() const { return std::to_string(year) + "." + velmora::app::TwoDigits(month); }
};

// The month the demo's text files end with, and the year of their newest contract.
constexpr Month kTextsEnd{2026, 4};

// The month before today.
Month lastMonth() {
    const velmora::app::Date today = velmora::app::SystemClock().today();
    return Month::of(Month{today.year, today.month}.index() - 1);
}

// Every date of a fund row `years` later (29 February becomes the 28th in
// a common year), and the contract number's year with it ("OH-2026/01").
void moveByYears(const FieldList& fields, std::vector<Value>& row, int years) {
    if (years == 0) return;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (row[i].isNull()) continue;
        const std::string text = row[i].asString();
        if (fields[i].type == 'D') {
            const auto day = velmora::app::Date::parse(text);
            if (!day) throw Failure("Hibás dátum a bemutató adatok között: " + text);
            row[i] = Value(day->addMonths(12 * years).text());
        } else if (fields[i].name == "SZSZAM") {
            static const std::regex year(R"(\d{4})");
            std::string moved;
            auto from = text.cbegin();
            for (std::sregex_iterator m(text.begin(), text.end(), year), end; m != end; ++m) {
                moved.append(from, text.cbegin() + m->position()) += std::to_string(std::stoi(m->str()) + years);
                from = text.cbegin() + m->position() + m->length();
            }
            row[i] = Value(moved.append(from, text.cend()));
        }
    }
}

FundData writeFundTables(const fs::path& dataIn, velmora::db::Database& database, int years) {
    FundData written;
    for (const FundTable& t : fundTables()) {
        auto rows = readText(dataIn / (std::string(t.name) + ".txt"), t.fields);
        for (auto& row : rows) moveByYears(t.fields, row, years);
        velmora::db::Table& table = database.table(t.name, std::string(t.name) + ".DBF");
        table.create(t.fields, 3);
        table.open();
        for (size_t i = 0; i < rows.size(); ++i) {
            try {
                table.appendValues(rows[i]);
            } catch (const velmora::db::DbError& e) {
                throw Failure(std::string(t.name) + ".txt " + std::to_string(i + 2) + ". sor: " + e.what());
            }
        }
        table.close();
        std::cout << t.name << ".DBF: " << rows.size() << " sor\n";
        written[t.name] = {t.fields, std::move(rows)};
    }
    return written;
}

// --- the program's own tables ----------------------------------------------

constexpr size_t kPatients = 30, kDoctors = 8, kNurses = 6;
constexpr uint64_t kSeed = 20260101;
// A year and a half of sheets, up to the newest residue period.
constexpr int kSheetMonths = 18;

struct Settlement {
    std::string code, name;
    int weight = 1;  // how many patients live there, relatively
};
struct Person {
    std::string taj, name;
};

// One entry a line.
std::vector<std::string> readList(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Failure("Nem olvasható a bemutató adatfájl: " + file.string());
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    if (out.empty()) throw Failure("Üres a bemutató adatfájl: " + file.string());
    return out;
}

struct NameLists {
    std::vector<std::string> surnames, men, women, streets;
};

NameLists readNameLists(const fs::path& dataIn) {
    return {readList(dataIn / "vezeteknevek.txt"), readList(dataIn / "ferfinevek.txt"),
            readList(dataIn / "noinevek.txt"), readList(dataIn / "utcak.txt")};
}

// What the own tables take from the fund's.
struct FundFacts {
    std::vector<Settlement> settlements;  // TELEPUL
    std::vector<Settlement> careArea;     // the TELEPUL rows HTERULET still serves, weighted
    std::vector<Person> employees;        // HSZOLGSZ
    std::string intkod;                   // PART
    std::string leader;                   // PART VEZETO
    std::string newestContractPeriod;     // "YYYY.MM" of the latest HSZERZ start
};

FundFacts factsOf(const FundData& fund) {
    FundFacts facts;
    const FundRows& telepul = fund.at("TELEPUL");
    for (size_t r = 0; r < telepul.rows.size(); ++r)
        facts.settlements.push_back({telepul.text(r, "KOZIGKOD"), telepul.text(r, "HELYNEV")});

    const FundRows& area = fund.at("HTERULET");
    for (size_t r = 0; r < area.rows.size(); ++r) {
        if (!area.text(r, "VEG").empty()) continue;
        const std::string code = area.text(r, "KOZIGKOD");
        // By the square root of the population: the town has the most
        // patients, the villages still a few.
        const int weight = static_cast<int>(std::sqrt(std::stod("0" + area.text(r, "LETSZAM")))) + 1;
        for (const Settlement& s : facts.settlements)
            if (s.code == code) facts.careArea.push_back({s.code, s.name, weight});
    }
    if (facts.careArea.empty())
        throw Failure("A HTERULET.txt egyik érvényes települése sincs meg a TELEPUL.txt-ben.");

    const FundRows& staff = fund.at("HSZOLGSZ");
    for (size_t r = 0; r < staff.rows.size(); ++r)
        facts.employees.push_back({staff.text(r, "TAJ"), staff.text(r, "NEV")});

    const FundRows& part = fund.at("PART");
    const FundRows& contract = fund.at("HSZERZ");
    if (part.rows.empty() || contract.rows.empty()) throw Failure("Üres a PART.txt vagy a HSZERZ.txt.");
    facts.intkod = part.text(0, "INTKOD");
    facts.leader = part.text(0, "VEZETO");
    std::string newest;
    for (size_t r = 0; r < contract.rows.size(); ++r) newest = std::max(newest, contract.text(r, "SZKEZD"));
    facts.newestContractPeriod = newest.substr(0, 7);
    return facts;
}

using Record = std::vector<std::pair<const char*, Value>>;

// Eight digits and the ninth: the weighted sum of the eight with weights
// 3,7,3,7,... modulo 10.
std::string withCheckDigit(const std::string& eight) {
    int sum = 0;
    for (size_t i = 0; i < eight.size(); ++i) sum += (eight[i] - '0') * (i % 2 == 0 ? 3 : 7);
    return eight + static_cast<char>('0' + sum % 10);
}

// A TAJ number not yet in `used`, leading zero as most are.
std::string newTaj(Dice& dice, std::set<std::string>& used) {
    for (;;) {
        std::string eight = "0";
        for (int i = 0; i < 7; ++i) eight += static_cast<char>('0' + dice.below(10));
        const std::string taj = withCheckDigit(eight);
        if (used.insert(taj).second) return taj;
    }
}

bool isDoctor(const std::string& name) { return name.rfind("Dr. ", 0) == 0; }

// Many women of the patients' age go by their husband's name: "Kiss Béláné".
std::string wifeOf(const std::string& surname, std::string husband) {
    if (!husband.empty() && husband.back() == 'a') husband.replace(husband.size() - 1, 1, "á");
    return surname + " " + husband + "né";
}

std::string personName(Dice& dice, const NameLists& lists, bool man, bool mayBeWife) {
    const std::string& surname = dice.pick(lists.surnames);
    if (man) return surname + " " + dice.pick(lists.men);
    if (mayBeWife && dice.below(3) == 0) return wifeOf(surname, dice.pick(lists.men));
    return surname + " " + dice.pick(lists.women);
}

std::string period(int year, int month) { return std::to_string(year) + "." + velmora::app::TwoDigits(month); }

// Born 1929-1962: old enough for hospice care, and every date a real day.
std::string birthDate(Dice& dice) {
    const std::string month = period(dice.between(1929, 1962), dice.between(1, 12));
    return month + "." + velmora::app::TwoDigits(dice.between(1, velmora::app::DaysInPeriod(month)));
}

std::vector<Record> patients(const FundFacts& fund, const NameLists& lists, Dice& dice, std::set<std::string>& tajs) {
    std::vector<Record> out;
    std::set<std::string> names;
    while (out.size() < kPatients) {
        const bool man = out.size() % 2 == 0;
        std::string name = personName(dice, lists, man, true);
        if (!names.insert(name).second) continue;
        const Settlement& home = dice.pickWeighted(fund.careArea);
        const std::string street = dice.pick(lists.streets) + " " + std::to_string(dice.between(1, 98)) + ".";
        out.push_back({{"TAJ", newTaj(dice, tajs)},
                       {"Nev", std::move(name)},
                       {"Neme", man ? "F" : "N"},
                       {"Aztip", "1"},
                       {"Kozigkod", home.code},
                       {"Cime1", home.name},
                       {"Cime2", street},
                       {"Szulh", dice.pick(fund.settlements).name},
                       {"Szuli", birthDate(dice)}});
    }
    return out;
}

// The contract's doctors and the head of the provider when a doctor, then
// made-up ones; each with a six-digit stamp code.
std::vector<Record> doctors(const FundFacts& fund, const NameLists& lists, Dice& dice) {
    std::vector<std::string> names;
    for (const Person& e : fund.employees)
        if (isDoctor(e.name)) names.push_back(e.name);
    const auto addNew = [&names](const std::string& name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    };
    if (isDoctor(fund.leader)) addNew(fund.leader);
    while (names.size() < kDoctors) addNew("Dr. " + personName(dice, lists, dice.below(2) == 0, false));
    std::vector<Record> out;
    std::set<int> codes;
    for (const std::string& name : names) {
        int code = 0;
        do code = dice.between(100000, 999999);
        while (!codes.insert(code).second);
        out.push_back({{"Orvoskod", std::to_string(code)}, {"Onev", name}});
        if (out.size() == kDoctors) break;
    }
    return out;
}

// The contract's nurses, whose working time the sheets are checked
// against; made-up ones only when it lists too few.
std::vector<Record> nurses(const FundFacts& fund, const NameLists& lists, Dice& dice, std::set<std::string>& tajs) {
    std::vector<Record> out;
    for (const Person& e : fund.employees)
        if (!isDoctor(e.name) && out.size() < kNurses) out.push_back({{"Aptaj", e.taj}, {"Anev", e.name}});
    while (out.size() < kNurses)
        out.push_back({{"Aptaj", newTaj(dice, tajs)}, {"Anev", personName(dice, lists, false, false)}});
    return out;
}

// The periods of the newest contract up to the newest period; at least
// the contract's first.
std::vector<Record> residues(const FundFacts& fund, Month until, Dice& dice) {
    const auto first = Month::parse(fund.newestContractPeriod);
    if (!first) throw Failure("Hibás szerződéskezdet a HSZERZ.txt-ben: " + fund.newestContractPeriod);
    std::vector<Record> out;
    for (int m = first->index(); m <= std::max(first->index(), until.index()); ++m)
        out.push_back({{"Intkod", fund.intkod},
                       {"Midoszak", Month::of(m).text()},
                       {"Ft", Value(int64_t{40000} + 1000 * int64_t{dice.between(0, 350)})}});
    return out;
}

void writeOwnTable(velmora::db::Database& database, const schema::TableDef& def, const std::vector<Record>& records) {
    velmora::db::Table& table = database.table(def.name, def.fileName);
    table.create(def.fields, def.level);
    table.open();
    for (size_t i = 0; i < records.size(); ++i) {
        try {
            table.append();
            for (const auto& [field, value] : records[i]) table.setField(field, value);
            table.post();
        } catch (const velmora::db::DbError& e) {
            throw Failure(def.fileName + " " + std::to_string(i + 1) + ". sor: " + e.what());
        }
    }
    table.close();
    std::cout << def.fileName << ": " << records.size() << " sor\n";
}

// Writes the fund's and the own tables; returns the newest residue period.
std::string writeTables(const fs::path& dataIn, const fs::path& dataOut, Month until) {
    const NameLists lists = readNameLists(dataIn);
    velmora::db::Database database(dataOut.string());
    const FundFacts fund = factsOf(writeFundTables(dataIn, database, until.year - kTextsEnd.year));

    Dice dice(kSeed);
    std::set<std::string> tajs;
    for (const Person& e : fund.employees) tajs.insert(e.taj);
    writeOwnTable(database, schema::APOL(), nurses(fund, lists, dice, tajs));
    writeOwnTable(database, schema::ORVOS(), doctors(fund, lists, dice));
    writeOwnTable(database, schema::BETEG(), patients(fund, lists, dice, tajs));
    const std::vector<Record> periods = residues(fund, until, dice);
    writeOwnTable(database, schema::MARADV(), periods);
    for (const auto& [field, value] : periods.back())
        if (std::string(field) == "Midoszak") return value.asString();
    throw Failure("Nincs maradvány időszak.");
}

void recordSheets(const fs::path& dataOut, const std::string& newestPeriod) {
    const velmora::demo::SheetTally t =
        velmora::demo::recordDemoSheets(dataOut.string(), newestPeriod, kSheetMonths, kSeed + 1);
    std::cout << "Elszámolási lapok " << t.firstPeriod << " – " << t.lastPeriod << " (" << t.periods
              << " időszak): " << t.full << " teljes számla, " << t.firstParts << " első és " << t.nextParts
              << " következő részszámla, ebből " << t.closed << " lezárt; " << t.visitDays << " ápolási nap\n";
}

void copyProgram(const fs::path& program, const fs::path& out) {
    fs::copy_file(program, out / program.filename(), fs::copy_options::overwrite_existing);
    const fs::path help = program.parent_path() / "help";
    if (fs::is_directory(help))
        fs::copy(help, out / "help", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

} // namespace

int main(int argc, char** argv) {
    std::string out, program, until, data = VELMORA_DEMO_DATA_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        }
        std::string* target = a == "--out"       ? &out
                              : a == "--program" ? &program
                              : a == "--until"   ? &until
                              : a == "--data"    ? &data
                                                 : nullptr;
        if (!target || i + 1 >= argc) {
            std::cerr << (target ? "Hiányzik a(z) " + a + " értéke." : "Ismeretlen paraméter: " + a) << "\n\n"
                      << kHelp;
            return kExitUsage;
        }
        *target = argv[++i];
    }
    if (out.empty() || program.empty()) {
        std::cerr << "Az --out és a --program megadása kötelező.\n\n" << kHelp;
        return kExitUsage;
    }
    const std::optional<Month> newest = until.empty() ? lastMonth() : Month::parse(until);
    if (!newest) {
        std::cerr << "Hibás időszak: " << until << " (ÉÉÉÉ.HH alakban kell megadni, pl. 2026.04)\n\n" << kHelp;
        return kExitUsage;
    }

    const fs::path outDir(out), dataOut = fs::path(out) / "DATA";
    bool createdData = false;
    try {
        if (!fs::is_regular_file(program)) throw Failure("Nem található a program: " + program);
        if (!fs::is_directory(data)) throw Failure("Nem található a bemutató adatok könyvtára: " + data);
        if (fs::exists(dataOut))
            throw Failure("Már létezik a DATA könyvtár: " + dataOut.string() +
                          "\nA meglévő adatokat nem írom felül; válasszon másik helyet, vagy törölje a könyvtárat.");
        fs::create_directories(dataOut);
        createdData = true;
        copyProgram(program, outDir);
        recordSheets(dataOut, writeTables(data, dataOut, *newest));
        std::cout << "Kész a bemutató telepítés: " << fs::absolute(outDir).string() << "\n"
                  << "Indítás: cd " << outDir.string() << " && ./" << fs::path(program).filename().string() << "\n";
        return 0;
    } catch (const Failure& e) {
        std::cerr << "Hiba: " << e.what() << "\n";
    } catch (const velmora::db::DbError& e) {
        std::cerr << "Hiba a táblák írásakor: " << e.what() << "\n";
    } catch (const fs::filesystem_error& e) {
        std::cerr << "Hiba a fájlok másolásakor: " << e.what() << "\n";
    } catch (const velmora::demo::SheetRefused& e) {
        std::cerr << "Hiba a bemutató elszámolási lapok rögzítésekor: " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "Hiba: " << e.what() << "\n";
    }
    // A half-written DATA would be refused next time: it goes.
    std::error_code ignored;
    if (createdData) fs::remove_all(dataOut, ignored);
    return kExitFailed;
}
