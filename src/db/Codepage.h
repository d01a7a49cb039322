#pragma once
// Code page 852 (DOS Latin-2) on disk, UTF-8 in memory.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::db::cp852 {

// Every byte has a character, so decoding never fails.
std::string toUtf8(std::string_view cp852);
// The same into out, which has room for three bytes per input byte;
// returns the number of bytes written.
size_t toUtf8(std::string_view cp852, char* out);
// Bytes below 0x80 read the same in code page 852 and UTF-8.
bool isAscii(std::string_view bytes);

// Returns nullopt when the text holds a character that code page 852 lacks
// (or is not valid UTF-8); nothing is ever replaced silently.
std::optional<std::string> fromUtf8(std::string_view utf8);

// The first character of the text that code page 852 cannot hold, for
// messages; empty when there is none.
std::string firstUnmappable(std::string_view utf8);

} // namespace velmora::db::cp852
