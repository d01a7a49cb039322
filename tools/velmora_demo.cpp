// velmora-demo: builds a ready-to-run demo installation. The target folder
// gets a copy of the program (with its help folder) and a DATA folder with
// the seven tables the fund supplies, written as dBASE III files from the
// tab-separated text files of the demo data folder.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldDef.h"
#include "db/Value.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef VELMORA_DEMO_DATA_DIR
#define VELMORA_DEMO_DATA_DIR "."
#endif

namespace {

namespace fs = std::filesystem;
using velmora::db::FieldDef;
using velmora::db::FieldList;
using velmora::db::Value;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 64;

const char* const kHelp =
    "Használat: velmora-demo --out KÖNYVTÁR --program PROGRAMFÁJL [--data KÖNYVTÁR]\n"
    "\n"
    "Bemutató telepítést készít: a KÖNYVTÁR-ba másolja a programot (és a mellette\n"
    "lévő help mappát), a KÖNYVTÁR/DATA mappába pedig megírja a pénztártól érkező\n"
    "hét táblát (PART, HSZERZ, HSZOLGSZ, TELEPUL, HTERULET, HTHELY, BNOTORZS)\n"
    "a bemutató adatok szövegfájljaiból.\n"
    "\n"
    "  --out KÖNYVTÁR      a telepítés helye; a DATA mappa nem létezhet még\n"
    "  --program FÁJL      a velmora program futtatható fájlja\n"
    "  --data KÖNYVTÁR     a bemutató adatok (TÁBLA.txt fájlok, tabulátorral\n"
    "                      elválasztva, első sor a mezőnevek); alapértelmezés:\n"
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

void writeTables(const fs::path& dataIn, const fs::path& dataOut) {
    velmora::db::Database database(dataOut.string());
    for (const FundTable& t : fundTables()) {
        const auto rows = readText(dataIn / (std::string(t.name) + ".txt"), t.fields);
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
    }
}

void copyProgram(const fs::path& program, const fs::path& out) {
    fs::copy_file(program, out / program.filename(), fs::copy_options::overwrite_existing);
    const fs::path help = program.parent_path() / "help";
    if (fs::is_directory(help))
        fs::copy(help, out / "help", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

} // namespace

int main(int argc, char** argv) {
    std::string out, program, data = VELMORA_DEMO_DATA_DIR;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        }
        std::string* target = a == "--out" ? &out : a == "--program" ? &program : a == "--data" ? &data : nullptr;
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
        writeTables(data, dataOut);
        std::cout << "Kész a bemutató telepítés: " << fs::absolute(outDir).string() << "\n"
                  << "Indítás: cd " << outDir.string() << " && ./" << fs::path(program).filename().string() << "\n";
        return 0;
    } catch (const Failure& e) {
        std::cerr << "Hiba: " << e.what() << "\n";
    } catch (const velmora::db::DbError& e) {
        std::cerr << "Hiba a táblák írásakor: " << e.what() << "\n";
    } catch (const fs::filesystem_error& e) {
        std::cerr << "Hiba a fájlok másolásakor: " << e.what() << "\n";
    }
    // A half-written DATA would be refused next time: it goes.
    std::error_code ignored;
    if (createdData) fs::remove_all(dataOut, ignored);
    return kExitFailed;
}
