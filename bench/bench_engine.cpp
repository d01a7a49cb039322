// Engine speed on fifteen years of a large provider: every query runs once
// over the dBASE tables through the engine and once over the same rows in
// native SQLite tables with matching indexes.
#include "DataSet.h"

#include "db/Database.h"
#include "db/Sql.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sqlite3.h>

namespace {

using namespace velmora;

const bench::SharedDataSet& data() { return bench::sharedDataSet(); }

const char* kTables[] = {"BETEG", "HLAPA", "HLAPB"};

void openAll(db::Database& database) {
    for (const char* t : kTables) database.table(t).open();
}

const std::string kJoin =
    "select a.idoszak, a.sorsz, a.resz, b.tev1, b.apdat1, b.tev2 from hlapa a, hlapb b "
    "where a.taj = ? and a.sorsz = b.sorsz and a.resz is b.resz and a.idoszak = b.idoszak";
const std::string kGroup = "select idoszak, count(*), sum(elszam) from hlapa group by idoszak";
const std::string kMark = "update hlapa set jeloles='*' where idoszak >= '2020.01'";
const std::string kUnmark = "update hlapa set jeloles=null where jeloles='*'";

// --- engine ----------------------------------------------------------------

void BM_OpenAll_Engine(benchmark::State& state) {
    data();  // the data set is built before timing starts
    for (auto _ : state) {
        db::Database database(data().dir);
        openAll(database);
        benchmark::DoNotOptimize(database.table("HLAPA").recordCount());
    }
}

void BM_PatientJoin_Engine(benchmark::State& state) {
    db::Database database(data().dir);
    openAll(database);
    db::Sql sql(database);
    for (auto _ : state) benchmark::DoNotOptimize(sql.run(kJoin, {data().taj}).rows.size());
}

void BM_GroupBy_Engine(benchmark::State& state) {
    db::Database database(data().dir);
    openAll(database);
    db::Sql sql(database);
    for (auto _ : state) benchmark::DoNotOptimize(sql.run(kGroup).rows.size());
}

void BM_MassUpdate_Engine(benchmark::State& state) {
    db::Database database(data().dir);
    openAll(database);
    db::Sql sql(database);
    for (auto _ : state) {
        state.PauseTiming();
        sql.run(kMark);
        state.ResumeTiming();
        benchmark::DoNotOptimize(sql.run(kUnmark).changes);
    }
}

// --- native SQLite ---------------------------------------------------------

struct Native {
    sqlite3* db = nullptr;
    Native() { sqlite3_open((data().dir + "/native.sqlite").c_str(), &db); }
    ~Native() { sqlite3_close(db); }
    // Runs a statement to the end, reading every column of every row.
    int64_t run(const std::string& sql, const std::string& param = {}) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        if (!param.empty()) sqlite3_bind_text(st, 1, param.c_str(), -1, SQLITE_TRANSIENT);
        int64_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            ++n;
        }
        sqlite3_finalize(st);
        return n + sqlite3_changes(db);
    }
};

void BM_OpenAll_Native(benchmark::State& state) {
    data();
    for (auto _ : state) {
        Native n;
        for (const char* t : kTables) benchmark::DoNotOptimize(n.run(std::string("select count(*) from ") + t));
    }
}

void BM_PatientJoin_Native(benchmark::State& state) {
    Native n;
    for (auto _ : state) benchmark::DoNotOptimize(n.run(kJoin, data().taj));
}

void BM_GroupBy_Native(benchmark::State& state) {
    Native n;
    for (auto _ : state) benchmark::DoNotOptimize(n.run(kGroup));
}

void BM_MassUpdate_Native(benchmark::State& state) {
    Native n;
    for (auto _ : state) {
        state.PauseTiming();
        n.run(kMark);
        state.ResumeTiming();
        benchmark::DoNotOptimize(n.run(kUnmark));
    }
}

} // namespace

BENCHMARK(BM_OpenAll_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAll_Native)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatientJoin_Engine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PatientJoin_Native)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroupBy_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupBy_Native)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassUpdate_Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MassUpdate_Native)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
