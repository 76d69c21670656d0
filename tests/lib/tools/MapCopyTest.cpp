#include "tools/MapCopy.h"

#include "MapFixtures.h"
#include "RecordedProgress.h"
#include "ScratchMount.h"
#include "TestPaths.h"

#include "shell/Errors.h"
#include "tools/ToolFiles.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace toolstest;

namespace {

// What a copy must produce: every cell of the rectangle as it was before the copy started,
// written cell by cell at its target.
void modelCopy(const std::vector<unsigned char>& from, int fromH, std::vector<unsigned char>& to,
               int toH, const tb::CopyRect& r) {
    std::vector<Cell> snapshot;
    for (int x = r.x1; x <= r.x2; ++x)
        for (int y = r.y1; y <= r.y2; ++y)
            snapshot.push_back(cellIn(from, x, y, fromH));
    std::size_t i = 0;
    for (int x = r.x1; x <= r.x2; ++x)
        for (int y = r.y1; y <= r.y2; ++y)
            setCellIn(to, x + r.dx - r.x1, y + r.dy - r.y1, toH, snapshot[i++]);
}

std::string refusalOf(const fs::path& source, const tb::CopyRect& r, const fs::path& dest) {
    try {
        tb::copyMapCells(source, r, dest);
    } catch (const tb::ToolRefusal& e) {
        return e.what();
    }
    return "copied";
}

std::vector<int> progressOf(const fs::path& source, const tb::CopyRect& r, const fs::path& dest) {
    tbtest::RecordedProgress progress;
    tb::copyMapCells(source, r, dest, progress);
    std::vector<int> seen;
    for (const tbtest::RecordedProgress::Step& step : progress.steps)
        seen.push_back(int(step.done));
    return seen;
}

struct TwoMaps : ::testing::Test {
    tbtest::TempDir dir;
    fs::path ilshenar = dir / "a" / "map2.mul";
    fs::path tokuno = dir / "b" / "map4.mul";
    std::vector<unsigned char> ilshenarBytes, tokunoBytes;
    void SetUp() override {
        fs::create_directory(dir / "a");
        fs::create_directory(dir / "b");
        ilshenarBytes = patternMap(variantNamed("map2.mul", "2304x1600"), 1);
        tokunoBytes = patternMap(variantNamed("map4.mul", "1448x1448"), 2);
        tbtest::writeBytes(ilshenar, ilshenarBytes);
        tbtest::writeBytes(tokuno, tokunoBytes);
    }
};

} // namespace

TEST(MapCopy, ABlockFromIlshenarChangesExactlyThatBlockOfFeluccaTrammel) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "map2.mul", patternMap(variantNamed("map2.mul", "2304x1600"), 3));
    makeSparseFile(dir / "map0.mul", 77'070'336);
    {
        auto bytes = readFile(dir / "map0.mul");
        std::fill_n(bytes.begin() + 513 * 196, 4, 0x42); // header of block (1, 1)
        tbtest::writeBytes(dir / "map0.mul", bytes);
    }
    const auto before = readFile(dir / "map0.mul");
    tb::copyMapCells(dir / "map2.mul", {0, 0, 7, 7, 8, 8}, dir / "map0.mul");
    const auto after = readFile(dir / "map0.mul");
    ASSERT_EQ(after.size(), before.size());

    // Only the cells of block (1, 1) may differ: patch them into the old bytes and compare.
    auto expected = before;
    std::copy_n(after.begin() + 513 * 196 + 4, 192, expected.begin() + 513 * 196 + 4);
    EXPECT_TRUE(after == expected);
    int changedCells = 0;
    for (int x = 8; x < 16; ++x)
        for (int y = 8; y < 16; ++y) {
            const Cell c = cellIn(after, x, y, 512);
            changedCells += !(c == cellIn(before, x, y, 512));
            EXPECT_EQ(c, (Cell{patternTile(x - 8, y - 8, 3), patternAltitude(x - 8, y - 8, 3)}));
        }
    EXPECT_EQ(changedCells, 64);
    EXPECT_EQ(after[513 * 196], 0x42);
}

// A stopped copy leaves the destination's bytes as they were, and no temporary file.
TEST_F(TwoMaps, AStoppedCopyLeavesTheDestinationAsItWas) {
    tbtest::RecordedProgress progress(1);
    try {
        tb::copyMapCells(ilshenar, {0, 0, 300, 300, 40, 50}, tokuno, progress);
        FAIL() << "expected a stop";
    } catch (const tb::OperationStopped& e) {
        EXPECT_STREQ(e.what(), tb::kCopyStoppedMessage);
    }
    // One batch of eight block columns ran before the stop was taken.
    EXPECT_EQ(progress.steps.size(), 64u);
    EXPECT_EQ(readFile(tokuno), tokunoBytes);
    EXPECT_EQ(tbtest::entriesIn(dir / "b"), 1u);
}

TEST_F(TwoMaps, RectanglesLandCellForCellAtTheirTargets) {
    // Unaligned corners, single columns and rows, the far corners of both maps.
    const std::vector<tb::CopyRect> rects{{3, 5, 100, 77, 1001, 13},
                                          {0, 0, 1447, 1447, 0, 0},
                                          {1440, 1440, 1447, 1447, 2296, 1592},
                                          {17, 0, 17, 1447, 9, 100},
                                          {0, 9, 1447, 9, 850, 1599},
                                          {7, 7, 8, 8, 15, 15},
                                          {1000, 3, 1003, 1444, 2300, 150}};
    auto model = ilshenarBytes;
    for (const auto& r : rects) {
        tb::copyMapCells(tokuno, r, ilshenar);
        modelCopy(tokunoBytes, 181, model, 200, r);
    }
    EXPECT_TRUE(readFile(ilshenar) == model);
    EXPECT_TRUE(readFile(tokuno) == tokunoBytes);

    // And into the smaller, oddly sized map.
    model = tokunoBytes;
    for (const tb::CopyRect r :
         {tb::CopyRect{2000, 1000, 2303, 1599, 1143, 848}, tb::CopyRect{5, 1, 12, 1448, 1440, 0}}) {
        tb::copyMapCells(ilshenar, r, tokuno);
        modelCopy(readFile(ilshenar), 200, model, 181, r);
    }
    EXPECT_TRUE(readFile(tokuno) == model);
}

TEST_F(TwoMaps, OverlappingCopiesWithinOneFileCopyFromASnapshot) {
    const std::vector<tb::CopyRect> rects{
        {10, 20, 300, 400, 13, 20}, {10, 20, 300, 400, 2, 20},     {40, 40, 80, 900, 40, 45},
        {40, 45, 80, 900, 40, 40},  {100, 100, 500, 500, 91, 93},  {0, 0, 799, 799, 8, 0},
        {5, 5, 1000, 1000, 105, 3}, {1400, 0, 1447, 1447, 1399, 0}};
    auto model = tokunoBytes;
    for (const auto& r : rects) {
        SCOPED_TRACE(testing::Message() << r.x1 << "," << r.y1 << " -> " << r.dx << "," << r.dy);
        tb::copyMapCells(tokuno, r, tokuno);
        modelCopy(model, 181, model, 181, r);
        ASSERT_TRUE(readFile(tokuno) == model);
    }
}

TEST_F(TwoMaps, TheSameFileThroughASymbolicLinkCopiesFromASnapshotToo) {
    auto model = readFile(tokuno);
    fs::create_directory(dir / "c");
    fs::create_symlink(tokuno, dir / "c" / "map4.mul");
    const tb::CopyRect r{300, 300, 700, 700, 310, 305};
    tb::copyMapCells(tokuno, r, dir / "c" / "map4.mul");
    modelCopy(model, 181, model, 181, r);
    EXPECT_TRUE(readFile(tokuno) == model);
}

TEST(MapCopy, OneFileUnderTwoGeometriesCopiesFromASnapshot) {
    // Malas and Ter Mur share a size: one file linked under both names is addressed two ways.
    // The destination name gets the new file; the other name keeps the old one, as after
    // any save that replaces a file whole.
    tbtest::TempDir dir;
    const auto before = patternMap(variantNamed("map3.mul", "2560x2048"), 6);
    tbtest::writeBytes(dir / "map3.mul", before);
    fs::create_hard_link(dir / "map3.mul", dir / "map5.mul");
    const tb::CopyRect r{100, 100, 700, 900, 50, 120};
    tb::copyMapCells(dir / "map3.mul", r, dir / "map5.mul");
    auto after = before;
    modelCopy(after, 256, after, 512, r);
    EXPECT_TRUE(readFile(dir / "map5.mul") == after);
    EXPECT_TRUE(readFile(dir / "map3.mul") == before);
}

TEST_F(TwoMaps, RefusalsComeInTheWindowsOrderAndTouchNothing) {
    makeSparseFile(dir / "map0.mul", 77'070'336);
    const auto felucca = dir / "map0.mul";
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 200, 10, 6000, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 200, 10, 5943, 0}, felucca), "copied");
    EXPECT_EQ(refusalOf(ilshenar, {10, 0, 20, 10, -1, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {10, 0, 20, 10, 6144, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 2304, 10, 0, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, -1, 5, 10, 0, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 5, 1600, 0, 0}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 5, 1599, 0, 2497}, felucca), tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 0, 0, 0, 0}, felucca), tb::kZeroCoordinatesMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 0, 0, 5, 5}, felucca), tb::kZeroCoordinatesMessage);

    // A side that is not identified has the bounds 0: any non-zero coordinate is wrong first.
    makeSparseFile(dir / "b" / "map0.mul", 1000);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 0, 0, 0, 0}, dir / "b" / "map0.mul"),
              tb::kUnknownMapMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 1, 1, 0, 0}, dir / "b" / "map0.mul"),
              tb::kWrongCoordinatesMessage);
    EXPECT_EQ(refusalOf(dir / "missing" / "map2.mul", {0, 0, 0, 0, 0, 0}, felucca),
              tb::kUnknownMapMessage);
    EXPECT_EQ(refusalOf(ilshenar, {0, 0, 0, 0, 0, 0}, dir / "map9.mul"), tb::kUnknownMapMessage);

    EXPECT_TRUE(readFile(ilshenar) == ilshenarBytes);
    EXPECT_FALSE(fs::exists(dir / "map9.mul"));
    EXPECT_EQ(fs::file_size(dir / "b" / "map0.mul"), 1000u);
}

TEST_F(TwoMaps, EmptyRectanglesCopyNothing) {
    EXPECT_TRUE(progressOf(tokuno, {20, 0, 10, 5, 0, 0}, ilshenar).empty());
    EXPECT_EQ(progressOf(tokuno, {10, 5, 20, 0, 0, 0}, ilshenar).size(), 11u);
    EXPECT_TRUE(readFile(ilshenar) == ilshenarBytes);
}

TEST_F(TwoMaps, ProgressIsTheColumnOverX2) {
    const auto seen = progressOf(tokuno, {10, 0, 50, 3, 0, 0}, ilshenar);
    ASSERT_EQ(seen.size(), 41u);
    for (int x = 10; x <= 50; ++x)
        EXPECT_EQ(seen[std::size_t(x - 10)], x * 100 / 50);
    EXPECT_EQ(seen.front(), 20);
    EXPECT_EQ(seen.back(), 100);
    // Moving right within one file works through the columns backwards; the bar still runs
    // forwards, one step per source column.
    const auto within = progressOf(tokuno, {10, 0, 50, 3, 30, 0}, tokuno);
    EXPECT_EQ(within, seen);
}

TEST_F(TwoMaps, X2OfZeroCopiesTheFirstColumnWithoutDividingByZero) {
    EXPECT_EQ(progressOf(tokuno, {0, 5, 0, 10, 100, 200}, ilshenar), std::vector<int>{100});
    auto model = ilshenarBytes;
    modelCopy(tokunoBytes, 181, model, 200, {0, 5, 0, 10, 100, 200});
    EXPECT_TRUE(readFile(ilshenar) == model);
    EXPECT_EQ(tb::copyProgressPercent(0, 0), 100);
}

// The files this process has open.
std::size_t openFiles() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

TEST_F(TwoMaps, EveryFileIsClosedAfterAFailure) {
    const auto ilshenarBefore = readFile(ilshenar);
    const std::size_t before = openFiles();
    {
        // Fails while the new destination is written: source, destination and its
        // replacement are all open by then.
        tbtest::FileSizeLimit limit(4096);
        EXPECT_THROW(tb::copyMapCells(tokuno, {0, 0, 5, 5, 0, 0}, ilshenar), tb::FileError);
    }
    EXPECT_EQ(openFiles(), before);
    EXPECT_TRUE(readFile(ilshenar) == ilshenarBefore);
    if (!tbtest::privateMountsAvailable())
        GTEST_SKIP() << "cannot mount a read-only folder: " << tbtest::whyNoPrivateMounts();
    // Fails when the replacement cannot be made, after the source is open.
    tbtest::ScratchMount locked(16u << 20);
    fs::copy_file(ilshenar, locked / "map2.mul");
    locked.makeReadOnly();
    EXPECT_THROW(tb::copyMapCells(tokuno, {0, 0, 5, 5, 0, 0}, locked / "map2.mul"), tb::FileError);
    EXPECT_EQ(openFiles(), before);
}

TEST(MapCopy, CaptionsOfTheWindow) {
    EXPECT_EQ(tb::copyMapCaption(variantNamed("map1.mul", "7168x4096")), "Mondains Legacy");
    EXPECT_EQ(tb::copyMapCaption(variantNamed("map0.mul", "7168x4096")), "Mondains Legacy");
    EXPECT_EQ(tb::copyMapCaption(variantNamed("map5.mul", "1280x4096")), "Ter Mur");
}
