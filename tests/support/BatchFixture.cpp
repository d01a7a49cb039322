#include "support/BatchFixture.h"

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
        // The demo ending at a fixed month: the tests name its periods.
        const std::string cmd = std::string("\"") + VELMORA_DEMO_TOOL + "\" --out \"" + demo.string() +
                                "\" --program \"" + program.string() + "\" --until 2026.04 >/dev/null 2>&1";
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

namespace {

const std::string kHas =
    "INTKOD C(4); SZSZAM C(10); FINKOD C(9); OSSZNAP N(5,0); SZKEZD D; SZVEG D; TELEP N(3,0); ORVOS N(3,0); "
    "GYOGYT N(3,0); DIPL N(3,0); DIET N(3,0); PSZICH N(3,0); MENTAL N(3,0); SZOCM N(3,0); HOSPSZ N(3,0); "
    "SZAKAP N(3,0); FIZIO N(3,0); OSSZD N(3,0); MODDAT D; NORMNAP N(3,0); POTNAP N(3,0); MEGJ C(20)";

} // namespace

void writeContractFiles(const fs::path& dir) {
    writeFundFile(dir / "HAs4711.dbf", kHas,
                  "[[\"4711\",\"SZ-2027\",\"470911001\",4000,\"2026-01-01\",null,1,1,1,1,1,1,1,1,1,1,1,11,"
                  "\"2026-01-02\",300,20,\"új szerződés\"]]");
    writeFundFile(dir / "HAr4711.dbf", "KOZIGKOD C(7); HELYNEV C(30); KEZD D; VEG D; TSORSZAM N(5,0); LETSZAM N(6,0)",
                  "[[\"0300003\",\"Gödöllő\",\"2026-01-01\",null,1,30000]]");
    writeFundFile(dir / "HAd4711.dbf",
                  "TAJ C(9); NEV C(30); KEZD D; VEG D; SSORSZAM N(5,0); ORASZ N(5,1); ORAK N(5,1); SZAKA C(20)",
                  "[[\"123456788\",\"Ápoló Anna\",\"2026-01-01\",null,1,40,0,\"ápoló\"]]");
    writeFundFile(dir / "HAt4711.dbf",
                  "TSORSZAM N(5,0); KOZIGKOD C(7); HELYNEV C(30); CIM C(40); KEZD D; VEG D; NAP N(3,0)",
                  "[[1,\"0300003\",\"Gödöllő\",\"Szőlő utca 2.\",\"2026-01-01\",null,5]]");
    writeFundFile(dir / "HPa4711.dbf", "INTKOD C(4); MEGYE C(2); INTE C(40)", "[[\"4711\",\"13\",\"Demó Hospice\"]]");
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
