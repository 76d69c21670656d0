#pragma once
// The zoom of the map view: a level kept beside the cell size, moved in steps of 5, with
// the enabled state of the zoom in and zoom out buttons.

#include <string>

namespace tb {

struct ZoomState {
    // Shown and stored; it is the cell size at start too, so the label never names a size
    // the cells do not have.
    int level = 45;
    int cellSize = 45; // width and height of a cell in pixels (the design size)
    bool zoomInEnabled = true;
    bool zoomOutEnabled = true;
};

inline constexpr int kZoomStep = 5;
inline constexpr int kZoomDefault = 50;

// One step in: cells 5 pixels larger; zoom in is disabled from level 100 on.
void zoomIn(ZoomState& zoom);
// One step out: cells 5 pixels smaller; zoom out is disabled from level 5 down.
void zoomOut(ZoomState& zoom);
// Level and cell size 50; the buttons keep their enabled state.
void zoomDefault(ZoomState& zoom);
// A stored level: becomes both the level and the cell size, unchanged.
void applyStoredZoom(ZoomState& zoom, int level);

// The first visible column (or row) after a zoom that keeps `cell` under the pointer, which
// lies `pointer` pixels into the view, when each cell now takes `step` pixels; never below 0.
int anchoredFirstCell(int cell, int pointer, int step);

// The caption of the Zoom group: " Zoom (" + level + ")".
std::string zoomCaption(int level);

} // namespace tb
