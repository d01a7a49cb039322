#include "db/Codepage.h"

#include <array>
#include <cstdint>
#include <unordered_map>

namespace velmora::db::cp852 {
namespace {

// Unicode code points of bytes 0x80..0xFF in code page 852. Bytes below 0x80
// are ASCII.
constexpr std::array<uint16_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

const std::unordered_map<uint32_t, char>& reverseMap() {
    static const std::unordered_map<uint32_t, char> map = [] {
        std::unordered_map<uint32_t, char> m;
        for (int i = 0; i < 128; ++i) m.emplace(kHigh[i], static_cast<char>(0x80 + i));
        return m;
    }();
    return map;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns UINT32_MAX for
// malformed input.
uint32_t nextCodePoint(std::string_view text, size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int extra = 0;
    uint32_t cp = 0;
    if (b0 < 0x80) { ++i; return b0; }
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; }
    else { ++i; return UINT32_MAX; }
    if (i + extra >= text.size()) { i = text.size(); return UINT32_MAX; }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) { i += k; return UINT32_MAX; }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return cp;
}

} // namespace

size_t toUtf8(std::string_view bytes, char* out) {
    char* at = out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const uint32_t cp = b < 0x80 ? b : kHigh[b - 0x80];
        if (cp < 0x80) {
            *at++ = c;
        } else if (cp < 0x800) {
            *at++ = static_cast<char>(0xC0 | (cp >> 6));
            *at++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *at++ = static_cast<char>(0xE0 | (cp >> 12));
            *at++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *at++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return static_cast<size_t>(at - out);
}

std::string toUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    std::string out(bytes.size() * 3, '\0');
    out.resize(toUtf8(bytes, out.data()));
    return out;
}

bool isAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::optional<std::string> fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) { out += utf8[i++]; continue; }
        const uint32_t cp = nextCodePoint(utf8, i);
        const auto& map = reverseMap();
        auto it = map.find(cp);
        if (it == map.end()) return std::nullopt;
        out += it->second;
    }
    return out;
}

std::string firstUnmappable(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size();) {
        const size_t start = i;
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) { ++i; continue; }
        const uint32_t cp = nextCodePoint(utf8, i);
        if (cp == UINT32_MAX || !reverseMap().count(cp)) return std::string(utf8.substr(start, i - start));
    }
    return {};
}

} // namespace velmora::db::cp852
