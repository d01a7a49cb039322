// One outgoing file from its template and its records.
#include "exchange/OutgoingFile.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/Os.h"

namespace velmora::exchange {
namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    db::os::File file = db::os::File::open(path, db::os::Access::Create);
    file.writeAt(bytes, 0);
    file.sync();
}

void start(const OutgoingLayout& layout, const std::string& path) {
    try {
        if (layout.hasTemplate) writeBytes(path, templateBytes(layout));
        else db::DbfFile::create(path, layout.fields, 3);
    } catch (const db::DbError& e) {
        throw app::UserError(std::string("Hiba az állomány elkészítésében! ") + e.what());
    }
}

void append(const std::string& path, const std::vector<OutRecord>& records) {
    try {
        // The records are gathered in memory and written in one go, with
        // the count after them.
        auto file = db::DbfFile::open(path);
        const uint32_t first = file->recordCount();
        file->hold(true);
        for (const OutRecord& values : records) {
            std::string record = file->blankRecord();
            for (size_t i = 0; i < values.size(); ++i) file->encode(record.data(), static_cast<int>(i), values[i]);
            file->append(record.data());
        }
        file->writeRecords(first, file->recordCount() - first, true);
        file->writeCountAndDate();
        file->sync();
    } catch (const db::DbError& e) {
        throw app::UserError(std::string("Hiba az állomány készítésében! ") + e.what());
    }
}

} // namespace

void writeOutgoingFile(const OutgoingLayout& layout, const std::string& path, const std::vector<OutRecord>& records) {
    start(layout, path);
    // An empty file stays its template byte for byte.
    if (!records.empty()) append(path, records);
}

} // namespace velmora::exchange
