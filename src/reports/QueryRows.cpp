#include "reports/QueryRows.h"

namespace velmora::reports {

namespace {
std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}
} // namespace

std::vector<QueryRow> rowsOf(const db::SqlResult& result) {
    std::vector<QueryRow> rows;
    rows.reserve(result.rows.size());
    for (const auto& values : result.rows) {
        QueryRow row;
        for (size_t i = 0; i < values.size(); ++i) row[lower(result.columns[i])] = values[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string text(const QueryRow& row, const std::string& column) {
    const auto it = row.find(column);
    return it == row.end() ? std::string() : it->second.asString();
}

int number(const QueryRow& row, const std::string& column) {
    const auto it = row.find(column);
    return it == row.end() ? 0 : static_cast<int>(it->second.asInt());
}

} // namespace velmora::reports
