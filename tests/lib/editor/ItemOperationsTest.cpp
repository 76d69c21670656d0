// The item edits as library operations: which items a selection holds, moves across block
// edges and off the map, raise, hue, delete, copy and paste, each one named undo step.
#include "editor/ItemOperations.h"

#include "MapPainterTestSupport.h"
#include "StaticsFixtures.h"

#include <gtest/gtest.h>

#include <memory>

using tb::CellRect;
using tb::ItemSelection;
using tb::PlacedItem;

namespace {

constexpr int kWidthBlocks = 288;
constexpr int kHeightBlocks = 200;

std::vector<PlacedItem> itemsIn(const tb::MapDocument& doc, CellRect r) {
    return tb::itemsInRect(*doc.statics(), r.left, r.top, r.right, r.bottom);
}

} // namespace

TEST(ItemOperations, EditTheSelectionAsOneNamedStep) {
    // Block (0, 0): two items on (1, 1), one on (7, 1) with a record the editor does not
    // understand between them; block (287, 0) at the map's right edge holds one on (2303, 0).
    tbtest::StaticsPair pair(std::size_t(kWidthBlocks) * kHeightBlocks);
    pair.setBlock(0, {{0x10, 1, 1, 0}, {0x99, 9, 1, 0}, {0x11, 1, 1, 3, 0x21}, {0x12, 7, 1, 2}});
    pair.setBlock(std::size_t(287) * kHeightBlocks, {{0x13, 7, 0, 4}});
    tb::MapDocument doc;
    doc.replace(
        edtest::ilshenarMap(), "map2.mul",
        std::make_unique<tb::StaticsMap>(pair.index, pair.data, kWidthBlocks, kHeightBlocks));

    const std::vector<tb::SelectedItem> selected =
        tb::selectedItems(*doc.statics(), {{1, 1, 7, 1}, {}});
    ASSERT_EQ(selected.size(), 3u);
    EXPECT_EQ(selected[1].index, 1u); // the second item of (1, 1): the stranger is not counted
    EXPECT_EQ(tb::selectedItems(*doc.statics(), {{1, 1, 1, 1}, 1}).at(0).record.id, 0x11);

    // A move over the block edge keeps id, z and hue; what would leave the map stays.
    tb::MoveOutcome moved;
    {
        tb::MapDocument::Edit edit(doc);
        moved = tb::moveItems(edit, {{1, 1, 7, 1}, {}}, 2, 0);
    }
    EXPECT_EQ(moved.moved, 3u);
    EXPECT_EQ(itemsIn(doc, {3, 1, 3, 1}),
              (std::vector<PlacedItem>{{3, 1, 0x10, 0, 0}, {3, 1, 0x11, 3, 0x21}}));
    EXPECT_EQ(itemsIn(doc, {9, 1, 9, 1}), (std::vector<PlacedItem>{{9, 1, 0x12, 2, 0}}));
    EXPECT_EQ(moved.selection.cells, (CellRect{3, 1, 9, 1}));
    EXPECT_EQ(doc.undoList().newestName(), "Move 3 items");
    {
        tb::MapDocument::Edit edit(doc);
        moved = tb::moveItems(edit, {{2303, 0, 2303, 0}, {}}, 1, 0);
    }
    EXPECT_EQ(moved.moved, 0u);
    EXPECT_EQ(moved.left, 1u);
    EXPECT_EQ(itemsIn(doc, {2303, 0, 2303, 0}).size(), 1u);

    // Raise clamps, hue, and one picked item of a cell alone.
    {
        tb::MapDocument::Edit edit(doc);
        EXPECT_EQ(tb::raiseItems(edit, {{3, 1, 3, 1}, 1}, 200), 1u);
    }
    EXPECT_EQ(doc.undoList().newestName(), "Raise 1 item");
    {
        tb::MapDocument::Edit edit(doc);
        EXPECT_EQ(tb::hueItems(edit, {{3, 1, 9, 1}, {}}, 0x33), 3u);
    }
    EXPECT_EQ(itemsIn(doc, {3, 1, 3, 1}),
              (std::vector<PlacedItem>{{3, 1, 0x10, 0, 0x33}, {3, 1, 0x11, 127, 0x33}}));

    // Copy and paste at the map's edge: what falls off is left out. Delete one, then all.
    const std::vector<PlacedItem> copied = tb::copyItems(*doc.statics(), {{3, 1, 9, 1}, {}});
    EXPECT_EQ(copied.front(), (PlacedItem{0, 0, 0x10, 0, 0x33}));
    {
        tb::MapDocument::Edit edit(doc);
        EXPECT_EQ(tb::pasteItems(edit, copied, {2300, 5}), 2u);
    }
    {
        tb::MapDocument::Edit edit(doc);
        EXPECT_EQ(tb::deleteItems(edit, {{3, 1, 3, 1}, 0}), 1u);
    }
    EXPECT_EQ(itemsIn(doc, {3, 1, 3, 1}), (std::vector<PlacedItem>{{3, 1, 0x11, 127, 0x33}}));
    EXPECT_EQ(doc.undoList().newestName(), "Delete 1 item");

    // Every step goes back, in order, to the file's records, the stranger kept throughout.
    while (doc.undo()) {
    }
    EXPECT_EQ(doc.statics()->records(0).size(), 4u);
    EXPECT_EQ(doc.statics()->records(0)[1], (tb::StaticRecord{0x99, 9, 1, 0, 0}));
    EXPECT_EQ(tb::placementZ(doc.image(), *doc.statics(), nullptr, 1, 1, -300), -128);
}
