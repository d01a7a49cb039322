// One outgoing file from its template and its records.
#include "exchange/OutgoingFile.h"

#include "app/UserError.h"
#include "db/DbError.h"
#include "db/DbfFile.h"
#include "db/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace velmora::exchange {
namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) db::throwIo(path, "nem hozható létre", errno);
    try {
        db::writeAll(fd, bytes.data(), bytes.size(), 0, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) db::throwIo(path, "nem írható", errno);
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
        auto file = db::DbfFile::open(path);
        file->beginBatch();
        try {
            for (const OutRecord& values : records) {
                std::string record = file->blankRecord();
                for (size_t i = 0; i < values.size(); ++i) file->encode(record.data(), static_cast<int>(i), values[i]);
                file->append(record.data());
            }
            file->endBatch(true);
        } catch (...) {
            file->endBatch(false);
            throw;
        }
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
