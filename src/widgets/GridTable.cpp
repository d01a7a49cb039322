#include "widgets/GridTable.h"

#include "db/Table.h"
#include "widgets/BrowseModel.h"
#include "widgets/QtText.h"

#include <QFontMetrics>
#include <QTableView>

#include <cmath>

namespace velmora::ui {

namespace {

// How a column's values become cells: by the field's type; a lookup field
// (not a field of the table) is text.
enum class Kind { Field, Date, Lookup };

Kind kindOf(const db::Table& table, const std::string& field) {
    const int index = table.fieldIndex(field);
    if (index < 0) return Kind::Lookup;
    return table.fields().at(static_cast<size_t>(index)).type == 'D' ? Kind::Date : Kind::Field;
}

} // namespace

reports::DataTable gridTable(const QTableView& grid, const BrowseModel& model, const std::string& title) {
    reports::DataTable t;
    t.title = title;
    const db::Table& table = model.table();
    const double charWidth = std::max(1, grid.fontMetrics().averageCharWidth());
    std::vector<std::pair<std::string, Kind>> fields;
    for (int c = 0; c < model.columnCount(); ++c) {
        if (grid.isColumnHidden(c)) continue;
        const BrowseColumn& column = model.columns()[static_cast<size_t>(c)];
        t.column(ss(column.title), std::round(10 * grid.columnWidth(c) / charWidth) / 10);
        fields.emplace_back(column.field, table.isOpen() ? kindOf(table, column.field) : Kind::Lookup);
    }
    const int rows = model.rowCount();
    t.rows.reserve(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        std::vector<reports::Cell>& cells = t.row();
        for (size_t c = 0; c < fields.size(); ++c) {
            const db::Value value = table.valueAtPosition(r, fields[c].first);
            cells[c] = fields[c].second == Kind::Lookup ? reports::Cell::of(value.asString())
                                                        : reports::Cell::fromValue(value, fields[c].second == Kind::Date);
        }
    }
    return t;
}

} // namespace velmora::ui
