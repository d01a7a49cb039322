// velmora-sql: SQL over the tables of a data directory, for looking into the
// data and for repairs. Reads only, unless --write is given.
#include "app/DataDirLock.h"
#include "app/UserError.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Sql.h"
#include "store/Recovery.h"

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
constexpr int kExitHeld = 3;     // another program works on the data directory
constexpr int kExitUsage = 64;

const char* const kHelp =
    "Használat: velmora-sql --data KÖNYVTÁR [--write] [UTASÍTÁS ...]\n"
    "\n"
    "SQL-utasítások futtatása az adatkönyvtár dBASE-tábláin. A táblákra nevükkel\n"
    "(select * from hlapa) vagy idézőjeles fájlúttal ('/út/HOSA.DBF') lehet hivatkozni.\n"
    "Utasítás nélkül a szabványos bemenetet olvassa. Az utasításokat pontosvessző\n"
    "zárja (az utolsót nem kell); hogy hol ér véget egy utasítás, azt az SQLite\n"
    "értelmezője dönti el, így a szövegben és a megjegyzésben álló pontosvessző nem\n"
    "választ el. Minden paraméter egy vagy több teljes utasítás.\n"
    "\n"
    "Az összes utasítás egyetlen írási egység: ha bármelyik hibás, a korábbiak\n"
    "módosításai sem maradnak meg. A BEGIN, COMMIT és END elfogadott, de ezen nem\n"
    "változtat; a ROLLBACK visszavonja az addigi módosításokat.\n"
    "\n"
    "Indításkor, ha egy korábbi írás félbemaradt (a program leállt közben), a\n"
    "napló alapján befejezi vagy elveti, és eltakarítja a félbemaradt műveletek\n"
    "maradványait; erről egy sort ír a hibakimenetre. Amíg fut, más (a Velmora,\n"
    "a velmora-batch) nem dolgozhat az adatkönyvtáron, és fordítva.\n"
    "\n"
    "Kimenet: eredményenként egy fejléc a mezőnevekkel, utána a sorok; az értékeket\n"
    "tabulátor választja el, az üres (NULL) érték üres; az eredmények között üres sor.\n"
    "\n"
    "  --data KÖNYVTÁR  az adatkönyvtár\n"
    "  --write          módosító utasítások (update, insert, delete) engedélyezése;\n"
    "                   nélküle csak lekérdezés futhat\n"
    "  --help           ez a leírás\n"
    "\n"
    "Kilépési kód: 0 siker, 1 hibás utasítás vagy fájl (semmi sem módosult),\n"
    "2 módosító utasítás --write nélkül (semmi sem futott le), 3 az adatkönyvtáron\n"
    "egy másik program dolgozik, 64 hibás paraméterezés.\n";

// Changes are told once the whole script has reached the files.
void print(const SqlResult& r, bool& first, std::vector<std::string>& changes) {
    if (r.columns.empty()) {
        if (r.changes) changes.push_back(std::to_string(r.changes) + " sor módosult.");
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
    std::string script;
    bool fromArguments = false;
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
            // Each argument ends its statements, so a line comment at its
            // end cannot swallow the next one.
            script += a + "\n;\n";
            fromArguments = true;
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
    if (!fromArguments) script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

    std::unique_ptr<velmora::app::DataDirLock> lock;
    try {
        lock = velmora::app::DataDirLock::tryAcquire(dataDir);
    } catch (const velmora::app::UserError& e) {
        std::cerr << e.what() << "\n";
        return kExitFailed;
    }
    if (!lock) {
        std::cerr << velmora::app::dataDirHeldMessage(dataDir) << "\n";
        return kExitHeld;
    }
    try {
        // What a kill left of an earlier write or command is settled before any table opens.
        const velmora::store::RecoveryResult recovery =
            velmora::store::recoverDataDirectory(velmora::store::placesFor(dataDir));
        if (!recovery.summary.empty()) std::cerr << recovery.summary << "\n";
        for (const std::string& w : recovery.warnings) std::cerr << w << "\n";
        if (!recovery.usable) return kExitFailed;

        Database db(dataDir);
        Sql sql(db);
        sql.setOpenTablesOnDemand(true);
        if (!write)
            if (const auto writing = sql.firstWritingStatement(script)) {
                std::cerr << "Az utasítás módosítaná az adatokat; ehhez a --write kapcsoló kell:\n" << *writing << "\n";
                return kExitRefused;
            }
        bool first = true;
        std::vector<std::string> changes;
        sql.runScript(script, [&](const SqlResult& r) { print(r, first, changes); });
        for (const std::string& c : changes) std::cerr << c << "\n";
        std::cout.flush();
        db.closeAll();
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << e.what() << "\n";
        return kExitFailed;
    }
    return 0;
}
