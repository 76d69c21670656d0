// The demo's terrains: the transition tiles, their pictures and the terrain file.
#include "demo/DemoTerrainArt.h"

#include "catalogue/TerrainFile.h"
#include "catalogue/TerrainTiles.h"
#include "core/ArtFiles.h"
#include "core/RadarColours.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

using namespace tb::demo;

TEST(DemoTerrainFile, HasEveryPatternOfItsTwoPairsAndIsTheOneBesideThePrograms) {
    const tb::TerrainSet set = demoTerrainSet();
    ASSERT_EQ(set.terrains.size(), 3u);
    const tb::TerrainId grass = *set.findTerrain("Grass"), sand = *set.findTerrain("Sand"),
                        water = *set.findTerrain("Water");
    const tb::TerrainTiles tiles(set);
    EXPECT_TRUE(tiles.missingTransitions(grass, sand).empty());
    EXPECT_TRUE(tiles.missingTransitions(sand, water).empty());
    EXPECT_EQ(tiles.missingTransitions(grass, water).size(), 14u); // a beach lies between
    EXPECT_EQ(tiles.corners(0x0033), tb::packCorners({grass, grass, grass, sand}));
    EXPECT_EQ(tiles.corners(0x0041), tb::packCorners({sand, sand, sand, water}));
    EXPECT_EQ(tiles.fillTile(water), 0x00A8);

    tbtest::TempDir dir;
    tb::writeTerrainFile(dir / "demo.xml", set);
    EXPECT_EQ(tbtest::readText(dir / "demo.xml"),
              tbtest::readText(tbtest::sourceDir() / "data" / "terrains" / "demo.xml"))
        << "data/terrains/demo.xml is not what demoTerrainSet() writes";
}

TEST(DemoTerrainArt, PicturesShowEachCornersTerrainAndJoinTheirNeighbours) {
    const DemoArtFiles demo = generateDemoArt();
    tb::ArtFiles art;
    art.artIndex = demo.artIndex;
    art.artData = demo.artData;
    tb::Image15 image;
    const std::span<const DemoTransition> all = demoTransitions();
    ASSERT_EQ(all.size(), 28u);
    const int cornerX[4] = {3, 41, 3, 41};
    const int cornerY[4] = {3, 3, 41, 41};
    for (const DemoTransition& t : all) {
        ASSERT_TRUE(tb::makeLandTileImage(art, t.id, image)) << t.id;
        for (int i = 0; i < 4; ++i) {
            const Terrain expected = t.cornerTerrain(i);
            EXPECT_EQ(transitionPixel(t, cornerX[i], cornerY[i]).terrain, expected);
            // The decoded picture near the corner has that terrain's colour.
            const TileFamily& f = tileFamily(expected);
            double red = 0, green = 0, blue = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const tb::Rgb c = tb::rgb555ToColor(image.at(cornerX[i] + dx, cornerY[i] + dy));
                    red += c.red / 25.0, green += c.green / 25.0, blue += c.blue / 25.0;
                }
            EXPECT_NEAR(red, f.red, 40) << t.id << " corner " << i;
            EXPECT_NEAR(green, f.green, 40) << t.id << " corner " << i;
            EXPECT_NEAR(blue, f.blue, 40) << t.id << " corner " << i;
        }
    }
    // Two tiles that share an edge's corners show the same terrain all along it.
    int edgesCompared = 0;
    for (const DemoTransition& a : all) {
        for (const DemoTransition& b : all) {
            const bool leftOf = a.cornerTerrain(1) == b.cornerTerrain(0) &&
                                a.cornerTerrain(3) == b.cornerTerrain(2);
            const bool above = a.cornerTerrain(2) == b.cornerTerrain(0) &&
                               a.cornerTerrain(3) == b.cornerTerrain(1);
            edgesCompared += leftOf + above;
            for (int p = 0; p <= 44; ++p) {
                if (leftOf) {
                    ASSERT_EQ(transitionPixel(a, 44, p).terrain, transitionPixel(b, 0, p).terrain)
                        << a.id << " left of " << b.id << " at " << p;
                }
                if (above) {
                    ASSERT_EQ(transitionPixel(a, p, 44).terrain, transitionPixel(b, p, 0).terrain)
                        << a.id << " above " << b.id << " at " << p;
                }
            }
        }
    }
    EXPECT_GT(edgesCompared, 100);
}
