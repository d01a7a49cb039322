// The history on fifteen years of a large provider: the write unit of a
// sheet's change with its history row against the same unit without it,
// the history of one sheet as "Előzmények" opens it, and the history
// window's filters over the whole table.
#include "DataSet.h"
#include "BenchSupport.h"

#include "db/Database.h"
#include "db/WriteUnit.h"
#include "sheets/SheetHistory.h"
#include "sheets/SheetStore.h"
#include "store/HistoryRead.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <benchmark/benchmark.h>

namespace {

using namespace velmora;
namespace schema = store::schema;
namespace history = store::history;

struct Tables {
    db::Database database;
    explicit Tables(const std::string& dir) : database(dir) {
        for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::ELOZMENY(), &schema::ELOZVEG()})
            store::tableOf(database, *def).open();
        store::tableOf(database, schema::ELOZMENY()).setActiveIndex("");
    }
    const db::Table& historyTable() { return store::tableOf(database, schema::ELOZMENY()); }
};

sheets::SheetKey heavyKey() { return {bench::heavyPatient().sorsz, "", bench::heavyPatient().period}; }

// The 31-day sheet's frequency changed and its rows rewritten in one write
// unit, with or without the history row of the change.
void sheetChange(benchmark::State& state, bool withHistory) {
    bench::DataCopy copy{withHistory ? "with-history" : "without-history"};
    Tables t(copy.dir);
    sheets::Sheet sheet = *sheets::loadSheet(t.database, heavyKey());
    int round = 0;
    for (auto _ : state) {
        sheet.gyak = "heti " + std::to_string(++round % 7 + 1);
        const sheets::SheetSnapshot before = withHistory ? sheets::snapshotOf(t.database, sheet.key) : sheets::SheetSnapshot{};
        db::WriteUnit unit(t.database);
        sheets::rewriteSheet(t.database, sheet);
        if (withHistory) sheets::recordChange(t.database, history::kModify, sheet.key, before);
        unit.commit();
    }
}

void BM_SheetChange_WithoutHistory(benchmark::State& state) { sheetChange(state, false); }
void BM_SheetChange_WithHistory(benchmark::State& state) { sheetChange(state, true); }

void BM_HistoryOfOneSheet(benchmark::State& state) {
    Tables t(bench::sharedDataSet().dir);
    const sheets::SheetKey key = heavyKey();
    for (auto _ : state)
        benchmark::DoNotOptimize(history::sheetHistory(t.historyTable(), key.idoszak, key.sorsz, key.resz).size());
}

// The window's filters: five years of sheets, one patient, one action, one user.
void BM_HistoryWindow(benchmark::State& state) {
    Tables t(bench::sharedDataSet().dir);
    history::HistoryFilter filter;
    switch (state.range(0)) {
        case 0: filter.fromPeriod = "2015.01", filter.toPeriod = "2019.12"; state.SetLabel("period range"); break;
        case 1: filter.taj = bench::sharedDataSet().taj; state.SetLabel("patient"); break;
        case 2: filter.action = history::kShipment; state.SetLabel("action"); break;
        default: filter.user = "nobody"; state.SetLabel("user"); break;
    }
    for (auto _ : state) benchmark::DoNotOptimize(history::readHistory(t.historyTable(), filter).size());
}

} // namespace

BENCHMARK(BM_SheetChange_WithoutHistory)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SheetChange_WithHistory)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_HistoryOfOneSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryWindow)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
