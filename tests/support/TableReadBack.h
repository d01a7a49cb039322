#pragma once
// A saved list read back independently of the program, by
// tests/support/python/read_table.py: an .xlsx through python3-openpyxl, a .csv
// through Python's csv module; one line per fact (see the script). The
// test program defines VELMORA_TEST_SOURCE_DIR.
#include "support/Files.h"

#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {

inline std::vector<std::string> readBackTable(const std::string& kind, const std::string& path) {
    const std::string reader = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/read_table.py";
    std::istringstream out(runCommand("/usr/bin/python3 " + reader + " " + kind + " '" + path + "' 2>&1"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    return lines;
}

} // namespace velmora::test
