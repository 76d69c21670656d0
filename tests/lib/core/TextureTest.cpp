#include "core/ArtFiles.h"

#include "ArtFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using tb::ArtFiles;
using tb::Image15;
using tb::makeTextureImage;
using tbtest::appendWords;
using tbtest::countingWords;
using tbtest::putIndexEntry;

namespace {

// The pixel word at byte (r * side + c) * 2 of the texture's data.
std::uint16_t wordAt(const std::vector<unsigned char>& data, std::int32_t offset, int side, int r,
                     int c) {
    const std::size_t at = std::size_t(offset) + (std::size_t(r) * side + c) * 2;
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

void expectTexture(const Image15& image, const ArtFiles& art, std::int32_t offset, int side) {
    ASSERT_EQ(image.width, side);
    ASSERT_EQ(image.height, side);
    ASSERT_EQ(image.pixels.size(), std::size_t(side) * side);
    int wrong = 0;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            if (image.at(c, r) != wordAt(art.textureData, offset, side, r, c))
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(TextureImage, Lengths8192And32768GiveSquaresRowByRow) {
    ArtFiles art;
    appendWords(art.textureData, {0x1234});
    const std::int32_t small = appendWords(art.textureData, countingWords(64 * 64, 5));
    const std::int32_t large = appendWords(art.textureData, countingWords(128 * 128, 9));
    putIndexEntry(art.textureIndex, 3, small, 8192);
    putIndexEntry(art.textureIndex, 4, large, 32768);
    Image15 image;
    ASSERT_TRUE(makeTextureImage(art, 3, image));
    expectTexture(image, art, small, 64);
    EXPECT_EQ(image.at(0, 0), 5);
    EXPECT_EQ(image.at(1, 0), 6);
    EXPECT_EQ(image.at(0, 1), 5 + 64);
    ASSERT_TRUE(makeTextureImage(art, 4, image));
    expectTexture(image, art, large, 128);
    EXPECT_EQ(image.at(127, 127), 9 + 128 * 128 - 1);
}

TEST(TextureImage, OtherLengthsGiveNoImage) {
    ArtFiles art;
    const std::int32_t offset = appendWords(art.textureData, countingWords(128 * 128));
    Image15 image;
    for (std::uint32_t length :
         {0u, 2u, 8190u, 8194u, 16384u, 32766u, 32770u, 65536u, 0xFFFFFFFFu}) {
        putIndexEntry(art.textureIndex, 0, offset, length);
        EXPECT_FALSE(makeTextureImage(art, 0, image)) << length;
    }
}

TEST(TextureImage, EntriesBeyondTheIndexGiveNoImage) {
    ArtFiles art;
    putIndexEntry(art.textureIndex, 2, appendWords(art.textureData, countingWords(4096)), 8192);
    Image15 image;
    EXPECT_TRUE(makeTextureImage(art, 2, image));
    EXPECT_FALSE(makeTextureImage(art, 3, image));
    EXPECT_FALSE(makeTextureImage(art, 40000, image));
    art.textureIndex.pop_back();
    EXPECT_FALSE(makeTextureImage(art, 2, image));
}

TEST(TextureImage, DataPastTheEndOfTexmapsShowsBlack) {
    ArtFiles art;
    const auto words = countingWords(64 * 64);
    const std::int32_t offset = appendWords(
        art.textureData, std::vector<std::uint16_t>(words.begin(), words.begin() + 1000));
    putIndexEntry(art.textureIndex, 1, offset, 8192);
    Image15 image;
    ASSERT_TRUE(makeTextureImage(art, 1, image));
    ASSERT_EQ(image.width, 64);
    for (int i = 0; i < 64 * 64; ++i)
        ASSERT_EQ(image.pixels[std::size_t(i)], i < 1000 ? words[std::size_t(i)] : 0) << i;

    // An empty texmaps.mul: nothing to read at all.
    art.textureData.clear();
    art.textureData.shrink_to_fit();
    ASSERT_TRUE(makeTextureImage(art, 1, image));
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 64 * 64);
}

TEST(TextureImage, TheOffsetIsNotJudgedButNeverReadOutside) {
    ArtFiles art;
    appendWords(art.textureData, countingWords(10000));
    Image15 image;
    // A missing-looking or hostile offset still gives a square, with nothing read: black.
    for (std::int32_t offset : {-1, -2, INT32_MIN, 20000, 0x10000000, INT32_MAX}) {
        putIndexEntry(art.textureIndex, 0, offset, 8192);
        ASSERT_TRUE(makeTextureImage(art, 0, image)) << offset;
        EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 64 * 64) << offset;
    }
    // Straddling the end: the part inside is shown.
    putIndexEntry(art.textureIndex, 0, 20000 - 10, 8192);
    ASSERT_TRUE(makeTextureImage(art, 0, image));
    EXPECT_EQ(image.at(0, 0), 10000 - 4);
    EXPECT_EQ(image.at(4, 0), 10000);
    EXPECT_EQ(image.at(5, 0), 0);
}

TEST(TextureImage, DialogLimitsRefuseIdsFrom4096) {
    ArtFiles art;
    for (int id : {4095, 4096, 9000})
        putIndexEntry(art.textureIndex, id, appendWords(art.textureData, countingWords(4096)),
                      8192);
    Image15 image;
    EXPECT_TRUE(makeTextureImage(art, 4095, image, tb::kDialogArtLimits));
    EXPECT_FALSE(makeTextureImage(art, 4096, image, tb::kDialogArtLimits));
    EXPECT_FALSE(makeTextureImage(art, 9000, image, tb::kDialogArtLimits));
    EXPECT_TRUE(makeTextureImage(art, 9000, image));
}

TEST(Rgb555ToColor, ScalesEachChannelByEightAndIgnoresBit15) {
    EXPECT_EQ(tb::rgb555ToColor(0x7FFF), (tb::Rgb{248, 248, 248}));
    EXPECT_EQ(tb::rgb555ToColor(0xFFFF), (tb::Rgb{248, 248, 248}));
    EXPECT_EQ(tb::rgb555ToColor(0x8000), (tb::Rgb{0, 0, 0}));
    EXPECT_EQ(tb::rgb555ToColor(0x001F), (tb::Rgb{0, 0, 248}));
    EXPECT_EQ(tb::rgb555ToColor(0x03E0), (tb::Rgb{0, 248, 0}));
    EXPECT_EQ(tb::rgb555ToColor(0x7C00), (tb::Rgb{248, 0, 0}));
    EXPECT_EQ(tb::rgb555ToColor((1 << 10) | (2 << 5) | 3), (tb::Rgb{8, 16, 24}));
}
