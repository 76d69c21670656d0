#include "editor/MapPainter.h"

#include "editor/Stamp.h"
#include "shell/NumberText.h"

#include "MapPainterTestSupport.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

using tb::EditorState;
using tb::MapCell;
using tb::MapImage;
using tb::PaintTool;
using tb::SelectionResult;

namespace {

std::vector<std::pair<int, int>> undoPoints(const tb::UndoList& undo) {
    std::vector<std::pair<int, int>> out;
    for (const tb::UndoRow& r : undo.rows())
        out.emplace_back(r.x, r.y);
    return out;
}

// Tool state as the window shows it at start, with the palette tile chosen for painting.
EditorState paintWithTile(std::uint16_t tile, int brushSize = 1) {
    EditorState c;
    c.tool = PaintTool::Paint;
    c.drawMode = tb::DrawMode::SelectedTile;
    c.paletteTile = tile;
    c.brushSize = brushSize;
    return c;
}

class Painting : public ::testing::Test {
protected:
    tb::MapDocument doc{edtest::ilshenarMap(), "map2.mul"};
    const tb::UndoList& undo = doc.undoList();
    edtest::ChangeRecorder changes{doc};
    tbtest::SeededRandom random{12345};
    tb::MapPainter painter{random};

    SelectionResult click(const EditorState& c, int x, int y) {
        changes.clear();
        return painter.selectCell(&doc, c, x, y);
    }
    // The cells the last event wrote, as its notification lists them.
    std::vector<std::pair<int, int>> changed() const { return changes.cells(); }
};

// ---- altitude arithmetic -------------------------------------------------------------

TEST(AltitudeTool, ModesClampInFullIntegers) {
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::AddZ, 120, 10), 127);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::SubtractZ, -125, 10), -128);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::SetToZ, 99, -5), -5);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::OnlyChangeTile, -77, 100), -77);
    // Sums past the byte do not wrap.
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::AddZ, 127, 127), 127);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::SubtractZ, 127, -128), 127);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::SubtractZ, -128, 127), -128);
    EXPECT_EQ(tb::applyAltitudeMode(tb::AltitudeMode::AddZ, -100, 50), -50);
}

TEST(AltitudeTool, ZValueKeyFilter) {
    for (char32_t key : {U'0', U'5', U'9', U'-', U'\b'})
        EXPECT_TRUE(tb::zValueKeyAllowed(key));
    for (char32_t key : {U'+', U'a', U' ', U'$', U'.', U'\r'})
        EXPECT_FALSE(tb::zValueKeyAllowed(key));
}

TEST(AltitudeTool, RandomOffsetStaysWithinRange) {
    tbtest::SeededRandom random(7);
    std::set<int> seen;
    for (int i = 0; i < 600; ++i) {
        const int a = tb::newAltitude({tb::AltitudeMode::SetToZ, 0, true, 1}, 40, random);
        ASSERT_GE(a, -1);
        ASSERT_LE(a, 1);
        seen.insert(a);
    }
    EXPECT_EQ(seen, (std::set<int>{-1, 0, 1}));

    std::set<int> wide;
    for (int i = 0; i < 3000; ++i)
        wide.insert(tb::randomAltitudeOffset(10, random));
    EXPECT_EQ(wide.size(), 21u);
    EXPECT_EQ(*wide.begin(), -10);
    EXPECT_EQ(*wide.rbegin(), 10);
}

TEST(AltitudeTool, NegativeRangeDrawsNarrower) {
    EXPECT_EQ(tb::randomAltitudeBound(-3), 2);
    EXPECT_EQ(tb::randomAltitudeBound(-1), 0);
    EXPECT_EQ(tb::randomAltitudeBound(0), 0);
    EXPECT_EQ(tb::randomAltitudeBound(INT32_MIN), INT32_MAX);
    tbtest::SeededRandom random(3);
    for (int i = 0; i < 200; ++i) {
        const int offset = tb::randomAltitudeOffset(-3, random);
        ASSERT_GE(offset, -2);
        ASSERT_LE(offset, 2);
        ASSERT_EQ(tb::randomAltitudeOffset(-1, random), 0);
        ASSERT_EQ(tb::randomAltitudeOffset(0, random), 0);
    }
    // A huge typed range is still drawn, not overflowed.
    const int big = tb::newAltitude({tb::AltitudeMode::SetToZ, 0, true, INT32_MAX}, 0, random);
    EXPECT_TRUE(big >= -128 && big <= 127);
}

TEST(AltitudeTool, RandomOffsetAfterClampIsClampedAgainNotWrapped) {
    // Draw 20 of 0..20 is offset +10 for R = 10.
    edtest::ScriptedRandom up({20});
    EXPECT_EQ(tb::newAltitude({tb::AltitudeMode::OnlyChangeTile, 0, true, 10}, 127, up), 127);
    edtest::ScriptedRandom down({0});
    EXPECT_EQ(tb::newAltitude({tb::AltitudeMode::SubtractZ, 100, true, 10}, -100, down), -128);
    edtest::ScriptedRandom exact({13});
    EXPECT_EQ(tb::newAltitude({tb::AltitudeMode::AddZ, 10, true, 10}, 110, exact), 123);
    EXPECT_EQ(exact.ranges, std::vector<int>{21});
}

// ---- the Paint square ----------------------------------------------------------------

TEST_F(Painting, SizeOneChangesOneCellAndRecordsIt) {
    tb::MapDocument::Edit(doc).write(50, 60, {9, -3});
    const auto r = click(paintWithTile(0x1D3), 50, 60);
    EXPECT_FALSE(r.error);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{50, 60}}));
    EXPECT_EQ(doc.cell(50, 60), (MapCell{0x1D3, -3}));
    ASSERT_EQ(undo.size(), 1u);
    EXPECT_EQ(undo.rows()[0], (tb::UndoRow{50, 60, -3, 9}));
    EXPECT_EQ(doc.cell(51, 60), MapCell{});
    EXPECT_EQ(doc.cell(50, 61), MapCell{});
}

TEST_F(Painting, SizeThreePaintsSquareColumnByColumn) {
    const auto r = click(paintWithTile(7, 3), 10, 20);
    const std::vector<std::pair<int, int>> order{{10, 20}, {10, 21}, {10, 22}, {11, 20}, {11, 21},
                                                 {11, 22}, {12, 20}, {12, 21}, {12, 22}};
    EXPECT_EQ(changed(), order);
    EXPECT_EQ(undoPoints(undo), order);
    for (const auto& [x, y] : order)
        EXPECT_EQ(doc.cell(x, y).tileId, 7);
    EXPECT_EQ(doc.cell(13, 20).tileId, 0);
    EXPECT_EQ(doc.cell(10, 23).tileId, 0);
    EXPECT_EQ(doc.cell(9, 20).tileId, 0);
}

TEST_F(Painting, SquareAtRightAndBottomEdgeSkipsOutsideCells) {
    for (int size = 1; size <= 9; ++size) {
        tb::MapDocument fresh(edtest::ilshenarMap(), "map2.mul");
        edtest::ChangeRecorder freshChanges(fresh);
        const tb::UndoList& rows = fresh.undoList();
        const auto r = painter.selectCell(&fresh, paintWithTile(5, size), 2300, 1597);
        ASSERT_FALSE(r.error) << *r.error;
        const int cols = std::min(size, 4);  // 2300..2303
        const int lines = std::min(size, 3); // 1597..1599
        std::vector<std::pair<int, int>> expected;
        for (int i = 0; i < cols; ++i)
            for (int j = 0; j < lines; ++j)
                expected.emplace_back(2300 + i, 1597 + j);
        EXPECT_EQ(freshChanges.cells(), expected) << "size " << size;
        EXPECT_EQ(undoPoints(rows), expected) << "size " << size;
        EXPECT_EQ(fresh.cell(2303, 1599).tileId, size >= 4 ? 5 : 0);
    }
}

TEST_F(Painting, DontDrawPaintsAndRecordsNothing) {
    EditorState c = paintWithTile(5, 4);
    c.drawMode = tb::DrawMode::DontDraw;
    c.altitudeMode = tb::AltitudeMode::AddZ;
    c.z = 10;
    const auto r = click(c, 3, 3);
    EXPECT_TRUE(changed().empty());
    EXPECT_TRUE(undo.empty());
    EXPECT_EQ(doc.cell(3, 3), MapCell{});
}

TEST_F(Painting, AltitudeOnlyWithOnlyChangeTileStillRecords) {
    tb::MapDocument::Edit(doc).write(4, 4, {33, 12});
    EditorState c = paintWithTile(5);
    c.drawMode = tb::DrawMode::AltitudeOnly;
    const auto r = click(c, 4, 4);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{4, 4}}));
    EXPECT_EQ(doc.cell(4, 4), (MapCell{33, 12}));
    ASSERT_EQ(undo.size(), 1u);
    EXPECT_EQ(undo.rows()[0], (tb::UndoRow{4, 4, 12, 33}));
}

TEST_F(Painting, AltitudeModesThroughTheEvent) {
    tb::MapDocument::Edit(doc).write(1, 1, {0, 120});
    tb::MapDocument::Edit(doc).write(2, 2, {0, -125});
    EditorState c = paintWithTile(0);
    c.drawMode = tb::DrawMode::AltitudeOnly;
    c.altitudeMode = tb::AltitudeMode::AddZ;
    c.z = 10;
    click(c, 1, 1);
    EXPECT_EQ(doc.cell(1, 1).altitude, 127);
    c.altitudeMode = tb::AltitudeMode::SubtractZ;
    click(c, 2, 2);
    EXPECT_EQ(doc.cell(2, 2).altitude, -128);
    c.altitudeMode = tb::AltitudeMode::SetToZ;
    c.z = -5;
    click(c, 1, 1);
    EXPECT_EQ(doc.cell(1, 1).altitude, -5);
}

TEST_F(Painting, RandomAltitudeDrawsPerCellInPaintOrder) {
    edtest::ScriptedRandom script({0, 1, 2, 2});
    tb::MapPainter scripted(script);
    EditorState c = paintWithTile(1, 2);
    c.altitudeMode = tb::AltitudeMode::SetToZ;
    c.addRandomAltitude = true;
    c.randomRange = 1;
    scripted.selectCell(&doc, c, 0, 0);
    EXPECT_EQ(doc.cell(0, 0).altitude, -1);
    EXPECT_EQ(doc.cell(0, 1).altitude, 0);
    EXPECT_EQ(doc.cell(1, 0).altitude, 1);
    EXPECT_EQ(doc.cell(1, 1).altitude, 1);
    EXPECT_EQ(script.ranges, (std::vector<int>{3, 3, 3, 3}));
}

TEST_F(Painting, TileGroupPicksPerCell) {
    const tb::TileGroup group = tb::tileGroup({"Grass", {"$0003", "$0004", "7"}});
    edtest::ScriptedRandom script({2, 0, 1});
    tb::MapPainter scripted(script);
    EditorState c = paintWithTile(0, 1);
    c.drawMode = tb::DrawMode::TileGroup;
    c.group = group;
    c.tool = PaintTool::Fill;
    scripted.selectCell(&doc, c, 5, 5);
    const auto r = scripted.selectCell(&doc, c, 5, 7);
    EXPECT_FALSE(r.error);
    EXPECT_EQ(doc.cell(5, 5).tileId, 7);
    EXPECT_EQ(doc.cell(5, 6).tileId, 3);
    EXPECT_EQ(doc.cell(5, 7).tileId, 4);
}

TEST_F(Painting, EmptyGroupEndsTheEvent) {
    const tb::TileGroup empty{"Nothing", {}};
    EditorState c = paintWithTile(0, 2);
    c.drawMode = tb::DrawMode::TileGroup;
    c.group = empty;
    c.altitudeMode = tb::AltitudeMode::SetToZ;
    c.z = 9;
    const auto r = click(c, 0, 0);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "List index out of bounds (0)");
    EXPECT_TRUE(changed().empty());
    EXPECT_EQ(doc.cell(0, 0), MapCell{});
}

// ---- refusals and failures ---------------------------------------------------------------

TEST_F(Painting, ZOutOfRangeRefusesTheEvent) {
    for (const std::int32_t z : {128, -129, 9999}) {
        EditorState c = paintWithTile(5);
        c.z = z;
        const auto r = click(c, 0, 0);
        EXPECT_TRUE(r.zOutOfRange) << z;
        EXPECT_FALSE(r.error);
        EXPECT_TRUE(changed().empty());
    }
    EXPECT_EQ(doc.cell(0, 0), MapCell{});
    EXPECT_TRUE(undo.empty());
    EXPECT_EQ(tb::kZOutOfRangeMessage, "Z must be between -128 to 127!");
    EditorState edge = paintWithTile(5);
    edge.z = -128;
    EXPECT_FALSE(click(edge, 0, 0).zOutOfRange);
}

TEST_F(Painting, TextsThatAreNoNumbersEndTheEvent) {
    EditorState c = paintWithTile(5);
    c.z = tb::checkedStrToInt("-");
    auto r = click(c, 0, 0);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'-' is not a valid integer value");
    EXPECT_EQ(doc.cell(0, 0), MapCell{});

    c.z = 0;
    c.addRandomAltitude = true;
    c.randomRange = tb::checkedStrToInt("abc");
    r = click(c, 0, 0);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "'abc' is not a valid integer value");
    EXPECT_EQ(doc.cell(0, 0), MapCell{});
}

TEST_F(Painting, TileAbove65535StopsTheEventAtThatCell) {
    EditorState big = paintWithTile(0, 3);
    big.drawMode = tb::DrawMode::TileGroup;
    big.group = tb::tileGroup({"Big", {"$10000"}});
    const auto r = click(big, 0, 0);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "Range check error");
    EXPECT_TRUE(changed().empty());
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(doc.cell(x, y), MapCell{});
    // The failing cell's row was taken before the failure and restores nothing new.
    ASSERT_EQ(undo.size(), 1u);
    EXPECT_EQ(undo.rows()[0], (tb::UndoRow{0, 0, 0, 0}));

    EditorState top = paintWithTile(0xFFFF);
    EXPECT_FALSE(click(top, 0, 0).error);
    EXPECT_EQ(doc.cell(0, 0).tileId, 0xFFFF);
}

TEST_F(Painting, GroupIdAbove65535StopsLaterCells) {
    const tb::TileGroup group = tb::tileGroup({"Mixed", {"$0010", "$10000"}});
    edtest::ScriptedRandom script({0, 1, 0});
    tb::MapPainter scripted(script);
    EditorState c = paintWithTile(0, 2);
    c.drawMode = tb::DrawMode::TileGroup;
    c.group = group;
    const auto r = scripted.selectCell(&doc, c, 0, 0);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "Range check error");
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(doc.cell(0, 0).tileId, 0x10);
    EXPECT_EQ(doc.cell(0, 1).tileId, 0);
    EXPECT_EQ(doc.cell(1, 0).tileId, 0);
    EXPECT_EQ(script.ranges.size(), 2u); // no draw after the failure
}

TEST_F(Painting, NoMapLoadedChangesNothing) {
    for (PaintTool tool : {PaintTool::Paint, PaintTool::Fill, PaintTool::Stamp, PaintTool::Brush}) {
        EditorState c = paintWithTile(5);
        c.tool = tool;
        c.stampButton = 5;
        c.setBrushLines({"0,0,5"});
        const auto r = painter.selectCell(nullptr, c, 0, 0);
        EXPECT_TRUE(changed().empty());
        EXPECT_FALSE(r.error);
        EXPECT_FALSE(painter.fillPending());
    }
    EXPECT_TRUE(undo.empty());
}

// ---- key navigation flag -----------------------------------------------------------------

TEST_F(Painting, KeyNavigationSwallowsOneEvent) {
    painter.setKeyNavigation();
    auto r = click(paintWithTile(5), 0, 0);
    EXPECT_TRUE(changed().empty());
    EXPECT_FALSE(painter.keyNavigation());
    EXPECT_EQ(doc.cell(0, 0), MapCell{});
    r = click(paintWithTile(5), 0, 0);
    EXPECT_EQ(doc.cell(0, 0).tileId, 5);
}

TEST_F(Painting, ZIsCheckedBeforeTheKeyNavigationFlag) {
    painter.setKeyNavigation();
    EditorState c = paintWithTile(5);
    c.z = 500;
    EXPECT_TRUE(click(c, 0, 0).zOutOfRange);
    EXPECT_TRUE(painter.keyNavigation());
}

// ---- Fill ----------------------------------------------------------------------------------

TEST_F(Painting, FillPaintsRectangleInColumnOrder) {
    EditorState c = paintWithTile(8);
    c.tool = PaintTool::Fill;
    auto r = click(c, 10, 10);
    EXPECT_TRUE(changed().empty());
    EXPECT_TRUE(painter.fillPending());
    EXPECT_EQ(painter.fillCorner1().x, 10);
    r = click(c, 12, 11);
    const std::vector<std::pair<int, int>> order{{10, 10}, {10, 11}, {11, 10},
                                                 {11, 11}, {12, 10}, {12, 11}};
    EXPECT_EQ(changed(), order);
    EXPECT_EQ(undoPoints(undo), order);
    EXPECT_FALSE(painter.fillPending());
    EXPECT_EQ(painter.fillCorner1().x, -1);
    EXPECT_EQ(painter.fillCorner1().y, -1);
}

TEST_F(Painting, FillWrongDirectionEndsThePendingFill) {
    EditorState c = paintWithTile(8);
    c.tool = PaintTool::Fill;
    click(c, 10, 10);
    auto r = click(c, 9, 11);
    EXPECT_TRUE(changed().empty());
    EXPECT_FALSE(painter.fillPending());
    EXPECT_TRUE(undo.empty());
    r = click(c, 9, 11); // a new first corner
    EXPECT_TRUE(changed().empty());
    EXPECT_TRUE(painter.fillPending());
    r = click(c, 9, 11);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{9, 11}}));
}

TEST_F(Painting, FillAlternatesWhileDragging) {
    EditorState c = paintWithTile(8);
    c.tool = PaintTool::Fill;
    std::vector<std::size_t> changed;
    for (int step = 0; step < 4; ++step) {
        click(c, 20 + step, 20 + step);
        changed.push_back(changes.cells().size());
    }
    EXPECT_EQ(changed, (std::vector<std::size_t>{0, 4, 0, 4}));
    EXPECT_EQ(doc.cell(21, 21).tileId, 8);
    EXPECT_EQ(doc.cell(22, 21).tileId, 0); // between the two rectangles
}

TEST_F(Painting, FillWithDontDrawChangesAltitudesOnly) {
    tb::MapDocument::Edit(doc).write(3, 4, {77, 1});
    EditorState c = paintWithTile(8);
    c.tool = PaintTool::Fill;
    c.drawMode = tb::DrawMode::DontDraw;
    c.altitudeMode = tb::AltitudeMode::AddZ;
    c.z = 6;
    click(c, 3, 3);
    click(c, 4, 4);
    EXPECT_EQ(doc.cell(3, 4), (MapCell{77, 7}));
    EXPECT_EQ(doc.cell(4, 3), (MapCell{0, 6}));
    EXPECT_EQ(undo.size(), 4u);
}

TEST_F(Painting, FillCornerSurvivesToolSwitch) {
    EditorState fill = paintWithTile(8);
    fill.tool = PaintTool::Fill;
    click(fill, 0, 0);
    click(paintWithTile(3), 100, 100);
    EXPECT_TRUE(painter.fillPending());
    const auto r = click(fill, 1, 1);
    EXPECT_EQ(changed().size(), 4u);
}

TEST_F(Painting, FillFailureEndsThePendingFill) {
    EditorState c = paintWithTile(0);
    c.drawMode = tb::DrawMode::TileGroup;
    c.group = tb::tileGroup({"Big", {"$10000"}});
    c.tool = PaintTool::Fill;
    click(c, 0, 0);
    EXPECT_TRUE(click(c, 2, 2).error);
    EXPECT_FALSE(painter.fillPending());
}

// ---- stamps --------------------------------------------------------------------------------

TEST(Stamp, ButtonOrderOnTheToolbar) {
    EXPECT_EQ(tb::kStampButtonOrder,
              (std::array<int, 14>{1, 2, 3, 4, 5, 7, 8, 9, 10, 6, 11, 12, 13, 14}));
    EXPECT_THROW(tb::stampPattern(0), std::out_of_range);
    EXPECT_THROW(tb::stampPattern(15), std::out_of_range);
}

TEST_F(Painting, EveryStampPatternLandsWhereItShould) {
    // button -> rows of ids, top to bottom, left to right
    const std::map<int, std::vector<std::vector<int>>> expected{
        {1, {{467, 468, 469}, {474, 475, 470}}},
        {2, {{468, 469}, {475, 470}, {472, 471}}},
        {3, {{474, 475, 470}, {473, 472, 471}}},
        {4, {{467, 468}, {474, 475}, {473, 472}}},
        {5, {{467, 468, 469}, {474, 475, 470}, {473, 472, 471}}},
        {6, {{475}}},
        {7, {{467}}},
        {8, {{468}}},
        {9, {{469}}},
        {10, {{474}}},
        {11, {{470}}},
        {12, {{473}}},
        {13, {{472}}},
        {14, {{471}}},
    };
    for (const auto& [button, rows] : expected) {
        tb::MapDocument fresh(edtest::ilshenarMap(), "map2.mul");
        edtest::ChangeRecorder freshChanges(fresh);
        EditorState c = paintWithTile(1);
        c.tool = PaintTool::Stamp;
        c.stampButton = button;
        const auto r = painter.selectCell(&fresh, c, 100, 200);
        ASSERT_FALSE(r.error);
        std::vector<std::pair<int, int>> order;
        for (std::size_t row = 0; row < rows.size(); ++row)
            for (std::size_t col = 0; col < rows[row].size(); ++col)
                order.emplace_back(100 + int(col), 200 + int(row));
        EXPECT_EQ(freshChanges.cells(), order) << "button " << button;
        for (int dy = -1; dy <= 3; ++dy) {
            for (int dx = -1; dx <= 3; ++dx) {
                const bool inPattern = dy >= 0 && dx >= 0 && std::size_t(dy) < rows.size() &&
                                       std::size_t(dx) < rows[std::size_t(dy)].size();
                const int want = inPattern ? rows[std::size_t(dy)][std::size_t(dx)] : 0;
                EXPECT_EQ(fresh.cell(100 + dx, 200 + dy).tileId, want)
                    << "button " << button << " at " << dx << "," << dy;
            }
        }
        EXPECT_TRUE(fresh.undoList().empty());
    }
}

TEST_F(Painting, StampAppliesAltitudeAndSkipsOutsideCells) {
    EditorState c = paintWithTile(1);
    c.tool = PaintTool::Stamp;
    c.stampButton = 5;
    c.altitudeMode = tb::AltitudeMode::SetToZ;
    c.z = -20;
    const auto r = click(c, 2302, 1598);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{
                             {2302, 1598}, {2303, 1598}, {2302, 1599}, {2303, 1599}}));
    EXPECT_EQ(doc.cell(2302, 1598), (MapCell{467, -20}));
    EXPECT_EQ(doc.cell(2303, 1599), (MapCell{475, -20}));
    EXPECT_TRUE(undo.empty());
}

// ---- custom brush --------------------------------------------------------------------------

TEST_F(Painting, BrushStampsRelativeToTheSelectedCell) {
    EditorState c = paintWithTile(1);
    c.setBrushLines({"1,2,$003F", "0,0,5"});
    c.tool = PaintTool::Brush;
    const auto r = click(c, 40, 50);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{41, 52}, {40, 50}}));
    EXPECT_EQ(doc.cell(41, 52).tileId, 0x3F);
    EXPECT_EQ(doc.cell(40, 50).tileId, 5);
    EXPECT_TRUE(undo.empty());
}

TEST_F(Painting, BrushSkipsCellsOffTheMapOnEverySide) {
    EditorState c = paintWithTile(1);
    c.setBrushLines({"-1,0,7", "0,-1,8", "1,1,9", "5,0,10"});
    c.tool = PaintTool::Brush;
    auto r = click(c, 0, 0);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{1, 1}, {5, 0}}));
    r = click(c, 2303, 1599);
    EXPECT_EQ(changed(), (std::vector<std::pair<int, int>>{{2302, 1599}, {2303, 1598}}));
    EXPECT_EQ(doc.cell(2302, 1599).tileId, 7);
    EXPECT_EQ(doc.cell(2303, 1598).tileId, 8);
}

TEST_F(Painting, BrushTileAbove65535StopsTheRest) {
    EditorState c = paintWithTile(1);
    c.setBrushLines({"0,0,5", "1,0,$10000", "2,0,6"});
    c.tool = PaintTool::Brush;
    const auto r = click(c, 10, 10);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(*r.error, "Range check error");
    EXPECT_EQ(doc.cell(10, 10).tileId, 5);
    EXPECT_EQ(doc.cell(11, 10).tileId, 0);
    EXPECT_EQ(doc.cell(12, 10).tileId, 0);
}

TEST_F(Painting, EmptyBrushChangesNothing) {
    EditorState c = paintWithTile(1);
    c.tool = PaintTool::Brush;
    click(c, 10, 10);
    EXPECT_TRUE(changed().empty());
}

TEST(DrawModes, FixedItemsThenGroups) {
    const std::vector<tb::TileGroup> groups =
        tb::tileGroups({{"Grass", {"$0003"}}, {"Sand", {"$0016"}}});
    EXPECT_EQ(tb::drawModeCaptions(groups),
              (std::vector<std::string>{"Don't draw", "Selected tile from list", "Altitude only",
                                        "Grass", "Sand"}));
    EditorState state;
    state.setDrawMode(tb::DrawMode::TileGroup, groups[1]);
    EXPECT_EQ(state.drawMode, tb::DrawMode::TileGroup);
    EXPECT_EQ(state.group, groups[1]);
    // Another mode drops the group, so a later group mode never paints a stale one.
    state.setDrawMode(tb::DrawMode::SelectedTile, groups[0]);
    EXPECT_FALSE(state.group);
}

} // namespace
