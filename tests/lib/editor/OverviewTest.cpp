#include "editor/Overview.h"

#include "MapPainterTestSupport.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

namespace {

// A radar table read from a file whose word n is `colourOf(n)`, with more words than the
// table reads so that ids past 16382 have colours in the file.
template <typename F> tb::RadarColours radarFrom(const tbtest::TempDir& dir, F colourOf) {
    std::vector<unsigned char> bytes;
    for (int n = 0; n < 20000; ++n) {
        const auto c = static_cast<std::uint16_t>(colourOf(n));
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    tbtest::writeBytes(dir / "radarcol.mul", bytes);
    tb::RadarColours radar;
    radar.read(dir / "radarcol.mul");
    return radar;
}

std::array<int, 3> px(const tb::OverviewImage& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2]};
}

TEST(Overview, OnePixelPerBlockFromCellOneOne) {
    tbtest::TempDir dir;
    // Tile n: red n & 31, green 1, blue 2.
    const auto radar = radarFrom(dir, [](int n) { return ((n & 31) << 10) | (1 << 5) | 2; });
    tb::MapImage map = edtest::ilshenarMap();
    // Block (0, 0): every cell tile 9 but cell (1, 1), which holds tile 0.
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            map.setCell(x, y, {9, 0});
    map.setCell(1, 1, {0, 0});
    // Block (287, 199), the last one: its (1, 1) is cell (2297, 1593).
    map.setCell(2297, 1593, {17, 0});
    // Block (3, 2): cell (0, 0) of the block is not the sample.
    map.setCell(24, 16, {5, 0});
    map.setCell(25, 17, {6, 0});

    const tb::OverviewImage image = tb::buildOverview(map, radar);
    ASSERT_EQ(image.width, 288);
    ASSERT_EQ(image.height, 200);
    ASSERT_EQ(image.rgb.size(), 288u * 200u * 3u);
    EXPECT_EQ(px(image, 0, 0), (std::array<int, 3>{0, 8, 16}));
    EXPECT_EQ(px(image, 287, 199), (std::array<int, 3>{17 * 8, 8, 16}));
    EXPECT_EQ(px(image, 3, 2), (std::array<int, 3>{6 * 8, 8, 16}));
    EXPECT_EQ(px(image, 2, 3), (std::array<int, 3>{0, 8, 16}));
}

TEST(Overview, TilesWithoutRadarColourAreBlack) {
    tbtest::TempDir dir;
    const auto radar = radarFrom(dir, [](int) { return 0x7FFF; });
    tb::MapImage map = edtest::ilshenarMap();
    map.setCell(1, 1, {16382, 0});
    map.setCell(9, 1, {16383, 0});
    map.setCell(17, 1, {40000, 0});
    map.setCell(25, 1, {65535, 0});
    const tb::OverviewImage image = tb::buildOverview(map, radar);
    EXPECT_EQ(px(image, 0, 0), (std::array<int, 3>{248, 248, 248}));
    EXPECT_EQ(px(image, 1, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(px(image, 2, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(px(image, 3, 0), (std::array<int, 3>{0, 0, 0}));
}

TEST(Overview, MapWithoutGeometryGivesNoImage) {
    tb::MapImage unknown(std::vector<unsigned char>(1000, 0), std::nullopt);
    const tb::OverviewImage image = tb::buildOverview(unknown, tb::RadarColours{});
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.rgb.empty());
}

TEST(Overview, SizeFromMapSizeAndClickCell) {
    EXPECT_EQ(tb::overviewSize(tb::MapSize{7168, 4096}).widthBlocks, 896);
    EXPECT_EQ(tb::overviewSize(tb::MapSize{7168, 4096}).heightBlocks, 512);
    EXPECT_EQ(tb::overviewSize(tb::MapSize{1448, 1448}).widthBlocks, 181);
    EXPECT_EQ(tb::overviewSize(std::nullopt).widthBlocks, 0);
    constexpr tb::CellPoint last = tb::overviewClickCell(895, 511);
    EXPECT_EQ(last.x, 7160);
    EXPECT_EQ(last.y, 4088);
    EXPECT_EQ(tb::overviewClickCell(0, 0).x, 0);
}

} // namespace
