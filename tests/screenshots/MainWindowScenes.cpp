// The pictures of the main window: the world zoomed out, a coast being painted, the palette,
// the items on the map with the item browser and the items panel.

#include "Scenes.h"

#include "PictureFile.h"
#include "ScreenshotSession.h"
#include "ShorePlaces.h"
#include "WidgetDriver.h"

#include "app/editor/IsoMapView.h"
#include "app/editor/MapEditorWindow.h"
#include "app/editor/MapViews.h"
#include "app/items/ItemBrowserDock.h"
#include "app/shell/DrawGrid.h"

#include "demo/DemoDataSet.h"
#include "demo/DemoItems.h"
#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"
#include "shell/LittleEndian.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>

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

// The first cell of the demo statics that holds item `id`.
QPoint firstCellOf(const tb::demo::DemoStaticsFiles& statics, const tb::MapVariant& variant,
                   std::uint16_t id) {
    constexpr std::size_t kEntry = 12, kRecord = 7;
    for (std::size_t block = 0; (block + 1) * kEntry <= statics.index.size(); ++block) {
        const std::int32_t offset = tb::readI32(statics.index.data() + block * kEntry);
        const std::uint32_t length = tb::readU32(statics.index.data() + block * kEntry + 4);
        if (offset < 0 || std::size_t(offset) + length > statics.data.size())
            continue;
        for (std::size_t at = std::size_t(offset); at + kRecord <= std::size_t(offset) + length;
             at += kRecord)
            if (tb::readU16(statics.data.data() + at) == id) {
                const int blockX = int(block) / variant.heightBlocks();
                const int blockY = int(block) % variant.heightBlocks();
                return {blockX * 8 + statics.data[at + 2], blockY * 8 + statics.data[at + 3]};
            }
    }
    throw ScreenshotError(QString("the demo statics hold no item %1").arg(id).toStdString());
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

namespace shots {

void takeItemBrowserPicture(ScreenshotSession& session, const QDir& out) {
    constexpr std::uint16_t kStoneWall = 0x0064;
    constexpr int kWiderWindow = 1400;
    constexpr int kBrowserWidth = 500;
    tbapp::MapEditorWindow& window = session.mainWindow();
    // The demo's statics in place of the empty pair the other pictures were taken with.
    const QDir demo(session.demoDir());
    const tb::MapVariant variant = tb::demo::defaultDemoVariant();
    const tb::demo::DemoStaticsFiles statics = tb::demo::generateDemoStatics(
        tb::readFileBytes(QDir(session.originalDir()).filePath("map0.mul").toStdU16String()),
        variant, 1);
    tb::writeFileAtomically(demo.filePath("staidx0.mul").toStdU16String(), statics.index.data(),
                            statics.index.size());
    tb::writeFileAtomically(demo.filePath("statics0.mul").toStdU16String(), statics.data.data(),
                            statics.data.size());
    // Load again: the editor edits the items of the pair it read with the map.
    clickButton(window, "btnLoad");
    waitForJobs();
    triggerAction(window, "ShowStatics1");
    waitForJobs();
    session.requireNoMessages("showing the demo statics");

    // The browser beside the map, on the stone items, the wall chosen.
    window.resize(kWiderWindow, kMainWindowHeight);
    triggerAction(window, "ItemBrowser1");
    settle();
    auto& browser = control<tbapp::ItemBrowserDock>(window, "ItemBrowser");
    window.resizeDocks({&browser}, {kBrowserWidth}, Qt::Horizontal); // the flags in view
    waitUntil([&] { return !browser.listedItems().empty(); }, "the item browser to list items");
    typeText(browser, "ItemFilterEdit", "stone");
    auto& list = control<QTableView>(browser, "ItemList");
    list.selectRow(0);
    settle();
    if (browser.currentItem() != kStoneWall)
        throw ScreenshotError("the item browser did not choose the stone wall");

    zoomTo(window, 30);
    const QPoint yard = firstCellOf(statics, variant, kStoneWall);
    CellArea area = visibleArea(window);
    area.left = std::max(0, yard.x() - area.columns / 3);
    area.top = std::max(0, yard.y() - area.rows / 3);
    showArea(window, area);

    // The items panel under the browser, on the wall's cell picked with Select.
    triggerAction(window, "ItemsPanel1");
    auto& panel = control<QWidget>(window, "ItemsPanel");
    window.splitDockWidget(&browser, qobject_cast<QDockWidget*>(&panel), Qt::Vertical);
    clickButton(window, "btnSelectItems");
    dragThroughCells(mapGrid(window), {yard});
    settle();
    session.requireNoMessages("the item browser");
    requireContent(pictureOf(list), 64, "the item browser's list");
    if (control<QTableWidget>(panel, "ItemsTable").rowCount() == 0)
        throw ScreenshotError("the items panel did not list the wall's cell");
    savePicture(pictureOf(window), out, "items.png");

    // The same yard as the game draws it: the isometric view at 100%, the hued barrels and
    // crates among the walls, the rolling land behind.
    triggerAction(window, "ItemsPanel1");
    triggerAction(window, "ItemBrowser1");
    window.resize(kMainWindowWidth, kMainWindowHeight);
    triggerAction(window, "IsometricView1");
    settle();
    auto& iso = window.mapViews().isometricView();
    iso.setZoom(1.0);
    iso.centreOn(yard.x() + 4, yard.y() + 4);
    settle();
    session.requireNoMessages("the isometric view");
    requireContent(iso.viewPicture(), 64, "the isometric view");
    savePicture(pictureOf(window), out, "isometric.png");
    triggerAction(window, "IsometricView1");
    triggerAction(window, "ItemsPanel1");
    triggerAction(window, "ItemBrowser1");

    // The other pictures' state again.
    clickButton(window, "btnDefault");
    triggerAction(window, "ItemsPanel1");
    triggerAction(window, "ItemBrowser1");
    triggerAction(window, "ShowStatics1");
    window.resize(kMainWindowWidth, kMainWindowHeight);
    settle();
}

} // namespace shots
