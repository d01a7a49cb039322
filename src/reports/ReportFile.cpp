#include "reports/ReportFile.h"

namespace velmora::reports {

std::string reportFileName(const std::string& title, const std::string& stamp) {
    std::string name;
    for (const char c : title) {
        const bool unfit = c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
                           c == '>' || c == '|' || (static_cast<unsigned char>(c) < 32);
        name += unfit ? '-' : c;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.empty()) name = "Lista";
    return name + " " + stamp + ".pdf";
}

} // namespace velmora::reports
