// Edited statics saved by appending, compacted, and a compaction interrupted at each step.
#include "core/StaticsSave.h"
#include "shell/Errors.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <zlib.h>

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

namespace {

// The journal a compaction writes, made by hand: "old"/"new", the file's name, its size
// and its CRC-32 in 8 hex digits, one line each after the first.
std::string journalFor(const tbtest::StaticsPair& oldPair, const tbtest::StaticsPair& newPair) {
    std::string text = "Tolvane Brimholt statics compaction\r\n";
    const auto line = [&](const char* which, const char* name,
                          const std::vector<unsigned char>& bytes) {
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08lX",
                      crc32(crc32(0L, Z_NULL, 0), bytes.data(), uInt(bytes.size())));
        text += std::string(which) + " " + name + " " + std::to_string(bytes.size()) + " " + crc +
                "\r\n";
    };
    line("old", "staidx0.mul", oldPair.index);
    line("old", "statics0.mul", oldPair.data);
    line("new", "staidx0.mul", newPair.index);
    line("new", "statics0.mul", newPair.data);
    return text;
}

void writeText(const fs::path& path, const std::string& text) {
    tbtest::writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::map<std::string, std::vector<unsigned char>> filesIn(const fs::path& dir) {
    std::map<std::string, std::vector<unsigned char>> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files[entry.path().filename().string()] = tbtest::readBytes(entry.path());
    return files;
}

} // namespace

// The states a compaction passes through on disk after its journal is written, each as an
// interruption would leave it: looking changes nothing and reads the pair that recovering
// then leaves, the old one or the new one, whole, without backups or journal.
TEST(StaticsSave, InterruptedCompactionLeavesAWholePair) {
    const tbtest::StaticsPair oldPair = startingPair();
    tbtest::StaticsPair newPair(kBlocks); // the same records, compacted
    newPair.setBlock(0, {{0x0CCA, 1, 2, 5, 0}, {0x0CCB, 9, 1, 0, 0x22}, {0x1000, 1, 2, 7, 3}});
    newPair.setBlock(2, {{0x0D00, 7, 7, -3, 0}});
    // Step: what is on disk after it; whether the old pair comes out.
    const struct {
        const char* step;
        bool dataBak, indexBak, dataNew, indexNew, old;
    } states[] = {
        {"journal written", false, false, false, false, true},
        {"data backup made", true, false, false, false, true},
        {"index backup made", true, true, false, false, true},
        {"data replaced", true, true, true, false, true},
        {"index replaced", true, true, true, true, false},
        {"index backup dropped", true, false, true, true, false},
        {"data backup dropped", false, false, true, true, false},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.step);
        Folder folder(oldPair);
        const tb::StaticsFilePaths bak = tb::compactionBackups(folder.files);
        writeText(tb::compactionJournal(folder.files), journalFor(oldPair, newPair));
        if (state.dataBak)
            tbtest::writeBytes(bak.data, oldPair.data);
        if (state.indexBak)
            tbtest::writeBytes(bak.index, oldPair.index);
        if (state.dataNew)
            tbtest::writeBytes(folder.files.data, newPair.data);
        if (state.indexNew)
            tbtest::writeBytes(folder.files.index, newPair.index);
        const auto before = filesIn(folder.dir.path());

        const tb::CompactionCheck check = tb::checkCompaction(folder.files);
        EXPECT_EQ(filesIn(folder.dir.path()), before) << "looking changed a file";
        const tbtest::StaticsPair& expected = state.old ? oldPair : newPair;
        EXPECT_EQ(tbtest::readBytes(check.pair.index), expected.index);
        EXPECT_EQ(tbtest::readBytes(check.pair.data), expected.data);
        EXPECT_EQ(check.note.empty(), !(state.dataNew && !state.indexNew)) << check.note;

        const std::string note = tb::recoverInterruptedCompaction(folder.files);
        EXPECT_EQ(note.empty(), !(state.dataNew && !state.indexNew)) << note;
        EXPECT_EQ(tbtest::readBytes(folder.files.index), expected.index);
        EXPECT_EQ(tbtest::readBytes(folder.files.data), expected.data);
        EXPECT_EQ(tbtest::entriesIn(folder.dir.path()), 2u) << "backups or journal left";
    }
}

// ".bak" files and journals that prove nothing are never put back, dropped or written over:
// a stale pair of backups beside a newer pair, empty ones, and a journal whose backup is cut
// short while the pair in place is half compacted.
TEST(StaticsSave, BackupsTheJournalDoesNotProveAreLeftAlone) {
    const tbtest::StaticsPair oldPair = startingPair();
    tbtest::StaticsPair newer = startingPair();
    newer.setBlock(6, {{0x0063, 3, 3, 0, 0}});
    tbtest::StaticsPair compacted(kBlocks);
    compacted.setBlock(0, {{0x0CCA, 1, 2, 5, 0}});

    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty backups" : "a stale pair of backups");
        Folder folder(newer);
        const tb::StaticsFilePaths bak = tb::compactionBackups(folder.files);
        tbtest::writeBytes(bak.index, empty ? std::vector<unsigned char>{} : oldPair.index);
        tbtest::writeBytes(bak.data, empty ? std::vector<unsigned char>{} : oldPair.data);
        const auto before = filesIn(folder.dir.path());
        const tb::CompactionCheck check = tb::checkCompaction(folder.files);
        EXPECT_EQ(check.pair.index, folder.files.index);
        EXPECT_EQ(check.pair.data, folder.files.data);
        EXPECT_NE(check.note.find("left as they are"), std::string::npos) << check.note;
        EXPECT_NE(tb::recoverInterruptedCompaction(folder.files).find("statics0.mul.bak"),
                  std::string::npos);
        EXPECT_EQ(filesIn(folder.dir.path()), before);
        // A compaction would have to write over them: it is refused, naming one.
        try {
            tb::compactStatics(folder.files, kSide, kSide);
            ADD_FAILURE() << "compacted over the backups";
        } catch (const tb::FileError& e) {
            EXPECT_NE(std::string(e.what()).find(".bak\""), std::string::npos) << e.what();
        }
        EXPECT_EQ(filesIn(folder.dir.path()), before);
        EXPECT_EQ(folder.load().records(6).size(), 1u);
    }

    // The new index beside the old statics file, and the index's backup cut short: no proof
    // of the old index to put back.
    Folder folder(oldPair);
    const tb::StaticsFilePaths bak = tb::compactionBackups(folder.files);
    writeText(tb::compactionJournal(folder.files), journalFor(oldPair, compacted));
    tbtest::writeBytes(bak.data, oldPair.data);
    tbtest::writeBytes(bak.index, {oldPair.index.begin(), oldPair.index.begin() + 12});
    tbtest::writeBytes(folder.files.index, compacted.index);
    const auto before = filesIn(folder.dir.path());
    const tb::CompactionCheck check = tb::checkCompaction(folder.files);
    EXPECT_EQ(check.pair.index, folder.files.index);
    EXPECT_NE(check.note.find("cannot be undone"), std::string::npos) << check.note;
    EXPECT_NE(check.note.find("staidx0.mul.bak"), std::string::npos) << check.note;
    EXPECT_NE(tb::recoverInterruptedCompaction(folder.files).find("cannot be undone"),
              std::string::npos);
    EXPECT_THROW(tb::compactStatics(folder.files, kSide, kSide), tb::FileError);
    EXPECT_EQ(filesIn(folder.dir.path()), before);

    // A journal that is no journal proves nothing either.
    writeText(tb::compactionJournal(folder.files), "Tolvane Brimholt statics compaction\r\nold");
    EXPECT_NE(tb::checkCompaction(folder.files).note.find("cannot be read"), std::string::npos);
}

// A save never leaves a pair that is not whole: one file of the two alone is refused naming
// the other, an index that cannot be replaced is found before the statics file grows, and
// damaged entries pointing at or past the end of the statics file do not end up pointing at
// the records appended there.
TEST(StaticsSave, APairIsWrittenWholeOrNotAtAll) {
    const tbtest::StaticsPair start = startingPair();
    const auto edited = [](tb::StaticsMap statics) {
        statics.setRecords(5, {{0x0DE0, 0, 0, 0, 0}});
        return statics;
    };
    {
        Folder folder(start);
        tb::StaticsMap statics = edited(folder.load());
        fs::remove(folder.files.data);
        try {
            tb::saveStatics(statics, folder.files);
            ADD_FAILURE() << "saved without its statics file";
        } catch (const tb::FileError& e) {
            EXPECT_NE(std::string(e.what()).find("statics0.mul\": it is missing"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(fs::exists(folder.files.data));
        EXPECT_EQ(tbtest::readBytes(folder.files.index), start.index);
        EXPECT_TRUE(statics.isModified());

        // A new pair where only the statics file is there: its records would be orphaned.
        tb::StaticsMap fresh = edited(tb::StaticsMap::empty(kSide, kSide));
        fs::remove(folder.files.index);
        tbtest::writeBytes(folder.files.data, start.data);
        EXPECT_THROW(tb::saveStatics(fresh, folder.files), tb::FileError);
        EXPECT_FALSE(fs::exists(folder.files.index));
        EXPECT_EQ(tbtest::readBytes(folder.files.data), start.data);
    }
    {
        // An index that is a folder cannot be replaced: nothing is appended first.
        Folder folder(start);
        tb::StaticsMap statics = edited(folder.load());
        fs::remove(folder.files.index);
        fs::create_directory(folder.files.index);
        EXPECT_THROW(tb::saveStatics(statics, folder.files), tb::FileError);
        EXPECT_EQ(tbtest::readBytes(folder.files.data), start.data);
        EXPECT_EQ(tbtest::entriesIn(folder.dir.path()), 2u);
    }
    // Block 3 points at the very end, block 4 runs past it: both would show the new records.
    tbtest::StaticsPair damaged = start;
    damaged.setEntry(3, std::int32_t(damaged.data.size()), 7);
    damaged.setEntry(4, std::int32_t(damaged.data.size() - 7), 14);
    Folder folder(damaged);
    tb::StaticsMap statics = edited(folder.load());
    const tb::StaticsSaveReport report = tb::saveStatics(statics, folder.files);
    EXPECT_EQ(report.entriesMovedAside, (std::vector<std::size_t>{3, 4}));
    const std::string warning = tb::movedEntriesWarning(folder.files, report, kSide);
    EXPECT_NE(warning.find("blocks (0, 3), (1, 0) pointed at or past the end of"),
              std::string::npos)
        << warning;
    tb::StaticsDamage damage;
    const tb::StaticsMap reloaded(tbtest::readBytes(folder.files.index),
                                  tbtest::readBytes(folder.files.data), kSide, kSide, &damage);
    EXPECT_TRUE(reloaded.records(3).empty());
    EXPECT_TRUE(reloaded.records(4).empty());
    EXPECT_EQ(damage.entriesPastData, 2) << "the entries are still damaged, not emptied";
    EXPECT_EQ(reloaded.records(5), (std::vector<StaticRecord>{{0x0DE0, 0, 0, 0, 0}}));
    // The model in memory agrees with the files.
    EXPECT_TRUE(statics.records(3).empty());
    EXPECT_EQ(statics.indexBytes(), tbtest::readBytes(folder.files.index));
}
