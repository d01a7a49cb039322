// The overview on fifteen years of a large provider (about 670 sheets a
// year): its figures for the last period's year counted from the tables
// (budget, nurses' capacity month by month, sheets by state, deadlines),
// and the window opened and painted with its charts and tables. The
// unpaid-days list over the fifteen years is counted too.
#include "BenchSupport.h"
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Session.h"
#include "db/Database.h"
#include "overview/Overview.h"
#include "overview/UnpaidDays.h"
#include "overview/ui/Tattekint.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QMainWindow>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace velmora;

// The program's tables open in the data set's last period.
struct Tables {
    bench::DataCopy copy{"overview", true};
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    bench::RecordingDialogs dialogs;
    db::Database database{copy.dir};

    Tables() {
        bench::openProgramTables(database);
        session.acceptPeriod(bench::heavyPatient().period, false);
        session.ertad();
        session.mentdir = copy.dir + "/MENT";
    }
};

bool failed(benchmark::State& state, const bench::RecordingDialogs& dialogs) {
    if (dialogs.problems.empty()) return false;
    state.SkipWithError(dialogs.problems.front().c_str());
    return true;
}

void BM_OverviewFigures(benchmark::State& state) {
    Tables t;
    int sheets = 0;
    for (auto _ : state) {
        const overview::Overview o = overview::makeOverview(t.database, t.session, t.dialogs);
        sheets = static_cast<int>(o.states.rows.size());
        benchmark::DoNotOptimize(o.budget.recordedDays());
        if (failed(state, t.dialogs)) break;
    }
    state.counters["sheets"] = sheets;
}

void BM_UnpaidDaysFifteenYears(benchmark::State& state) {
    Tables t;
    for (auto _ : state) {
        const overview::UnpaidList list = overview::unpaidDays(t.database, "2010.01", t.session.mIdoszak);
        benchmark::DoNotOptimize(list.days);
    }
}

// The window counted, filled and painted, as the menu opens it; shown
// without its event loop so that a round ends with the paint.
void BM_OverviewWindow(benchmark::State& state) {
    Tables t;
    QMainWindow owner;
    owner.show();
    ui::Tattekint window(&owner, t.session, t.database, t.dialogs, {});
    for (auto _ : state) {
        window.refresh();
        window.show();
        window.repaint();
        window.napkeret->viewport()->repaint();
        window.halmozott->viewport()->repaint();
        QApplication::processEvents();
        if (failed(state, t.dialogs)) break;
        state.PauseTiming();
        window.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_OverviewFigures)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_UnpaidDaysFifteenYears)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_OverviewWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
