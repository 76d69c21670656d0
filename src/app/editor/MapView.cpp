#include "app/editor/MapView.h"

#include "app/editor/ToolKeys.h"
#include "app/shell/DrawGrid.h"

#include "editor/MissingTransitions.h"
#include "editor/Navigation.h"

#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <optional>

namespace tbapp {
namespace {

// The design size of the grid until a map path is identified.
constexpr int kDesignColumns = 6144;
constexpr int kDesignRows = 4096;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;

std::optional<tb::ArrowKey> arrowKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return tb::ArrowKey::Left;
    case Qt::Key_Up:
        return tb::ArrowKey::Up;
    case Qt::Key_Right:
        return tb::ArrowKey::Right;
    case Qt::Key_Down:
        return tb::ArrowKey::Down;
    default:
        return std::nullopt;
    }
}

// The other keys the grid moves its selected cell for.
bool movesByPage(int key) {
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
           key == Qt::Key_End;
}

// The digit 0..9 of a key of the main keyboard, or -1 (keypad digits are not chords).
int mainKeyboardDigit(const QKeyEvent* event) {
    if (event->modifiers() & Qt::KeypadModifier)
        return -1;
    const int key = event->key();
    return key >= Qt::Key_0 && key <= Qt::Key_9 ? key - Qt::Key_0 : -1;
}

// A key of the grid as an action: Ctrl + `key` while the grid has the focus, whatever other
// modifiers are held with it.
QAction* addGridKey(QWidget* grid, const char* name, Qt::Key key) {
    auto* action = new QAction(grid);
    action->setObjectName(name);
    QList<QKeySequence> keys;
    for (Qt::KeyboardModifiers extra :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::AltModifier), Qt::ShiftModifier | Qt::AltModifier})
        keys << QKeySequence(QKeyCombination(Qt::ControlModifier | extra, key));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    grid->addAction(action);
    return action;
}

} // namespace

MapView::MapView(tb::MapDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    setObjectName("MapView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grid = new DrawGrid(this);
    m_grid->setObjectName("MainDrawGrid");
    m_grid->setBackgroundColour(Qt::black);
    m_grid->setGridLineWidth(0);
    m_grid->setDefaultColWidth(m_zoom.cellSize);
    m_grid->setDefaultRowHeight(m_zoom.cellSize);
    m_grid->setColCount(kDesignColumns);
    m_grid->setRowCount(kDesignRows);
    layout->addWidget(m_grid);
    // The view may shrink to nothing; the panels around it keep their room.
    m_grid->setMinimumSize(50, 50);

    m_cellPainter.setBookmarks(&m_cellBookmarks);
    m_cellPainter.setFont(m_grid->font());
    m_grid->setDrawCellHandler(
        [this](QPainter& painter, int col, int row, const QRect& rect, bool selected) {
            m_cellPainter.drawCell(painter, m_grid->paintSurface(), col, row, rect, selected);
        });
    // A whole row at a time, so the common case stays one tight loop over the cells.
    m_grid->setDrawRowHandler([this](QPainter& painter, int row, int firstCol, int lastCol,
                                     const QRect& firstRect, int stepX, int selectedCol) {
        m_cellPainter.drawRow(painter, m_grid->paintSurface(), row, firstCol, lastCol, firstRect,
                              stepX, selectedCol);
    });
    m_grid->setSelectCellHandler([this](int col, int row) {
        if (m_tool) {
            tb::ToolEvent event;
            event.cell = {col, row};
            event.button = tb::ToolButton::Left;
            const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
            event.modifiers = {bool(held & Qt::ShiftModifier), bool(held & Qt::ControlModifier),
                               bool(held & Qt::AltModifier)};
            m_tool->select(event);
        }
        emit cellSelected(col, row);
    });
    m_grid->setKeyHandler([this](QKeyEvent* event) { return keyPressed(event); });
    m_grid->setOverlayHandler([this](QPainter& painter) { drawOverlay(painter); });
    // Undo and redo work while the map has the keyboard focus; the Edit menu's entries name
    // these keys in their captions only.
    connect(addGridKey(m_grid, "UndoKey", Qt::Key_Z), &QAction::triggered, this,
            &MapView::undoKeyPressed);
    connect(addGridKey(m_grid, "RedoKey", Qt::Key_Y), &QAction::triggered, this,
            &MapView::redoKeyPressed);
    connect(m_grid, &DrawGrid::mouseMoved, this,
            [this](const QPoint& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
                const QPoint cell = m_grid->mouseCoord(pos);
                if (m_tool && cell.x() >= 0 && cell.y() >= 0 && m_pointerCell != cell) {
                    m_pointerCell = cell;
                    tb::ToolEvent event = toolEvent(pos, Qt::NoButton, modifiers);
                    if (buttons & Qt::LeftButton)
                        event.button = tb::ToolButton::Left;
                    m_tool->move(event);
                }
                // Past the map's last column or row, or beside every cell: no cell there.
                const bool overMap =
                    cell.x() >= 0 && cell.y() >= 0 &&
                    (!m_mapSize || (cell.x() < m_mapSize->width && cell.y() < m_mapSize->height));
                if (overMap)
                    emit pointerMoved(cell.x(), cell.y());
                else
                    emit pointerLeftMap();
            });
    connect(m_grid, &DrawGrid::mousePressed, this,
            [this](const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                const QPoint cell = m_grid->mouseCoord(pos);
                if (button == Qt::LeftButton) {
                    emit strokeStarted();
                    if (m_tool)
                        m_tool->press(toolEvent(pos, button, modifiers));
                }
                if (button == Qt::RightButton && cell.x() >= 0 && cell.y() >= 0) {
                    if (m_tool && m_tool->offersMenuAt({cell.x(), cell.y()}))
                        emit toolMenuRequested(m_grid->viewport()->mapToGlobal(pos));
                    else
                        emit tilePickRequested(cell.x(), cell.y());
                }
            });
    connect(m_grid, &DrawGrid::mouseReleased, this,
            [this](const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                if (button != Qt::LeftButton)
                    return;
                if (m_tool)
                    m_tool->release(toolEvent(pos, button, modifiers));
                emit strokeEnded();
            });
    m_grid->viewport()->installEventFilter(this);
    // The view follows the document: every change of cells is drawn from its notification.
    m_refresher = std::make_unique<MapViewRefresher>(m_document, *m_grid,
                                                     [this] { m_cellPainter.staticsEdited(); });
}

MapView::~MapView() = default;

void MapView::setMap(const tb::MapImage* map, const tb::ArtFiles* art) {
    m_cellPainter.setMap(map);
    m_cellPainter.setArt(art);
    m_grid->invalidateGrid();
}

void MapView::setDimensions(int columns, int rows) {
    m_grid->setColCount(columns);
    m_grid->setRowCount(rows);
}

void MapView::setMapSize(std::optional<tb::MapSize> size) {
    m_mapSize = size;
}

void MapView::setSwitches(const tbrender::CellViewSwitches& switches) {
    m_cellPainter.setSwitches(switches);
    m_grid->invalidateGrid();
}

void MapView::setStatics(const tb::StaticsMap* statics, const tb::StaticRadarColours* colours) {
    m_cellPainter.setStatics(statics, colours);
    m_grid->invalidateGrid();
}

void MapView::setGridLines(bool on) {
    m_grid->setGridLineWidth(on ? 1 : 0);
    m_grid->invalidateGrid();
}

QImage MapView::itemPicture(std::uint16_t id, int size, std::uint16_t hue) {
    return m_cellPainter.itemPicture(id, size, hue);
}

void MapView::setHues(const tb::HueFile* hues, const tb::TileData* tiledata) {
    m_cellPainter.setHues(hues, tiledata);
    m_grid->invalidateGrid();
}

void MapView::setMaxZ(int maxZ) {
    m_cellPainter.setMaxZ(maxZ);
    m_grid->invalidateGrid();
}

QImage MapView::tilePicture(std::uint16_t tileId, int size) {
    return m_cellPainter.tilePicture(tileId, size, size);
}

void MapView::repaintCells() {
    m_grid->invalidateGrid();
}

QImage MapView::viewPicture() {
    QImage picture(m_grid->viewport()->size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    m_grid->renderCells(picture, picture.rect());
    return picture;
}

void MapView::repaintSelectedCell() {
    m_grid->invalidateCell(m_grid->col(), m_grid->row());
}

void MapView::zoomIn() {
    tb::zoomIn(m_zoom);
    applyZoom({-1, -1});
}

void MapView::zoomOut() {
    tb::zoomOut(m_zoom);
    applyZoom({-1, -1});
}

void MapView::zoomDefault() {
    tb::zoomDefault(m_zoom);
    applyZoom({-1, -1});
}

void MapView::applyStoredZoom(int level) {
    tb::applyStoredZoom(m_zoom, level);
    applyZoom({-1, -1});
}

// The new cell size; with an anchor inside the view (a viewport point) the cell under it
// stays under it. The cell painter drops its pictures itself when it sees the new size.
void MapView::applyZoom(const QPoint& anchor) {
    const QPoint anchorCell = m_grid->mouseCoord(anchor);
    m_grid->setDefaultColWidth(m_zoom.cellSize);
    m_grid->setDefaultRowHeight(m_zoom.cellSize);
    if (anchor.x() >= 0 && anchorCell.x() >= 0 && anchorCell.y() >= 0) {
        const int step = m_grid->defaultColWidth() + m_grid->gridLineWidth();
        m_grid->setLeftCol(tb::anchoredFirstCell(anchorCell.x(), anchor.x(), step));
        m_grid->setTopRow(tb::anchoredFirstCell(anchorCell.y(), anchor.y(), step));
    }
    emit zoomChanged(m_zoom);
}

void MapView::jumpTo(const QString& xText, const QString& yText) {
    // The moves of a jump paint nothing; the handler comes back also when a text fails.
    DrawGrid::SelectionDetacher detached(*m_grid);
    const tb::JumpPlan plan =
        tb::planJump(xText.toStdString(), yText.toStdString(), m_grid->colCount(),
                     m_grid->rowCount(), m_grid->col(), m_grid->row());
    if (plan.preColumn)
        m_grid->setCol(*plan.preColumn);
    if (plan.preRow)
        m_grid->setRow(*plan.preRow);
    m_grid->setCol(plan.x);
    m_grid->setRow(plan.y);
    centreOn(plan.x, plan.y);
}

// A jump's target in the middle of the view, not at the edge it was scrolled in from.
void MapView::centreOn(int x, int y) {
    m_grid->setLeftCol(std::max(0, x - m_grid->visibleColCount() / 2));
    m_grid->setTopRow(std::max(0, y - m_grid->visibleRowCount() / 2));
}

QPoint MapView::selectedCell() const {
    return {m_grid->col(), m_grid->row()};
}

tb::CellRect MapView::cellsInView() const {
    const int x = m_grid->leftCol();
    const int y = m_grid->topRow();
    return {x, y, x + std::max(m_grid->visibleColCount(), 1) - 1,
            y + std::max(m_grid->visibleRowCount(), 1) - 1};
}

void MapView::setTool(tb::MapTool* tool) {
    m_tool = tool;
    toolChanged();
}

void MapView::toolChanged() {
    m_grid->setAccessibleDescription(m_tool ? QString::fromStdString(m_tool->statusText())
                                            : QString());
    switch (m_tool ? m_tool->cursor() : tb::ToolCursor::Arrow) {
    case tb::ToolCursor::Arrow:
        m_grid->viewport()->unsetCursor();
        break;
    case tb::ToolCursor::Cross:
        m_grid->viewport()->setCursor(Qt::CrossCursor);
        break;
    case tb::ToolCursor::Move:
        m_grid->viewport()->setCursor(Qt::SizeAllCursor);
        break;
    case tb::ToolCursor::Forbidden:
        m_grid->viewport()->setCursor(Qt::ForbiddenCursor);
        break;
    }
    m_grid->viewport()->update();
}

tb::ToolEvent MapView::toolEvent(const QPoint& pos, Qt::MouseButton button,
                                 Qt::KeyboardModifiers modifiers) const {
    tb::ToolEvent event;
    const QPoint cell = m_grid->mouseCoord(pos);
    event.cell = {cell.x(), cell.y()};
    event.button = button == Qt::LeftButton    ? tb::ToolButton::Left
                   : button == Qt::RightButton ? tb::ToolButton::Right
                                               : tb::ToolButton::None;
    event.modifiers = {bool(modifiers & Qt::ShiftModifier), bool(modifiers & Qt::ControlModifier),
                       bool(modifiers & Qt::AltModifier)};
    return event;
}

// The tool's overlay over the cells: the item selection dashed, a picked item marked in its
// cell's corner, the brush's cells and a pending first corner thin, the missing transitions
// red, previews as a square.
void MapView::drawOverlay(QPainter& painter) {
    if (!m_tool)
        return;
    const tb::ToolOverlay overlay = m_tool->overlay();
    auto rectOf = [this](const tb::CellRect& cells) {
        const QRect first = m_grid->cellRect(cells.left, cells.top);
        const QRect last = m_grid->cellRect(cells.right, cells.bottom);
        return QRect(first.topLeft(), last.bottomRight());
    };
    painter.setBrush(Qt::NoBrush);
    if (!overlay.footprint.isEmpty()) {
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
        painter.drawRect(rectOf(overlay.footprint).adjusted(0, 0, -1, -1));
    }
    if (overlay.anchor) {
        painter.setPen(QPen(Qt::cyan, 2));
        painter.drawRect(
            m_grid->cellRect(overlay.anchor->x, overlay.anchor->y).adjusted(1, 1, -1, -1));
    }
    if (!overlay.selection.isEmpty()) {
        painter.setPen(QPen(Qt::yellow, 2, Qt::DashLine));
        painter.drawRect(rectOf(overlay.selection).adjusted(1, 1, -1, -1));
    }
    if (overlay.pickedItem) {
        const QRect cell = m_grid->cellRect(overlay.pickedItem->x, overlay.pickedItem->y);
        const int mark = std::max(3, cell.width() / 4);
        painter.fillRect(QRect(cell.topLeft() + QPoint(2, 2), QSize(mark, mark)), Qt::yellow);
    }
    if (overlay.marked)
        drawMarkedCells(painter, *overlay.marked);
    for (const tb::PlacedItem& item : overlay.preview) {
        const QRect cell = m_grid->cellRect(item.x, item.y);
        const int side = std::max(2, cell.width() / 2);
        painter.fillRect(QRect(cell.center() - QPoint(side / 2, side / 2), QSize(side, side)),
                         QColor(80, 255, 80, 170));
    }
    // What the tool would do next, in the view's lower left corner.
    const QString status = QString::fromStdString(m_tool->statusText());
    if (!status.isEmpty()) {
        const QFontMetrics metrics(painter.font());
        QRect box = metrics.boundingRect(status).adjusted(-4, -2, 4, 2);
        box.moveBottomLeft(m_grid->viewport()->rect().bottomLeft() + QPoint(4, -4));
        painter.fillRect(box, QColor(0, 0, 0, 170));
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, status);
    }
}

// The missing transitions in view, outlined in red; cells too small for an outline are
// filled.
void MapView::drawMarkedCells(QPainter& painter, const tb::MissingTransitions& marked) {
    const int left = m_grid->leftCol();
    const int top = m_grid->topRow();
    const tb::CellRect visible{left, top, left + m_grid->visibleColCount(),
                               top + m_grid->visibleRowCount()};
    const QColor red(235, 20, 20);
    // Tinted inside, so the outline stands apart from the selected cell's thin red frame.
    painter.setPen(QPen(red, 2));
    painter.setBrush(QColor(235, 20, 20, 60));
    for (const tb::CellPoint& cell : marked.within(visible)) {
        const QRect rect = m_grid->cellRect(cell.x, cell.y);
        if (rect.width() < 6)
            painter.fillRect(rect, red);
        else
            painter.drawRect(rect.adjusted(1, 1, -1, -1));
    }
    painter.setBrush(Qt::NoBrush);
}

void MapView::showBookmarks() {
    for (int i = 0; i < tb::kBookmarkCount; ++i) {
        const tb::Bookmark& b = m_bookmarks.at(i);
        m_cellBookmarks[std::size_t(i)] = tbrender::CellBookmark{b.col, b.row, b.enabled};
    }
    m_grid->invalidateGrid();
}

// True when the tool took the key.
bool MapView::toolKey(QKeyEvent* event) {
    const std::optional<tb::ToolKey> key = toolKeyOf(*event);
    return m_tool && key && m_tool->key(*key);
}

// The keys of the map view, before the grid moves its selected cell. An arrow key scrolls
// one step and marks a key move (so the grid's own move does not paint); Insert is handed
// on; Ctrl+Alt+N toggles bookmark N at the selected cell and Ctrl+N (also with Alt) recalls
// it. True when the grid must not move for the key. (Ctrl+Z and Ctrl+Y are actions.)
bool MapView::keyPressed(QKeyEvent* event) {
    if (toolKey(event))
        return true;
    if (const std::optional<tb::ArrowKey> arrow = arrowKey(event->key())) {
        const tb::ScrollPosition next = tb::scrollForArrowKey(
            *arrow, {m_grid->leftCol(), m_grid->topRow()}, m_grid->colCount(), m_grid->rowCount());
        m_grid->setLeftCol(next.leftColumn);
        m_grid->setTopRow(next.topRow);
        if (m_tool)
            m_tool->key(tb::ToolKey::NavigationMove);
        emit navigatedByKey();
        return false;
    }
    if (movesByPage(event->key())) {
        if (m_tool)
            m_tool->key(tb::ToolKey::NavigationMove);
        emit navigatedByKey();
        return false;
    }
    if (event->key() == Qt::Key_Insert) {
        emit insertKeyPressed();
        return true;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (const int digit = mainKeyboardDigit(event); digit >= 0) {
        const tb::BookmarkChordResult chord =
            tb::bookmarkChord(m_bookmarks, digit, ctrl, alt, m_grid->col(), m_grid->row());
        if (chord.repaintView)
            showBookmarks();
        if (chord.jumpTo)
            emit bookmarkRecalled(chord.jumpTo->x, chord.jumpTo->y);
        return ctrl;
    }
    return false;
}

// Ctrl + wheel zooms one step per notch about the pointer; the wheel scrolls three cells a
// notch, down and up or, with Shift, right and left.
bool MapView::wheelTurned(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    const int notches = turn / kWheelNotch;
    if (notches == 0)
        return true;
    if (event->modifiers() & Qt::ControlModifier) {
        const QPoint anchor = event->position().toPoint();
        for (int i = 0; i < std::abs(notches); ++i) {
            const bool in = notches > 0;
            if (in ? !m_zoom.zoomInEnabled : !m_zoom.zoomOutEnabled)
                break;
            in ? tb::zoomIn(m_zoom) : tb::zoomOut(m_zoom);
            applyZoom(anchor);
        }
        return true;
    }
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    QScrollBar* bar = sideways ? m_grid->horizontalScrollBar() : m_grid->verticalScrollBar();
    bar->setValue(bar->value() - notches * 3);
    return true;
}

bool MapView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Leave:
        m_pointerCell.reset();
        if (m_tool)
            m_tool->leave();
        break;
    case QEvent::Wheel:
        return wheelTurned(static_cast<QWheelEvent*>(event));
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton)
            break;
        m_panning = true;
        m_panStart = mouse->position().toPoint();
        m_panFirstCell = QPoint(m_grid->leftCol(), m_grid->topRow());
        m_grid->viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        if (!m_panning)
            break;
        // The view follows the pointer a whole cell at a time.
        const QPoint moved = static_cast<QMouseEvent*>(event)->position().toPoint() - m_panStart;
        const int step = m_grid->defaultColWidth() + m_grid->gridLineWidth();
        m_grid->setLeftCol(m_panFirstCell.x() - moved.x() / step);
        m_grid->setTopRow(m_panFirstCell.y() - moved.y() / step);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_panning || static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton)
            break;
        m_panning = false;
        m_grid->viewport()->unsetCursor();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tbapp
