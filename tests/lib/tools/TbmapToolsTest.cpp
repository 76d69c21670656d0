// tbmap enlarge and tbmap copy, run as the built program.
#include "MapFixtures.h"
#include "TestPaths.h"

#include "tools/MapEnlarge.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using namespace toolstest;

namespace {

struct Outcome {
    int exitCode;
    std::string err;
};

fs::path tbmapProgram() {
#ifdef TB_TBMAP_PATH
    return TB_TBMAP_PATH;
#else
    return tbtest::binDir() / "tbmap";
#endif
}

Outcome tbmap(const tbtest::TempDir& dir, const std::string& words) {
    const fs::path errFile = dir / "stderr.txt";
    const std::string command =
        "'" + tbmapProgram().string() + "' " + words + " 2>'" + errFile.string() + "'";
    const int status = std::system(command.c_str());
    const auto bytes = tbtest::readBytes(errFile);
    fs::remove(errFile);
    return {tbtest::exitCodeOf(status), std::string(bytes.begin(), bytes.end())};
}

std::string q(const fs::path& p) {
    return "'" + p.string() + "'";
}

} // namespace

TEST(TbmapTools, EnlargeWritesTheNewMapAndRefusesWhatTheWindowRefuses) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "map4.mul", 6'421'156);
    writeCell(dir / "map4.mul", 1447, 1447, 181, {0x1234, -7});

    const Outcome ok = tbmap(dir, "enlarge " + q(dir / "map4.mul") + " " + q(dir / "map0.mul"));
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.err, ""); // no terminal, no progress
    EXPECT_EQ(fs::file_size(dir / "map0.mul"), std::uintmax_t(tb::kEnlargedFileSize));
    EXPECT_EQ(readCell(dir / "map0.mul", 1447, 1447, 512), (Cell{0x1234, -7}));

    const Outcome wrong = tbmap(dir, "enlarge " + q(dir / "map0.mul.bak") + " " + q(dir / "x.mul"));
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_EQ(wrong.err, "tbmap: Wrong source map file! (\"" + (dir / "map0.mul.bak").string() +
                             "\": there is no such file)\n");
    EXPECT_FALSE(fs::exists(dir / "x.mul"));

    const Outcome self =
        tbmap(dir, "enlarge " + q(dir / "map4.mul") + " " + q(dir / "." / "map4.mul"));
    EXPECT_EQ(self.exitCode, 1);
    EXPECT_EQ(self.err, std::string("tbmap: ") + tb::kEnlargeOntoSourceMessage + " (\"" +
                            (dir / "." / "map4.mul").string() + "\" is the source map \"" +
                            (dir / "map4.mul").string() + "\" itself)\n");
    EXPECT_EQ(fs::file_size(dir / "map4.mul"), 6'421'156u);

    const Outcome usage = tbmap(dir, "enlarge " + q(dir / "map4.mul"));
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "usage: tbmap enlarge SRC DEST\n");
}

TEST(TbmapTools, CopyWritesTheRectangleAndRefusesWhatTheWindowRefuses) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "map4.mul", patternMap(variantNamed("map4.mul", "1448x1448"), 8));
    tbtest::writeBytes(dir / "map2.mul", patternMap(variantNamed("map2.mul", "2304x1600"), 9));
    const std::string maps = q(dir / "map4.mul") + " ";

    const Outcome ok =
        tbmap(dir, "copy " + maps + "3 4 10 20 " + q(dir / "map2.mul") + " 2000 1500");
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(readCell(dir / "map2.mul", 2000, 1500, 200),
              (Cell{patternTile(3, 4, 8), patternAltitude(3, 4, 8)}));
    EXPECT_EQ(readCell(dir / "map2.mul", 2007, 1516, 200),
              (Cell{patternTile(10, 20, 8), patternAltitude(10, 20, 8)}));
    EXPECT_EQ(readCell(dir / "map2.mul", 2008, 1516, 200),
              (Cell{patternTile(2008, 1516, 9), patternAltitude(2008, 1516, 9)}));

    const Outcome outside =
        tbmap(dir, "copy " + maps + "0 0 10 10 " + q(dir / "map2.mul") + " 2300 0");
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_EQ(outside.err, "tbmap: You entered wrong coordinates! (DX 2300: the copy would cover "
                           "columns 2300..2310 of the destination map, whose columns are "
                           "0..2303)\n");

    const Outcome zero = tbmap(dir, "copy " + maps + "0 0 0 0 " + q(dir / "map2.mul") + " 5 5");
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_EQ(zero.err, "tbmap: Coordinates X1,Y1,X2,Y2 cannot be 0!\n");

    const Outcome unknown = tbmap(dir, "copy " + maps + "0 0 0 0 " + q(dir / "map3.mul") + " 0 0");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err, "tbmap: Unknown map! (destination map \"" + (dir / "map3.mul").string() +
                               "\": there is no such file)\n");

    const Outcome text = tbmap(dir, "copy " + maps + "0 0 1x 0 " + q(dir / "map2.mul") + " 0 0");
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.err, "tbmap: X2: '1x' is not a valid integer value\n");

    const Outcome usage = tbmap(dir, "copy " + maps + "0 0 1 1 " + q(dir / "map2.mul"));
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "usage: tbmap copy SRC X1 Y1 X2 Y2 DEST DX DY\n");
}
