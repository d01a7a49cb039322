// What the fund's complete data set costs to read in: 10,000 sheets with
// 300,000 visits and a diagnosis each, packed by the archiver, replacing
// the sheets of the fifteen-year data set. Timed is the whole command:
// unpacking, the check of every row, the new sheet and visit tables with
// their index files, the swap and the year's full-series marks.
#include "BenchSupport.h"

#include "app/Archiver.h"
#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "app/TextHelpers.h"
#include "db/Table.h"
#include "exchange/FullImport.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace fs = std::filesystem;
namespace schema = store::schema;
using db::FieldDef;

constexpr int kSheets = 10000, kVisitsPerSheet = 30;

db::FieldList headerFields() {
    db::FieldList f = {FieldDef::character("KABKOD", 4), FieldDef::character("FINKOD", 9),
                       FieldDef::numeric("SORSZAM", 5), FieldDef::character("RESZ", 1),
                       FieldDef::character("IDOSZAK", 6), FieldDef::numeric("ORVKODE", 6),
                       FieldDef::numeric("ORVKODJ", 6), FieldDef::character("ORVTIP", 1),
                       FieldDef::character("TAJ", 9), FieldDef::character("KOZIGKOD", 7),
                       FieldDef::numeric("TERPOT", 1), FieldDef::character("AZTIP", 1),
                       FieldDef::character("TERKAT", 2), FieldDef::character("ALLAMP", 3), FieldDef::date("ELREND"),
                       FieldDef::date("SZAKVET"), FieldDef::numeric("ELVIZDB", 3), FieldDef::character("GYAK", 15),
                       FieldDef::numeric("ELSZVIZ", 3), FieldDef::numeric("ELSZAM", 3), FieldDef::date("LEZDAT")};
    for (int i = 1; i <= 8; ++i) f.push_back(FieldDef::character("APTAJ" + std::to_string(i), 9));
    f.push_back(FieldDef::numeric("ONAPDB", 3));
    return f;
}

// The sheet's period: fifteen years of months, February left out so that
// every sheet has its thirty visit days.
std::string periodOf(int sheet) {
    const int months = sheet % (15 * 11);
    const int month = months % 11 + 1;
    return std::to_string(2010 + months / 11) + app::TwoDigits(month == 2 ? 12 : month);
}

db::Table& newFile(db::Database& d, const std::string& name, const db::FieldList& fields) {
    db::Table& t = d.tableAtPath(d.resolve(name));
    t.create(fields, 3);
    t.open();
    t.beginBatch();
    return t;
}

// The three files, packed into dir/Telj1234.arj.
void writeFundSet(const fs::path& dir) {
    const fs::path src = dir / "src";
    fs::create_directories(src);
    db::Database d(src.string());
    db::Table& haa = newFile(d, "HAa1234.dbf", headerFields());
    db::Table& hab = newFile(d, "HAb1234.dbf",
                             {FieldDef::character("KABKOD", 4), FieldDef::character("FINKOD", 9),
                              FieldDef::numeric("SORSZAM", 5), FieldDef::character("RESZ", 1),
                              FieldDef::character("IDOSZAK", 6), FieldDef::character("TEVKOD", 8),
                              FieldDef::date("APDATUM"), FieldDef::character("APBTAJ", 9),
                              FieldDef::character("ELSZIDO", 7)});
    db::Table& hac = newFile(d, "HAc1234.dbf",
                             {FieldDef::numeric("SORSZAM", 5), FieldDef::character("IDOSZAK", 6),
                              FieldDef::character("RESZ", 1), FieldDef::numeric("BNOTIP", 1),
                              FieldDef::character("BNOKOD", 5)});
    for (int s = 0; s < kSheets; ++s) {
        const std::string p = periodOf(s), dotted = p.substr(0, 4) + "." + p.substr(4);
        const int sorsz = s + 1;
        haa.appendValues({"1234", "123456789", sorsz, db::Value(), p, 123456, 0, "1", "12345678", "0100000", 1, "1",
                          "01", "HUN", dotted + ".01", dotted + ".01", 30, "heti 5", 0, 1, db::Value(), "123456788",
                          "", "", "", "", "", "", "", kVisitsPerSheet});
        for (int day = 1; day <= kVisitsPerSheet; ++day)
            hab.appendValues({"1234", "123456789", sorsz, db::Value(), p, "1", dotted + "." + app::TwoDigits(day),
                              "123456788", day % 2 ? dotted : ""});
        hac.appendValues({sorsz, p, db::Value(), 2, "C3410"});
    }
    for (db::Table* t : {&haa, &hab, &hac}) t->endBatch();
    d.closeAll();
    app::createArchive((dir / "Telj1234.arj").string(), src.string(), {"HAa1234.dbf", "HAb1234.dbf", "HAc1234.dbf"});
}

struct Windows : exchange::FullImportWindows {
    std::string dir;
    std::optional<std::string> sourceDirectory() override { return dir; }
};

void BM_FullDataSetImport(benchmark::State& state) {
    bench::DataCopy copy("full-import");
    const fs::path from = fs::path(copy.dir) / "from", temp = fs::path(copy.dir) / "TEMP";
    writeFundSet(from);
    app::FixedClock clock{{2025, 1, 6}};
    app::Session session{clock};
    session.ktemp = temp.string();
    db::Database database(copy.dir);
    for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::PART()})
        store::tableOf(database, *def).open();
    bench::RecordingDialogs dialogs;
    app::SilentProgress progress;
    Windows windows;
    windows.dir = from.string();
    for (auto _ : state) {
        const auto summary = exchange::importFullDataSet(database, session, dialogs, progress, windows);
        if (!summary) {
            state.SkipWithError(dialogs.problems.empty() ? "not imported" : dialogs.problems.front().c_str());
            break;
        }
        state.counters["rows"] = summary->rowsRead;
    }
}

} // namespace

BENCHMARK(BM_FullDataSetImport)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

BENCHMARK_MAIN();
