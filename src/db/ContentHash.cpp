// The table stamp hash: the xxHash64 construction (four independent lanes
// over 32-byte stripes, so the loop runs at memory speed), seed 0. Words are
// read in host byte order; a file moved to a machine of the other order only
// gets its index rebuilt once.
#include "db/MdxFile.h"

#include <cstring>

namespace velmora::db {
namespace {

constexpr uint64_t P1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t P2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t P3 = 0x165667B19E3779F9ULL;
constexpr uint64_t P4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t P5 = 0x27D4EB2F165667C5ULL;

uint64_t rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

uint64_t load64(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

uint32_t load32(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint64_t round(uint64_t acc, uint64_t input) { return rotl(acc + input * P2, 31) * P1; }

uint64_t merge(uint64_t h, uint64_t lane) { return (h ^ round(0, lane)) * P1 + P4; }

} // namespace

uint64_t contentHash(const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    uint64_t h;
    if (size >= 32) {
        uint64_t v1 = P1 + P2, v2 = P2, v3 = 0, v4 = 0 - P1;
        for (; end - p >= 32; p += 32) {
            v1 = round(v1, load64(p));
            v2 = round(v2, load64(p + 8));
            v3 = round(v3, load64(p + 16));
            v4 = round(v4, load64(p + 24));
        }
        h = rotl(v1, 1) + rotl(v2, 7) + rotl(v3, 12) + rotl(v4, 18);
        h = merge(merge(merge(merge(h, v1), v2), v3), v4);
    } else {
        h = P5;
    }
    h += size;
    for (; end - p >= 8; p += 8) h = rotl(h ^ round(0, load64(p)), 27) * P1 + P4;
    if (end - p >= 4) {
        h = rotl(h ^ (uint64_t(load32(p)) * P1), 23) * P2 + P3;
        p += 4;
    }
    for (; p < end; ++p) h = rotl(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    h ^= h >> 32;
    return h;
}

} // namespace velmora::db
