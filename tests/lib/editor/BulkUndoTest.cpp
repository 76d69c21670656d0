// Bulk edits (heightmap import, patches) in the undo store: one step among the Paint rows,
// kept as the changed blocks' previous values, undone and redone exactly.
#include "editor/AltitudeChanges.h"

#include "core/Heightmap.h"
#include "editor/MapPainter.h"

#include "MapPainterTestSupport.h"

#include "SeededRandom.h"

#include <gtest/gtest.h>

#include <vector>

using tb::MapCell;

namespace {

class BulkUndo : public ::testing::Test {
protected:
    tb::MapDocument doc{edtest::ilshenarMap(), "map2.mul"};
    edtest::ChangeRecorder heard{doc};
    tbtest::SeededRandom random{3};
    tb::MapPainter painter{random};

    // A Paint click of tile `id` on (x, y).
    void paint(int x, int y, int id) {
        tb::EditorState s;
        s.drawMode = tb::DrawMode::SelectedTile;
        s.paletteTile = id;
        ASSERT_FALSE(painter.selectCell(&doc, s, x, y).error);
    }
    // A heightmap that changes every cell's altitude.
    tb::Heightmap everyCellRaised() const {
        tb::Heightmap h{doc.image().width(), doc.image().height(), {}};
        h.grey.resize(std::size_t(h.width) * std::size_t(h.height));
        for (int y = 0; y < h.height; ++y)
            for (int x = 0; x < h.width; ++x)
                h.grey[std::size_t(y) * std::size_t(h.width) + std::size_t(x)] =
                    std::uint8_t(129 + (x + y) % 100);
        return h;
    }
    std::vector<unsigned char> bytes() const { return doc.image().bytes(); }
};

TEST_F(BulkUndo, WholeMapImportIsOneStepAmongTheRowsAndCostsAThirdOfTheMap) {
    paint(5, 5, 0x11);
    const std::vector<unsigned char> afterFirstPaint = bytes();
    const std::size_t rowMemory = doc.undoList().memoryBytes();

    const std::vector<tb::AltitudeChange> changes =
        tb::heightmapChanges(doc.image(), everyCellRaised().view());
    ASSERT_EQ(changes.size(), std::size_t(2304) * 1600);
    heard.clear();
    tb::applyAltitudeChanges(doc, changes);
    const std::vector<unsigned char> imported = bytes();
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].bounds, (tb::CellRect{0, 0, 2303, 1599}));
    EXPECT_EQ(doc.cell(5, 5), (MapCell{0x11, 1 + 10}));
    // The altitudes of every block, nothing of the tiles: 64 of its 196 bytes.
    EXPECT_LE(doc.undoList().memoryBytes() - rowMemory, doc.image().size() / 3);
    EXPECT_EQ(doc.undoList().size(), 2u);

    paint(6, 6, 0x22);
    paint(7, 7, 0x33);
    EXPECT_EQ(doc.undoList().size(), 4u);

    // Two Paint rows one by one, then the import whole, by Undo and by Undo stroke alike.
    ASSERT_TRUE(doc.undo());
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_TRUE(bytes() == imported);
    heard.clear();
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_TRUE(bytes() == afterFirstPaint);
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].bounds, (tb::CellRect{0, 0, 2303, 1599}));
    EXPECT_EQ(doc.undoList().rows().size(), 1u);

    // Redo brings the import back whole, then the rows; Undo takes it back once more.
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(bytes() == imported);
    ASSERT_TRUE(doc.redoStroke());
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.cell(7, 7).tileId, 0x33);
    EXPECT_FALSE(doc.undoList().canRedo());
}

TEST_F(BulkUndo, TilesAndAltitudesOfOneCellAreKeptFromBeforeTheEdit) {
    tb::MapDocument::Edit(doc).write(9, 9, {0x40, -3});
    const std::vector<unsigned char> before = bytes();
    {
        tb::MapDocument::Edit edit(doc, tb::MapDocument::Undo::Bulk);
        edit.write(9, 9, {0x40, 20}); // the altitude first, the tile id later
        edit.recordUndo(9, 9);        // no row in a bulk edit
        edit.write(9, 9, {0x41, 20});
        edit.write(9, 9, {0x42, 21});
        edit.write(100, 300, {0x43, 0}); // only a tile id in another block
        EXPECT_THROW(edit.write(2304, 0, {}), std::out_of_range);
    }
    const std::vector<unsigned char> after = bytes();
    EXPECT_EQ(doc.undoList().size(), 1u);
    EXPECT_TRUE(doc.undoList().rows().empty());
    // Two blocks' tile ids and one block's altitudes.
    EXPECT_LT(doc.undoList().memoryBytes(), std::size_t(2 * 128 + 64 + 256));
    ASSERT_TRUE(doc.undo());
    EXPECT_TRUE(bytes() == before);
    ASSERT_TRUE(doc.redo());
    EXPECT_TRUE(bytes() == after);
}

TEST_F(BulkUndo, AStoppedImportLeavesTheMapAndTheUndoListAsTheyWere) {
    class StopAtHalf : public tb::Progress {
    public:
        void report(std::string_view caption, std::int64_t done, std::int64_t total) override {
            EXPECT_EQ(caption, "Importing heightmap");
            m_stop = done * 2 >= total;
        }
        bool stopRequested() const override { return m_stop; }

    private:
        bool m_stop = false;
    } progress;
    paint(1, 1, 0x10);
    const std::vector<unsigned char> before = bytes();
    const std::vector<tb::AltitudeChange> changes =
        tb::heightmapChanges(doc.image(), everyCellRaised().view());
    heard.clear();
    EXPECT_THROW(tb::applyAltitudeChanges(doc, changes, progress), tb::OperationStopped);
    EXPECT_TRUE(bytes() == before);
    EXPECT_TRUE(heard.changes.empty());
    EXPECT_EQ(doc.undoList().size(), 1u);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.cell(1, 1).tileId, 0);
}

} // namespace
