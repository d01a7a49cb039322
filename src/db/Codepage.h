#pragma once
// Code page 852 (DOS Latin-2) on disk, UTF-8 in memory.
#include <optional>
#include <string>
#include <string_view>

namespace velmora::db::cp852 {

// Every byte has a character, so decoding never fails.
std::string toUtf8(std::string_view cp852);

// Returns nullopt when the text holds a character that code page 852 lacks
// (or is not valid UTF-8); nothing is ever replaced silently.
std::optional<std::string> fromUtf8(std::string_view utf8);

// The first character of the text that code page 852 cannot hold, for
// messages; empty when there is none.
std::string firstUnmappable(std::string_view utf8);

} // namespace velmora::db::cp852
