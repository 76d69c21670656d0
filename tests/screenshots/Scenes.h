#pragma once
// The states of the windows that the user guide shows, one function each. Each drives the
// windows of the session into its state through their controls, as a user would, checks
// that the state was reached and saves the picture into `out`. Failures throw.

#include "core/MapImage.h"

#include <QDir>
#include <QPoint>

#include <vector>

namespace shots {

class ScreenshotSession;

// The size of the main window in the pictures.
inline constexpr int kMainWindowWidth = 1100;
inline constexpr int kMainWindowHeight = 750;

// Shows the main window at the pictures' size and presses Load: the paths restored at its
// first show name the demo map and game folder.
void openDemoMap(ScreenshotSession& session);

// world.png: the main window zoomed out as far as it goes, over the most varied stretch of
// the demo world (`map`: the demo map as written).
void takeWorldPicture(ScreenshotSession& session, const tb::MapImage& map, const QDir& out);

// painting.png: a coast being painted: two strokes of grass along a beach (Paint, Brush
// Size 2, random altitude 2, "Grass", "Add Z" 3), the lower part of the coast left as it
// was. Returns the cells the strokes went through.
std::vector<QPoint> takePaintingPicture(ScreenshotSession& session, const tb::MapImage& map,
                                        const QDir& out);

// palette.png: the tile palette after "Go" to a water tile.
void takePalettePicture(ScreenshotSession& session, const QDir& out);

// patch-editor.png: the patch editor with the first of `cells` added by Insert on the map.
void takePatchEditorPicture(ScreenshotSession& session, const std::vector<QPoint>& cells,
                            const QDir& out);

// overview.png: the overview window of the demo map.
void takeOverviewPicture(ScreenshotSession& session, const QDir& out);

// brush-editor.png: the brush editor with a default brush loaded.
void takeBrushEditorPicture(ScreenshotSession& session, const QDir& out);

// diff.png: saves the painted map, then the diff patch window with the original demo set
// and the saved one filled in.
void takeDiffPicture(ScreenshotSession& session, const QDir& out);

// items.png: the demo's statics shown on the map around the walled yard, with the item
// browser open on the stone items and the stone wall chosen.
// isometric.png: the same yard in the isometric view, as the game draws it.
void takeItemBrowserPicture(ScreenshotSession& session, const QDir& out);

// terrain-before.png, terrain-after.png: the Terrain tool with its panel over a stretch of
// grass, then a path of sand painted across it with a pond of water in the middle, their
// transitions chosen by the tool.
void takeTerrainPictures(ScreenshotSession& session, const QDir& out);
// new-world-terrain.png, new-world-altitude.png: the demo's pictures of an island, a quarter
// of their size; new-world-dialog.png: File > "New world from pictures..." filled in with
// them; new-world.png: the world made of them open in the main window, a beach and the trees
// behind it shown.
void takeNewWorldPictures(ScreenshotSession& session, const QDir& out);

} // namespace shots
