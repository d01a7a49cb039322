// What the monthly shipment costs on fifteen years of a large provider:
// a month's sheets (about 55), and a whole year's (about 600, most of them
// sent late with the year's last shipment), each
// through the check of the marked sheets, the three files, the state
// change of sheets, visit rows and ZARAS in one write unit, and KULD.
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "exchange/Shipment.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace fs = std::filesystem;
namespace schema = store::schema;

// A copy of the data set of its own, with KULD and LISTA beside it.
struct Copy {
    fs::path root;
    std::string dir;
    Copy() {
        char tmpl[] = "/tmp/velmora-bench-shipment-XXXXXX";
        root = mkdtemp(tmpl);
        dir = (root / "DATA").string();
        fs::copy(bench::sharedDataSet().dir, dir);
        fs::create_directories(root / "KULD");
        fs::create_directories(root / "LISTA");
    }
    ~Copy() { fs::remove_all(root); }
};

struct Program {
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    db::Database database;

    Program(const Copy& copy, const std::string& period) : database(copy.dir) {
        for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::ZARAS(), &schema::PART(),
                                            &schema::BETEG()})
            store::tableOf(database, *def).open();
        session.acceptPeriod(period, false);
        session.kkuld = (copy.root / "KULD").string() + "/";
        session.klista = (copy.root / "LISTA").string();
    }
};

// Marks the sheets of the periods from `from` to `period` (outside the
// timing), then ships them with the shipment of `period`.
void ship(benchmark::State& state, const std::string& period, const std::string& from) {
    Copy copy;
    Program program(copy, period);
    app::SilentProgress progress;
    int sheets = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sheets = db::Sql(program.database)
                     .run("update hlapa set jeloles='*' where idoszak>=? and idoszak<=?", {from, period})
                     .changes;
        state.ResumeTiming();
        try {
            benchmark::DoNotOptimize(exchange::makeShipment(program.database, program.session, sheets, progress));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["sheets"] = sheets;
}

// The data set's last full month, and its last year up to its last period.
void BM_MonthShipment(benchmark::State& state) { ship(state, "2024.10", "2024.10"); }
void BM_YearShipment(benchmark::State& state) {
    const std::string last = bench::heavyPatient().period;
    ship(state, last, last.substr(0, 4) + ".01");
}

} // namespace

BENCHMARK(BM_MonthShipment)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_YearShipment)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
