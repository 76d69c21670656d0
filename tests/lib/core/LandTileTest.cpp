#include "core/ArtFiles.h"

#include "ArtFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using tb::ArtFiles;
using tb::Image15;
using tb::makeLandTileImage;
using tbtest::appendWords;
using tbtest::countingWords;
using tbtest::putIndexEntry;

namespace {

constexpr int kPixels = 1012;

// The storage index of the pixel that the diamond puts at square point (x, y) when x + y is
// odd: the upper half's rows run along the anti-diagonals x + y = 1, 3, ..., 43 starting at
// the left edge, the lower half's along x + y = 45, ..., 87 starting at the bottom edge.
int storedIndexAt(int x, int y) {
    const int sum = x + y;
    if (sum <= 43) {
        const int row = (sum - 1) / 2; // rows of 2, 4, ... pixels before it
        return row * (row + 1) + x;
    }
    const int row = (sum - 45) / 2; // rows of 44, 42, ... pixels before it
    return 506 + 44 * row - row * (row - 1) + (x - (2 * row + 1));
}

// What the square shows at (x, y) for the stored pixels `data`: a point on an odd
// anti-diagonal shows its own pixel; a point between two of them shows the pixel above it
// (stored after the one on its left), on the top row the one on its left; (0, 0) is black.
std::uint16_t expectedAt(const std::vector<std::uint16_t>& data, int x, int y) {
    if ((x + y) % 2 != 0)
        return data[std::size_t(storedIndexAt(x, y))];
    if (y > 0)
        return data[std::size_t(storedIndexAt(x, y - 1))];
    if (x > 0)
        return data[std::size_t(storedIndexAt(x - 1, y))];
    return 0;
}

void expectSquare(const Image15& image, const std::vector<std::uint16_t>& data) {
    ASSERT_EQ(image.width, 45);
    ASSERT_EQ(image.height, 45);
    ASSERT_EQ(image.pixels.size(), 45u * 45u);
    int wrong = 0;
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 45; ++x)
            if (image.at(x, y) != expectedAt(data, x, y) && ++wrong <= 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << image.at(x, y)
                              << ", expected " << expectedAt(data, x, y);
    EXPECT_EQ(wrong, 0);
}

// Art files with one land tile of the given length at `id`, its pixels 1, 2, ..., 1012
// (and, for a 2048-byte entry, 12 words of trailer that must not be shown).
ArtFiles oneTile(int id, std::uint32_t length) {
    ArtFiles art;
    appendWords(art.artData, {0xAAAA, 0xBBBB}); // something before the tile
    auto words = countingWords(kPixels);
    if (length > 2024)
        words.resize((length - 4) / 2 + 2, 0x7777);
    putIndexEntry(art.artIndex, id, appendWords(art.artData, words), length);
    return art;
}

} // namespace

TEST(LandTileImage, TheWalkFollowsTheDiamondForBothEntryLengths) {
    for (std::uint32_t length : {2024u, 2048u}) {
        SCOPED_TRACE(length);
        const ArtFiles art = oneTile(100, length);
        Image15 image;
        ASSERT_TRUE(makeLandTileImage(art, 100, image));
        expectSquare(image, countingWords(kPixels));
    }
}

TEST(LandTileImage, FirstSecondAndLastPixelsLandOnTheSquaresCorners) {
    const ArtFiles art = oneTile(3, 2048);
    Image15 image;
    ASSERT_TRUE(makeLandTileImage(art, 3, image));
    // The first pixel covers (0, 1), (1, 1) and (0, 2); the second overwrites (1, 1).
    EXPECT_EQ(image.at(0, 1), 1);
    EXPECT_EQ(image.at(0, 2), 1);
    EXPECT_EQ(image.at(1, 0), 2);
    EXPECT_EQ(image.at(2, 0), 2);
    EXPECT_EQ(image.at(1, 1), 2);
    // The last pixel lands at (44, 43) and covers (44, 44); the one before it at (43, 44).
    EXPECT_EQ(image.at(44, 43), 1012);
    EXPECT_EQ(image.at(44, 44), 1012);
    EXPECT_EQ(image.at(43, 44), 1011);
    // The widest row's ends: the right corner at the top right, the left corner below.
    EXPECT_EQ(image.at(43, 0), 506);
    EXPECT_EQ(image.at(44, 0), 506);
    EXPECT_EQ(image.at(0, 43), 463);
    EXPECT_EQ(image.at(0, 44), 463);
    EXPECT_EQ(image.at(1, 44), 507);
    // Only the top-left pixel stays black.
    EXPECT_EQ(image.at(0, 0), 0);
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 1);
}

TEST(LandTileImage, PixelsAreCopiedUnchangedIncludingBit15) {
    ArtFiles art;
    std::vector<std::uint16_t> words(kPixels, 0xFFFF);
    words[0] = 0x8001;
    putIndexEntry(art.artIndex, 0, appendWords(art.artData, words), 2024);
    Image15 image;
    ASSERT_TRUE(makeLandTileImage(art, 0, image));
    EXPECT_EQ(image.at(0, 1), 0x8001);
    EXPECT_EQ(image.at(44, 44), 0xFFFF);
}

TEST(LandTileImage, Ids7And8NeverGiveALandTileButMayGiveATexture) {
    ArtFiles art;
    const auto pixels = countingWords(kPixels);
    const auto texture = countingWords(64 * 64);
    for (int id : {6, 7, 8, 9}) {
        putIndexEntry(art.artIndex, id, appendWords(art.artData, pixels), 2024);
        putIndexEntry(art.textureIndex, id, appendWords(art.textureData, texture), 8192);
    }
    Image15 image;
    EXPECT_TRUE(makeLandTileImage(art, 6, image));
    EXPECT_FALSE(makeLandTileImage(art, 7, image));
    EXPECT_FALSE(makeLandTileImage(art, 8, image));
    EXPECT_TRUE(makeLandTileImage(art, 9, image));
    EXPECT_FALSE(makeLandTileImage(art, 7, image, tb::kDialogArtLimits));
    EXPECT_TRUE(tb::makeTextureImage(art, 7, image));
    EXPECT_TRUE(tb::makeTextureImage(art, 8, image));
}

TEST(LandTileImage, OnlyLengths2024And2048AreLandTiles) {
    for (std::uint32_t length :
         {0u, 2u, 2020u, 2022u, 2026u, 2044u, 2046u, 2050u, 4096u, 0xFFFFFFFFu}) {
        ArtFiles art;
        putIndexEntry(art.artIndex, 1, appendWords(art.artData, countingWords(2000)), length);
        Image15 image;
        EXPECT_FALSE(makeLandTileImage(art, 1, image)) << length;
    }
}

TEST(LandTileImage, MissingAndNegativeOffsetsGiveNoImage) {
    ArtFiles art;
    appendWords(art.artData, countingWords(3000));
    putIndexEntry(art.artIndex, 1, -1, 2024);
    putIndexEntry(art.artIndex, 2, -2, 2024);
    putIndexEntry(art.artIndex, 3, INT32_MIN, 2048);
    putIndexEntry(art.artIndex, 4, 0, 2024);
    Image15 image;
    EXPECT_FALSE(makeLandTileImage(art, 1, image));
    EXPECT_FALSE(makeLandTileImage(art, 2, image));
    EXPECT_FALSE(makeLandTileImage(art, 3, image));
    EXPECT_TRUE(makeLandTileImage(art, 4, image));
}

TEST(LandTileImage, DataPastTheEndOfArtMulShowsBlack) {
    // The file ends 100 pixels and one byte into the tile.
    ArtFiles art;
    const auto all = countingWords(kPixels, 0x0101);
    appendWords(art.artData, {0x1111});
    const std::int32_t offset =
        appendWords(art.artData, std::vector<std::uint16_t>(all.begin(), all.begin() + 100));
    putIndexEntry(art.artIndex, 5, offset, 2048);
    art.artData.push_back(static_cast<unsigned char>(all[100]));
    Image15 image;
    ASSERT_TRUE(makeLandTileImage(art, 5, image));
    std::vector<std::uint16_t> seen(kPixels, 0);
    std::copy(all.begin(), all.begin() + 100, seen.begin());
    seen[100] = all[100] & 0xFF; // the half word that is there
    expectSquare(image, seen);

    // Offsets at or beyond the end, up to the largest, read nothing: an all-black square.
    for (std::int32_t far : {std::int32_t(art.artData.size()), 0x10000000, INT32_MAX}) {
        putIndexEntry(art.artIndex, 6, far, 2024);
        ASSERT_TRUE(makeLandTileImage(art, 6, image)) << far;
        EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 45 * 45) << far;
    }
}

TEST(LandTileImage, EntriesBeyondTheIndexAndEmptyFilesGiveNoImage) {
    ArtFiles art = oneTile(10, 2024);
    Image15 image;
    EXPECT_TRUE(makeLandTileImage(art, 10, image));
    EXPECT_FALSE(makeLandTileImage(art, 11, image));
    EXPECT_FALSE(makeLandTileImage(art, 65535, image));
    art.artIndex.pop_back(); // entry 10 is one byte short now
    EXPECT_FALSE(makeLandTileImage(art, 10, image));
    EXPECT_FALSE(makeLandTileImage(ArtFiles{}, 0, image));
}

TEST(LandTileImage, IdsAreTakenAsUnsigned16Bit) {
    const ArtFiles art = oneTile(65535, 2024);
    Image15 image;
    EXPECT_TRUE(makeLandTileImage(art, 65535, image));
    EXPECT_TRUE(makeLandTileImage(art, -1, image));
    EXPECT_TRUE(makeLandTileImage(art, 0x1FFFF, image));
    // 65543 is id 7 once wrapped, and 7 is refused.
    const ArtFiles seven = oneTile(7, 2024);
    EXPECT_FALSE(makeLandTileImage(seven, 65536 + 7, image));
}

TEST(LandTileImage, DialogLimitsRefuseIdsFrom16382) {
    ArtFiles art;
    for (int id : {16381, 16382, 16383, 20000})
        putIndexEntry(art.artIndex, id, appendWords(art.artData, countingWords(kPixels)), 2024);
    Image15 image;
    EXPECT_TRUE(makeLandTileImage(art, 16381, image, tb::kDialogArtLimits));
    EXPECT_FALSE(makeLandTileImage(art, 16382, image, tb::kDialogArtLimits));
    EXPECT_FALSE(makeLandTileImage(art, 20000, image, tb::kDialogArtLimits));
    // The editor's own limits take them all.
    EXPECT_TRUE(makeLandTileImage(art, 16382, image));
    EXPECT_TRUE(makeLandTileImage(art, 20000, image));
}

TEST(LandTileImage, ReusesTheCallersPixelBuffer) {
    ArtFiles art = oneTile(1, 2024);
    putIndexEntry(art.textureIndex, 1, appendWords(art.textureData, countingWords(128 * 128)),
                  32768);
    Image15 image;
    ASSERT_TRUE(tb::makeTextureImage(art, 1, image));
    const std::uint16_t* buffer = image.pixels.data();
    ASSERT_TRUE(makeLandTileImage(art, 1, image));
    EXPECT_EQ(image.pixels.data(), buffer);
    EXPECT_EQ(image.pixels.size(), 45u * 45u);
    ASSERT_TRUE(tb::makeTextureImage(art, 1, image));
    EXPECT_EQ(image.pixels.data(), buffer);
}

TEST(LandDiamondImage, RowsOfTwoToFortyFourPixelsCentredInStorageOrder) {
    const ArtFiles art = oneTile(100, 2048);
    Image15 image;
    ASSERT_TRUE(tb::makeLandDiamondImage(art, 100, image));
    ASSERT_EQ(image.width, 44);
    ASSERT_EQ(image.height, 44);
    // Row 0 holds pixels 1 and 2 at x 21 and 22; row 21 the 44 pixels 463..506; row 43
    // pixels 1011 and 1012; everything else of the square is 0.
    EXPECT_EQ(image.at(21, 0), 0x8000 | 1);
    EXPECT_EQ(image.at(22, 0), 0x8000 | 2);
    EXPECT_EQ(image.at(20, 1), 0x8000 | 3);
    EXPECT_EQ(image.at(0, 21), 0x8000 | 463);
    EXPECT_EQ(image.at(43, 22), 0x8000 | 550);
    EXPECT_EQ(image.at(22, 43), 0x8000 | 1012);
    EXPECT_EQ(image.at(20, 0), 0);
    EXPECT_EQ(image.at(0, 20), 0);
    EXPECT_EQ(image.at(23, 43), 0);
    EXPECT_EQ(std::count_if(image.pixels.begin(), image.pixels.end(),
                            [](std::uint16_t p) { return p & tb::kDiamondPixel; }),
              kPixels);
    EXPECT_FALSE(tb::makeLandDiamondImage(art, 7, image));
    EXPECT_FALSE(tb::makeLandDiamondImage(art, 101, image));
}
