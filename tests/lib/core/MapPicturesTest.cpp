// Heightmaps out of a map and back in, and the radar picture of a map with its statics.
#include "core/Heightmap.h"
#include "core/LandArt.h"
#include "core/RadarPicture.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <random>

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

TEST(Heightmap, GreyIsAltitudePlus128RowByRow) {
    tb::MapImage map = randomMap();
    map.setCell(0, 0, {1, -128});
    map.setCell(9, 3, {2, 0});
    map.setCell(3, 9, {3, -1}); // the mirror cell tells rows from columns
    map.setCell(1447, 1447, {4, 127});
    std::vector<int> reported;
    const tb::Heightmap heightmap =
        tb::exportHeightmap(map, [&](int percent) { reported.push_back(percent); });
    ASSERT_EQ(heightmap.width, 1448);
    ASSERT_EQ(heightmap.height, 1448);
    ASSERT_EQ(heightmap.grey.size(), 1448u * 1448u);
    EXPECT_EQ(heightmap.at(0, 0), 0);
    EXPECT_EQ(heightmap.at(9, 3), 128);
    EXPECT_EQ(heightmap.at(3, 9), 127);
    EXPECT_EQ(heightmap.at(1447, 1447), 255);
    EXPECT_EQ(heightmap.grey[1447], tb::altitudeToGrey(map.cell(1447, 0).altitude));
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    ASSERT_FALSE(reported.empty());
    EXPECT_EQ(reported.back(), 100);
    EXPECT_TRUE(tb::exportHeightmap(tb::MapImage({1, 2, 3}, std::nullopt)).grey.empty());
}

TEST(Heightmap, RoundTripChangesNothingAndAnEditChangesOnlyItsCells) {
    tb::MapImage map = randomMap();
    const std::vector<unsigned char> original = map.bytes();
    tb::Heightmap heightmap = tb::exportHeightmap(map);
    EXPECT_EQ(tb::countHeightmapChanges(map, heightmap.view()), 0);
    EXPECT_TRUE(tb::heightmapChanges(map, heightmap.view()).empty());
    EXPECT_EQ(tb::applyHeightmap(map, heightmap.view()), 0);
    EXPECT_EQ(map.bytes(), original);

    // Two cells edited, read through a view whose rows are padded.
    const tb::MapCell before1 = map.cell(5, 700);
    const tb::MapCell before2 = map.cell(1000, 3);
    heightmap.grey[700 * 1448 + 5] = tb::altitudeToGrey(std::int8_t(before1.altitude ^ 0x40));
    heightmap.grey[3 * 1448 + 1000] = tb::altitudeToGrey(std::int8_t(before2.altitude ^ 0x01));
    const std::ptrdiff_t stride = 1452;
    std::vector<std::uint8_t> padded(std::size_t(stride) * 1448, 0xEE);
    for (int y = 0; y < 1448; ++y)
        std::copy_n(heightmap.grey.begin() + y * 1448, 1448, padded.begin() + y * stride);
    const tb::HeightmapView view{1448, 1448, stride, padded.data()};

    EXPECT_EQ(tb::countHeightmapChanges(map, view), 2);
    const auto changes = tb::heightmapChanges(map, view);
    ASSERT_EQ(changes.size(), 2u);
    // Block column 0 comes before block column 125.
    EXPECT_EQ(changes[0].x, 5);
    EXPECT_EQ(changes[0].y, 700);
    EXPECT_EQ(changes[0].before, before1.altitude);
    EXPECT_EQ(changes[0].after, std::int8_t(before1.altitude ^ 0x40));
    EXPECT_EQ(changes[1].x, 1000);
    EXPECT_EQ(changes[1].y, 3);
    EXPECT_EQ(map.bytes(), original);

    EXPECT_EQ(tb::applyHeightmap(map, view), 2);
    EXPECT_EQ(map.cell(5, 700), (tb::MapCell{before1.tileId, changes[0].after}));
    EXPECT_EQ(map.cell(1000, 3), (tb::MapCell{before2.tileId, changes[1].after}));
    std::size_t differing = 0;
    for (std::size_t i = 0; i < original.size(); ++i)
        differing += map.bytes()[i] != original[i];
    EXPECT_EQ(differing, 2u);
}

TEST(Heightmap, APictureOfAnotherSizeIsRefusedNamingBothSizes) {
    tb::MapImage map = randomMap();
    const std::vector<unsigned char> original = map.bytes();
    const std::vector<std::uint8_t> grey(1448 * 1447);
    const tb::HeightmapView view{1448, 1447, 1448, grey.data()};
    try {
        tb::applyHeightmap(map, view);
        FAIL() << "no error";
    } catch (const tb::HeightmapSizeError& e) {
        EXPECT_NE(std::string(e.what()).find("1448 x 1447"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("1448 x 1448"), std::string::npos) << e.what();
    }
    EXPECT_THROW(tb::countHeightmapChanges(map, view), tb::HeightmapSizeError);
    EXPECT_THROW(tb::heightmapChanges(map, {1447, 1448, 1448, grey.data()}),
                 tb::HeightmapSizeError);
    EXPECT_EQ(map.bytes(), original);
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
