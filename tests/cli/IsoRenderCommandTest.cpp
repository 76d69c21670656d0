// tbmap render --iso: a small scene drawn as the isometric view draws it, in the picture
// just large enough for it, with and without hues.mul, and the rectangles it refuses.
#include "RunTbmap.h"

#include "../app/testsupport/TestWorld.h"
#include "ItemArtFixtures.h"
#include "StaticsFixtures.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;
using namespace tbtest;

namespace {

constexpr std::uint16_t kTower = 5; // 20 x 80, pure red

QImage decode(const fs::path& file) {
    const auto bytes = readBytes(file);
    QImage image;
    image.loadFromData(bytes.data(), int(bytes.size()), "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

class IsoRenderCommand : public ::testing::Test {
protected:
    IsoRenderCommand() {
        const fs::path game = m_dir / "game";
        writeGameDir(game);
        tb::ArtFiles art = makeTestArt();
        art.artIndex.resize(0x4000 * 12, 0xFF);
        tb::ItemImage tower;
        tower.width = 20;
        tower.height = 80;
        tower.pixels.assign(20 * 80, 0x7C00 | tb::ItemImage::kOpaque);
        addItemArt(art, kTower, tower);
        writeBytes(game / "artidx.mul", art.artIndex);
        writeBytes(game / "art.mul", art.artData);
        // tiledata.mul, newer layout, one group of items: all empty.
        writeBytes(game / "tiledata.mul",
                   std::vector<unsigned char>(512 * (4 + 32 * 30) + 4 + 32 * 41, 0));
        // The map: land tile cells, level; the tower on (0, 0) in hue 1.
        tb::MapImage map = makeTestMap();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                map.setCell(x, y, {kLandTile, 0});
        fs::create_directories(m_dir / "maps");
        map.save(m_dir / "maps" / "map2.mul");
        const tb::MapVariant& v = ilshenar();
        StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
        pair.setBlock(0, {{kTower, 0, 0, 0, 1}});
        writeBytes(m_dir / "maps" / "staidx2.mul", pair.index);
        writeBytes(m_dir / "maps" / "statics2.mul", pair.data);
    }
    std::string map() const { return (m_dir / "maps" / "map2.mul").string(); }
    std::string game() const { return (m_dir / "game").string(); }
    std::string out() const { return (m_dir / "out.png").string(); }

    TempDir m_dir;
};

} // namespace

TEST_F(IsoRenderCommand, ASmallSceneInItsHuesInAPictureJustLargeEnough) {
    // Without hues.mul: cells (0, 0)..(2, 1) take x -22..87 and y 0..109 of the scene; the
    // tower on (0, 0) rises to y -36.
    auto r = runTbmap({"render", map(), game(), "0", "0", "2", "1", out(), "--iso", "--statics"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("hues: no hues.mul in"), std::string::npos) << r.out;
    QImage picture = decode(out());
    ASSERT_EQ(picture.size(), QSize(110, 146));
    // The tower's pixels (scene x 12..31, y -36..43), unhued; the middle of cell (1, 1)'s
    // diamond, scene (22, 66): its land pixel 528 of the storage order.
    EXPECT_EQ(picture.pixel(22 + 22, 0), qRgb(248, 0, 0));
    EXPECT_EQ(picture.pixel(22 + 22, 66 + 36), expectedColour(landPixel(528)).rgb());
    // Left of the tower, above the land: the background.
    EXPECT_EQ(picture.pixel(5, 5), qRgb(0, 0, 0));

    // With hues.mul whose hue 1 maps every red to green 20.
    std::vector<unsigned char> hues(4, 0);
    for (int i = 0; i < 32; ++i)
        putU16(hues, 20 << 5);
    hues.resize(708, 0);
    writeBytes(m_dir / "game" / "hues.mul", hues);
    r = runTbmap({"render", map(), game(), "0", "0", "2", "1", out(), "--iso", "--statics"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("hues: 8 from"), std::string::npos) << r.out;
    picture = decode(out());
    EXPECT_EQ(picture.pixel(22 + 22, 0), qRgb(0, 160, 0));

    // Without --statics only the land: the picture starts at its top corner.
    r = runTbmap({"render", map(), game(), "0", "0", "2", "1", out(), "--iso"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(decode(out()).size(), QSize(110, 110));
}

TEST_F(IsoRenderCommand, TooLargeAPictureOrACellSizeIsRefused) {
    writeBytes(out(), {'o', 'l', 'd'});
    auto r = runTbmap({"render", map(), game(), "0", "0", "400", "400", out(), "--iso"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("X1 Y1 X2 Y2: the picture of these cells would be 17644 x"),
              std::string::npos)
        << r.err;
    r = runTbmap({"render", map(), game(), "0", "0", "2", "2", out(), "--iso", "--cell", "8"});
    EXPECT_EQ(r.exitCode, 2);
    r = runTbmap({"render", map(), game(), "3", "0", "2", "2", out(), "--iso"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("X2 2 is less than X1 3"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(out()), (std::vector<unsigned char>{'o', 'l', 'd'}));
}
