#include "catalogue/TileGroup.h"
#include "shell/Errors.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tb;

namespace {

// Hands out scripted indexes, so a test decides which id is picked.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {}
    int uniform(int n) override {
        lastRange = n;
        return m_values.at(m_next++);
    }
    int lastRange = -1;

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

} // namespace

TEST(TileGroup, RandomTileIdReadsThePickedId) {
    const TileGroup group = tileGroup({"Mixed", {"$0003", "17", "$FFFF", "-2", "$10000"}});
    ScriptedRandom random({0, 1, 2, 3, 4});
    EXPECT_EQ(randomTileId(group, random), 3);
    EXPECT_EQ(random.lastRange, 5);
    EXPECT_EQ(randomTileId(group, random), 17);
    EXPECT_EQ(randomTileId(group, random), 0xFFFF);
    // Ids a cell cannot hold fail when they are picked, not when the group is read.
    EXPECT_THROW(randomTileId(group, random), RangeError);
    EXPECT_THROW(randomTileId(group, random), RangeError);
}

TEST(TileGroup, RandomTileIdFailures) {
    tbtest::SeededRandom random(1);
    try {
        randomTileId(TileGroup{"Empty", {}}, random);
        ADD_FAILURE() << "picked from an empty group";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    try {
        randomTileId(tileGroup({"Bad", {"grass"}}), random);
        ADD_FAILURE() << "accepted a non-integer id";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'grass' is not a valid integer value");
    }
    // A source that misbehaves is caught, not followed outside the list.
    ScriptedRandom broken({5});
    try {
        randomTileId(tileGroup({"Two", {"1", "2"}}), broken);
        ADD_FAILURE() << "used index 5";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
}

TEST(TileGroup, RandomTileIdFollowsHowOftenAnIdIsListed) {
    const TileGroup group = tileGroup({"Sand", {"$0003", "$0003", "$0004", "$0003"}});
    tbtest::SeededRandom random(20261208);
    std::map<int, int> counts;
    const int draws = 40000;
    for (int i = 0; i < draws; ++i)
        ++counts[randomTileId(group, random)];
    ASSERT_EQ(counts.size(), 2u);
    // Expected 30000 : 10000; the bounds are many standard deviations (about 87) wide.
    EXPECT_NEAR(counts[3], 30000, 1000);
    EXPECT_NEAR(counts[4], 10000, 1000);
}
