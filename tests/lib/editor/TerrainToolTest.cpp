// The Terrain tool driven as a view drives it, on a grass field with terrains whose grass-sand
// transitions are numbered by their corners (0x100 + bits, corner i sand where bit i is set)
// and without any grass-water transition; and Fix edges planned beside the editor.
#include "editor/TerrainTool.h"
#include "editor/TerrainFixPlan.h"

#include "MapPainterTestSupport.h"
#include "RecordedProgress.h"
#include "ToolDriver.h"

#include "shell/SeededRandomSource.h"

#include <gtest/gtest.h>

using tb::CellPoint;
using tb::CellRect;

namespace {

constexpr tb::TerrainId kGrass = 0, kSand = 1, kWater = 2;
constexpr std::uint16_t kGrassTile = 0x03, kSandTile = 0x16, kWaterTile = 0xA8;
constexpr CellRect kField{0, 0, 39, 39};

std::uint16_t transition(int bits) {
    return std::uint16_t(0x100 + bits);
}

tb::TerrainSet terrains() {
    tb::TerrainSet set;
    set.addTerrain("Grass", 0x3C8C28);
    set.addTerrain("Sand", 0xD8C890);
    set.addTerrain("Water", 0x2860A8);
    set.setTile({kGrassTile, {kGrass, kGrass, kGrass, kGrass}, 1});
    set.setTile({kSandTile, {kSand, kSand, kSand, kSand}, 1});
    set.setTile({kWaterTile, {kWater, kWater, kWater, kWater}, 1});
    for (int bits = 1; bits <= 14; ++bits) {
        tb::TerrainCorners corners{};
        for (int i = 0; i < 4; ++i)
            corners[std::size_t(i)] = (bits >> i) & 1 ? kSand : kGrass;
        set.setTile({transition(bits), corners, 1});
    }
    return set;
}

// Grass over kField, each cell at an altitude of its own.
tb::MapImage grassField() {
    tb::MapImage map = edtest::ilshenarMap();
    for (std::int32_t y = kField.top; y <= kField.bottom; ++y)
        for (std::int32_t x = kField.left; x <= kField.right; ++x)
            map.setCell(x, y, {kGrassTile, std::int8_t((x * 5 + y * 3) % 31 - 15)});
    return map;
}

std::uint16_t tileAt(const tb::MapDocument& doc, int x, int y) {
    return doc.cell(x, y).tileId;
}

} // namespace

TEST(TerrainTool, PaintsStrokesMarksMissingTransitionsAndFollowsUndo) {
    const tb::MapImage field = grassField();
    tb::MapDocument doc{tb::MapImage(field), "map2.mul"};
    tb::EditorState state;
    state.brushSize = 2;
    tb::SeededRandomSource random{9};
    tb::TerrainTool tool([&] { return &doc; }, state, random);
    tb::ListenerConnection following = doc.connect(&tool);
    int marksTold = 0;
    tool.setMarksListener([&] { ++marksTold; });
    tool.setTerrains(terrains());
    edtest::ToolDriver view(tool, doc);

    // Nothing chosen: a click paints nothing and says why.
    view.click(5, 5);
    EXPECT_FALSE(doc.isModified());
    ASSERT_EQ(view.notices.size(), 1u);
    EXPECT_EQ(tool.cursor(), tb::ToolCursor::Forbidden);

    // A drag of sand: the cells under the brush get sand, the ring the transitions that
    // face them; altitudes stay; one stroke, named for the Edit menu.
    tool.chooseTerrain(kSand);
    view.hover(10, 10);
    EXPECT_EQ(tool.overlay().footprint, (CellRect{10, 10, 11, 11}));
    view.drag({{10, 10}, {11, 10}, {12, 10}});
    for (int x = 10; x <= 13; ++x)
        for (int y = 10; y <= 11; ++y)
            EXPECT_EQ(tileAt(doc, x, y), kSandTile) << x << "," << y;
    EXPECT_EQ(tileAt(doc, 9, 9), transition(8));   // sand at its bottom-right corner only
    EXPECT_EQ(tileAt(doc, 14, 12), transition(1)); // sand at its top-left corner only
    EXPECT_EQ(tileAt(doc, 11, 9), transition(12)); // sand along its bottom edge
    EXPECT_EQ(tileAt(doc, 9, 11), transition(10)); // sand along its right edge
    EXPECT_EQ(tileAt(doc, 15, 10), kGrassTile);    // outside the ring
    for (int x = 9; x <= 14; ++x)
        for (int y = 9; y <= 12; ++y)
            EXPECT_EQ(doc.cell(x, y).altitude, field.cell(x, y).altitude);
    EXPECT_TRUE(tb::checkTerrain(doc.image(), tool.tiles(), kField).empty());
    EXPECT_EQ(doc.undoList().newestName(), "Terrain");
    EXPECT_EQ(tool.overlay().marked, nullptr);
    EXPECT_EQ(marksTold, 0);

    // Water: no tile joins it to grass, so the ring keeps its grass and is marked.
    tool.chooseTerrain(kWater);
    view.click(30, 30);
    EXPECT_EQ(tileAt(doc, 30, 30), kWaterTile);
    EXPECT_EQ(tileAt(doc, 29, 29), kGrassTile);
    ASSERT_NE(tool.overlay().marked, nullptr);
    EXPECT_EQ(tool.missing().size(), 12u);
    EXPECT_TRUE(tool.missing().contains(29, 29));
    EXPECT_TRUE(tool.missing().contains(32, 31));
    EXPECT_FALSE(tool.missing().contains(30, 30));
    EXPECT_EQ(tool.statusText(), "Terrain: Water, 12 missing transitions");
    EXPECT_EQ(marksTold, 1);

    // Undo takes the water stroke back whole, and its marks with it; then the sand stroke.
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_EQ(tileAt(doc, 30, 30), kGrassTile);
    EXPECT_TRUE(tool.missing().empty());
    EXPECT_EQ(marksTold, 2);
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_EQ(tileAt(doc, 9, 9), kGrassTile);
    EXPECT_FALSE(doc.isModified());

    // A key move's selection event paints nothing.
    view.key(tb::ToolKey::NavigationMove);
    tool.chooseTerrain(kSand);
    view.click(20, 20);
    EXPECT_FALSE(doc.isModified());

    // Fix edges: a grass cell set into the sand by hand gets its fill, as a stroke of its own.
    view.click(20, 20);
    {
        tb::MapDocument::Edit edit(doc);
        edit.write(20, 20, {kGrassTile, 0});
    }
    const std::optional<tb::TerrainEditResult> fixed = tool.fixEdges(kField);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->changed, 1u);
    EXPECT_EQ(tileAt(doc, 20, 20), kSandTile);
    EXPECT_EQ(doc.undoList().newestName(), "Terrain");
    ASSERT_TRUE(doc.undoStroke());
    EXPECT_EQ(tileAt(doc, 20, 20), kGrassTile);

    // Another map clears the marks.
    tool.chooseTerrain(kWater);
    view.click(5, 30);
    EXPECT_FALSE(tool.missing().empty());
    doc.replace(grassField(), "map2.mul");
    EXPECT_TRUE(tool.missing().empty());
}

// The plan chooses what Fix edges chooses, band after band, and is written as one step.
TEST(TerrainFixPlan, MatchesFixEdgesAndIsUndoneWhole) {
    tb::MapImage mixed = grassField();
    // Sand set by hand with lone water cells in it: the water becomes sand, the straight
    // edges between grass and sand have corners of no terrain (two votes each) and stay.
    for (std::int32_t y = 5; y <= 14; ++y)
        for (std::int32_t x = 4; x <= 30; ++x)
            mixed.setCell(x, y, {x % 5 == 0 && y % 4 == 0 ? kWaterTile : kSandTile, 3});
    // Two sand fills, so the plan must draw as Fix edges does.
    tb::TerrainSet set = terrains();
    set.setTile({0x17, {kSand, kSand, kSand, kSand}, 2});
    const tb::TerrainTiles tiles(set);
    const CellRect area{2, 3, 35, 20};

    tb::MapImage expected(mixed);
    tb::SeededRandomSource fixRandom{4};
    const tb::TerrainEditResult fixed = tb::fixTerrainEdges(expected, tiles, area, fixRandom);
    ASSERT_GT(fixed.changed, 0u);
    ASSERT_FALSE(fixed.missing.empty());

    tb::SeededRandomSource planRandom{4};
    tbtest::RecordedProgress progress;
    const tb::TerrainFixPlan plan = tb::planTerrainFix(mixed, tiles, area, planRandom, progress, 5);
    EXPECT_EQ(plan.result.area, fixed.area);
    EXPECT_EQ(plan.result.changed, fixed.changed);
    EXPECT_EQ(plan.result.missing.size(), fixed.missing.size());
    EXPECT_EQ(progress.done(), (std::vector<std::int64_t>{0, 5, 10, 15, 18}));

    tb::MapDocument doc{tb::MapImage(mixed), "map2.mul"};
    tb::writeTerrainFix(doc, plan);
    EXPECT_EQ(doc.image().bytes(), expected.bytes());
    EXPECT_EQ(doc.undoList().newestName(), "Terrain");
    ASSERT_TRUE(doc.undo());
    EXPECT_EQ(doc.image().bytes(), mixed.bytes());

    // Asked to stop after the first band: nothing planned comes back.
    tbtest::RecordedProgress stopping(2);
    EXPECT_THROW(tb::planTerrainFix(mixed, tiles, area, planRandom, stopping, 5),
                 tb::OperationStopped);
}
