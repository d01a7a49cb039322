#include "batch_run.h"

#include "app/Clock.h"
#include "app/LoggedDialogs.h"
#include "app/PeriodChoice.h"
#include "app/Session.h"
#include "app/UserError.h"
#include "backup/ArchiveCrypt.h"
#include "backup/Backup.h"
#include "backup/Restore.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Os.h"
#include "db/WriteUnit.h"
#include "exchange/BilledImport.h"
#include "exchange/ContractImport.h"
#include "exchange/FullImport.h"
#include "exchange/Shipment.h"
#include "program/StartupSequence.h"
#include "register/Marking.h"
#include "sheets/Sheet.h"
#include "store/IndexFiles.h"
#include "store/Reindex.h"
#include "store/Schemas.h"
#include "store/TableSetup.h"

#include <filesystem>
#include <iostream>
#include <regex>
#include <set>

namespace velmora::batch {

bool isPeriod(const std::string& s) {
    static const std::regex period(R"(\d{4}\.(0[1-9]|1[0-2]))");
    return std::regex_match(s, period);
}

std::vector<std::pair<const char*, bool>> reportOptionsGiven(const Options& o) {
    return {{"--pdf", o.pdf.has_value()},    {"--xlsx", o.xlsx.has_value()},       {"--csv", o.csv.has_value()},
            {"--from", o.from.has_value()},  {"--to", o.to.has_value()},
            {"--taj", o.taj.has_value()},    {"--chapter", o.chapter.has_value()}, {"--orders", o.orders.has_value()}};
}

int exitCode(const app::Outcome& outcome, const ConsoleDialogs& console) {
    // A question left unanswered is what the user has to decide, whatever followed from the "Nem".
    if (console.refused()) {
        std::cerr << "A kérdésre a --yes kapcsoló felel igennel; nélküle a parancs nem fut le:\n"
                  << *console.refused() << "\n";
        return kRefused;
    }
    return outcome ? kFailed : kOk;
}

std::optional<sheets::SheetKey> parseSheetKey(const std::string& text) {
    const size_t slash = text.find('/');
    if (slash != 7) return std::nullopt;
    sheets::SheetKey key;
    key.idoszak = text.substr(0, 7);
    const std::string number = text.substr(8);
    if (number.size() < 5 || number.size() > 6) return std::nullopt;
    key.sorsz = number.substr(0, 5);
    key.resz = number.substr(5);
    for (char c : key.sorsz)
        if (c < '0' || c > '9') return std::nullopt;
    return key;
}


namespace {

namespace fs = std::filesystem;

// The start-up without its windows: no login (the tool is for whoever may
// already read the data directory), and the period the command line gives.
class CommandLineStartup final : public program::StartupWindows {
public:
    CommandLineStartup(db::Database& db, app::Session& session, app::Dialogs& dialogs, std::string period)
        : db_(db), session_(session), dialogs_(dialogs), period_(std::move(period)) {}
    bool login() override { return true; }
    bool choosePeriod() override {
        app::ZarasPeriodTable periods(store::tableOf(db_, store::schema::ZARAS()));
        return app::SubmitPeriod(session_, period_, periods, dialogs_) == app::PeriodStep::Accepted;
    }
    void showVersionCaption() override {}

private:
    db::Database& db_;
    app::Session& session_;
    app::Dialogs& dialogs_;
    std::string period_;
};

// --- backup and restore -----------------------------------------------------------

// The passphrase of an encrypted backup: the file --passphrase-file names,
// without one closing line break, so that `echo` and an editor both make
// one. Never from the command line, which other users of the machine see.
class PassphraseFile {
public:
    PassphraseFile(const std::optional<std::string>& path, app::Dialogs& dialogs) : dialogs_(dialogs) {
        if (!path) return;
        try {
            std::string text = db::os::File::open(*path, db::os::Access::Read).readAll();
            if (!text.empty() && text.back() == '\n') text.pop_back();
            if (!text.empty() && text.back() == '\r') text.pop_back();
            text_ = std::move(text);
        } catch (const db::DbError& e) {
            app::show(dialogs_, app::failureOf("A jelszófájl nem olvasható!", e));
            unreadable_ = true;
        }
    }
    bool unreadable() const { return unreadable_; }
    std::optional<std::string> passphrase() const {
        if (!text_) dialogs_.error("A titkosított mentés jelszavát a --passphrase-file FÁJL kapcsoló adja meg.");
        return text_;
    }

private:
    app::Dialogs& dialogs_;
    std::optional<std::string> text_;
    bool unreadable_ = false;
};

class BackupPlace final : public backup::BackupWindows {
public:
    BackupPlace(std::optional<std::string> dir, const PassphraseFile& passphrase)
        : dir_(std::move(dir)), passphrase_(passphrase) {}
    std::optional<std::string> chooseBackupPlace() override { return dir_; }
    std::optional<std::string> askPassphrase(const std::string&) override { return passphrase_.passphrase(); }

private:
    std::optional<std::string> dir_;
    const PassphraseFile& passphrase_;
};

// A folder a script names, made when it is not there yet; when it cannot
// be, the command that writes into it names the cause.
void makeFolderQuietly(const std::string& dir) {
    try {
        db::os::makeDirectories(dir);
    } catch (const db::DbError&) {
    }
}

int backupCommand(Run& run) {
    const PassphraseFile passphrase(run.options.passphraseFile, run.dialogs);
    if (passphrase.unreadable()) return kFailed;
    const bool outside = run.options.archive.has_value();
    // A script names a folder that may not be there yet; the backup names
    // a place that cannot be written.
    if (outside) makeFolderQuietly(*run.options.archive);
    BackupPlace place(run.options.archive, passphrase);
    const backup::BackupOutcome done = backup::runBackup(run.db, run.session, run.dialogs, place, run.progress);
    // The copy asked for elsewhere is part of the command: MENT alone is not what the script wanted.
    const bool whole = done.copied && (!outside || done.placed);
    return exitCode(whole ? app::Outcome() : app::Failure{app::FailureKind::Engine, backup::kBackupFailed, {}},
                    run.console);
}

class RestorePlace final : public backup::RestoreWindows {
public:
    RestorePlace(backup::RestoreSource source, const PassphraseFile& passphrase)
        : source_(std::move(source)), passphrase_(passphrase) {}
    std::optional<backup::RestoreSource> chooseRestoreSource() override { return source_; }
    std::optional<std::string> askPassphrase(const std::string&) override { return passphrase_.passphrase(); }

private:
    backup::RestoreSource source_;
    const PassphraseFile& passphrase_;
};

// The name an archive given by path is read under in TEMP: the encrypted
// copy's name keeps its check that the file really is one.
std::string archiveCopyName(const fs::path& archive) {
    const std::string name = archive.filename().string();
    const std::string tail = ".titkos";
    const bool encryptedName = name.size() >= tail.size() &&
                               db::upperAscii(name.substr(name.size() - tail.size())) == db::upperAscii(tail);
    return encryptedName ? backup::kEncryptedArchiveName : "Zaras.arj";
}

int restoreCommand(Run& run) {
    const PassphraseFile passphrase(run.options.passphraseFile, run.dialogs);
    if (passphrase.unreadable()) return kFailed;
    backup::RestoreSource source;
    if (run.options.ment) {
        source = {run.session.mentdir, true};
    } else {
        // An archive named otherwise than the backup names it is read from
        // a copy under its own name in TEMP.
        const fs::path archive = *run.options.archive;
        std::error_code ec;
        if (fs::is_directory(archive, ec)) {
            source = {archive.string(), false};
        } else if (!fs::is_regular_file(archive, ec)) {
            run.dialogs.error("A(z) " + archive.string() + " mentés nem található.");
            return kFailed;
        } else {
            // A work folder of TEMP: the next start removes what a kill leaves of it.
            const fs::path copy = fs::path(run.session.ktemp) / "VISSZA.uj";
            try {
                db::os::removeTree(copy.string());
                db::os::makeDirectories(copy.string());
                db::os::copyFile(archive.string(), (copy / archiveCopyName(archive)).string());
            } catch (const db::DbError& e) {
                app::show(run.dialogs, app::failureOf(e));
                return kFailed;
            }
            source = {copy.string(), false, archive.string()};
        }
    }
    if (!source.dir.empty() && source.dir.back() != '/') source.dir += '/';
    RestorePlace place(source, passphrase);
    const backup::RestoreOutcome done = backup::runRestore(run.db, run.session, run.dialogs, place, run.progress);
    if (!run.options.ment) {
        try {
            db::os::removeTree((fs::path(run.session.ktemp) / "VISSZA.uj").string());
        } catch (const db::DbError&) {
            // the next start removes it
        }
    }
    return exitCode(done.failure, run.console);
}

// --- the shipment -----------------------------------------------------------------

class ShipmentCopy final : public exchange::ShipmentWindows {
public:
    explicit ShipmentCopy(std::optional<std::string> dir) : dir_(std::move(dir)) {}
    bool eReport() override { return false; }  // no page without windows
    std::optional<std::string> copyDirectory() override { return dir_; }
    void closeRegister() override {}

private:
    std::optional<std::string> dir_;
};

std::string trimmed(const std::string& s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// The keys of the sheets the register lists under the shared table's filter.
std::set<std::string> listedKeys(db::Table& hlapa) {
    std::set<std::string> keys;
    for (int p = 0; p < hlapa.recordCount(); ++p)
        keys.insert(trimmed(hlapa.valueAtPosition(p, "Idoszak").asString()) + "/" +
                    trimmed(hlapa.valueAtPosition(p, "Sorsz").asString()) +
                    trimmed(hlapa.valueAtPosition(p, "Resz").asString()));
    return keys;
}

int shipCommand(Run& run) {
    const std::string& period = run.session.mIdoszak;
    db::Table& hlapa = store::tableOf(run.db, store::schema::HLAPA());
    if (const auto refusal = exchange::sendingRefusal(run.db, period)) {
        run.dialogs.error(*refusal);
        return kFailed;
    }
    hlapa.setFilter(exchange::sendingFilter(period));
    struct FilterOff {
        db::Table& table;
        ~FilterOff() { table.clearFilter(); }
    } filterOff{hlapa};
    const std::set<std::string> listed = listedKeys(hlapa);
    std::set<std::string> chosen;
    for (const std::string& text : run.options.sheets) {
        const std::optional<sheets::SheetKey> key = parseSheetKey(text);
        if (!key || !listed.count(key->idoszak + "/" + key->sorsz + key->resz)) {
            run.dialogs.error("A(z) " + text + " elszámolási lap nem küldhető ebben a küldeményben.");
            return kFailed;
        }
        chosen.insert(text);
    }
    const int count = static_cast<int>(run.options.sheets.empty() ? listed.size() : chosen.size());
    if (count == 0) {
        run.dialogs.error(exchange::kNothingMarked);
        return kFailed;
    }
    // The question comes before any mark is set, so that a refusal leaves
    // the sheets as they were.
    if (!run.options.yes) {
        run.dialogs.ask(exchange::sendQuestion(count, run.session.zarnez));
        return exitCode(app::Failure{app::FailureKind::Cancelled, exchange::sendQuestion(count, run.session.zarnez).text, {}},
                        run.console);
    }
    // The marks set here reach the files with the shipment, in one unit;
    // a shipment that is refused or fails leaves them as they were.
    db::WriteUnit marks(run.db);
    reg::BulkToggle toggle;
    if (!exchange::openForSending(run.db, period, toggle, run.dialogs)) return kFailed;
    if (run.options.sheets.empty()) {
        reg::markListed(run.db, toggle.flip());
    } else {
        for (const std::string& text : chosen) reg::toggleMark(run.db, *parseSheetKey(text));
    }
    if (run.options.copyTo) makeFolderQuietly(*run.options.copyTo);
    ShipmentCopy windows(run.options.copyTo);
    return exitCode(exchange::sendMarked(run.db, run.session, run.dialogs, run.progress, windows, &marks), run.console);
}

// --- imports and reindexing -------------------------------------------------------

class ChosenDirectory final : public exchange::ImportWindows, public exchange::FullImportWindows {
public:
    explicit ChosenDirectory(std::string dir) : dir_(std::move(dir)) {
        if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
    }
    std::optional<std::string> importDirectory() override { return dir_; }
    std::optional<std::string> sourceDirectory() override { return dir_; }

private:
    std::string dir_;
};

int importBilledCommand(Run& run) {
    ChosenDirectory dir(run.options.args.at(0));
    return exitCode(exchange::importBilled(run.db, run.session, run.dialogs, run.progress, dir), run.console);
}

int importContractsCommand(Run& run) {
    ChosenDirectory dir(run.options.args.at(0));
    return exitCode(exchange::importContracts(run.db, run.session, run.dialogs, run.progress, dir), run.console);
}

int importFullCommand(Run& run) {
    ChosenDirectory dir(run.options.args.at(0));
    return exitCode(exchange::importFullDataSet(run.db, run.session, run.dialogs, run.progress, dir).outcome(),
                    run.console);
}

int reindexCommand(Run& run) {
    // An engine failure throws on to runCommand; false is a contract that cannot be read.
    const bool goOn = store::Indexeles(run.db, run.session, run.dialogs, run.progress);
    return exitCode(goOn ? app::Outcome() : app::Failure{app::FailureKind::Engine, "Az indexelés nem fejeződött be.", {}},
                    run.console);
}

int dispatch(Run& run) {
    const std::string& c = run.options.command;
    if (c == "backup") return backupCommand(run);
    if (c == "restore") return restoreCommand(run);
    if (c == "ship") return shipCommand(run);
    if (c == "import-billed") return importBilledCommand(run);
    if (c == "import-contracts") return importContractsCommand(run);
    if (c == "import-full") return importFullCommand(run);
    if (c == "reindex") return reindexCommand(run);
    if (c == "report") return reportCommand(run);
    if (c == "history") return historyCommand(run);
    throw std::logic_error("velmora-batch: no command " + c);
}

} // namespace

int runCommand(const Options& options, app::DiagnosticLog& log) {
    app::SystemClock clock;
    app::Session session(clock);
    session.dataDir = options.dataDir + "/";
    db::Database db(session.dataDir);
    ConsoleDialogs console(options.yes, [&options](app::Msg question) { return answerFor(options, question); });
    app::LoggedDialogs dialogs(console, log);
    ConsoleProgress progress;
    CommandLineStartup startup(db, session, dialogs, options.period.value_or(clock.today().period()));
    const program::StartupResult started = program::runStartup(db, session, dialogs, startup);
    if (!started.ready() || !started.stepFailures.empty()) {
        // A period refused (a closed one without --yes) ends the start-up as the period window would.
        const app::Failure stop = started.failure          ? *started.failure
                                  : !started.stepFailures.empty() ? started.stepFailures.front()
                                                                  : app::Failure{app::FailureKind::Cancelled, "Nincs elfogadott időszak.", {}};
        return exitCode(stop, console);
    }
    Run run{options, db, session, dialogs, console, progress};
    try {
        const int code = dispatch(run);
        db.closeAll();
        return code;
    } catch (const std::exception& e) {
        app::show(dialogs, app::failureOf("Hiba a lefutásban!", e));
        return kFailed;
    }
}

} // namespace velmora::batch
