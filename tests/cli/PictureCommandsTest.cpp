// tbmap heightmap and tbmap radar, run as a user runs them, their pictures decoded here.
#include "RunTbmap.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

// Tokuno, map4.mul: 1448 x 1448 cells, 181 x 181 blocks stored column by column.
constexpr int kSide = 1448;
constexpr int kBlocks = 181;
constexpr std::size_t kMapSize = 6'421'156;

std::size_t cellOffset(int x, int y) {
    return (std::size_t(x / 8) * kBlocks + std::size_t(y / 8)) * 196 + 4 + std::size_t(y % 8) * 24 +
           std::size_t(x % 8) * 3;
}

class PictureCommands : public ::testing::Test {
protected:
    PictureCommands() : m_map(kMapSize) {
        std::mt19937 random(3);
        for (auto& b : m_map)
            b = static_cast<unsigned char>(random());
        fs::create_directories(m_dir / "maps");
        fs::create_directories(m_dir / "game");
    }
    std::string writeMap() {
        tbtest::writeBytes(mapPath(), m_map);
        return mapPath();
    }
    std::string mapPath() const { return (m_dir / "maps" / "map4.mul").string(); }
    std::string path(const char* name) const { return (m_dir / name).string(); }
    QString qpath(const char* name) const { return QString::fromStdString(path(name)); }
    int altitudeIn(const std::vector<unsigned char>& map, int x, int y) const {
        return std::int8_t(map[cellOffset(x, y) + 2]);
    }

    tbtest::TempDir m_dir;
    std::vector<unsigned char> m_map;
};

QImage decode(const std::string& file) {
    const auto bytes = tbtest::readBytes(file);
    QImage image;
    image.loadFromData(bytes.data(), int(bytes.size()), "PNG");
    return image;
}

} // namespace

TEST_F(PictureCommands, HeightmapRoundTripEditAndDryRun) {
    const std::string map = writeMap();
    auto r = runTbmap({"heightmap", "export", map, path("h.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto png = tbtest::readBytes(path("h.png"));
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 0); // colour type: greyscale
    QImage grey = decode(path("h.png"));
    ASSERT_EQ(grey.size(), QSize(kSide, kSide));
    ASSERT_EQ(grey.format(), QImage::Format_Grayscale8);
    for (auto [x, y] : {std::pair{0, 0}, {3, 9}, {9, 3}, {1447, 0}, {0, 1447}, {1447, 1447}})
        EXPECT_EQ(grey.constScanLine(y)[x], altitudeIn(m_map, x, y) + 128) << x << ", " << y;

    // Importing what was exported changes nothing.
    r = runTbmap({"heightmap", "import", map, path("h.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "cells changed: 0\n");
    EXPECT_EQ(tbtest::readBytes(map), m_map);

    // Two cells edited: a dry run counts them and writes nothing.
    grey.scanLine(9)[3] = 0;
    grey.scanLine(1447)[1446] = 255;
    ASSERT_NE(altitudeIn(m_map, 3, 9), -128);
    ASSERT_NE(altitudeIn(m_map, 1446, 1447), 127);
    ASSERT_TRUE(grey.save(qpath("edited.png"), "PNG"));
    r = runTbmap({"heightmap", "import", map, path("edited.png"), "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "cells that would change: 2\n");
    EXPECT_EQ(tbtest::readBytes(map), m_map);
    r = runTbmap({"heightmap", "import", map, path("edited.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "cells changed: 2\n");
    const auto after = tbtest::readBytes(map);
    EXPECT_EQ(altitudeIn(after, 3, 9), -128);
    EXPECT_EQ(altitudeIn(after, 1446, 1447), 127);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < after.size(); ++i)
        differing += after[i] != m_map[i];
    EXPECT_EQ(differing, 2u);

    // The same picture in colour is read by its luminance: greys stay what they are.
    ASSERT_TRUE(grey.convertToFormat(QImage::Format_RGB32).save(qpath("colour.png"), "PNG"));
    r = runTbmap({"heightmap", "import", map, path("colour.png"), "--dry-run"});
    EXPECT_EQ(r.out, "cells that would change: 0\n") << r.err;
}

TEST_F(PictureCommands, HeightmapOfTheWrongSizeOrNoPictureIsRefused) {
    const std::string map = writeMap();
    ASSERT_TRUE(QImage(kSide, kSide - 8, QImage::Format_Grayscale8).save(qpath("small.png")));
    auto r = runTbmap({"heightmap", "import", map, path("small.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("1448 x 1440"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1448 x 1448"), std::string::npos) << r.err;

    tbtest::writeBytes(path("text.png"), {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    r = runTbmap({"heightmap", "import", map, path("text.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(path("text.png")), std::string::npos) << r.err;
    r = runTbmap({"heightmap", "import", map, path("missing.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(path("missing.png")), std::string::npos) << r.err;
    EXPECT_EQ(tbtest::readBytes(map), m_map);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"heightmap"},
          {"heightmap", "export", map},
          {"heightmap", "import", map, path("small.png"), "--wet"},
          {"heightmap", "rotate", map, path("small.png")}}) {
        r = runTbmap(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("usage: tbmap heightmap export MAP OUT.png | import MAP IN.png"),
                  std::string::npos)
            << r.err;
    }
}

TEST_F(PictureCommands, RadarShowsLandAndTopmostStatics) {
    std::fill(m_map.begin(), m_map.end(), 0);
    auto setTile = [&](int x, int y, std::uint16_t tile) {
        m_map[cellOffset(x, y)] = static_cast<unsigned char>(tile);
        m_map[cellOffset(x, y) + 1] = static_cast<unsigned char>(tile >> 8);
    };
    setTile(10, 20, 500);
    setTile(13, 20, 501);
    const std::string map = writeMap();
    std::vector<unsigned char> radar;
    auto word = [](int n) { return std::uint16_t(((n + 1) * 40503u) >> 1); };
    for (int n = 0; n < 0x4000 + 100; ++n) {
        radar.push_back(static_cast<unsigned char>(word(n)));
        radar.push_back(static_cast<unsigned char>(word(n) >> 8));
    }
    tbtest::writeBytes(m_dir / "game" / "radarcol.mul", radar);
    const std::string game = (m_dir / "game").string();
    auto colour = [](std::uint16_t w) {
        return qRgb(((w >> 10) & 31) * 8, ((w >> 5) & 31) * 8, (w & 31) * 8);
    };

    auto r = runTbmap({"radar", map, game, path("radar.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QImage picture = decode(path("radar.png"));
    ASSERT_EQ(picture.size(), QSize(kSide, kSide));
    EXPECT_EQ(picture.pixel(10, 20), colour(word(500)));
    EXPECT_EQ(picture.pixel(13, 20), colour(word(501)));
    EXPECT_EQ(picture.pixel(1447, 1447), colour(word(0)));

    // --statics needs a pair of files; none is found.
    tbtest::writeBytes(path("radar.png"), {'o', 'l', 'd'});
    r = runTbmap({"radar", map, game, path("radar.png"), "--statics"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("staidx4.mul"), std::string::npos) << r.err;
    EXPECT_EQ(tbtest::readBytes(path("radar.png")), (std::vector<unsigned char>{'o', 'l', 'd'}));

    // A pair in the game folder: cell (13, 20) of block (1, 2) shows its topmost static.
    tbtest::StaticsPair pair(kBlocks * kBlocks);
    pair.setBlock(1 * kBlocks + 2, {{40, 5, 4, 9}, {41, 5, 4, 2}});
    tbtest::writeBytes(m_dir / "game" / "staidx4.mul", pair.index);
    tbtest::writeBytes(m_dir / "game" / "statics4.mul", pair.data);
    r = runTbmap({"radar", "--statics", map, game, path("radar.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("statics: 2 records from"), std::string::npos) << r.out;
    picture = decode(path("radar.png"));
    EXPECT_EQ(picture.pixel(13, 20), colour(word(0x4000 + 40)));
    EXPECT_EQ(picture.pixel(10, 20), colour(word(500)));

    // A damaged pair beside the map is used before the game folder's, with one warning.
    tbtest::StaticsPair damaged(kBlocks * kBlocks);
    damaged.setBlock(0, {{42, 0, 0, 0}});
    damaged.setEntry(1 * kBlocks + 2, 0, 8);
    damaged.setEntry(5, 700, 7);
    tbtest::writeBytes(m_dir / "maps" / "staidx4.mul", damaged.index);
    tbtest::writeBytes(m_dir / "maps" / "statics4.mul", damaged.data);
    r = runTbmap({"radar", map, game, path("radar.png"), "--statics"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.rfind("tbmap: warning: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find((m_dir / "maps" / "staidx4.mul").string()), std::string::npos) << r.err;
    picture = decode(path("radar.png"));
    EXPECT_EQ(picture.pixel(0, 0), colour(word(0x4000 + 42)));
    EXPECT_EQ(picture.pixel(13, 20), colour(word(501)));

    r = runTbmap({"radar", map, game});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: tbmap radar MAP GAMEDIR OUT.png [--statics]"), std::string::npos);
}
