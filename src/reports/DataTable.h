#pragma once
// A list's rows as values, not as a picture: what the grids and the lists
// give to a spreadsheet. Each cell keeps its kind, so numbers and dates
// arrive in the spreadsheet as numbers and dates, not as text.
#include "db/Decimal.h"
#include "db/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::reports {

enum class CellKind { Empty, Text, Number, Date };

struct Cell {
    CellKind kind = CellKind::Empty;
    std::string text;    // Text; a Date as "YYYY.MM.DD"
    db::Decimal number;  // Number, exact

    static Cell of(std::string text);
    static Cell of(const char* text) { return of(std::string(text)); }
    static Cell of(db::Decimal number);
    static Cell of(int64_t number) { return of(db::Decimal::fromInt(number)); }
    static Cell of(int number) { return of(static_cast<int64_t>(number)); }
    // "YYYY.MM.DD"; an empty text is an empty cell, a text that is no date
    // stays text (a damaged field is shown, not lost).
    static Cell date(const std::string& text);
    // A field's value: null empty, numbers as numbers, text as text, a
    // date field (`isDate`) as a date.
    static Cell fromValue(const db::Value& value, bool isDate);

    // The cell as a list shows it: numbers with a decimal comma.
    std::string shown() const;
    friend bool operator==(const Cell&, const Cell&) = default;
};

struct DataColumn {
    std::string heading;  // Hungarian, as the grid or the list heads it
    double width = 10;    // characters
};

struct DataTable {
    std::string title;  // what it is: the file's name and the sheet's name
    std::vector<DataColumn> columns;
    std::vector<std::vector<Cell>> rows;  // each as long as `columns`

    DataTable& column(std::string heading, double width);
    std::vector<Cell>& row();  // a new row of empty cells
};

} // namespace velmora::reports
