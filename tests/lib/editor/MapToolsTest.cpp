// The map tools driven as a view drives them: the land tools, Place item and Select, each
// through press, selection events, release, hover and keys, and what they give back.
#include "editor/LandTool.h"
#include "editor/PlaceItemTool.h"
#include "editor/SelectItemsTool.h"

#include "MapPainterTestSupport.h"
#include "SeededRandom.h"
#include "StaticsFixtures.h"
#include "ToolDriver.h"

#include <gtest/gtest.h>

#include <memory>

using tb::CellPoint;
using tb::CellRect;
using tb::MapCell;
using tb::ToolKey;

namespace {

constexpr int kWidthBlocks = 288; // the Ilshenar map, 2304 x 1600
constexpr int kHeightBlocks = 200;

// A document whose statics hold `records` in block (bx, by).
std::unique_ptr<tb::MapDocument>
documentWithItems(int bx = 0, int by = 0, const std::vector<tbtest::StaticRec>& records = {}) {
    tbtest::StaticsPair pair(std::size_t(kWidthBlocks) * kHeightBlocks);
    if (!records.empty())
        pair.setBlock(std::size_t(bx) * kHeightBlocks + std::size_t(by), records);
    auto doc = std::make_unique<tb::MapDocument>();
    doc->replace(
        edtest::ilshenarMap(), "map2.mul",
        std::make_unique<tb::StaticsMap>(pair.index, pair.data, kWidthBlocks, kHeightBlocks));
    return doc;
}

// (id, z) of the items of a cell, in file order.
std::vector<std::pair<int, int>> itemsAt(const tb::MapDocument& doc, int x, int y) {
    std::vector<std::pair<int, int>> out;
    for (const tb::CellItem& item : tb::itemsOnCell(*doc.statics(), x, y))
        out.emplace_back(item.record.id, item.record.z);
    return out;
}
using Items = std::vector<std::pair<int, int>>;

} // namespace

TEST(MapTools, LandToolPaintsStrokesFillsAndTellsWhatItRefuses) {
    tb::MapDocument doc{edtest::ilshenarMap(), "map2.mul"};
    tbtest::SeededRandom random{3};
    tb::MapPainter painter{random};
    tb::EditorState state;
    state.drawMode = tb::DrawMode::AltitudeOnly;
    state.altitudeMode = tb::AltitudeMode::AddZ;
    state.z = 1;
    bool locked = false;
    tb::LandTool tool([&]() { return locked ? nullptr : &doc; }, state, painter);
    edtest::ToolDriver view(tool, doc);

    // A drag is one stroke: undone at once, under the tool's name.
    view.drag({{3, 3}, {4, 3}, {5, 3}});
    EXPECT_EQ(doc.cell(5, 3).altitude, 1);
    EXPECT_EQ(doc.undoList().newestName(), "Paint");
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_EQ(doc.cell(3, 3).altitude, 0);
    EXPECT_FALSE(doc.isModified());

    // The brush square follows the pointer.
    state.brushSize = 3;
    view.hover(10, 10);
    EXPECT_EQ(tool.overlay().footprint, (CellRect{10, 10, 12, 12}));

    // Fill: the first corner waits, shown and told, until the second.
    state.tool = tb::PaintTool::Fill;
    view.click(1, 1);
    ASSERT_TRUE(tool.overlay().anchor);
    EXPECT_EQ(tool.overlay().anchor->x, 1);
    EXPECT_NE(tool.statusText().find("opposite corner"), std::string::npos);
    view.click(2, 3);
    EXPECT_FALSE(tool.overlay().anchor);
    EXPECT_EQ(doc.cell(2, 3).altitude, 1);
    EXPECT_EQ(doc.undoList().newestName(), "Fill");

    // A key move of the view's cell makes the next selection event change nothing; so does a
    // job that holds the document, and a Z out of range is refused with its message.
    state.tool = tb::PaintTool::Paint;
    state.brushSize = 1;
    view.key(ToolKey::NavigationMove);
    view.click(40, 40);
    EXPECT_EQ(doc.cell(40, 40).altitude, 0);
    locked = true;
    view.click(40, 40);
    EXPECT_EQ(doc.cell(40, 40).altitude, 0);
    locked = false;
    state.z = 200;
    view.click(40, 40);
    EXPECT_EQ(view.zRefusals, 1);
    EXPECT_EQ(doc.cell(40, 40).altitude, 0);
}

TEST(MapTools, PlaceItemPutsOneItemPerClickWhereItsPreviewStood) {
    std::unique_ptr<tb::MapDocument> doc = documentWithItems();
    tb::MapDocument::Edit(*doc).write(6, 6, {3, 7});
    tb::EditorState state;
    tb::PlaceItemTool tool([&]() { return doc.get(); }, [] { return nullptr; }, state);
    edtest::ToolDriver view(tool, *doc);

    // Nothing chosen: said, and nothing placed.
    EXPECT_EQ(tool.cursor(), tb::ToolCursor::Forbidden);
    view.click(6, 6);
    EXPECT_TRUE(itemsAt(*doc, 6, 6).empty());
    ASSERT_EQ(view.notices.size(), 1u);

    state.placeItemId = 0x0CCA;
    view.hover(6, 6);
    ASSERT_EQ(tool.overlay().preview.size(), 1u);
    EXPECT_EQ(tool.overlay().preview[0], (tb::PlacedItem{6, 6, 0x0CCA, 7, 0}));
    view.drag({{6, 6}, {7, 6}, {8, 6}}); // one press, one item
    EXPECT_EQ(itemsAt(*doc, 6, 6), (Items{{0x0CCA, 7}}));
    EXPECT_TRUE(itemsAt(*doc, 7, 6).empty());
    EXPECT_EQ(doc->undoList().newestName(), "Place item");

    state.placeItemZ = 300; // kept within the altitude range
    view.click(9, 9);
    EXPECT_EQ(itemsAt(*doc, 9, 9), (Items{{0x0CCA, 127}}));
}

TEST(MapTools, SelectMovesPicksAndEditsTheSelectedItems) {
    std::unique_ptr<tb::MapDocument> doc =
        documentWithItems(1, 1, {{0xA, 2, 2, 0}, {0xB, 2, 2, 5}, {0xC, 3, 2, 1}});
    tb::SelectItemsTool tool([&]() { return doc.get(); });
    edtest::ToolDriver view(tool, *doc);

    view.drag({{10, 10}, {11, 10}});
    EXPECT_EQ(tool.selection().cells, (CellRect{10, 10, 11, 10}));

    // A drag from inside moves the items: one undo step, named.
    view.drag({{10, 10}, {12, 10}, {13, 12}});
    EXPECT_EQ(itemsAt(*doc, 13, 12), (Items{{0xA, 0}, {0xB, 5}}));
    EXPECT_EQ(itemsAt(*doc, 14, 12), (Items{{0xC, 1}}));
    EXPECT_TRUE(itemsAt(*doc, 10, 10).empty());
    EXPECT_EQ(tool.selection().cells, (CellRect{13, 12, 14, 12}));
    EXPECT_EQ(doc->undoList().newestName(), "Move 3 items");
    EXPECT_EQ(doc->undoList().size(), 1u);

    // Escape drops a move under way, and the rest of that drag selects nothing.
    tb::ToolEvent at;
    at.button = tb::ToolButton::Left;
    at.cell = {13, 12};
    tool.press(at);
    at.cell = {20, 20};
    tool.select(at);
    EXPECT_TRUE(tool.moving());
    EXPECT_TRUE(view.key(ToolKey::Escape));
    tool.select(at);
    tool.release(at);
    EXPECT_EQ(tool.selection().cells, (CellRect{13, 12, 14, 12}));
    EXPECT_EQ(doc->undoList().size(), 1u);
    // Escape again clears the selection, so a later Delete removes nothing.
    EXPECT_TRUE(view.key(ToolKey::Escape));
    EXPECT_TRUE(tool.selection().isEmpty());
    view.key(ToolKey::Delete);
    EXPECT_EQ(itemsAt(*doc, 13, 12).size(), 2u);

    // A second click on a cell selected alone picks its items one by one, topmost first.
    view.click(13, 12);
    EXPECT_FALSE(tool.selection().onlyItem);
    view.click(13, 12);
    ASSERT_TRUE(tool.selection().onlyItem);
    EXPECT_EQ(*tool.selection().onlyItem, 1u);
    EXPECT_NE(tool.statusText().find("Item 2 of 2"), std::string::npos);
    view.key(ToolKey::RaiseMore);
    view.key(ToolKey::LowerOne);
    EXPECT_EQ(itemsAt(*doc, 13, 12), (Items{{0xA, 0}, {0xB, 9}}));
    view.key(ToolKey::Delete);
    EXPECT_EQ(itemsAt(*doc, 13, 12), (Items{{0xA, 0}}));

    // A view that knows the item under the pointer picks it at once.
    view.click(14, 12, tb::PointedItem{{14, 12}, 0, {14, 12, 0xC, 1, 0}});
    ASSERT_TRUE(tool.selection().onlyItem);
    EXPECT_EQ(*tool.selection().onlyItem, 0u);

    // Copy, then paste at the cell under the pointer.
    view.key(ToolKey::Copy);
    view.hover(30, 31);
    view.key(ToolKey::Paste);
    EXPECT_EQ(itemsAt(*doc, 30, 31), (Items{{0xC, 1}}));
    EXPECT_EQ(doc->undoList().newestName(), "Paste 1 item");
    EXPECT_TRUE(tool.offersMenuAt({14, 12}));
    EXPECT_FALSE(tool.offersMenuAt({15, 12}));
}
