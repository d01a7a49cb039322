// What saving a list for a spreadsheet costs on fifteen years of a large
// provider: the TAJ check list of every sheet of the fifteen years (about
// 10 000 lines of 21 cells), from its queries to the workbook written whole
// and checked, and the same as CSV.
#include "BenchSupport.h"
#include "DataSet.h"

#include "reports/TableExport.h"
#include "reports/TajLists.h"

#include <benchmark/benchmark.h>

namespace {

using namespace velmora;
namespace schema = store::schema;

struct TableData {
    bench::DataCopy copy{"tables", true};
    db::Database database{copy.dir};

    TableData() {
        for (const schema::TableDef* def :
             {&schema::HLAPA(), &schema::HLAPB(), &schema::BETEG(), &schema::PART(), &schema::BNOTORZS()})
            store::tableOf(database, *def).open();
    }
};

void tajListSaved(benchmark::State& state, reports::TableFormat format) {
    TableData d;
    const std::string file = d.copy.dir + "/lista" + reports::extensionOf(format);
    size_t rows = 0;
    for (auto _ : state) {
        reports::TajSelection all;
        all.current = "2024.12";
        const reports::DataTable table = reports::tajListTable(reports::tajList(d.database, all));
        reports::writeTable(table, file, format);
        rows = table.rows.size();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_TajListOfFifteenYearsToXlsx(benchmark::State& state) { tajListSaved(state, reports::TableFormat::Xlsx); }
void BM_TajListOfFifteenYearsToCsv(benchmark::State& state) { tajListSaved(state, reports::TableFormat::Csv); }

} // namespace

BENCHMARK(BM_TajListOfFifteenYearsToXlsx)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_TajListOfFifteenYearsToCsv)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
