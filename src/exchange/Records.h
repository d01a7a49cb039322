#pragma once
// How the records of the shipment's files are filled from the rows of the
// local tables: one header record per sheet, one visit record per day that
// has a date, an activity and a nurse, and one diagnosis record per code.
// Each function gives the values in the order of the layout's fields; the
// engine writes them (numbers right-aligned, dates YYYYMMDD, code page 852).
#include "exchange/Layouts.h"

#include "db/SqlRows.h"
#include "db/Value.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::exchange {

// One row of a query: column name in lower case -> value (blank is null).
using QueryRow = db::NamedRow;
// One value per field of a layout.
using OutRecord = std::vector<db::Value>;

// A code read as an integer, as the fund's files carry them: decimal digits
// with blanks around them; anything else (empty text included) is none.
std::optional<int64_t> integerOf(const std::string& text);

// "2024.05" -> "202405".
std::string periodDigits(const std::string& period);

// "00012A (2024.05)": a sheet as the user's messages name it.
std::string sheetLabel(const QueryRow& row);

// What keeps a header row (the header query's columns) from being written
// in `layout`: the codes that must be integers and are not. Empty when the
// row can go.
std::vector<std::string> headerProblems(const OutgoingLayout& layout, const QueryRow& row);
// The same for the visits of a visit row (HLAPB's columns).
std::vector<std::string> visitProblems(const OutgoingLayout& layout, const QueryRow& row);

// The header record of a sheet for the shipment of `period`. Throws
// app::UserError naming the sheet when headerProblems finds anything.
OutRecord headerRecord(const OutgoingLayout& layout, const QueryRow& row, const std::string& period);
// The visit records of one visit row, days 1 to 31 in order.
std::vector<OutRecord> visitRecords(const OutgoingLayout& layout, const QueryRow& row);
// The diagnosis records of one sheet: the main diagnosis, the underlying
// disease, the in-patient diagnosis and the accompanying disease (types 2,
// 4, 1, 3 in this order), each when present.
std::vector<OutRecord> diagnosisRecords(const OutgoingLayout& layout, const QueryRow& row);

} // namespace velmora::exchange
