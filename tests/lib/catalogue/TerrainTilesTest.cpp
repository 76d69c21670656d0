#include "catalogue/TerrainTiles.h"
#include "shell/SeededRandomSource.h"

#include <gtest/gtest.h>

#include <map>

using namespace tb;

namespace {

// Counts the draws it is asked for.
class CountingRandom : public RandomSource {
public:
    int uniform(int n) override {
        ++draws;
        return n - 1;
    }
    int draws = 0;
};

TerrainSet grassAndSand() {
    TerrainSet set;
    set.addTerrain("Grass", 0x3C8C28);
    set.addTerrain("Sand", 0xD8C890);
    set.setTile({0x03, {0, 0, 0, 0}, 40});
    set.setTile({0x04, {0, 0, 0, 0}, 20});
    set.setTile({0x05, {0, 0, 0, 0}, 0});
    set.setTile({0x16, {1, 1, 1, 1}, 1});
    set.setTile({0x33, {0, 0, 0, 1}, 1});
    return set;
}

} // namespace

TEST(TerrainTiles, PicksByChanceOverManySeededDraws) {
    const TerrainTiles tiles(grassAndSand());
    SeededRandomSource random(99);
    std::map<std::uint16_t, int> picked;
    const PackedCorners grass = packCorners({0, 0, 0, 0});
    constexpr int kDraws = 30000;
    for (int i = 0; i < kDraws; ++i)
        ++picked[*tiles.pickTile(grass, random)];
    // 40 : 20 : 0; a deviation of 4% of the draws is far beyond chance (over 10 sigma).
    EXPECT_NEAR(picked[0x03], kDraws * 2 / 3, kDraws / 25);
    EXPECT_NEAR(picked[0x04], kDraws / 3, kDraws / 25);
    EXPECT_EQ(picked.count(0x05), 0u);
    // A tile of chance 0 is still known by its corners.
    EXPECT_EQ(tiles.corners(0x05), grass);
    EXPECT_FALSE(tiles.knows(0x06));
    EXPECT_EQ(tiles.corners(0xFFFF), kUnknownCorners);
}

TEST(TerrainTiles, OneTileDrawsNothingAndMissingCornersGiveNone) {
    const TerrainTiles tiles(grassAndSand());
    CountingRandom random;
    EXPECT_EQ(tiles.pickTile(packCorners({1, 1, 1, 1}), random), 0x16);
    EXPECT_EQ(random.draws, 0);
    EXPECT_EQ(tiles.pickTile(packCorners({0, 0, 0, 0}), random), 0x04); // the last of 60
    EXPECT_EQ(random.draws, 1);
    EXPECT_EQ(tiles.pickTile(packCorners({0, 0, 1, 1}), random), std::nullopt);
    EXPECT_EQ(tiles.fillTile(0), 0x03);
    EXPECT_EQ(tiles.fillTile(1), 0x16);
    EXPECT_EQ(tiles.fillTile(2), std::nullopt);
    const std::vector<TerrainCorners> missing = tiles.missingTransitions(1, 0);
    EXPECT_EQ(missing.size(), 13u);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), TerrainCorners{0, 0, 0, 1}), 0);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), TerrainCorners{1, 1, 0, 1}), 1);
}
