#include "app/editor/IsoMapView.h"

#include "app/editor/ToolKeys.h"

#include "editor/MissingTransitions.h"
#include "iso/IsoGeometry.h"

#include <QAction>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace tbapp {
namespace {

constexpr int kWheelNotch = 120;
constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.25;
constexpr double kMaxZoom = 4.0;

tb::ToolModifiers modifiersOf(Qt::KeyboardModifiers held) {
    return {bool(held & Qt::ShiftModifier), bool(held & Qt::ControlModifier),
            bool(held & Qt::AltModifier)};
}

// Ctrl + `key` while the view has the focus, as the top-down view's undo keys.
QAction* addViewKey(QWidget* view, const char* name, Qt::Key key) {
    auto* action = new QAction(view);
    action->setObjectName(name);
    action->setShortcut(QKeySequence(QKeyCombination(Qt::ControlModifier, key)));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view->addAction(action);
    return action;
}

// The digit 0..9 of a key of the main keyboard, or -1.
int mainKeyboardDigit(const QKeyEvent* event) {
    if (event->modifiers() & Qt::KeypadModifier)
        return -1;
    const int key = event->key();
    return key >= Qt::Key_0 && key <= Qt::Key_9 ? key - Qt::Key_0 : -1;
}

} // namespace

IsoMapView::IsoMapView(tb::MapDocument& document, tb::Bookmarks& bookmarks, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(document), m_bookmarks(bookmarks) {
    setObjectName("IsoMapView");
    setAccessibleName("Isometric map view");
    viewport()->setObjectName("IsoMapViewport");
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(50, 50);
    m_painter.setBackground(qRgb(0, 0, 0));
    connect(addViewKey(this, "IsoUndoKey", Qt::Key_Z), &QAction::triggered, this,
            &IsoMapView::undoKeyPressed);
    connect(addViewKey(this, "IsoRedoKey", Qt::Key_Y), &QAction::triggered, this,
            &IsoMapView::redoKeyPressed);
    m_connection = m_document.connect(this);
    documentReplaced();
}

IsoMapView::~IsoMapView() = default;

bool IsoMapView::ready() const {
    return m_document.image().hasGeometry();
}

void IsoMapView::setGameData(const tb::ArtFiles* art, const tb::TileData* tiledata,
                             const tb::HueFile* hues) {
    m_painter.setArt(art);
    m_painter.setTileData(tiledata);
    m_painter.setHues(hues);
    updateScrollBars();
    redrawAll();
}

void IsoMapView::setItemsShown(bool shown) {
    m_itemsShown = shown;
    m_painter.setStatics(shown ? m_document.statics() : nullptr);
    redrawAll();
}

void IsoMapView::setMaxZ(int maxZ) {
    if (maxZ == m_painter.maxZ())
        return;
    m_painter.setMaxZ(maxZ);
    redrawAll();
}

void IsoMapView::setGrid(bool on) {
    if (on == m_painter.grid())
        return;
    m_painter.setGrid(on);
    redrawAll();
}

void IsoMapView::setTool(tb::MapTool* tool) {
    m_tool = tool;
    toolChanged();
}

void IsoMapView::toolChanged() {
    switch (m_tool ? m_tool->cursor() : tb::ToolCursor::Arrow) {
    case tb::ToolCursor::Arrow:
        viewport()->unsetCursor();
        break;
    case tb::ToolCursor::Cross:
        viewport()->setCursor(Qt::CrossCursor);
        break;
    case tb::ToolCursor::Move:
        viewport()->setCursor(Qt::SizeAllCursor);
        break;
    case tb::ToolCursor::Forbidden:
        viewport()->setCursor(Qt::ForbiddenCursor);
        break;
    }
    setAccessibleDescription(m_tool ? QString::fromStdString(m_tool->statusText()) : QString());
    viewport()->update();
}

QPoint IsoMapView::origin() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint IsoMapView::scenePoint(const QPoint& viewportPoint) const {
    return origin() + viewportPoint;
}

QPoint IsoMapView::viewportPointOfCell(int x, int y) const {
    const int z = m_document.image().contains(x, y) ? m_document.image().cell(x, y).altitude : 0;
    const int half = m_painter.halfTile();
    return m_painter.cellScenePoint(x, y, z) + QPoint(half, half) - origin();
}

// The scroll bars count scene pixels: their values are the scene point at the top left.
void IsoMapView::updateScrollBars() {
    const QRect bounds = ready() ? m_painter.sceneBounds() : QRect();
    const QSize size = viewport()->size();
    const int step = 2 * m_painter.halfTile();
    for (auto [bar, low, extent, page] :
         {std::tuple{horizontalScrollBar(), bounds.left(), bounds.width(), size.width()},
          std::tuple{verticalScrollBar(), bounds.top(), bounds.height(), size.height()}}) {
        bar->setRange(low, low + std::max(0, extent - page));
        bar->setPageStep(page);
        bar->setSingleStep(step);
    }
}

void IsoMapView::redrawAll() {
    m_stale = QRegion(viewport()->rect());
    viewport()->update();
}

void IsoMapView::sceneChanged(const QRect& sceneRect) {
    const QRect shown = sceneRect.translated(-origin()).intersected(viewport()->rect());
    if (shown.isEmpty())
        return;
    m_stale += shown;
    viewport()->update(shown);
}

void IsoMapView::cellsChanged(const tb::CellChange& change) {
    if (!ready())
        return;
    const tb::CellRect cells = change.bounds.united(change.itemBounds);
    if (cells.isEmpty())
        return;
    sceneChanged(m_painter.invalidate({cells.left, cells.top, cells.right, cells.bottom}));
}

// Another map, or its items read again: everything worked out goes.
void IsoMapView::documentReplaced() {
    m_painter.setMap(nullptr);
    m_painter.setStatics(nullptr);
    if (ready()) {
        m_painter.setMap(&m_document.image());
        m_painter.setStatics(m_itemsShown ? m_document.statics() : nullptr);
    }
    updateScrollBars();
    redrawAll();
}

void IsoMapView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    redrawAll();
}

void IsoMapView::scrollContentsBy(int, int) {
    // The frame moves with the scroll in paintEvent; only the strips it uncovers are drawn.
    viewport()->update();
}

// The frame kept from the last paint is moved by the scroll, then what it lacks is drawn.
void IsoMapView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    if (!ready()) {
        painter.fillRect(viewport()->rect(), Qt::black);
        return;
    }
    const QRect all = viewport()->rect();
    const QPoint now = origin();
    if (m_frame.size() != all.size()) {
        m_frame = QImage(all.size(), QImage::Format_RGB32);
        m_stale = QRegion(all);
    } else if (now != m_frameOrigin) {
        const QPoint moved = now - m_frameOrigin;
        if (std::abs(moved.x()) >= all.width() || std::abs(moved.y()) >= all.height()) {
            m_stale = QRegion(all);
        } else {
            m_frame = m_frame.copy(QRect(moved, all.size()));
            m_stale = m_stale.translated(-moved) + (QRegion(all) - QRegion(all.translated(-moved)));
        }
    }
    m_frameOrigin = now;
    for (const QRect& rect : m_stale)
        m_painter.draw(m_frame, rect.intersected(all), now);
    m_stale = QRegion();
    painter.drawImage(0, 0, m_frame);
    drawOverlay(painter);
}

tb::ToolEvent IsoMapView::eventAt(const QPoint& pos, Qt::MouseButton button,
                                  Qt::KeyboardModifiers modifiers) {
    tb::ToolEvent event;
    event.button = button == Qt::LeftButton    ? tb::ToolButton::Left
                   : button == Qt::RightButton ? tb::ToolButton::Right
                                               : tb::ToolButton::None;
    event.modifiers = modifiersOf(modifiers);
    const QPoint scene = scenePoint(pos);
    const std::optional<tbrender::IsoPick> pick = ready() ? m_painter.pick(scene) : std::nullopt;
    const tb::iso::CellPos cell = pick ? pick->cell : m_painter.cellAt(scene, 0);
    event.cell = {cell.x, cell.y};
    if (pick && pick->item && m_document.statics()) {
        // Its place among the cell's items, as the tools count them.
        const std::vector<tb::CellItem> items =
            tb::itemsOnCell(*m_document.statics(), cell.x, cell.y);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].block == pick->item->block && items[i].index == pick->item->index) {
                const tb::StaticRecord& r = pick->item->record;
                event.item =
                    tb::PointedItem{{cell.x, cell.y}, i, {cell.x, cell.y, r.id, r.z, r.hue}};
                break;
            }
    }
    return event;
}

void IsoMapView::pointerAt(const tb::ToolEvent& event, bool buttonHeld) {
    const bool cellMoved =
        !m_pointerCell || m_pointerCell->x != event.cell.x || m_pointerCell->y != event.cell.y;
    const bool itemMoved =
        m_pointedItem.has_value() != event.item.has_value() ||
        (m_pointedItem && event.item &&
         (m_pointedItem->index != event.item->index || !(m_pointedItem->cell == event.item->cell)));
    m_pointerCell = event.cell;
    m_pointedItem = event.item;
    if (!cellMoved && !itemMoved)
        return;
    if (m_tool) {
        tb::ToolEvent moved = event;
        if (buttonHeld)
            moved.button = tb::ToolButton::Left;
        m_tool->move(moved);
    }
    if (itemMoved)
        emit pointedItemChanged(m_pointedItem);
    if (m_document.image().contains(event.cell.x, event.cell.y))
        emit pointerMoved(event.cell.x, event.cell.y);
    else
        emit pointerLeftMap();
}

void IsoMapView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const tb::ToolEvent at = eventAt(pos, event->button(), event->modifiers());
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        emit strokeStarted();
        if (m_tool) {
            m_tool->press(at);
            m_tool->select(at);
        }
        m_selectedCell = at.cell;
        emit cellSelected(at.cell.x, at.cell.y);
    } else if (event->button() == Qt::RightButton &&
               m_document.image().contains(at.cell.x, at.cell.y)) {
        if (m_tool && m_tool->offersMenuAt(at.cell))
            emit toolMenuRequested(viewport()->mapToGlobal(pos));
        else
            emit tilePickRequested(at.cell.x, at.cell.y);
    }
}

void IsoMapView::mouseMoveEvent(QMouseEvent* event) {
    const bool held = m_pressed && (event->buttons() & Qt::LeftButton);
    const tb::ToolEvent at = eventAt(event->position().toPoint(),
                                     held ? Qt::LeftButton : Qt::NoButton, event->modifiers());
    pointerAt(at, held);
    // A cell entered while the button is held is a selection event, as in the grid.
    if (held && m_selectedCell && !(*m_selectedCell == at.cell)) {
        m_selectedCell = at.cell;
        if (m_tool)
            m_tool->select(at);
        emit cellSelected(at.cell.x, at.cell.y);
    }
}

void IsoMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    m_selectedCell.reset();
    if (m_tool)
        m_tool->release(eventAt(event->position().toPoint(), Qt::LeftButton, event->modifiers()));
    emit strokeEnded();
}

void IsoMapView::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    m_pointerCell.reset();
    if (m_tool)
        m_tool->leave();
}

// Ctrl + wheel zooms about the pointer; the wheel scrolls down and up, Shift + wheel sideways.
void IsoMapView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    const int notches = turn / kWheelNotch;
    if (notches == 0)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        const QPoint anchor = event->position().toPoint();
        const QPoint scene = scenePoint(anchor);
        const int before = m_painter.halfTile();
        setZoom(zoom() * std::pow(kZoomStep, notches));
        // The scene point under the pointer stays under it.
        const double ratio = double(m_painter.halfTile()) / before;
        horizontalScrollBar()->setValue(int(std::lround(scene.x() * ratio)) - anchor.x());
        verticalScrollBar()->setValue(int(std::lround(scene.y() * ratio)) - anchor.y());
        return;
    }
    const bool sideways = (event->modifiers() & Qt::ShiftModifier) || delta.y() == 0;
    QScrollBar* bar = sideways ? horizontalScrollBar() : verticalScrollBar();
    bar->setValue(bar->value() - notches * 3 * bar->singleStep());
}

void IsoMapView::setZoom(double zoom) {
    const QPoint centre = scenePoint(viewport()->rect().center());
    const int before = m_painter.halfTile();
    m_painter.setZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
    if (m_painter.halfTile() == before)
        return;
    const double ratio = double(m_painter.halfTile()) / before;
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(centre.x() * ratio)) - viewport()->width() / 2);
    verticalScrollBar()->setValue(int(std::lround(centre.y() * ratio)) - viewport()->height() / 2);
    redrawAll();
    emit zoomChanged(m_painter.zoom());
}

void IsoMapView::keyPressEvent(QKeyEvent* event) {
    if (const std::optional<tb::ToolKey> key = toolKeyOf(*event);
        key && m_tool && m_tool->key(*key))
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Left:
        h->setValue(h->value() - h->singleStep());
        return;
    case Qt::Key_Right:
        h->setValue(h->value() + h->singleStep());
        return;
    case Qt::Key_Up:
        v->setValue(v->value() - v->singleStep());
        return;
    case Qt::Key_Down:
        v->setValue(v->value() + v->singleStep());
        return;
    case Qt::Key_Insert:
        emit insertKeyPressed();
        return;
    default:
        break;
    }
    if (const int digit = mainKeyboardDigit(event); digit >= 0 && ctrl) {
        // Set at the cell under the pointer, as the top-down view sets at its framed cell.
        const tb::CellPoint at = m_pointerCell.value_or(tb::CellPoint{0, 0});
        const tb::BookmarkChordResult chord =
            tb::bookmarkChord(m_bookmarks, digit, ctrl, alt, at.x, at.y);
        if (chord.repaintView)
            emit bookmarksChanged();
        if (chord.jumpTo)
            emit bookmarkRecalled(chord.jumpTo->x, chord.jumpTo->y);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void IsoMapView::centreOn(int x, int y) {
    const QPoint cell = viewportPointOfCell(x, y) + origin();
    horizontalScrollBar()->setValue(cell.x() - viewport()->width() / 2);
    verticalScrollBar()->setValue(cell.y() - viewport()->height() / 2);
}

tb::CellRect IsoMapView::cellsInView() const {
    if (!ready())
        return {};
    const tb::iso::CellBox box = m_painter.cellsShown(QRect(origin(), viewport()->size()));
    return {box.x1, box.y1, box.x2, box.y2};
}

QImage IsoMapView::viewPicture() {
    QImage picture(viewport()->size(), QImage::Format_RGB32);
    picture.fill(Qt::black);
    if (ready())
        m_painter.draw(picture, picture.rect(), origin());
    return picture;
}

QPolygon IsoMapView::cellDiamond(int x, int y) const {
    const int z = m_document.image().contains(x, y) ? m_document.image().cell(x, y).altitude : 0;
    const int h = m_painter.halfTile();
    const QPoint p = m_painter.cellScenePoint(x, y, z) - origin();
    return QPolygon(
        {p + QPoint(h, 0), p + QPoint(2 * h, h), p + QPoint(h, 2 * h), p + QPoint(0, h)});
}

// The outline of a rectangle of cells: the outer corners of its four corner cells.
QPolygon IsoMapView::rectOutline(const tb::CellRect& cells) const {
    const QPolygon topLeft = cellDiamond(cells.left, cells.top);
    const QPolygon topRight = cellDiamond(cells.right, cells.top);
    const QPolygon bottomRight = cellDiamond(cells.right, cells.bottom);
    const QPolygon bottomLeft = cellDiamond(cells.left, cells.bottom);
    return QPolygon({topLeft[0], topRight[1], bottomRight[2], bottomLeft[3]});
}

void IsoMapView::drawOverlay(QPainter& painter) {
    if (!m_tool)
        return;
    const tb::ToolOverlay overlay = m_tool->overlay();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    if (!overlay.footprint.isEmpty()) {
        painter.setPen(QPen(QColor(255, 255, 255, 180), 1));
        painter.drawPolygon(rectOutline(overlay.footprint));
    }
    if (overlay.anchor) {
        painter.setPen(QPen(Qt::cyan, 2));
        painter.drawPolygon(cellDiamond(overlay.anchor->x, overlay.anchor->y));
    }
    if (!overlay.selection.isEmpty()) {
        painter.setPen(QPen(Qt::yellow, 2, Qt::DashLine));
        painter.drawPolygon(rectOutline(overlay.selection));
    }
    if (overlay.marked) {
        // The missing transitions in view, outlined in red and tinted inside.
        painter.setPen(QPen(QColor(235, 20, 20), 2));
        painter.setBrush(QColor(235, 20, 20, 60));
        for (const tb::CellPoint& cell : overlay.marked->within(cellsInView()))
            painter.drawPolygon(cellDiamond(cell.x, cell.y));
        painter.setBrush(Qt::NoBrush);
    }
    if (overlay.pickedItem) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 0, 90));
        painter.drawPolygon(cellDiamond(overlay.pickedItem->x, overlay.pickedItem->y));
        painter.setBrush(Qt::NoBrush);
    }
    for (const tb::PlacedItem& item : overlay.preview) {
        // Where the item will stand: its cell's diamond raised to its z.
        const int h = m_painter.halfTile();
        const QPoint p = m_painter.cellScenePoint(item.x, item.y, item.z) - origin();
        painter.setPen(QPen(QColor(80, 255, 80), 2));
        painter.setBrush(QColor(80, 255, 80, 70));
        painter.drawPolygon(QPolygon(
            {p + QPoint(h, 0), p + QPoint(2 * h, h), p + QPoint(h, 2 * h), p + QPoint(0, h)}));
        painter.setBrush(Qt::NoBrush);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QString status = QString::fromStdString(m_tool->statusText());
    if (!status.isEmpty()) {
        const QFontMetrics metrics(painter.font());
        QRect box = metrics.boundingRect(status).adjusted(-4, -2, 4, 2);
        box.moveBottomLeft(viewport()->rect().bottomLeft() + QPoint(4, -4));
        painter.fillRect(box, QColor(0, 0, 0, 170));
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, status);
    }
}

} // namespace tbapp
