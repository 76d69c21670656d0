#pragma once
// The application's one random engine seen as a RandomSource: the main window receives
// the engine from its creator and seeds it once at first show; painting draws its tile
// picks and random altitudes through this view of it, so a test that seeds the engine
// fixes every draw.

#include "shell/RandomSource.h"

#include <random>

namespace tb {

class EngineRandomSource : public RandomSource {
public:
    // `engine` must outlive the source.
    explicit EngineRandomSource(std::mt19937& engine) : m_engine(&engine) {}

    // A uniformly distributed integer in [0, n); 0 for n <= 1.
    int uniform(int n) override;

private:
    std::mt19937* m_engine;
};

} // namespace tb
