// The map document: undo and redo rows, strokes, what its listeners hear, and how Save and
// Load change what counts as modified.
#include "editor/MapDocument.h"

#include "editor/MapPainter.h"

#include "MapPainterTestSupport.h"
#include "TestPaths.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using tb::CellRect;
using tb::EditorState;
using tb::MapCell;
using tb::PaintTool;
using tb::UndoRow;

namespace {

using Cells = std::vector<std::pair<int, int>>;

class Document : public ::testing::Test {
protected:
    tb::MapDocument doc{edtest::ilshenarMap(), "map2.mul"};
    edtest::ChangeRecorder heard{doc};
    tbtest::SeededRandom random{5};
    tb::MapPainter painter{random};

    // The Paint tool with "Add Z" of `z` and brush `size`, tiles kept.
    static EditorState raise(int z, int size = 1) {
        EditorState s;
        s.drawMode = tb::DrawMode::AltitudeOnly;
        s.altitudeMode = tb::AltitudeMode::AddZ;
        s.z = z;
        s.brushSize = size;
        return s;
    }
    void click(const EditorState& s, int x, int y) {
        ASSERT_FALSE(painter.selectCell(&doc, s, x, y).error);
    }
    // A press at (x, y) dragged through the next `cells - 1` cells to the right.
    void drag(const EditorState& s, int x, int y, int cells) {
        doc.beginStroke();
        for (int k = 0; k < cells; ++k)
            click(s, x + k, y);
        doc.endStroke();
    }
    void fill(const EditorState& s, int x1, int y1, int x2, int y2) {
        EditorState f = s;
        f.tool = PaintTool::Fill;
        click(f, x1, y1);
        click(f, x2, y2);
    }
    int altitude(int x, int y) const { return doc.cell(x, y).altitude; }
};

TEST_F(Document, RedoWalksForwardThroughWhatUndoTookBack) {
    // The same cell three times, then a neighbour: rows (5,5,0) (5,5,1) (5,5,3) (6,5,0).
    click(raise(1), 5, 5);
    click(raise(2), 5, 5);
    click(raise(4), 5, 5);
    click(raise(9), 6, 5);
    const std::vector<UndoRow> rows = doc.undoList().rows();
    ASSERT_EQ(rows, (std::vector<UndoRow>{{5, 5, 0, 0}, {5, 5, 1, 0}, {5, 5, 3, 0}, {6, 5, 0, 0}}));

    std::vector<std::pair<int, int>> walk; // altitudes of (5,5) and (6,5) after each step
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(doc.undo());
        walk.emplace_back(altitude(5, 5), altitude(6, 5));
    }
    EXPECT_FALSE(doc.undo());
    EXPECT_EQ(walk, (Cells{{7, 0}, {3, 0}, {1, 0}, {0, 0}}));
    EXPECT_EQ(doc.undoList().redoRows().size(), 4u);

    walk.clear();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(doc.redo());
        walk.emplace_back(altitude(5, 5), altitude(6, 5));
    }
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(walk, (Cells{{1, 0}, {3, 0}, {7, 0}, {7, 9}}));
    // Redo puts back exactly the rows undo took, in their order.
    EXPECT_EQ(doc.undoList().rows(), rows);
}

TEST_F(Document, OnlyARecordedChangeForgetsTheRedoRows) {
    click(raise(3), 1, 1);
    click(raise(3), 2, 2);
    doc.undo();
    doc.undo();
    // Stamps, brushes and single writes are not recorded and keep the redo rows.
    EditorState stamp = raise(0);
    stamp.tool = PaintTool::Stamp;
    stamp.stampButton = 6;
    click(stamp, 40, 40);
    EditorState brush = raise(0);
    brush.tool = PaintTool::Brush;
    brush.setBrushLines({"0,0,9"});
    click(brush, 41, 40);
    doc.setCell(42, 40, {1, 1});
    EXPECT_EQ(doc.undoList().redoRows().size(), 2u);
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(altitude(1, 1), 3);

    // A Paint change (even one of "Only Change Tile" that writes the same values) does.
    EditorState same;
    same.drawMode = tb::DrawMode::AltitudeOnly;
    click(same, 30, 30);
    EXPECT_FALSE(doc.undoList().canRedo());
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(altitude(2, 2), 0);
}

TEST_F(Document, StrokesRunFromPressToReleaseAndEachFillStandsAlone) {
    click(raise(1), 0, 1); // outside a press every event is a stroke of its own
    click(raise(1), 0, 2);
    drag(raise(1, 2), 10, 10, 3); // one stroke: 3 events of 4 cells
    doc.beginStroke();
    click(raise(5), 20, 20);
    fill(raise(2), 30, 30, 31, 32); // 6 rows of their own in the middle of a press
    click(raise(5), 21, 20);        // after it the press goes on in a new stroke
    doc.endStroke();
    ASSERT_EQ(doc.undoList().size(), 22u);

    // Newest first: (21, 20); the fill; (20, 20); the drag; (0, 2); (0, 1).
    std::vector<std::size_t> left;
    while (doc.undoStroke())
        left.push_back(doc.undoList().size());
    EXPECT_EQ(left, (std::vector<std::size_t>{21, 15, 14, 2, 1, 0}));
    for (auto [x, y] : Cells{{0, 1}, {13, 11}, {20, 20}, {31, 32}, {21, 20}})
        EXPECT_EQ(altitude(x, y), 0) << x << "," << y;
    // Redo of a stroke brings back just that stroke.
    ASSERT_TRUE(doc.redoStroke());
    EXPECT_EQ(altitude(0, 1), 1);
    EXPECT_EQ(altitude(0, 2), 0);
}

TEST_F(Document, OneNotificationPerOperationWithItsCellsOrItsBounds) {
    click(raise(1, 3), 100, 200);
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].count, 9u);
    EXPECT_EQ(heard.changes[0].bounds, (CellRect{100, 200, 102, 202}));
    EXPECT_EQ(heard.cells().front(), std::make_pair(100, 200));
    EXPECT_EQ(heard.cells().back(), std::make_pair(102, 202));

    // A brush reaching far: the cells it wrote and the rectangle around them.
    heard.clear();
    EditorState brush = raise(0);
    brush.tool = PaintTool::Brush;
    brush.setBrushLines({"0,0,3", "-50,7,4", "9,-3,5"});
    click(brush, 60, 60);
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.cells(), (Cells{{60, 60}, {10, 67}, {69, 57}}));
    EXPECT_EQ(heard.changes[0].bounds, (CellRect{10, 57, 69, 67}));

    // A Fill of 40 x 30 cells is too many to list: one notification with its bounds.
    heard.clear();
    fill(raise(1), 500, 400, 539, 429);
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].count, 1200u);
    EXPECT_FALSE(heard.changes[0].listsCells());
    EXPECT_TRUE(heard.changes[0].cells.empty());
    EXPECT_EQ(heard.changes[0].bounds, (CellRect{500, 400, 539, 429}));
    // Its stroke undone at once: one more.
    heard.clear();
    doc.undoStroke();
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].bounds, (CellRect{500, 400, 539, 429}));
    // Single undo and redo: one cell each, (x, y) as recorded.
    heard.clear();
    doc.undo();
    doc.redo();
    EXPECT_EQ(heard.cells(), (Cells{{102, 202}, {102, 202}}));

    // Events that change nothing say nothing: "Don't draw", a pending corner, no row left.
    heard.clear();
    EditorState none = raise(1);
    none.drawMode = tb::DrawMode::DontDraw;
    click(none, 1, 1);
    EditorState corner = raise(1);
    corner.tool = PaintTool::Fill;
    click(corner, 1, 1);
    tb::MapDocument empty;
    edtest::ChangeRecorder quiet(empty);
    EXPECT_FALSE(empty.undo());
    EXPECT_TRUE(heard.changes.empty());
    EXPECT_TRUE(quiet.changes.empty());
}

TEST_F(Document, ModifiedUntilSavedOrReplaced) {
    tbtest::TempDir dir;
    EXPECT_FALSE(doc.isModified());
    click(raise(1), 3, 3);
    doc.undo();
    doc.redo();
    EXPECT_EQ(doc.modificationCount(), 3u);
    EXPECT_EQ(heard.modifiedStates, std::vector<bool>{true});

    // A failed save changes nothing.
    const auto nowhere = dir / "missing" / "map2.mul";
    EXPECT_ANY_THROW(doc.save(nowhere));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.fileName(), std::filesystem::path("map2.mul"));

    const auto saved = dir / "map2.mul";
    doc.save(saved);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), saved);
    EXPECT_EQ(heard.modifiedStates, (std::vector<bool>{true, false}));
    EXPECT_EQ(tb::MapImage::load(saved).cell(3, 3).altitude, 1);
    // Saving keeps the rows: undo still works, and makes the document modified again.
    EXPECT_EQ(doc.undoList().size(), 1u);
    doc.undo();
    EXPECT_TRUE(doc.isModified());

    // Load: the file's map, no rows either way, unmodified, and listeners redraw all.
    doc.replace(tb::MapImage::load(saved), saved);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.undoList().empty());
    EXPECT_FALSE(doc.undoList().canRedo());
    EXPECT_FALSE(doc.redo());
    EXPECT_EQ(heard.replaced, 1);
    EXPECT_EQ(altitude(3, 3), 1);
    EXPECT_EQ(heard.modifiedStates, (std::vector<bool>{true, false, true, false}));

    doc.setCell(7, 7, {2, 2});
    doc.markUnmodified();
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.cell(7, 7), (MapCell{2, 2}));
}

} // namespace
