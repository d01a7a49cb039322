#include "reports/DataTable.h"

#include "app/Date.h"

namespace velmora::reports {

Cell Cell::of(std::string text) {
    if (text.empty()) return {};
    return {CellKind::Text, std::move(text), {}};
}

Cell Cell::of(db::Decimal number) { return {CellKind::Number, {}, number}; }

Cell Cell::date(const std::string& text) {
    if (text.empty()) return {};
    if (!app::Date::parse(text)) return of(text);
    return {CellKind::Date, text, {}};
}

Cell Cell::fromValue(const db::Value& value, bool isDate) {
    if (value.isNull()) return {};
    if (value.isNumber()) return of(value.number());
    if (isDate) return date(value.asString());
    return of(value.asString());
}

std::string Cell::shown() const {
    if (kind != CellKind::Number) return text;
    std::string s = number.toString();
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

DataTable& DataTable::column(std::string heading, double width) {
    columns.push_back({std::move(heading), width});
    return *this;
}

std::vector<Cell>& DataTable::row() {
    rows.emplace_back(columns.size());
    return rows.back();
}

} // namespace velmora::reports
