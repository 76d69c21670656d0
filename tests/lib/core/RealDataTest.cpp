// The real client files in the shared test data: what the readers make of them must agree
// with their bytes decoded here independently.
#include "core/ArtFiles.h"
#include "core/RadarColours.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

fs::path realFile(const char* name) {
    const fs::path dir = tbtest::realDataDir();
    if (dir.empty() || !fs::exists(dir / name))
        return {};
    return dir / name;
}

std::uint32_t u32At(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | b[at + std::size_t(i)];
    return v;
}

} // namespace

TEST(RealData, RadarColoursMatchTheFilesWords) {
    const fs::path path = realFile("radarcol.mul");
    if (path.empty())
        GTEST_SKIP() << "real-data/radarcol.mul is not available";
    const auto bytes = tbtest::readBytes(path);
    ASSERT_EQ(bytes.size(), 131'072u);
    tb::RadarColours radar;
    radar.read(path);
    for (int id : {0, 1, 2, 3, 168, 1000, 4096, 16382}) {
        const auto word =
            std::uint16_t(bytes[std::size_t(id) * 2] | (bytes[std::size_t(id) * 2 + 1] << 8));
        EXPECT_EQ(radar.colour(id), word) << id;
    }
    EXPECT_EQ(radar.colour(0), 8421);
    // The file goes on, but tile 16383 and above are not read.
    EXPECT_NE(bytes[16383 * 2] | bytes[16383 * 2 + 1], 0);
    EXPECT_EQ(radar.colour(16383), 0);
}

TEST(RealData, ArtIndexLandEntriesAre2024BytesLong) {
    const fs::path path = realFile("artidx.mul");
    if (path.empty())
        GTEST_SKIP() << "real-data/artidx.mul is not available";
    tb::ArtFiles art;
    art.artIndex = tbtest::readBytes(path);
    ASSERT_EQ(art.artIndex.size(), 49'152u * 12);

    int present = 0;
    int missing = 0;
    std::uint32_t dataEnd = 0;
    for (int id = 0; id < 0x4000; ++id) {
        const std::size_t at = std::size_t(id) * 12;
        const auto offset = std::int32_t(u32At(art.artIndex, at));
        const std::uint32_t length = u32At(art.artIndex, at + 4);
        const auto entry = tb::readArtIndexEntry(art.artIndex, id);
        ASSERT_TRUE(entry) << id;
        EXPECT_EQ(entry->offset, offset) << id;
        EXPECT_EQ(entry->length, length) << id;
        EXPECT_EQ(entry->extra, u32At(art.artIndex, at + 8)) << id;
        if (offset == -1) {
            ++missing;
        } else {
            ++present;
            EXPECT_EQ(length, 2024u) << id;
            dataEnd = std::max(dataEnd, std::uint32_t(offset) + length);
        }
    }
    EXPECT_EQ(present, 2855);
    EXPECT_EQ(missing, 0x4000 - 2855);
    EXPECT_FALSE(tb::readArtIndexEntry(art.artIndex, 49'152));

    // With an art.mul of matching size, every present land entry gives a tile and every
    // missing one none; the first pixel of tile 9 comes from its own offset.
    art.artData.assign(dataEnd, 0);
    for (std::size_t i = 0; i + 1 < art.artData.size(); i += 2) {
        art.artData[i] = static_cast<unsigned char>(i >> 1);
        art.artData[i + 1] = static_cast<unsigned char>((i >> 9) & 0x7F);
    }
    tb::Image15 image;
    int made = 0;
    for (int id = 0; id < 0x4000; ++id)
        made += tb::makeLandTileImage(art, id, image) ? 1 : 0;
    // Ids 7 and 8 are missing in this file anyway.
    EXPECT_EQ(made, present);
    const auto entry9 = tb::readArtIndexEntry(art.artIndex, 9);
    ASSERT_TRUE(entry9 && entry9->offset > 0);
    ASSERT_TRUE(tb::makeLandTileImage(art, 9, image));
    const auto at = std::size_t(entry9->offset);
    EXPECT_EQ(image.at(0, 1), art.artData[at] | (art.artData[at + 1] << 8));
}
