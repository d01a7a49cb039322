#include "check/TableImage.h"

#include "db/DbError.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <strings.h>

namespace velmora::check {

TableImage::TableImage(const std::string& path) : fileName_(std::filesystem::path(path).filename().string()) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw db::DbError(db::DbError::Code::Io, "A(z) " + fileName_ + " állomány nem olvasható.");
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw db::DbError(db::DbError::Code::Io, "A(z) " + fileName_ + " állomány nem olvasható.");
    header_ = db::parseDbfHeader(bytes_, bytes_.size(), fileName_);
    codePage_ = db::codePageOf(header_, fileName_);
}

int TableImage::fieldIndex(const std::string& name) const {
    for (size_t i = 0; i < header_.fields.size(); ++i)
        if (strcasecmp(header_.fields[i].name.c_str(), name.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

const char* TableImage::record(uint32_t recno) const {
    return bytes_.data() + header_.headerLength + size_t(recno) * header_.recordLength;
}

db::Value TableImage::value(uint32_t recno, int field) const {
    const size_t f = static_cast<size_t>(field);
    return db::DbfFile::decode(record(recno), header_.fields[f], header_.offsets[f], codePage_);
}

std::string TableImage::text(uint32_t recno, int field) const {
    if (field < 0) return {};
    std::string s = value(recno, field).asString();
    const size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    const size_t begin = s.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : s.substr(begin);
}

} // namespace velmora::check
