#pragma once
// Just enough UTF-8 for fixed-width texts and the password store: widths are
// counted in characters, not bytes. A byte that does not start a well-formed
// sequence counts as one character of its own, so no input is ever lost.
#include <cstddef>
#include <string>

namespace velmora::app {

struct Utf8Char {
    char32_t code = 0;   // the code point, or the raw byte when !valid
    size_t length = 0;   // bytes taken from the text
    bool valid = false;
};

// The character starting at byte `pos` (pos < s.size()).
Utf8Char Utf8At(const std::string& s, size_t pos);

size_t Utf8Length(const std::string& s);

// The first n characters of s (all of s when it is shorter).
std::string Utf8Left(const std::string& s, size_t n);

// Code points as UTF-16 code units (two for those beyond U+FFFF); a
// malformed byte becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& s);

} // namespace velmora::app
