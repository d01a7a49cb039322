#include "reports/TableExport.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "db/Os.h"

namespace velmora::reports {

std::string unwritable(const std::string& path) { return "A(z) " + path + " állomány nem írható!"; }

void writeCsv(const DataTable& table, const std::string& path) {
    try {
        db::os::writeFileReplacing(path, csvText(table));
    } catch (const db::DbError& e) {
        throw app::UserError(unwritable(path) + "\n" + e.what());
    }
}

void writeTable(const DataTable& table, const std::string& path, TableFormat format) {
    if (format == TableFormat::Xlsx)
        writeXlsx(table, path);
    else
        writeCsv(table, path);
}

const char* extensionOf(TableFormat format) { return format == TableFormat::Xlsx ? ".xlsx" : ".csv"; }

} // namespace velmora::reports
