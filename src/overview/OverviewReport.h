#pragma once
// The overview on paper: its charts drawn as bars and lines in greys that a
// black-and-white printer keeps apart, and its figures as lists.
#include "overview/Overview.h"
#include "reports/Bands.h"
#include "reports/DataTable.h"

#include <string>
#include <vector>

namespace velmora::overview {

// One chart's numbers: a value per month, and where a value is marked.
struct ChartSeries {
    std::string name;
    std::vector<double> values;
};

// A chart band `width` × `height` mm at `x`: bars of `bars`, a short line
// across each month's slot for `marks` (the contract), months below.
void barChart(reports::Band& band, double x, double width, double height, const std::string& title,
              const ChartSeries& bars, const ChartSeries* marks, const std::vector<bool>& over);
// A line chart of running totals.
void lineChart(reports::Band& band, double x, double width, double height, const std::string& title,
               const std::vector<ChartSeries>& lines);

reports::Report overviewReport(const Overview& o, const std::string& printedAt);
// The budget's figures month by month as the report's rows for a
// spreadsheet: the days, the amounts, the residue and the sheets by state.
reports::DataTable overviewTable(const Overview& o);

// "2026.03" as the charts label it ("03").
std::string monthLabel(const std::string& period);

} // namespace velmora::overview
