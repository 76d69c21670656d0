// tbmap overview: the radar picture of a map, one pixel per block, decoded and checked pixel
// by pixel against the bytes the test itself wrote.
#include "RunTbmap.h"

#include "TestPaths.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

// Ilshenar: 2304 x 1600 cells, 288 x 200 blocks of 196 bytes, stored column by column.
constexpr int kWidthBlocks = 288;
constexpr int kHeightBlocks = 200;
constexpr std::size_t kMapSize = 11'289'600;

// The radar colour file entry of tile `id`: a different colour for nearly every tile, with
// bit 15 set on some so that the conversion must ignore it.
std::uint16_t radarWord(int id) {
    return std::uint16_t((std::uint32_t(id + 1) * 2654435761u) >> 9);
}

// The picture colour of a 15-bit word: each 5-bit channel times 8.
QRgb expectedColour(std::uint16_t word) {
    return qRgb(((word >> 10) & 31) * 8, ((word >> 5) & 31) * 8, (word & 31) * 8);
}

class OverviewCommand : public ::testing::Test {
protected:
    OverviewCommand() : m_map(kMapSize, 0) {
        // Every one of the 32768 entries written, so nothing past 16382 can be black by
        // accident of a short file.
        std::vector<unsigned char> radar;
        for (int id = 0; id < 32768; ++id) {
            radar.push_back(static_cast<unsigned char>(radarWord(id) & 0xFF));
            radar.push_back(static_cast<unsigned char>(radarWord(id) >> 8));
        }
        fs::create_directories(m_dir / "game");
        tbtest::writeBytes(m_dir / "game" / "radarcol.mul", radar);
    }

    // Cell (cx, cy) of block (bx, by): tile id little-endian, then the altitude.
    void setCell(int bx, int by, int cx, int cy, std::uint16_t tile) {
        const std::size_t offset = (std::size_t(bx) * kHeightBlocks + std::size_t(by)) * 196 + 4 +
                                   std::size_t(cy) * 24 + std::size_t(cx) * 3;
        m_map[offset] = static_cast<unsigned char>(tile & 0xFF);
        m_map[offset + 1] = static_cast<unsigned char>(tile >> 8);
        m_map[offset + 2] = 0x7F;
    }

    std::string writeMap(const std::string& name = "map2.mul") {
        tbtest::writeBytes(m_dir / name, m_map);
        return (m_dir / name).string();
    }
    std::string gameDir() const { return (m_dir / "game").string(); }
    std::string out() const { return (m_dir / "overview.png").string(); }

    tbtest::TempDir m_dir;
    std::vector<unsigned char> m_map;
};

} // namespace

TEST_F(OverviewCommand, OnePixelPerBlockFromCellOneOne) {
    // Block (3, 4) is sampled on tile 0 although all its other cells hold tile 500.
    for (int cy = 0; cy < 8; ++cy)
        for (int cx = 0; cx < 8; ++cx)
            if (cx != 1 || cy != 1)
                setCell(3, 4, cx, cy, 500);
    setCell(10, 20, 1, 1, 0x1234);
    setCell(10, 20, 0, 0, 77);    // the corner is not the sample
    setCell(287, 199, 1, 1, 100); // the last block, bottom right
    setCell(287, 0, 1, 1, 16382); // the last tile with a radar colour
    setCell(0, 199, 1, 1, 16383); // no radar colour: black
    setCell(1, 1, 1, 1, 40000);   // likewise
    setCell(50, 60, 1, 1, 0xFFFF);
    const auto r = runTbmap({"overview", writeMap(), gameDir(), out()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;

    const auto bytes = tbtest::readBytes(out());
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    QImage png;
    ASSERT_TRUE(png.loadFromData(bytes.data(), int(bytes.size()), "PNG"));
    ASSERT_EQ(png.width(), kWidthBlocks);
    ASSERT_EQ(png.height(), kHeightBlocks);

    ASSERT_NE(expectedColour(radarWord(0)), expectedColour(radarWord(500)));
    ASSERT_NE(expectedColour(radarWord(0x1234)), expectedColour(radarWord(77)));
    ASSERT_NE(expectedColour(radarWord(16383)), qRgb(0, 0, 0));
    ASSERT_NE(expectedColour(radarWord(0)), qRgb(0, 0, 0));
    EXPECT_EQ(png.pixel(3, 4), expectedColour(radarWord(0)));
    EXPECT_EQ(png.pixel(10, 20), expectedColour(radarWord(0x1234)));
    EXPECT_EQ(png.pixel(287, 199), expectedColour(radarWord(100)));
    EXPECT_EQ(png.pixel(287, 0), expectedColour(radarWord(16382)));
    EXPECT_EQ(png.pixel(0, 199), qRgb(0, 0, 0));
    EXPECT_EQ(png.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(png.pixel(50, 60), qRgb(0, 0, 0));

    // Every other pixel is the colour of tile 0, so no block was sampled twice or misplaced.
    int wrong = 0;
    for (int py = 0; py < kHeightBlocks; ++py)
        for (int px = 0; px < kWidthBlocks; ++px) {
            const bool special = (px == 10 && py == 20) || (px == 287 && py == 199) ||
                                 (px == 287 && py == 0) || (px == 0 && py == 199) ||
                                 (px == 1 && py == 1) || (px == 50 && py == 60);
            if (!special)
                wrong += png.pixel(px, py) != expectedColour(radarWord(0));
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(OverviewCommand, FailuresWriteNothingAndKeepAnOldPicture) {
    tbtest::writeBytes(out(), {'o', 'l', 'd'});
    const std::vector<unsigned char> old{'o', 'l', 'd'};

    // A map of unknown size (or name) has no blocks to show.
    m_map.resize(kMapSize - 196);
    auto r = runTbmap({"overview", writeMap(), gameDir(), out()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a known map file"), std::string::npos) << r.err;
    m_map.resize(kMapSize);
    r = runTbmap({"overview", writeMap("terrain.mul"), gameDir(), out()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a known map file"), std::string::npos) << r.err;

    // No radar colours, or too few of them.
    r = runTbmap({"overview", writeMap(), (m_dir / "nowhere").string(), out()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("radarcol.mul"), std::string::npos) << r.err;
    tbtest::writeBytes(m_dir / "game" / "radarcol.mul", std::vector<unsigned char>(1000, 0x11));
    r = runTbmap({"overview", writeMap(), gameDir(), out()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("radarcol.mul"), std::string::npos) << r.err;

    // A missing map file.
    r = runTbmap({"overview", (m_dir / "missing" / "map2.mul").string(), gameDir(), out()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.empty());

    EXPECT_EQ(tbtest::readBytes(out()), old);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"overview"},
          {"overview", writeMap(), gameDir()},
          {"overview", writeMap(), gameDir(), out(), "extra"}}) {
        r = runTbmap(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("usage: tbmap overview MAP GAMEDIR OUT.png"), std::string::npos)
            << r.err;
    }
    EXPECT_EQ(tbtest::readBytes(out()), old);
}
