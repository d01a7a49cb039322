// What "Mentés" costs on fifteen years of a large provider, for the patient
// with a hundred earlier sheets and her sheet of 31 visit days: the whole
// sheet check, the save (check, question answered Yes, one write unit with
// its journal and syncs), and each query of the check over the engine
// against the same statement on native SQLite tables with matching indexes.
#include "BenchSupport.h"
#include "DataSet.h"

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/Session.h"
#include "db/Database.h"
#include "db/Sql.h"
#include "sheets/CheckQueries.h"
#include "sheets/SheetCheck.h"
#include "sheets/SheetStore.h"
#include "store/IndexFiles.h"
#include "store/Schemas.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>

namespace {

using namespace velmora;
namespace schema = store::schema;

const bench::SharedDataSet& data() { return bench::sharedDataSet(); }
const bench::HeavyPatient& heavy() { return bench::heavyPatient(); }
sheets::SheetKey heavyKey() { return {heavy().sorsz, "", heavy().period}; }

// The user: says Yes to every question and reads every message.
class YesDialogs : public app::Dialogs {
public:
    std::vector<std::string> errors;
    void error(const std::string& text) override { errors.push_back(text); }
    void error(const std::string& text, const std::string& detail) override { errors.push_back(text + " " + detail); }
    void warning(const std::string&) override {}
    void information(const std::string&) override {}
    void message(const std::string&) override {}
    bool ask(const app::Question&) override { return true; }
    void status(int, const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string&, const std::string&) override { return {}; }
};

// The tables open as the program holds them, in the last period of the set.
struct Program {
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    YesDialogs dialogs;
    db::Database database;
    sheets::SheetContext ctx{database, session, dialogs};

    explicit Program(const std::string& dir) : database(dir) {
        for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::BETEG(), &schema::APOL(),
                                            &schema::ORVOS(), &schema::ZARAS(), &schema::HSZOLGSZ(),
                                            &schema::TELEPUL(), &schema::BNOTORZS(), &schema::PART()})
            store::tableOf(database, *def).open();
        session.acceptPeriod(heavy().period, false);
        session.ertad();
        session.v_finkod = "123456789";
    }

    // The 31-day sheet as "Módosítás" opens it.
    sheets::SheetForm heavyForm() {
        return sheets::storedSheetForm(ctx, *sheets::loadSheet(database, heavyKey()), sheets::EntryMode::Modify);
    }
};

bool failed(benchmark::State& state, const YesDialogs& dialogs, const char* what) {
    if (dialogs.errors.empty()) return false;
    state.SkipWithError((std::string(what) + ": " + dialogs.errors.front()).c_str());
    return true;
}

void BM_SheetCheck(benchmark::State& state) {
    Program program(data().dir);
    const sheets::SheetForm form = program.heavyForm();
    sheets::SheetForm first = form;
    sheets::sheetCheck(first, program.ctx);
    if (failed(state, program.dialogs, "the check refused the sheet")) return;
    for (auto _ : state) {
        sheets::SheetForm f = form;
        benchmark::DoNotOptimize(sheets::sheetCheck(f, program.ctx));
    }
}

// The 31-day sheet saved again with its frequency changed, so its header
// row is written each time (an unchanged sheet writes nothing).
void BM_SaveSheet_Modified(benchmark::State& state) {
    bench::DataCopy copy{"sheets"};
    Program program(copy.dir);
    const sheets::SheetForm form = program.heavyForm();
    int round = 0;
    for (auto _ : state) {
        sheets::SheetForm f = form;
        f.m_gyak = "heti " + std::to_string(++round % 7 + 1);
        if (sheets::saveSheet(f, program.ctx).outcome != sheets::SaveOutcome::Saved &&
            failed(state, program.dialogs, "not saved"))
            break;
    }
}

// A new 31-day sheet of a new patient each time: two rows and a patient appended.
void BM_SaveSheet_New(benchmark::State& state) {
    bench::DataCopy copy{"sheets"};
    Program program(copy.dir);
    sheets::SheetForm form = program.heavyForm();
    form.mode = sheets::EntryMode::New;
    form.m_elszam = "1";
    int next = 0;
    for (auto _ : state) {
        sheets::SheetForm f = form;
        f.usorsz = std::to_string(20000 + next);
        f.m_taj = bench::tajWithCheckDigit(std::to_string(30000000 + next));
        f.m_nev = "Új Beteg " + std::to_string(next);
        f.betf = false;
        ++next;
        if (sheets::saveSheet(f, program.ctx).outcome != sheets::SaveOutcome::Saved &&
            failed(state, program.dialogs, "not saved"))
            break;
    }
}

// --- the check's queries -------------------------------------------------------

const std::vector<std::pair<const char*, sheets::queries::Statement>>& statements() {
    namespace q = sheets::queries;
    static const sheets::SheetKey key = heavyKey();
    static const std::vector<std::pair<const char*, q::Statement>> all = {
        {"overlap: earlier visits", q::earlierVisits(key, heavy().taj)},
        {"order number: latest other sheet", q::latestOtherSheet(key, heavy().taj)},
        {"visit dates: the patient's visit rows", q::patientVisitDays(key, true, heavy().taj)},
        {"patient days", q::otherSheetsDays(key, heavy().taj)},
        {"capacity: employees", q::periodStaff(heavy().period)},
        {"capacity: visit nurses", q::periodVisitNurses(heavy().period, &key)},
        {"activities of the series", q::seriesCodes(key, heavy().taj)},
        {"one sheet by its key", {"select sznap from hlapa where idoszak=? and sorsz=? and resz is ?",
                                  {db::Value(key.idoszak), db::Value(key.sorsz), db::Value()}}},
    };
    return all;
}

void BM_CheckQuery_Engine(benchmark::State& state) {
    Program program(data().dir);
    db::Sql sql(program.database);
    const auto& [name, statement] = statements()[state.range(0)];
    state.SetLabel(name);
    for (auto _ : state) benchmark::DoNotOptimize(statement.run(sql).rows.size());
}

void BM_CheckQuery_Native(benchmark::State& state) {
    data();
    sqlite3* native = nullptr;
    sqlite3_open((data().dir + "/native.sqlite").c_str(), &native);
    const auto& [name, statement] = statements()[state.range(0)];
    state.SetLabel(name);
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(native, statement.text.c_str(), -1, &st, nullptr);
        for (size_t i = 0; i < statement.params.size(); ++i) {
            const db::Value& v = statement.params[i];
            const int at = static_cast<int>(i) + 1;
            if (v.isNull()) sqlite3_bind_null(st, at);
            else if (v.isNumber()) sqlite3_bind_int64(st, at, v.asInt());
            else sqlite3_bind_text(st, at, v.asString().c_str(), -1, SQLITE_TRANSIENT);
        }
        int64_t rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++rows;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_close(native);
}

// What opening an SQL connection costs (every check opens one).
void BM_SqlConnection(benchmark::State& state) {
    Program program(data().dir);
    for (auto _ : state) {
        db::Sql sql(program.database);
        benchmark::DoNotOptimize(sql.run("select count(*) from hlapa where taj=?", {heavy().taj}).rows.size());
    }
}

} // namespace

// Medians over repeated runs: a sync or a page fault now and then does not
// move them.
BENCHMARK(BM_SheetCheck)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveSheet_Modified)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveSheet_New)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckQuery_Engine)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CheckQuery_Native)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SqlConnection)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
