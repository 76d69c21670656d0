// hues.mul read as the groups it is made of, and a pixel hued whole or only where grey.
#include "core/HueFile.h"

#include "core/TileData.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

namespace {

// A hues.mul of `groups` groups; colour i of hue h is h * 32 + i, its name "hue h".
std::vector<unsigned char> huesBytes(int groups) {
    std::vector<unsigned char> bytes;
    const auto word = [&](int v) {
        bytes.push_back(static_cast<unsigned char>(v));
        bytes.push_back(static_cast<unsigned char>(v >> 8));
    };
    for (int g = 0; g < groups; ++g) {
        bytes.insert(bytes.end(), {0xEF, 0xBE, 0xAD, 0xDE}); // the header, ignored
        for (int e = 0; e < 8; ++e) {
            const int hue = g * 8 + e + 1;
            for (int i = 0; i < 32; ++i)
                word(hue * 32 + i);
            word(1000 + hue); // start
            word(2000 + hue); // end
            std::string name = "hue " + std::to_string(hue);
            name.resize(20, '\0');
            bytes.insert(bytes.end(), name.begin(), name.end());
        }
    }
    return bytes;
}

} // namespace

TEST(HueFile, HueNumbersCountFromOneAcrossGroupsOfEight) {
    const tb::HueFile hues = tb::HueFile::fromBytes(huesBytes(2), "hues.mul");
    EXPECT_EQ(hues.count(), 16);
    EXPECT_EQ(hues.entry(0), nullptr);
    EXPECT_EQ(hues.entry(17), nullptr);
    for (const int h : {1, 8, 9, 16}) {
        const tb::HueEntry* entry = hues.entry(std::uint16_t(h));
        ASSERT_NE(entry, nullptr) << h;
        EXPECT_EQ(entry->colours[0], h * 32) << h;
        EXPECT_EQ(entry->colours[31], h * 32 + 31) << h;
        EXPECT_EQ(entry->start, 1000 + h);
        EXPECT_EQ(entry->end, 2000 + h);
        EXPECT_EQ(entry->name, "hue " + std::to_string(h));
    }
    // The partial bit is no part of the number.
    EXPECT_EQ(hues.entry(0x8000 | 9), hues.entry(9));
}

TEST(HueFile, ASizeOfNoWholeGroupIsRefusedNamingTheFileAndAMissingFileIsNone) {
    std::vector<unsigned char> bytes = huesBytes(1);
    bytes.pop_back();
    try {
        tb::HueFile::fromBytes(bytes, "/game/hues.mul");
        FAIL() << "a cut group was read";
    } catch (const tb::HueFileError& e) {
        EXPECT_NE(std::string(e.what()).find("\"/game/hues.mul\""), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("707 bytes"), std::string::npos);
    }
    tbtest::TempDir dir;
    EXPECT_FALSE(tb::HueFile::loadIfPresent(dir / "hues.mul").has_value());
    tbtest::writeBytes(dir / "hues.mul", huesBytes(3));
    const auto hues = tb::HueFile::loadIfPresent(dir / "hues.mul");
    ASSERT_TRUE(hues.has_value());
    EXPECT_EQ(hues->count(), 24);
    EXPECT_THROW(tb::HueFile::load(dir / "none.mul"), tb::FileError);
}

TEST(HuePixel, TheRedChannelPicksTheColourAndPartialHuesTakeOnlyGreys) {
    tb::HueEntry hue;
    for (int i = 0; i < 32; ++i)
        hue.colours[std::size_t(i)] = std::uint16_t(i); // blues 0..31
    const std::uint16_t grey = 0x8000 | (12 << 10) | (12 << 5) | 12;
    const std::uint16_t orange = 0x8000 | (30 << 10) | (15 << 5) | 2;
    // Hued whole: the red channel (12, 30) picks the colour; bit 15 stays.
    EXPECT_EQ(tb::huePixel(grey, hue, false), 0x8000 | 12);
    EXPECT_EQ(tb::huePixel(orange, hue, false), 0x8000 | 30);
    EXPECT_EQ(tb::huePixel(0x7C00, hue, false), 31);
    // Partly: the grey pixel takes the hue, the orange one keeps its colour.
    EXPECT_EQ(tb::huePixel(grey, hue, true), 0x8000 | 12);
    EXPECT_EQ(tb::huePixel(orange, hue, true), orange);
    // Partly by the tiledata flag or by the record's bit.
    EXPECT_TRUE(tb::huesOnlyGrey(tb::tileflag::PartialHue, 5));
    EXPECT_TRUE(tb::huesOnlyGrey(0, 0x8005));
    EXPECT_FALSE(tb::huesOnlyGrey(tb::tileflag::Background, 5));
    EXPECT_EQ(tb::hueNumber(0x8005), 5);
}
