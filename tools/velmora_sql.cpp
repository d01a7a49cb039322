// velmora-sql: SQL over the tables of a data directory, for looking into the
// data and for repairs. Reads only, unless --write is given.
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Sql.h"

#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using velmora::db::Database;
using velmora::db::DbError;
using velmora::db::Sql;
using velmora::db::SqlResult;

constexpr int kExitFailed = 1;   // a statement or a file could not be used
constexpr int kExitRefused = 2;  // a writing statement without --write
constexpr int kExitUsage = 64;

const char* const kHelp =
    "Használat: velmora-sql --data KÖNYVTÁR [--write] [UTASÍTÁS ...]\n"
    "\n"
    "SQL-utasítások futtatása az adatkönyvtár dBASE-tábláin. A táblákra nevükkel\n"
    "(select * from hlapa) vagy idézőjeles fájlúttal ('/út/HOSA.DBF') lehet hivatkozni.\n"
    "Utasítás nélkül a szabványos bemenetet olvassa: soronként egy utasítást, vagy\n"
    "pontosvesszővel elválasztott utasításokat.\n"
    "\n"
    "Kimenet: eredményenként egy fejléc a mezőnevekkel, utána a sorok; az értékeket\n"
    "tabulátor választja el, az üres (NULL) érték üres; az eredmények között üres sor.\n"
    "\n"
    "  --data KÖNYVTÁR  az adatkönyvtár\n"
    "  --write          módosító utasítások (update, insert, delete) engedélyezése;\n"
    "                   nélküle csak lekérdezés futhat\n"
    "  --help           ez a leírás\n"
    "\n"
    "Kilépési kód: 0 siker, 1 hibás utasítás vagy fájl, 2 módosító utasítás --write\n"
    "nélkül (semmi sem futott le), 64 hibás paraméterezés.\n";

// Splits at ';' outside quotes and comments (and at line ends when linesToo);
// whitespace-only pieces are dropped. sawSemicolon tells whether any ';'
// separated.
std::vector<std::string> splitStatements(const std::string& text, bool linesToo, bool* sawSemicolon = nullptr) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&]() {
        if (cur.find_first_not_of(" \t\r\n") != std::string::npos) out.push_back(cur);
        cur.clear();
    };
    char quote = 0;
    bool lineComment = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (lineComment) {
            if (c == '\n') { lineComment = false; if (linesToo) { flush(); continue; } }
            cur += c;
            continue;
        }
        if (quote) {
            if (c == quote) quote = 0;
            cur += c;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        else if (c == '-' && i + 1 < text.size() && text[i + 1] == '-') lineComment = true;
        else if (c == ';' || (linesToo && c == '\n')) {
            if (c == ';' && sawSemicolon) *sawSemicolon = true;
            flush();
            continue;
        }
        cur += c;
    }
    flush();
    return out;
}

void print(const SqlResult& r, bool& first) {
    if (r.columns.empty()) {
        if (r.changes) std::cerr << r.changes << " sor módosult.\n";
        return;
    }
    if (!first) std::cout << '\n';
    first = false;
    for (size_t c = 0; c < r.columns.size(); ++c) std::cout << (c ? "\t" : "") << r.columns[c];
    std::cout << '\n';
    for (const auto& row : r.rows) {
        for (size_t c = 0; c < row.size(); ++c) std::cout << (c ? "\t" : "") << row[c].asString();
        std::cout << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    bool write = false;
    std::vector<std::string> statements;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (a == "--write") {
            write = true;
        } else if (a == "--data") {
            if (i + 1 < argc) dataDir = argv[++i];
        } else if (a.rfind("--data=", 0) == 0) {
            dataDir = a.substr(7);
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "Ismeretlen kapcsoló: " << a << "\n" << kHelp;
            return kExitUsage;
        } else {
            for (std::string& s : splitStatements(a, false)) statements.push_back(std::move(s));
        }
    }
    if (dataDir.empty()) {
        std::cerr << "Hiányzik az adatkönyvtár (--data KÖNYVTÁR).\n" << kHelp;
        return kExitUsage;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir, ec)) {
        std::cerr << "A(z) " << dataDir << " adatkönyvtár nem található.\n";
        return kExitFailed;
    }
    if (statements.empty()) {
        // Input with ';' separates by it, so a statement may span lines;
        // otherwise every line is one statement.
        const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        bool semicolons = false;
        statements = splitStatements(input, false, &semicolons);
        if (!semicolons) statements = splitStatements(input, true);
    }

    try {
        Database db(dataDir);
        Sql sql(db);
        sql.setOpenTablesOnDemand(true);
        if (!write)
            for (const std::string& s : statements)
                if (!sql.isReadOnly(s)) {
                    std::cerr << "Az utasítás módosítaná az adatokat; ehhez a --write kapcsoló kell:\n" << s << "\n";
                    return kExitRefused;
                }
        bool first = true;
        for (const std::string& s : statements) print(sql.run(s), first);
        std::cout.flush();
        db.closeAll();
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << e.what() << "\n";
        return kExitFailed;
    }
    return 0;
}
