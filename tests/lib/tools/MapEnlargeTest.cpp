#include "tools/MapEnlarge.h"

#include "MapFixtures.h"
#include "RecordedProgress.h"
#include "ScratchMount.h"
#include "TestPaths.h"

#include "shell/Errors.h"
#include "tools/ToolFiles.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tbtest::entriesIn;
using namespace toolstest;

namespace {

constexpr int kBigH = tb::kEnlargedHeightBlocks;

// Every block header of an enlarged file is zero, and every cell outside the source's
// width x height is tile 0 at altitude 0.
void expectBlankOutside(const std::vector<unsigned char>& out, int width, int height) {
    ASSERT_EQ(out.size(), std::size_t(tb::kEnlargedFileSize));
    std::int64_t headerFaults = 0, blankFaults = 0;
    for (std::int64_t block = 0; block < 896 * kBigH; ++block)
        for (int i = 0; i < 4; ++i)
            headerFaults += out[std::size_t(block * 196 + i)] != 0;
    for (int x = 0; x < tb::kEnlargedWidth; ++x)
        for (int y = (x < width ? height : 0); y < tb::kEnlargedHeight; ++y)
            blankFaults += !(cellIn(out, x, y, kBigH) == Cell{0, 0});
    EXPECT_EQ(headerFaults, 0);
    EXPECT_EQ(blankFaults, 0);
}

} // namespace

TEST(MapEnlarge, IlshenarLandsInTheTopLeftCornerWithEverythingElseBlank) {
    tbtest::TempDir dir;
    const auto variant = variantNamed("map2.mul", "2304x1600");
    tbtest::writeBytes(dir / "map2.mul", patternMap(variant, 2));
    tbtest::RecordedProgress progress;
    tb::enlargeMap(dir / "map2.mul", dir / "map0.mul", progress);
    const std::vector<tbtest::RecordedProgress::Step>& steps = progress.steps;

    const auto out = readFile(dir / "map0.mul");
    std::int64_t copyFaults = 0;
    for (int x = 0; x < 2304; ++x)
        for (int y = 0; y < 1600; ++y)
            copyFaults +=
                !(cellIn(out, x, y, kBigH) == Cell{patternTile(x, y, 2), patternAltitude(x, y, 2)});
    EXPECT_EQ(copyFaults, 0);
    expectBlankOutside(out, 2304, 1600);
    EXPECT_EQ(tb::identifyMapFile(dir / "map0.mul")->caption, "Mondains Legacy");

    // The blank pass over all 7168 columns, "Done.", then the copy pass over the source's.
    ASSERT_EQ(steps.size(), 1u + 7168u + 1u + 1u + 2304u + 1u);
    EXPECT_EQ(steps[0].caption, "Creating new map file");
    EXPECT_EQ(steps[0].total, 7168);
    for (int x = 0; x < 7168; ++x) {
        ASSERT_EQ(steps[1 + x].caption, tb::blankPassText(x));
        ASSERT_EQ(steps[1 + x].done, x);
        ASSERT_EQ(steps[1 + x].total, 7168);
    }
    EXPECT_EQ(steps[1].caption, "Creating new map file (0%)");
    EXPECT_EQ(steps[2304 + 1].caption, "Creating new map file (32%)");
    EXPECT_EQ(steps[7168].caption, "Creating new map file (99%)");
    EXPECT_EQ(steps[7169].caption, "Done.");
    EXPECT_EQ(steps[7170].caption, "Copying source map to new map");
    EXPECT_EQ(steps[7170].total, 2303);
    const std::size_t copy = 7171;
    for (int x = 0; x <= 2303; ++x) {
        ASSERT_EQ(steps[copy + x].caption, tb::copyPassText(x, 2303));
        ASSERT_EQ(steps[copy + x].done, x);
        ASSERT_EQ(steps[copy + x].total, 2303);
    }
    EXPECT_EQ(steps[copy].caption, "Copying source map to new map (0%)");
    EXPECT_EQ(steps[copy + 1151].caption, "Copying source map to new map (49%)");
    EXPECT_EQ(steps[copy + 2303].caption, "Copying source map to new map (100%)");
    EXPECT_EQ(steps.back().caption, "Done.");
    EXPECT_EQ(steps.back().done, 0);
}

TEST(MapEnlarge, FeluccaTrammelSourcesKeepTheirCellsAndLoseTheirHeaders) {
    tbtest::TempDir dir;
    const int h = 512;
    // Both 6144 x 4096 sizes: the plain one and the one with a tail after the last block.
    for (const std::int64_t size : {std::int64_t(77'070'336), std::int64_t(77'108'927)}) {
        SCOPED_TRACE(size);
        const auto source = dir / "map0.mul";
        makeSparseFile(source, size);
        const std::vector<std::pair<int, int>> marked{{0, 0}, {6143, 0},    {0, 4095}, {6143, 4095},
                                                      {7, 8}, {1234, 2345}, {6000, 17}};
        for (const auto& [x, y] : marked)
            writeCell(source, x, y, h, {patternTile(x, y, 9), patternAltitude(x, y, 9)});
        // Non-zero headers and tail bytes that must not reach the new file.
        for (std::int64_t block : {0, 1, 512, 393'215})
            writeBytesAt(source, block * 196, {0xEE, 0x01, 0x02, 0x03});
        if (size > 77'070'336)
            writeBytesAt(source, 77'070'336, std::vector<unsigned char>(38'591, 0x77));
        tb::enlargeMap(source, dir / "out.mul");

        const auto out = readFile(dir / "out.mul");
        for (const auto& [x, y] : marked)
            EXPECT_EQ(cellIn(out, x, y, h), (Cell{patternTile(x, y, 9), patternAltitude(x, y, 9)}))
                << x << "," << y;
        // Everything else is zero: compare against a file holding only the marked cells.
        std::vector<unsigned char> expected(std::size_t(tb::kEnlargedFileSize), 0);
        for (const auto& [x, y] : marked)
            setCellIn(expected, x, y, h, {patternTile(x, y, 9), patternAltitude(x, y, 9)});
        EXPECT_TRUE(out == expected);
        fs::remove(dir / "out.mul");
    }
}

TEST(MapEnlarge, AWholeSizeSourceIsCopiedCellForCellWithHeadersZeroed) {
    tbtest::TempDir dir;
    const auto variant = variantNamed("map1.mul", "7168x4096");
    auto bytes = patternMap(variant, 4);
    tbtest::writeBytes(dir / "map1.mul", bytes);
    tbtest::RecordedProgress progress;
    tb::enlargeMap(dir / "map1.mul", dir / "map0.mul", progress);
    std::int64_t lastCopied = -1;
    for (const tbtest::RecordedProgress::Step& p : progress.steps)
        if (p.caption.starts_with("Copying source map to new map (")) {
            EXPECT_EQ(p.done, lastCopied + 1);
            lastCopied = p.done;
            EXPECT_EQ(p.total, 7167);
        }
    EXPECT_EQ(lastCopied, 7167);
    for (std::size_t block = 0; block < 896 * 512; ++block)
        std::fill_n(bytes.begin() + std::ptrdiff_t(block * 196), 4, 0);
    EXPECT_TRUE(readFile(dir / "map0.mul") == bytes);
}

// A stopped run writes nothing: an existing destination keeps its bytes, and no temporary
// file is left beside it.
TEST(MapEnlarge, AStoppedRunLeavesTheDestinationAsItWas) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "map2.mul", patternMap(variantNamed("map2.mul", "2304x1600"), 3));
    const std::vector<unsigned char> previous{'o', 'l', 'd'};
    tbtest::writeBytes(dir / "map0.mul", previous);
    // In the blank pass and in the copy pass.
    for (int stopAt : {100, 8000}) {
        tbtest::RecordedProgress progress(stopAt);
        try {
            tb::enlargeMap(dir / "map2.mul", dir / "map0.mul", progress);
            FAIL() << "expected a stop at report " << stopAt;
        } catch (const tb::OperationStopped& e) {
            EXPECT_STREQ(e.what(), tb::kEnlargeStoppedMessage);
        }
        // The stop comes at the end of the run of columns under way.
        EXPECT_LT(progress.steps.size(), std::size_t(stopAt) + 64);
        EXPECT_EQ(readFile(dir / "map0.mul"), previous);
        EXPECT_EQ(entriesIn(dir.path()), 2u);
    }
}

// (Tokuno, 1448 x 1448, is enlarged by the tbmap and window tests.)
TEST(MapEnlarge, MalasAndTerMurLandInTheCorner) {
    tbtest::TempDir dir;
    for (const auto& [name, sizeText] :
         {std::pair{"map3.mul", "2560x2048"}, std::pair{"map5.mul", "1280x4096"}}) {
        SCOPED_TRACE(name);
        const auto variant = variantNamed(name, sizeText);
        const int h = variant.heightBlocks();
        makeSparseFile(dir / name, variant.fileSize);
        const int w1 = variant.width - 1, h1 = variant.height - 1;
        const std::vector<std::pair<int, int>> marked{
            {0, 0}, {w1, 0}, {0, h1}, {w1, h1}, {w1 / 2, h1 / 3}};
        for (const auto& [x, y] : marked)
            writeCell(dir / name, x, y, h, {std::uint16_t(x + 1), std::int8_t(-1 - y % 100)});
        tb::enlargeMap(dir / name, dir / "map0.mul");
        std::vector<unsigned char> expected(std::size_t(tb::kEnlargedFileSize), 0);
        for (const auto& [x, y] : marked)
            setCellIn(expected, x, y, 512, {std::uint16_t(x + 1), std::int8_t(-1 - y % 100)});
        EXPECT_TRUE(readFile(dir / "map0.mul") == expected);
    }
}

TEST(MapEnlarge, UnknownSourcesAreRefusedAndNothingIsWritten) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "map0.mul", 16'056'320);     // a map0.mul of no known size
    makeSparseFile(dir / "map9.mul", 11'289'600);     // not a map name
    makeSparseFile(dir / "MAP2.MUL.bak", 11'289'600); // not a map name either
    fs::create_directory(dir / "map2.mul");           // not a file
    for (const char* name : {"map0.mul", "map9.mul", "MAP2.MUL.bak", "map2.mul", "map4.mul"}) {
        SCOPED_TRACE(name);
        try {
            tb::enlargeMap(dir / name, dir / "out.mul");
            ADD_FAILURE() << "not refused";
        } catch (const tb::ToolRefusal& e) {
            EXPECT_STREQ(e.what(), "Wrong source map file!");
        }
        EXPECT_FALSE(fs::exists(dir / "out.mul"));
    }
}

TEST(MapEnlarge, TheNameOnDiskIsComparedWithoutRegardToCase) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "MAP4.Mul", 6'421'156);
    tb::enlargeMap(dir / "MAP4.Mul", dir / "map0.mul");
    EXPECT_EQ(fs::file_size(dir / "map0.mul"), std::uintmax_t(tb::kEnlargedFileSize));
}

TEST(MapEnlarge, TheSourceItselfIsRefusedAsDestinationHoweverItIsSpelled) {
    tbtest::TempDir dir;
    const auto variant = variantNamed("map4.mul", "1448x1448");
    const auto original = patternMap(variant, 5);
    tbtest::writeBytes(dir / "map4.mul", original);
    fs::create_directory(dir / "sub");
    fs::create_hard_link(dir / "map4.mul", dir / "hard.mul");
    for (const fs::path& dest :
         {dir / "map4.mul", dir / "sub" / ".." / "map4.mul", dir / "hard.mul"}) {
        SCOPED_TRACE(dest.string());
        try {
            tb::enlargeMap(dir / "map4.mul", dest);
            ADD_FAILURE() << "not refused";
        } catch (const tb::ToolRefusal& e) {
            EXPECT_STREQ(e.what(), tb::kEnlargeOntoSourceMessage);
        }
        EXPECT_TRUE(readFile(dir / "map4.mul") == original);
    }
}

TEST(MapEnlarge, TheSourceThroughASymbolicLinkIsRefusedToo) {
    tbtest::TempDir dir;
    const auto original = patternMap(variantNamed("map4.mul", "1448x1448"), 5);
    tbtest::writeBytes(dir / "map4.mul", original);
    fs::create_directory(dir / "sub");
    fs::create_symlink(dir / "map4.mul", dir / "sub" / "map4.mul");
    try {
        tb::enlargeMap(dir / "map4.mul", dir / "sub" / "map4.mul");
        ADD_FAILURE() << "not refused";
    } catch (const tb::ToolRefusal& e) {
        EXPECT_STREQ(e.what(), tb::kEnlargeOntoSourceMessage);
    }
    // A link as the source is followed: the source is the file it points to.
    try {
        tb::enlargeMap(dir / "sub" / "map4.mul", dir / "map4.mul");
        ADD_FAILURE() << "not refused";
    } catch (const tb::ToolRefusal& e) {
        EXPECT_STREQ(e.what(), tb::kEnlargeOntoSourceMessage);
    }
    EXPECT_TRUE(readFile(dir / "map4.mul") == original);
}

TEST(MapEnlarge, AFailedRunLeavesNothingUnderTheChosenName) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "map4.mul", 6'421'156);
    // A destination folder that does not exist.
    EXPECT_THROW(tb::enlargeMap(dir / "map4.mul", dir / "missing" / "map0.mul"), tb::FileError);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(MapEnlarge, AWriteThatFailsHalfWayLeavesTheOldDestination) {
    // A disk that fills up half-way (a file size limit): an existing destination keeps its
    // old bytes and no temporary file stays behind.
    tbtest::TempDir dir;
    makeSparseFile(dir / "map4.mul", 6'421'156);
    tbtest::writeBytes(dir / "map0.mul", {'o', 'l', 'd'});
    {
        tbtest::FileSizeLimit limit(20'000'000);
        EXPECT_THROW(tb::enlargeMap(dir / "map4.mul", dir / "map0.mul"), tb::FileError);
    }
    EXPECT_TRUE(readFile(dir / "map0.mul") == (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(MapEnlarge, ProgressTextsFollowTheirFormulas) {
    EXPECT_EQ(tb::blankPassText(0), "Creating new map file (0%)");
    EXPECT_EQ(tb::blankPassText(7167), "Creating new map file (99%)");
    EXPECT_EQ(tb::blankPassText(3584), "Creating new map file (50%)");
    EXPECT_EQ(tb::copyPassText(6143, 6143), "Copying source map to new map (100%)");
    EXPECT_EQ(tb::copyPassText(3071, 6143), "Copying source map to new map (49%)");
}
