// The kill harness: each command that changes the data directory runs as a
// velmora-batch process on a working directory of the demo, and is killed at
// each of its changing file calls in turn (every write, sync, rename,
// removal; the engine's fault plan counts them). After every kill the next
// start's recovery runs (velmora-batch recover), and the working directory
// is read by python3-dbf: the tables, MENT and KULD must be wholly as before
// the command or wholly as after it, with no leftover of it anywhere; each
// folder the user chose (the shipment's copy, the archive's copy, a PDF) on
// its own must be wholly as before or as after.
//
// In ctest every kill point of the shipment is tried, and every few points
// of the others (the last ones, where journals and renames fall, always).
// VELMORA_KILL_SWEEP=all tries every point of every command,
// VELMORA_KILL_SWEEP=sparse (the sanitizers' run) every eighth of those.
#include "support/BatchFixture.h"
#include "support/FundFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/wait.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// A working directory's state as dump_state.py reads it: the tables, MENT,
// KULD and the leftovers as one text; each file of the folders the user
// chose (OUT-*) apart, since a copy there is whole file by file.
struct State {
    std::string core;
    std::map<std::string, std::string> chosen;  // "OUT-COPY/hosa4711.dbf" -> its reading
};

std::map<std::string, State> dumpStates(const std::vector<fs::path>& dirs) {
    std::string cmd = "/usr/bin/python3 '" + std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/dump_state.py'";
    for (const fs::path& d : dirs) cmd += " '" + d.string() + "'";
    std::map<std::string, State> states;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return states;
    std::string all;
    char buf[65536];
    while (size_t n = fread(buf, 1, sizeof buf, p)) all.append(buf, n);
    pclose(p);
    std::istringstream in(all);
    State* current = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("=== ", 0) == 0) {
            current = &states[line.substr(4)];
        } else if (current && line.rfind("OUT-", 0) == 0) {
            current->chosen[line.substr(0, line.find(':'))] = line;
        } else if (current) {
            current->core += line + "\n";
        }
    }
    return states;
}

// A working directory for the commands: the demo with a backup made (MENT
// and OUT-ARCH/Zaras.arj hold the set of that moment), then its 2026.03
// shipment (KULD holds its files, ZARAS its row), the fund's contract files
// and billed answer in RUV, and its complete data set in TELJ.
const fs::path& baseDirectory() {
    static TempDir dir;
    static const fs::path base = [] {
        const fs::path w = dir.path() / "base";
        copyDemo(w);
        fs::create_directories(w / "OUT-ARCH");
        for (const char* step : {"--data DATA backup --archive OUT-ARCH", "--data DATA ship 2026.03 --yes"}) {
            const ToolRun run = runBatch(w, step);
            if (run.exit != 0) throw std::runtime_error(std::string(step) + ": " + run.err);
        }
        fs::create_directories(w / "RUV");
        writeBilledAnswer(w / "RUV");
        writeContractFiles(w / "RUV");
        const std::string full = "/usr/bin/python3 " + std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/full_data_set.py '" +
                                 (w / "TELJ").string() + "' good 4711 >/dev/null";
        if (std::system(full.c_str()) != 0) throw std::runtime_error("full_data_set.py failed");
        fs::create_directories(w / "OUT-COPY");
        fs::create_directories(w / "OUT-PDF");
        return w;
    }();
    return base;
}

struct KillCase {
    const char* name;
    std::string arguments;                   // after --data DATA
    int stride;                              // every stride-th kill point in ctest
    void (*prepare)(const fs::path& work);   // the command's own starting point, or null
    bool changesContent = true;              // false: it rewrites files but keeps every row
};

void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }

// The period table in a layout of an earlier version (a dBASE III file,
// without the code page mark): the next start copies it through.
void oldPeriodTable(const fs::path& work) {
    std::fstream f(work / "DATA" / "Zaras.dbf", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(29);
    f.put('\0');
}

void copyTree(const fs::path& from, const fs::path& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

// velmora-batch under a fault plan; true when the plan's kill stopped it.
bool runKilled(const fs::path& work, const std::string& arguments, const std::string& plan) {
    const std::string cmd = "cd '" + work.string() + "' && VELMORA_FAULT='" + plan + "' '" + VELMORA_BATCH_TOOL +
                            "' --data DATA " + arguments + " >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 128 + 9;
}

// The first lines where a state differs from the one before and the one
// after the command, short enough to read.
std::string difference(const std::string& state, const std::string& was, const std::string& now) {
    const auto firstDiff = [&](const std::string& other) {
        std::istringstream a(state), b(other);
        for (std::string la, lb; std::getline(a, la);) {
            if (!std::getline(b, lb)) return la.substr(0, 160) + "\n   where there is nothing";
            if (la == lb) continue;
            size_t at = 0;
            while (at < la.size() && at < lb.size() && la[at] == lb[at]) ++at;
            const size_t from = at > 80 ? at - 80 : 0;
            return la.substr(0, la.find(':')) + ": …" + la.substr(from, 160) + "\n   instead of …" + lb.substr(from, 160);
        }
        return std::string("(longer)");
    };
    return "against before: " + firstDiff(was) + "\nagainst after: " + firstDiff(now);
}

long countedCalls(const fs::path& work, const std::string& arguments) {
    const fs::path trace = work.parent_path() / (work.filename().string() + ".trace");
    runKilled(work, arguments, "trace=" + trace.string());
    std::ifstream in(trace);
    long n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

class KillHarness : public ::testing::TestWithParam<KillCase> {
protected:
    void SetUp() override {
        if (!VELMORA_BATCH_PAINTS && GetParam().arguments.rfind("report ", 0) == 0)
            GTEST_SKIP() << "this velmora-batch was built without Qt and paints no report";
    }
    // Runs `stop` at each chosen point of the command (it stops or fails
    // the command there), then the next start's recovery, and compares
    // every working directory with the one before and the one after.
    void everyPoint(const std::function<void(const fs::path& work, long point)>& stop, int strideFactor);
};

void KillHarness::everyPoint(const std::function<void(const fs::path& work, long point)>& stop, int strideFactor) {
    const KillCase& c = GetParam();
    TempDir scratch;
    const auto prepared = [&](const std::string& name) {
        const fs::path w = scratch.path() / name;
        copyTree(baseDirectory(), w);
        if (c.prepare) c.prepare(w);
        return w;
    };
    const fs::path before = prepared("before");
    const fs::path after = prepared("after");
    const ToolRun clean = runBatch(after, "--data DATA " + c.arguments);
    ASSERT_EQ(clean.exit, 0) << clean.err;
    const long calls = countedCalls(prepared("counted"), c.arguments);
    ASSERT_GT(calls, 0);

    const std::string mode = std::getenv("VELMORA_KILL_SWEEP") ? std::getenv("VELMORA_KILL_SWEEP") : "";
    const bool sweep = mode == "all";
    // "sparse": the sanitizers' run, where every process is slower, tries
    // a few points of each command; the ordinary run has tried them all.
    const bool sparse = mode == "sparse";
    const int stride = c.stride * strideFactor * (sparse ? 8 : 1);
    const long last = sparse ? 3 : 12;
    std::vector<long> points;
    for (long k = 1; k <= calls; ++k)
        if (sweep || stride <= 1 || k % stride == 1 || k > calls - last) points.push_back(k);

    std::map<std::string, State> expected = dumpStates({before, after});
    const State& was = expected[before.string()];
    const State& now = expected[after.string()];
    if (c.changesContent) ASSERT_NE(was.core, now.core) << "the command changed nothing";
    else ASSERT_EQ(was.core, now.core) << "the command lost or changed rows";
    ASSERT_NE(now.core.find("leftovers: -"), std::string::npos) << now.core;

    int wholeBefore = 0, wholeAfter = 0;
    for (size_t from = 0; from < points.size(); from += 40) {
        std::vector<fs::path> dirs;
        for (size_t i = from; i < std::min(points.size(), from + 40); ++i) {
            const fs::path w = prepared("point-" + std::to_string(points[i]));
            stop(w, points[i]);
            const ToolRun recovered = runBatch(w, "--data DATA recover");
            EXPECT_EQ(recovered.exit, 0) << "kill at " << points[i] << ": " << recovered.err;
            dirs.push_back(w);
        }
        for (auto& [dir, state] : dumpStates(dirs)) {
            SCOPED_TRACE(dir);
            EXPECT_TRUE(state.core == was.core || state.core == now.core) << difference(state.core, was.core, now.core);
            wholeBefore += state.core == was.core;
            wholeAfter += state.core == now.core;
            for (const auto& [file, contents] : state.chosen) {
                const auto b = was.chosen.find(file), a = now.chosen.find(file);
                EXPECT_TRUE((b != was.chosen.end() && contents == b->second) ||
                            (a != now.chosen.end() && contents == a->second))
                    << contents.substr(0, 200);
            }
        }
        for (const fs::path& d : dirs) fs::remove_all(d);
    }
    EXPECT_GT(wholeBefore, 0);
    if (c.changesContent) EXPECT_GT(wholeAfter, points.size() > 1 ? 0 : -1);
    std::cout << c.name << ": " << calls << " changing calls, " << points.size() << " stopped, " << wholeBefore
              << " left as before, " << wholeAfter << " as after\n";
}

TEST_P(KillHarness, EveryKillLeavesTheWholeBeforeOrTheWholeAfter) {
    int killed = 0, tried = 0;
    everyPoint(
        [&](const fs::path& work, long point) {
            ++tried;
            if (runKilled(work, GetParam().arguments, "kill=" + std::to_string(point))) ++killed;
        },
        1);
    EXPECT_EQ(killed, tried) << "every planned kill stopped the command";
}

// The disk refuses each call in turn as a full disk does: the command
// names the cause in Hungarian (when the refusal stopped it), and the next
// start finds the whole before or the whole after.
TEST_P(KillHarness, AFullDiskAtAnyCallIsNamedAndLeavesTheWholeBeforeOrTheWholeAfter) {
    int stopped = 0;
    everyPoint(
        [&](const fs::path& work, long point) {
            const std::string cmd = "cd '" + work.string() + "' && VELMORA_FAULT='fail=" + std::to_string(point) +
                                    ":28' '" + VELMORA_BATCH_TOOL + "' --data DATA " + GetParam().arguments + " 2>&1";
            const std::string said = runCommand(cmd + "; echo \"exit=$?\"");
            if (said.find("exit=0") != std::string::npos) return;  // a refusal it was allowed to pass over
            ++stopped;
            EXPECT_NE(said.find("betelt a lemez"), std::string::npos) << point << ": " << said;
            EXPECT_EQ(said.find("filesystem"), std::string::npos) << point << ": " << said;
        },
        3);
    EXPECT_GT(stopped, 0);
}

std::string caseName(const ::testing::TestParamInfo<KillCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Commands, KillHarness,
    ::testing::Values(KillCase{"StartUpRebuildingThePeriodTable", "report doctors --pdf OUT-PDF/orvos.pdf", 1, &oldPeriodTable,
                               false},
                      KillCase{"Shipment", "ship 2026.04 --yes --copy OUT-COPY", 1, nullptr},
                      KillCase{"BilledImport", "import-billed RUV --period 2026.03 --yes", 2, nullptr},
                      KillCase{"ContractImport", "import-contracts RUV --yes", 3, nullptr},
                      KillCase{"FullImport", "import-full TELJ --yes", 3, nullptr},
                      KillCase{"Backup", "backup --archive OUT-ARCH", 3, nullptr},
                      KillCase{"RestoreFromArchive", "restore --archive OUT-ARCH/Zaras.arj --yes", 5, nullptr},
                      KillCase{"RestoreFromMent", "restore --ment --yes", 5, nullptr}),
    caseName);

} // namespace
} // namespace velmora::test
