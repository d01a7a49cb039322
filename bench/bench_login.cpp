// What a login costs now that SYS.P_W holds an Argon2id hash: the window's
// OK reads the stored form and checks what was typed against it, on a real
// SYS table. The hash is slow on purpose (it is what makes a stolen sys.dbf
// expensive to guess from); the user should not feel it. Also the first
// login of an installation with the old scrambled form, which writes the
// hash in SYS's wider layout.
#include "app/Login.h"
#include "app/Password.h"
#include "app/PasswordStore.h"
#include "db/Database.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

using namespace velmora;
namespace fs = std::filesystem;

const char* const kPassword = "Hospice jelszó 2024";
// The old form had room for 40 digits: about 13 characters.
const char* const kOldPassword = "Hospice2024";

struct QuietDialogs : app::Dialogs {
    int problems = 0;
    void error(const std::string&) override { ++problems; }
    void error(const std::string&, const std::string&) override { ++problems; }
    void warning(const std::string&) override { ++problems; }
    void information(const std::string&) override {}
    void message(const std::string&) override { ++problems; }
    bool ask(const app::Question&) override { return false; }
    void status(int, const std::string&) override {}
    std::optional<std::string> chooseDirectory(const std::string&, const std::string&) override { return {}; }
};

struct DataDir {
    std::string dir;
    DataDir() {
        std::string tmpl = "/tmp/velmora-bench-login-XXXXXX";
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("no temp folder");
        dir = tmpl;
    }
    ~DataDir() { fs::remove_all(dir); }
    // SYS with the stored form in a P_W of the given width.
    void sys(const std::string& stored, int width) {
        fs::remove(dir + "/sys.dbf");
        db::Database dbs(dir);
        db::Table& t = dbs.table("SYS", "sys.dbf");
        t.create({db::FieldDef::character("P_W", width)});
        t.open();
        t.append();
        t.setField("P_W", db::Value(stored));
        t.post();
    }
};

// The whole OK of the login window: the table opened, read, checked.
app::LoginStep login(const std::string& dir, const std::string& typed, QuietDialogs& dialogs) {
    db::Database dbs(dir);
    app::SysPasswordStore store(dbs);
    app::PreparePasswordTable(store, dialogs);
    return app::SubmitPassword(store, typed, dialogs);
}

void BM_Login(benchmark::State& state) {
    DataDir data;
    data.sys(app::HashPassword(kPassword), int(app::kPasswordFieldWidth));
    QuietDialogs dialogs;
    for (auto _ : state)
        if (login(data.dir, kPassword, dialogs) != app::LoginStep::Close || dialogs.problems) {
            state.SkipWithError("the password was not accepted");
            break;
        }
}

void BM_LoginUpgradingTheOldForm(benchmark::State& state) {
    DataDir data;
    QuietDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        data.sys(app::ScramblePassword(kOldPassword), 40);
        state.ResumeTiming();
        if (login(data.dir, kOldPassword, dialogs) != app::LoginStep::Close || dialogs.problems) {
            state.SkipWithError("the old form was not accepted");
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_Login)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoginUpgradingTheOldForm)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
