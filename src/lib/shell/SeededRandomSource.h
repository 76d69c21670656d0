#pragma once
// A random source started from a seed whose draws are the same on every platform, for
// results that must repeat byte for byte (tbmap's --seed, generated worlds). The engine is
// std::mt19937, whose output the standard fixes; the range is cut by rejection here, as the
// standard library's distributions give different numbers from one library to another.

#include "shell/RandomSource.h"

#include <cstdint>
#include <random>

namespace tb {

class SeededRandomSource : public RandomSource {
public:
    explicit SeededRandomSource(std::uint32_t seed) : m_engine(seed) {}

    // A uniformly distributed integer in [0, n); 0 without a draw for n <= 1.
    int uniform(int n) override;

private:
    std::mt19937 m_engine;
    // The rejection limit of the last range asked for: callers ask for the same range over
    // and over (a generated world draws for every cell), and its 64-bit division costs more
    // than the draw.
    std::uint32_t m_range = 0;
    std::uint32_t m_limit = 0;
};

} // namespace tb
