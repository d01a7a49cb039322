#include "exchange/EReport.h"

#include "app/UserError.h"
#include "db/Os.h"

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

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

} // namespace

std::optional<std::string> eReportAddress(const std::string& dataDir) {
    std::ifstream in(std::filesystem::path(dataDir) / kEReportAddressFile);
    for (std::string line; std::getline(in, line);)
        if (std::string address = trimmed(line); !address.empty()) return address;
    return std::nullopt;
}

std::string eReportAddressProblem(const std::string& given) {
    const std::string address = trimmed(given);
    if (address.empty()) return "Nincs megadva az e-jelentés oldalának címe!";
    std::string rest;
    if (startsWith(address, "https://"))
        rest = address.substr(8);
    else if (startsWith(address, "http://"))
        rest = address.substr(7);
    else
        return "Az oldal címe http:// vagy https:// kezdetű webcím legyen!";
    for (const unsigned char c : address)
        if (c <= ' ' || c == 0x7f) return "Az oldal címében nem lehet szóköz vagy vezérlőkarakter!";
    const std::string host = rest.substr(0, rest.find_first_of("/?#"));
    if (host.empty() || host.front() == '.' || host.front() == ':' || host.find('@') != std::string::npos)
        return "Az oldal címéből hiányzik a kiszolgáló neve!";
    return {};
}

void saveEReportAddress(const std::string& dataDir, const std::string& address) {
    if (const std::string problem = eReportAddressProblem(address); !problem.empty()) throw app::UserError(problem);
    db::os::writeFileReplacing((std::filesystem::path(dataDir) / kEReportAddressFile).string(),
                               trimmed(address) + "\n");
}

std::string browserProfileDir(const std::string& dataDir) {
    return (std::filesystem::path(dataDir) / "WEB").string();
}

} // namespace velmora::exchange
