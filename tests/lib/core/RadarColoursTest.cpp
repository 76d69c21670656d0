#include "core/RadarColours.h"

#include "shell/Errors.h"

#include "ArtFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tb::RadarColours;

namespace {

fs::path writeWords(const tbtest::TempDir& dir, const std::string& name,
                    const std::vector<std::uint16_t>& words) {
    std::vector<unsigned char> bytes;
    tbtest::appendWords(bytes, words);
    tbtest::writeBytes(dir / name, bytes);
    return dir / name;
}

} // namespace

TEST(RadarColours, StartAllBlack) {
    const RadarColours radar;
    for (int id : {0, 1, 16382, 16383, 32767})
        EXPECT_EQ(radar.colour(id), 0) << id;
}

TEST(RadarColours, ReadsTheFirst16383WordsOnly) {
    tbtest::TempDir dir;
    const auto words = tbtest::countingWords(20000, 0x10);
    RadarColours radar;
    radar.read(writeWords(dir, "radarcol.mul", words));
    EXPECT_EQ(radar.colour(0), 0x10);
    EXPECT_EQ(radar.colour(1), 0x11);
    EXPECT_EQ(radar.colour(16382), words[16382]);
    // Tiles 16383 and up are never read from the file.
    EXPECT_NE(words[16383], 0);
    EXPECT_EQ(radar.colour(16383), 0);
    EXPECT_EQ(radar.colour(19999), 0);
    EXPECT_EQ(radar.colour(32767), 0);
    // Ids without an entry are black.
    EXPECT_EQ(radar.colour(32768), 0);
    EXPECT_EQ(radar.colour(65535), 0);
    EXPECT_EQ(radar.colour(-1), 0);
}

TEST(RadarColours, ExactlyEnoughWordsIsEnough) {
    tbtest::TempDir dir;
    RadarColours radar;
    EXPECT_NO_THROW(radar.read(writeWords(dir, "radarcol.mul", tbtest::countingWords(16383))));
    EXPECT_EQ(radar.colour(16382), 16383);
}

TEST(RadarColours, AnotherFileReplacesTheColours) {
    tbtest::TempDir dir;
    RadarColours radar;
    radar.read(writeWords(dir, "a.mul", std::vector<std::uint16_t>(16383, 0x1111)));
    radar.read(writeWords(dir, "b.mul", std::vector<std::uint16_t>(16383, 0x2222)));
    EXPECT_EQ(radar.colour(0), 0x2222);
    EXPECT_EQ(radar.colour(16382), 0x2222);
}

TEST(RadarColours, AShortFileThrowsAndKeepsTheColoursReadSoFar) {
    tbtest::TempDir dir;
    RadarColours radar;
    radar.read(writeWords(dir, "full.mul", std::vector<std::uint16_t>(16383, 0x1111)));
    std::vector<unsigned char> bytes;
    tbtest::appendWords(bytes, std::vector<std::uint16_t>(100, 0x2222));
    bytes.push_back(0x33); // half a word
    tbtest::writeBytes(dir / "radarcol.mul", bytes);
    try {
        radar.read(dir / "radarcol.mul");
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "radarcol.mul").string()), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(radar.colour(0), 0x2222);
    EXPECT_EQ(radar.colour(99), 0x2222);
    EXPECT_EQ(radar.colour(100), 0x1111);
    EXPECT_EQ(radar.colour(16382), 0x1111);
}

TEST(RadarColours, AMissingFileThrowsAndChangesNothing) {
    tbtest::TempDir dir;
    RadarColours radar;
    radar.read(writeWords(dir, "full.mul", std::vector<std::uint16_t>(16383, 0x1111)));
    EXPECT_THROW(radar.read(dir / "radarcol.mul"), tb::FileError);
    fs::create_directory(dir / "folder.mul");
    EXPECT_THROW(radar.read(dir / "folder.mul"), tb::FileError);
    EXPECT_EQ(radar.colour(0), 0x1111);
    EXPECT_EQ(radar.colour(16382), 0x1111);
}
