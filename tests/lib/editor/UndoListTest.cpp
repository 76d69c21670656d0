#include "editor/UndoList.h"

#include "editor/Painting.h"

#include "PaintingTestSupport.h"

#include <gtest/gtest.h>

using tb::MapCell;
using tb::PaintControls;
using tb::PaintTool;

namespace {

class Undo : public ::testing::Test {
protected:
    tb::MapImage map = edtest::ilshenarMap();
    tb::UndoList undo;
    tb::MtRandomSource random{1};
    tb::MapPainter painter{random};

    PaintControls tile(std::int32_t id, int size = 1) {
        PaintControls c;
        c.draw.drawMode = tb::kSelectedTile;
        c.draw.paletteTile = id;
        c.brushSize = size;
        return c;
    }
};

TEST_F(Undo, OneCellRestoredExactly) {
    map.setCell(7, 9, {0x1234, -77});
    painter.selectCell(&map, undo, tile(5), 7, 9);
    ASSERT_EQ(map.cell(7, 9), (MapCell{5, -77}));
    const auto redraw = undo.undo(map);
    ASSERT_TRUE(redraw);
    EXPECT_EQ(redraw->x, 7);
    EXPECT_EQ(redraw->y, 9);
    EXPECT_EQ(map.cell(7, 9), (MapCell{0x1234, -77}));
    EXPECT_TRUE(undo.empty());
}

TEST_F(Undo, ThreeAddZWalkBackNewestFirst) {
    PaintControls c = tile(0);
    c.draw.drawMode = tb::kAltitudeOnly;
    c.altitudeMode = tb::kAddZ;
    c.zText = "5";
    for (int i = 0; i < 3; ++i)
        painter.selectCell(&map, undo, c, 3, 3);
    EXPECT_EQ(map.cell(3, 3).altitude, 15);
    std::vector<int> walk;
    while (undo.undo(map))
        walk.push_back(map.cell(3, 3).altitude);
    EXPECT_EQ(walk, (std::vector<int>{10, 5, 0}));
}

TEST_F(Undo, SquareTakenBackLastPaintedFirst) {
    map.setCell(0, 0, {1, 1});
    map.setCell(0, 1, {2, 2});
    map.setCell(1, 0, {3, 3});
    map.setCell(1, 1, {4, 4});
    painter.selectCell(&map, undo, tile(9, 2), 0, 0);
    ASSERT_EQ(undo.size(), 4u);
    std::vector<std::pair<int, int>> order;
    while (const auto cell = undo.undo(map))
        order.emplace_back(cell->x, cell->y);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 1}, {1, 0}, {0, 1}, {0, 0}}));
    EXPECT_EQ(map.cell(0, 0), (MapCell{1, 1}));
    EXPECT_EQ(map.cell(1, 1), (MapCell{4, 4}));
}

TEST_F(Undo, StampsAndBrushesAddNoRows) {
    painter.selectCell(&map, undo, tile(9), 50, 50);
    PaintControls stamp = tile(0);
    stamp.tool = PaintTool::Stamp;
    stamp.stampButton = 5;
    painter.selectCell(&map, undo, stamp, 50, 50);
    PaintControls brush = tile(0);
    brush.tool = PaintTool::Brush;
    painter.setCurrentBrushLines({"0,0,$0042"});
    painter.selectCell(&map, undo, brush, 60, 60);
    ASSERT_EQ(undo.size(), 1u);
    // The undo takes back the paint, over the stamp that came later.
    undo.undo(map);
    EXPECT_EQ(map.cell(50, 50).tileId, 0);
    EXPECT_EQ(map.cell(51, 50).tileId, 468);
    EXPECT_EQ(map.cell(60, 60).tileId, 0x42);
}

TEST_F(Undo, EmptyListAndRowsOffTheMap) {
    EXPECT_FALSE(undo.undo(map));
    undo.record(5000, 5000, {7, 7});
    EXPECT_FALSE(undo.undo(map));
    EXPECT_TRUE(undo.empty());
}

TEST_F(Undo, RowTextsAreDecimal) {
    undo.record(12, 34, {0xFFFF, -128});
    EXPECT_EQ(tb::undoRowTexts(undo.rows()[0]),
              (std::array<std::string, 4>{"12", "34", "-128", "65535"}));
    EXPECT_STREQ(tb::kUndoColumnCaptions[3], "Tile ID");
    undo.clear();
    EXPECT_TRUE(undo.empty());
}

} // namespace
