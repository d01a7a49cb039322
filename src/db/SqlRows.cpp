#include "db/SqlRows.h"

namespace velmora::db {

namespace {
std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}
} // namespace

std::vector<NamedRow> namedRows(const SqlResult& result) {
    std::vector<std::string> names;
    names.reserve(result.columns.size());
    for (const std::string& c : result.columns) names.push_back(lower(c));
    std::vector<NamedRow> rows;
    rows.reserve(result.rows.size());
    for (const auto& values : result.rows) {
        NamedRow row;
        for (size_t i = 0; i < values.size() && i < names.size(); ++i) row[names[i]] = values[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace velmora::db
