// What a write unit costs: one sheet saved as the program saves it — a
// header row appended to HLAPA, a visit row to HLAPB, the patient's row in
// BETEG changed — once as a unit (journal, syncs) and once as the same
// writes straight to the files, on a copy of the fifteen-year data set.
#include "DataSet.h"

#include "db/Database.h"
#include "db/WriteUnit.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

using namespace velmora;

// A copy of its own, so the rows these benchmarks append do not reach the
// queries measured elsewhere.
struct SheetData {
    std::string dir;
    SheetData() {
        char tmpl[] = "/tmp/velmora-bench-units-XXXXXX";
        dir = mkdtemp(tmpl);
        std::filesystem::copy(bench::sharedDataSet().dir, dir);
    }
    ~SheetData() { std::filesystem::remove_all(dir); }
};

const SheetData& sheetData() {
    static SheetData d;
    return d;
}

std::string pad(int64_t v, int width) {
    std::string s = std::to_string(v);
    return std::string(width > static_cast<int>(s.size()) ? width - s.size() : 0, '0') + s;
}

struct Sheets {
    db::Database database{sheetData().dir};
    db::Table& hlapa = database.table("HLAPA", "HLapa.dbf");
    db::Table& hlapb = database.table("HLAPB", "HLapb.dbf");
    db::Table& beteg = database.table("BETEG", "Beteg.dbf");
    int nev = 0;
    int64_t next = 0;

    Sheets() {
        for (db::Table* t : {&hlapa, &hlapb, &beteg}) t->open();
        nev = beteg.fieldIndex("Nev");
    }

    void save() {
        const std::string sorsz = pad(next % 100000, 5);
        const std::string taj = pad(100000000 + next % 3000, 9);
        hlapa.appendValues({"2030.01", "1234", "123456789", sorsz, db::Value(), taj, "0100000", db::Value(), "C3410"});
        hlapb.appendValues({"2030.01", "1234", "123456789", sorsz, db::Value(), "1357", "2030.01.02", taj, "Ellátó"});
        beteg.updateValues(static_cast<uint32_t>(next % beteg.physicalCount()),
                           {{nev, db::Value("Beteg " + std::to_string(next))}});
        ++next;
    }
};

void BM_SheetSave_Unit(benchmark::State& state) {
    Sheets sheets;
    for (auto _ : state) {
        db::WriteUnit unit(sheets.database);
        sheets.save();
        unit.commit();
    }
}

void BM_SheetSave_Direct(benchmark::State& state) {
    Sheets sheets;
    for (auto _ : state) sheets.save();
}

} // namespace

BENCHMARK(BM_SheetSave_Unit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SheetSave_Direct)->Unit(benchmark::kMicrosecond);
