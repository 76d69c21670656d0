#include "app/shell/DrawGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tbapp {

namespace {

// The pause between two cells while the pointer is held beyond the grid's edge.
constexpr int kAutoScrollMs = 60;
// Counts beyond the largest map keep every pixel computation inside int.
constexpr int kMaxCount = 1 << 16;

} // namespace

DrawGrid::DrawGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The view follows the thumb while it is dragged.
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    m_autoScroll.setInterval(kAutoScrollMs);
    connect(&m_autoScroll, &QTimer::timeout, this, &DrawGrid::autoScrollStep);
    updateScrollBars();
}

void DrawGrid::setColCount(int count) {
    m_colCount = std::clamp(count, 0, kMaxCount);
    m_col = std::clamp(m_col, 0, std::max(0, m_colCount - 1));
    updateScrollBars();
    invalidateGrid();
}

void DrawGrid::setRowCount(int count) {
    m_rowCount = std::clamp(count, 0, kMaxCount);
    m_row = std::clamp(m_row, 0, std::max(0, m_rowCount - 1));
    updateScrollBars();
    invalidateGrid();
}

void DrawGrid::setDefaultColWidth(int width) {
    m_colWidth = std::clamp(width, 1, kMaxCellSize);
    updateScrollBars();
    invalidateGrid();
}

void DrawGrid::setDefaultRowHeight(int height) {
    m_rowHeight = std::clamp(height, 1, kMaxCellSize);
    updateScrollBars();
    invalidateGrid();
}

void DrawGrid::setGridLineWidth(int width) {
    m_gridLineWidth = std::clamp(width, 0, kMaxCellSize);
    updateScrollBars();
    invalidateGrid();
}

void DrawGrid::setBackgroundColour(const QColor& colour) {
    m_background = colour;
    invalidateGrid();
}

void DrawGrid::setGridLineColour(const QColor& colour) {
    m_gridLine = colour;
    invalidateGrid();
}

void DrawGrid::setCol(int col) {
    if (col != m_col)
        selectCell(col, m_row);
}

void DrawGrid::setRow(int row) {
    if (row != m_row)
        selectCell(m_col, row);
}

void DrawGrid::selectCell(int col, int row) {
    if (m_colCount <= 0 || m_rowCount <= 0)
        return;
    col = std::clamp(col, 0, m_colCount - 1);
    row = std::clamp(row, 0, m_rowCount - 1);
    if (m_selectCell)
        m_selectCell(col, row);
    moveCurrent(col, row);
}

void DrawGrid::moveCurrent(int col, int row) {
    const int oldCol = m_col;
    const int oldRow = m_row;
    m_col = col;
    m_row = row;
    invalidateCell(oldCol, oldRow);
    scrollIntoView(col, row);
    invalidateCell(col, row);
}

void DrawGrid::scrollIntoView(int col, int row) {
    const int cols = visibleColCount();
    const int rows = visibleRowCount();
    if (col < leftCol())
        setLeftCol(col);
    else if (col >= leftCol() + cols)
        setLeftCol(col - cols + 1);
    if (row < topRow())
        setTopRow(row);
    else if (row >= topRow() + rows)
        setTopRow(row - rows + 1);
}

int DrawGrid::leftCol() const {
    return horizontalScrollBar()->value();
}
int DrawGrid::topRow() const {
    return verticalScrollBar()->value();
}
void DrawGrid::setLeftCol(int col) {
    horizontalScrollBar()->setValue(col);
}
void DrawGrid::setTopRow(int row) {
    verticalScrollBar()->setValue(row);
}

int DrawGrid::visibleColCount() const {
    return std::max(1, viewport()->width() / stepX());
}
int DrawGrid::visibleRowCount() const {
    return std::max(1, viewport()->height() / stepY());
}

QRect DrawGrid::cellRect(int col, int row) const {
    return {(col - leftCol()) * stepX(), (row - topRow()) * stepY(), m_colWidth, m_rowHeight};
}

QPoint DrawGrid::mouseCoord(const QPoint& point) const {
    auto coord = [](int pixel, int step, int first, int count) {
        if (pixel < 0)
            return -1;
        const int cell = first + pixel / step;
        return cell < count ? cell : -1;
    };
    return {coord(point.x(), stepX(), leftCol(), m_colCount),
            coord(point.y(), stepY(), topRow(), m_rowCount)};
}

void DrawGrid::invalidateCell(int col, int row) {
    const QRect rect = cellRect(col, row);
    if (rect.intersects(viewport()->rect()))
        viewport()->update(rect);
}

void DrawGrid::invalidateCells(int left, int top, int right, int bottom) {
    // Only the visible cells matter; clamping first keeps the pixel sums inside int.
    const int firstCol = std::max(left, leftCol());
    const int firstRow = std::max(top, topRow());
    const int lastCol = std::min(right, leftCol() + visibleColCount());
    const int lastRow = std::min(bottom, topRow() + visibleRowCount());
    if (firstCol > lastCol || firstRow > lastRow)
        return;
    const QRect area = cellRect(firstCol, firstRow).united(cellRect(lastCol, lastRow));
    viewport()->update(area & viewport()->rect());
}

void DrawGrid::invalidateGrid() {
    viewport()->update();
}

void DrawGrid::updateScrollBars() {
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int cols = visibleColCount();
    const int rows = visibleRowCount();
    h->setRange(0, std::max(0, m_colCount - cols));
    h->setPageStep(cols);
    h->setSingleStep(1);
    v->setRange(0, std::max(0, m_rowCount - rows));
    v->setPageStep(rows);
    v->setSingleStep(1);
}

void DrawGrid::renderCells(QImage& target, const QRect& area) {
    const QRect clip = area & target.rect();
    if (clip.isEmpty())
        return;
    QPainter painter(&target);
    const bool pixels32 = target.format() == QImage::Format_RGB32 ||
                          target.format() == QImage::Format_ARGB32 ||
                          target.format() == QImage::Format_ARGB32_Premultiplied;
    if (pixels32) {
        m_paintTarget = &target;
        m_surface = {reinterpret_cast<QRgb*>(target.bits()), target.width(), target.height(),
                     target.bytesPerLine() / qsizetype(sizeof(QRgb))};
    }
    const int sx = stepX();
    const int sy = stepY();
    const int left = leftCol();
    const int top = topRow();
    const int lastCol = m_colCount - 1;
    const int lastRow = m_rowCount - 1;
    const int c0 = left + clip.left() / sx;
    const int c1 = std::min(lastCol, left + clip.right() / sx);
    const int r0 = top + clip.top() / sy;
    const int r1 = std::min(lastRow, top + clip.bottom() / sy);

    // Beyond the last column and row there is only background.
    const int coveredRight = (lastCol - left + 1) * sx;
    const int coveredBottom = (lastRow - top + 1) * sy;
    if (clip.right() >= coveredRight)
        painter.fillRect(
            QRect(QPoint(std::max(clip.left(), coveredRight), clip.top()), clip.bottomRight()),
            m_background);
    if (clip.bottom() >= coveredBottom)
        painter.fillRect(
            QRect(QPoint(clip.left(), std::max(clip.top(), coveredBottom)), clip.bottomRight()),
            m_background);
    if (c0 <= c1 && r0 <= r1) {
        if (m_gridLineWidth > 0)
            painter.fillRect(clip & QRect(0, 0, coveredRight, coveredBottom), m_gridLine);
        for (int row = r0; row <= r1; ++row) {
            if (m_drawRow) {
                const QRect first((c0 - left) * sx, (row - top) * sy, m_colWidth, m_rowHeight);
                m_drawRow(painter, row, c0, c1, first, sx, row == m_row ? m_col : -1);
                continue;
            }
            for (int col = c0; col <= c1; ++col) {
                const QRect rect((col - left) * sx, (row - top) * sy, m_colWidth, m_rowHeight);
                const bool selected = col == m_col && row == m_row;
                if (m_drawCell)
                    m_drawCell(painter, col, row, rect, selected);
                else
                    painter.fillRect(rect, m_background);
            }
        }
    }
    m_paintTarget = nullptr;
    m_surface = {};
}

void DrawGrid::paintEvent(QPaintEvent* event) {
    const QSize size = viewport()->size();
    if (m_buffer.size() != size)
        m_buffer = QImage(size, QImage::Format_RGB32);
    const QRect area = event->rect();
    renderCells(m_buffer, area);
    QPainter painter(viewport());
    painter.drawImage(area, m_buffer, area);
    if (m_overlay)
        m_overlay(painter);
}

void DrawGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DrawGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void DrawGrid::keyPressEvent(QKeyEvent* event) {
    if (m_keyHandler && m_keyHandler(event))
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    int col = m_col;
    int row = m_row;
    switch (event->key()) {
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= visibleRowCount();
        break;
    case Qt::Key_PageDown:
        row += visibleRowCount();
        break;
    case Qt::Key_Home:
        col = 0;
        if (ctrl)
            row = 0;
        break;
    case Qt::Key_End:
        col = m_colCount - 1;
        if (ctrl)
            row = m_rowCount - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    col = std::clamp(col, 0, std::max(0, m_colCount - 1));
    row = std::clamp(row, 0, std::max(0, m_rowCount - 1));
    if (col != m_col || row != m_row)
        selectCell(col, row);
    event->accept();
}

void DrawGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    setFocus(Qt::MouseFocusReason);
    emit mousePressed(pos, event->button(), event->modifiers());
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint cell = mouseCoord(pos);
    if (cell.x() < 0 || cell.y() < 0)
        return;
    m_selecting = true;
    m_lastMousePos = pos;
    selectCell(cell.x(), cell.y());
}

void DrawGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    emit mouseMoved(pos, event->buttons(), event->modifiers());
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    m_lastMousePos = pos;
    if (!viewport()->rect().contains(pos)) {
        if (!m_autoScroll.isActive())
            m_autoScroll.start();
        return;
    }
    m_autoScroll.stop();
    const QPoint cell = mouseCoord(pos);
    if (cell.x() >= 0 && cell.y() >= 0 && (cell.x() != m_col || cell.y() != m_row))
        selectCell(cell.x(), cell.y());
}

void DrawGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_selecting = false;
        m_autoScroll.stop();
    }
    event->accept();
    emit mouseReleased(event->position().toPoint(), event->button(), event->modifiers());
}

// While the button is held beyond an edge, the current cell walks one cell towards the
// pointer per tick and the grid scrolls with it.
void DrawGrid::autoScrollStep() {
    if (!m_selecting) {
        m_autoScroll.stop();
        return;
    }
    const QRect view = viewport()->rect();
    int col = m_col;
    int row = m_row;
    if (m_lastMousePos.x() < view.left())
        --col;
    else if (m_lastMousePos.x() > view.right())
        ++col;
    if (m_lastMousePos.y() < view.top())
        --row;
    else if (m_lastMousePos.y() > view.bottom())
        ++row;
    col = std::clamp(col, 0, std::max(0, m_colCount - 1));
    row = std::clamp(row, 0, std::max(0, m_rowCount - 1));
    if (col != m_col || row != m_row)
        selectCell(col, row);
}

} // namespace tbapp
