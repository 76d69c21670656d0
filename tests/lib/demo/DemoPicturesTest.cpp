// The demo's pictures of a new world: the terrain file's colours only, a beach between grass
// and water everywhere, level water.
#include "demo/DemoPictures.h"

#include "demo/DemoTerrainArt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace tb::demo;

TEST(DemoPictures, PaintTheTerrainsWithABeachBetweenGrassAndWater) {
    const DemoPictures pictures = drawDemoPictures(1);
    ASSERT_EQ(pictures.width, 1448);
    ASSERT_EQ(pictures.height, 1448);
    const tb::TerrainSet set = demoTerrainSet();
    std::map<std::uint32_t, std::string> names;
    for (const tb::Terrain& t : set.terrains)
        names[t.colour] = t.name;
    std::map<std::string, std::int64_t> counts;
    const int w = pictures.width, h = pictures.height;
    const auto nameAt = [&](int x, int y) -> const std::string& {
        return names[pictures.terrain[std::size_t(y) * std::size_t(w) + std::size_t(x)]];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::string& name = nameAt(x, y);
            ASSERT_FALSE(name.empty()) << "a colour of no terrain at " << x << ", " << y;
            ++counts[name];
            const std::uint8_t grey = pictures.altitude[std::size_t(y) * std::size_t(w) + x];
            if (name == "Water") {
                ASSERT_EQ(grey, 123) << x << ", " << y;
                continue;
            }
            ASSERT_GE(grey, 128) << "land below the sea at " << x << ", " << y;
            if (name != "Grass")
                continue;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx)
                    ASSERT_NE(nameAt(nx, ny), "Water")
                        << "grass beside water at " << x << ", " << y;
        }
    // An island: sea all round, mostly grass, a beach.
    EXPECT_EQ(nameAt(0, 0), "Water");
    EXPECT_EQ(nameAt(w / 2, h / 2), "Grass");
    EXPECT_GT(counts["Sand"], 10000);
    EXPECT_GT(counts["Grass"], counts["Sand"] * 5);

    const DemoPictures again = drawDemoPictures(1);
    EXPECT_EQ(again.terrain, pictures.terrain);
    EXPECT_EQ(again.altitude, pictures.altitude);
    EXPECT_NE(drawDemoPictures(2).terrain, pictures.terrain);
}
