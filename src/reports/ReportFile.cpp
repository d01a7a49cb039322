#include "reports/ReportFile.h"

#include <filesystem>

namespace velmora::reports {

namespace {

// The title with the characters a file name cannot hold as "-".
std::string fitName(const std::string& title) {
    std::string name;
    for (const char c : title) {
        const bool unfit = c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
                           c == '>' || c == '|' || (static_cast<unsigned char>(c) < 32);
        name += unfit ? '-' : c;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    if (name.empty()) name = "Lista";
    return name;
}

} // namespace

std::string reportPath(const std::string& dir, const std::string& title, const std::string& stamp,
                       const std::string& extension) {
    namespace fs = std::filesystem;
    const std::string base = (fs::path(dir) / (fitName(title) + " " + stamp)).string();
    std::string path = base + extension;
    std::error_code ec;
    for (int n = 2; fs::exists(path, ec); ++n) path = base + " (" + std::to_string(n) + ")" + extension;
    return path;
}

} // namespace velmora::reports
