// The patch header byte for byte, the two checksums and reading the statics pair,
// including the real client statics files.
#include "DiffFixtures.h"
#include "RecordedProgress.h"
#include "TestPaths.h"

#include "diff/DiffFormat.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

using namespace difftest;

TEST(DiffHeader, IsPackedWithTheMagicInUtf16AndZerosAfterTheFields) {
    tb::TBHDInfo h;
    h.staticsIndexPos = 0x01020304;
    h.origStaIdxCRC = 0xA1B2C3D4;
    h.origStaticsSize = 5;
    h.modStaIdxCRC = 0x0BADF00D;
    h.modStaticsSize = -2;
    h.mapIndexPos = 0x7F000001;
    h.mapCRC = 0x80000000;
    const auto b = tb::encodeHeader(h);
    const unsigned char magic[14] = {'T', 0, 'B', 0, 'P', 0, 'a', 0, 't', 0, 'c', 0, 'h', 0};
    EXPECT_TRUE(std::equal(magic, magic + 14, b.begin()));
    const unsigned char fields[32] = {3,    0,    0, 0, 4, 3,    2,    1,    0xD4, 0xC3, 0xB2,
                                      0xA1, 5,    0, 0, 0, 0x0D, 0xF0, 0xAD, 0x0B, 0xFE, 0xFF,
                                      0xFF, 0xFF, 1, 0, 0, 0x7F, 0,    0,    0,    0x80};
    EXPECT_TRUE(std::equal(fields, fields + 32, b.begin() + 14));
    EXPECT_TRUE(std::all_of(b.begin() + 46, b.end(), [](unsigned char c) { return c == 0; }));
    EXPECT_EQ(tb::decodeHeader(b), h);

    const auto provisional = tb::encodeHeader(tb::provisionalHeader());
    EXPECT_EQ(tb::readI32(provisional.data() + 14), 3);
    EXPECT_EQ(tb::readI32(provisional.data() + 18), -1);
    EXPECT_EQ(tb::readI32(provisional.data() + 38), -1);
    EXPECT_TRUE(std::all_of(provisional.begin() + 22, provisional.begin() + 38,
                            [](unsigned char c) { return c == 0; }));

    auto wrong = b;
    wrong[2] = 'b';
    EXPECT_THROW(tb::decodeHeader(wrong), std::invalid_argument);
    EXPECT_THROW(tb::decodeHeader(std::span(b.data(), 100)), std::invalid_argument);
}

TEST(DiffChecksums, FoldTheIndexAndAllButTheLastMapColumn) {
    tbtest::TempDir tmp;
    StaticsSet set;
    set.setEntry(0, 0, {0x10, 0x700, 0x11111111});
    set.setEntry(767, 511, {0x20, 0x0E, 0x22222222});
    set.write(tmp / "staidx0.mul", tmp / "statics0.mul");
    tb::StaIdxTable table;
    tbtest::RecordedProgress progress;
    tb::readStaIdx(tmp / "staidx0.mul", table, progress);
    std::vector<int> percents;
    for (const tbtest::RecordedProgress::Step& step : progress.steps)
        percents.push_back(int(step.done));
    ASSERT_EQ(percents.size(), 770u);
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents[768], 767 * 100 / 768);
    EXPECT_EQ(percents.back(), 100);
    // Every other entry is (-1, 0, 0); an even number of them leaves -1 out of the fold.
    const std::uint32_t others = ((tb::kDiffBlockCount - 2) % 2) ? 0xFFFFFFFFu : 0u;
    EXPECT_EQ(tb::staIdxChecksum(table),
              others ^ 0x10u ^ 0x700u ^ 0x11111111u ^ 0x20u ^ 0x0Eu ^ 0x22222222u);

    const fs::path map = tmp / "map0.mul";
    writeZeroMap(map);
    writeMapBlock(map, 0, 0, 0, 0x01010101);      // header word only
    writeMapBlock(map, 766, 511, 0, 0x00FF0000);  // last block inside the checksum
    writeMapBlock(map, 767, 0, 0xEE, 0x12345678); // outside
    EXPECT_EQ(tb::mapChecksum(map), 0x01FE0101u);
    fs::resize_file(map, 76'969'984 - 1);
    EXPECT_THROW(tb::mapChecksum(map), tb::FileError);
}

TEST(StaticBlockReading, ChecksItsPointerBeforeReading) {
    tbtest::TempDir tmp;
    const auto recs = records(3, 5);
    StaticsSet::writeFile(tmp / "statics0.mul", recs);
    // Lookup -1: empty, the file is not even opened.
    EXPECT_EQ(tb::getStaticBlock(tmp / "missing.mul", {-1, 21, 0}).count(), 0u);
    const tb::StaticBlock b = tb::getStaticBlock(tmp / "statics0.mul", {7, 14, 0});
    EXPECT_EQ(b.count(), 2u);
    EXPECT_EQ(b.records, std::vector<unsigned char>(recs.begin() + 7, recs.end()));
    try {
        tb::getStaticBlock(tmp / "statics0.mul", {0, 13, 0});
        FAIL();
    } catch (const tb::StaticsLengthError& e) {
        EXPECT_STREQ(e.what(), "StaticPointer.Length is not a multiple of SizeOf(TStaticRec)");
    }
    EXPECT_THROW(tb::getStaticBlock(tmp / "statics0.mul", {14, 14, 0}), tb::FileError);
    // A hostile length is refused before anything is allocated for it.
    EXPECT_THROW(tb::getStaticBlock(tmp / "statics0.mul", {0, 4294967292u, 0}), tb::FileError);
    EXPECT_THROW(tb::getStaticBlock(tmp / "statics0.mul", {-7, 7, 0}), tb::FileError);
}

TEST(RealStatics, TheClientPairReadsWholeAndConsistent) {
    const fs::path dir = tbtest::realDataDir();
    if (dir.empty())
        GTEST_SKIP() << "shared/real-data is absent";
    const auto index = readAll(dir / "stadifi0.mul");
    ASSERT_EQ(index.size() % tb::kStaticPointerSize, 0u);
    const std::size_t entries = index.size() / tb::kStaticPointerSize;
    EXPECT_EQ(entries, 1807u);
    std::size_t totalRecords = 0;
    std::size_t maxRecords = 0;
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < entries; ++i) {
        const tb::StaticPointer p = tb::decodeStaticPointer(index.data() + i * 12);
        const tb::StaticBlock block = tb::getStaticBlock(dir / "stadif0.mul", p);
        if (p.lookup != -1) {
            EXPECT_EQ(block.records.size(), p.length);
            totalBytes += p.length;
        }
        totalRecords += block.count();
        maxRecords = std::max(maxRecords, block.count());
    }
    EXPECT_EQ(totalRecords, 20'970u);
    EXPECT_EQ(totalBytes, fs::file_size(dir / "stadif0.mul"));
    EXPECT_EQ(maxRecords, 241u);
}
