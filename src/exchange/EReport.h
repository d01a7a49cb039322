#pragma once
// The fund's e-report page, which the shipment offers once its files are
// in KULD. Its address is the one setting the program keeps: the address
// the fund gave the provider, asked for on first use and kept in the file
// kEReportAddressFile of the data directory (first non-blank line). No
// address is built in: a guessed one would send the clerk's login to a page
// nobody confirmed.
#include <optional>
#include <string>

namespace velmora::exchange {

inline constexpr const char* kEReportAddressFile = "ejelentes.url";

// The address in `dataDir`'s address file, trimmed; nothing when there is
// no file or it holds no address.
std::optional<std::string> eReportAddress(const std::string& dataDir);

// Why `address` cannot be the page's address (Hungarian, for the user), or
// empty when it can: a web address (http or https) with a host, no blanks.
std::string eReportAddressProblem(const std::string& address);

// Keeps the address (trimmed) in `dataDir`: written beside and renamed into
// place, so a failure leaves the old address. Refuses an address with a
// problem (app::UserError with the problem's text).
void saveEReportAddress(const std::string& dataDir, const std::string& address);

// Where the embedded browser keeps its cookies and cache between runs, so
// a login to the fund's page is kept: WEB in the data directory.
std::string browserProfileDir(const std::string& dataDir);

} // namespace velmora::exchange
