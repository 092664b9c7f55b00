// SplitMix64: a small, fast 64-bit pseudo-random stream. The strong embedding
// draws its variable order, registers and partners from it, the null samples
// of a verification their allocations, and an exploration its random keys, so
// that the same seed gives the same choices on every machine.
#pragma once

#include <cstdint>

namespace velnor {

class SplitMix64 {
public:
    explicit SplitMix64(uint64_t seed) : state_(seed) {}

    // The next number of the stream (all arithmetic modulo 2^64).
    uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // The next number reduced to 0 .. count - 1 by remainder; count must be positive.
    uint64_t below(uint64_t count) { return next() % count; }

private:
    uint64_t state_;
};

}  // namespace velnor
