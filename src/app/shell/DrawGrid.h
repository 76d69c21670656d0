#pragma once
// An owner-drawn grid of equally sized cells: the owner paints each cell through a
// callback; the grid keeps the counts, the scroll position, the selected cell and the
// mouse and keyboard moves of that cell. It knows nothing of what the cells show, so the
// map view and the tile palettes share it.

#include "render/PixelSurface.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QTimer>

#include <functional>
#include <utility>

class QPainter;

namespace tbapp {

class DrawGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Paints one cell into `rect` (viewport coordinates). `selected` is true for the
    // grid's current cell.
    using DrawCellHandler =
        std::function<void(QPainter& painter, int col, int row, const QRect& rect, bool selected)>;
    // Told of every selection of a cell: clicks (also on the current cell), cells entered
    // while the left button is held, auto-scroll steps, keyboard moves and programmatic
    // moves. Runs before the current cell moves there.
    using SelectCellHandler = std::function<void(int col, int row)>;
    // Paints the cells firstCol..lastCol of one row; the first one's rectangle is
    // `firstRect`, each next one `stepX` pixels further right. `selectedCol` is the current
    // column when the current cell lies in this row, else -1. When set, it is used instead
    // of the per-cell handler, so an owner can keep its per-cell work in one tight loop.
    using DrawRowHandler = std::function<void(QPainter& painter, int row, int firstCol, int lastCol,
                                              const QRect& firstRect, int stepX, int selectedCol)>;
    // The 32-bit pixels being painted, for owners that write pixels directly.
    using PixelSurface = tbrender::PixelSurface;
    // Sees a key press before the grid's own moves; returns true to skip them.
    using KeyHandler = std::function<bool(QKeyEvent* event)>;

    explicit DrawGrid(QWidget* parent = nullptr);

    void setDrawCellHandler(DrawCellHandler handler) { m_drawCell = std::move(handler); }
    void setDrawRowHandler(DrawRowHandler handler) { m_drawRow = std::move(handler); }
    void setSelectCellHandler(SelectCellHandler handler) { m_selectCell = std::move(handler); }
    const SelectCellHandler& selectCellHandler() const { return m_selectCell; }
    void setKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }
    // Draws over the cells on the viewport after every repaint (an outline, a marker).
    using OverlayHandler = std::function<void(QPainter& painter)>;
    void setOverlayHandler(OverlayHandler handler) { m_overlay = std::move(handler); }

    // Detaches the selection handler for the lifetime of the object and attaches it
    // again afterwards, also when the guarded work throws.
    class SelectionDetacher {
    public:
        explicit SelectionDetacher(DrawGrid& grid)
            : m_grid(grid), m_saved(std::exchange(grid.m_selectCell, {})) {}
        ~SelectionDetacher() { m_grid.m_selectCell = std::move(m_saved); }
        SelectionDetacher(const SelectionDetacher&) = delete;
        SelectionDetacher& operator=(const SelectionDetacher&) = delete;

    private:
        DrawGrid& m_grid;
        SelectCellHandler m_saved;
    };

    int colCount() const { return m_colCount; }
    int rowCount() const { return m_rowCount; }
    void setColCount(int count);
    void setRowCount(int count);

    // Cell size in pixels; values below 1 are taken as 1 and above kMaxCellSize as that.
    int defaultColWidth() const { return m_colWidth; }
    int defaultRowHeight() const { return m_rowHeight; }
    void setDefaultColWidth(int width);
    void setDefaultRowHeight(int height);
    static constexpr int kMaxCellSize = 2048;

    // Pixels between cells (0 or 1 in practice), drawn in the grid line colour.
    int gridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int width);

    void setBackgroundColour(const QColor& colour);
    void setGridLineColour(const QColor& colour);

    // The current (selected) cell.
    int col() const { return m_col; }
    int row() const { return m_row; }
    // Move the current cell when the value differs, through the selection handler, and
    // scroll it into view.
    void setCol(int col);
    void setRow(int row);
    // Always runs the selection handler (as a click does) and moves there.
    void selectCell(int col, int row);

    // The first visible column and row, moved by the scroll bars.
    int leftCol() const;
    int topRow() const;
    void setLeftCol(int col);
    void setTopRow(int row);
    // Whole cells that fit the client area.
    int visibleColCount() const;
    int visibleRowCount() const;

    // The rectangle of a cell in viewport coordinates (may lie outside the viewport).
    QRect cellRect(int col, int row) const;
    // Column and row under a viewport point; -1 for a coordinate outside every cell.
    QPoint mouseCoord(const QPoint& point) const;

    // Schedules a repaint of one cell, of the visible part of the cells from (left, top) to
    // (right, bottom) inclusive, or of every visible cell.
    void invalidateCell(int col, int row);
    void invalidateCells(int left, int top, int right, int bottom);
    void invalidateGrid();

    // Draws every cell that meets `area` (viewport coordinates) into `target`, as a
    // repaint does. While it runs, paintTarget() is `target`, so a cell painter may write
    // pixels directly instead of going through the painter.
    void renderCells(QImage& target, const QRect& area);
    QImage* paintTarget() const { return m_paintTarget; }
    // The target's pixels while renderCells runs on a 32-bit image, else nullptr.
    const tbrender::PixelSurface* paintSurface() const {
        return m_paintTarget ? &m_surface : nullptr;
    }

signals:
    void mouseMoved(const QPoint& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mousePressed(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void mouseReleased(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void moveCurrent(int col, int row);
    void scrollIntoView(int col, int row);
    void updateScrollBars();
    int stepX() const { return m_colWidth + m_gridLineWidth; }
    int stepY() const { return m_rowHeight + m_gridLineWidth; }
    void autoScrollStep();

    DrawCellHandler m_drawCell;
    DrawRowHandler m_drawRow;
    SelectCellHandler m_selectCell;
    KeyHandler m_keyHandler;
    OverlayHandler m_overlay;

    int m_colCount = 5;
    int m_rowCount = 5;
    int m_colWidth = 64;
    int m_rowHeight = 24;
    int m_gridLineWidth = 1;
    int m_col = 0;
    int m_row = 0;
    QColor m_background = Qt::black;
    QColor m_gridLine = QColor(128, 128, 128);

    QImage m_buffer;
    QImage* m_paintTarget = nullptr;
    tbrender::PixelSurface m_surface;

    bool m_selecting = false; // left button held after a press on a cell
    QPoint m_lastMousePos;
    QTimer m_autoScroll;
};

} // namespace tbapp
