#pragma once
// A demo installation made once per test program by velmora-demo, copied
// fresh for every test, and velmora-batch run on it as a process.
#include "support/Files.h"
#include "support/TempDir.h"

#include <filesystem>
#include <string>

namespace velmora::test {

// The demo installation of this test program (made on first use).
const std::filesystem::path& demoInstallation();

// A copy of the demo installation at `dir`; its DATA is dir/DATA.
void copyDemo(const std::filesystem::path& dir);

struct ToolRun {
    int exit = -1;
    std::string out, err;
};

// The paths whose bytes differ between two treeBytes readings, joined by
// spaces ("" when none): short enough to read in a failed expectation.
std::string changedPaths(const std::map<std::string, std::string>& before,
                         const std::map<std::string, std::string>& after);

// The fund's answer for 2026.03 in `dir`: two of the visits of the demo's
// sheet 00008C paid, at a base fee of 7150.25 Ft.
void writeBilledAnswer(const std::filesystem::path& dir);

// The fund's contract files for provider 4711 in `dir`: one new contract
// (SZ-2027), a settlement, a nurse, a place of care and PART.
void writeContractFiles(const std::filesystem::path& dir);

// velmora-batch with `arguments` (shell words), started in `workingDir`.
ToolRun runBatch(const std::filesystem::path& workingDir, const std::string& arguments);

} // namespace velmora::test
