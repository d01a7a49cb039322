// What the register window costs on fifteen years of a large provider
// (about 670 sheets a year), in sending mode over the year's sheets: the
// popup's "Aktuális év lapjai" (every listed sheet marked, then unmarked
// the next time, the budget's figures read again and the grid redrawn),
// and Enter on a row (one sheet's mark toggled). Each round ends when the
// grid has painted itself again.
#include "BenchSupport.h"
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "masterdata/ui/MasterDataWindows.h"
#include "register/Register.h"
#include "register/ui/RegisterWindows.h"
#include "register/ui/Tlapok.h"
#include "sheets/SheetTables.h"
#include "sheets/ui/SheetWindows.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"
#include "widgets/BrowseFrame.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <filesystem>
#include <functional>
#include <memory>

namespace {

using namespace velmora;

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }
    ~PaintCounter() override { widget_->removeEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }

    // Runs the event loop until the widget has painted itself again: the
    // view lays its rows out on a timer and asks for the paint, which comes
    // on the next update round. False when no paint came within a second.
    bool waitForPaint() {
        const int before = paints;
        QElapsedTimer waited;
        waited.start();
        while (paints == before) {
            if (waited.elapsed() > 1000) return false;
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

private:
    QWidget* widget_;
};

// The program as it runs in the last period of the set: its tables open,
// the patients' names looked up for the grid, and the register's windows
// made as the program makes them, under a main window of their own.
struct Program {
    bench::DataCopy copy{"register-ui", true};
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    bench::RecordingDialogs dialogs;
    db::Database database{copy.dir};
    QMainWindow owner;
    std::unique_ptr<ui::MasterDataWindows> masterData;
    std::unique_ptr<ui::SheetWindows> sheetWindows;
    std::unique_ptr<ui::RegisterWindows> registerWindows;

    Program() {
        bench::openProgramTables(database);
        session.acceptPeriod(bench::heavyPatient().period, false);
        session.ertad();
        sheets::addPatientNameLookup(database);
        masterData = std::make_unique<ui::MasterDataWindows>(owner, session, database, dialogs);
        sheetWindows = std::make_unique<ui::SheetWindows>(owner, session, database, dialogs, *masterData);
        registerWindows = std::make_unique<ui::RegisterWindows>(owner, session, database, dialogs, *sheetWindows);
        owner.resize(800, 600);
        owner.show();
    }
    ~Program() {
        // The windows belong to the main window; the tables outlive them.
        registerWindows.reset();
        sheetWindows.reset();
        masterData.reset();
    }

    ui::Tlapok& lapok() { return *registerWindows->lapok(); }

    int markedSheets() {
        return static_cast<int>(
            db::Sql(database).run("select count(*) from hlapa where jeloles='*'").rows.at(0).at(0).asInt());
    }

    // Opens the register in sending mode over the year's sheets, as the
    // shipment opens it, runs `act` once it is shown and closes it.
    void inSending(const std::function<void(ui::Tlapok&)>& act) {
        QTimer::singleShot(0, &lapok(), [this, act] {
            act(lapok());
            lapok().reject();
        });
        registerWindows->sending(reg::yearFilter(session.mIdoszak));
    }
};

bool failed(benchmark::State& state, const bench::RecordingDialogs& dialogs) {
    if (dialogs.problems.empty()) return false;
    state.SkipWithError(dialogs.problems.front().c_str());
    return true;
}

// Runs `command` a round at a time in the open register, each round ending
// when the grid has painted itself again; `check` is run first, outside the
// timing, and returns the error that makes the measure worthless ("" when
// none).
void timeInRegister(benchmark::State& state, const std::function<std::string(Program&)>& check,
                    const std::function<void(ui::Tlapok&)>& command) {
    Program program;
    program.inSending([&](ui::Tlapok& lapok) {
        PaintCounter grid(lapok.Lapkep1->grid()->viewport());
        if (!grid.waitForPaint()) {
            state.SkipWithError("the register's grid was never painted");
            return;
        }
        if (const std::string problem = check(program); !problem.empty()) {
            state.SkipWithError(problem.c_str());
            return;
        }
        grid.waitForPaint();  // the check's redraw, before the first round
        for (auto _ : state) {
            command(lapok);
            if (!grid.waitForPaint()) {
                state.SkipWithError("the grid was not redrawn");
                break;
            }
            if (failed(state, program.dialogs)) break;
        }
        state.counters["rows"] = lapok.Lapkep1->grid()->model()->rowCount();
    });
}

QAction* yearItem(ui::Tlapok& lapok) { return lapok.PMKi->findChild<QAction*>("Aktulisvlapjai1"); }

void pressEnter(ui::Tlapok& lapok) {
    QWidget* grid = lapok.Lapkep1->grid();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(grid, &press);
    QApplication::sendEvent(grid, &release);
}

// "Aktuális év lapjai" from the popup: the year's sheets marked, unmarked
// the next round.
void BM_MarkYear(benchmark::State& state) {
    timeInRegister(
        state,
        [](Program& p) -> std::string {
            yearItem(p.lapok())->trigger();
            const int marked = p.markedSheets();
            yearItem(p.lapok())->trigger();
            const int listed = p.lapok().Lapkep1->grid()->model()->rowCount();
            if (marked != listed)
                return "the year's marking marked " + std::to_string(marked) + " of " + std::to_string(listed) + " sheets";
            if (p.markedSheets() != 0) return "the second marking left marks";
            return "";
        },
        [](ui::Tlapok& lapok) { yearItem(lapok)->trigger(); });
}

// Enter on the row under the cursor: that sheet marked, unmarked the next
// round.
void BM_MarkOne(benchmark::State& state) {
    timeInRegister(
        state,
        [](Program& p) -> std::string {
            pressEnter(p.lapok());
            const int marked = p.markedSheets();
            pressEnter(p.lapok());
            if (marked != 1) return "Enter marked " + std::to_string(marked) + " sheets";
            if (p.markedSheets() != 0) return "the second Enter left a mark";
            return "";
        },
        pressEnter);
}

} // namespace

BENCHMARK(BM_MarkYear)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_MarkOne)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The windows need an application object; the offscreen platform lets the
// benchmark run without a display, and paints as a screen would. The
// rounds run inside the register's own event loop, from one of its events:
// the GLib dispatcher would not deliver the grid's update timer from there,
// Qt's own dispatcher does.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_NO_GLIB", "1");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
