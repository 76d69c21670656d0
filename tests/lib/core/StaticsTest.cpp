// The statics lookup: which static is on top of a cell, how many stand there, which files
// are read, and what damaged files leave.
#include "core/StaticRadarColours.h"
#include "core/StaticsFiles.h"
#include "core/StaticsMap.h"
#include "shell/Errors.h"
#include "shell/LittleEndian.h"

#include "StaticsFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace fs = std::filesystem;
using tbtest::StaticRec;

namespace {

tb::MapVariant tokuno() {
    for (const tb::MapVariant& v : tb::mapVariants())
        if (v.caption == "Tokuno")
            return v;
    throw std::logic_error("no Tokuno variant");
}

} // namespace

TEST(StaticsMap, TopmostIsTheHighestAndTheLastOfEqualHeights) {
    // A map of 2 x 3 blocks; blocks are numbered column by column.
    tbtest::StaticsPair pair(6);
    // Block (1, 2): records of three cells interleaved.
    pair.setBlock(1 * 3 + 2, {
                                 {100, 3, 5, 5},
                                 {200, 0, 0, 20}, // higher than the later record of its cell
                                 {101, 3, 5, 9},
                                 {201, 0, 0, 9},
                                 {102, 3, 5, 9}, // ties with 101 and comes later
                                 {300, 7, 7, -128},
                                 {103, 3, 5, -3},
                             });
    // Block (0, 1): its one record lies on cell (7, 8).
    pair.setBlock(1, {{400, 7, 0, 0}});
    const auto statics = tb::StaticsMap(pair.index, pair.data, 2, 3);

    const std::map<std::pair<int, int>, std::pair<int, std::uint32_t>> expected{
        {{11, 21}, {102, 4}}, {{8, 16}, {200, 2}}, {{15, 23}, {300, 1}}, {{7, 8}, {400, 1}}};
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 24; ++y) {
            const tb::StaticCell* cell = statics.cell(x, y);
            const auto it = expected.find({x, y});
            if (it == expected.end()) {
                EXPECT_EQ(cell, nullptr) << x << ", " << y;
                EXPECT_EQ(statics.count(x, y), 0u);
                continue;
            }
            ASSERT_NE(cell, nullptr) << x << ", " << y;
            EXPECT_EQ(cell->topmostId, it->second.first) << x << ", " << y;
            EXPECT_EQ(cell->count, it->second.second) << x << ", " << y;
        }
    EXPECT_EQ(statics.cell(11, 21)->topmostZ, 9);
    EXPECT_EQ(statics.recordCount(), 8);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {16, 0}, {0, 24}})
        EXPECT_EQ(statics.cell(x, y), nullptr);
}

TEST(StaticsMap, DamagedEntriesShowNoStaticsAndGiveOneWarningNamingTheFile) {
    const tb::MapVariant variant = tokuno();
    const std::size_t blocks = std::size_t(variant.widthBlocks()) * variant.heightBlocks();
    tbtest::StaticsPair pair(blocks);
    pair.setBlock(0, {{10, 1, 1, 0}});                        // sound
    pair.setBlock(7, {{13, 8, 0, 0}, {14, 2, 2, 0}});         // a record outside its block
    pair.setBlock(blocks - 2, {{15, 7, 7, 0}});               // the last entry the index holds
    pair.setEntry(1, -1, 14);                                 // no statics
    pair.setEntry(2, 0, 0);                                   // no statics
    pair.setEntry(3, 0, 13);                                  // not a multiple of 7
    pair.setEntry(4, std::int32_t(pair.data.size() - 7), 14); // runs past the end
    pair.setEntry(5, -8, 7);                                  // before the start
    pair.setEntry(6, 7, 613'566'756u * 7);                    // offset + length beyond 32 bits
    pair.index.erase(pair.index.end() - 7, pair.index.end()); // the last entry is cut short

    tb::StaticsDamage damage;
    const auto statics = tb::StaticsMap(pair.index, pair.data, variant.widthBlocks(),
                                        variant.heightBlocks(), &damage);
    EXPECT_EQ(damage.lengthsNotMultipleOf7, 1);
    EXPECT_EQ(damage.entriesPastData, 3);
    EXPECT_EQ(damage.blocksWithoutEntry, 1);
    EXPECT_TRUE(damage.indexHasPartialEntry);
    ASSERT_NE(statics.cell(1, 1), nullptr);
    EXPECT_EQ(statics.cell(1, 1)->topmostId, 10);
    for (int b = 1; b <= 6; ++b)
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(statics.cell(i % 8, b * 8 + i / 8), nullptr) << b;
    ASSERT_NE(statics.cell(2, 7 * 8 + 2), nullptr);
    EXPECT_EQ(statics.cell(2, 7 * 8 + 2)->topmostId, 14);
    const int lastX = variant.width - 1;
    const int lastY = variant.height - 1;
    ASSERT_NE(statics.cell(lastX, lastY - 8), nullptr);
    EXPECT_EQ(statics.cell(lastX, lastY - 8)->topmostId, 15);
    EXPECT_EQ(statics.cell(lastX, lastY), nullptr);
    EXPECT_EQ(statics.recordCount(), 4);

    // Through the files: the same lookup and one line naming the index.
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "staidx4.mul", pair.index);
    tbtest::writeBytes(dir / "statics4.mul", pair.data);
    const tb::StaticsFilePaths files{dir / "staidx4.mul", dir / "statics4.mul"};
    const tb::StaticsLoad load = tb::loadStatics(files, variant);
    EXPECT_EQ(load.statics.recordCount(), 4);
    EXPECT_NE(load.warning.find("\"" + files.index.string() + "\""), std::string::npos)
        << load.warning;
    EXPECT_NE(load.warning.find("not a multiple of 7"), std::string::npos) << load.warning;
    EXPECT_NE(load.warning.find("past the end of \"" + files.data.string() + "\""),
              std::string::npos)
        << load.warning;
    EXPECT_EQ(load.warning.find('\n'), std::string::npos);

    // A sound pair warns of nothing; a missing file is a file error naming it.
    tbtest::StaticsPair sound(blocks);
    sound.setBlock(blocks - 1, {{1, 0, 0, 0}});
    tbtest::writeBytes(dir / "staidx4.mul", sound.index);
    tbtest::writeBytes(dir / "statics4.mul", sound.data);
    EXPECT_EQ(tb::loadStatics(files, variant).warning, "");
    fs::remove(dir / "statics4.mul");
    EXPECT_THROW(tb::loadStatics(files, variant), tb::FileError);
}

// Each kind of damage alone, beside sound and empty blocks, is found and counted wherever
// it lies among its neighbours (entries are checked several at a time, the last few alone),
// and only the sound block's record counts.
TEST(StaticsMap, EachKindOfDamageAloneIsFound) {
    const tb::MapVariant variant = tokuno();
    const std::size_t blocks = std::size_t(variant.widthBlocks()) * variant.heightBlocks();
    struct Damage {
        const char* what;
        std::int32_t offset;
        std::uint32_t length;
        int notWhole, pastData;
    };
    const Damage kinds[] = {{"not a multiple of 7", 0, 13, 1, 0},
                            {"past the end", 7, 14, 0, 1},
                            {"past the end, its length alone inside the data", 1, 7, 0, 1},
                            {"before the start", -8, 7, 0, 1},
                            {"offset + length beyond 32 bits", 7, 613'566'756u * 7, 0, 1},
                            {"empty: no length, any offset", 0x7FFFFFF0, 0, 0, 0},
                            {"empty: offset -1, any length", -1, 13, 0, 0}};
    for (const Damage& kind : kinds) {
        for (const std::size_t at :
             {std::size_t(2), std::size_t(3), std::size_t(4), std::size_t(5), blocks - 1}) {
            tbtest::StaticsPair pair(blocks);
            pair.setBlock(0, {{10, 1, 1, 0}});
            pair.setEntry(1, -1, 0xFFFFFFFFu);
            pair.setEntry(at, kind.offset, kind.length);
            tb::StaticsDamage damage;
            const auto statics = tb::StaticsMap(pair.index, pair.data, variant.widthBlocks(),
                                                variant.heightBlocks(), &damage);
            EXPECT_EQ(damage.lengthsNotMultipleOf7, kind.notWhole) << kind.what << " at " << at;
            EXPECT_EQ(damage.entriesPastData, kind.pastData) << kind.what << " at " << at;
            EXPECT_EQ(statics.recordCount(), 1) << kind.what << " at " << at;
        }
    }
}

TEST(StaticsMap, RealStaticsFragmentAgreesWithItsRecords) {
    const fs::path dir = tbtest::realDataDir();
    if (dir.empty() || !fs::exists(dir / "stadifi0.mul") || !fs::exists(dir / "stadif0.mul"))
        GTEST_SKIP() << "real-data/stadifi0.mul and stadif0.mul are not available";
    const auto realIndex = tbtest::readBytes(dir / "stadifi0.mul");
    const auto data = tbtest::readBytes(dir / "stadif0.mul");
    // The fragment's entries as the first blocks of a Tokuno index, the rest empty.
    const tb::MapVariant variant = tokuno();
    const std::size_t blocks = std::size_t(variant.widthBlocks()) * variant.heightBlocks();
    std::vector<unsigned char> index(blocks * 12, 0xFF);
    std::copy(realIndex.begin(), realIndex.end(), index.begin());
    tb::StaticsDamage damage;
    const auto statics =
        tb::StaticsMap(index, data, variant.widthBlocks(), variant.heightBlocks(), &damage);
    EXPECT_FALSE(damage.any());
    EXPECT_EQ(statics.recordCount(), 20'970);

    // Each block's records read here one by one: the topmost is the last of the highest.
    std::int64_t cellsSeen = 0;
    for (std::size_t b = 0; b < realIndex.size() / 12; ++b) {
        const std::int32_t offset = tb::readI32(&index[b * 12]);
        std::map<int, std::pair<int, std::pair<int, int>>> cells; // bit -> count, (z, id)
        for (std::uint32_t i = 0; offset != -1 && i < tb::readU32(&index[b * 12 + 4]) / 7; ++i) {
            const unsigned char* r = data.data() + offset + i * 7;
            auto& [count, top] =
                cells.try_emplace(r[3] * 8 + r[2], 0, std::pair{-129, 0}).first->second;
            ++count;
            if (std::int8_t(r[4]) >= top.first)
                top = {std::int8_t(r[4]), tb::readU16(r)};
        }
        const int bx = int(b / 181);
        const int by = int(b % 181);
        for (const auto& [bit, summary] : cells) {
            const tb::StaticCell* cell = statics.cell(bx * 8 + bit % 8, by * 8 + bit / 8);
            ASSERT_NE(cell, nullptr) << b << ' ' << bit;
            EXPECT_EQ(cell->count, std::uint32_t(summary.first)) << b << ' ' << bit;
            EXPECT_EQ(cell->topmostId, summary.second.second) << b << ' ' << bit;
            ++cellsSeen;
        }
    }
    std::int64_t cellsWithStatics = 0;
    for (int x = 0; x < variant.width; ++x)
        for (int y = 0; y < variant.height; ++y)
            cellsWithStatics += statics.cell(x, y) != nullptr;
    EXPECT_EQ(cellsWithStatics, cellsSeen);
}

TEST(StaticsFiles, MapFolderFirstThenGameFolderNamesInAnyCase) {
    tbtest::TempDir dir;
    fs::create_directories(dir / "maps");
    fs::create_directories(dir / "game");
    const fs::path map = dir / "maps" / "map2.mul";
    EXPECT_EQ(tb::mapFacet("MAP2.MUL"), 2);
    EXPECT_EQ(tb::mapFacet("/x/map5.mul"), 5);
    EXPECT_EQ(tb::mapFacet("terrain.mul"), std::nullopt);
    EXPECT_FALSE(tb::findStaticsFiles(map, dir / "game", 2));

    // Compared as files, not names: where names ignore case the system may hand back any.
    tbtest::writeBytes(dir / "game" / "STAIDX2.MUL", {});
    tbtest::writeBytes(dir / "game" / "Statics2.mul", {});
    tbtest::writeBytes(dir / "game" / "staidx0.mul", {});
    auto found = tb::findStaticsFiles(map, dir / "game", 2);
    ASSERT_TRUE(found);
    EXPECT_TRUE(fs::equivalent(found->index, dir / "game" / "STAIDX2.MUL"));
    EXPECT_TRUE(fs::equivalent(found->data, dir / "game" / "Statics2.mul"));

    // Half a pair beside the map is not used; a whole pair is.
    tbtest::writeBytes(dir / "maps" / "staidx2.mul", {});
    EXPECT_TRUE(fs::equivalent(tb::findStaticsFiles(map, dir / "game", 2)->index,
                               dir / "game" / "STAIDX2.MUL"));
    tbtest::writeBytes(dir / "maps" / "statics2.mul", {});
    found = tb::findStaticsFiles(map, dir / "game", 2);
    EXPECT_TRUE(fs::equivalent(found->index, dir / "maps" / "staidx2.mul"));
    EXPECT_TRUE(fs::equivalent(found->data, dir / "maps" / "statics2.mul"));
    EXPECT_FALSE(tb::findStaticsFiles(map, dir / "game", 0));
}

TEST(StaticRadarColours, EntriesFrom0x4000OnAndBlackPastTheEnd) {
    tbtest::TempDir dir;
    std::vector<unsigned char> bytes((0x4000 + 10) * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i % 2 ? (i / 2) >> 8 | 0x80 : i / 2);
    tbtest::writeBytes(dir / "radarcol.mul", bytes);
    tb::StaticRadarColours colours;
    colours.read(dir / "radarcol.mul");
    EXPECT_EQ(colours.colour(0), 0xC000);
    EXPECT_EQ(colours.colour(9), 0xC009);
    EXPECT_EQ(colours.colour(10), 0);
    EXPECT_EQ(colours.colour(-1), 0);
    // A failed read keeps the colours.
    EXPECT_THROW(colours.read(dir / "missing.mul"), tb::FileError);
    EXPECT_EQ(colours.colour(9), 0xC009);

    const fs::path real = tbtest::realDataDir() / "radarcol.mul";
    if (tbtest::realDataDir().empty() || !fs::exists(real))
        GTEST_SKIP() << "real-data/radarcol.mul is not available";
    const auto words = tbtest::readBytes(real);
    colours.read(real);
    for (int id : {0, 3000, 0xBFFF})
        EXPECT_EQ(colours.colour(id), tb::readU16(&words[std::size_t(0x4000 + id) * 2])) << id;
    EXPECT_EQ(colours.colour(0xC000), 0); // past the file's 65,536 entries
}
