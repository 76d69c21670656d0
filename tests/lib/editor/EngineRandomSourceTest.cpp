#include "editor/EngineRandomSource.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::vector<int> draws(tb::RandomSource& source, int n, int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(source.uniform(n));
    return out;
}

} // namespace

TEST(EngineRandomSource, DrawsFromTheSharedEngineAndFollowsItsSeed) {
    std::mt19937 engine(7);
    tb::EngineRandomSource source(engine);
    tbtest::SeededRandom reference(7);
    const std::vector<int> first = draws(source, 21, 50);
    // The same seed gives the same draws as a plain uniform draw on the same engine.
    EXPECT_EQ(first, draws(reference, 21, 50));
    // Seeding the engine the source refers to restarts the sequence.
    engine.seed(7);
    EXPECT_EQ(first, draws(source, 21, 50));
    engine.seed(8);
    EXPECT_NE(first, draws(source, 21, 50));
}

TEST(EngineRandomSource, StaysInRangeAndReachesEveryValue) {
    std::mt19937 engine(1);
    tb::EngineRandomSource source(engine);
    std::set<int> seen;
    for (int value : draws(source, 3, 300)) {
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 3);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(source.uniform(1), 0);
    EXPECT_EQ(source.uniform(0), 0);
    EXPECT_EQ(source.uniform(-4), 0);
}
