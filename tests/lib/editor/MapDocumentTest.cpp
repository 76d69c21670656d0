// The map document: undo and redo rows, strokes, what its listeners hear, and how Save and
// Load change what counts as modified.
#include "editor/MapDocument.h"

#include "editor/MapPainter.h"

#include "MapPainterTestSupport.h"
#include "TestPaths.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
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
    tb::MapDocument::Edit(doc).write(42, 40, {1, 1});
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

TEST_F(Document, ModifiedFollowsTheHistorysCleanPoint) {
    tbtest::TempDir dir;
    EXPECT_FALSE(doc.isModified());
    click(raise(1), 3, 3);
    EXPECT_TRUE(doc.isModified());
    // Undo back to the loaded state is unmodified again; redo modifies again.
    doc.undo();
    EXPECT_FALSE(doc.isModified());
    doc.redo();
    EXPECT_EQ(heard.modifiedStates, (std::vector<bool>{true, false, true}));

    // A failed save changes nothing.
    const auto nowhere = dir / "missing" / "map2.mul";
    EXPECT_ANY_THROW(doc.save(nowhere));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.fileName(), std::filesystem::path("map2.mul"));

    const auto saved = dir / "map2.mul";
    doc.save(saved);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.fileName(), saved);
    EXPECT_EQ(tb::MapImage::load(saved).cell(3, 3).altitude, 1);
    // Saving keeps the rows: undo still works, and makes the document modified again, and
    // redo comes back to the saved state.
    EXPECT_EQ(doc.undoList().size(), 1u);
    doc.undo();
    EXPECT_TRUE(doc.isModified());
    doc.redo();
    EXPECT_FALSE(doc.isModified());
    // A new step after undoing below the saved point can never lead back to it.
    doc.undo();
    click(raise(2), 4, 4);
    doc.undo();
    EXPECT_TRUE(doc.isModified());

    // A change no step takes back (a stamp) cannot be undone to the clean point either.
    doc.markUnmodified();
    EditorState stamp;
    stamp.tool = PaintTool::Stamp;
    stamp.stampButton = 6;
    click(stamp, 8, 8);
    EXPECT_TRUE(doc.isModified());
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
    EXPECT_FALSE(heard.modifiedStates.back());
}

// An edit an exception leaves is taken back whole: its cells, its items and its rows; the
// listeners hear nothing of it.
TEST_F(Document, AnEditThatFailsPartWayIsRolledBackWhole) {
    doc.replace(tb::MapImage(doc.image()), "map2.mul",
                std::make_unique<tb::StaticsMap>(
                    tb::StaticsMap::empty(doc.image().width() / 8, doc.image().height() / 8)));
    const MapCell at11 = doc.cell(1, 1);
    const MapCell at12 = doc.cell(1, 2);
    heard.changes.clear();
    EXPECT_THROW(
        {
            tb::MapDocument::Edit edit(doc, "Paint");
            edit.recordUndo(1, 1);
            edit.write(1, 1, {0x44, 9});
            edit.write(1, 1, {0x45, 10});
            edit.addItem({1, 1, 0x0CCA, 0, 0});
            {
                tb::MapDocument::Edit inner(doc);
                edit.write(1, 2, {0x46, 11});
            }
            edit.write(-1, 0, {0x47, 12}); // throws: outside the map
        },
        std::out_of_range);
    EXPECT_EQ(doc.cell(1, 1), at11);
    EXPECT_EQ(doc.cell(1, 2), at12);
    EXPECT_TRUE(tb::itemsOnCell(*doc.statics(), 1, 1).empty());
    EXPECT_TRUE(doc.undoList().empty());
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(heard.changes.empty());

    // A nested edit that fails inside one that goes on: only its own writes go back.
    {
        tb::MapDocument::Edit edit(doc, "Paint");
        edit.write(2, 2, {0x50, 1});
        try {
            tb::MapDocument::Edit inner(doc);
            edit.write(3, 3, {0x51, 2});
            throw std::runtime_error("stop");
        } catch (const std::runtime_error&) {
        }
    }
    EXPECT_EQ(doc.cell(2, 2), (MapCell{0x50, 1}));
    EXPECT_NE(doc.cell(3, 3), (MapCell{0x51, 2}));
    ASSERT_EQ(heard.changes.size(), 1u);
}

// A rollback puts back cells written after their own undo row and cells written without
// one, in any order, to what they were before the edit, also when a cell was written both
// ways; a nested edit takes back only its own writes, whichever way they were kept.
TEST_F(Document, RecordedAndUnrecordedWritesRollBackInOrder) {
    const MapCell at1 = doc.cell(1, 1), at2 = doc.cell(2, 1), at3 = doc.cell(3, 1);
    EXPECT_THROW(
        {
            tb::MapDocument::Edit edit(doc, "Paint");
            edit.recordUndo(1, 1);
            edit.write(1, 1, {0x10, 1});
            edit.recordUndo(2, 1);
            edit.write(2, 1, {0x11, 2});
            edit.write(1, 1, {0x12, 3}); // no row of its own: kept aside from here on
            edit.recordUndo(1, 1);
            edit.write(1, 1, {0x13, 4});
            edit.recordUndo(3, 1);
            edit.write(3, 1, {0x14, 5});
            throw std::runtime_error("stop");
        },
        std::runtime_error);
    EXPECT_EQ(doc.cell(1, 1), at1);
    EXPECT_EQ(doc.cell(2, 1), at2);
    EXPECT_EQ(doc.cell(3, 1), at3);
    EXPECT_TRUE(doc.undoList().empty());

    // A row recorded by the outer edit is no log of the inner edit's write of that cell.
    {
        tb::MapDocument::Edit edit(doc, "Paint");
        edit.recordUndo(1, 1);
        edit.write(1, 1, {0x20, 1});
        edit.recordUndo(2, 1);
        try {
            tb::MapDocument::Edit inner(doc);
            inner.write(2, 1, {0x21, 2});
            inner.recordUndo(3, 1);
            inner.write(3, 1, {0x22, 3});
            throw std::runtime_error("stop");
        } catch (const std::runtime_error&) {
        }
        edit.recordUndo(3, 1);
        edit.write(3, 1, {0x23, 4});
    }
    EXPECT_EQ(doc.cell(1, 1), (MapCell{0x20, 1}));
    EXPECT_EQ(doc.cell(2, 1), at2);
    EXPECT_EQ(doc.cell(3, 1), (MapCell{0x23, 4}));
    doc.undoStroke();
    EXPECT_EQ(doc.cell(1, 1), at1);
    EXPECT_EQ(doc.cell(2, 1), at2);
    EXPECT_EQ(doc.cell(3, 1), at3);
}

// Each stroke carries the name of the operation that began it; an external change is in no
// step and leaves the modified state alone.
TEST_F(Document, StepNamesAndExternalChanges) {
    {
        tb::MapDocument::Edit edit(doc);
        edit.recordUndo(4, 4);
        edit.write(4, 4, {1, 1});
    }
    EXPECT_EQ(doc.undoList().newestName(), "");
    {
        tb::MapDocument::Edit edit(doc, "Paint");
        edit.recordUndo(5, 5);
        edit.write(5, 5, {1, 1});
    }
    {
        tb::MapDocument::Edit edit(doc, "Fill");
        edit.rename("Move 3 items");
        edit.recordUndo(6, 6);
        edit.write(6, 6, {1, 1});
    }
    EXPECT_EQ(doc.undoList().newestName(), "Move 3 items");
    doc.undo();
    EXPECT_EQ(doc.undoList().newestName(), "Paint");
    EXPECT_EQ(doc.undoList().newestRedoName(), "Move 3 items");

    doc.markUnmodified();
    heard.changes.clear();
    const std::size_t steps = doc.undoList().size();
    {
        tb::MapDocument::Edit edit(doc, tb::MapDocument::Undo::External);
        edit.recordUndo(7, 7); // ignored: another writer's change is in no step
        edit.write(7, 7, {9, 9});
    }
    EXPECT_EQ(doc.undoList().size(), steps);
    EXPECT_TRUE(doc.undoList().canRedo()); // others' changes leave the redo steps alone
    EXPECT_FALSE(doc.isModified());
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_TRUE(heard.changes[0].external);
}

// A command replaces the steps recorded since a mark and takes itself back; a listener's
// connection ends with whichever of the two goes first.
TEST_F(Document, CommandsAndConnections) {
    struct Flip : tb::UndoCommand {
        int* state;
        explicit Flip(int* s) : state(s) {}
        void undo() override { --*state; }
        void redo() override { ++*state; }
        std::size_t memoryBytes() const override { return sizeof(*this); }
    };
    int state = 1;
    click(raise(1), 1, 1);
    const tb::UndoList::Mark mark = doc.historyMark();
    drag(raise(1), 2, 2, 3);
    doc.replaceHistorySince(mark, std::make_unique<Flip>(&state), "Paint");
    EXPECT_EQ(doc.undoList().rows().size(), 1u);
    EXPECT_EQ(doc.undoList().commandSteps(), 1u);
    EXPECT_EQ(doc.undoList().newestName(), "Paint");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(state, 0);
    EXPECT_EQ(altitude(2, 2), 1); // the command's store takes back what it holds itself
    ASSERT_TRUE(doc.redoStroke());
    EXPECT_EQ(state, 1);

    edtest::ChangeRecorder* early = new edtest::ChangeRecorder(doc);
    delete early; // goes first: the document tells it nothing any more
    click(raise(1), 4, 4);
    auto document = std::make_unique<tb::MapDocument>(edtest::ilshenarMap(), "map2.mul");
    edtest::ChangeRecorder late(*document);
    document.reset(); // the document goes first: the recorder's end touches nothing
    SUCCEED();
}

} // namespace
