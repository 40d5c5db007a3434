// Full-scale white noise, -1 .. 1, from a seeded 64-bit generator (splitmix64): the same
// samples on every run and platform, for renders that are compared bit for bit and benchmarks.
#pragma once

#include <cstdint>

namespace host {

class WhiteNoise {
public:
    explicit WhiteNoise(std::uint64_t seed) : state_(seed) {}
    double Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1p-52 - 1.0;
    }

private:
    std::uint64_t state_;
};

}  // namespace host
