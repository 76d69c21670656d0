#include "editor/UndoList.h"

#include "editor/MapPainter.h"

#include "MapPainterTestSupport.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

using tb::EditorState;
using tb::MapCell;
using tb::PaintTool;

namespace {

class Undo : public ::testing::Test {
protected:
    tb::MapDocument map{edtest::ilshenarMap(), "map2.mul"};
    const tb::UndoList& undo = map.undoList();
    edtest::ChangeRecorder changes{map};
    tbtest::SeededRandom random{1};
    tb::MapPainter painter{random};

    EditorState tile(std::uint16_t id, int size = 1) {
        EditorState c;
        c.drawMode = tb::DrawMode::SelectedTile;
        c.paletteTile = id;
        c.brushSize = size;
        return c;
    }
    // One undo; the cell its notification names, or nullopt when it changed nothing.
    std::optional<std::pair<int, int>> undoOnce() {
        changes.clear();
        map.undo();
        const auto cells = changes.cells();
        if (cells.empty())
            return std::nullopt;
        return cells.front();
    }
};

TEST_F(Undo, OneCellRestoredExactly) {
    tb::MapDocument::Edit(map).write(7, 9, {0x1234, -77});
    painter.selectCell(&map, tile(5), 7, 9);
    ASSERT_EQ(map.cell(7, 9), (MapCell{5, -77}));
    const auto redraw = undoOnce();
    ASSERT_TRUE(redraw);
    EXPECT_EQ(*redraw, std::make_pair(7, 9));
    EXPECT_EQ(map.cell(7, 9), (MapCell{0x1234, -77}));
    EXPECT_TRUE(undo.empty());
}

TEST_F(Undo, ThreeAddZWalkBackNewestFirst) {
    EditorState c = tile(0);
    c.drawMode = tb::DrawMode::AltitudeOnly;
    c.altitudeMode = tb::AltitudeMode::AddZ;
    c.z = 5;
    for (int i = 0; i < 3; ++i)
        painter.selectCell(&map, c, 3, 3);
    EXPECT_EQ(map.cell(3, 3).altitude, 15);
    std::vector<int> walk;
    while (map.undo())
        walk.push_back(map.cell(3, 3).altitude);
    EXPECT_EQ(walk, (std::vector<int>{10, 5, 0}));
}

TEST_F(Undo, SquareTakenBackLastPaintedFirst) {
    tb::MapDocument::Edit(map).write(0, 0, {1, 1});
    tb::MapDocument::Edit(map).write(0, 1, {2, 2});
    tb::MapDocument::Edit(map).write(1, 0, {3, 3});
    tb::MapDocument::Edit(map).write(1, 1, {4, 4});
    painter.selectCell(&map, tile(9, 2), 0, 0);
    ASSERT_EQ(undo.size(), 4u);
    std::vector<std::pair<int, int>> order;
    while (const auto cell = undoOnce())
        order.push_back(*cell);
    EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{1, 1}, {1, 0}, {0, 1}, {0, 0}}));
    EXPECT_EQ(map.cell(0, 0), (MapCell{1, 1}));
    EXPECT_EQ(map.cell(1, 1), (MapCell{4, 4}));
}

TEST_F(Undo, StampsAndBrushesAddNoRows) {
    painter.selectCell(&map, tile(9), 50, 50);
    EditorState stamp = tile(0);
    stamp.tool = PaintTool::Stamp;
    stamp.stampButton = 5;
    painter.selectCell(&map, stamp, 50, 50);
    EditorState brush = tile(0);
    brush.tool = PaintTool::Brush;
    brush.setBrushLines({"0,0,$0042"});
    painter.selectCell(&map, brush, 60, 60);
    ASSERT_EQ(undo.size(), 1u);
    // The undo takes back the paint, over the stamp that came later.
    map.undo();
    EXPECT_EQ(map.cell(50, 50).tileId, 0);
    EXPECT_EQ(map.cell(51, 50).tileId, 468);
    EXPECT_EQ(map.cell(60, 60).tileId, 0x42);
}

TEST_F(Undo, EmptyListAndRowsOffTheMap) {
    EXPECT_FALSE(map.undo());
    tb::MapImage image = edtest::ilshenarMap();
    tb::UndoList rows;
    EXPECT_FALSE(rows.undo(image));
    rows.record(5000, 5000, {7, 7});
    EXPECT_FALSE(rows.undo(image));
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(rows.canRedo());
}

TEST(UndoRows, TextsAreDecimal) {
    tb::UndoList rows;
    rows.record(12, 34, {0xFFFF, -128});
    EXPECT_EQ(tb::undoRowTexts(rows.rows()[0]),
              (std::array<std::string, 4>{"12", "34", "-128", "65535"}));
    EXPECT_STREQ(tb::kUndoColumnCaptions[3], "Tile ID");
    rows.clear();
    EXPECT_TRUE(rows.empty());
}

} // namespace
