#include "app/PeriodChoice.h"

#include "db/Table.h"

namespace velmora::app {

std::optional<PeriodRow> ZarasPeriodTable::find(const std::string& period) {
    if (!zaras_.locate("Idoszak", db::Value(period))) return std::nullopt;
    return PeriodRow{zaras_.text("Idoszak"), zaras_.text("Zaras")};
}

} // namespace velmora::app
