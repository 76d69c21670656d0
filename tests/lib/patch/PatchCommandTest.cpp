// tbmap patch, run as the built program.
#include "PatchFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using patchtest::readText;
using patchtest::writeText;

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The program built beside this test, else the one in the bin folder of the run.
fs::path tbmapPath() {
#ifdef TB_TBMAP_PATH
    return TB_TBMAP_PATH;
#else
    return tbtest::binDir() / "tbmap";
#endif
}

CliRun runTbmap(const tbtest::TempDir& dir, const std::string& args) {
    const fs::path tbmap = tbmapPath();
    const std::string command = "'" + tbmap.string() + "' " + args + " >'" +
                                (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() +
                                "'";
    const int status = std::system(command.c_str());
    CliRun run;
    run.exitCode = tbtest::exitCodeOf(status);
    run.out = readText(dir / "out.txt");
    run.err = readText(dir / "err.txt");
    return run;
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

class PatchCommand : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(tbmapPath()))
            GTEST_SKIP() << "tbmap is not built: " << tbmapPath();
        original = patchtest::tokunoBytes();
        tbtest::writeBytes(mapPath, original);
    }
    tbtest::TempDir dir;
    fs::path mapPath = dir / "map4.mul";
    fs::path patchPath = dir / "p.qvp";
    std::vector<unsigned char> original;
};

} // namespace

TEST_F(PatchCommand, AppliesEntriesSavesTheMapAndCountsSkippedOnes) {
    writeText(patchPath, "[0]\r\nX=10\r\nY=20\r\nZ=-3\r\nID=01 D3\r\n"
                         "[1]\r\nX=5000\r\nY=0\r\nZ=1\r\n"
                         "[2]\r\nX=1447\r\nY=1447\r\nZ=9\r\n");
    const CliRun run = runTbmap(dir, "patch " + quoted(mapPath) + " " + quoted(patchPath));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "applied: 2\nskipped (outside the map): 1\n");

    const auto bytes = tbtest::readBytes(mapPath);
    ASSERT_EQ(bytes.size(), original.size());
    const tb::MapImage saved(bytes, tb::identifyMapVariant("map4.mul", std::int64_t(bytes.size())));
    EXPECT_EQ(saved.cell(10, 20), (tb::MapCell{467, -3}));
    EXPECT_EQ(saved.cell(1447, 1447), (tb::MapCell{3, 9}));
    EXPECT_EQ(bytes[0], 0xAB); // block headers kept
}

TEST_F(PatchCommand, BadEntryFailsAndLeavesTheMapFileUnchanged) {
    writeText(patchPath, "[0]\nX=1\nY=1\nZ=5\n[1]\nX=2\nY=2\nZ=300\n");
    const CliRun run = runTbmap(dir, "patch " + quoted(mapPath) + " " + quoted(patchPath));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tbmap: \"" + patchPath.string() +
                           "\" entry [1], Z=300: Range check error (map not written)\n");
    EXPECT_TRUE(tbtest::readBytes(mapPath) == original);
}

TEST_F(PatchCommand, RefusesEmptyPatchesUnknownMapsAndWrongCalls) {
    writeText(patchPath, "X=1\nY=1\n");
    CliRun run = runTbmap(dir, "patch " + quoted(mapPath) + " " + quoted(patchPath));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tbmap: File is empty or corupted! (\"" + patchPath.string() +
                           "\": it holds no [section] line)\n");

    run = runTbmap(dir, "patch " + quoted(mapPath) + " " + quoted(dir / "missing.qvp"));
    EXPECT_EQ(run.err, "tbmap: File is empty or corupted! (\"" + (dir / "missing.qvp").string() +
                           "\": there is no such file)\n");

    const fs::path odd = dir / "map0.mul";
    tbtest::writeBytes(odd, std::vector<unsigned char>(1000, 0));
    writeText(patchPath, "[0]\nX=0\nY=0\nZ=5\n");
    run = runTbmap(dir, "patch " + quoted(odd) + " " + quoted(patchPath));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("is not a known map file"), std::string::npos) << run.err;
    EXPECT_TRUE(tbtest::readBytes(odd) == std::vector<unsigned char>(1000, 0));

    run = runTbmap(dir, "patch " + quoted(mapPath));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "usage: tbmap patch MAP PATCH.qvp\n");
    EXPECT_TRUE(tbtest::readBytes(mapPath) == original);
}
