#pragma once
// The demo's dice: the same numbers on every platform and compiler, which
// the standard library's distributions do not promise, so the demo
// installation is the same on every run.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::demo {

// splitmix64.
class Dice {
public:
    explicit Dice(uint64_t seed) : state_(seed) {}
    int below(size_t n) { return static_cast<int>(next() % n); }
    int between(int low, int high) { return low + below(static_cast<size_t>(high - low + 1)); }
    // True in `percent` cases of a hundred.
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(below(from.size()))];
    }
    // An element by its `weight` member.
    template <class T>
    const T& pickWeighted(const std::vector<T>& from) {
        int total = 0;
        for (const T& t : from) total += t.weight;
        int at = below(static_cast<size_t>(total));
        for (const T& t : from)
            if ((at -= t.weight) < 0) return t;
        return from.back();
    }

private:
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
};

} // namespace velmora::demo
