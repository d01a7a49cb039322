#pragma once
// The page header and footer every list of the program shares: the title,
// the program's name and version, an optional subtitle, the column headings
// and a line below them; at the foot the date and time of printing on the
// left and "Oldal:" with the page number on the right.
#include "reports/Bands.h"

#include <string>
#include <vector>

namespace velmora::reports {

struct Column {
    double x, w;  // mm from the left margin
    std::string heading;
    Align align = Align::Left;
};

// This moment in local time as the page footers show it ("2026.12.10 23:05").
std::string printedAtNow();

// `printedAt` as the footer shows it ("2026.12.10 23:05").
Band listHeader(const Report& report, const std::string& title, const std::string& subtitle,
                const std::vector<Column>& columns);
Band listFooter(const Report& report, const std::string& printedAt);

// One detail line: each value in its column.
Band listRow(const std::vector<Column>& columns, const std::vector<std::string>& values, double sizePt = 9);

} // namespace velmora::reports
