// tbmap info and tbmap cell, run as a user runs them.
#include "RunTbmap.h"

#include "core/MapImage.h"
#include "demo/DemoDataSet.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

// A file of `size` bytes that occupies no disk space: info reads only the size.
fs::path sparseFile(const tbtest::TempDir& dir, const std::string& name, std::uintmax_t size) {
    const fs::path path = dir / name;
    tbtest::writeBytes(path, {});
    fs::resize_file(path, size);
    return path;
}

} // namespace

TEST(InfoCommand, NamesKnownMapsByNameAndSize) {
    struct Case {
        const char* name;
        std::uintmax_t size;
        const char* expected;
    };
    const Case cases[] = {
        {"map0.mul", 77'070'336, "version: Felucca+Trammel\nsize: 6144x4096\n"},
        {"MAP0.MUL", 89'915'392, "version: Mondains Legacy\nsize: 7168x4096\n"},
        {"map3.mul", 16'056'320, "version: Malas\nsize: 2560x2048\n"},
        {"map5.mul", 16'056'320, "version: Ter Mur\nsize: 1280x4096\n"},
    };
    for (const Case& c : cases) {
        tbtest::TempDir own;
        const auto r = runTbmap({"info", sparseFile(own, c.name, c.size).string()});
        EXPECT_EQ(r.exitCode, 0) << c.name << r.err;
        EXPECT_EQ(r.out, c.expected) << c.name;
    }
}

TEST(InfoCommand, UnknownSizeOrNameShowsNoneTwiceAndFailsSayingWhy) {
    tbtest::TempDir dir;
    const std::pair<fs::path, std::string> files[] = {
        {sparseFile(dir, "map1.mul", 77'070'336), "no map variant is 77070336 bytes long"},
        {sparseFile(dir, "map2.mul", 100), "no map variant is 100 bytes long"},
        {sparseFile(dir, "mapx.mul", 11'289'600), "its name is none of map0.mul .. map5.mul"}};
    for (const auto& [path, why] : files) {
        const auto r = runTbmap({"info", path.string()});
        EXPECT_EQ(r.exitCode, 1) << path;
        EXPECT_EQ(r.out, "version: None\nsize: None\n") << path;
        EXPECT_EQ(
            r.err.rfind("tbmap: \"" + path.string() + "\" is not a known map file: " + why, 0), 0u)
            << r.err;
    }
}

TEST(InfoCommand, MissingFileFailsAndWrongCallsShowUsage) {
    tbtest::TempDir dir;
    const auto missing = runTbmap({"info", (dir / "map0.mul").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("tbmap: ", 0), 0u) << missing.err;
    EXPECT_NE(missing.err.find("map0.mul"), std::string::npos) << missing.err;

    const auto none = runTbmap({"info"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.err, "usage: tbmap info MAP\n");
    EXPECT_EQ(runTbmap({"info", "a", "b"}).exitCode, 2);
    EXPECT_EQ(runTbmap({}).exitCode, 2);
    EXPECT_EQ(runTbmap({"no-such-command"}).exitCode, 2);
}

class CellCommand : public ::testing::Test {
protected:
    // A small generated world (Tokuno, 1448 x 1448) with varied tiles and altitudes.
    // A failure here is reported by every test (SetUp), not turned into skipped tests.
    static void SetUpTestSuite() {
        try {
            s_dir = new tbtest::TempDir;
            tb::demo::writeDemoDataSet(s_dir->path(),
                                       {3, tb::demo::demoVariant("map4.mul", {1448, 1448})});
        } catch (const std::exception& e) {
            s_error = e.what();
        }
    }
    void SetUp() override { ASSERT_EQ(s_error, ""); }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static fs::path mapPath() { return *s_dir / "map4.mul"; }
    static tbtest::TempDir* s_dir;
    static std::string s_error;
};
tbtest::TempDir* CellCommand::s_dir = nullptr;
std::string CellCommand::s_error;

TEST_F(CellCommand, PrintsWhatTheLibraryReads) {
    const tb::MapImage map = tb::MapImage::load(mapPath());
    ASSERT_TRUE(map.hasGeometry());
    std::vector<std::pair<int, int>> cells = {{0, 0}, {7, 0},     {0, 8},
                                              {8, 0}, {724, 724}, {1447, 1447}};
    // Add a mountain cell and an inland cell with signed altitudes both ways, so a sign
    // or byte-order mistake would show.
    for (int x = 0, found = 0; x < map.width() && found != 3; x += 7) {
        for (int y = 0; y < map.height() && found != 3; y += 7) {
            const int altitude = map.cell(x, y).altitude;
            if (altitude > 40 && !(found & 1)) {
                cells.emplace_back(x, y);
                found |= 1;
            }
            if (altitude < 0 && x > 300 && !(found & 2)) {
                cells.emplace_back(x, y);
                found |= 2;
            }
        }
    }
    ASSERT_EQ(cells.size(), 8u) << "the world should have mountains and sea";
    for (auto [x, y] : cells) {
        const tb::MapCell c = map.cell(x, y);
        const auto r = runTbmap({"cell", mapPath().string(), std::to_string(x), std::to_string(y)});
        EXPECT_EQ(r.exitCode, 0) << x << "," << y << r.err;
        EXPECT_EQ(r.out, std::to_string(c.tileId) + " " + std::to_string(int(c.altitude)) + "\n")
            << x << "," << y;
    }
    const tb::MapCell c = map.cell(16, 26);
    EXPECT_EQ(runTbmap({"cell", mapPath().string(), "$10", "$1A"}).out,
              std::to_string(c.tileId) + " " + std::to_string(int(c.altitude)) + "\n");
}

TEST_F(CellCommand, OutsideTheMapFails) {
    for (auto [x, y] : {std::pair{"1448", "0"}, {"0", "1448"}, {"-1", "0"}, {"0", "-1"}}) {
        const auto r = runTbmap({"cell", mapPath().string(), x, y});
        EXPECT_EQ(r.exitCode, 1) << x << "," << y;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("tbmap: ", 0), 0u) << r.err;
    }
}

TEST_F(CellCommand, UnknownMapsAndBadNumbersFailWrongCallsShowUsage) {
    tbtest::TempDir dir;
    // A map file whose size names no variant has no geometry: no cell is guessed.
    tbtest::writeBytes(dir / "map2.mul", std::vector<unsigned char>(196 * 4, 7));
    const auto unknown = runTbmap({"cell", (dir / "map2.mul").string(), "0", "0"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(runTbmap({"cell", (dir / "map0.mul").string(), "0", "0"}).exitCode, 1);

    const auto bad = runTbmap({"cell", mapPath().string(), "x1", "0"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("'x1' is not a valid integer value"), std::string::npos) << bad.err;

    const auto usage = runTbmap({"cell", mapPath().string(), "0"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "usage: tbmap cell MAP X Y\n");
    EXPECT_EQ(runTbmap({"cell", mapPath().string(), "0", "0", "0"}).exitCode, 2);
}
