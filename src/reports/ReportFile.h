#pragma once
// The name a saved report gets in LISTA: what it is and when it was made,
// "Orvosok listája 2026-12-10 23-05.pdf". Characters a file name cannot
// hold become "-".
#include <string>

namespace velmora::reports {

// The path in `dir` for the report; `stamp` is the moment as
// "YYYY-MM-DD HH-MM", `extension` the file's kind (".pdf", ".xlsx", ".csv").
// When a file of the same name was saved there within the same minute,
// " (2)", " (3)" … comes before the extension: an earlier one is never
// overwritten.
std::string reportPath(const std::string& dir, const std::string& title, const std::string& stamp,
                       const std::string& extension = ".pdf");

} // namespace velmora::reports
