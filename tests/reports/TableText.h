#pragma once
// A list's table as readable text for the tests' comparisons: each cell
// with its kind, "s:Árva Éva", "n:12,5", "d:1938.01.02", "e".
#include "reports/DataTable.h"

#include <string>
#include <vector>

namespace velmora::test {

inline std::string cellText(const reports::Cell& c) {
    switch (c.kind) {
    case reports::CellKind::Empty: return "e";
    case reports::CellKind::Text: return "s:" + c.text;
    case reports::CellKind::Number: return "n:" + c.shown();
    case reports::CellKind::Date: return "d:" + c.text;
    }
    return "?";
}

inline std::vector<std::string> rowText(const std::vector<reports::Cell>& row) {
    std::vector<std::string> out;
    for (const reports::Cell& c : row) out.push_back(cellText(c));
    return out;
}

inline std::vector<std::string> headings(const reports::DataTable& t) {
    std::vector<std::string> out;
    for (const reports::DataColumn& c : t.columns) out.push_back(c.heading);
    return out;
}

// The value on the line whose first cell is `what` (the summary's figures).
inline std::string figure(const reports::DataTable& t, const std::string& what) {
    for (const auto& row : t.rows)
        if (!row.empty() && row[0].text == what) return cellText(row.at(1));
    return "missing: " + what;
}

} // namespace velmora::test
