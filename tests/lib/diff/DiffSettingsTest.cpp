// Runs with explicit settings: a small block grid keeps the patch layout of the client
// grid, read sizes never change what a patch holds, and bad settings are refused before
// the patch is touched.
#include "DiffFixtures.h"
#include "RecordedProgress.h"
#include "TestPaths.h"

#include "diff/DiffGenerator.h"
#include "shell/Errors.h"
#include "shell/FileIdentity.h"

#include <gtest/gtest.h>

using namespace difftest;

namespace {

// Settings that send most statics blocks through the chunked comparison and the others
// through batches of their own, and never merge two reads.
tb::DiffRunSettings tinyReads(tb::DiffGrid grid = {}) {
    tb::DiffRunSettings s;
    s.grid = grid;
    s.batchBytes = 1;
    s.largeBlockBytes = 20;
    s.chunkBytes = 6;
    s.mergeGap = 0;
    return s;
}

class DiffSmallGrid : public ::testing::Test {
protected:
    static constexpr tb::DiffGrid kGrid{3, 4};

    void SetUp() override {
        fs::create_directories(origDir);
        fs::create_directories(modDir);
    }
    void writeSets() {
        orig.write(origDir / "staidx0.mul", origDir / "statics0.mul");
        mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
        for (const fs::path& dir : {origDir, modDir})
            if (!fs::exists(dir / "map0.mul"))
                writeZeroMap(dir / "map0.mul", kGrid.columns, kGrid.rows);
    }
    tb::DiffSummary run(const tb::DiffRunSettings& settings, bool withStatics = true,
                        bool withMap = true, const fs::path& to = {}) {
        tb::Progress& progress = tb::noProgress();
        return tb::generateDiff(fileSet(origDir), fileSet(modDir), to.empty() ? out : to,
                                withStatics, withMap, progress, settings);
    }
    tb::DiffRunSettings grid() const {
        tb::DiffRunSettings s;
        s.grid = kGrid;
        return s;
    }

    tbtest::TempDir tmp;
    fs::path origDir = tmp / "orig";
    fs::path modDir = tmp / "mod";
    fs::path out = tmp / "out.qmz";
    StaticsSet orig{kGrid.columns, kGrid.rows};
    StaticsSet mod{kGrid.columns, kGrid.rows};
};

} // namespace

TEST_F(DiffSmallGrid, KeepsTheLayoutOfTheClientGrid) {
    mod.statics().resize(1); // every modified Lookup differs from the original's
    orig.addBlock(0, 1, records(2, 1));
    mod.addBlock(0, 1, records(2, 2));  // changed: stored first
    orig.addBlock(1, 3, records(1, 3)); // emptied in the modified set
    orig.addBlock(2, 0, records(3, 4));
    mod.addBlock(2, 0, records(3, 4)); // same records elsewhere: unchanged
    mod.addBlock(2, 2, records(4, 5)); // new in the last column: stored second
    writeSets();
    writeMapBlock(modDir / "map0.mul", 1, 2, 0x21, 0x100, kGrid.rows);
    writeMapBlock(modDir / "map0.mul", 2, 3, 0x42, 0x7, kGrid.rows); // outside the checksum

    const tb::DiffSummary summary = run(grid());
    EXPECT_EQ(summary.staticsBlocksStored, 2);
    EXPECT_EQ(summary.staticsBlocksEmptied, 12 - 3);
    EXPECT_EQ(summary.mapBlocksStored, 2);
    const Patch patch(out, kGrid.rows);
    const int staticsData = (2 + 4) * 7;
    EXPECT_EQ(patch.header.staticsIndexPos, 1024 + staticsData);
    EXPECT_EQ(patch.header.mapIndexPos, 1024 + staticsData + 12 * 8 + 2 * 196);
    EXPECT_EQ(summary.patchSize, 1024 + staticsData + 12 * 8 + 2 * 196 + 12 * 4);
    EXPECT_EQ(std::int64_t(patch.bytes.size()), summary.patchSize);
    EXPECT_EQ(patch.header.origStaIdxCRC,
              tb::xorFoldWords(readAll(origDir / "staidx0.mul").data(), 12 * 3));
    EXPECT_EQ(patch.header.modStaticsSize, std::int32_t(mod.statics().size()));

    EXPECT_EQ(patch.staticsEntry(0, 1), std::make_pair(1024, 14));
    EXPECT_EQ(patch.slice(1024, 14), records(2, 2));
    EXPECT_EQ(patch.staticsEntry(1, 3), std::make_pair(-1, 0));
    EXPECT_EQ(patch.staticsEntry(2, 0), std::make_pair(-1, -1));
    EXPECT_EQ(patch.staticsEntry(2, 2), std::make_pair(1024 + 14, 28));
    EXPECT_EQ(patch.slice(1024 + 14, 28), records(4, 5));

    // The last column is compared whole even with fewer blocks than one column read
    // would need, and stays out of the checksum.
    EXPECT_EQ(patch.mapEntry(1, 2), 1024 + staticsData + 12 * 8);
    EXPECT_EQ(patch.mapEntry(2, 3), 1024 + staticsData + 12 * 8 + 196);
    EXPECT_EQ(patch.slice(patch.mapEntry(2, 3), 196)[195], 0x42);
    for (int x = 0; x < kGrid.columns; ++x)
        for (int y = 0; y < kGrid.rows; ++y)
            if (!(x == 1 && y == 2) && !(x == 2 && y == 3)) {
                EXPECT_EQ(patch.mapEntry(x, y), -1) << x << "," << y;
            }
    EXPECT_EQ(patch.header.mapCRC, 0x100u);
}

TEST_F(DiffSmallGrid, TheLastMapColumnIsReadEvenWhenOnlyTheOriginalChanged) {
    writeSets();
    // A different block earlier in the run leaves bytes in the read buffers.
    writeMapBlock(modDir / "map0.mul", 0, 0, 0x99, 0, kGrid.rows);
    writeMapBlock(origDir / "map0.mul", 2, 0, 0x99, 0, kGrid.rows);
    const tb::DiffSummary summary = run(grid(), false, true);
    EXPECT_EQ(summary.mapBlocksStored, 2);
    const Patch patch(out, kGrid.rows);
    EXPECT_EQ(patch.mapEntry(0, 0), 1024);
    EXPECT_EQ(patch.mapEntry(2, 0), 1024 + 196);
    EXPECT_EQ(patch.slice(1024 + 196, 196), std::vector<unsigned char>(196, 0));
    EXPECT_EQ(patch.mapEntry(2, 1), -1);
}

TEST_F(DiffSmallGrid, ReadSizesNeverChangeThePatch) {
    // Blocks above and below the large-block size, equal records at other places, reads
    // that overlap and reads far apart.
    const auto big = records(9, 7);
    mod.statics().resize(7);
    orig.addBlock(0, 0, big);
    mod.addBlock(0, 0, records(9, 8));
    orig.addBlock(0, 1, records(5, 9));
    mod.addBlock(0, 1, records(5, 9));
    orig.addBlock(0, 2, records(1, 10));
    mod.setEntry(0, 2, {3, 7, 0}); // overlaps the first block's read
    mod.addBlock(1, 0, big);
    orig.setEntry(1, 0, orig.entry(0, 0)); // equal large block, different Lookup
    mod.statics().resize(mod.statics().size() + 20000, 0x5A);
    mod.addBlock(1, 1, records(2, 11));
    orig.addBlock(1, 1, records(2, 12));
    writeSets();
    for (int y = 0; y < kGrid.rows; ++y)
        writeMapBlock(modDir / "map0.mul", 0, y, std::uint8_t(y + 1), 0, kGrid.rows);
    writeMapBlock(modDir / "map0.mul", 2, 1, 3, 0, kGrid.rows);

    const fs::path tiny = tmp / "tiny.qmz";
    const tb::DiffSummary a = run(grid());
    const tb::DiffSummary b = run(tinyReads(kGrid), true, true, tiny);
    EXPECT_EQ(a.staticsBlocksStored, 3);
    EXPECT_EQ(a.mapBlocksStored, 5);
    EXPECT_EQ(b.staticsBlocksStored, a.staticsBlocksStored);
    EXPECT_EQ(b.mapBlocksStored, a.mapBlocksStored);
    EXPECT_EQ(readAll(tiny), readAll(out));
}

TEST(DiffSettings, ReadSizesNeverChangeAClientGridPatch) {
    tbtest::TempDir tmp;
    const fs::path origDir = tmp / "orig";
    const fs::path modDir = tmp / "mod";
    fs::create_directories(origDir);
    fs::create_directories(modDir);
    StaticsSet orig;
    StaticsSet mod;
    mod.statics().resize(7);
    orig.addBlock(4, 500, records(30, 1));
    mod.addBlock(4, 500, records(30, 2));
    mod.addBlock(4, 501, records(3, 3));
    orig.addBlock(767, 511, records(2, 4));
    mod.addBlock(767, 511, records(2, 4));
    orig.write(origDir / "staidx0.mul", origDir / "statics0.mul");
    mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
    writeZeroMap(origDir / "map0.mul");
    writeZeroMap(modDir / "map0.mul");
    writeMapBlock(modDir / "map0.mul", 700, 3, 0x31);
    writeMapBlock(modDir / "map0.mul", 767, 511, 0x32);

    tb::Progress& quiet = tb::noProgress();
    const tb::DiffSummary a =
        tb::generateDiff(fileSet(origDir), fileSet(modDir), tmp / "a.qmz", true, true, quiet);
    const tb::DiffSummary b = tb::generateDiff(fileSet(origDir), fileSet(modDir), tmp / "b.qmz",
                                               true, true, quiet, tinyReads());
    EXPECT_EQ(a.staticsBlocksStored, 2);
    EXPECT_EQ(a.mapBlocksStored, 2);
    EXPECT_EQ(b.header, a.header);
    EXPECT_EQ(readAll(tmp / "b.qmz"), readAll(tmp / "a.qmz"));
}

TEST(DiffSettings, BadGridsAndSizesAreRefusedBeforeThePatchIsWritten) {
    tbtest::TempDir tmp;
    const fs::path out = tmp / "out.qmz";
    const tb::DiffFileSet missing = fileSet(tmp / "none");
    tb::Progress& quiet = tb::noProgress();
    const auto refused = [&](const tb::DiffRunSettings& s) {
        EXPECT_THROW(tb::generateDiff(missing, missing, out, true, true, quiet, s),
                     std::invalid_argument);
        EXPECT_FALSE(fs::exists(out));
    };
    tb::DiffRunSettings s;
    s.grid = {0, 4};
    refused(s);
    s.grid = {769, 4};
    refused(s);
    s.grid = {3, 513};
    refused(s);
    s.grid = {3, -1};
    refused(s);
    s = {};
    s.chunkBytes = 0;
    refused(s);
    s = {};
    s.batchBytes = 0;
    refused(s);
    s = {};
    s.mergeGap = -1;
    refused(s);
    // Good settings get as far as the missing inputs.
    EXPECT_THROW(tb::generateDiff(missing, missing, out, true, true, quiet, tinyReads({1, 1})),
                 tb::FileError);
    const tb::DiffGrid noRows{1, 0};
    EXPECT_THROW(tb::StaIdxTable{noRows}, std::invalid_argument);
}

TEST(DiffSettings, AnIndexIsReadAndFoldedOverItsGrid) {
    tbtest::TempDir tmp;
    StaticsSet set(2, 3);
    set.setEntry(1, 2, {0x10, 0x700, 0x11111111});
    set.write(tmp / "staidx0.mul", tmp / "statics0.mul");
    tb::StaIdxTable table(tb::DiffGrid{2, 3});
    tbtest::RecordedProgress progress;
    tb::readStaIdx(tmp / "staidx0.mul", table, progress);
    std::vector<int> percents;
    for (const tbtest::RecordedProgress::Step& step : progress.steps)
        percents.push_back(int(step.done));
    EXPECT_EQ(percents, (std::vector<int>{0, 0, 50, 100}));
    EXPECT_EQ(table.at(1, 2).length, 0x700u);
    EXPECT_EQ(table.at(1, 1).lookup, -1);
    // Five entries (-1, 0, 0) fold to -1.
    EXPECT_EQ(tb::staIdxChecksum(table), 0xFFFFFFFFu ^ 0x10u ^ 0x700u ^ 0x11111111u);

    tb::StaIdxTable wider(tb::DiffGrid{3, 3});
    EXPECT_THROW(tb::readStaIdx(tmp / "staidx0.mul", wider), tb::FileError);
}
