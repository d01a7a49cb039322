#include "reports/QueryRows.h"

namespace velmora::reports {

std::string text(const QueryRow& row, const std::string& column) {
    const auto it = row.find(column);
    return it == row.end() ? std::string() : it->second.asString();
}

int number(const QueryRow& row, const std::string& column) {
    const auto it = row.find(column);
    return it == row.end() ? 0 : static_cast<int>(it->second.asInt());
}

} // namespace velmora::reports
