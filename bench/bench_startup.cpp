// What a start of the program costs on fifteen years of a large provider:
// the whole start-up sequence (the recovery, the period table, the period
// window's choice, the fund's tables checked, every own table opened or
// upgraded, the working directories, the period table's upkeep and the
// duplicate-patient clean-up, the base fee), as the program and every
// velmora-batch command run it. A start with nothing to change writes
// nothing; one that copied the period table through every time wrote it.
#include "BenchSupport.h"
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Session.h"
#include "db/Database.h"
#include "program/StartupSequence.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace velmora;

class Windows final : public program::StartupWindows {
public:
    explicit Windows(app::Session& session) : session_(session) {}
    bool login() override { return true; }
    bool choosePeriod() override {
        session_.acceptPeriod(bench::heavyPatient().period, false);
        return true;
    }
    void showVersionCaption() override {}

private:
    app::Session& session_;
};

// The fund's tables the data set leaves out, empty, so that the start finds
// every table it requires.
void addMissingFundTables(const std::string& dir) {
    db::Database database(dir);
    const std::pair<const store::schema::TableDef*, db::FieldList> tables[] = {
        {&store::schema::HTERULET(), {db::FieldDef::character("KOZIGKOD", 7), db::FieldDef::date("KEZD")}},
        {&store::schema::HTHELY(), {db::FieldDef::numeric("TSORSZAM", 5, 0), db::FieldDef::date("KEZD")}},
    };
    for (const auto& [def, fields] : tables) {
        db::Table& t = store::tableOf(database, *def);
        if (!t.exists()) t.create(fields);
    }
}

void BM_Startup(benchmark::State& state) {
    bench::DataCopy copy{"startup", true};
    addMissingFundTables(copy.dir);
    // The working directories are made beside the data, as the program makes them.
    const std::filesystem::path work = std::filesystem::path(copy.dir).parent_path() / "startup-work";
    std::filesystem::create_directories(work);
    const std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(work);
    for (auto _ : state) {
        app::FixedClock clock{{2025, 1, 6}};
        app::Session session{clock};
        session.dataDir = copy.dir + "/";
        bench::RecordingDialogs dialogs;
        db::Database database(session.dataDir);
        Windows windows(session);
        if (!program::runStartup(database, session, dialogs, windows).ready() || !dialogs.problems.empty()) {
            state.SkipWithError(dialogs.problems.empty() ? "the start stopped" : dialogs.problems.front().c_str());
            break;
        }
        database.closeAll();
    }
    std::filesystem::current_path(was);
    std::filesystem::remove_all(work);
}

} // namespace

BENCHMARK(BM_Startup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
