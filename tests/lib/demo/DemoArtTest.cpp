#include "demo/DemoArt.h"
#include "core/ArtFiles.h"
#include "core/RadarColours.h"
#include "shell/LittleEndian.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace tb::demo;

namespace {

const DemoArtFiles& art() {
    static const DemoArtFiles files = generateDemoArt();
    return files;
}

tb::ArtFiles asArtFiles(const DemoArtFiles& demo) {
    tb::ArtFiles files;
    files.artIndex = demo.artIndex;
    files.artData = demo.artData;
    files.textureIndex = demo.textureIndex;
    files.textureData = demo.textureData;
    return files;
}

struct MeanColour {
    double red = 0, green = 0, blue = 0;
};

// The mean 8-bit colour of the pixels of an image, leaving out pure black (the corner of
// a land tile square that no stored pixel covers).
MeanColour meanColour(const tb::Image15& image) {
    MeanColour m;
    int n = 0;
    for (std::uint16_t p : image.pixels) {
        if (p == 0)
            continue;
        const tb::Rgb c = tb::rgb555ToColor(p);
        m.red += c.red;
        m.green += c.green;
        m.blue += c.blue;
        ++n;
    }
    if (n > 0) {
        m.red /= n;
        m.green /= n;
        m.blue /= n;
    }
    return m;
}

const TileFamily* familyOf(std::uint16_t id) {
    for (const TileFamily& f : tileFamilies())
        if (std::find(f.ids.begin(), f.ids.end(), id) != f.ids.end())
            return &f;
    return nullptr;
}

void expectFamilyColour(const MeanColour& m, const TileFamily& f, int id) {
    // The noise is centred on the family colour; its mean strays by a few levels only (the
    // closest two families, rock and dirt, differ by 48 in blue).
    EXPECT_NEAR(m.red, f.red, 20) << f.name << " id " << id;
    EXPECT_NEAR(m.green, f.green, 20) << f.name << " id " << id;
    EXPECT_NEAR(m.blue, f.blue, 20) << f.name << " id " << id;
}

} // namespace

TEST(DemoTileFamilies, OnePerTerrainWithDistinctIdsThatTheEditorDraws) {
    ASSERT_EQ(tileFamilies().size(), std::size_t(kTerrainCount));
    std::set<std::uint16_t> seen;
    for (std::size_t i = 0; i < tileFamilies().size(); ++i) {
        const TileFamily& f = tileFamilies()[i];
        EXPECT_EQ(std::size_t(f.terrain), i) << f.name;
        EXPECT_FALSE(f.ids.empty()) << f.name;
        for (std::uint16_t id : f.ids) {
            EXPECT_TRUE(seen.insert(id).second) << "id " << id << " in two families";
            EXPECT_NE(id, 7);
            EXPECT_NE(id, 8);
            EXPECT_LT(id, 0x3FFE) << "beyond the palette's last row";
        }
    }
}

TEST(DemoArt, EveryFamilyIdHasALandTileOfItsFamilysColour) {
    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    for (const TileFamily& f : tileFamilies()) {
        for (std::uint16_t id : f.ids) {
            ASSERT_TRUE(tb::makeLandTileImage(files, id, image)) << f.name << " id " << id;
            ASSERT_EQ(image.width, 45);
            ASSERT_EQ(image.height, 45);
            // Only the corner pixel is left uncovered: the diamond fills the square.
            EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 1) << id;
            expectFamilyColour(meanColour(image), f, id);
        }
    }
}

TEST(DemoArt, FamiliesLookLikeWhatTheyAre) {
    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    auto mean = [&](Terrain t) {
        EXPECT_TRUE(tb::makeLandTileImage(files, tileFamily(t).ids.front(), image));
        return meanColour(image);
    };
    const MeanColour water = mean(Terrain::Water), deep = mean(Terrain::DeepWater);
    const MeanColour grass = mean(Terrain::Grass), forest = mean(Terrain::Forest);
    const MeanColour sand = mean(Terrain::Sand), snow = mean(Terrain::Snow);
    const MeanColour rock = mean(Terrain::Rock), dirt = mean(Terrain::Dirt);
    EXPECT_GT(water.blue, water.green);
    EXPECT_GT(water.blue, water.red);
    EXPECT_LT(deep.blue + deep.green, water.blue + water.green); // deeper is darker
    EXPECT_GT(grass.green, grass.red);
    EXPECT_GT(grass.green, grass.blue);
    EXPECT_LT(forest.green, grass.green);
    EXPECT_GT(sand.red, sand.blue + 40);
    EXPECT_GT(dirt.red, dirt.blue);
    EXPECT_LT(dirt.red + dirt.green, sand.red + sand.green);
    EXPECT_NEAR(rock.red, rock.blue, 30); // grey
    EXPECT_GT(snow.red, 200);
    EXPECT_GT(snow.green, 200);
    EXPECT_GT(snow.blue, 200);
}

TEST(DemoArt, LandEntriesAreWholeAndOtherIdsMissing) {
    const std::vector<std::uint16_t> ids = landArtIds();
    const auto& index = art().artIndex;
    ASSERT_EQ(index.size(), std::size_t(kIndexEntries) * 12);
    EXPECT_EQ(art().artData.size(), ids.size() * 2048);
    std::set<std::int32_t> offsets;
    for (int id = 0; id < kIndexEntries; ++id) {
        const std::int32_t offset = tb::readI32(index.data() + id * 12);
        const std::uint32_t length = tb::readU32(index.data() + id * 12 + 4);
        if (std::binary_search(ids.begin(), ids.end(), std::uint16_t(id))) {
            EXPECT_EQ(length, 2048u) << id;
            EXPECT_EQ(offset % 2048, 0) << id;
            EXPECT_LE(std::size_t(offset) + length, art().artData.size()) << id;
            EXPECT_TRUE(offsets.insert(offset).second) << id;
            // 1012 pixels of 2 bytes, then zero padding up to the entry's length.
            const auto entry = art().artData.begin() + offset;
            EXPECT_TRUE(std::all_of(entry + 2024, entry + 2048, [](auto b) { return b == 0; }))
                << id;
            EXPECT_FALSE(std::all_of(entry + 2020, entry + 2024, [](auto b) { return b == 0; }))
                << id;
        } else {
            ASSERT_EQ(offset, -1) << id;
        }
    }
    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    EXPECT_FALSE(tb::makeLandTileImage(files, 0, image));
    EXPECT_FALSE(tb::makeLandTileImage(files, 0x3FFF, image));
}

TEST(DemoArt, RefusedIdsHaveArtTheEditorStillRefuses) {
    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    for (std::uint16_t id : kRefusedLandIds) {
        const auto entry = tb::readArtIndexEntry(files.artIndex, id);
        ASSERT_TRUE(entry.has_value());
        EXPECT_NE(entry->offset, -1) << id;
        EXPECT_EQ(entry->length, 2048u) << id;
        EXPECT_FALSE(tb::makeLandTileImage(files, id, image)) << id;
    }
}

TEST(DemoArt, TexturesOfBothSizesInTheirFamilysColour) {
    const tb::ArtFiles files = asArtFiles(art());
    const std::vector<DemoTexture> textures = demoTextures();
    EXPECT_EQ(std::count_if(textures.begin(), textures.end(),
                            [](const DemoTexture& s) { return s.size == 128; }),
              1);
    tb::Image15 image;
    for (const DemoTexture& texture : textures) {
        ASSERT_TRUE(tb::makeTextureImage(files, texture.id, image)) << texture.id;
        EXPECT_EQ(image.width, texture.size) << texture.id;
        EXPECT_EQ(image.height, texture.size) << texture.id;
        const TileFamily* f = familyOf(texture.id);
        expectFamilyColour(meanColour(image), f ? *f : tileFamily(Terrain::Grass), texture.id);
    }
    // Ids without a texture fall back to their land tile.
    EXPECT_FALSE(tb::makeTextureImage(files, 0x0005, image));
    EXPECT_FALSE(tb::makeTextureImage(files, 0x0008, image));
    EXPECT_FALSE(tb::makeTextureImage(files, 0, image));
}

TEST(DemoArt, TexturesTileWithoutSeams) {
    // Across the wrap the colour changes no more than between neighbouring columns inside.
    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    ASSERT_TRUE(tb::makeTextureImage(files, 0x00A8, image));
    auto columnDiff = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < image.height; ++y) {
            const tb::Rgb ca = tb::rgb555ToColor(image.at(a, y));
            const tb::Rgb cb = tb::rgb555ToColor(image.at(b, y));
            sum += std::abs(ca.blue - cb.blue) + std::abs(ca.green - cb.green);
        }
        return sum / image.height;
    };
    double inside = 0;
    for (int x = 0; x + 1 < image.width; ++x)
        inside = std::max(inside, columnDiff(x, x + 1));
    EXPECT_LE(columnDiff(image.width - 1, 0), inside);
}

TEST(DemoArt, RadarColoursAreTheMeanOfEachLandTile) {
    const auto& radar = art().radarColours;
    ASSERT_GE(radar.size(), std::size_t(tb::RadarColours::kEntriesRead) * 2);
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "radarcol.mul", radar);
    tb::RadarColours table;
    table.read(dir / "radarcol.mul");

    const tb::ArtFiles files = asArtFiles(art());
    tb::Image15 image;
    for (const TileFamily& f : tileFamilies()) {
        for (std::uint16_t id : f.ids) {
            ASSERT_TRUE(tb::makeLandTileImage(files, id, image));
            const MeanColour m = meanColour(image);
            const tb::Rgb c = tb::rgb555ToColor(table.colour(id));
            // Means of 1012 stored pixels versus the square's 2024 (each stored pixel covers
            // up to three); the 5-bit channels lose up to 8 more.
            EXPECT_NEAR(c.red, m.red, 10) << id;
            EXPECT_NEAR(c.green, m.green, 10) << id;
            EXPECT_NEAR(c.blue, m.blue, 10) << id;
        }
    }
    EXPECT_EQ(table.colour(0), 0);
    EXPECT_EQ(table.colour(0x1000), 0);
}

TEST(DemoArt, SameBytesEveryTime) {
    const DemoArtFiles again = generateDemoArt();
    EXPECT_EQ(again.artIndex, art().artIndex);
    EXPECT_EQ(again.artData, art().artData);
    EXPECT_EQ(again.textureIndex, art().textureIndex);
    EXPECT_EQ(again.textureData, art().textureData);
    EXPECT_EQ(again.radarColours, art().radarColours);
}
