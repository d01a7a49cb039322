#pragma once
// The name a saved report gets in LISTA: what it is and when it was made,
// "Orvosok listája 2026-12-10 23-05.pdf". Characters a file name cannot
// hold become "-".
#include <string>

namespace velmora::reports {

// `stamp` is the moment as "YYYY-MM-DD HH-MM".
std::string reportFileName(const std::string& title, const std::string& stamp);

} // namespace velmora::reports
