// Where cells, land diamonds and items lie in the isometric picture, worked out by hand.
#include "iso/IsoGeometry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tb::iso;

TEST(IsoGeometry, ScreenPointsAndAltitudesAtFullAndHalfSize) {
    EXPECT_EQ(cellPoint(0, 0, 0), (ScreenPoint{0, 0}));
    EXPECT_EQ(cellPoint(10, 4, 0), (ScreenPoint{132, 308}));
    EXPECT_EQ(cellPoint(10, 4, 5), (ScreenPoint{132, 288}));
    EXPECT_EQ(cellPoint(3, 7, -10), (ScreenPoint{-88, 260}));
    // At 50% a cell is 22 wide and an altitude step 2 pixels.
    EXPECT_EQ(cellPoint(10, 4, 5, 11), (ScreenPoint{66, 144}));
    // At 27% (half 6) 4 * 6 / 22 = 1.09 pixels a step, rounded alike up and down.
    EXPECT_EQ(altitudePixels(1, 6), 1);
    EXPECT_EQ(altitudePixels(-1, 6), -1);
    EXPECT_EQ(altitudePixels(11, 6), 12);
    EXPECT_EQ(altitudePixels(-128, 22), -512);
    EXPECT_EQ(halfTileForZoom(1.0), 22);
    EXPECT_EQ(halfTileForZoom(0.25), kMinHalfTile);
    EXPECT_EQ(halfTileForZoom(4.0), 88);
    EXPECT_EQ(halfTileForZoom(40.0), kMaxHalfTile);
    EXPECT_EQ(halfTileForZoom(0.0), kMinHalfTile);
    EXPECT_EQ(scaledLength(56, 11), 28);
    EXPECT_EQ(scaledLength(1, 6), 1);
}

TEST(IsoGeometry, TheDiamondsRowsAreTwoToFortyFourPixelsWide) {
    EXPECT_EQ(diamondRow(0), (RowSpan{21, 23}));
    EXPECT_EQ(diamondRow(1), (RowSpan{20, 24}));
    EXPECT_EQ(diamondRow(21), (RowSpan{0, 44}));
    EXPECT_EQ(diamondRow(22), (RowSpan{0, 44}));
    EXPECT_EQ(diamondRow(43), (RowSpan{21, 23}));
    EXPECT_EQ(diamondRow(44), (RowSpan{}));
    EXPECT_EQ(diamondRow(-1), (RowSpan{}));
    int pixels = 0, halfPixels = 0;
    for (int row = 0; row < 44; ++row)
        pixels += diamondRow(row).end - diamondRow(row).first;
    for (int row = 0; row < 22; ++row)
        halfPixels += diamondRow(row, 11).end - diamondRow(row, 11).first;
    EXPECT_EQ(pixels, 1012);
    EXPECT_EQ(halfPixels, 264);
    EXPECT_TRUE(diamondContains({22, 0}));
    EXPECT_FALSE(diamondContains({20, 0}));
    EXPECT_TRUE(diamondContains({43, 22}));
    EXPECT_FALSE(diamondContains({44, 22}));
}

TEST(IsoGeometry, ItemsStandOnTheBottomCornerOfTheirCell) {
    // A picture as large as a land tile covers the tile's square.
    EXPECT_EQ(itemRect({100, 200}, 44, 44), (ScreenRect{100, 200, 144, 244}));
    // 56 x 96 (a tree): (x - (28 - 22), y - (96 - 44)).
    EXPECT_EQ(itemRect({0, 0}, 56, 96), (ScreenRect{-6, -52, 50, 44}));
    // An odd width: its middle column (15 of 31) over the corner.
    EXPECT_EQ(itemRect({0, 0}, 31, 10), (ScreenRect{7, 34, 38, 44}));
    // At 50% the picture is half as large, still on the bottom corner (11, 22).
    EXPECT_EQ(itemRect({0, 0}, 56, 96, 11), (ScreenRect{-3, -26, 25, 22}));
}

TEST(IsoGeometry, TheCellUnderAPointAndTheCellsARectangleShows) {
    // Cell (5, 5)'s diamond has its middle at (22, 242); cell (-1, 0)'s at (0, 0).
    EXPECT_EQ(cellAtGround({22, 242}), (CellPos{5, 5}));
    EXPECT_EQ(cellAtGround({0, 0}), (CellPos{-1, 0}));
    EXPECT_EQ(cellAtGround({43, 0}), (CellPos{0, -1}));
    // Raised 10 steps, the diamond of (5, 5) is drawn 40 pixels higher.
    EXPECT_EQ(cellAtGround({22, 202}, 10), (CellPos{5, 5}));
    EXPECT_EQ(cellAtGround({22, 202}), (CellPos{4, 4}));
    // Every pixel of a row across the diamonds of (0, 0) and (1, 0) is in exactly one.
    for (int x = 0; x < 66; ++x) {
        const CellPos c = cellAtGround({x, 30});
        EXPECT_TRUE(c == (CellPos{0, 0}) || c == (CellPos{1, 0}) || c == (CellPos{0, 1}) ||
                    c == (CellPos{1, -1}))
            << x;
    }
    EXPECT_EQ(cellsShown({0, 0, 44, 44}), (CellBox{-1, -1, 1, 1}));
}

TEST(IsoGeometry, TheCellsWhoseDrawingCanReachAPoint) {
    const auto reaching = [](ScreenRect rect, Reach reach, int unit) {
        std::vector<std::pair<int, int>> cells;
        forEachSquareReaching(rect, reach, unit, 100, 100, kHalfTile,
                              [&](int x, int y) { cells.emplace_back(x, y); });
        return cells;
    };
    using Cells = std::vector<std::pair<int, int>>;
    // The middle of (5, 5)'s diamond lies in the squares of (5, 5) and (6, 5) (the corner
    // of the latter).
    EXPECT_EQ(reaching({22, 242, 23, 243}, {}, 1), (Cells{{5, 5}, {6, 5}}));
    // Things rising 30 pixels above their cells also reach it from (6, 6), in front.
    EXPECT_EQ(reaching({22, 242, 23, 243}, {30, 0, 0}, 1), (Cells{{5, 5}, {6, 5}, {6, 6}}));
    // Land sunk 30 pixels reaches it from (4, 4) and (5, 4), behind.
    EXPECT_EQ(reaching({22, 242, 23, 243}, {0, 30, 0}, 1), (Cells{{4, 4}, {5, 4}, {5, 5}, {6, 5}}));
    // In blocks of 8: the point lies in block (0, 0) and the corner of (1, 0)'s square.
    EXPECT_EQ(reaching({22, 242, 23, 243}, {}, 8), (Cells{{0, 0}, {1, 0}}));
    // Nothing outside the map.
    EXPECT_EQ(reaching({-500, -500, -400, -400}, {}, 1), Cells{});
}
