// Maps in folders whose names are not ASCII: paths reach the system as its own characters
// (UTF-8 on Linux, wide strings on Windows), and messages name them in UTF-8.
#include "core/MapImage.h"

#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace fs = std::filesystem;
using tb::MapCell;
using tb::MapImage;

namespace {

constexpr std::size_t kTokunoSize = 6'421'156; // map4.mul, 1448 x 1448

std::string utf8(const std::u8string& text) {
    return {text.begin(), text.end()};
}

} // namespace

TEST(MapImageFolderNames, SavesReplacesAndReadsBackAMapInAFolderWithANonAsciiName) {
    tbtest::TempDir tmp;
    const fs::path folder = tmp.path() / u8"Übersee" / u8"地图";
    fs::create_directories(folder);
    const fs::path path = folder / u8"map4.mul";

    std::mt19937 rng(16);
    std::vector<unsigned char> bytes(kTokunoSize);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(rng());
    MapImage(bytes, tb::identifyMapVariant("map4.mul", kTokunoSize)).save(path);

    MapImage map = MapImage::load(path);
    ASSERT_TRUE(map.hasGeometry()) << "identified by its name and size";
    EXPECT_EQ(map.bytes(), bytes);
    map.setCell(1447, 0, MapCell{0x3FFF, -100});
    map.save(path); // replaces the file written above

    const MapImage back = MapImage::load(path);
    EXPECT_EQ(back.cell(1447, 0), (MapCell{0x3FFF, -100}));
    EXPECT_EQ(back.bytes(), map.bytes());
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<fs::path>{u8"map4.mul"}) << "no temporary file left";

    // A failure names the folder as the user typed it.
    const fs::path named = fs::path(u8"Übersee") / u8"地图" / u8"Straße";
    try {
        map.save(tmp.path() / named / u8"map4.mul");
        FAIL() << "saved into a missing folder";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(utf8(named.u8string())), std::string::npos)
            << e.what();
    }
}
