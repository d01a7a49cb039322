#pragma once
// The fund's incoming files for the import tests, written by python3-dbf
// (tests/tools/fund_files.py) rather than by the engine that reads them.
// The including test program defines VELMORA_TEST_SOURCE_DIR.
#include "support/Files.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velmora::test {

// `structure` is python3-dbf's field list ("KABKOD C(4); APDATUM D"),
// `rowsJson` a JSON list of rows in field order, dates "YYYY-MM-DD", blanks null.
inline void writeFundFile(const std::filesystem::path& path, const std::string& structure,
                          const std::string& rowsJson) {
    const std::string tool = std::string(VELMORA_TEST_SOURCE_DIR) + "/tools/fund_files.py";
    const std::string out = runCommand("/usr/bin/python3 " + tool + " '" + path.string() + "' '" + structure + "' '" +
                                       rowsJson + "' 2>&1");
    if (!out.empty() || !std::filesystem::exists(path)) throw std::runtime_error("python3-dbf: " + out);
}

} // namespace velmora::test
