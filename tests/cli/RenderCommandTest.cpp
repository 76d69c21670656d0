// tbmap render, run as a user runs it: its cells against the map view's own cell drawing,
// the statics markers, and the rectangles it refuses.
#include "RunTbmap.h"

#include "../app/testsupport/TestWorld.h"
#include "StaticsFixtures.h"

#include "core/StaticsFiles.h"
#include "render/MapCellPainter.h"

#include <QPainter>

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;
using namespace tbtest;

namespace {

QImage decode(const fs::path& file) {
    const auto bytes = readBytes(file);
    QImage image;
    image.loadFromData(bytes.data(), int(bytes.size()), "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

// The pixels of `image` from (left, top), the size of `part`, equal `part`.
::testing::AssertionResult holdsAt(const QImage& image, const QImage& part, int left, int top) {
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            if (image.pixel(left + x, top + y) != part.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "differs at (" << left + x << ", " << top + y << ")";
    return ::testing::AssertionSuccess();
}

class RenderCommand : public ::testing::Test {
protected:
    RenderCommand() {
        writeGameDir(m_dir / "game");
        fs::create_directories(m_dir / "maps");
        makeTestMap().save(m_dir / "maps" / "map2.mul");
    }
    std::string map() const { return (m_dir / "maps" / "map2.mul").string(); }
    std::string game() const { return (m_dir / "game").string(); }
    std::string out() const { return (m_dir / "out.png").string(); }

    TempDir m_dir;
};

} // namespace

TEST_F(RenderCommand, CellsAreDrawnAsTheMapViewDrawsThem) {
    // Cells (1, 0)..(3, 1) at 20 pixels: the land tile, the tile with both kinds of art,
    // a tile without art, and the land tile at (0, 1) just left of the rectangle.
    auto r = runTbmap({"render", map(), game(), "1", "0", "3", "1", out(), "--cell", "20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QImage picture = decode(out());
    ASSERT_EQ(picture.size(), QSize(60, 40));
    const tb::ArtFiles art = makeTestArt();
    tbrender::MapCellPainter painter;
    painter.setArt(&art);
    EXPECT_TRUE(holdsAt(picture, painter.tilePicture(kLandTile, 20, 20), 0, 0));
    EXPECT_TRUE(holdsAt(picture, painter.tilePicture(kBothTile, 20, 20), 20, 0));
    EXPECT_EQ(picture.pixel(45, 5), qRgb(0, 0, 0)); // tile 0: black
    EXPECT_EQ(picture.pixel(5, 25), qRgb(0, 0, 0)); // (1, 1) is tile 0 as well

    // Without --cell a cell is 8 pixels; the corner cell is the texture tile's picture.
    r = runTbmap({"render", map(), game(), "0", "0", "$F", "0", out()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QImage small = decode(out());
    ASSERT_EQ(small.size(), QSize(16 * 8, 8));
    EXPECT_TRUE(holdsAt(small, painter.tilePicture(kTextureTile, 8, 8), 0, 0));
}

TEST_F(RenderCommand, StaticsMarkersFromThePairInTheGameFolder) {
    const tb::MapVariant& v = ilshenar();
    StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
    pair.setBlock(0, {{7, 2, 0, 5}, {9, 2, 0, -3}});
    writeBytes(m_dir / "game" / "staidx2.mul", pair.index);
    writeBytes(m_dir / "game" / "statics2.mul", pair.data);
    std::vector<unsigned char> radar = readBytes(m_dir / "game" / "radarcol.mul");
    radar.resize((0x4000 + 10) * 2, 0);
    radar[(0x4000 + 7) * 2 + 1] = 0x7C; // static 7: red
    writeBytes(m_dir / "game" / "radarcol.mul", radar);

    auto r =
        runTbmap({"render", map(), game(), "2", "0", "2", "0", out(), "--statics", "--cell", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("statics: 2 records from"), std::string::npos) << r.out;
    const QImage picture = decode(out());
    ASSERT_EQ(picture.size(), QSize(40, 40));
    // Half the cell, centred (10..29): outline, then the topmost static's colour inside.
    EXPECT_EQ(picture.pixel(20, 20), qRgb(248, 0, 0));
    EXPECT_EQ(picture.pixel(11, 11), qRgb(248, 0, 0));
    EXPECT_EQ(picture.pixel(10, 20), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(29, 29), qRgb(0, 0, 0));
    // Outside the marker the tile stays: its texture is uniform green.
    EXPECT_EQ(picture.pixel(9, 9), expectedColour(kBothTextureColour).rgb());
    EXPECT_EQ(picture.pixel(39, 0), expectedColour(kBothTextureColour).rgb());

    // Without --statics no marker is drawn.
    r = runTbmap({"render", map(), game(), "2", "0", "2", "0", out(), "--cell", "40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(decode(out()).pixel(20, 20), expectedColour(kBothTextureColour).rgb());
}

// The picture is drawn and encoded in bands of pixel rows: cell rows and statics markers
// cut by a band's edge come out as the map view draws them whole.
TEST_F(RenderCommand, APictureOfManyBandsIsTheWholeDrawing) {
    tb::MapImage tiles = makeTestMap();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 10; ++x)
            tiles.setCell(x, y, {std::uint16_t((x + 2 * y) % 4), std::int8_t(y)});
    tiles.save(map());
    const tb::MapVariant& v = ilshenar();
    StaticsPair pair(std::size_t(v.widthBlocks()) * std::size_t(v.heightBlocks()));
    pair.setBlock(1, {{7, 3, 4, 5}, {9, 6, 7, 1}}); // cells (3, 12) and (6, 15)
    writeBytes(m_dir / "game" / "staidx2.mul", pair.index);
    writeBytes(m_dir / "game" / "statics2.mul", pair.data);

    // 200 x 600 pixels: three bands of 256 rows, cutting cell rows 12 and 25.
    const auto r = runTbmap(
        {"render", map(), game(), "0", "0", "9", "29", out(), "--cell", "20", "--statics"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const tb::ArtFiles art = makeTestArt();
    const tb::StaticsLoad statics =
        tb::loadStatics({m_dir / "game" / "staidx2.mul", m_dir / "game" / "statics2.mul"}, v);
    tb::StaticRadarColours colours;
    colours.read(m_dir / "game" / "radarcol.mul");
    tbrender::MapCellPainter cells;
    cells.setMap(&tiles);
    cells.setArt(&art);
    tbrender::CellViewSwitches switches;
    switches.showStatics = true;
    cells.setSwitches(switches);
    cells.setStatics(&statics.statics, &colours);
    QImage whole(200, 600, QImage::Format_RGB32);
    const tbrender::PixelSurface surface = tbrender::PixelSurface::of(whole);
    {
        QPainter painter(&whole);
        for (int y = 0; y < 30; ++y)
            cells.drawRow(painter, &surface, y, 0, 9, QRect(0, y * 20, 20, 20), 20, -1);
    }
    const QImage picture = decode(out());
    ASSERT_EQ(picture.size(), whole.size());
    EXPECT_TRUE(holdsAt(picture, whole, 0, 0));
}

TEST_F(RenderCommand, RectanglesThatCannotBeDrawnAreRefused) {
    writeBytes(out(), {'o', 'l', 'd'});
    struct Refusal {
        std::vector<std::string> corners; // X1 Y1 X2 Y2, then more words
        std::string message;
    };
    const std::vector<Refusal> refusals{
        // The whole width at the default 8 pixels is 18432 pixels.
        {{"0", "0", "2303", "0"}, "the picture would be 18432 x 8 pixels, more than 16384"},
        {{"0", "0", "9", "1000", "--cell", "17"}, "the picture would be 170 x 17017 pixels"},
        {{"0", "0", "2304", "5"}, "X2 2304 is outside the map (0..2303)"},
        {{"0", "-1", "5", "5"}, "Y1 -1 is outside the map (0..1599)"},
        {{"5", "0", "4", "5"}, "X2 4 is less than X1 5"},
        {{"0", "7", "5", "6"}, "Y2 6 is less than Y1 7"},
        {{"0", "0", "5", "5", "--cell", "0"}, "--cell 0 is outside 1..2048"},
    };
    for (const Refusal& refusal : refusals) {
        std::vector<std::string> args{"render", map(), game()};
        args.insert(args.end(), refusal.corners.begin(), refusal.corners.begin() + 4);
        args.push_back(out());
        args.insert(args.end(), refusal.corners.begin() + 4, refusal.corners.end());
        const auto r = runTbmap(args);
        EXPECT_EQ(r.exitCode, 1) << refusal.message;
        EXPECT_NE(r.err.find(refusal.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(readBytes(out()), (std::vector<unsigned char>{'o', 'l', 'd'}));

    const auto r = runTbmap({"render", map(), game(), "0", "0", "5", out()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: tbmap render MAP GAMEDIR X1 Y1 X2 Y2 OUT.png [--cell N]"),
              std::string::npos)
        << r.err;
}
