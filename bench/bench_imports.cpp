// What reading the fund's answer costs on fifteen years of a large
// provider: the billed visits of a month (every visit of its sheets),
// copied into TEMP, checked against the local sheets and written with every
// sheet's payment state and the period's fee as one write unit.
#include "BenchSupport.h"

#include "app/Clock.h"
#include "app/Progress.h"
#include "app/Session.h"
#include "db/Sql.h"
#include "exchange/BilledImport.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace velmora;
namespace fs = std::filesystem;
namespace schema = store::schema;

struct Folder : exchange::ImportWindows {
    std::string dir;
    std::optional<std::string> importDirectory() override { return dir; }
};

// The fund's four files for `period`: one HEb row per local visit.
int writeFundFiles(db::Database& local, const std::string& period, const std::string& dir) {
    db::Database fund(dir);
    auto create = [&](const std::string& name, const db::FieldList& fields) -> db::Table& {
        db::Table& t = fund.tableAtPath(dir + "/" + name);
        t.create(fields, 3);
        t.open();
        return t;
    };
    create("HEa1234.dbf", {db::FieldDef::character("KABKOD", 4)}).appendValues({"1234"});
    create("HEc1234.dbf", {db::FieldDef::character("KABKOD", 4)}).appendValues({"1234"});
    create("HRuv1234.dbf", {db::FieldDef::character("IDOSZAK", 6), db::FieldDef::numeric("ALAPDIJ", 10, 2),
                            db::FieldDef::numeric("ELOLEG", 12, 1)})
        .appendValues({period.substr(0, 4) + period.substr(5, 2), db::Decimal(715025, 2), 350000});
    db::Table& heb = create("HEb1234.dbf", {db::FieldDef::character("KABKOD", 4), db::FieldDef::numeric("SORSZAM", 5),
                                            db::FieldDef::character("IDOSZAK", 6), db::FieldDef::character("RESZ", 1),
                                            db::FieldDef::date("APDATUM"), db::FieldDef::character("ELSZIDO", 7)});
    std::string days;
    for (int n = 1; n <= 31; ++n) days += ",apdat" + std::to_string(n);
    const db::SqlResult rows =
        db::Sql(local).run("select sorsz,resz" + days + " from hlapb where idoszak=?", {db::Value(period)});
    int visits = 0;
    for (const auto& row : rows.rows)
        for (size_t n = 2; n < row.size(); ++n)
            if (!row[n].isNull()) {
                heb.appendValues({"1234", static_cast<int>(row[0].asInt()), period.substr(0, 4) + period.substr(5, 2),
                                  row[1], row[n], "E" + period.substr(2, 2) + period.substr(5, 2)});
                ++visits;
            }
    fund.closeAll();
    return visits;
}

void BM_MonthBilledImport(benchmark::State& state) {
    const std::string period = "2024.10";
    bench::DataCopy copy("billed");
    const fs::path incoming = fs::path(copy.dir) / "incoming", temp = fs::path(copy.dir) / "TEMP";
    fs::create_directories(incoming);
    fs::create_directories(temp);
    app::FixedClock clock{{2024, 11, 20}};
    app::Session session{clock};
    session.acceptPeriod(period, false);
    session.ktemp = temp.string();
    db::Database database(copy.dir);
    for (const schema::TableDef* def : {&schema::HLAPA(), &schema::HLAPB(), &schema::ZARAS(), &schema::PART()})
        store::tableOf(database, *def).open();
    const int visits = writeFundFiles(database, period, incoming.string());
    Folder folder;
    folder.dir = incoming.string();
    bench::RecordingDialogs dialogs;
    app::SilentProgress progress;
    for (auto _ : state) {
        exchange::importBilled(database, session, dialogs, progress, folder);
        if (!dialogs.problems.empty()) {
            state.SkipWithError(dialogs.problems.front().c_str());
            break;
        }
    }
    state.counters["visits"] = visits;
}

} // namespace

BENCHMARK(BM_MonthBilledImport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
