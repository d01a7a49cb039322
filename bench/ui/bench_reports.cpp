// What the reports cost on fifteen years of a large provider: the billing
// sheet forms of the last year (about 670 sheets) and the TAJ check list
// of every sheet of the fifteen years, each from its queries to the PDF
// file written whole.
#include "BenchSupport.h"
#include "DataSet.h"

#include "db/Sql.h"
#include "reports/PageBreaks.h"
#include "reports/SheetForm.h"
#include "reports/TajLists.h"
#include "reports/render/PdfFile.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace schema = store::schema;

struct ReportData {
    bench::DataCopy copy{"reports", true};
    db::Database database{copy.dir};
    std::string pdf = copy.dir + "/lista.pdf";

    ReportData() {
        for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::BETEG(), &schema::PART(),
                                            &schema::HSZERZ(), &schema::BNOTORZS()})
            store::tableOf(database, *def).open();
    }
};

void BM_SheetFormsOfAYear(benchmark::State& state) {
    ReportData d;
    db::Sql(d.database).run("update hlapa set jeloles='*' where idoszak>='2024.01'");
    size_t forms = 0, pages = 0;
    for (auto _ : state) {
        const auto marked = reports::markedSheetForms(d.database, "2024.12.01", "2024.12.31");
        const reports::Report report = reports::sheetFormReport(marked, "2024.12.31", "2024.12.31 10:00");
        reports::writePdf(report, d.pdf);
        forms = marked.size();
        pages = reports::PageBreaks(report).pages().size();
    }
    state.counters["sheets"] = static_cast<double>(forms);
    state.counters["pages"] = static_cast<double>(pages);
}

void BM_TajListOfFifteenYears(benchmark::State& state) {
    ReportData d;
    size_t patients = 0, pages = 0;
    for (auto _ : state) {
        reports::TajSelection all;
        all.current = "2024.12";
        const reports::TajList list = reports::tajList(d.database, all);
        const reports::Report report = reports::tajListReport(list, "2024.12.31 10:00");
        reports::writePdf(report, d.pdf);
        patients = list.patients.size();
        pages = reports::PageBreaks(report).pages().size();
    }
    state.counters["patients"] = static_cast<double>(patients);
    state.counters["pages"] = static_cast<double>(pages);
}

} // namespace

BENCHMARK(BM_SheetFormsOfAYear)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_TajListOfFifteenYears)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);  // fonts for the PDF
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
