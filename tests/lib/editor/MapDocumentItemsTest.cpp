// Items as part of the map document: edits, their undo and redo steps among the cell rows,
// strokes, the modified mark, what listeners hear, and the edits it refuses.
#include "editor/MapDocument.h"

#include "MapPainterTestSupport.h"
#include "StaticsFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using tb::CellRect;
using tb::PlacedItem;
using tb::StaticRecord;

namespace {

// The Ilshenar map is 288 x 200 blocks. Block (1, 1) holds a tree and a record whose column
// lies outside its block; block (2, 0)'s entry points past the data.
constexpr int kWidthBlocks = 288;
constexpr int kHeightBlocks = 200;
constexpr std::size_t block(int bx, int by) {
    return std::size_t(bx) * kHeightBlocks + std::size_t(by);
}

std::unique_ptr<tb::StaticsMap> startingStatics() {
    tbtest::StaticsPair pair(std::size_t(kWidthBlocks) * kHeightBlocks);
    pair.setBlock(block(1, 1), {{0x0CCA, 2, 2, 5}, {0x0CCB, 9, 1, 0, 0x22}});
    pair.setEntry(block(2, 0), 7000, 14);
    return std::make_unique<tb::StaticsMap>(pair.index, pair.data, kWidthBlocks, kHeightBlocks);
}

// The items of a cell as (id, z) pairs, in file order.
std::vector<std::pair<int, int>> itemsAt(const tb::MapDocument& doc, int x, int y) {
    std::vector<std::pair<int, int>> out;
    for (const tb::CellItem& item : tb::itemsOnCell(*doc.statics(), x, y))
        out.emplace_back(item.record.id, item.record.z);
    return out;
}

using Items = std::vector<std::pair<int, int>>;

} // namespace

TEST(MapDocumentItems, EditsUndoRedoStrokesAndTheModifiedMark) {
    tb::MapDocument doc{edtest::ilshenarMap(), "map2.mul"};
    {
        tb::MapDocument::Edit edit(doc);
        EXPECT_THROW(edit.addItem({10, 10, 0x100, 0, 0}), std::logic_error); // no statics yet
    }
    EXPECT_FALSE(doc.isModified());
    doc.replace(tb::MapImage(doc.image()), "map2.mul", startingStatics());
    edtest::ChangeRecorder heard{doc};

    // One edit: a barrel on the tree's cell, above it.
    {
        tb::MapDocument::Edit edit(doc);
        edit.addItem({10, 10, 0x0FAE, 5, 0x21});
    }
    EXPECT_EQ(itemsAt(doc, 10, 10), (Items{{0x0CCA, 5}, {0x0FAE, 5}}));
    ASSERT_EQ(heard.changes.size(), 1u);
    EXPECT_EQ(heard.changes[0].itemBounds, (CellRect{10, 10, 10, 10}));
    EXPECT_EQ(heard.changes[0].count, 0u);
    EXPECT_EQ(heard.modifiedStates, std::vector<bool>{true});

    // A press: a cell painted, the tree moved to the next block with a new z, the barrel's
    // hue changed. Rows and item steps form one stroke.
    doc.beginStroke();
    {
        tb::MapDocument::Edit edit(doc);
        edit.recordUndo(3, 3);
        edit.write(3, 3, {0x0003, 4});
        edit.changeItem(10, 10, 0, {17, 10, 0x0CCA, -2, 0});
    }
    {
        tb::MapDocument::Edit edit(doc);
        const std::vector<tb::CellItem> items = edit.items(10, 10);
        ASSERT_EQ(items.size(), 1u);
        edit.changeItem(10, 10, 0, {10, 10, 0x0FAE, 5, 0x44});
    }
    doc.endStroke();
    EXPECT_EQ(itemsAt(doc, 17, 10), (Items{{0x0CCA, -2}}));
    EXPECT_EQ(tb::itemsOnCell(*doc.statics(), 10, 10).at(0).record.hue, 0x44);
    EXPECT_EQ(heard.changes.back().itemBounds, (CellRect{10, 10, 10, 10}));
    EXPECT_EQ(heard.changes[1].itemBounds, (CellRect{10, 10, 17, 10}));
    EXPECT_EQ(heard.changes[1].bounds, (CellRect{3, 3, 3, 3}));
    EXPECT_TRUE(doc.isModified());
    // The record the editor does not understand stays in its block through every edit.
    const std::vector<StaticRecord> kept = doc.statics()->records(block(1, 1));
    EXPECT_EQ(std::count(kept.begin(), kept.end(), StaticRecord{0x0CCB, 9, 1, 0, 0x22}), 1);

    // Undo takes back the newest step only, then the stroke's rest at once.
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(tb::itemsOnCell(*doc.statics(), 10, 10).at(0).record.hue, 0x21);
    EXPECT_EQ(heard.changes.back().itemBounds, (CellRect{8, 8, 15, 15}));
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_EQ(itemsAt(doc, 10, 10), (Items{{0x0CCA, 5}, {0x0FAE, 5}}));
    EXPECT_TRUE(itemsAt(doc, 17, 10).empty());
    EXPECT_EQ(doc.cell(3, 3).altitude, 0);
    EXPECT_EQ(heard.changes.back().itemBounds, (CellRect{8, 8, 23, 15}));
    EXPECT_EQ(heard.changes.back().bounds, (CellRect{3, 3, 3, 3}));
    ASSERT_TRUE(doc.undo()); // the first edit
    EXPECT_EQ(itemsAt(doc, 10, 10), (Items{{0x0CCA, 5}}));
    EXPECT_FALSE(doc.undo());

    ASSERT_TRUE(doc.redo());
    ASSERT_TRUE(doc.redoStroke());
    EXPECT_EQ(itemsAt(doc, 17, 10), (Items{{0x0CCA, -2}}));
    EXPECT_EQ(itemsAt(doc, 10, 10), (Items{{0x0FAE, 5}}));
    EXPECT_EQ(tb::itemsOnCell(*doc.statics(), 10, 10).at(0).record.hue, 0x44);
    EXPECT_EQ(doc.cell(3, 3).altitude, 4);
    EXPECT_FALSE(doc.undoList().canRedo());

    // Refused: a damaged block, a record outside its block's cells, a cell outside the map,
    // an item the cell does not have. Nothing changes and nothing is heard.
    const std::size_t heardBefore = heard.changes.size();
    const std::size_t stepsBefore = doc.undoList().size();
    {
        tb::MapDocument::Edit edit(doc);
        try {
            edit.addItem({16, 3, 0x100, 0, 0});
            ADD_FAILURE() << "an item was placed in a damaged block";
        } catch (const std::logic_error& error) {
            EXPECT_NE(std::string(error.what()).find("damaged"), std::string::npos) << error.what();
        }
        EXPECT_THROW(edit.addItem({kWidthBlocks * 8, 0, 0x100, 0, 0}), std::out_of_range);
        EXPECT_THROW(edit.removeItem(17, 10, 1), std::out_of_range);
    }
    EXPECT_EQ(heard.changes.size(), heardBefore);
    EXPECT_EQ(doc.undoList().size(), stepsBefore);
    EXPECT_TRUE(doc.itemsModified());
}

// Two writes to one block in one edit (as a move within a block makes) are one step: undo
// puts the block back as it was before the first, redo as it was after the second.
TEST(MapDocumentItems, TwoWritesToOneBlockUndoneTogether) {
    tb::MapDocument doc;
    doc.replace(edtest::ilshenarMap(), "map2.mul", startingStatics());
    const std::vector<StaticRecord> before = doc.statics()->records(block(1, 1));
    {
        tb::MapDocument::Edit edit(doc);
        edit.changeItem(10, 10, 0, {12, 13, 0x0CCA, 5, 0});
        edit.addItem({11, 11, 0x0F00, 1, 0});
    }
    const std::vector<StaticRecord> after = doc.statics()->records(block(1, 1));
    EXPECT_EQ(doc.undoList().itemSteps(), 1u);
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.statics()->records(block(1, 1)), before);
    ASSERT_TRUE(doc.redo());
    EXPECT_EQ(doc.statics()->records(block(1, 1)), after);
}
