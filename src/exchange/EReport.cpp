#include "exchange/EReport.h"

#include <filesystem>
#include <fstream>

namespace velmora::exchange {

namespace {

std::string trimmed(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t from = s.find_first_not_of(blanks);
    if (from == std::string::npos) return {};
    return s.substr(from, s.find_last_not_of(blanks) - from + 1);
}

} // namespace

std::string eReportAddress(const std::string& dataDir) {
    std::ifstream in(std::filesystem::path(dataDir) / kEReportAddressFile);
    for (std::string line; std::getline(in, line);)
        if (const std::string address = trimmed(line); !address.empty()) return address;
    return kDefaultEReportAddress;
}

std::string browserProfileDir(const std::string& dataDir) {
    return (std::filesystem::path(dataDir) / "WEB").string();
}

} // namespace velmora::exchange
