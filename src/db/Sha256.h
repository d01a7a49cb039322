#pragma once
// SHA-256 (FIPS 180-4), for the history's chain of row hashes: a change
// anywhere in a row, or a row removed or put between two others, breaks
// every hash after it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::db {

std::array<uint8_t, 32> sha256(std::string_view data);

// The digest as 64 lower-case hexadecimal digits.
std::string sha256Hex(std::string_view data);

} // namespace velmora::db
