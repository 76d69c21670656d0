// The pictures of the Terrain tool: a stretch of the demo's grass before and after a sand
// path is painted across it and a pond of water into the sand.

#include "Scenes.h"

#include "PictureFile.h"
#include "ScreenshotSession.h"
#include "WidgetDriver.h"

#include "app/editor/MapEditorWindow.h"
#include "app/shell/DrawGrid.h"

#include <QDockWidget>
#include <QGroupBox>
#include <QListWidget>
#include <QRegularExpression>
#include <QSpinBox>

namespace shots {
namespace {

constexpr int kWiderWindow = 1250;
constexpr int kCellSize = 40;
constexpr int kPanelWidth = 270;

bool isGrass(std::uint16_t tile) {
    return tile >= 0x0003 && tile <= 0x0006;
}

// The top left cell of the first `columns` x `rows` cells of grass fill alone, looked for
// from the middle of the map outwards a block at a time.
QPoint grassArea(const tb::MapImage& map, int columns, int rows) {
    auto allGrass = [&](int left, int top) {
        for (int y = top; y < top + rows; ++y)
            for (int x = left; x < left + columns; ++x)
                if (!isGrass(map.cellUnchecked(x, y).tileId))
                    return false;
        return true;
    };
    const int midX = (map.width() - columns) / 2, midY = (map.height() - rows) / 2;
    for (int ring = 0; ring < std::max(midX, midY); ring += 8)
        for (int y = std::max(0, midY - ring); y <= std::min(midY + ring, map.height() - rows);
             y += 8)
            for (int x = std::max(0, midX - ring);
                 x <= std::min(midX + ring, map.width() - columns); x += 8)
                if ((std::abs(x - midX) == ring || std::abs(y - midY) == ring) && allGrass(x, y))
                    return {x, y};
    throw ScreenshotError("the demo world has no stretch of grass to paint on");
}

void chooseTerrain(QWidget& panel, const QString& name) {
    auto& list = control<QListWidget>(panel, "TerrainList");
    const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
    if (found.size() != 1)
        throw ScreenshotError(("the Terrain panel lists no " + name).toStdString());
    list.setCurrentItem(found.front());
}

int zoomLevel(tbapp::MapEditorWindow& window) {
    const QString title = control<QGroupBox>(window, "ZoomGroup").title();
    return QRegularExpression("\\((\\d+)\\)").match(title).captured(1).toInt();
}

} // namespace

void takeTerrainPictures(ScreenshotSession& session, const QDir& out) {
    tbapp::MapEditorWindow& window = session.mainWindow();
    window.resize(kWiderWindow, kMainWindowHeight);
    clickButton(window, "btnTerrain");
    settle();
    auto& panel = control<QDockWidget>(window, "TerrainPanel");
    if (!panel.isVisible())
        throw ScreenshotError("the Terrain tool did not open its panel");
    window.resizeDocks({&panel}, {kPanelWidth}, Qt::Horizontal);
    for (int clicks = 0; zoomLevel(window) != kCellSize; ++clicks) {
        if (clicks > 40)
            throw ScreenshotError("the zoom buttons do not reach the terrain picture's level");
        clickButton(window, zoomLevel(window) < kCellSize ? "SpeedButton3" : "SpeedButton2");
    }
    settle();

    auto& grid = control<tbapp::DrawGrid>(window, "MainDrawGrid");
    const int columns = grid.visibleColCount(), rows = grid.visibleRowCount();
    const QPoint area = grassArea(window.document().image(), columns, rows);
    typeText(window, "XJumpEdit", QString::number(area.x() + columns / 2));
    typeText(window, "YJumpEdit", QString::number(area.y() + rows / 2));
    clickButton(window, "CoordGoBtn");
    grid.setLeftCol(area.x());
    grid.setTopRow(area.y());
    settle();

    // A path of sand three cells wide across the grass, a step down a third of the way.
    chooseTerrain(panel, "Sand");
    control<QSpinBox>(panel, "TerrainBrushSize").setValue(3);
    const int top = area.y() + rows / 3;
    std::vector<QPoint> path;
    for (int i = 1; i < columns - 4; ++i)
        path.push_back({area.x() + i, top + (i < columns / 3 ? 0 : 2)});
    pointAtCell(grid, path.front());
    settle();
    session.requireNoMessages("choosing sand in the Terrain panel");
    const QImage before = pictureOf(*grid.viewport());
    savePicture(pictureOf(window), out, "terrain-before.png");

    dragThroughCells(grid, path);
    // A pond amid the sand, on the middle row of the lower stretch: water meets sand alone,
    // with transitions of its own.
    chooseTerrain(panel, "Water");
    control<QSpinBox>(panel, "TerrainBrushSize").setValue(1);
    const QPoint pond(area.x() + columns * 2 / 3, top + 3);
    dragThroughCells(grid, {pond});
    pointAtCell(grid, pond + QPoint(0, rows / 3));
    settle();
    session.requireNoMessages("painting sand and water");
    if (!window.terrainTool().missing().empty())
        throw ScreenshotError("the demo terrains lacked a transition for the path");
    if (pictureOf(*grid.viewport()) == before)
        throw ScreenshotError("the Terrain strokes painted nothing");
    savePicture(pictureOf(window), out, "terrain-after.png");

    // The other pictures' state again.
    control<QSpinBox>(window, "BrushSizeMover").setValue(1);
    clickButton(window, "btnDefault");
    panel.hide();
    window.resize(kMainWindowWidth, kMainWindowHeight);
    settle();
}

} // namespace shots
