#pragma once
// The fund's incoming files for the import tests, written by python3-dbf
// (tests/support/python/fund_files.py) rather than by the engine that reads them.
// The including test program defines VELMORA_TEST_SOURCE_DIR.
#include "support/Files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace velmora::test {

// `structure` is python3-dbf's field list ("KABKOD C(4); APDATUM D"),
// `rowsJson` a JSON list of rows in field order, dates "YYYY-MM-DD", blanks
// null; `codepage` python3-dbf's name of the file's code page ("cp1250"),
// which it marks in the header (code page 852 as 0x1F).
inline void writeFundFile(const std::filesystem::path& path, const std::string& structure,
                          const std::string& rowsJson, const std::string& codepage = "cp852") {
    const std::string tool = std::string(VELMORA_TEST_SOURCE_DIR) + "/support/python/fund_files.py";
    const std::string out = runCommand("/usr/bin/python3 " + tool + " '" + path.string() + "' '" + structure + "' '" +
                                       rowsJson + "' " + codepage + " 2>&1");
    if (!out.empty() || !std::filesystem::exists(path)) throw std::runtime_error("python3-dbf: " + out);
}

// Sets the language driver mark (header byte 29) of a file as another
// program might have written it, the text left as it is.
inline void markCodePage(const std::filesystem::path& path, unsigned char mark) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(29);
    f.put(static_cast<char>(mark));
    if (!f) throw std::runtime_error("cannot mark " + path.string());
}

} // namespace velmora::test
