#pragma once
// A list saved for a spreadsheet: as an Excel workbook (.xlsx) or as a CSV
// file that a Hungarian spreadsheet opens without questions (UTF-8 with a
// byte order mark, ";" between cells, decimal comma). Numbers and dates
// are real numbers and dates in the workbook; the heading row is bold and
// frozen, the columns as wide as the grid's.
//
// Both are written beside the chosen name and renamed into place only when
// complete: a place that cannot be written leaves no half-written file.
#include "reports/DataTable.h"

#include <string>

namespace velmora::reports {

enum class TableFormat { Xlsx, Csv };

// Throws app::UserError "A(z) <path> állomány nem írható!" with the cause
// on a line of its own.
void writeXlsx(const DataTable& table, const std::string& path);
void writeCsv(const DataTable& table, const std::string& path);
void writeTable(const DataTable& table, const std::string& path, TableFormat format);

// The CSV text itself, byte order mark first.
std::string csvText(const DataTable& table);

// The message's first line: "A(z) <path> állomány nem írható!".
std::string unwritable(const std::string& path);

// ".xlsx" or ".csv".
const char* extensionOf(TableFormat format);

} // namespace velmora::reports
