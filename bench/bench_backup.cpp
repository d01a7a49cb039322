// What a backup and a restore cost on fifteen years of a large provider:
// the fourteen tables copied into MENT and compared, packed into Zaras.arj,
// tested, copied to the chosen drive and tested again; and the restore of
// that archive: tested, extracted, every table read to its last row, the
// live tables swapped, upgraded and every index rebuilt. The same with the
// encrypted copy on the drive instead (the key derived, the archive
// encrypted, opened again and compared; on restore opened first).
#include "BenchSupport.h"

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "backup/Backup.h"
#include "backup/BackupSet.h"
#include "backup/Restore.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace fs = std::filesystem;

const char* const kPassphrase = "Egy hosszabb mentési jelszó, 2024 ősz";

struct Windows : backup::BackupWindows, backup::RestoreWindows {
    std::string drive;
    std::optional<std::string> chooseBackupPlace() override { return drive; }
    std::optional<backup::RestoreSource> chooseRestoreSource() override { return backup::RestoreSource{drive, false}; }
    std::optional<std::string> askPassphrase(const std::string&) override { return kPassphrase; }
};

// Yes to every question but the encryption's, which `encrypt` answers.
struct BackupDialogs : bench::RecordingDialogs {
    bool encrypt = false;
    bool ask(const app::Question& question) override {
        return question.id == app::Msg::EncryptQuestion ? encrypt : true;
    }
};

// The data set with every table of the backup set present, open as the
// program holds them.
struct BackupFixture {
    bench::DataCopy copy{"backup", true};
    app::FixedClock clock{{2024, 11, 20}};
    app::Session session{clock};
    Windows windows;
    BackupDialogs dialogs;
    app::SilentProgress progress;
    db::Database database{copy.dir};

    BackupFixture() {
        session.mentdir = copy.dir + "/MENT/";
        session.ktemp = copy.dir + "/TEMP/";
        windows.drive = copy.dir + "/drive";
        fs::create_directories(windows.drive);
        fs::create_directories(session.ktemp);
        addTerritories();
        for (const store::schema::TableDef* def : backup::backedUpTables()) {
            db::Table& t = store::tableOf(database, *def);
            if (!fs::exists(copy.dir + "/" + def->fileName)) t.create(def->fields);
            t.open();
        }
    }
    // The fund's two territory tables, which the sheet benchmarks do not read.
    void addTerritories() {
        using db::FieldDef;
        const db::FieldList terulet{FieldDef::character("KOZIGKOD", 7), FieldDef::character("HELYNEV", 30),
                                    FieldDef::date("KEZD"),          FieldDef::date("VEG"),
                                    FieldDef::numeric("TSORSZAM", 5), FieldDef::numeric("LETSZAM", 6)};
        const db::FieldList thely{FieldDef::numeric("TSORSZAM", 5), FieldDef::character("KOZIGKOD", 7),
                                  FieldDef::character("HELYNEV", 30), FieldDef::character("CIM", 40),
                                  FieldDef::date("KEZD"),           FieldDef::date("VEG"),
                                  FieldDef::numeric("NAP", 3)};
        db::Table& t = store::tableOf(database, store::schema::HTERULET());
        t.create(terulet, 3);
        t.open();
        t.appendValues({"0100001", "Budapest", "2010.01.01", db::Value(), 1, 1000});
        db::Table& h = store::tableOf(database, store::schema::HTHELY());
        h.create(thely, 3);
        h.open();
        h.appendValues({1, "0100001", "Budapest", "Fő utca 1.", "2010.01.01", db::Value(), 5});
    }
    std::int64_t bytes() const {
        std::int64_t n = 0;
        for (const std::string& name : backup::backedUpFileNames()) n += fs::file_size(copy.dir + "/" + name);
        return n;
    }
    bool failed(benchmark::State& state) {
        if (dialogs.problems.empty()) return false;
        state.SkipWithError(dialogs.problems.front().c_str());
        return true;
    }
};

// state.range(0): 1 for the encrypted copy on the drive.
void BM_Backup(benchmark::State& state) {
    BackupFixture f;
    f.dialogs.encrypt = state.range(0) == 1;
    for (auto _ : state) {
        const backup::BackupOutcome outcome =
            backup::runBackup(f.database, f.session, f.dialogs, f.windows, f.progress);
        if (f.failed(state)) break;
        if (!outcome.placed || outcome.encrypted != f.dialogs.encrypt) {
            state.SkipWithError("the archive was not placed on the drive as asked");
            break;
        }
    }
    state.counters["table_MB"] = static_cast<double>(f.bytes()) / 1e6;
}

void BM_RestoreFromArchive(benchmark::State& state) {
    BackupFixture f;
    f.dialogs.encrypt = state.range(0) == 1;
    backup::runBackup(f.database, f.session, f.dialogs, f.windows, f.progress);
    if (f.failed(state)) return;
    for (auto _ : state) {
        if (backup::runRestore(f.database, f.session, f.dialogs, f.windows, f.progress).programEnds) {
            state.SkipWithError("the program would end after the restore");
            break;
        }
        if (f.failed(state)) break;
    }
    state.counters["table_MB"] = static_cast<double>(f.bytes()) / 1e6;
}

} // namespace

BENCHMARK(BM_Backup)->ArgName("encrypted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_RestoreFromArchive)->ArgName("encrypted")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
