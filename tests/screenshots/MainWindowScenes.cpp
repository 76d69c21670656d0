// The pictures of the main window: the world zoomed out, a coast being painted, the palette.

#include "Scenes.h"

#include "PictureFile.h"
#include "ScreenshotSession.h"
#include "ShorePlaces.h"
#include "WidgetDriver.h"

#include "app/editor/MapEditorWindow.h"
#include "app/shell/DrawGrid.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRegularExpression>
#include <QSpinBox>

namespace shots {
namespace {

// Pixels of the map shown left of the palette in its picture.
constexpr int kPaletteContext = 320;

tbapp::DrawGrid& mapGrid(tbapp::MapEditorWindow& window) {
    return control<tbapp::DrawGrid>(window, "MainDrawGrid");
}

// The map cells drawn in the map view now.
QImage mapViewPicture(tbapp::MapEditorWindow& window) {
    return pictureOf(*mapGrid(window).viewport());
}

// Jumps to the middle of `area` with the jump boxes, then scrolls its corner to the view's.
void showArea(tbapp::MapEditorWindow& window, const CellArea& area) {
    typeText(window, "XJumpEdit", QString::number(area.left + area.columns / 2));
    typeText(window, "YJumpEdit", QString::number(area.top + area.rows / 2));
    clickButton(window, "CoordGoBtn");
    tbapp::DrawGrid& grid = mapGrid(window);
    grid.setLeftCol(area.left);
    grid.setTopRow(area.top);
    settle();
    if (grid.leftCol() != area.left || grid.topRow() != area.top)
        throw ScreenshotError(QString("the map view did not scroll to (%1, %2)")
                                  .arg(area.left)
                                  .arg(area.top)
                                  .toStdString());
}

// The visible part of the view as an area of the map's size at the current zoom.
CellArea visibleArea(tbapp::MapEditorWindow& window) {
    const tbapp::DrawGrid& grid = mapGrid(window);
    return {0, 0, grid.visibleColCount(), grid.visibleRowCount()};
}

// The cell size the Zoom group's caption names (" Zoom (30)").
int zoomLevel(tbapp::MapEditorWindow& window) {
    const QString title = control<QGroupBox>(window, "ZoomGroup").title();
    const QRegularExpressionMatch level = QRegularExpression("\\((\\d+)\\)").match(title);
    if (!level.hasMatch())
        throw ScreenshotError(("the Zoom group names no level: " + title).toStdString());
    return level.captured(1).toInt();
}

// Zooms with the "+" and "-" buttons until cells are `level` pixels.
void zoomTo(tbapp::MapEditorWindow& window, int level) {
    for (int clicks = 0; zoomLevel(window) != level; ++clicks) {
        if (clicks > 40)
            throw ScreenshotError(
                QString("the zoom buttons do not reach level %1").arg(level).toStdString());
        clickButton(window, zoomLevel(window) < level ? "SpeedButton3" : "SpeedButton2");
    }
    settle();
}

// The cell a stroke passes through so that a square of two cells lies inland of the shore
// cell behind two cells of beach.
QPoint strokeCell(const ShoreCell& shore) {
    return shore.landToWest ? QPoint(shore.x - 4, shore.y) : QPoint(shore.x + 3, shore.y);
}

} // namespace

void openDemoMap(ScreenshotSession& session) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    window.resize(kMainWindowWidth, kMainWindowHeight);
    window.show();
    settle();
    clickButton(window, "btnLoad");
    waitForJobs();
    session.requireNoMessages("loading the demo map");
    if (!window.mapLoaded())
        throw ScreenshotError("Load did not load the demo map");
}

void takeWorldPicture(ScreenshotSession& session, const tb::MapImage& map, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    clickRadio(window, "GridBox", "Off");
    clickRadio(window, "ShowAltitudeRadioGroup", "Off");
    zoomTo(window, 5); // as far out as the buttons go
    CellArea area = visibleArea(window);
    area = mostVariedArea(map, area.columns, area.rows);
    showArea(window, area);
    // The pointer over the framed cell, so the status bar describes it.
    tbapp::DrawGrid& grid = mapGrid(window);
    pointAtCell(grid, QPoint(grid.col(), grid.row()));
    session.requireNoMessages("showing the world");
    requireContent(mapViewPicture(window), 64, "the zoomed-out map view");
    savePicture(pictureOf(window), out, "world.png");
}

std::vector<QPoint> takePaintingPicture(ScreenshotSession& session, const tb::MapImage& map,
                                        const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    zoomTo(window, 30);
    CellArea area = visibleArea(window);
    area = coastArea(map, area.columns, area.rows);
    showArea(window, area);

    // Grass behind the beach, on ground raised a little and roughened, as the guide's
    // coast is finished.
    clickButton(window, "btnDefault"); // Paint
    control<QSpinBox>(window, "BrushSizeMover").setValue(2);
    control<QCheckBox>(window, "cbAddRAl").setChecked(true);
    control<QSpinBox>(window, "udRValue").setValue(2);
    chooseItem(window, "SelectDrawingModeComboBox", "Grass");
    clickRadio(window, "AltitudeRadioGroup", "Add Z");
    typeText(window, "ZValueEdit", "3");
    settle();

    // Two strokes over the upper part of the coast, the rest left as it was.
    const std::vector<ShoreCell> shore = shoreLine(map, area);
    if (shore.size() < 6)
        throw ScreenshotError("the demo world has no coast to paint along");
    const std::size_t painted = shore.size() * 2 / 3;
    std::vector<QPoint> first, second;
    for (std::size_t i = 0; i < painted; ++i) {
        const QPoint cell = strokeCell(shore[i]);
        // The brush's square must lie in view.
        if (cell.x() >= area.left && cell.x() + 2 <= area.left + area.columns)
            (i < painted / 2 ? first : second).push_back(cell);
    }
    if (first.empty() || second.empty())
        throw ScreenshotError("the coast found runs out of the map view");

    const QImage before = mapViewPicture(window);
    tbapp::DrawGrid& grid = mapGrid(window);
    dragThroughCells(grid, first);
    dragThroughCells(grid, second);
    pointAtCell(grid, second.back());
    settle();
    session.requireNoMessages("painting the coast");
    if (mapViewPicture(window) == before)
        throw ScreenshotError("the strokes along the coast painted nothing");
    savePicture(pictureOf(window), out, "painting.png");

    std::vector<QPoint> cells = first;
    cells.insert(cells.end(), second.begin(), second.end());
    return cells;
}

void takePalettePicture(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    typeText(window, "edFindID", "A8");
    clickButton(window, "btnFind");
    // The tile found is the top row now; a click on it makes it the tile to paint.
    tbapp::DrawGrid& tiles = control<tbapp::DrawGrid>(window, "SortedTextureGrid");
    dragThroughCells(tiles, {QPoint(0, tiles.topRow())});
    session.requireNoMessages("picking a tile in the palette");

    // Tile pictures, not the black cells of a palette without art.
    QWidget& palette = control<QWidget>(window, "RightPanel");
    requireContent(pictureOf(palette), 64, "the tile palette");
    // The palette with the map beside it.
    const QRect shown(palette.mapTo(&window, QPoint(0, 0)), palette.size());
    const QRect area = shown.adjusted(-kPaletteContext, 0, 0, 0) & window.rect();
    const QImage whole = pictureOf(window);
    savePicture(whole.copy(area), out, "palette.png");
}

} // namespace shots
