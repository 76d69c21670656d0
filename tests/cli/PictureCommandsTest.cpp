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
    for (auto [x, y] : {std::pair{3, 9}, {1447, 1447}})
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
    EXPECT_EQ(altitudeIn(tbtest::readBytes(map), 3, 9), -128);

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
         {std::vector<std::string>{"heightmap", "export", map},
          {"heightmap", "import", map, path("small.png"), "--wet"}}) {
        r = runTbmap(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("usage: tbmap heightmap export MAP OUT.png | import MAP IN.png"),
                  std::string::npos)
            << r.err;
    }
}

// The pixels themselves are checked in the library's tests; here, which statics are read.
TEST_F(PictureCommands, RadarFindsTheStaticsBesideTheMapElseInTheGameFolder) {
    std::fill(m_map.begin(), m_map.end(), 0);
    const std::string map = writeMap();
    std::vector<unsigned char> radar((0x4000 + 100) * 2);
    for (std::size_t i = 0; i < radar.size(); ++i)
        radar[i] = static_cast<unsigned char>(i * 37 + 11);
    tbtest::writeBytes(m_dir / "game" / "radarcol.mul", radar);
    const std::string game = (m_dir / "game").string();
    auto colour = [&](std::size_t entry) {
        const int w = radar[entry * 2] | (radar[entry * 2 + 1] << 8);
        return qRgb(((w >> 10) & 31) * 8, ((w >> 5) & 31) * 8, (w & 31) * 8);
    };

    // Without --statics no statics are needed; with it, a pair must be found.
    auto r = runTbmap({"radar", map, game, path("radar.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(decode(path("radar.png")).pixel(13, 20), colour(0));
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
    EXPECT_EQ(decode(path("radar.png")).pixel(13, 20), colour(0x4000 + 40));

    // A damaged pair beside the map comes first: what is sound shows, with one warning.
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
    const QImage picture = decode(path("radar.png"));
    EXPECT_EQ(picture.pixel(0, 0), colour(0x4000 + 42));
    EXPECT_EQ(picture.pixel(13, 20), colour(0));
}
