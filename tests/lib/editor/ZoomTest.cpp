#include "editor/Zoom.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Zoom, StartsAtTheDesignCellsAndSaysSo) {
    tb::ZoomState zoom;
    EXPECT_EQ(zoom.level, 45);
    EXPECT_EQ(zoom.cellSize, 45);
    EXPECT_EQ(tb::zoomCaption(zoom.level), " Zoom (45)");
    // The first step goes from the cells, and the label follows.
    tb::zoomIn(zoom);
    EXPECT_EQ(zoom.cellSize, 50);
    EXPECT_EQ(zoom.level, 50);
}

TEST(Zoom, InStopsAtHundred) {
    tb::ZoomState zoom;
    tb::applyStoredZoom(zoom, 95);
    tb::zoomIn(zoom);
    EXPECT_EQ(zoom.level, 100);
    EXPECT_EQ(zoom.cellSize, 100);
    EXPECT_FALSE(zoom.zoomInEnabled);
    EXPECT_TRUE(zoom.zoomOutEnabled);
    tb::zoomOut(zoom);
    EXPECT_EQ(zoom.level, 95);
    EXPECT_TRUE(zoom.zoomInEnabled);
}

TEST(Zoom, OutStopsAtFiveAndDefaultKeepsButtons) {
    tb::ZoomState zoom;
    tb::applyStoredZoom(zoom, 10);
    tb::zoomOut(zoom);
    EXPECT_EQ(zoom.level, 5);
    EXPECT_FALSE(zoom.zoomOutEnabled);
    tb::zoomDefault(zoom);
    EXPECT_EQ(zoom.level, 50);
    EXPECT_EQ(zoom.cellSize, 50);
    EXPECT_FALSE(zoom.zoomOutEnabled); // until zoom in is used once
    tb::zoomIn(zoom);
    EXPECT_TRUE(zoom.zoomOutEnabled);
    EXPECT_EQ(zoom.level, 55);
}

TEST(Zoom, StoredValuesOutsideTheRangeMoveInFives) {
    tb::ZoomState zoom;
    tb::applyStoredZoom(zoom, 137);
    EXPECT_EQ(zoom.cellSize, 137);
    EXPECT_TRUE(zoom.zoomInEnabled); // the buttons start enabled whatever is stored
    tb::zoomOut(zoom);
    EXPECT_EQ(zoom.level, 132);
    tb::applyStoredZoom(zoom, INT_MAX - 1);
    tb::zoomIn(zoom);
    EXPECT_EQ(zoom.level, INT_MAX); // saturates instead of wrapping negative
}

} // namespace

namespace {

// After a zoom the first visible cell is chosen so that the cell under the pointer is still
// under it: its pixels at the new step cover the pointer's pixel.
TEST(Zoom, AnchorKeepsTheCellUnderThePointer) {
    for (int step : {5, 6, 46, 51, 100})
        for (int pointer : {0, 1, 44, 45, 299, 1000})
            for (int cell : {50, 700, 4095}) {
                const int first = tb::anchoredFirstCell(cell, pointer, step);
                if (cell - pointer / step < 0)
                    continue; // near the map's start the view cannot scroll far enough
                const int left = (cell - first) * step;
                EXPECT_LE(left, pointer) << step << " " << pointer << " " << cell;
                EXPECT_GT(left + step, pointer) << step << " " << pointer << " " << cell;
            }
    // At the start of the map the view stops at the first cell.
    EXPECT_EQ(tb::anchoredFirstCell(2, 300, 10), 0);
}

} // namespace
