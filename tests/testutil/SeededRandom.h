#pragma once
// A random source with a seed of its own, so that a test's draws repeat from run to run.

#include "shell/RandomSource.h"

#include <cstdint>
#include <random>

namespace tbtest {

class SeededRandom : public tb::RandomSource {
public:
    explicit SeededRandom(std::uint32_t seed) : m_engine(seed) {}
    int uniform(int n) override {
        return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

} // namespace tbtest
