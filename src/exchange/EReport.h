#pragma once
// The fund's e-report page, which the shipment offers once its files are
// in KULD. Its address is the one setting the program reads: the default
// below, or the first line of the file kEReportAddressFile in the data
// directory when the fund moves the page.
#include <string>

namespace velmora::exchange {

inline constexpr const char* kDefaultEReportAddress = "https://www.neak.gov.hu/e-jelentes";
inline constexpr const char* kEReportAddressFile = "ejelentes.url";

// The first non-blank line of the address file in `dataDir` (trimmed),
// else the default.
std::string eReportAddress(const std::string& dataDir);

// Where the embedded browser keeps its cookies and cache between runs, so
// a login to the fund's page is kept: WEB in the data directory.
std::string browserProfileDir(const std::string& dataDir);

} // namespace velmora::exchange
