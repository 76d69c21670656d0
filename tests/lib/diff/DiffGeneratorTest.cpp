// Diff generation on generated full-size sets: what is stored, what is left out, and what
// a failed run leaves behind.
#include "DiffFixtures.h"
#include "RecordedProgress.h"
#include "TestPaths.h"

#include "diff/DiffGenerator.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <algorithm>
#include <fstream>

using namespace difftest;
using tb::kDiffBlockColumns;
using tb::kDiffBlockRows;

namespace {

constexpr std::int64_t kIdenticalBoth = 4'719'616;
constexpr std::int64_t kIdenticalStatics = 3'146'752;
constexpr std::int64_t kIdenticalMap = 1'573'888;

// XOR of the 32-bit little-endian words of the first `bytes` bytes of a file.
std::uint32_t foldFile(const fs::path& path, std::size_t bytes) {
    const auto data = readAll(path);
    std::uint32_t result = 0;
    for (std::size_t i = 0; i + 4 <= bytes; i += 4)
        result ^= tb::readU32(data.data() + i);
    return result;
}

class DiffRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(origDir);
        fs::create_directories(modDir);
    }
    // Writes both statics pairs and, unless present already, zero maps.
    void writeSets() {
        orig.write(origDir / "staidx0.mul", origDir / "statics0.mul");
        mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
        for (const fs::path& dir : {origDir, modDir})
            if (!fs::exists(dir / "map0.mul"))
                writeZeroMap(dir / "map0.mul");
    }
    tb::DiffSummary run(bool withStatics = true, bool withMap = true) {
        tb::Progress& progress = tb::noProgress();
        return tb::generateDiff(fileSet(origDir), fileSet(modDir), out, withStatics, withMap,
                                progress);
    }
    void runTo(const fs::path& target) {
        tb::Progress& progress = tb::noProgress();
        tb::generateDiff(fileSet(origDir), fileSet(modDir), target, true, true, progress);
    }
    // Puts the same blocks into both sets: three with statics, the rest Lookup -1.
    void sameBlocksInBoth() {
        for (StaticsSet* set : {&orig, &mod}) {
            set->addBlock(0, 0, records(3, 1), 11);
            set->addBlock(5, 7, records(40, 2), 22);
            set->addBlock(767, 511, records(1, 3), 33);
        }
    }

    tbtest::TempDir tmp;
    fs::path origDir = tmp / "orig";
    fs::path modDir = tmp / "mod";
    fs::path out = tmp / "out.qmz";
    StaticsSet orig;
    StaticsSet mod;
};

// What a failed run must leave: the file that was at the patch's path before (or none),
// and no unfinished patch beside it.
void expectPreviousPatch(const fs::path& path, const std::optional<std::string>& previous) {
    if (previous) {
        const auto bytes = readAll(path);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), *previous);
    } else {
        EXPECT_FALSE(fs::exists(path));
    }
    for (const auto& entry : fs::directory_iterator(path.parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
            << "an unfinished patch was left: " << entry.path();
}

} // namespace

TEST_F(DiffRun, IdenticalSetsGiveEmptyDataSectionsAndOnlyEmptyMarkers) {
    sameBlocksInBoth();
    writeSets();
    writeMapBlock(origDir / "map0.mul", 3, 9, 0x5A, 0x01020304);
    writeMapBlock(modDir / "map0.mul", 3, 9, 0x5A, 0x01020304);

    const tb::DiffSummary summary = run();
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalBoth));
    EXPECT_EQ(summary.patchSize, kIdenticalBoth);
    const Patch patch(out);
    const tb::TBHDInfo& h = patch.header;
    EXPECT_EQ(h.version, 3);
    EXPECT_EQ(h.staticsIndexPos, 1024);
    EXPECT_EQ(h.mapIndexPos, 1024 + 3'145'728);
    const std::uint32_t idxCrc = foldFile(origDir / "staidx0.mul", 4'718'592);
    EXPECT_EQ(h.origStaIdxCRC, idxCrc);
    EXPECT_EQ(h.modStaIdxCRC, idxCrc);
    EXPECT_EQ(h.origStaticsSize, 44 * 7);
    EXPECT_EQ(h.modStaticsSize, 44 * 7);
    EXPECT_EQ(h.mapCRC, foldFile(modDir / "map0.mul", 76'969'984));
    EXPECT_NE(h.mapCRC, 0u); // the block written above is inside the checksum

    int emptied = 0;
    for (int x = 0; x < kDiffBlockColumns; ++x)
        for (int y = 0; y < kDiffBlockRows; ++y) {
            const auto e = patch.staticsEntry(x, y);
            const bool hasStatics = mod.entry(x, y).lookup != -1;
            EXPECT_EQ(e.first, -1);
            EXPECT_EQ(e.second, hasStatics ? -1 : 0);
            emptied += hasStatics ? 0 : 1;
            ASSERT_EQ(patch.mapEntry(x, y), -1);
        }
    EXPECT_EQ(emptied, tb::kDiffBlockCount - 3);
    EXPECT_EQ(summary.staticsBlocksEmptied, emptied);
}

TEST_F(DiffRun, EachPartAloneHasItsOwnLayout) {
    sameBlocksInBoth();
    writeSets();

    run(true, false);
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalStatics));
    const Patch staticsOnly(out);
    EXPECT_EQ(staticsOnly.header.staticsIndexPos, 1024);
    EXPECT_EQ(staticsOnly.header.mapIndexPos, -1);
    EXPECT_EQ(staticsOnly.header.mapCRC, 0u);

    run(false, true);
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalMap));
    const Patch mapOnly(out);
    EXPECT_EQ(mapOnly.header.staticsIndexPos, -1);
    EXPECT_EQ(mapOnly.header.mapIndexPos, 1024);
    // Fields 22 to 37 stay zero without a statics part.
    EXPECT_TRUE(std::all_of(mapOnly.bytes.begin() + 22, mapOnly.bytes.begin() + 38,
                            [](unsigned char b) { return b == 0; }));
    EXPECT_THROW(run(false, false), std::invalid_argument);
}

TEST_F(DiffRun, IndexEntriesDecideBeforeRecordsAreRead) {
    // Block (1, 1): moved to another place in the modified file, same records.
    orig.addBlock(1, 1, records(5, 10));
    mod.statics() = records(2, 99); // something in front, so the Lookup differs
    mod.addBlock(1, 1, records(5, 10));
    // Block (2, 2): identical entries, different bytes behind them.
    orig.addBlock(2, 2, records(4, 20));
    mod.addBlock(2, 2, records(4, 21));
    mod.setEntry(2, 2, orig.entry(2, 2));
    // Block (3, 3): identical entries but Extra differs: still equal.
    orig.addBlock(3, 3, records(2, 30), 1);
    tb::StaticPointer p = orig.entry(3, 3);
    p.extra = 2;
    mod.setEntry(3, 3, p);
    writeSets();

    const tb::DiffSummary summary = run();
    EXPECT_EQ(summary.staticsBlocksStored, 0);
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalBoth));
    const Patch patch(out);
    for (int b : {1, 2, 3})
        EXPECT_EQ(patch.staticsEntry(b, b), std::make_pair(-1, -1)) << "block " << b;
    EXPECT_NE(patch.header.origStaIdxCRC, patch.header.modStaIdxCRC);
}

TEST_F(DiffRun, EmptyModifiedBlocksAreMarkedOrStoredWithLengthZero) {
    orig.addBlock(4, 0, records(6, 1)); // non-empty original, modified Lookup -1
    // (4, 1): empty in both; mod entry Lookup -1 with a stray length.
    mod.setEntry(4, 1, {-1, 14, 0});
    orig.addBlock(4, 2, records(6, 2)); // non-empty original, modified real Lookup, length 0
    mod.addBlock(9, 9, records(1, 3));
    mod.setEntry(4, 2, {0, 0, 0});
    orig.addBlock(9, 9, records(1, 3));
    // (4, 3): original Lookup -1, modified real Lookup with length 0: both empty, equal.
    mod.setEntry(4, 3, {0, 0, 0});
    writeSets();

    const tb::DiffSummary summary = run(true, false);
    const Patch patch(out);
    EXPECT_EQ(patch.staticsEntry(4, 0), std::make_pair(-1, 0));
    EXPECT_EQ(patch.staticsEntry(4, 1), std::make_pair(-1, 0));
    EXPECT_EQ(patch.staticsEntry(4, 2), std::make_pair(1024, 0));
    EXPECT_EQ(patch.staticsEntry(4, 3), std::make_pair(-1, -1));
    EXPECT_EQ(patch.staticsEntry(9, 9), std::make_pair(-1, -1));
    EXPECT_EQ(summary.staticsBlocksStored, 1);
    EXPECT_EQ(patch.header.staticsIndexPos, 1024);
}

TEST_F(DiffRun, ChangedBlocksAreAppendedWholeInBlockOrder) {
    // Written to the modified file in reverse block order; stored in block order.
    const std::vector<std::pair<int, int>> changed{{700, 3}, {40, 500}, {40, 2}, {0, 1}};
    for (std::size_t i = 0; i < changed.size(); ++i) {
        const auto [x, y] = changed[i];
        orig.addBlock(x, y, records(10 + int(i), int(i)));
        mod.addBlock(x, y, records(10 + int(i) + (i % 2 ? 0 : 3), 100 + int(i)));
    }
    writeSets();

    run();
    const Patch patch(out);
    std::int32_t expectedPos = 1024;
    for (auto it = changed.rbegin(); it != changed.rend(); ++it) {
        const auto [pos, length] = patch.staticsEntry(it->first, it->second);
        const tb::StaticPointer m = mod.entry(it->first, it->second);
        EXPECT_EQ(pos, expectedPos);
        ASSERT_EQ(std::uint32_t(length), m.length);
        EXPECT_EQ(patch.slice(pos, m.length),
                  std::vector<unsigned char>(mod.statics().begin() + m.lookup,
                                             mod.statics().begin() + m.lookup + m.length));
        expectedPos += length;
    }
    EXPECT_EQ(patch.header.staticsIndexPos, expectedPos);
    EXPECT_EQ(patch.header.mapIndexPos, expectedPos + 3'145'728);
}

TEST_F(DiffRun, BlocksBeyondTheRoomOfAStaticBlockAreComparedWhole) {
    mod.statics().push_back(0); // shifts every modified Lookup, so all entries differ
    // 3,000 records (more than 2,048): changed in the last record only.
    auto big = records(3000, 7);
    orig.addBlock(10, 10, big);
    big[big.size() - 1] ^= 0xFF;
    mod.addBlock(10, 10, big);
    // 3,000 records moved but equal.
    orig.addBlock(10, 11, records(3000, 8));
    mod.addBlock(10, 11, records(3000, 8));
    // Over 1 MiB of records (read in chunks): one moved but equal, one changed at the end.
    const auto huge = records(200'000, 9);
    orig.addBlock(11, 0, huge);
    mod.addBlock(11, 0, huge);
    auto hugeChanged = records(200'000, 10);
    orig.addBlock(11, 1, hugeChanged);
    hugeChanged[hugeChanged.size() - 3] ^= 1;
    mod.addBlock(11, 1, hugeChanged);
    writeSets();

    const tb::DiffSummary summary = run(true, false);
    EXPECT_EQ(summary.staticsBlocksStored, 2);
    const Patch patch(out);
    EXPECT_EQ(patch.staticsEntry(10, 10), std::make_pair(1024, 21000));
    EXPECT_EQ(patch.slice(1024, 21000), big);
    EXPECT_EQ(patch.staticsEntry(10, 11), std::make_pair(-1, -1));
    EXPECT_EQ(patch.staticsEntry(11, 0), std::make_pair(-1, -1));
    EXPECT_EQ(patch.staticsEntry(11, 1), std::make_pair(1024 + 21000, 1'400'000));
    EXPECT_EQ(patch.slice(1024 + 21000, 1'400'000), hugeChanged);
}

TEST_F(DiffRun, MapBlocksAreStoredWholeAndTheLastColumnIsOutsideTheChecksum) {
    writeSets();
    writeMapBlock(modDir / "map0.mul", 767, 100, 0x11, 7);
    writeMapBlock(modDir / "map0.mul", 2, 0, 0x22, 5);
    writeMapBlock(origDir / "map0.mul", 5, 5, 0x33); // changed back to zero in mod

    const tb::DiffSummary summary = run(false, true);
    EXPECT_EQ(summary.mapBlocksStored, 3);
    const Patch patch(out);
    EXPECT_EQ(patch.mapEntry(2, 0), 1024);
    EXPECT_EQ(patch.mapEntry(5, 5), 1024 + 196);
    EXPECT_EQ(patch.mapEntry(767, 100), 1024 + 2 * 196);
    EXPECT_EQ(patch.slice(1024 + 196, 196), std::vector<unsigned char>(196, 0));
    auto last = patch.slice(1024 + 2 * 196, 196);
    EXPECT_EQ(tb::readU32(last.data()), 7u);
    EXPECT_EQ(last[195], 0x11);
    EXPECT_EQ(patch.header.mapIndexPos, 1024 + 3 * 196);
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalMap + 3 * 196));

    // Only the block of column 2 shows in the checksum; column 767 does not.
    writeMapBlock(modDir / "map0.mul", 767, 100, 0);
    EXPECT_EQ(tb::mapChecksum(modDir / "map0.mul"), patch.header.mapCRC);
    EXPECT_EQ(patch.header.mapCRC, 5u); // the header word; 48 equal words cancel out
}

TEST_F(DiffRun, ManyChangedBlocksInOneColumnAreAllStoredInOrder) {
    writeSets();
    for (int y = 0; y < 40; ++y)
        writeMapBlock(modDir / "map0.mul", 3, 100 + y, static_cast<unsigned char>(y + 1));
    writeMapBlock(origDir / "map0.mul", 767, 0, 9); // last column, original side only
    const tb::DiffSummary summary = run(false, true);
    EXPECT_EQ(summary.mapBlocksStored, 41);
    const Patch patch(out);
    for (int y = 0; y < 40; ++y) {
        ASSERT_EQ(patch.mapEntry(3, 100 + y), 1024 + y * 196);
        std::vector<unsigned char> expected(196, static_cast<unsigned char>(y + 1));
        std::fill_n(expected.begin(), 4, 0); // the block header word
        EXPECT_EQ(patch.slice(1024 + y * 196, 196), expected);
    }
    EXPECT_EQ(patch.mapEntry(3, 99), -1);
    EXPECT_EQ(patch.mapEntry(767, 0), 1024 + 40 * 196);
    EXPECT_EQ(patch.slice(1024 + 40 * 196, 196), std::vector<unsigned char>(196, 0));
}

TEST_F(DiffRun, LargerLayoutsAreComparedInTheirFirst768ColumnsOnly) {
    StaticsSet bigOrig(896);
    StaticsSet bigMod(896);
    bigMod.statics().push_back(0); // every modified Lookup differs from the original's
    bigOrig.addBlock(800, 0, records(2, 1));
    bigMod.addBlock(800, 0, records(2, 2));
    bigOrig.addBlock(3, 0, records(2, 3));
    bigMod.addBlock(3, 0, records(2, 4));
    bigOrig.write(origDir / "staidx0.mul", origDir / "statics0.mul");
    bigMod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
    writeZeroMap(origDir / "map0.mul", 896);
    writeZeroMap(modDir / "map0.mul", 896);
    ASSERT_EQ(fs::file_size(modDir / "map0.mul"), 89'915'392u);
    writeMapBlock(modDir / "map0.mul", 850, 1, 0x44);
    writeMapBlock(modDir / "map0.mul", 100, 1, 0x45);

    const tb::DiffSummary summary = run();
    EXPECT_EQ(summary.staticsBlocksStored, 1);
    EXPECT_EQ(summary.mapBlocksStored, 1);
    const Patch patch(out);
    EXPECT_EQ(patch.staticsEntry(3, 0), std::make_pair(1024, 14));
    EXPECT_EQ(patch.mapEntry(100, 1), patch.header.staticsIndexPos + 3'145'728);
    EXPECT_EQ(fs::file_size(out), std::uintmax_t(kIdenticalBoth + 14 + 196));
}

TEST_F(DiffRun, ABadLengthStopsTheRunAndLeavesNoPatch) {
    orig.addBlock(6, 6, records(2, 1));
    mod.addBlock(6, 6, records(2, 1));
    mod.setEntry(6, 6, {mod.entry(6, 6).lookup, 8, 0});
    writeSets();
    try {
        run();
        FAIL() << "expected StaticsLengthError";
    } catch (const tb::StaticsLengthError& e) {
        EXPECT_STREQ(e.what(), "StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    }
    expectPreviousPatch(out, std::nullopt);
}

// Asked to stop in any phase, the run ends with its message and the previous patch stays.
TEST_F(DiffRun, AStoppedRunLeavesThePreviousPatch) {
    const std::string previous = "a patch made before";
    tbtest::writeBytes(out, {previous.begin(), previous.end()});
    orig.addBlock(3, 3, records(2, 1));
    mod.addBlock(3, 3, records(2, 2));
    writeSets();
    // In the statics index reads, the statics comparison and the map phase.
    for (int stopAt : {5, 2000, 4500}) {
        tbtest::RecordedProgress progress(stopAt);
        try {
            tb::generateDiff(fileSet(origDir), fileSet(modDir), out, true, true, progress);
            FAIL() << "expected a stop at report " << stopAt;
        } catch (const tb::OperationStopped& e) {
            EXPECT_STREQ(e.what(), tb::kDiffStoppedMessage);
        }
        EXPECT_EQ(int(progress.steps.size()), stopAt);
        expectPreviousPatch(out, previous);
    }
}

TEST_F(DiffRun, FileFailuresLeaveThePreviousPatch) {
    const std::string previous = "a patch made before";
    tbtest::writeBytes(out, {previous.begin(), previous.end()});
    writeSets();
    // A missing file.
    fs::remove(modDir / "statics0.mul");
    EXPECT_THROW(run(), tb::FileError);
    expectPreviousPatch(out, previous);
    // A map one block column short (the statics part finishes first).
    writeSets();
    fs::resize_file(origDir / "map0.mul", 767 * 100'352);
    EXPECT_THROW(run(), tb::FileError);
    expectPreviousPatch(out, previous);
    // A short statics index.
    fs::resize_file(origDir / "map0.mul", 768 * 100'352);
    fs::resize_file(origDir / "staidx0.mul", 4'718'592 - 12);
    EXPECT_THROW(run(), tb::FileError);
    expectPreviousPatch(out, previous);
    // Records past the end of statics0.mul.
    writeSets();
    mod.setEntry(1, 1, {1000, 7, 0});
    mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
    EXPECT_THROW(run(), tb::FileError);
    expectPreviousPatch(out, previous);
}

TEST_F(DiffRun, TheOutputMayNotBeAnInput) {
    writeSets();
    const auto before = readAll(origDir / "staidx0.mul");
    // Other spellings and a second name of the same file are caught too.
    fs::create_hard_link(modDir / "map0.mul", tmp / "link.qmz");
    for (const fs::path& target :
         {origDir / "staidx0.mul", fs::path(modDir / "." / "statics0.mul"),
          fs::path(origDir / ".." / "mod" / "map0.mul"), tmp / "link.qmz"}) {
        EXPECT_THROW(runTo(target), tb::FileError) << target;
    }
    EXPECT_EQ(readAll(origDir / "staidx0.mul"), before);
    EXPECT_EQ(fs::file_size(tmp / "link.qmz"), 768u * 100'352u);
    // An input that does not exist yet cannot be the output either.
    fs::remove(origDir / "map0.mul");
    EXPECT_THROW(runTo(origDir / "map0.mul"), tb::FileError);
    EXPECT_FALSE(fs::exists(origDir / "map0.mul"));
}

namespace {

// A report under a new caption starts a stage (its bar at 0); the reports after it under
// the same caption are the stage's percentages.
struct RecordingProgress : tb::Progress {
    std::vector<std::string> stages;
    std::vector<std::vector<int>> values{{}};
    void report(std::string_view caption, std::int64_t done, std::int64_t total) override {
        EXPECT_EQ(total, 100);
        if (stages.empty() || stages.back() != caption) {
            EXPECT_EQ(done, 0);
            stages.emplace_back(caption);
            values.emplace_back();
            return;
        }
        values.back().push_back(int(done));
    }
};

} // namespace

TEST_F(DiffRun, StagesAndPercentagesFollowTheRun) {
    writeSets();
    RecordingProgress progress;
    tb::generateDiff(fileSet(origDir), fileSet(modDir), out, true, true, progress);
    const std::vector<std::string> expected{
        "Working, please wait...", "Generating patch (Statics)", "Generating patch (Statics index)",
        "Generating patch (Map)", "Generating patch (Map index)"};
    EXPECT_EQ(progress.stages, expected);
    for (const auto& v : progress.values)
        for (int p : v)
            EXPECT_TRUE(p >= 0 && p <= 100) << p;
    // Statics: two index reads (0..100 each) then 768 columns.
    const auto& statics = progress.values[2];
    EXPECT_EQ(std::count(statics.begin(), statics.end(), 100), 2);
    EXPECT_EQ(statics.back(), 767 * 100 / 768);
    // The map checksum runs under the statics index stage and ends 99, 100.
    const auto& indexStage = progress.values[3];
    ASSERT_GE(indexStage.size(), 2u);
    EXPECT_EQ(indexStage[indexStage.size() - 2], 99);
    EXPECT_EQ(indexStage.back(), 100);
    EXPECT_EQ(progress.values[4].size(), 768u);
    EXPECT_EQ(progress.values[5].size(), 768u);
}

TEST_F(DiffRun, RealClientStaticsRepackedCompareEqualExceptTheChangedBlock) {
    const fs::path real = tbtest::realDataDir();
    if (real.empty())
        GTEST_SKIP() << "shared/real-data is absent";
    // The real index fragment as the first 1,807 blocks of a full index; the original
    // statics file is the real one, read in place.
    const auto realIndex = readAll(real / "stadifi0.mul");
    const auto realStatics = readAll(real / "stadif0.mul");
    const int count = int(realIndex.size() / tb::kStaticPointerSize);
    for (int i = 0; i < count; ++i)
        orig.setEntry(i / kDiffBlockRows, i % kDiffBlockRows,
                      tb::decodeStaticPointer(realIndex.data() + std::size_t(i) * 12));
    // The modified statics: the same blocks repacked in reverse order, so nearly every
    // Lookup differs; one record of one block changed.
    int changedBlock = -1;
    for (int i = count - 1; i >= 0; --i) {
        const tb::StaticPointer p = orig.entry(i / kDiffBlockRows, i % kDiffBlockRows);
        if (p.lookup == -1) {
            mod.setEntry(i / kDiffBlockRows, i % kDiffBlockRows, p);
            continue;
        }
        std::vector<unsigned char> recs(realStatics.begin() + p.lookup,
                                        realStatics.begin() + p.lookup + p.length);
        if (changedBlock < 0 && i < count / 2 && !recs.empty()) {
            changedBlock = i;
            recs[0] ^= 0x40;
        }
        mod.addBlock(i / kDiffBlockRows, i % kDiffBlockRows, recs, p.extra);
    }
    ASSERT_GE(changedBlock, 0);
    orig.write(origDir / "staidx0.mul", tmp / "unused.mul");
    mod.write(modDir / "staidx0.mul", modDir / "statics0.mul");
    tb::DiffFileSet origSet = fileSet(origDir);
    origSet.statics = real / "stadif0.mul";

    tb::Progress& progress = tb::noProgress();
    const tb::DiffSummary summary =
        tb::generateDiff(origSet, fileSet(modDir), out, true, false, progress);
    EXPECT_EQ(summary.staticsBlocksStored, 1);
    const Patch patch(out);
    EXPECT_EQ(patch.header.origStaticsSize, 146'790);
    EXPECT_EQ(patch.header.modStaticsSize, 146'790);
    const int cx = changedBlock / kDiffBlockRows;
    const int cy = changedBlock % kDiffBlockRows;
    const tb::StaticPointer m = mod.entry(cx, cy);
    EXPECT_EQ(patch.staticsEntry(cx, cy), std::make_pair(1024, std::int32_t(m.length)));
    EXPECT_EQ(patch.slice(1024, m.length),
              std::vector<unsigned char>(mod.statics().begin() + m.lookup,
                                         mod.statics().begin() + m.lookup + m.length));
}
