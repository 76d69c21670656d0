// tbmap convert, and the map commands on UOP containers, run as a user runs them.
#include "RunTbmap.h"

#include "core/MapImage.h"
#include "core/UopNames.h"

#include "TestPaths.h"
#include "UopFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

constexpr std::size_t kIlshenarSize = 11'289'600;

std::string cellOf(const fs::path& map, int x, int y) {
    return runTbmap({"cell", map.string(), std::to_string(x), std::to_string(y)}).out;
}

} // namespace

TEST(ConvertCommand, BothWaysGiveBackTheMulAndTheMapCommandsReadTheContainer) {
    tbtest::TempDir dir;
    const auto map = uoptest::randomBytes(kIlshenarSize, 11);
    tbtest::writeBytes(dir / "map2.mul", map);
    const fs::path uop = dir / "map2LegacyMUL.uop";

    auto r = runTbmap({"convert", (dir / "map2.mul").string(), uop.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(runTbmap({"info", uop.string()}).out, "version: Ilshenar\nsize: 2304x1600\n");
    EXPECT_EQ(cellOf(uop, 2303, 1599), cellOf(dir / "map2.mul", 2303, 1599));
    fs::create_directory(dir / "back");
    r = runTbmap({"convert", uop.string(), (dir / "back" / "map2.mul").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(tbtest::readBytes(dir / "back" / "map2.mul") == map);

    // A patch writes back the container it read.
    std::ofstream(dir / "p.qvp", std::ios::binary) << "[0]\r\nX=5\r\nY=6\r\nZ=-7\r\nID=01 D3\r\n";
    r = runTbmap({"patch", uop.string(), (dir / "p.qvp").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(cellOf(uop, 5, 6), "467 -7\n");
    EXPECT_EQ(tb::MapImage::load(uop).format(), tb::MapFileFormat::Uop);
}

TEST(ConvertCommand, TheFacetComesFromTheContainersNameOrFromTheOption) {
    tbtest::TempDir dir;
    const auto map = uoptest::randomBytes(kIlshenarSize, 12);
    tbtest::writeBytes(dir / "map2.mul", map);

    auto r = runTbmap({"convert", (dir / "map2.mul").string(), (dir / "ilshenar.uop").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("ilshenar.uop"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--facet"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "ilshenar.uop"));

    r = runTbmap(
        {"convert", (dir / "map2.mul").string(), (dir / "ilshenar.uop").string(), "--facet", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The entries carry facet 2's names.
    const tb::MapImage image = tb::MapImage::loadContainer(dir / "ilshenar.uop", 2);
    EXPECT_EQ(image.variant()->caption, "Ilshenar");
    EXPECT_THROW(tb::MapImage::loadContainer(dir / "ilshenar.uop", 3), std::exception);

    EXPECT_EQ(runTbmap({"convert", (dir / "map2.mul").string(), (dir / "x.bin").string()}).exitCode,
              1);
    EXPECT_EQ(runTbmap({"convert", (dir / "map2.mul").string(), (dir / "x.uop").string(), "--facet",
                        "12"})
                  .exitCode,
              1);
    EXPECT_EQ(runTbmap({"convert", (dir / "map2.mul").string()}).exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "x.bin"));
    EXPECT_FALSE(fs::exists(dir / "x.uop"));
}

// The diff takes a folder whose map is the container, and finds the one changed block.
TEST(ConvertCommand, DiffTakesAFolderWithTheContainerMap) {
    tbtest::TempDir dir;
    fs::create_directories(dir / "orig");
    fs::create_directories(dir / "mod");
    std::vector<unsigned char> map(77'070'336, 0);
    tbtest::writeBytes(dir / "orig" / "map0.mul", map);
    map[196 * 1000 + 50] = 1;
    tbtest::writeBytes(dir / "map0.mul", map);
    ASSERT_EQ(runTbmap({"convert", (dir / "map0.mul").string(),
                        (dir / "mod" / "map0LegacyMUL.uop").string()})
                  .exitCode,
              0);
    const auto r = runTbmap({"diff", (dir / "orig").string(), (dir / "mod").string(),
                             (dir / "out.qmz").string(), "--map-only"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("map blocks stored: 1\n"), std::string::npos) << r.out;

    fs::remove(dir / "mod" / "map0LegacyMUL.uop");
    const auto none = runTbmap({"diff", (dir / "orig").string(), (dir / "mod").string(),
                                (dir / "out.qmz").string(), "--map-only"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("neither map0.mul nor map0LegacyMUL.uop"), std::string::npos)
        << none.err;
}
