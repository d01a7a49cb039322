// What the sheet register costs on fifteen years of a large provider (about
// 670 sheets a year): opening it with its budget figures and the year's rows
// counted as the grid counts them, marking every listed sheet of the year,
// and deleting a sheet with both tables packed afterwards.
#include "BenchSupport.h"
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "register/Marking.h"
#include "register/Register.h"
#include "register/SheetCommands.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace schema = store::schema;

// The tables open as the program holds them, in the last period of the set,
// the register's year filter on HLAPA.
struct Program {
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    bench::RecordingDialogs dialogs;
    db::Database database;

    explicit Program(const std::string& dir) : database(dir) {
        for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::ZARAS(), &schema::PART(),
                                            &schema::MARADV(), &schema::HSZERZ()})
            store::tableOf(database, *def).open();
        session.acceptPeriod(bench::heavyPatient().period, false);
        session.ertad();
        hlapa().setFilter(reg::yearFilter(session.mIdoszak));
    }
    db::Table& hlapa() { return store::tableOf(database, schema::HLAPA()); }
};

bool failed(benchmark::State& state, const bench::RecordingDialogs& dialogs) {
    if (dialogs.problems.empty()) return false;
    state.SkipWithError(dialogs.problems.front().c_str());
    return true;
}

// The recording mode's opening: the year filter set, the rows the grid
// shows counted, the caption and every label of the budget.
void BM_RegisterOpening(benchmark::State& state) {
    bench::DataCopy copy{"register", true};
    Program program(copy.dir);
    for (auto _ : state) {
        db::Table& t = program.hlapa();
        t.clearFilter();
        t.setFilter(reg::yearFilter(program.session.mIdoszak));
        benchmark::DoNotOptimize(t.recordCount());
        benchmark::DoNotOptimize(reg::registerCaption(program.database, reg::RegisterMode::Recording));
        const reg::BudgetTexts texts = reg::budgetTexts(program.database, program.session, false, program.dialogs);
        benchmark::DoNotOptimize(texts.STav.data());
        if (failed(state, program.dialogs)) break;
    }
    state.counters["rows"] = program.hlapa().recordCount();
}

// "Aktuális év lapjai": every listed sheet of the year marked, then
// unmarked the next time (the shared toggle), one write unit each.
void BM_MarkListed(benchmark::State& state) {
    bench::DataCopy copy{"register", true};
    Program program(copy.dir);
    reg::BulkToggle toggle;
    int marked = 0;
    for (auto _ : state) marked = reg::markListed(program.database, toggle.flip());
    state.counters["sheets"] = marked;
}

// "Törlés" of an unsent sheet: both rows removed, the series' marks
// recomputed, then HLAPA and HLAPB packed. Each round deletes another sheet
// of the year.
void BM_DeleteSheet(benchmark::State& state) {
    bench::DataCopy copy{"register", true};
    Program program(copy.dir);
    const std::string year = program.session.mIdoszak.substr(0, 4);
    const db::SqlResult sheets = db::Sql(program.database)
                                     .run("select sorsz,resz,idoszak from hlapa where idoszak>=? and idoszak<=? "
                                          "order by idoszak,sorsz",
                                          {db::Value(year + ".01"), db::Value(year + ".12")});
    size_t next = 0;
    for (auto _ : state) {
        if (next >= sheets.rows.size()) {
            state.SkipWithError("no sheet left to delete");
            break;
        }
        const auto& row = sheets.rows[next++];
        reg::deleteSheet(program.database, {row[0].asString(), row[1].asString(), row[2].asString()});
    }
}

} // namespace

BENCHMARK(BM_RegisterOpening)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MarkListed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DeleteSheet)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
