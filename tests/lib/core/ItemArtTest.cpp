// Item pictures: runs with skips, empty rows and transparency, damage that gives the
// placeholder, and items read from the art container.
#include "core/ItemArt.h"
#include "core/ArtContainer.h"

#include "TestPaths.h"
#include "UopFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Words = std::vector<std::uint16_t>;

// An item entry: header, width, height, the row table and the rows' runs.
std::vector<unsigned char> itemEntry(int width, const std::vector<Words>& rows) {
    Words words = {0x1234, 0x5678, std::uint16_t(width), std::uint16_t(rows.size())};
    Words body;
    for (const Words& row : rows) {
        words.push_back(std::uint16_t(body.size()));
        body.insert(body.end(), row.begin(), row.end());
    }
    words.insert(words.end(), body.begin(), body.end());
    std::vector<unsigned char> bytes;
    for (const std::uint16_t w : words) {
        bytes.push_back(static_cast<unsigned char>(w));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
    }
    return bytes;
}

// A 5 x 3 picture: row 0 skips 1 and draws 2 (black and red), then skips 1 and draws 1;
// row 1 is empty; row 2 draws the whole width.
std::vector<unsigned char> handMadeTile() {
    return itemEntry(
        5, {{1, 2, 0x0000, 0x7C00, 1, 1, 0x001F, 0, 0}, {0, 0}, {0, 5, 1, 2, 3, 4, 5, 0, 0}});
}

} // namespace

TEST(ItemArt, RunsSkipsAndAZeroLengthRowDecode) {
    const std::vector<unsigned char> bytes = handMadeTile();
    tb::ItemImage image;
    ASSERT_TRUE(tb::decodeItemArt(bytes.data(), bytes.size(), image));
    ASSERT_EQ(image.width, 5);
    ASSERT_EQ(image.height, 3);
    const std::uint16_t o = tb::ItemImage::kOpaque;
    const Words expected = {0,     o | 0, o | 0x7C00, 0,     o | 0x001F, // row 0
                            0,     0,     0,          0,     0,          // row 1
                            o | 1, o | 2, o | 3,      o | 4, o | 5};
    EXPECT_EQ(image.pixels, expected);
    // Black that a run draws is not transparent.
    EXPECT_TRUE(image.opaqueAt(1, 0));
    EXPECT_FALSE(image.opaqueAt(0, 0));
}

TEST(ItemArt, DamagedEntriesGivePlaceholdersNeverReadsOutside) {
    const std::vector<unsigned char> good = handMadeTile();
    std::vector<std::vector<unsigned char>> damaged;
    damaged.push_back({1, 2, 3});                             // shorter than a header
    damaged.push_back(itemEntry(0, {{0, 0}}));                // width 0
    damaged.push_back(itemEntry(2000, {{0, 0}}));             // too wide
    damaged.push_back(itemEntry(3, {{1, 3, 1, 2, 3, 0, 0}})); // run past the width
    damaged.push_back(itemEntry(3, {{0, 2, 1}}));             // run past the end
    damaged.push_back(std::vector<unsigned char>(good.begin(), good.end() - 2)); // no end run
    {
        std::vector<unsigned char> farRow = good;
        farRow[8] = 0xFF; // row 0 starts far past the end
        farRow[9] = 0x7F;
        damaged.push_back(farRow);
    }
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        tb::ItemImage image;
        EXPECT_FALSE(tb::decodeItemArt(damaged[i].data(), damaged[i].size(), image)) << i;
    }
    // Through the art files, a damaged or missing entry is the placeholder.
    tb::ArtFiles art;
    art.artIndex.assign(std::size_t(0x4000 + 3) * 12, 0xFF); // items 0..2, all missing
    const auto setEntry = [&](int item, std::size_t offset, std::size_t length) {
        unsigned char* e = art.artIndex.data() + std::size_t(0x4000 + item) * 12;
        for (int i = 0; i < 4; ++i) {
            e[i] = static_cast<unsigned char>(offset >> (8 * i));
            e[4 + i] = static_cast<unsigned char>(length >> (8 * i));
        }
    };
    art.artData = good;
    setEntry(0, 0, good.size());
    setEntry(1, 4, good.size()); // past the end of art.mul
    EXPECT_FALSE(tb::itemArtImage(art, 0).placeholder);
    EXPECT_TRUE(tb::itemArtImage(art, 1).placeholder);
    EXPECT_TRUE(tb::itemArtImage(art, 2).placeholder);
    EXPECT_TRUE(tb::itemArtImage(art, 0xFFFF).placeholder); // past the index
    const tb::ItemImage placeholder = tb::itemPlaceholderImage();
    EXPECT_GT(placeholder.width, 0);
    EXPECT_TRUE(placeholder.opaqueAt(0, 0));
}

TEST(ItemArt, ItemsComeFromTheArtContainerToo) {
    const std::vector<unsigned char> tile = handMadeTile();
    // Item 0xC000 has art id 0x10000: past the 16-bit ids of land tiles.
    const std::vector<uoptest::HandEntry> entries = {
        uoptest::handEntry(tb::uopNameHash(tb::uopArtEntryName(0x4000 + 7)), tile),
        uoptest::handEntry(tb::uopNameHash(tb::uopArtEntryName(0x4000 + 0xC000)), tile, true)};
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "artLegacyMUL.uop", uoptest::buildContainer({entries}));
    tb::ArtFiles art;
    tb::readArtContainer(dir / "artLegacyMUL.uop", art.artIndex, art.artData);
    for (const std::uint16_t id : {std::uint16_t(7), std::uint16_t(0xC000)}) {
        const tb::ItemImage image = tb::itemArtImage(art, id);
        EXPECT_FALSE(image.placeholder) << id;
        EXPECT_EQ(image.width, 5) << id;
    }
    EXPECT_TRUE(tb::itemArtImage(art, 8).placeholder);
}
