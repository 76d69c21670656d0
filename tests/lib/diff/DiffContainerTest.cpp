// A modified map given as map0LegacyMUL.uop gives the same patch as the same map as
// map0.mul, however its entries are stored.
#include "DiffFixtures.h"
#include "TestPaths.h"
#include "UopFixtures.h"

#include "diff/DiffInputNames.h"

#include <gtest/gtest.h>

using namespace difftest;

TEST(DiffContainer, AContainerMapGivesTheSamePatchAsItsMul) {
    tbtest::TempDir dir;
    // 10 columns of 512 blocks: the map crosses from the first entry into the second.
    tb::DiffRunSettings settings;
    settings.grid = {10, 512};
    fs::create_directories(dir / "orig");
    fs::create_directories(dir / "mod");
    const auto original = uoptest::randomBytes(10 * 512 * 196, 3);
    auto modified = original;
    for (std::size_t block : {0u, 4095u, 4096u, 5119u})
        modified[block * 196 + 100] ^= 0xFF;
    tbtest::writeBytes(dir / "orig" / "map0.mul", original);
    tbtest::writeBytes(dir / "mod" / "map0.mul", modified);
    tbtest::writeBytes(dir / "mod" / "map0LegacyMUL.uop",
                       uoptest::buildContainer({{uoptest::mapEntry(modified, 0, 1)},
                                                {uoptest::mapEntry(modified, 0, 0)}}));
    tb::Progress& quiet = tb::noProgress();
    const tb::DiffFileSet orig = fileSet(dir / "orig");
    tb::DiffFileSet mod = fileSet(dir / "mod");
    const auto fromMul = tb::generateDiff(orig, mod, dir / "a.qmz", false, true, quiet, settings);
    mod.map = dir / "mod" / "map0LegacyMUL.uop";
    const auto fromUop = tb::generateDiff(orig, mod, dir / "b.qmz", false, true, quiet, settings);
    EXPECT_EQ(fromMul.mapBlocksStored, 4);
    EXPECT_EQ(fromUop.mapBlocksStored, 4);
    EXPECT_EQ(readAll(dir / "a.qmz"), readAll(dir / "b.qmz"));

    EXPECT_TRUE(tb::isDiffInputName("/x/MAP0LEGACYMUL.UOP", "map0.mul"));
    EXPECT_FALSE(tb::isDiffInputName("map0LegacyMUL.uop", "staidx0.mul"));
    EXPECT_FALSE(tb::isDiffInputName("map1LegacyMUL.uop", "map0.mul"));
}
