// Edited statics saved by appending, compacted, and a compaction interrupted at each step.
#include "core/StaticsSave.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace fs = std::filesystem;
using tb::StaticRecord;

namespace {

constexpr int kSide = 4; // blocks a side
constexpr std::size_t kBlocks = kSide * kSide;

// Block 0: two records and one whose column lies outside its block; block 1: damaged (a
// length that is no multiple of 7); block 2: one record, never edited; the rest empty.
tbtest::StaticsPair startingPair() {
    tbtest::StaticsPair pair(kBlocks);
    pair.setBlock(0, {{0x0CCA, 1, 2, 5, 0}, {0x0CCB, 9, 1, 0, 0x22}, {0x1000, 1, 2, 7, 3}});
    pair.setBlock(2, {{0x0D00, 7, 7, -3, 0}});
    pair.data.insert(pair.data.end(), {1, 2, 3, 4, 5});
    pair.setEntry(1, std::int32_t(pair.data.size() - 5), 5);
    return pair;
}

struct Folder {
    tbtest::TempDir dir;
    tb::StaticsFilePaths files{dir / "staidx0.mul", dir / "statics0.mul"};

    explicit Folder(const tbtest::StaticsPair& pair) {
        tbtest::writeBytes(files.index, pair.index);
        tbtest::writeBytes(files.data, pair.data);
    }
    tb::StaticsMap load() const {
        return tb::StaticsMap(tbtest::readBytes(files.index), tbtest::readBytes(files.data), kSide,
                              kSide);
    }
};

std::vector<unsigned char> entryBytes(const std::vector<unsigned char>& index, std::size_t b) {
    return {index.begin() + std::ptrdiff_t(b * 12), index.begin() + std::ptrdiff_t(b * 12 + 12)};
}

} // namespace

TEST(StaticsSave, EditsRoundTripAndUntouchedBytesStayAsTheyWere) {
    const tbtest::StaticsPair start = startingPair();
    Folder folder(start);
    tb::StaticsMap statics = folder.load();
    EXPECT_FALSE(statics.isEditable(1));
    EXPECT_THROW(statics.setRecords(1, {}), std::logic_error);

    // Raise the tree, keep the record the editor does not understand, add an item elsewhere.
    std::vector<StaticRecord> block0 = statics.records(0);
    ASSERT_EQ(block0.size(), 3u);
    EXPECT_FALSE(block0[1].understood());
    block0[0].z = 25;
    statics.setRecords(0, block0);
    statics.setRecords(5, {{0x1111, 3, 4, 10, 7}});
    EXPECT_EQ(statics.cell(1, 2)->topmostZ, 25); // the view sees the edit at once
    // A block put back as the files hold it (an undo) is no change to save.
    const std::vector<StaticRecord> block2 = statics.records(2);
    statics.setRecords(2, {});
    statics.setRecords(2, block2);
    EXPECT_EQ(statics.changedBlocks().count(2), 0u);

    const tb::StaticsSaveReport report = tb::saveStatics(statics, folder.files);
    EXPECT_EQ(report.dataBytesWritten, 4u * 7);
    EXPECT_EQ(report.indexBytesWritten, kBlocks * 12);
    EXPECT_FALSE(statics.isModified());

    const std::vector<unsigned char> data = tbtest::readBytes(folder.files.data);
    const std::vector<unsigned char> index = tbtest::readBytes(folder.files.index);
    // Appended only: what the old index points at is still there.
    ASSERT_EQ(data.size(), start.data.size() + 28);
    EXPECT_TRUE(std::equal(start.data.begin(), start.data.end(), data.begin()));
    for (const std::size_t untouched : {std::size_t(1), std::size_t(2), std::size_t(9)})
        EXPECT_EQ(entryBytes(index, untouched), entryBytes(start.index, untouched)) << untouched;

    const tb::StaticsMap reloaded = folder.load();
    EXPECT_EQ(reloaded.records(0), block0);
    EXPECT_EQ(reloaded.records(5), (std::vector<StaticRecord>{{0x1111, 3, 4, 10, 7}}));
    EXPECT_EQ(reloaded.records(2), statics.records(2));
    EXPECT_EQ(reloaded.cell(0 * 8 + 1, 2)->topmostZ, 25);

    // A second save appends again; the in-memory model agrees with the files after it.
    statics.setRecords(5, {});
    tb::saveStatics(statics, folder.files);
    const tb::StaticsMap again = folder.load();
    EXPECT_TRUE(again.records(5).empty());
    EXPECT_EQ(again.records(0), statics.records(0));

    // Compacting drops the unused records and keeps every block, the damaged one included.
    const tb::CompactReport compact = tb::compactStatics(folder.files, kSide, kSide);
    EXPECT_EQ(compact.recordsKept, 4u);
    EXPECT_EQ(compact.bytesAfter, 4u * 7 + 5);
    EXPECT_LT(compact.bytesAfter, compact.bytesBefore);
    const tb::StaticsMap compacted = folder.load();
    for (std::size_t b = 0; b < kBlocks; ++b)
        EXPECT_EQ(compacted.records(b), again.records(b)) << b;
    const std::vector<unsigned char> newIndex = tbtest::readBytes(folder.files.index);
    const std::vector<unsigned char> newData = tbtest::readBytes(folder.files.data);
    const std::size_t damagedAt = std::size_t(newIndex[12] | newIndex[13] << 8);
    EXPECT_EQ(std::vector<unsigned char>(newData.begin() + std::ptrdiff_t(damagedAt),
                                         newData.begin() + std::ptrdiff_t(damagedAt + 5)),
              (std::vector<unsigned char>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(fs::exists(tb::compactionBackups(folder.files).data));
    EXPECT_FALSE(fs::exists(tb::compactionBackups(folder.files).index));
}

TEST(StaticsSave, NewPairIsCreatedForAMapWithoutStatics) {
    tbtest::TempDir dir;
    const tb::StaticsFilePaths files{dir / "staidx2.mul", dir / "statics2.mul"};
    tb::StaticsMap statics = tb::StaticsMap::empty(kSide, kSide);
    EXPECT_TRUE(statics.isEditable(kBlocks - 1));
    statics.setRecords(kBlocks - 1, {{0x0CCA, 0, 0, 0, 0}});
    tb::saveStatics(statics, files);
    const tb::StaticsMap loaded(tbtest::readBytes(files.index), tbtest::readBytes(files.data),
                                kSide, kSide);
    EXPECT_EQ(loaded.recordCount(), 1);
    EXPECT_EQ(loaded.count(kSide * 8 - 8, kSide * 8 - 8), 1u);
}

// The states a compaction passes through on disk, each as an interruption would leave it:
// the next load must find a pair that loads, the old one or the new one.
TEST(StaticsSave, InterruptedCompactionLeavesAWholePair) {
    const tbtest::StaticsPair oldPair = startingPair();
    tbtest::StaticsPair newPair(kBlocks); // the same records, compacted
    newPair.setBlock(0, {{0x0CCA, 1, 2, 5, 0}, {0x0CCB, 9, 1, 0, 0x22}, {0x1000, 1, 2, 7, 3}});
    newPair.setBlock(2, {{0x0D00, 7, 7, -3, 0}});
    enum class Step {
        DataBackupMade,
        BothBackupsMade,
        DataReplaced,
        BothReplaced,
        IndexBackupDropped
    };
    for (const Step step : {Step::DataBackupMade, Step::BothBackupsMade, Step::DataReplaced,
                            Step::BothReplaced, Step::IndexBackupDropped}) {
        SCOPED_TRACE(int(step));
        Folder folder(oldPair);
        const tb::StaticsFilePaths bak = tb::compactionBackups(folder.files);
        tbtest::writeBytes(bak.data, oldPair.data);
        if (step != Step::DataBackupMade && step != Step::IndexBackupDropped)
            tbtest::writeBytes(bak.index, oldPair.index);
        if (step != Step::DataBackupMade && step != Step::BothBackupsMade)
            tbtest::writeBytes(folder.files.data, newPair.data);
        if (step == Step::BothReplaced || step == Step::IndexBackupDropped)
            tbtest::writeBytes(folder.files.index, newPair.index);

        tb::recoverInterruptedCompaction(folder.files);
        const auto index = tbtest::readBytes(folder.files.index);
        const auto data = tbtest::readBytes(folder.files.data);
        const bool isOld = index == oldPair.index && data == oldPair.data;
        const bool isNew = index == newPair.index && data == newPair.data;
        EXPECT_TRUE(isOld || isNew);
        EXPECT_FALSE(fs::exists(bak.data));
        EXPECT_FALSE(fs::exists(bak.index));
    }
}
