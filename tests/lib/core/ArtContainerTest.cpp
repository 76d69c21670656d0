// Land art from artLegacyMUL.uop: the same pictures as from artidx.mul/art.mul, and which
// game folders hold art the editor can load.
#include "core/ArtContainer.h"
#include "core/ArtFiles.h"

#include "ArtFixtures.h"
#include "TestPaths.h"
#include "UopFixtures.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Land tiles 1 (2048 bytes), 2 (2024 bytes) and 0x3FFF, a static (0x4001) of a land tile's
// length, and id 5 with a length no land tile has.
tb::ArtFiles makeMulArt() {
    tb::ArtFiles art;
    const int ids[] = {1, 2, 0x3FFF, 0x4001, 5};
    const std::uint32_t lengths[] = {2048, 2024, 2048, 2048, 3000};
    for (int i = 0; i < 5; ++i) {
        const auto words = tbtest::countingWords(lengths[i] / 2, std::uint16_t(1 + 1500 * i));
        tbtest::putIndexEntry(art.artIndex, ids[i], tbtest::appendWords(art.artData, words),
                              lengths[i]);
    }
    tbtest::putIndexEntry(art.artIndex, 0, -1, 0);
    return art;
}

// The container holding, for every entry of `art`'s index, the bytes art.mul holds.
uoptest::Bytes containerOf(const tb::ArtFiles& art) {
    std::vector<uoptest::HandEntry> entries;
    for (int id = 0; std::size_t(id + 1) * 12 <= art.artIndex.size(); ++id) {
        const auto e = tb::readArtIndexEntry(art.artIndex, id);
        if (!e || e->offset < 0)
            continue;
        entries.push_back(
            uoptest::handEntry(tb::uopNameHash(tb::uopArtEntryName(std::uint32_t(id))),
                               uoptest::Bytes(art.artData.begin() + e->offset,
                                              art.artData.begin() + e->offset + e->length)));
    }
    entries[1].zlib = true;
    return uoptest::buildContainer({entries});
}

void writeTextures(const fs::path& dir) {
    fs::create_directories(dir);
    tbtest::writeBytes(dir / "texidx.mul", {});
    tbtest::writeBytes(dir / "texmaps.mul", {});
}

} // namespace

TEST(ArtContainer, LandTilesFromTheContainerMatchThoseFromArtMul) {
    tbtest::TempDir dir;
    const tb::ArtFiles mul = makeMulArt();
    writeTextures(dir / "mul");
    tbtest::writeBytes(dir / "mul" / "artidx.mul", mul.artIndex);
    tbtest::writeBytes(dir / "mul" / "art.mul", mul.artData);
    writeTextures(dir / "uop");
    tbtest::writeBytes(dir / "uop" / "artLegacyMUL.uop", containerOf(mul));

    tb::ArtFiles fromMul, fromUop;
    fromMul.load(dir / "mul");
    fromUop.load(dir / "uop");
    int made = 0;
    for (int id : {0, 1, 2, 3, 5, 7, 0x3FFF, 0x4001}) {
        tb::Image15 a, b;
        const bool madeFromMul = tb::makeLandTileImage(fromMul, id, a, tb::kDialogArtLimits);
        EXPECT_EQ(tb::makeLandTileImage(fromUop, id, b, tb::kDialogArtLimits), madeFromMul) << id;
        if (madeFromMul) {
            EXPECT_EQ(a.pixels, b.pixels) << id;
            ++made;
        }
    }
    EXPECT_EQ(made, 2); // 1 and 2; the dialogs refuse 0x3FFF
    tb::Image15 a, b;
    ASSERT_TRUE(tb::makeLandTileImage(fromMul, 0x3FFF, a));
    ASSERT_TRUE(tb::makeLandTileImage(fromUop, 0x3FFF, b));
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST(ArtContainer, GameFoldersNeedTexturesAndEitherKindOfLandArt) {
    tbtest::TempDir dir;
    const tb::ArtFiles mul = makeMulArt();
    const fs::path game = dir / "game";
    writeTextures(game);
    EXPECT_FALSE(tb::hasGameArt(game));
    tbtest::writeBytes(game / "artidx.mul", mul.artIndex);
    EXPECT_FALSE(tb::hasGameArt(game)); // art.mul missing
    tbtest::writeBytes(game / "ARTLEGACYMUL.UOP", containerOf(mul));
    EXPECT_TRUE(tb::hasGameArt(game));
    ASSERT_TRUE(tb::findArtContainer(game));
    EXPECT_TRUE(fs::equivalent(*tb::findArtContainer(game), game / "ARTLEGACYMUL.UOP"));
    fs::remove(game / "texmaps.mul");
    EXPECT_FALSE(tb::hasGameArt(game));
    EXPECT_FALSE(tb::hasGameArt(""));

    // Where both kinds are there, the .mul files are read: here their tile 1 is another.
    writeTextures(game);
    tb::ArtFiles other = makeMulArt();
    for (std::size_t i = 0; i < 2048; ++i)
        other.artData[i] ^= 0x55;
    tbtest::writeBytes(game / "art.mul", other.artData);
    tb::ArtFiles loaded;
    loaded.load(game);
    EXPECT_EQ(loaded.artData, other.artData);
}
