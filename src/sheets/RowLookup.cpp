#include "sheets/RowLookup.h"

#include "app/TextHelpers.h"
#include "db/KeyExpr.h"

#include <algorithm>
#include <strings.h>

namespace velmora::sheets {

namespace {

const db::IndexTag* tagOn(const db::Table& table, const std::string& field) {
    for (const std::string& name : table.indexNames()) {
        const db::IndexTag* tag = table.index(name);
        if (tag && strcasecmp(tag->expression().text().c_str(), field.c_str()) == 0) return tag;
    }
    return nullptr;
}

} // namespace

std::optional<uint32_t> rowWith(const db::Table& table, const std::string& field, const std::string& value) {
    if (app::IsBlank(value)) return std::nullopt;
    const int column = table.fieldIndex(field);
    if (column < 0) return std::nullopt;
    // The collation may match more than the exact text (case), so every
    // candidate is compared as it stands.
    auto holds = [&](uint32_t recno) {
        return !table.isDeletedAt(recno) && table.valueAt(recno, column).asString() == value;
    };
    if (const db::IndexTag* tag = tagOn(table, field)) {
        std::vector<uint32_t> candidates = table.seek(*tag, {db::Value(value)});
        std::sort(candidates.begin(), candidates.end());
        for (uint32_t recno : candidates)
            if (holds(recno)) return recno;
        return std::nullopt;
    }
    for (uint32_t recno = 0, n = table.physicalCount(); recno < n; ++recno)
        if (holds(recno)) return recno;
    return std::nullopt;
}

std::string fieldText(const db::Table& table, uint32_t recno, const std::string& field) {
    const int column = table.fieldIndex(field);
    return column < 0 ? std::string() : table.valueAt(recno, column).asString();
}

std::string textOfRowWith(const db::Table& table, const std::string& field, const std::string& value,
                          const std::string& resultField) {
    const auto recno = rowWith(table, field, value);
    return recno ? fieldText(table, *recno, resultField) : std::string();
}

} // namespace velmora::sheets
