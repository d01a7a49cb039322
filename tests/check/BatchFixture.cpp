#include "check/BatchFixture.h"

#include "support/FundFiles.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>

namespace velmora::test {

namespace fs = std::filesystem;

const fs::path& demoInstallation() {
    static TempDir dir;
    static const fs::path out = [] {
        const fs::path program = dir.path() / "prog" / "velmora";
        fs::create_directories(program.parent_path());
        std::ofstream(program) << "#!/bin/sh\n";
        const fs::path demo = dir.path() / "demo";
        const std::string cmd = std::string("\"") + VELMORA_DEMO_TOOL + "\" --out \"" + demo.string() +
                                "\" --program \"" + program.string() + "\" >/dev/null 2>&1";
        if (std::system(cmd.c_str()) != 0) throw std::runtime_error("velmora-demo failed");
        return demo;
    }();
    return out;
}

void copyDemo(const fs::path& dir) {
    fs::create_directories(dir);
    fs::copy(demoInstallation() / "DATA", dir / "DATA", fs::copy_options::recursive);
}

std::string changedPaths(const std::map<std::string, std::string>& before,
                         const std::map<std::string, std::string>& after) {
    std::string out;
    for (const auto& [path, bytes] : before) {
        const auto found = after.find(path);
        if (found == after.end()) out += "-" + path + " ";
        else if (found->second != bytes) out += path + " ";
    }
    for (const auto& [path, bytes] : after)
        if (!before.count(path)) out += "+" + path + " ";
    return out;
}

void writeBilledAnswer(const fs::path& dir) {
    writeFundFile(dir / "HEa4711.dbf", "KABKOD C(4)", "[[\"4711\"]]");
    writeFundFile(dir / "HEc4711.dbf", "KABKOD C(4)", "[[\"4711\"]]");
    writeFundFile(dir / "HEb4711.dbf", "KABKOD C(4); SORSZAM N(5,0); IDOSZAK C(6); RESZ C(1); APDATUM D; ELSZIDO C(7)",
                  "[[\"4711\",8,\"202603\",\"C\",\"2026-03-01\",\"A1\"],"
                  "[\"4711\",8,\"202603\",\"C\",\"2026-03-02\",\"A1\"]]");
    writeFundFile(dir / "HRuv4711.dbf", "IDOSZAK C(7); ALAPDIJ N(10,2); ELOLEG N(12,1)",
                  "[[\"2026.03\",7150.25,350000.0]]");
}

ToolRun runBatch(const fs::path& workingDir, const std::string& arguments) {
    const fs::path out = workingDir / ".batch.out", err = workingDir / ".batch.err";
    const std::string cmd = "cd \"" + workingDir.string() + "\" && \"" + VELMORA_BATCH_TOOL + "\" " + arguments +
                            " >\"" + out.string() + "\" 2>\"" + err.string() + "\"";
    const int status = std::system(cmd.c_str());
    ToolRun run;
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fileBytes(out);
    run.err = fileBytes(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

} // namespace velmora::test
