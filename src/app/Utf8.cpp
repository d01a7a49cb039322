#include "app/Utf8.h"

namespace velmora::app {

Utf8Char Utf8At(const std::string& s, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    Utf8Char raw{lead, 1, false};
    if (lead < 0x80) return {lead, 1, true};

    size_t extra;
    char32_t code;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) { extra = 1; code = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; code = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; code = lead & 0x07; minimum = 0x10000; }
    else return raw;

    if (pos + extra >= s.size()) return raw;  // cut short at the end
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) return raw;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return raw;
    return {code, extra + 1, true};
}

size_t Utf8Length(const std::string& s) {
    size_t count = 0;
    for (size_t pos = 0; pos < s.size(); pos += Utf8At(s, pos).length) ++count;
    return count;
}

std::string Utf8Left(const std::string& s, size_t n) {
    size_t pos = 0;
    for (size_t taken = 0; taken < n && pos < s.size(); ++taken) pos += Utf8At(s, pos).length;
    return s.substr(0, pos);
}

std::u16string Utf8ToUtf16(const std::string& s) {
    std::u16string out;
    for (size_t pos = 0; pos < s.size();) {
        const Utf8Char c = Utf8At(s, pos);
        pos += c.length;
        const char32_t code = c.valid ? c.code : 0xFFFD;
        if (code < 0x10000) {
            out.push_back(static_cast<char16_t>(code));
        } else {
            const char32_t v = code - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        }
    }
    return out;
}

} // namespace velmora::app
