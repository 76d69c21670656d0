// Painting with terrains, Fix edges and the check on small maps of two terrains whose tiles
// are numbered by their corners: 0x100 + bits, corner i sand where bit i is set.
#include "editor/TerrainEdits.h"
#include "editor/CornerGrid.h"
#include "editor/MissingTransitions.h"

#include "shell/SeededRandomSource.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tb;

namespace {

constexpr TerrainId kGrass = 0;
constexpr TerrainId kSand = 1;
constexpr std::uint16_t kGrassA = 0x03, kGrassB = 0x04, kSandFill = 0x16, kRoad = 0x200;

std::uint16_t transition(int bits) {
    return std::uint16_t(0x100 + bits);
}

// Grass and sand with every pattern but those in `leftOut` (bits).
TerrainTiles grassAndSand(std::vector<int> leftOut = {}) {
    TerrainSet set;
    set.addTerrain("Grass", 0x3C8C28);
    set.addTerrain("Sand", 0xD8C890);
    set.setTile({kGrassA, {kGrass, kGrass, kGrass, kGrass}, 1});
    set.setTile({kGrassB, {kGrass, kGrass, kGrass, kGrass}, 1});
    set.setTile({kSandFill, {kSand, kSand, kSand, kSand}, 1});
    for (int bits = 1; bits <= 14; ++bits) {
        if (std::find(leftOut.begin(), leftOut.end(), bits) != leftOut.end())
            continue;
        TerrainCorners corners{};
        for (int i = 0; i < 4; ++i)
            corners[std::size_t(i)] = (bits >> i) & 1 ? kSand : kGrass;
        set.setTile({transition(bits), corners, 1});
    }
    return TerrainTiles(set);
}

// A Tokuno map (1448 x 1448) of tile 0, which no terrain knows, with grass and varied
// altitudes on the cells of `grass`.
MapImage mapWithGrass(const CellRect& grass) {
    const MapVariant v = *identifyMapVariant("map4.mul", 6'421'156);
    MapImage map(std::vector<unsigned char>(std::size_t(v.fileSize), 0), v);
    for (std::int32_t y = grass.top; y <= grass.bottom; ++y)
        for (std::int32_t x = grass.left; x <= grass.right; ++x)
            map.setCell(x, y, {kGrassA, std::int8_t((x * 7 + y * 3) % 41 - 20)});
    return map;
}

std::vector<std::int8_t> altitudes(const MapImage& map, const CellRect& cells) {
    std::vector<std::int8_t> out;
    for (std::int32_t y = cells.top; y <= cells.bottom; ++y)
        for (std::int32_t x = cells.left; x <= cells.right; ++x)
            out.push_back(map.cell(x, y).altitude);
    return out;
}

} // namespace

TEST(TerrainCorners, AreReadByMajorityWhereCellsDisagree) {
    const TerrainTiles tiles = grassAndSand();
    MapImage map = mapWithGrass({});
    // Cells (9, 9), (10, 9), (9, 10), (10, 10) share corner (10, 10).
    struct Case {
        std::uint16_t upLeft, upRight, downLeft, downRight;
        TerrainId expected;
    };
    const Case cases[] = {
        {kGrassA, kGrassB, kGrassA, kSandFill, kGrass},       // three to one
        {kGrassA, kSandFill, kSandFill, kGrassA, kNoTerrain}, // a tie
        {kGrassA, kSandFill, 0, 0, kNoTerrain},               // a tie among the known tiles
        {0, 0, 0, kSandFill, kSand},                          // one known tile
        {0, 0, kRoad, 0, kNoTerrain},                         // none known
        // Transitions say what lies at the shared corner, whatever their other corners.
        {transition(8), transition(4), kGrassA, transition(1), kSand},
        {transition(8), transition(4), kGrassA, kGrassB, kNoTerrain},
    };
    for (const Case& c : cases) {
        map.setCell(9, 9, {c.upLeft, 0});
        map.setCell(10, 9, {c.upRight, 0});
        map.setCell(9, 10, {c.downLeft, 0});
        map.setCell(10, 10, {c.downRight, 0});
        EXPECT_EQ(readCornerTerrain(map, tiles, 10, 10), c.expected)
            << c.upLeft << " " << c.downRight;
        const CornerGrid grid(map, tiles, {8, 8, 11, 11});
        EXPECT_EQ(grid.at(10, 10), c.expected);
    }
    // At the map's corners one cell alone decides.
    map.setCell(0, 0, {transition(1), 0});
    map.setCell(1447, 1447, {transition(7), 0});
    EXPECT_EQ(readCornerTerrain(map, tiles, 0, 0), kSand);
    EXPECT_EQ(readCornerTerrain(map, tiles, 1, 0), kGrass);
    EXPECT_EQ(readCornerTerrain(map, tiles, 1448, 1448), kGrass);
    EXPECT_EQ(readCornerTerrain(map, tiles, 1447, 1448), kSand);
    const CornerGrid edge(map, tiles, {1446, 1446, 1447, 1447});
    EXPECT_EQ(edge.cellCorners(1447, 1447), packCorners({kSand, kSand, kSand, kGrass}));
}

TEST(TerrainPainting, GivesEveryCornerPatternOfAnyBrushShapeItsTileAndUndoesByStroke) {
    const TerrainTiles tiles = grassAndSand();
    const CellRect grass{0, 0, 200, 40};
    MapDocument doc(mapWithGrass(grass), "map4.mul");
    const std::vector<unsigned char> original = doc.image().bytes();
    SeededRandomSource random(3);
    // A plus-shaped brush, one point off the map, paints the corners of its cells.
    const std::vector<CellPoint> plus{{20, 33}, {19, 34}, {20, 34}, {21, 34}, {20, 35}, {-1, 5}};
    {
        MapDocument::Edit edit(doc);
        const TerrainEditResult r = paintTerrain(edit, tiles, kSand, plus, random);
        EXPECT_EQ(r.area, (CellRect{18, 32, 22, 36}));
        EXPECT_TRUE(r.missing.empty());
    }
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(doc.cell(plus[i].x, plus[i].y).tileId, kSandFill);
    EXPECT_EQ(doc.cell(19, 33).tileId, transition(14)); // grass at its top-left alone
    EXPECT_EQ(doc.cell(18, 34).tileId, transition(10)); // sand along its right edge
    EXPECT_EQ(doc.cell(18, 32).tileId, kGrassA);
    EXPECT_TRUE(checkTerrain(doc.image(), tiles, grass).empty());
    doc.undoStroke();
    EXPECT_EQ(doc.image().bytes(), original);

    // Cell (10 + 12 * bits, 20) gets corner i from sand painted on its diagonal neighbour i.
    const int dx[4] = {-1, 1, -1, 1};
    const int dy[4] = {-1, -1, 1, 1};
    for (int bits = 0; bits < 16; ++bits) {
        const std::int32_t x = 10 + 12 * bits, y = 20;
        doc.beginStroke();
        for (int i = 0; i < 4; ++i) {
            if (!((bits >> i) & 1))
                continue;
            MapDocument::Edit edit(doc);
            const TerrainEditResult r =
                paintTerrain(edit, tiles, kSand, paintBrushSquare(x + dx[i], y + dy[i], 1), random);
            EXPECT_TRUE(r.missing.empty()) << bits;
            EXPECT_EQ(r.area,
                      (CellRect{x + dx[i] - 1, y + dy[i] - 1, x + dx[i] + 1, y + dy[i] + 1}));
        }
        doc.endStroke();
        const std::uint16_t tile = doc.cell(x, y).tileId;
        if (bits == 0)
            EXPECT_EQ(tile, kGrassA);
        else if (bits == 15)
            EXPECT_EQ(tile, kSandFill);
        else
            EXPECT_EQ(tile, transition(bits)) << bits;
    }
    EXPECT_TRUE(checkTerrain(doc.image(), tiles, grass).empty());
    EXPECT_EQ(altitudes(doc.image(), grass), altitudes(mapWithGrass(grass), grass));
    // Painting what is there already changes nothing.
    {
        MapDocument::Edit edit(doc);
        EXPECT_EQ(paintTerrain(edit, tiles, kSand, paintBrushSquare(21, 19, 1), random).changed,
                  0u);
    }
    while (doc.undoStroke()) {
    }
    EXPECT_EQ(doc.image().bytes(), original);
}

TEST(TerrainPainting, FillsTheSquareFramesItAndClipsAtTheMapsEdge) {
    const TerrainTiles tiles = grassAndSand();
    MapImage map = mapWithGrass({0, 0, 60, 60});
    SeededRandomSource random(1);
    const TerrainEditResult r = paintTerrain(map, tiles, kSand, centredSquare(30, 30, 4), random);
    EXPECT_EQ(r.area, (CellRect{27, 27, 32, 32}));
    EXPECT_EQ(r.changed, 36u); // 16 fill cells and the 20 of the ring
    EXPECT_EQ(map.cell(28, 28).tileId, kSandFill);
    EXPECT_EQ(map.cell(31, 31).tileId, kSandFill);
    EXPECT_EQ(map.cell(27, 27).tileId, transition(8)); // sand at its bottom-right corner
    EXPECT_EQ(map.cell(29, 32).tileId, transition(3)); // sand along its top edge
    EXPECT_EQ(map.cell(26, 26).tileId, kGrassA);
    // Off the map's corner: only the cells inside are looked at; the unknown tiles beyond
    // the grass leave corners without terrain, so the ring there is missing.
    const TerrainEditResult corner =
        paintTerrain(map, tiles, kSand, paintBrushSquare(-2, -2, 4), random);
    EXPECT_EQ(corner.area, (CellRect{0, 0, 2, 2}));
    EXPECT_EQ(map.cell(1, 1).tileId, kSandFill);
    EXPECT_TRUE(corner.missing.empty());
    const TerrainEditResult outside =
        paintTerrain(map, tiles, kSand, paintBrushSquare(1446, 1446, 2), random);
    EXPECT_EQ(outside.changed, 4u);        // tile 0 under the brush becomes sand
    EXPECT_EQ(outside.missing.size(), 5u); // the ring's far corners have no terrain
    EXPECT_TRUE(
        paintTerrain(map, tiles, kSand, paintBrushSquare(2000, 5, 3), random).area.isEmpty());
}

TEST(TerrainPainting, AMissingPatternKeepsTheCellAndMarksIt) {
    const TerrainTiles tiles = grassAndSand({9}); // no sand at two opposite corners
    MapImage map = mapWithGrass({0, 0, 40, 40});
    SeededRandomSource random(5);
    MissingTransitions marks;
    marks.update(paintTerrain(map, tiles, kSand, paintBrushSquare(9, 9, 1), random));
    EXPECT_TRUE(marks.empty());
    EXPECT_EQ(map.cell(10, 10).tileId, transition(1));
    const TerrainEditResult r =
        paintTerrain(map, tiles, kSand, paintBrushSquare(11, 11, 1), random);
    marks.update(r);
    EXPECT_EQ(r.missing, (std::vector<CellPoint>{{10, 10}}));
    EXPECT_EQ(map.cell(10, 10).tileId, transition(1)); // kept
    EXPECT_TRUE(marks.contains(10, 10));
    EXPECT_EQ(marks.within({0, 0, 40, 40}), (std::vector<CellPoint>{{10, 10}}));
    EXPECT_TRUE(marks.within({11, 0, 40, 40}).empty());
    EXPECT_EQ(checkTerrain(map, tiles, {0, 0, 40, 40}), (std::vector<CellPoint>{{10, 10}}));
    // Sand on the cell itself mends it, and its mark goes.
    marks.update(paintTerrain(map, tiles, kSand, paintBrushSquare(10, 10, 1), random));
    EXPECT_EQ(map.cell(10, 10).tileId, kSandFill);
    EXPECT_TRUE(marks.empty());
    EXPECT_TRUE(checkTerrain(map, tiles, {0, 0, 40, 40}).empty());

    // Marks beside an area, in its rows or columns, stay when the area's are replaced.
    marks.replace({0, 0, 9, 9}, {{1, 1}, {9, 0}, {5, 5}, {0, 9}, {10, 3}});
    marks.replace({0, 0, 9, 9}, {{2, 2}, {3, 3}, {5, 5}});
    marks.replace({4, 2, 6, 3}, {{5, 2}});
    EXPECT_EQ(marks.all(), (std::vector<CellPoint>{{2, 2}, {5, 2}, {3, 3}, {5, 5}}));
    marks.replace({3, 0, 1000, 4}, {});
    EXPECT_EQ(marks.within({0, 0, 10, 10}), (std::vector<CellPoint>{{2, 2}, {5, 5}}));
    EXPECT_FALSE(marks.contains(3, 3));
}

TEST(TerrainFixEdges, MendsCellsSetByHandLeavesUnknownTilesAndRepeatsWithTheSeed) {
    const TerrainTiles tiles = grassAndSand({6});
    const CellRect area{0, 0, 40, 40};
    MapImage painted = mapWithGrass(area);
    SeededRandomSource paintRandom(2);
    paintTerrain(painted, tiles, kSand, paintBrushSquare(10, 10, 6), paintRandom);
    paintTerrain(painted, tiles, kSand, paintBrushSquare(25, 25, 1), paintRandom);
    // Cell (24, 26) between these two needs sand at two opposite corners: no tile has that.
    paintTerrain(painted, tiles, kSand, paintBrushSquare(23, 27, 1), paintRandom);
    ASSERT_EQ(checkTerrain(painted, tiles, area), (std::vector<CellPoint>{{24, 26}}));
    // Edges set by hand that do not fit, and a road.
    MapImage map = painted;
    map.setCell(9, 12, {kGrassA, 5});         // was sand along its right edge
    map.setCell(16, 16, {transition(14), 6}); // was sand at its top-left corner
    map.setCell(12, 12, {kGrassB, 7});        // inside the sand
    map.setCell(9, 14, {kRoad, 8});
    const std::vector<CellPoint> unfit{{9, 12}, {12, 12}, {16, 16}, {24, 26}};
    EXPECT_EQ(checkTerrain(map, tiles, area), unfit);

    MapImage again = map;
    SeededRandomSource random(11), sameSeed(11);
    const TerrainEditResult r = fixTerrainEdges(map, tiles, area, random);
    EXPECT_EQ(r.changed, 3u);
    EXPECT_EQ(r.missing, (std::vector<CellPoint>{{24, 26}}));
    EXPECT_EQ(map.cell(9, 12), (MapCell{transition(10), 5}));
    EXPECT_EQ(map.cell(16, 16), (MapCell{transition(1), 6}));
    EXPECT_EQ(map.cell(12, 12), (MapCell{kSandFill, 7}));
    EXPECT_EQ(map.cell(9, 14), (MapCell{kRoad, 8}));
    EXPECT_EQ(checkTerrain(map, tiles, area), (std::vector<CellPoint>{{24, 26}}));
    fixTerrainEdges(again, tiles, area, sameSeed);
    EXPECT_EQ(again.bytes(), map.bytes());
    // Only the rectangle's cells change; its corners are read from the cells around it too.
    MapImage part = painted;
    part.setCell(9, 12, {kSandFill, 0});
    part.setCell(16, 16, {kSandFill, 0});
    const TerrainEditResult one = fixTerrainEdges(part, tiles, {16, 16, 20, 20}, random);
    EXPECT_EQ(one.changed, 1u);
    EXPECT_EQ(part.cell(9, 12).tileId, kSandFill);
}
