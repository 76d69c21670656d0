#pragma once
// The map view of the main window: the grid of map cells (drawn by the cell painter), its
// zoom, the bookmarks it shows and sets by key chords, the pointer tracking, the jump, and
// the mouse: Ctrl + wheel zooms about the pointer, the wheel scrolls (Shift + wheel
// sideways), the middle button drags the view. Presses, selection events, pointer moves,
// releases and the tools' keys go to the current map tool in cell coordinates; the view draws
// what the tool gives back (its cursor and overlay).

#include "app/editor/MapViewRefresher.h"
#include "render/MapCellPainter.h"

#include "core/ArtFiles.h"
#include "editor/Bookmarks.h"
#include "editor/MapDocument.h"
#include "editor/MapTool.h"
#include "editor/Zoom.h"

#include <QPoint>
#include <QWidget>

#include <memory>
#include <optional>

class QKeyEvent;
class QWheelEvent;

namespace tbapp {
class DrawGrid;

class MapView : public QWidget {
    Q_OBJECT
public:
    // `document` must outlive the view; its changes are drawn as they happen.
    MapView(tb::MapDocument& document, QWidget* parent);
    ~MapView() override;

    // The map and art to draw (null: none loaded, cells are black).
    void setMap(const tb::MapImage* map, const tb::ArtFiles* art);
    // The map's size in cells (the identified variant's).
    void setDimensions(int columns, int rows);
    // The size of the identified map (none for an unknown file); the pointer is kept inside.
    void setMapSize(std::optional<tb::MapSize> size);
    void setSwitches(const tbrender::CellViewSwitches& switches);
    // The statics markers' source (shown while the showStatics switch is on); null: none.
    void setStatics(const tb::StaticsMap* statics, const tb::StaticRadarColours* colours);
    void setGridLines(bool on);
    // The land art picture of a tile at a square size, or a null image.
    QImage tilePicture(std::uint16_t tileId, int size);
    // The picture of item `id` at a square size in `hue` (0: unhued), or a null image.
    QImage itemPicture(std::uint16_t id, int size, std::uint16_t hue);
    // The hues items are drawn in and the tiledata that says how (nullptr: none).
    void setHues(const tb::HueFile* hues, const tb::TileData* tiledata);
    // Land above it is drawn black, items above it not at all.
    void setMaxZ(int maxZ);
    void repaintCells();
    // What the view shows now, drawn afresh by the same cell drawing: the visible cells,
    // partial ones at the edges included, at the view's size.
    QImage viewPicture();
    void repaintSelectedCell();

    const tb::ZoomState& zoom() const { return m_zoom; }
    void zoomIn();
    void zoomOut();
    void zoomDefault();
    void applyStoredZoom(int level);

    // Moves the selection to the cell the two texts name (clamped to the map) without
    // painting. Throws ConversionError for a text that is no decimal number.
    void jumpTo(const QString& xText, const QString& yText);

    tb::Bookmarks& bookmarks() { return m_bookmarks; }
    // The grid's selected (framed) cell.
    QPoint selectedCell() const;
    // The cells in view, partial ones at the edges included.
    tb::CellRect cellsInView() const;
    // The tool the view's events go to (null: none); it must outlive the view or be replaced.
    void setTool(tb::MapTool* tool);
    tb::MapTool* tool() const { return m_tool; }
    // The tool's cursor or overlay changed.
    void toolChanged();
    // Scrolls so that cell (x, y) stands in the middle of the view, as far as the map's edges
    // allow; the selected cell stays where it is.
    void centreOn(int x, int y);
    // After the bookmarks were read: the labels on the map follow them.
    void showBookmarks();

signals:
    // A selection event of the grid: a click, a cell entered while dragging, a keyboard move.
    void cellSelected(int x, int y);
    // The cell of the map under the pointer.
    void pointerMoved(int x, int y);
    // The pointer is over the view but over no cell of the map.
    void pointerLeftMap();
    // The left button went down or up on the map (a stroke starts or ends).
    void strokeStarted();
    void strokeEnded();
    // The right button went down on a cell of the map.
    void tilePickRequested(int x, int y);
    // A key moved the selection: the next selection event must not paint.
    void navigatedByKey();
    // Ctrl+Z and Ctrl+Y on the map (actions "UndoKey" and "RedoKey" of the grid).
    void undoKeyPressed();
    void redoKeyPressed();
    void insertKeyPressed();
    // A right click where the tool offers its menu (the item selection).
    void toolMenuRequested(const QPoint& globalPos);
    // A bookmark recall: put these into the jump boxes and jump.
    void bookmarkRecalled(int x, int y);
    void zoomChanged(const tb::ZoomState& zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QKeyEvent* event);
    bool toolKey(QKeyEvent* event);
    tb::ToolEvent toolEvent(const QPoint& pos, Qt::MouseButton button,
                            Qt::KeyboardModifiers modifiers) const;
    void drawOverlay(QPainter& painter);
    void drawMarkedCells(QPainter& painter, const tb::MissingTransitions& marked);
    bool wheelTurned(QWheelEvent* event);
    void applyZoom(const QPoint& anchor);

    tb::MapDocument& m_document;
    DrawGrid* m_grid = nullptr;
    tbrender::MapCellPainter m_cellPainter;
    std::unique_ptr<MapViewRefresher> m_refresher;
    tb::ZoomState m_zoom;
    tb::Bookmarks m_bookmarks;
    tbrender::CellBookmarks m_cellBookmarks{};
    std::optional<tb::MapSize> m_mapSize;
    tb::MapTool* m_tool = nullptr;
    std::optional<QPoint> m_pointerCell; // the cell under the pointer, as last told
    bool m_panning = false;
    QPoint m_panStart;
    QPoint m_panFirstCell;
};

} // namespace tbapp
