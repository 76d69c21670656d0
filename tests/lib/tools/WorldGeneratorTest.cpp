// A new world from a terrain picture and an altitude picture: the corners from the pixels,
// the altitude rules, the scattered items, the same bytes for the same seed, and the
// pictures refused with nothing written.
#include "tools/WorldGenerator.h"

#include "catalogue/TerrainTiles.h"
#include "core/MapImage.h"
#include "core/StaticItems.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"

#include "RecordedProgress.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 1448; // map4.mul, the smallest map
constexpr std::uint32_t kGrass = 0x00C000, kSand = 0xC0C000, kWater = 0x0000C0;

// Grass (two fill tiles, chance 3 and 1, jitter 2), sand (one fill tile, no rule) and water
// (fixed at -5), with every transition between grass and sand but none with water. Trees
// stand on 3% of the grass, $0CCA twice as often as $0CCB.
tb::TerrainSet terrainSet() {
    tb::TerrainSet set;
    const tb::TerrainId grass = set.addTerrain("Grass", kGrass);
    const tb::TerrainId sand = set.addTerrain("Sand", kSand);
    const tb::TerrainId water = set.addTerrain("Water", kWater);
    set.terrains[grass].jitter = 2;
    set.terrains[water].altitude = -5;
    set.setTile({0x0003, {grass, grass, grass, grass}, 3});
    set.setTile({0x0004, {grass, grass, grass, grass}, 1});
    set.setTile({0x0016, {sand, sand, sand, sand}, 1});
    set.setTile({0x00A8, {water, water, water, water}, 1});
    for (int bits = 1; bits <= 14; ++bits) {
        tb::TerrainCorners corners{};
        for (int i = 0; i < 4; ++i)
            corners[std::size_t(i)] = (bits >> i) & 1 ? sand : grass;
        set.setTile({std::uint16_t(0x0032 + bits), corners, 1});
    }
    set.scatters.push_back({grass, 3, {{0x0CCA, 2}, {0x0CCB, 1}}});
    return set;
}

class Picture : public tb::ColourRows {
public:
    Picture(int width, int height, std::uint32_t colour)
        : m_width(width), m_height(height), m_pixels(std::size_t(width) * height, colour) {}
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    void readRow(int y, std::uint32_t* rgb) override {
        std::copy_n(m_pixels.begin() + std::ptrdiff_t(y) * m_width, m_width, rgb);
    }
    void set(int x, int y, std::uint32_t colour) {
        m_pixels[std::size_t(y) * m_width + std::size_t(x)] = colour;
    }
    // Columns x0..x1-1 of rows y0..y1-1.
    void fill(int x0, int y0, int x1, int y1, std::uint32_t colour) {
        for (int y = y0; y < y1; ++y)
            std::fill_n(m_pixels.begin() + std::ptrdiff_t(y) * m_width + x0, x1 - x0, colour);
    }

private:
    int m_width, m_height;
    std::vector<std::uint32_t> m_pixels;
};

class Heights : public tb::GreyRows {
public:
    // Grey of pixel (x, y): altitude (x + 2y) % 200 - 100.
    Heights(int width, int height) : m_width(width), m_height(height) {}
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    void readRow(int y, std::uint8_t* grey) override {
        for (int x = 0; x < m_width; ++x)
            grey[x] = std::uint8_t(altitude(x, y) + 128);
    }
    static int altitude(int x, int y) { return (x + 2 * y) % 200 - 100; }

private:
    int m_width, m_height;
};

struct World {
    tbtest::TempDir dir;
    fs::path map = dir / "map4.mul";
    tb::TerrainSet set = terrainSet();
    tb::GenerateSources sources{"terrain.png", "altitude.png", "demo.xml"};

    tb::GenerateReport generate(Picture& terrain, const tb::GenerateOptions& options,
                                tb::Progress& progress = tb::noProgress()) {
        Heights heights(terrain.width(), terrain.height());
        return tb::generateWorld(terrain, heights, set, sources, map, options, progress);
    }
    tb::MapImage image() const { return tb::MapImage::load(map); }
};

} // namespace

// The last row and column repeat; a cell without a matching tile gets the fill tile of its
// top-left terrain.
TEST(WorldGenerator, CornersTakeThePixelsAndCellsWithoutATileGetAFillTile) {
    World run;
    Picture picture(kSide, kSide, kGrass);
    picture.set(kSide - 1, 5, kSand);         // on the last column
    picture.set(10, kSide - 1, kSand);        // on the last row
    picture.set(kSide - 1, kSide - 1, kSand); // in the last corner
    picture.fill(100, 50, 103, 53, kWater);   // no transition between grass and water
    tb::GenerateReport report = run.generate(picture, {});
    EXPECT_EQ(report.variant.caption, "Tokuno");
    EXPECT_EQ(report.missingCount, 12); // the ring of cells around the 2 x 2 water cells
    ASSERT_EQ(report.missing.size(), 12u);
    EXPECT_EQ(report.missing.front(), (tb::CellPoint{99, 49}));
    EXPECT_EQ(report.missing[4], (tb::CellPoint{99, 50}));
    EXPECT_EQ(report.missing.back(), (tb::CellPoint{102, 52}));

    const tb::MapImage map = run.image();
    const tb::TerrainTiles tiles(run.set);
    const tb::TerrainId g = 0, s = 1;
    const auto cornersOf = [&](int x, int y) {
        return tb::unpackCorners(tiles.corners(map.cell(x, y).tileId));
    };
    const int e = kSide - 1;
    const struct {
        int x, y;
        tb::TerrainCorners corners;
    } expected[] = {
        {e - 1, 4, {g, g, g, s}}, {e, 4, {g, g, s, s}},     {e - 1, 5, {g, s, g, g}},
        {e, 5, {s, s, g, g}},     {9, e - 1, {g, g, g, s}}, {10, e - 1, {g, g, s, g}},
        {9, e, {g, s, g, s}},     {10, e, {s, g, s, g}},    {e - 1, e - 1, {g, g, g, s}},
        {e, e - 1, {g, g, s, s}}, {e - 1, e, {g, s, g, s}}, {e, e, {s, s, s, s}},
        {0, 0, {g, g, g, g}},     {e, 0, {g, g, g, g}},     {0, e, {g, g, g, g}},
    };
    for (const auto& cell : expected)
        EXPECT_EQ(cornersOf(cell.x, cell.y), cell.corners) << cell.x << ", " << cell.y;
    EXPECT_EQ(map.cell(99, 49).tileId, 0x0003); // grass: its fill tile of the highest chance
    EXPECT_EQ(map.cell(102, 52).tileId, 0x00A8);
    EXPECT_EQ(map.cell(100, 50).tileId, 0x00A8); // water all round

    // A long shore lists its first cells only, and counts them all.
    picture.fill(700, 0, 701, kSide, kWater);
    report = run.generate(picture, {});
    EXPECT_EQ(report.missing.size(), tb::kListedMissingCells);
    EXPECT_EQ(report.missingCount, 12 + 2 * kSide);
}

TEST(WorldGenerator, AltitudesFollowThePictureUnlessTheTerrainFixesOrJittersThem) {
    World run;
    Picture picture(kSide, kSide, kGrass);
    picture.fill(0, 0, 300, 300, kWater);
    picture.fill(600, 0, 900, 300, kSand);
    run.generate(picture, {});
    const tb::MapImage map = run.image();
    std::set<int> offsets;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            ASSERT_EQ(map.cell(x, y).altitude, -5) << x << ", " << y;
            ASSERT_EQ(map.cell(x + 600, y).altitude, Heights::altitude(x + 600, y));
            const int offset = map.cell(x + 1000, y).altitude - Heights::altitude(x + 1000, y);
            ASSERT_LE(std::abs(offset), 2) << x + 1000 << ", " << y;
            offsets.insert(offset);
        }
    EXPECT_EQ(offsets, (std::set<int>{-2, -1, 0, 1, 2}));
}

TEST(WorldGenerator, ItemsStandOnTheirShareOfTheFillCellsChosenByWeight) {
    World run;
    Picture picture(kSide, kSide, kGrass);
    picture.fill(0, 0, 400, kSide, kSand); // a terrain without a rule
    const tb::GenerateReport report = run.generate(picture, {42, true});
    const tb::MapImage map = run.image();
    ASSERT_EQ(report.statics.index, run.dir / "staidx4.mul");
    const tb::StaticsLoad load = tb::loadStatics(report.statics, *map.variant());
    ASSERT_TRUE(load.warning.empty()) << load.warning;
    const std::vector<tb::PlacedItem> items =
        tb::itemsInRect(load.statics, 0, 0, kSide - 1, kSide - 1);
    ASSERT_EQ(std::int64_t(items.size()), report.items);

    // The grass fill cells are x 400..1447 (x 399 has sand on its left corners).
    const double fillCells = double(kSide - 400) * kSide;
    const double expected = fillCells * 0.03;
    const double spread = std::sqrt(fillCells * 0.03 * 0.97);
    EXPECT_NEAR(double(items.size()), expected, 5 * spread);
    std::map<std::uint16_t, int> byId;
    for (const tb::PlacedItem& item : items) {
        ASSERT_GE(item.x, 400) << "an item off the grass fill cells";
        ASSERT_EQ(item.z, map.cell(item.x, item.y).altitude);
        ++byId[item.id];
    }
    ASSERT_EQ(byId.size(), 2u);
    EXPECT_NEAR(double(byId[0x0CCA]) / double(items.size()), 2.0 / 3.0, 0.01);
}

TEST(WorldGenerator, TheSameSeedGivesTheSameBytesAndItemsLeaveTheMapAlone) {
    Picture picture(kSide, kSide, kGrass);
    for (int y = 200; y < 700; ++y)
        for (int x = 300; x < 900; ++x)
            picture.set(x, y, (x / 50 + y / 50) % 3 ? kSand : kGrass);
    World a, b, c, d;
    a.generate(picture, {7, true});
    b.generate(picture, {7, true});
    c.generate(picture, {8, true});
    d.generate(picture, {7, false});
    const auto bytes = [](const World& run, const char* name) {
        return tbtest::readBytes(run.dir / name);
    };
    for (const char* name : {"map4.mul", "staidx4.mul", "statics4.mul"})
        EXPECT_EQ(bytes(a, name), bytes(b, name)) << name;
    EXPECT_NE(bytes(a, "map4.mul"), bytes(c, "map4.mul"));
    EXPECT_NE(bytes(a, "statics4.mul"), bytes(c, "statics4.mul"));
    EXPECT_EQ(bytes(a, "map4.mul"), bytes(d, "map4.mul"));
    EXPECT_EQ(tbtest::entriesIn(d.dir.path()), 1u) << "no statics without asking";

    // A container of the facet holds the same map.
    World uop;
    uop.map = uop.dir / "map4LegacyMUL.uop";
    uop.generate(picture, {7, false});
    EXPECT_EQ(uop.image().bytes(), a.image().bytes());
}

TEST(WorldGenerator, PicturesThatMakeNoWorldAreRefusedWithNothingWritten) {
    World run;
    tbtest::writeBytes(run.map, {1, 2, 3}); // an old file stays as it was
    const auto refusal = [&run](Picture& terrain, Heights heights,
                                const fs::path& destination) -> std::string {
        try {
            tb::generateWorld(terrain, heights, run.set, run.sources, destination, {1, true});
        } catch (const tb::GenerateRefusal& e) {
            return e.what();
        }
        return "not refused";
    };
    Picture colours(kSide, kSide, kGrass);
    colours.set(5, 7, 0xFF00FF);
    colours.set(6, 7, 0xFF00FF);
    colours.set(0, 100, 0x123456);
    EXPECT_EQ(refusal(colours, {kSide, kSide}, run.map),
              "\"terrain.png\": colour #FF00FF is no terrain of \"demo.xml\" (2 pixels, the first "
              "at (5, 7)); 1 more colour is none either (1 pixel, the first #123456 at (0, 100))");

    Picture small(1000, 1000, kGrass);
    EXPECT_EQ(refusal(small, {1000, 1000}, run.map),
              "\"terrain.png\" is 1000x1000 pixels, but a map \"map4.mul\" is 1448x1448 cells");
    EXPECT_EQ(refusal(small, {1000, 1000}, run.dir / "map0.mul"),
              "\"terrain.png\" is 1000x1000 pixels, but a map \"map0.mul\" is 7168x4096 or "
              "6144x4096 cells");
    Picture right(kSide, kSide, kGrass);
    EXPECT_EQ(refusal(right, {kSide, 1000}, run.map),
              "\"altitude.png\" is 1448x1000 pixels, but \"terrain.png\" is 1448x1448: both "
              "pictures have the map's size");
    EXPECT_NE(refusal(right, {kSide, kSide}, run.dir / "world.mul").find("map file name"),
              std::string::npos);

    // Half a statics pair is not written over.
    tbtest::writeBytes(run.dir / "staidx4.mul", {});
    EXPECT_NE(refusal(right, {kSide, kSide}, run.map).find("statics4.mul"), std::string::npos);

    EXPECT_EQ(tbtest::readBytes(run.map), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(tbtest::entriesIn(run.dir.path()), 2u);
}

TEST(WorldGenerator, AStopLeavesNoFileAndAPairBesideGetsOnlyTheNewItems) {
    World run;
    Picture picture(kSide, kSide, kGrass);
    tbtest::RecordedProgress stopping(10);
    EXPECT_THROW(run.generate(picture, {1, true}, stopping), tb::OperationStopped);
    EXPECT_EQ(tbtest::entriesIn(run.dir.path()), 0u);

    // A pair of the facet is there with an item of its own: the new index leaves it out.
    const tb::StaticsFilePaths pair{run.dir / "staidx4.mul", run.dir / "statics4.mul"};
    tb::StaticsMap old = tb::StaticsMap::empty(181, 181);
    tb::addItem(old, {3, 3, 0x1234, 0, 0});
    tb::saveStatics(old, pair);
    tbtest::RecordedProgress progress;
    const tb::GenerateReport report = run.generate(picture, {1, true}, progress);
    EXPECT_EQ(progress.steps.back().done, kSide);
    const tb::StaticsLoad load = tb::loadStatics(pair, *run.image().variant());
    const auto items = tb::itemsInRect(load.statics, 0, 0, kSide - 1, kSide - 1);
    EXPECT_EQ(std::int64_t(items.size()), report.items);
    EXPECT_TRUE(std::none_of(items.begin(), items.end(),
                             [](const tb::PlacedItem& item) { return item.id == 0x1234; }));
}
