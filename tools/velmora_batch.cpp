// velmora-batch: the monthly work without windows, for scripts and for the
// people who look after the machines. Each command runs the logic of its
// menu item; the questions the windows ask are answered by options.
#include "batch_commands.h"

#include "app/DataDirLock.h"
#include "app/DiagnosticLog.h"
#include "app/UserError.h"
#include "check/DataCheck.h"
#include "store/Recovery.h"

#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

namespace {

using namespace velmora::batch;
namespace fs = std::filesystem;

const char* const kUsageLine = "Használat: velmora-batch [--data KÖNYVTÁR] [kapcsolók] PARANCS [paraméter]\n";

const char* const kHelp =
    "\n"
    "A havi munka ablak nélkül, parancsfájlokból is. Minden parancs ugyanazt teszi,\n"
    "mint a program megfelelő menüpontja; a program üzeneteit a hibakimenetre írja.\n"
    "\n"
    "Parancsok:\n"
    "  backup [--archive KÖNYVTÁR]   mentés a MENT könyvtárba; --archive-val a Zaras.arj\n"
    "                                csomag másolata is a KÖNYVTÁR-ba kerül\n"
    "  restore --ment | --archive ÚT visszatöltés a MENT könyvtárból, vagy a Zaras.arj\n"
    "                                csomagból (ÚT a csomag vagy az őt tartalmazó könyvtár)\n"
    "  ship IDŐSZAK [--sheets LAPOK] [--copy KÖNYVTÁR]\n"
    "                                adatküldés az IDŐSZAK-ra (ÉÉÉÉ.HH): a küldhető lapok\n"
    "                                mind, vagy csak a felsoroltak (ÉÉÉÉ.HH/SORSZ[RÉSZ],\n"
    "                                vesszővel elválasztva); az állományok a KULD-ba,\n"
    "                                --copy-val a KÖNYVTÁR-ba is kerülnek\n"
    "  import-billed KÖNYVTÁR        elszámolt lapok beolvasása (a --period időszakára)\n"
    "  import-contracts KÖNYVTÁR     szerződések beolvasása\n"
    "  import-full KÖNYVTÁR --yes    teljes adatállomány beolvasása (a helyi lapok helyére)\n"
    "  report NÉV --pdf FÁJL | --xlsx FÁJL | --csv FÁJL\n"
    "                                a Listák menü egy listája PDF-be, vagy a sorai Excel\n"
    "                                táblázatba, illetve CSV állományba (a FÁJL helyére;\n"
    "                                a három közül egy):\n"
    "      doctors | nurses | patients | bno      törzslisták\n"
    "      bno-chapter --chapter C00-D48          egy betegségcsoport BNO kódjai\n"
    "      sheets [--sheets LAPOK]                a --period időszakának elszámolási lapjai,\n"
    "                                             vagy az évéből a felsoroltak\n"
    "      monthly-summary --orders SZÁM          havi összesítő (SZÁM: elrendelő lapok)\n"
    "      monthly-accounting                     havonkénti elszámolás\n"
    "      employee-days                          dolgozók teljesített napjai\n"
    "      taj-list [--taj TAJ | --period IDŐSZAK | --from IDŐSZAK [--to IDŐSZAK]]\n"
    "                                             TAJ számos ellenőrző lista\n"
    "      unpaid-days [--from IDŐSZAK] [--to IDŐSZAK]\n"
    "                                             ki nem fizetett napok (alapból az év\n"
    "                                             elejétől a --period időszakáig)\n"
    "      overview                               az év áttekintése (PDF: a diagramokkal)\n"
    "  overview --pdf FÁJL           ugyanaz, mint a report overview: a --period évének\n"
    "                                áttekintése\n"
    "  reindex                       indexelés\n"
    "  check                         az adatok ellenőrzése, semmit sem módosít; a félbemaradt\n"
    "                                műveletek nyomait is jelenti\n"
    "  recover                       csak a félbemaradt műveletek rendezése (ezt minden más\n"
    "                                parancs is elvégzi elsőként, a check kivételével)\n"
    "\n"
    "Kapcsolók:\n"
    "  --data KÖNYVTÁR  az adatkönyvtár; nélküle a munkakönyvtár DATA mappája. A KULD,\n"
    "                   TEMP és LISTA mappák a munkakönyvtárban vannak, mint a programnál.\n"
    "  --period IDŐSZAK a munka időszaka (ÉÉÉÉ.HH), mint az időszak-ablakban; nélküle\n"
    "                   a mai nap hónapja\n"
    "  --yes            a program kérdéseire igen a válasz; nélküle a kérdést igénylő\n"
    "                   parancs nem fut le, hanem a kérdés szövegével kilép\n"
    "  --help           ez a leírás\n"
    "\n"
    "Nem fut, amíg a program (vagy egy másik velmora-batch) ugyanazon az\n"
    "adatkönyvtáron dolgozik. A kérdések közül a mentés helyére vonatkozót az\n"
    "--archive dönti el, az e-jelentést a parancs nem nyitja meg. A report lezárt\n"
    "időszakra is kérdés nélkül fut, mert semmit sem módosít.\n"
    "\n"
    "Kilépési kód:\n"
    "  0  siker (check: az adatok rendben vannak)\n"
    "  1  a parancs hibával megállt; az üzenete mondja meg, miért\n"
    "  2  a parancs kérdést tenne fel, és nincs --yes; semmi sem változott\n"
    "  3  az adatkönyvtáron a program vagy egy másik futás dolgozik\n"
    "  4  check: hibát talált (a jelentés a szabványos kimeneten), az előzmények\n"
    "     programon kívüli módosítását is\n"
    "  5  nincs ilyen adatkönyvtár, vagy nem a program adatkönyvtára\n"
    "  64 ismeretlen parancs vagy kapcsoló, hiányzó vagy hibás paraméter\n"
    "A kódot a parancs eredménye adja: ami nem készült el, az 1-es kóddal zárul.\n"
    "\n"
    "Napló: a futás, az üzenetek és a kilépési kód a telepítés velmora.log állományába\n"
    "kerül: DATA nevű --data mappánál a szülőjébe (ahová a program is ír), egyébként\n"
    "a --data mappába. A check nem ír naplót.\n"
    "\n"
    "Példák:\n"
    "  velmora-batch --data DATA backup --archive /mnt/mentes\n"
    "  velmora-batch --data DATA restore --ment --yes\n"
    "  velmora-batch --data DATA ship 2024.03 --yes --copy /mnt/kuld\n"
    "  velmora-batch --data DATA ship 2024.03 --sheets 2024.03/00012,2024.03/00013A --yes\n"
    "  velmora-batch --data DATA import-billed /mnt/ruv --period 2024.03 --yes\n"
    "  velmora-batch --data DATA import-contracts /mnt/ruv --yes\n"
    "  velmora-batch --data DATA import-full /mnt/ruv --yes\n"
    "  velmora-batch --data DATA --period 2024.03 report monthly-summary --orders 12 --pdf osszesito.pdf\n"
    "  velmora-batch --data DATA report taj-list --from 2024.01 --to 2024.03 --pdf taj.pdf\n"
    "  velmora-batch --data DATA report taj-list --xlsx taj.xlsx\n"
    "  velmora-batch --data DATA overview --period 2024.03 --pdf attekintes.pdf\n"
    "  velmora-batch --data DATA --period 2024.03 report monthly-accounting --csv elszamolas.csv\n"
    "  velmora-batch --data DATA reindex\n"
    "  velmora-batch --data DATA check\n"
    "  velmora-batch --data DATA recover\n";

std::vector<std::string> splitList(const std::string& s) {
    std::vector<std::string> items;
    std::stringstream in(s);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) items.push_back(item);
    return items;
}

// The arguments after the command's name checked against what it takes.
void validate(Options& o) {
    static const std::set<std::string> withDirectory = {"import-billed", "import-contracts", "import-full"};
    const auto arguments = [&](size_t n) {
        if (o.args.size() != n)
            throw UsageError{"A(z) " + o.command + " parancs " +
                             (n == 0 ? std::string("nem vár paramétert.") : std::to_string(n) + " paramétert vár.")};
    };
    if (o.command.empty()) throw UsageError{"Hiányzik a parancs."};
    if (o.command == "backup" || o.command == "reindex" || o.command == "check" || o.command == "recover") {
        arguments(0);
    } else if (o.command == "restore") {
        arguments(0);
        if (o.ment == o.archive.has_value())
            throw UsageError{"A restore parancshoz a --ment vagy az --archive ÚT kapcsoló kell (a kettő közül egy)."};
    } else if (o.command == "ship") {
        arguments(1);
        if (!isPeriod(o.args[0])) throw UsageError{"Hibás időszak: " + o.args[0] + " (ÉÉÉÉ.HH alakú kell)."};
        if (o.period && *o.period != o.args[0])
            throw UsageError{"A --period és a ship parancs időszaka eltér."};
        o.period = o.args[0];
    } else if (withDirectory.count(o.command)) {
        arguments(1);
    } else if (o.command == "report") {
        arguments(1);
        validateReport(o);
    } else if (o.command == "overview") {
        // The overview is a report of its own: the same files and options.
        arguments(0);
        o.command = "report";
        o.args = {"overview"};
        validateReport(o);
    } else if (o.command == "history") {
        arguments(0);
        validateHistory(o);
    } else {
        throw UsageError{"Ismeretlen parancs: " + o.command};
    }
    if (!o.sheets.empty() && o.command != "ship" && o.command != "report")
        throw UsageError{"A --sheets csak a ship és a report sheets parancshoz való."};
    if (o.sheet && o.command != "history") throw UsageError{"A --sheet csak a history parancshoz való."};
    if (o.command != "report")
        for (const auto& [name, given] : reportOptionsGiven(o))
            if (given && !(o.command == "history" && (std::string(name) == "--from" || std::string(name) == "--to")))
                throw UsageError{std::string("A(z) ") + name + " csak a report parancshoz való."};
    if (o.copyTo && o.command != "ship") throw UsageError{"A --copy csak a ship parancshoz való."};
    if (o.encrypt && (o.command != "backup" || !o.archive || !o.passphraseFile))
        throw UsageError{"Az --encrypt a backup parancshoz való, az --archive KÖNYVTÁR és a --passphrase-file FÁJL "
                         "kapcsolóval együtt."};
    if (o.passphraseFile && !(o.command == "backup" && o.encrypt) && !(o.command == "restore" && o.archive))
        throw UsageError{"A --passphrase-file a backup --encrypt és a restore --archive parancshoz való."};
    if (o.period && !isPeriod(*o.period)) throw UsageError{"Hibás időszak: " + *o.period + " (ÉÉÉÉ.HH alakú kell)."};
}

Options parse(int argc, char** argv) {
    Options o;
    const auto value = [&](int& i, const std::string& name) -> std::string {
        if (i + 1 >= argc) throw UsageError{"A(z) " + name + " kapcsoló után hiányzik az érték."};
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--data") o.dataDir = value(i, a);
        else if (a == "--yes") o.yes = true;
        else if (a == "--period") o.period = value(i, a), o.periodGiven = true;
        else if (a == "--archive") o.archive = value(i, a);
        else if (a == "--ment") o.ment = true;
        else if (a == "--encrypt") o.encrypt = true;
        else if (a == "--passphrase-file") o.passphraseFile = value(i, a);
        else if (a == "--sheets") o.sheets = splitList(value(i, a));
        else if (a == "--copy") o.copyTo = value(i, a);
        else if (a == "--pdf") o.pdf = value(i, a);
        else if (a == "--xlsx") o.xlsx = value(i, a);
        else if (a == "--csv") o.csv = value(i, a);
        else if (a == "--from") o.from = value(i, a);
        else if (a == "--to") o.to = value(i, a);
        else if (a == "--taj") o.taj = value(i, a);
        else if (a == "--chapter") o.chapter = value(i, a);
        else if (a == "--orders") o.orders = value(i, a);
        else if (a == "--sheet") o.sheet = value(i, a);
        else if (a.rfind("-", 0) == 0) throw UsageError{"Ismeretlen kapcsoló: " + a};
        else if (o.command.empty()) o.command = a;
        else o.args.push_back(a);
    }
    if (o.dataDir.empty()) o.dataDir = "DATA";
    while (o.dataDir.size() > 1 && o.dataDir.back() == '/') o.dataDir.pop_back();
    validate(o);
    return o;
}

std::optional<std::string> missingDataDir(const std::string& dir) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return "A(z) " + dir + " adatkönyvtár nem található.";
    return std::nullopt;
}

// A data directory of this program holds the fund's contract table, which
// the program never makes itself. Asked after the recovery, which may
// have to put that table back.
std::optional<std::string> foreignDataDir(const std::string& dir) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "hszerz.dbf") return std::nullopt;
    }
    return "A(z) " + dir + " könyvtár nem a Velmora adatkönyvtára (nincs benne HSzerz.dbf).";
}

// The check reads only: what the recovery would settle, it reports.
int check(const Options& options) {
    const velmora::check::CheckReport report = velmora::check::checkDataDirectory(
        velmora::store::placesFor(options.dataDir, fs::current_path().string()));
    std::cout << velmora::check::reportText(report);
    return report.clean() ? kOk : kFaults;
}



// The command line as the log records it: the tool's name and its words.
std::string commandLine(int argc, char** argv) {
    std::string line = "velmora-batch";
    for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
    return line;
}

// Everything after the command line is read: the data directory held, its
// recovery run, the command. Its messages go to standard error and, with
// the recovery's, to the installation's log.
int runHeld(const Options& options, velmora::app::DiagnosticLog& log) {
    using velmora::app::LogLevel;
    std::unique_ptr<velmora::app::DataDirLock> lock;
    try {
        lock = velmora::app::DataDirLock::tryAcquire(options.dataDir);
    } catch (const velmora::app::UserError& e) {
        log.write(LogLevel::Error, e.what());
        std::cerr << e.what() << "\n";
        return kFailed;
    }
    if (!lock) {
        log.write(LogLevel::Warning, velmora::app::dataDirHeldMessage(options.dataDir));
        std::cerr << velmora::app::dataDirHeldMessage(options.dataDir) << "\n";
        return kHeld;
    }
    if (options.command != "check") {
        // What a kill left is settled first, before anything looks at the directory.
        const velmora::store::RecoveryResult recovery =
            velmora::store::recoverDataDirectory(velmora::store::placesFor(options.dataDir, fs::current_path().string()));
        if (!recovery.summary.empty()) {
            log.write(LogLevel::Info, recovery.summary);
            std::cerr << recovery.summary << "\n";
        } else if (options.command == "recover") {
            std::cerr << "Nincs félbemaradt művelet, nem kellett semmit rendezni.\n";
        }
        for (const std::string& w : recovery.warnings) {
            log.write(LogLevel::Warning, w);
            std::cerr << w << "\n";
        }
        if (!recovery.usable) return kFailed;
        if (options.command == "recover") return kOk;
    }
    if (const auto problem = foreignDataDir(options.dataDir)) {
        log.write(LogLevel::Error, *problem);
        std::cerr << *problem << "\n" << kUsageLine << "Részletek: velmora-batch --help\n";
        return kNoData;
    }
    try {
        if (options.command == "check") return check(options);
        return runCommand(options, log);
    } catch (const velmora::app::UserError& e) {
        log.write(LogLevel::Error, e.what());
        std::cerr << e.what() << "\n";
        return kFailed;
    }
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::cout << kUsageLine << kHelp;
            return kOk;
        }
    Options options;
    try {
        options = parse(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << e.message << "\n" << kUsageLine << "Részletek: velmora-batch --help\n";
        return kUsage;
    }
    if (const auto problem = missingDataDir(options.dataDir)) {
        std::cerr << *problem << "\n" << kUsageLine << "Részletek: velmora-batch --help\n";
        return kNoData;
    }
    // The log of the installation the data directory belongs to; a folder
    // that is not one of the program's gets none (a journal there would
    // only be the recovery's to judge, and it says so on standard error),
    // and neither does the check, which changes not a byte.
    const bool ours = !foreignDataDir(options.dataDir) && options.command != "check";
    velmora::app::DiagnosticLog log(
        ours ? velmora::app::logFileIn(velmora::app::logDirOfData(options.dataDir)) : std::string());
    const velmora::app::InstalledLog installed(log);
    const std::string line = commandLine(argc, argv);
    log.write(velmora::app::LogLevel::Info, line);
    const int code = runHeld(options, log);
    log.write(code == kOk ? velmora::app::LogLevel::Info : velmora::app::LogLevel::Error,
              line + ": kilépési kód " + std::to_string(code));
    return code;
}
