#pragma once
// A grid's rows as values for a spreadsheet: the rows the grid shows, in
// its order (the table's filter and active index), and its shown columns,
// headed by their titles and as wide in characters as on the screen.
// Numbers arrive as numbers, date fields as dates, the rest (lookup fields
// too) as the text the grid shows.
#include "reports/DataTable.h"

#include <string>

class QTableView;

namespace velmora::ui {

class BrowseModel;

reports::DataTable gridTable(const QTableView& grid, const BrowseModel& model, const std::string& title);

} // namespace velmora::ui
