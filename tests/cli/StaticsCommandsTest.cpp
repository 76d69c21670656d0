// tbmap statics, item and tiledata, run as a user runs them: items added, listed, removed,
// exported, imported and compacted in place, and refusals that change nothing.
#include "RunTbmap.h"

#include "core/StaticsFiles.h"
#include "demo/DemoArt.h"
#include "demo/DemoItems.h"

#include "TestPaths.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

struct Folder {
    tbtest::TempDir dir;
    std::string map = (dir / "map4.mul").string();
    fs::path index = dir / "staidx4.mul";
    fs::path data = dir / "statics4.mul";

    Folder() { // an all-zero Tokuno map, whose altitudes do not matter here
        tbtest::writeBytes(map, {});
        fs::resize_file(map, 6'421'156);
    }
    std::string run(const std::vector<std::string>& args, int expectedExit = 0) const {
        const clitest::RunResult r = runTbmap(args);
        EXPECT_EQ(r.exitCode, expectedExit) << r.out << r.err;
        return r.out + r.err;
    }
    std::string list(int x, int y) const {
        return run({"statics", "list", map, std::to_string(x), std::to_string(y)});
    }
};

} // namespace

TEST(StaticsCommands, ItemsChangeInPlaceAndRoundTripThroughText) {
    Folder f;
    EXPECT_NE(f.run({"statics", "list", f.map, "1", "1"}, 1).find("no statics beside"),
              std::string::npos);
    // The first item makes the pair.
    f.run({"statics", "add", f.map, "100", "200", "$0CCA", "5"});
    f.run({"statics", "add", f.map, "100", "200", "0x1363", "-3", "--hue", "33"});
    f.run({"statics", "add", f.map, "101", "200", "3300", "0"});
    EXPECT_EQ(f.list(100, 200), "(100, 200): 2 items\n  0x0CCA  z 5  hue 0\n"
                                "  0x1363  z -3  hue 33\n");

    const std::string csv = (f.dir / "items.csv").string();
    f.run({"statics", "export", f.map, csv, "100", "199", "100", "201"});
    EXPECT_EQ(tbtest::readText(csv), "x,y,id,z,hue\r\n100,200,3274,5,0\r\n100,200,4963,-3,33\r\n");

    f.run({"statics", "remove", f.map, "100", "200", "--id", "$0CCA"});
    EXPECT_EQ(f.list(100, 200), "(100, 200): 1 item\n  0x1363  z -3  hue 33\n");

    // A file with one bad line changes nothing.
    const auto indexBefore = tbtest::readBytes(f.index);
    const auto dataBefore = tbtest::readBytes(f.data);
    tbtest::writeBytes(f.dir / "bad.csv", {'7', ',', '7', ',', '1', ',', '0', ',', '0', '\n',
                                           '1', ',', '2', ',', 'x', ',', '0', ',', '0', '\n'});
    EXPECT_NE(f.run({"statics", "import", f.map, (f.dir / "bad.csv").string()}, 1)
                  .find("bad.csv:2: id 'x' is not a number"),
              std::string::npos);
    EXPECT_EQ(tbtest::readBytes(f.index), indexBefore);
    EXPECT_EQ(tbtest::readBytes(f.data), dataBefore);

    f.run({"statics", "import", f.map, csv});
    EXPECT_EQ(f.list(100, 200), "(100, 200): 3 items\n  0x1363  z -3  hue 33\n"
                                "  0x0CCA  z 5  hue 0\n  0x1363  z -3  hue 33\n");
    // Saves appended; compacting keeps the four items in four records.
    EXPECT_GT(fs::file_size(f.data), 4u * 7);
    f.run({"statics", "compact", f.map});
    EXPECT_EQ(fs::file_size(f.data), 4u * 7);
    EXPECT_EQ(f.list(101, 200), "(101, 200): 1 item\n  0x0CE4  z 0  hue 0\n");

    EXPECT_NE(f.run({"statics", "add", f.map, "1448", "0", "1", "0"}, 1)
                  .find("cell (1448, 0) lies outside the 1448x1448 map"),
              std::string::npos);
    EXPECT_NE(f.run({"statics", "add", f.map, "1", "1", "1", "200"}, 1)
                  .find("Z 200 is outside -128..127"),
              std::string::npos);
    EXPECT_EQ(f.run({"statics", "flip", f.map}, 2).rfind("usage: tbmap statics", 0), 0u);
}

TEST(ItemCommands, PictureAndTileDataOfAnItem) {
    tbtest::TempDir dir;
    fs::create_directories(dir / "game");
    tb::demo::DemoArtFiles art = tb::demo::generateDemoArt();
    tb::demo::addDemoItemArt(art);
    tbtest::writeBytes(dir / "game" / "artidx.mul", art.artIndex);
    tbtest::writeBytes(dir / "game" / "art.mul", art.artData);
    tbtest::writeBytes(dir / "game" / "texidx.mul", art.textureIndex);
    tbtest::writeBytes(dir / "game" / "texmaps.mul", art.textureData);
    tbtest::writeBytes(dir / "game" / "tiledata.mul", tb::demo::generateDemoTileData());
    const std::string game = (dir / "game").string();

    const auto picture = runTbmap({"item", game, "$0CCA", (dir / "tree.png").string()});
    ASSERT_EQ(picture.exitCode, 0) << picture.err;
    const QImage tree(QString::fromStdString((dir / "tree.png").string()));
    EXPECT_EQ(tree.size(), QSize(56, 96));
    EXPECT_EQ(qAlpha(tree.pixel(0, 74)), 0);    // beside the trunk: transparent
    EXPECT_EQ(qAlpha(tree.pixel(27, 74)), 255); // the trunk's foot, mid-cell

    const auto missing = runTbmap({"item", game, "7", (dir / "none.png").string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("item 0x0007"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(dir / "none.png"));

    const auto data = runTbmap({"tiledata", game, "0x1363"});
    ASSERT_EQ(data.exitCode, 0) << data.err;
    EXPECT_NE(data.out.find("name: rock\nheight: 3\nflags: Impassable\n"), std::string::npos)
        << data.out;
}
