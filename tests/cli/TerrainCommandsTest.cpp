// tbmap terrain paint, check and fix on a Tokuno map of grass with the demo's terrain file.
#include "RunTbmap.h"

#include "catalogue/TerrainFile.h"
#include "core/MapImage.h"
#include "demo/DemoTerrainArt.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

struct Folder {
    tbtest::TempDir dir;
    std::string map = (dir / "map4.mul").string();
    std::string terrains = (dir / "demo.xml").string();

    // Grass fill on the first 100 x 100 cells, with altitudes that vary; tile 0 elsewhere.
    Folder() {
        const tb::MapVariant v = *tb::identifyMapVariant("map4.mul", 6'421'156);
        tb::MapImage image(std::vector<unsigned char>(std::size_t(v.fileSize), 0), v);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                image.setCell(x, y, {0x0003, std::int8_t((x * 5 + y) % 30 - 10)});
        image.save(map);
        tb::writeTerrainFile(terrains, tb::demo::demoTerrainSet());
    }
    std::string run(const std::vector<std::string>& args, int expectedExit = 0) const {
        const clitest::RunResult r = runTbmap(args);
        EXPECT_EQ(r.exitCode, expectedExit) << r.out << r.err;
        return r.out + r.err;
    }
    std::vector<unsigned char> bytes() const { return tbtest::readBytes(map); }
};

bool altitudesEqual(const tb::MapImage& a, const tb::MapImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.cellUnchecked(x, y).altitude != b.cellUnchecked(x, y).altitude)
                return false;
    return true;
}

} // namespace

TEST(TerrainCommand, PaintGivesTheSameBytesForTheSameSeedAndKeepsAltitudes) {
    Folder a, b, c;
    const tb::MapImage before = tb::MapImage::load(a.map);
    const std::string paint = "cells changed: 36\nmissing transitions: 0\n";
    EXPECT_EQ(a.run({"terrain", "paint", a.map, a.terrains, "Sand", "50", "50", "--size", "4",
                     "--seed", "9"}),
              paint);
    EXPECT_EQ(b.run({"terrain", "paint", b.map, b.terrains, "Sand", "50", "50", "--seed", "9",
                     "--size", "4"}),
              paint);
    EXPECT_EQ(c.run({"terrain", "paint", c.map, c.terrains, "Sand", "50", "50", "--size", "4",
                     "--seed", "$A"}),
              paint);
    EXPECT_EQ(a.bytes(), b.bytes());
    EXPECT_NE(a.bytes(), c.bytes()) << "sixteen fill cells of four tiles each, alike by chance";

    const tb::MapImage after = tb::MapImage::load(a.map);
    EXPECT_TRUE(altitudesEqual(before, after));
    // The 4 x 4 square centred on (50, 50) is 48..51.
    for (const auto& [x, y] : {std::pair{48, 48}, {51, 51}})
        EXPECT_TRUE(after.cell(x, y).tileId >= 0x16 && after.cell(x, y).tileId <= 0x19);
    EXPECT_EQ(after.cell(47, 47).tileId, 0x0033); // grass with sand at its bottom-right
    EXPECT_EQ(after.cell(46, 46).tileId, 0x0003);
    EXPECT_EQ(a.run({"terrain", "check", a.map, a.terrains}),
              "cells that do not fit their corners: 0\n");
}

TEST(TerrainCommand, CheckListsCellsThatDoNotFitAndFixMendsThem) {
    Folder f;
    tb::MapImage image = tb::MapImage::load(f.map);
    image.setCell(10, 12, {0x0016, 4}); // a sand cell set by hand in the grass
    image.save(f.map);
    EXPECT_EQ(f.run({"terrain", "check", f.map, f.terrains}, 3),
              "10,12\ncells that do not fit their corners: 1\n");
    EXPECT_EQ(f.run({"terrain", "check", f.map, f.terrains, "11", "0", "99", "99"}),
              "cells that do not fit their corners: 0\n");
    EXPECT_EQ(f.run({"terrain", "fix", f.map, f.terrains, "0", "0", "20", "20", "--seed", "4"}),
              "cells changed: 1\nmissing transitions: 0\n");
    EXPECT_EQ(tb::MapImage::load(f.map).cell(10, 12).altitude, 4);
    f.run({"terrain", "check", f.map, f.terrains});

    // Water on grass needs transitions the file does not have: the ring keeps its grass and
    // is listed, and the check finds what does not fit.
    const std::string out =
        f.run({"terrain", "paint", f.map, f.terrains, "Water", "60", "60", "--size", "2"});
    EXPECT_EQ(out.substr(0, 6), "58,58\n") << out;
    EXPECT_NE(out.find("cells changed: 4\nmissing transitions: 12\n"), std::string::npos) << out;
    EXPECT_EQ(tb::MapImage::load(f.map).cell(58, 58).tileId, 0x0003);
    f.run({"terrain", "check", f.map, f.terrains}, 3);
}

TEST(TerrainCommand, RefusalsNameTheirCauseAndChangeNothing) {
    Folder f;
    const std::vector<unsigned char> before = f.bytes();
    EXPECT_NE(f.run({"terrain", "paint", f.map, f.terrains, "Mud", "5", "5"}, 1)
                  .find("\"Mud\" is no terrain of \"" + f.terrains + "\""),
              std::string::npos);
    EXPECT_NE(f.run({"terrain", "paint", f.map, f.terrains, "Sand", "1448", "5"}, 1)
                  .find("X 1448 is outside 0..1447"),
              std::string::npos);
    EXPECT_NE(f.run({"terrain", "fix", f.map, f.terrains, "9", "0", "5", "5"}, 1)
                  .find("X2 5 is less than X1 9"),
              std::string::npos);
    EXPECT_NE(f.run({"terrain", "paint", f.map, f.terrains, "Sand", "5", "5", "--size", "0"}, 1)
                  .find("--size 0 is outside 1..4096"),
              std::string::npos);
    const std::string bad = (f.dir / "bad.xml").string();
    tbtest::writeBytes(bad, {'<', 'T', 'e', 'r', 'r', 'a', 'i', 'n', 's', '>', '\n', '<', 'T',
                             'i', 'l', 'e', ' ', 'I', 'd', '=', '"', 'x', '"', '/',  '>'});
    EXPECT_NE(f.run({"terrain", "check", f.map, bad}, 1)
                  .find("\"" + bad + "\", line 2, Tile Id: 'x' is not a valid integer value"),
              std::string::npos);
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"terrain"},
          {"terrain", "paint", f.map, f.terrains, "Sand", "5"},
          {"terrain", "paint", f.map, f.terrains, "Sand", "5", "5", "--size"},
          {"terrain", "check", f.map, f.terrains, "--size", "3"},
          {"terrain", "check", f.map, f.terrains, "--seed", "3"},
          {"terrain", "fix", f.map, f.terrains, "1", "2", "3"},
          {"terrain", "fix", f.map, f.terrains, "1", "2", "3", "4", "--seed", "1", "--seed", "2"},
          {"terrain", "erase", f.map, f.terrains}})
        EXPECT_EQ(f.run(wrong, 2).rfind("usage: tbmap terrain paint MAP", 0), 0u);
    EXPECT_EQ(f.bytes(), before);
}
