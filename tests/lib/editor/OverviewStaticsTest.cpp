// The statics on the overview: only each block's sampled cell counts, and it shows the
// radar colour of its topmost static.
#include "editor/OverviewStatics.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 3> px(const tb::OverviewImage& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2]};
}

} // namespace

TEST(OverviewStatics, SampledCellsShowTheirTopmostStatic) {
    tbtest::TempDir dir;
    // Static ids 0..15 have colours; id 6 is pure red, the others dark grey.
    std::vector<unsigned char> words(std::size_t(0x4000) * 2, 0);
    for (int id = 0; id < 16; ++id) {
        const std::uint16_t c = id == 6 ? 0x7C00 : 0x0421;
        words.push_back(static_cast<unsigned char>(c & 0xFF));
        words.push_back(static_cast<unsigned char>(c >> 8));
    }
    tbtest::writeBytes(dir / "radarcol.mul", words);
    tb::StaticRadarColours colours;
    colours.read(dir / "radarcol.mul");

    // 2 x 2 blocks, numbered column by column.
    tbtest::StaticsPair pair(4);
    pair.setBlock(2, {{5, 1, 1, 3}, {6, 1, 1, 3}}); // block (1, 0): a tie, 6 comes last
    pair.setBlock(1, {{6, 0, 0, 9}});               // block (0, 1): not the sampled cell
    pair.setBlock(3, {{0x20, 1, 1, 0}});            // block (1, 1): past the colours' end
    const tb::StaticsMap statics(pair.index, pair.data, 2, 2);

    tb::OverviewImage overview{2, 2, std::vector<std::uint8_t>(12, 77)};
    tb::drawOverviewStatics(overview, statics, colours);
    EXPECT_EQ(px(overview, 0, 0), (std::array<int, 3>{77, 77, 77}));
    EXPECT_EQ(px(overview, 1, 0), (std::array<int, 3>{248, 0, 0}));
    EXPECT_EQ(px(overview, 0, 1), (std::array<int, 3>{77, 77, 77}));
    EXPECT_EQ(px(overview, 1, 1), (std::array<int, 3>{0, 0, 0}));
}
