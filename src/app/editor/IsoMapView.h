#pragma once
// The map drawn as the game client draws it (View > "Isometric view"): land as diamonds
// stretched over the slopes, items standing on it back to front, in their hues. The view
// keeps the last frame and draws only what a scroll uncovers or an edit changed, so it stays
// quick on the largest maps. The pointer picks what the picture shows under it: the topmost
// item whose pixel is not transparent, else the land. Presses, moves, releases and the tools'
// keys go to the current map tool as in the top-down view; the tool's overlay is drawn over
// the cells' diamonds.

#include "render/IsoPainter.h"

#include "editor/Bookmarks.h"
#include "editor/MapDocument.h"
#include "editor/MapTool.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QRegion>

#include <optional>

namespace tbapp {

class IsoMapView : public QAbstractScrollArea, private tb::DocumentListener {
    Q_OBJECT
public:
    // `document` and `bookmarks` must outlive the view; its changes are drawn as they come.
    IsoMapView(tb::MapDocument& document, tb::Bookmarks& bookmarks, QWidget* parent = nullptr);
    ~IsoMapView() override;

    // What is drawn; each may be null. They must stay until the next call.
    void setGameData(const tb::ArtFiles* art, const tb::TileData* tiledata,
                     const tb::HueFile* hues);
    // The items drawn: the document's, or none (Show statics off).
    void setItemsShown(bool shown);
    void setMaxZ(int maxZ);
    void setGrid(bool on);
    // The tool the view's events go to (null: none).
    void setTool(tb::MapTool* tool);
    // The tool's cursor, status text or overlay changed.
    void toolChanged();

    // Scrolls so that cell (x, y) stands in the middle of the view.
    void centreOn(int x, int y);
    // The cells of the map the view shows (their ground), for the overview and the others'
    // views on a shared map.
    tb::CellRect cellsInView() const;
    // 1.0 is 100%; 0.25 to 4.0.
    double zoom() const { return m_painter.zoom(); }
    void setZoom(double zoom);
    // The view as it is now, drawn afresh, at the view's size.
    QImage viewPicture();
    // The scene point of a viewport point, and the cell a viewport point picks (for tests).
    QPoint scenePoint(const QPoint& viewportPoint) const;
    QPoint viewportPointOfCell(int x, int y) const;
    tbrender::IsoPainter& painter() { return m_painter; }

signals:
    // As the top-down view's signals (MapView.h).
    void cellSelected(int x, int y);
    void pointerMoved(int x, int y);
    void pointerLeftMap();
    // The item the pointer is over, or none.
    void pointedItemChanged(std::optional<tb::PointedItem> item);
    void strokeStarted();
    void strokeEnded();
    void tilePickRequested(int x, int y);
    void toolMenuRequested(const QPoint& globalPos);
    void undoKeyPressed();
    void redoKeyPressed();
    void insertKeyPressed();
    void bookmarkRecalled(int x, int y);
    void bookmarksChanged();
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // tb::DocumentListener
    void cellsChanged(const tb::CellChange& change) override;
    void documentReplaced() override;

    bool ready() const;
    // The scene point at the viewport's top left corner.
    QPoint origin() const;
    void updateScrollBars();
    void redrawAll();
    // The scene rectangle `sceneRect` is to be drawn again.
    void sceneChanged(const QRect& sceneRect);
    // What the pointer at `pos` is over, as an event for the tool.
    tb::ToolEvent eventAt(const QPoint& pos, Qt::MouseButton button,
                          Qt::KeyboardModifiers modifiers);
    void pointerAt(const tb::ToolEvent& event, bool buttonHeld);
    // The diamond of cell (x, y) at its land's altitude, in viewport coordinates.
    QPolygon cellDiamond(int x, int y) const;
    QPolygon rectOutline(const tb::CellRect& cells) const;
    void drawOverlay(QPainter& painter);

    tb::MapDocument& m_document;
    tb::Bookmarks& m_bookmarks;
    tbrender::IsoPainter m_painter;
    tb::ListenerConnection m_connection;
    tb::MapTool* m_tool = nullptr;
    bool m_itemsShown = false;
    QImage m_frame;       // the viewport's pixels as last drawn
    QPoint m_frameOrigin; // the scene point at the frame's top left corner
    QRegion m_stale;      // viewport pixels of the frame to draw again
    std::optional<tb::CellPoint> m_pointerCell;
    std::optional<tb::PointedItem> m_pointedItem;
    std::optional<tb::CellPoint> m_selectedCell; // of the last selection event of a press
    bool m_pressed = false;
};

} // namespace tbapp
