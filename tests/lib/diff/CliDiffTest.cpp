// `tbmap diff` end to end: the built program on two directories of client files.
#include "DiffFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace difftest;

namespace {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs tbmap with `args` (already quoted), capturing both streams in files.
Result runTbmap(const fs::path& tbmap, const tbtest::TempDir& tmp, const std::string& args) {
    const fs::path out = tmp / "stdout.txt";
    const fs::path err = tmp / "stderr.txt";
    const std::string command = "'" + tbmap.string() + "' diff " + args + " >'" + out.string() +
                                "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    const auto o = readAll(out);
    const auto e = readAll(err);
    return {tbtest::exitCodeOf(status), std::string(o.begin(), o.end()),
            std::string(e.begin(), e.end())};
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

// The built tbmap: in the programs folder, or beside this test's build folder
// (<build>/tests/test_diff -> <build>/bin/tbmap) when that folder is not passed in.
fs::path findTbmap() {
    const fs::path inBinDir = tbtest::binDir() / "tbmap";
    if (fs::exists(inBinDir))
        return inBinDir;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    const fs::path besideBuild = self.parent_path().parent_path() / "bin" / "tbmap";
    return !ec && fs::exists(besideBuild) ? besideBuild : fs::path{};
}

} // namespace

TEST(TbmapDiff, WritesThePatchTheLibraryWritesFromNamesInAnyCase) {
    const fs::path tbmap = findTbmap();
    if (tbmap.empty())
        GTEST_SKIP() << "tbmap is not built";
    tbtest::TempDir tmp;
    const fs::path origDir = tmp / "orig";
    const fs::path modDir = tmp / "mod";
    fs::create_directories(origDir);
    fs::create_directories(modDir);
    StaticsSet orig;
    StaticsSet mod;
    orig.addBlock(1, 2, records(4, 1));
    mod.addBlock(1, 2, records(5, 1));
    orig.write(origDir / "StaIdx0.MUL", origDir / "Statics0.mul");
    mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
    writeZeroMap(origDir / "MAP0.MUL");
    writeZeroMap(modDir / "map0.mul");
    writeMapBlock(modDir / "map0.mul", 9, 9, 0x77, 1);

    const Result both = runTbmap(
        tbmap, tmp, quoted(origDir) + " " + quoted(modDir) + " " + quoted(tmp / "both.qmz"));
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_NE(both.out.find("Done."), std::string::npos);
    EXPECT_NE(both.out.find("map blocks stored: 1"), std::string::npos) << both.out;
    EXPECT_EQ(both.err, ""); // no progress when stderr is not a terminal

    tb::DiffFileSet origSet{origDir / "StaIdx0.MUL", origDir / "Statics0.mul",
                            origDir / "MAP0.MUL"};
    tb::Progress& quiet = tb::noProgress();
    tb::generateDiff(origSet, fileSet(modDir), tmp / "lib.qmz", true, true, quiet);
    EXPECT_EQ(readAll(tmp / "both.qmz"), readAll(tmp / "lib.qmz"));

    // One part only; the files of the other part may be missing.
    fs::remove(modDir / "statics0.mul");
    const Result mapOnly = runTbmap(tbmap, tmp,
                                    quoted(origDir) + " " + quoted(modDir) + " " +
                                        quoted(tmp / "map.qmz") + " --map-only");
    ASSERT_EQ(mapOnly.exitCode, 0) << mapOnly.err;
    EXPECT_EQ(fs::file_size(tmp / "map.qmz"), 1'573'888u + 196u);
    const Result staticsOnly = runTbmap(tbmap, tmp,
                                        quoted(origDir) + " " + quoted(modDir) + " " +
                                            quoted(tmp / "statics.qmz") + " --statics-only");
    EXPECT_EQ(staticsOnly.exitCode, 1);
    EXPECT_NE(staticsOnly.err.find("statics0.mul"), std::string::npos) << staticsOnly.err;
}

TEST(TbmapDiff, RefusesWrongCallsAndAnInputAsOutput) {
    const fs::path tbmap = findTbmap();
    if (tbmap.empty())
        GTEST_SKIP() << "tbmap is not built";
    tbtest::TempDir tmp;
    fs::create_directories(tmp / "a");
    StaticsSet set;
    set.write(tmp / "a" / "staidx0.mul", tmp / "a" / "statics0.mul");
    writeZeroMap(tmp / "a" / "map0.mul");
    const std::string dirs = quoted(tmp / "a") + " " + quoted(tmp / "a") + " ";

    EXPECT_EQ(runTbmap(tbmap, tmp, dirs).exitCode, 2);
    EXPECT_EQ(runTbmap(tbmap, tmp, dirs + "x.qmz --statics-only --map-only").exitCode, 2);
    EXPECT_EQ(runTbmap(tbmap, tmp, dirs + "x.qmz --both").exitCode, 2);

    const auto before = readAll(tmp / "a" / "staidx0.mul");
    const Result refused = runTbmap(tbmap, tmp, dirs + quoted(tmp / "a" / "." / "staidx0.mul"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("one of the input files"), std::string::npos) << refused.err;
    EXPECT_EQ(readAll(tmp / "a" / "staidx0.mul"), before);
}
