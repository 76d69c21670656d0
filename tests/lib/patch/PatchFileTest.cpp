#include "patch/PatchFile.h"

#include "editor/MapDocument.h"

#include "PatchFixtures.h"
#include "RecordedProgress.h"
#include "TestPaths.h"
#include "shell/LineFile.h"

#include <gtest/gtest.h>

#include <utility>

using patchtest::readText;
using patchtest::writeText;

namespace {

tb::KeyFile parseText(const std::string& text) {
    return tb::KeyFile::parse(tb::decodeLines(text));
}

struct ApplyRun {
    tb::PatchResult result;
    std::vector<std::pair<int, std::string>> progress;
};

ApplyRun apply(tb::MapImage& map, const std::string& text) {
    ApplyRun run;
    tbtest::RecordedProgress progress;
    run.result = tb::applyPatch(map, parseText(text), progress);
    for (const tbtest::RecordedProgress::Step& step : progress.steps)
        run.progress.emplace_back(int(step.done), step.caption);
    return run;
}

// The message of the run's stop, its entry and how many entries came before it.
struct Stop {
    std::string message;
    int entry = -1;
    int appliedBefore = -1;
};

Stop applyExpectingStop(tb::MapImage& map, const std::string& text) {
    try {
        tb::applyPatch(map, parseText(text));
    } catch (const tb::PatchEntryError& e) {
        return {e.what(), e.entryIndex(), e.before().applied};
    }
    ADD_FAILURE() << "the run did not stop";
    return {};
}

class PatchApply : public ::testing::Test {
protected:
    tb::MapImage map = patchtest::tokunoMap();
};

} // namespace

TEST_F(PatchApply, TwoEntriesChangeTheirCellsAndReportProgress) {
    const ApplyRun run = apply(map, "[0]\r\nX=10\r\nY=20\r\nZ=-5\r\nID=01 D3\r\n"
                                    "[1]\r\nX=1447\r\nY=1447\r\nZ=127\r\nID=00 00\r\n");
    EXPECT_EQ(run.result.applied, 2);
    EXPECT_EQ(run.result.skipped, 0);
    EXPECT_EQ(map.cell(10, 20), (tb::MapCell{467, -5}));
    EXPECT_EQ(map.cell(1447, 1447), (tb::MapCell{0, 127}));
    EXPECT_EQ(map.cell(11, 20), (tb::MapCell{3, 0})); // neighbours untouched
    ASSERT_EQ(run.progress.size(), 2u);
    EXPECT_EQ(run.progress[0], std::make_pair(0, std::string("Patching (X, Y): 10, 20")));
    EXPECT_EQ(run.progress[1], std::make_pair(1, std::string("Patching (X, Y): 1447, 1447")));
}

TEST_F(PatchApply, MissingOrEmptyIdKeepsTheTileAndMissingZSetsAltitudeZero) {
    map.setCell(1, 1, {0x200, 9});
    map.setCell(2, 2, {0x201, 9});
    map.setCell(3, 3, {0x202, 9});
    apply(map, "[0]\nX=1\nY=1\nZ=4\n[1]\nX=2\nY=2\nZ=-3\nID=\n[2]\nX=3\nY=3\nID=00 05\n");
    EXPECT_EQ(map.cell(1, 1), (tb::MapCell{0x200, 4}));
    EXPECT_EQ(map.cell(2, 2), (tb::MapCell{0x201, -3}));
    EXPECT_EQ(map.cell(3, 3), (tb::MapCell{5, 0}));
}

TEST_F(PatchApply, SpacedHexIgnoresBlanksAndCaseButNeedsFourDigits) {
    apply(map, "[0]\nX=1\nY=0\nID=01d3\n[1]\nX=2\nY=0\nID=0 1 D 3\n");
    EXPECT_EQ(map.cell(1, 0).tileId, 467);
    EXPECT_EQ(map.cell(2, 0).tileId, 467);
    const Stop stop = applyExpectingStop(map, "[0]\nX=5\nY=0\nID=1d3\n");
    EXPECT_EQ(stop.message, "Input not SpacedHex");
    EXPECT_EQ(map.cell(5, 0), (tb::MapCell{3, 0}));
}

// Written patch files have no gaps: a counted section that is not there marks a damaged
// file, which the callers refuse before applying anything.
TEST(PatchSections, TheFirstCountedSectionThatIsMissingIsFound) {
    EXPECT_EQ(tb::firstMissingPatchSection(parseText("[5]\nX=100\n[9]\nX=200\n")), 0);
    EXPECT_EQ(tb::firstMissingPatchSection(parseText("[0]\nZ=1\n[2]\nZ=2\n")), 1);
    EXPECT_EQ(tb::firstMissingPatchSection(parseText("[0]\n[1]\n[1]\n")), 2);
    EXPECT_EQ(tb::firstMissingPatchSection(parseText("[1]\nZ=1\n[0]\n")), std::nullopt);
    EXPECT_EQ(tb::firstMissingPatchSection(parseText("X=1\n")), std::nullopt);
    EXPECT_EQ(tb::missingPatchSectionMessage("d/p.qvp", 1, 2),
              "Patch file \"d/p.qvp\" lacks section [1]: it counts 2 entries, [0] to [1], and "
              "is not applied");
}

TEST_F(PatchApply, LaterEntryForTheSameCellWins) {
    apply(map, "[0]\nX=4\nY=4\nZ=1\nID=00 10\n[1]\nX=4\nY=4\nZ=2\n");
    EXPECT_EQ(map.cell(4, 4), (tb::MapCell{0x10, 2}));
}

TEST_F(PatchApply, EachBadValueStopsAtItsEntryWithEarlierEntriesApplied) {
    struct Case {
        std::string badEntry;
        std::string message;
    };
    const std::vector<Case> cases{
        {"X=ten\nY=1\n", "'ten' is not a valid integer value"},
        {"X=1\nY=\n", "'' is not a valid integer value"},
        {"X=1\nY=1\nZ=1.5\n", "'1.5' is not a valid integer value"},
        {"X=1\nY=1\nZ=128\n", "Range check error"},
        {"X=1\nY=1\nZ=-129\n", "Range check error"},
        {"X=1\nY=1\nZ=0\nID=01 D3 00\n", "Input not SpacedHex"},
        {"X=1\nY=1\nZ=0\nID=011G\n", "Input not SpacedHex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.badEntry);
        tb::MapImage fresh = patchtest::tokunoMap();
        const Stop stop = applyExpectingStop(fresh, "[0]\nX=7\nY=7\nZ=-7\n[1]\n" + c.badEntry +
                                                        "[2]\nX=9\nY=9\nZ=9\n");
        EXPECT_EQ(stop.message, c.message);
        EXPECT_EQ(stop.entry, 1);
        EXPECT_EQ(stop.appliedBefore, 1);
        EXPECT_EQ(fresh.cell(7, 7).altitude, -7);         // before: applied
        EXPECT_EQ(fresh.cell(1, 1), (tb::MapCell{3, 0})); // the bad entry: not written
        EXPECT_EQ(fresh.cell(9, 9).altitude, 0);          // after: never reached
    }
}

TEST_F(PatchApply, EntriesOutsideTheMapAreSkippedCountedAndNeverWritten) {
    const std::vector<unsigned char> before = map.bytes();
    const ApplyRun run = apply(map, "[0]\nX=-1\nY=0\nZ=5\n[1]\nX=1448\nY=0\nZ=5\n"
                                    "[2]\nX=0\nY=1448\nZ=5\n[3]\nX=2147483647\nY=-2147483648\nZ=5\n"
                                    "[4]\nX=1447\nY=0\nZ=5\n");
    EXPECT_EQ(run.result.applied, 1);
    EXPECT_EQ(run.result.skipped, 4);
    EXPECT_EQ(run.progress.size(), 5u);
    EXPECT_EQ(map.size(), before.size());
    std::vector<unsigned char> expected = before;
    expected[std::size_t(tb::cellOffset(1447, 0, 181)) + 2] = 5;
    EXPECT_TRUE(map.bytes() == expected) << "only cell (1447, 0) may change";
}

TEST_F(PatchApply, SkippedEntryWithABadValueStillStopsTheRun) {
    const Stop stop = applyExpectingStop(map, "[0]\nX=5000\nY=0\nZ=999\n");
    EXPECT_EQ(stop.message, "Range check error");
}

TEST_F(PatchApply, MapWithoutGeometrySkipsEverything) {
    tb::MapImage unknown(std::vector<unsigned char>(1000, 0), std::nullopt);
    const ApplyRun run = apply(unknown, "[0]\nX=0\nY=0\nZ=5\n");
    EXPECT_EQ(run.result.skipped, 1);
    EXPECT_EQ(unknown.bytes(), std::vector<unsigned char>(1000, 0));
}

TEST_F(PatchApply, FileWithoutBracketLinesHasNoEntriesAndChangesNothing) {
    const std::vector<unsigned char> before = map.bytes();
    for (const std::string text : {"", "X=1\nY=1\nZ=5\n", " [0]\nX=1\nY=1\nZ=5\n"}) {
        const tb::KeyFile file = parseText(text);
        EXPECT_EQ(file.entryCount(), 0);
        const tb::PatchResult r = tb::applyPatch(map, file);
        EXPECT_EQ(r.applied + r.skipped, 0);
    }
    EXPECT_TRUE(map.bytes() == before);
}

// Through a document: one change and one undo step for the whole run, also when a bad
// entry stops the run after earlier entries were written.
TEST_F(PatchApply, ThroughADocumentOneChangeAndOneUndoStep) {
    struct Heard : tb::DocumentListener {
        std::vector<tb::CellChange> changes;
        void cellsChanged(const tb::CellChange& change) override { changes.push_back(change); }
    } heard;
    tb::MapDocument doc(patchtest::tokunoMap(), "map4.mul");
    const std::vector<unsigned char> original = doc.image().bytes();
    const tb::MapCell cell12 = doc.cell(1, 2);
    const tb::ListenerConnection listening = doc.connect(&heard);
    // The plan is worked out beside the document and written into it in one go.
    const tb::PatchPlan plan = tb::planPatch(
        doc.image().variant(),
        parseText("[0]\nX=10\nY=20\nZ=-5\n[1]\nX=4000\nY=0\nZ=1\n[2]\nX=3\nY=30\nZ=2\n"));
    tb::writePatchPlan(doc, plan);
    const tb::PatchResult r = plan.result;
    EXPECT_EQ(r.applied, 2);
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].count, 2u);
    EXPECT_EQ(heard.changes[0].bounds, (tb::CellRect{3, 20, 10, 30}));
    EXPECT_EQ(doc.cell(10, 20).altitude, -5);
    EXPECT_EQ(doc.undoList().size(), 1u);
    EXPECT_TRUE(doc.isModified());

    const tb::PatchPlan bad =
        tb::planPatch(doc.image().variant(), parseText("[0]\nX=1\nY=2\nZ=7\n[1]\nX=oops\n"));
    ASSERT_TRUE(bad.error);
    tb::writePatchPlan(doc, bad);
    ASSERT_EQ(heard.changes.size(), 2u);
    EXPECT_EQ(heard.changes[1].bounds, (tb::CellRect{1, 2, 1, 2}));
    EXPECT_EQ(doc.cell(1, 2).altitude, 7);
    EXPECT_EQ(doc.undoList().size(), 2u);

    // Each run is undone whole, the stopped one first.
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.cell(1, 2), cell12);
    EXPECT_EQ(doc.cell(10, 20).altitude, -5);
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_TRUE(doc.image().bytes() == original);
    EXPECT_FALSE(doc.undo());
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.cell(10, 20).altitude, -5);
    EXPECT_EQ(doc.cell(3, 30).altitude, 2);
}

TEST(PatchFile, WriteThenReadGivesTheSameTextsInCrLfWindows1252) {
    tbtest::TempDir dir;
    const std::vector<tb::PatchEntryText> entries{
        {"1024", "768", "-5", "01 D3"}, {"010", "20", "x", ""}, {"7", "7", "0", "\xC3\xA9"}};
    tbtest::RecordedProgress recorded;
    tb::writePatchFile(dir / "p.qvp", entries, recorded);
    EXPECT_EQ(recorded.captions(),
              (std::vector<std::string>{"Saving ... 0/2", "Saving ... 1/2", "Saving ... 2/2"}));
    EXPECT_EQ(readText(dir / "p.qvp"), "[0]\r\nX=1024\r\nY=768\r\nZ=-5\r\nID=01 D3\r\n"
                                       "[1]\r\nX=010\r\nY=20\r\nZ=x\r\nID=\r\n"
                                       "[2]\r\nX=7\r\nY=7\r\nZ=0\r\nID=\xE9\r\n");
    EXPECT_EQ(tb::readPatchFile(dir / "p.qvp"), entries);
}

// Saving, reading and planning stop between entries; a stopped save keeps the old file.
TEST(PatchFile, StoppedRunsChangeNothing) {
    tbtest::TempDir dir;
    const auto path = dir / "p.qvp";
    tb::writePatchFile(path, {{"1", "1", "1", ""}});
    const std::string before = readText(path);
    const std::vector<tb::PatchEntryText> entries(5, {"2", "2", "2", "00 01"});
    tbtest::RecordedProgress saving(2);
    EXPECT_THROW(tb::writePatchFile(path, entries, saving), tb::OperationStopped);
    EXPECT_EQ(saving.steps.size(), 2u);
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(tbtest::entriesIn(dir.path()), 1u);

    tb::writePatchFile(path, entries);
    tbtest::RecordedProgress loading(3);
    EXPECT_THROW(tb::readPatchFile(path, loading), tb::OperationStopped);
    EXPECT_EQ(loading.captions(),
              (std::vector<std::string>{"Loading ... 0/4", "Loading ... 1/4", "Loading ... 2/4"}));
    tbtest::RecordedProgress planning(1);
    try {
        tb::planPatch(patchtest::tokunoMap().variant(), tb::KeyFile::load(path), planning);
        FAIL() << "expected a stop";
    } catch (const tb::OperationStopped& e) {
        EXPECT_STREQ(e.what(), tb::kPatchApplyStoppedMessage);
    }
}

TEST(PatchFile, SavingAShorterListReplacesTheWholeFile) {
    tbtest::TempDir dir;
    const auto path = dir / "p.qvp";
    tb::writePatchFile(path, {{"1", "1", "1", ""}, {"2", "2", "2", ""}, {"3", "3", "3", ""}});
    tb::writePatchFile(path, {{"9", "9", "9", "00 01"}});
    EXPECT_EQ(tb::readPatchFile(path), (std::vector<tb::PatchEntryText>{{"9", "9", "9", "00 01"}}));
    tb::writePatchFile(path, {});
    EXPECT_EQ(readText(path), "");
}

TEST(PatchFile, ReadingUsesDefaultsForMissingKeys) {
    tbtest::TempDir dir;
    writeText(dir / "p.qvp", "[0]\nid=00 07\n[1]\n");
    EXPECT_EQ(tb::readPatchFile(dir / "p.qvp"),
              (std::vector<tb::PatchEntryText>{{"0", "0", "0", "00 07"}, {"0", "0", "0", ""}}));
    EXPECT_TRUE(tb::readPatchFile(dir / "missing.qvp").empty());
}
