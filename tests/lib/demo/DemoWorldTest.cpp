#include "demo/DemoWorld.h"
#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoTerrainArt.h"
#include "editor/TerrainEdits.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace tb::demo;

namespace {

// Tokuno, 1448 x 1448: the smallest known map, so the world tests stay quick.
tb::MapVariant smallVariant() {
    return demoVariant("map4.mul", {1448, 1448});
}

struct SmallWorld {
    std::vector<unsigned char> bytes;
    DemoWorldStats stats;
};

const SmallWorld& world() {
    static const SmallWorld w = [] {
        SmallWorld s;
        s.bytes = generateDemoMap(smallVariant(), 7, &s.stats);
        return s;
    }();
    return w;
}

// The terrain each id shows; a transition counts as the terrain at its top-left corner,
// which is the cell's own.
std::map<std::uint16_t, Terrain> terrainOfIds() {
    std::map<std::uint16_t, Terrain> m;
    for (const TileFamily& f : tileFamilies())
        for (std::uint16_t id : f.ids)
            m[id] = f.terrain;
    for (const DemoTransition& t : demoTransitions())
        m[t.id] = t.cornerTerrain(0);
    return m;
}

} // namespace

TEST(DemoVariant, DefaultIsTheExactFeluccaTrammelFile) {
    const tb::MapVariant v = defaultDemoVariant();
    EXPECT_EQ(v.fileName, "map0.mul");
    EXPECT_EQ(v.fileSize, 77'070'336);
    EXPECT_EQ(v.caption, "Felucca+Trammel");
    EXPECT_EQ(v.width, 6144);
    EXPECT_EQ(v.height, 4096);
    EXPECT_THROW(demoVariant("map4.mul", {6144, 4096}), std::invalid_argument);
}

TEST(DemoWorld, CellsUseFamilyIdsAndTheStatsCountThem) {
    const tb::MapVariant v = smallVariant();
    ASSERT_EQ(world().bytes.size(), std::size_t(v.fileSize));
    const tb::MapImage image(world().bytes, v);
    const auto terrainOf = terrainOfIds();
    std::array<std::int64_t, kTerrainCount> counted{};
    int minAltitude = 127, maxAltitude = -128;
    for (int x = 0; x < v.width; ++x) {
        for (int y = 0; y < v.height; ++y) {
            const tb::MapCell c = image.cellUnchecked(x, y);
            const auto it = terrainOf.find(c.tileId);
            ASSERT_NE(it, terrainOf.end()) << "cell " << x << "," << y << " id " << c.tileId;
            ++counted[std::size_t(it->second)];
            minAltitude = std::min(minAltitude, int(c.altitude));
            maxAltitude = std::max(maxAltitude, int(c.altitude));
        }
    }
    EXPECT_EQ(counted, world().stats.cells);
    EXPECT_EQ(minAltitude, world().stats.minAltitude);
    EXPECT_EQ(maxAltitude, world().stats.maxAltitude);
    // Block headers stay zero.
    for (std::int64_t block = 0; block < v.addressedSize() / tb::kBlockSize; ++block)
        for (int i = 0; i < tb::kBlockHeaderSize; ++i)
            ASSERT_EQ(world().bytes[std::size_t(block * tb::kBlockSize + i)], 0) << block;
}

TEST(DemoWorld, HasSeaLandMountainsAndRivers) {
    const auto& cells = world().stats.cells;
    const double total = 1448.0 * 1448.0;
    auto share = [&](Terrain t) { return double(cells[std::size_t(t)]) / total; };
    EXPECT_GT(share(Terrain::Water) + share(Terrain::DeepWater), 0.25);
    EXPECT_LT(share(Terrain::Water) + share(Terrain::DeepWater), 0.55);
    for (Terrain t : {Terrain::Sand, Terrain::Grass, Terrain::Forest, Terrain::Dirt, Terrain::Rock,
                      Terrain::Snow, Terrain::DeepWater})
        EXPECT_GT(share(t), 0.005) << tileFamily(t).name;
    EXPECT_GT(world().stats.riverCells, 100);
    EXPECT_EQ(world().stats.minAltitude, -5);
    EXPECT_GT(world().stats.maxAltitude, 90);
}

TEST(DemoWorld, AltitudesFollowTheTerrain) {
    const tb::MapVariant v = smallVariant();
    const tb::MapImage image(world().bytes, v);
    const auto terrainOf = terrainOfIds();
    std::array<int, kTerrainCount> lowest, highest;
    lowest.fill(127);
    highest.fill(-128);
    for (int x = 0; x < v.width; x += 3) {
        for (int y = 0; y < v.height; y += 3) {
            const tb::MapCell c = image.cellUnchecked(x, y);
            const auto t = std::size_t(terrainOf.at(c.tileId));
            lowest[t] = std::min(lowest[t], int(c.altitude));
            highest[t] = std::max(highest[t], int(c.altitude));
        }
    }
    auto at = [](const std::array<int, kTerrainCount>& a, Terrain t) { return a[std::size_t(t)]; };
    EXPECT_EQ(at(highest, Terrain::DeepWater), -5);
    EXPECT_EQ(at(lowest, Terrain::DeepWater), -5);
    EXPECT_GE(at(lowest, Terrain::Sand), 0);
    EXPECT_LE(at(highest, Terrain::Grass), 12);
    // Mountains climb from the lowland to snow-capped peaks.
    EXPECT_LE(at(lowest, Terrain::Rock), 16);
    EXPECT_GT(at(highest, Terrain::Snow) - at(lowest, Terrain::Rock), 70);
    EXPECT_GT(at(lowest, Terrain::Snow), at(highest, Terrain::Grass));
}

TEST(DemoWorld, JoinsGrassToSandAndSandToWaterWithTransitionsThatFit) {
    const tb::MapVariant v = smallVariant();
    const tb::MapImage image(world().bytes, v);
    const tb::TerrainTiles tiles(demoTerrainSet());
    std::int64_t transitions = 0;
    for (int x = 0; x < v.width; ++x)
        for (int y = 0; y < v.height; ++y)
            transitions += demoTransition(image.cellUnchecked(x, y).tileId) != nullptr;
    EXPECT_GT(transitions, 5000);
    // Cells whose tile does not fit are few, and each lies where a terrain the file does not
    // know (forest, dirt, rock, snow, deep water) joins in: no transition exists there.
    const std::vector<tb::CellPoint> unfit = tb::checkTerrain(image, tiles, tb::wholeMap(image));
    EXPECT_LT(std::int64_t(unfit.size()), transitions / 10);
    for (const tb::CellPoint& c : unfit) {
        bool otherTerrainNear = false;
        for (int y = std::max(c.y - 2, 0); y <= std::min(c.y + 2, v.height - 1); ++y)
            for (int x = std::max(c.x - 2, 0); x <= std::min(c.x + 2, v.width - 1); ++x)
                otherTerrainNear =
                    otherTerrainNear || !tiles.knows(image.cellUnchecked(x, y).tileId);
        ASSERT_TRUE(otherTerrainNear) << c.x << "," << c.y;
    }
}

TEST(DemoWorld, EdgesAreSea) {
    const tb::MapVariant v = smallVariant();
    const tb::MapImage image(world().bytes, v);
    const auto terrainOf = terrainOfIds();
    auto isWater = [&](int x, int y) {
        const Terrain t = terrainOf.at(image.cellUnchecked(x, y).tileId);
        return t == Terrain::Water || t == Terrain::DeepWater;
    };
    for (int i = 0; i < v.width; ++i) {
        EXPECT_TRUE(isWater(i, 0)) << i;
        EXPECT_TRUE(isWater(i, v.height - 1)) << i;
        EXPECT_TRUE(isWater(0, i)) << i;
        EXPECT_TRUE(isWater(v.width - 1, i)) << i;
    }
}

TEST(DemoWorld, SameSeedSameBytesOtherSeedOtherWorld) {
    EXPECT_EQ(generateDemoMap(smallVariant(), 7), world().bytes);
    const std::vector<unsigned char> other = generateDemoMap(smallVariant(), 8);
    ASSERT_EQ(other.size(), world().bytes.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < other.size(); i += 3)
        differing += other[i] != world().bytes[i];
    EXPECT_GT(differing, other.size() / 3 / 4) << "another seed should give another world";
}

TEST(DemoWorld, TailBeyondTheBlocksStaysZero) {
    // The Felucca+Trammel file with a tail: 38,591 bytes after the last block.
    const tb::MapVariant tailed = *tb::identifyMapVariant("map0.mul", 77'108'927);
    const std::vector<unsigned char> bytes = generateDemoMap(tailed, 1);
    ASSERT_EQ(bytes.size(), 77'108'927u);
    EXPECT_TRUE(std::all_of(bytes.begin() + tailed.addressedSize(), bytes.end(),
                            [](unsigned char b) { return b == 0; }));
}

TEST(DemoDataSet, WritesMapAndGameFilesThatLoad) {
    tbtest::TempDir dir;
    const DemoReport report = writeDemoDataSet(dir / "nested" / "demo", {7, smallVariant()});
    const auto root = dir / "nested" / "demo";
    ASSERT_EQ(report.files.size(), 13u); // the map, its pair, seven game files, the terrains,
                                         // two pictures
    for (const WrittenFile& f : report.files)
        EXPECT_EQ(std::filesystem::file_size(f.path), f.size) << f.path;
    const tb::MapImage map = tb::MapImage::load(root / "map4.mul");
    ASSERT_TRUE(map.hasGeometry());
    EXPECT_EQ(map.variant()->caption, "Tokuno");
    EXPECT_EQ(map.bytes(), world().bytes);

    tb::ArtFiles art;
    art.load(root / "game");
    tb::Image15 image;
    EXPECT_TRUE(tb::makeLandTileImage(art, map.cell(700, 700).tileId, image));
    tb::RadarColours radar;
    radar.read(root / "game" / "radarcol.mul");
    EXPECT_NE(radar.colour(map.cell(700, 700).tileId), 0);

    // Writing again over the same folder replaces the files.
    EXPECT_NO_THROW(writeDemoDataSet(root, {7, smallVariant()}));
}

TEST(DemoDataSet, AFileInTheWayIsAFileError) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "taken", {1, 2, 3});
    EXPECT_THROW(writeDemoDataSet(dir / "taken", {1, smallVariant()}), tb::FileError);
    tbtest::writeBytes(dir / "game", {1});
    EXPECT_THROW(writeDemoDataSet(dir.path(), {1, smallVariant()}), tb::FileError);
}
