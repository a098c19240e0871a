#pragma once
// The simulation's random numbers: integer arithmetic only (SplitMix64, no floating-point
// distributions), so that a seed gives the same contest with every compiler and on every
// system.

#include <cstdint>

namespace korvane::judge {

class SimulationRandom {
public:
    explicit SimulationRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<std::uint32_t>(hi - lo + 1))); }
    bool chance(std::uint32_t perMillion) { return below(1000000) < perMillion; }

private:
    std::uint64_t state_;
};

} // namespace korvane::judge
