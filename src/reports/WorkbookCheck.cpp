#include "reports/WorkbookCheck.h"

#include <zlib.h>

#include <cstdint>
#include <optional>

namespace velmora::reports {

namespace {

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + size_t(i)]);
    return v;
}

// A stored or deflated part; nothing when it does not unpack whole.
std::optional<std::string> unpacked(const std::string& zip, size_t local, uint32_t method, uint32_t packed,
                                    uint32_t size) {
    if (local + 30 > zip.size() || le(zip, local, 4) != 0x04034b50) return std::nullopt;
    const size_t data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
    if (data + packed > zip.size()) return std::nullopt;
    if (method == 0) return packed == size ? std::optional(zip.substr(data, size)) : std::nullopt;
    if (method != 8) return std::nullopt;
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
    z.avail_in = packed;
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = size;
    const int result = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (result != Z_STREAM_END || z.total_out != size) return std::nullopt;
    return out;
}

// The XML ends by closing the element it opened first.
bool closesFirstElement(const std::string& xml) {
    size_t open = xml.find('<');
    while (open != std::string::npos && (xml.compare(open, 2, "<?") == 0 || xml.compare(open, 2, "<!") == 0))
        open = xml.find('<', open + 1);
    if (open == std::string::npos) return false;
    const size_t nameEnd = xml.find_first_of(" \t\r\n/>", open + 1);
    if (nameEnd == std::string::npos) return false;
    const std::string name = xml.substr(open + 1, nameEnd - open - 1);
    size_t end = xml.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return false;
    const std::string closing = "</" + name + ">";
    ++end;
    if (end >= closing.size() && xml.compare(end - closing.size(), closing.size(), closing) == 0) return true;
    // A first element that closes itself and is the whole part.
    return xml.compare(end - 2, 2, "/>") == 0 && xml.find('<', open + 1) == std::string::npos;
}

} // namespace

bool wholeWorkbook(const std::string& zip) {
    constexpr size_t kEnd = 22;  // the end record, without a comment
    if (zip.size() < kEnd) return false;
    const size_t end = zip.size() - kEnd;
    if (le(zip, end, 4) != 0x06054b50) return false;
    const uint32_t entries = le(zip, end + 10, 2), dirSize = le(zip, end + 12, 4), dirAt = le(zip, end + 16, 4);
    if (size_t(dirAt) + dirSize != end) return false;
    size_t at = dirAt;
    for (uint32_t i = 0; i < entries; ++i) {
        if (at + 46 > end || le(zip, at, 4) != 0x02014b50) return false;
        const uint32_t nameLength = le(zip, at + 28, 2);
        const std::string name = zip.substr(at + 46, nameLength);
        const auto part = unpacked(zip, le(zip, at + 42, 4), le(zip, at + 10, 2), le(zip, at + 20, 4), le(zip, at + 24, 4));
        if (!part) return false;
        if ((name.ends_with(".xml") || name.ends_with(".rels")) && !closesFirstElement(*part)) return false;
        at += 46 + nameLength + le(zip, at + 30, 2) + le(zip, at + 32, 2);
    }
    return at == end;
}

} // namespace velmora::reports
