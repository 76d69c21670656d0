// Heightmaps out of a map and back in, and the radar picture of a map with its statics.
#include "core/ArtFiles.h"
#include "core/Heightmap.h"
#include "core/RadarPicture.h"

#include "RecordedProgress.h"
#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

tb::MapVariant tokuno() {
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.caption == "Tokuno")
            return v;
    throw std::logic_error("no Tokuno variant");
}

// A 1448 x 1448 map of random cells and block headers.
tb::MapImage randomMap() {
    const tb::MapVariant variant = tokuno();
    std::vector<unsigned char> bytes(std::size_t(variant.fileSize));
    std::mt19937 random(5);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(random());
    return tb::MapImage(std::move(bytes), variant);
}

} // namespace

TEST(Heightmap, OutAndBackInChangesOnlyTheEditedCells) {
    tb::MapImage map = randomMap();
    map.setCell(0, 0, {1, -128});
    map.setCell(9, 3, {2, 0});
    map.setCell(3, 9, {3, -1}); // the mirror cell tells rows from columns
    map.setCell(1447, 1447, {4, 127});
    const std::vector<unsigned char> original = map.bytes();
    tbtest::RecordedProgress progress;
    tb::Heightmap heightmap = tb::exportHeightmap(map, progress);
    const std::vector<std::int64_t> reported = progress.done();
    ASSERT_EQ(heightmap.width, 1448);
    ASSERT_EQ(heightmap.height, 1448);
    EXPECT_EQ(heightmap.at(0, 0), 0);
    EXPECT_EQ(heightmap.at(9, 3), 128);
    EXPECT_EQ(heightmap.at(3, 9), 127);
    EXPECT_EQ(heightmap.at(1447, 1447), 255);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_EQ(reported.back(), 100);

    // Back in unchanged: nothing changes.
    EXPECT_EQ(tb::countHeightmapChanges(map, heightmap.view()), 0);
    EXPECT_EQ(tb::applyHeightmap(map, heightmap.view()), 0);
    EXPECT_EQ(map.bytes(), original);

    // Two cells edited: both listed in the map's block order, then written with their tiles.
    heightmap.grey[700 * 1448 + 5] = 200;
    heightmap.grey[3 * 1448 + 1000] = 0;
    const tb::MapCell before = map.cell(5, 700);
    const auto changes = tb::heightmapChanges(map, heightmap.view());
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ((std::tuple{changes[0].x, changes[0].y, changes[0].before, changes[0].after}),
              (std::tuple{5, 700, before.altitude, std::int8_t(72)}));
    EXPECT_EQ((std::tuple{changes[1].x, changes[1].y, changes[1].after}),
              (std::tuple{1000, 3, std::int8_t(-128)}));
    EXPECT_EQ(tb::applyHeightmap(map, heightmap.view()), 2);
    EXPECT_EQ(map.cell(5, 700), (tb::MapCell{before.tileId, 72}));
    std::size_t differing = 0;
    for (std::size_t i = 0; i < original.size(); ++i)
        differing += map.bytes()[i] != original[i];
    EXPECT_EQ(differing, 2u);

    // A picture of another size changes nothing.
    const std::vector<unsigned char> edited = map.bytes();
    EXPECT_THROW(tb::applyHeightmap(map, {1448, 1447, 1448, heightmap.grey.data()}),
                 tb::HeightmapSizeError);
    EXPECT_EQ(map.bytes(), edited);
}

TEST(RadarPicture, LandColoursAndTopmostStaticColours) {
    const tb::MapVariant variant = tokuno();
    tb::MapImage map(std::vector<unsigned char>(std::size_t(variant.fileSize)), variant);
    map.setCell(10, 20, {16382, 0});   // the last land id with a colour
    map.setCell(11, 20, {16383, 0});   // none: black
    map.setCell(1447, 1447, {300, 0}); // the last cell
    map.setCell(12, 20, {300, 0});     // under a static without a colour
    map.setCell(13, 20, {300, 0});     // under a static

    tbtest::TempDir dir;
    std::vector<unsigned char> words;
    auto word = [](int n) { return std::uint16_t(((n + 1) * 40503u) >> 1); };
    for (int n = 0; n < 0x4000 + 100; ++n) {
        words.push_back(static_cast<unsigned char>(word(n)));
        words.push_back(static_cast<unsigned char>(word(n) >> 8));
    }
    tbtest::writeBytes(dir / "radarcol.mul", words);
    tb::RadarColours land;
    land.read(dir / "radarcol.mul");
    tb::StaticRadarColours staticColours;
    staticColours.read(dir / "radarcol.mul");
    auto pixel = [](std::uint16_t colour) {
        const tb::Rgb c = tb::rgb555ToColor(colour);
        return 0xFF000000u | std::uint32_t(c.red) << 16 | std::uint32_t(c.green) << 8 | c.blue;
    };

    const tb::RadarPicture plain = tb::buildRadarPicture(map, land);
    ASSERT_EQ(plain.width, 1448);
    ASSERT_EQ(plain.height, 1448);
    EXPECT_EQ(plain.at(0, 0), pixel(word(0)));
    EXPECT_EQ(plain.at(10, 20), pixel(word(16382)));
    EXPECT_EQ(plain.at(11, 20), 0xFF000000u);
    EXPECT_EQ(plain.at(1447, 1447), pixel(word(300)));
    EXPECT_EQ(plain.at(13, 20), pixel(word(300)));

    // Block (1, 2) holds cells 8..15 x 16..23: statics on (13, 20) and (12, 20).
    tbtest::StaticsPair pair(std::size_t(variant.widthBlocks()) * variant.heightBlocks());
    pair.setBlock(std::size_t(1 * variant.heightBlocks() + 2),
                  {{7, 5, 4, 10}, {99, 5, 4, 3}, {100, 4, 4, 0}});
    const auto statics =
        tb::StaticsMap(pair.index, pair.data, variant.widthBlocks(), variant.heightBlocks());
    const tb::RadarPicture withStatics = tb::buildRadarPicture(map, land, statics, staticColours);
    EXPECT_EQ(withStatics.at(13, 20), pixel(word(0x4000 + 7)));
    EXPECT_EQ(withStatics.at(12, 20), 0xFF000000u); // id 100 is past the file's end
    std::size_t differing = 0;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i)
        differing += plain.pixels[i] != withStatics.pixels[i];
    EXPECT_EQ(differing, 2u);

    const auto otherSize = tb::StaticsMap(pair.index, pair.data, 181, 180);
    EXPECT_THROW(tb::buildRadarPicture(map, land, otherSize, staticColours), std::invalid_argument);
}
