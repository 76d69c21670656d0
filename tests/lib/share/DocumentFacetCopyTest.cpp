// An editor document as the copy of a shared facet: the builder's edits of cells and items
// taken as strokes, and the server's blocks put in without undo rows and under the edits not
// yet taken.
#include "ShareTestWorld.h"

#include "share/DocumentFacetCopy.h"
#include "share/SharedFacet.h"
#include "share/StrokeBlocks.h"

#include <gtest/gtest.h>

using namespace tb;

namespace {

MapImage facetMap() {
    return sharetest::mapOf(sharetest::makeFacetFiles(3));
}

} // namespace

TEST(DocumentFacetCopy, TakesWhatTheDocumentChangedAndKeepsItOverPutBlocks) {
    const MapImage original = facetMap();
    MapDocument document;
    document.replace(original, "map4.mul",
                     std::make_unique<StaticsMap>(
                         StaticsMap::empty(sharetest::kSide / 8, sharetest::kBlocksHigh)));
    {
        MapDocument::Edit edit(document);
        for (std::uint16_t id = 1; id <= 5; ++id)
            edit.addItem({2, 3, id, 0, 0});
        edit.addItem({5, 5, 9, 10, 0});
    }
    DocumentFacetCopy copy(document, original, document.statics()->copy());
    SharedFacet server(original, document.statics()->copy());
    EXPECT_FALSE(copy.hasEdits());
    const MapCell at33 = original.cell(3, 3);
    const MapCell at9 = original.cell(9, 20);
    {
        // One operation writing a cell twice: one edit, from the first value to the last.
        MapDocument::Edit edit(document);
        edit.recordUndo(3, 3);
        edit.write(3, 3, {500, 1});
        edit.write(3, 3, {501, 2});
    }
    tb::MapDocument::Edit(document).write(9, 20, {502, 3});
    Stroke first = copy.takeStroke();
    EXPECT_EQ(first.mode, StrokeMode::BuilderWins);
    EXPECT_EQ(first.cells, (std::vector<CellEdit>{{3, 3, at33, {501, 2}}, {9, 20, at9, {502, 3}}}));
    EXPECT_EQ(copy.map().cell(3, 3), (MapCell{501, 2}));
    EXPECT_TRUE(copy.takeStroke().cells.empty());
    EXPECT_NE(copy.takeStroke().id, first.id);

    // A block from the server (every cell tile 7) while an edit in it is not yet taken.
    tb::MapDocument::Edit(document).write(1, 2, {600, 4});
    const std::size_t rows = document.undoList().size();
    std::vector<unsigned char> block(kBlockSize, 0);
    for (int i = 0; i < 64; ++i)
        block[std::size_t(kBlockHeaderSize + i * 3)] = 7;
    copy.putLandBlock(0, block);
    EXPECT_EQ(document.cell(0, 0), (MapCell{7, 0}));
    EXPECT_EQ(document.cell(3, 3), (MapCell{7, 0}));
    EXPECT_EQ(document.cell(1, 2), (MapCell{600, 4}));
    EXPECT_EQ(copy.map().cell(1, 2), (MapCell{600, 4}));
    EXPECT_EQ(document.cell(8, 0), original.cell(8, 0));
    EXPECT_EQ(document.undoList().size(), rows);
    const Stroke second = copy.takeStroke();
    ASSERT_EQ(second.cells.size(), 1u);
    EXPECT_EQ(second.cells[0].after, (MapCell{600, 4}));

    // A bulk edit names only its rectangle: every changed cell in it is still taken.
    {
        MapDocument::Edit edit(document, MapDocument::Undo::Bulk);
        for (int y = 100; y < 140; ++y)
            for (int x = 100; x < 140; ++x)
                edit.write(x, y, {uint16_t(x), std::int8_t(y - 100)});
    }
    std::size_t changed = 0;
    for (int y = 100; y < 140; ++y)
        for (int x = 100; x < 140; ++x)
            changed += original.cell(x, y) != MapCell{uint16_t(x), std::int8_t(y - 100)};
    EXPECT_EQ(copy.takeStroke().cells.size(), changed);
    EXPECT_GT(changed, CellChange::kListedCells);

    // The item edits taken, applied to the facet as it was, make it what the document shows:
    // hue and z changed in place, an item removed from among others, one moved to the next
    // block, one placed.
    {
        MapDocument::Edit edit(document);
        edit.changeItem(2, 3, 1, {2, 3, 2, 7, 33}); // in place
        edit.removeItem(2, 3, 3);                   // from among others
        edit.changeItem(5, 5, 0, {9, 5, 9, 10, 0}); // into the next block
        edit.addItem({1, 1, 6, 0, 0});
    }
    const Stroke stroke = copy.takeStroke();
    EXPECT_TRUE(stroke.cells.empty());
    applyStroke(stroke, server);
    for (std::size_t block : {std::size_t(0), document.statics()->blockNumber(1, 0)})
        EXPECT_EQ(server.statics().records(block), document.statics()->records(block)) << block;

    // Someone else's tree arrives in block 0 while the builder's new item there is not yet
    // taken: the document shows both, and keeps no undo step for the tree.
    MapDocument::Edit(document).addItem({0, 7, 12, 0, 0});
    const std::size_t steps = document.undoList().size();
    std::vector<StaticRecord> theirs = server.statics().records(0);
    theirs.push_back({0x0CCA, 6, 6, 0, 0});
    copy.putStaticsBlock(0, staticRecordBytes(theirs));
    theirs.push_back({12, 0, 7, 0, 0});
    EXPECT_EQ(document.statics()->records(0), theirs);
    EXPECT_EQ(document.undoList().size(), steps);
    EXPECT_EQ(copy.takeStroke().items.size(), 1u);

    document.replace(MapImage(), {});
    EXPECT_TRUE(copy.detached());
}
