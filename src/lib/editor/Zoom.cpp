#include "editor/Zoom.h"

#include <algorithm>

#include <climits>

namespace tb {
namespace {

// A stored level may be anything; the steps saturate instead of overflowing.
int addSaturated(int value, int delta) {
    const long long sum = static_cast<long long>(value) + delta;
    if (sum > INT_MAX)
        return INT_MAX;
    if (sum < INT_MIN)
        return INT_MIN;
    return static_cast<int>(sum);
}

} // namespace

void zoomIn(ZoomState& zoom) {
    if (zoom.level >= 5)
        zoom.zoomOutEnabled = true;
    zoom.cellSize = addSaturated(zoom.cellSize, kZoomStep);
    zoom.level = zoom.cellSize;
    if (zoom.level >= 100)
        zoom.zoomInEnabled = false;
}

void zoomOut(ZoomState& zoom) {
    if (zoom.level <= 100)
        zoom.zoomInEnabled = true;
    zoom.cellSize = addSaturated(zoom.cellSize, -kZoomStep);
    zoom.level = zoom.cellSize;
    if (zoom.level <= 5)
        zoom.zoomOutEnabled = false;
}

void zoomDefault(ZoomState& zoom) {
    zoom.level = kZoomDefault;
    zoom.cellSize = kZoomDefault;
}

void applyStoredZoom(ZoomState& zoom, int level) {
    zoom.level = level;
    zoom.cellSize = level;
}

std::string zoomCaption(int level) {
    return " Zoom (" + std::to_string(level) + ")";
}

int anchoredFirstCell(int cell, int pointer, int step) {
    if (step <= 0 || pointer < 0)
        return std::max(0, cell);
    return std::max(0, cell - pointer / step);
}

} // namespace tb
