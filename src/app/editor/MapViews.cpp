#include "app/editor/MapViews.h"

#include "app/editor/IsoMapView.h"
#include "app/editor/MapView.h"
#include "app/editor/ToolIcons.h"

#include <QAction>

namespace tbapp {

MapViews::MapViews(tb::MapDocument& document, QWidget* parent)
    : QStackedWidget(parent), m_document(document) {
    setObjectName("MapViews");
    m_topDown = new MapView(document, this);
    m_iso = new IsoMapView(document, m_topDown->bookmarks(), this);
    addWidget(m_topDown);
    addWidget(m_iso);
    forward(m_topDown);
    forward(m_iso);
    connect(m_topDown, &MapView::navigatedByKey, this, &MapViews::navigatedByKey);
    connect(m_iso, &IsoMapView::pointedItemChanged, this, &MapViews::pointedItemChanged);
    // A bookmark set in the isometric view shows on the chart's labels too.
    connect(m_iso, &IsoMapView::bookmarksChanged, m_topDown, &MapView::showBookmarks);

    m_isoAction = new QAction(isometricViewIcon(), "Isometric view", this);
    m_isoAction->setCheckable(true);
    m_isoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    m_isoAction->setShortcutContext(Qt::ApplicationShortcut);
    m_isoAction->setToolTip("Isometric view: the map as the game draws it (Ctrl+I)");
    connect(m_isoAction, &QAction::toggled, this, &MapViews::setIsometric);
}

// The signals both views have, as this widget's; the rows of a press form one stroke.
template <typename View> void MapViews::forward(View* view) {
    connect(view, &View::cellSelected, this, &MapViews::cellSelected);
    connect(view, &View::pointerMoved, this, &MapViews::pointerMoved);
    connect(view, &View::pointerLeftMap, this, &MapViews::pointerLeftMap);
    connect(view, &View::strokeStarted, this, [this] {
        m_document.beginStroke();
        emit strokeStarted();
    });
    connect(view, &View::strokeEnded, this, [this] {
        m_document.endStroke();
        emit strokeEnded();
    });
    connect(view, &View::tilePickRequested, this, &MapViews::tilePickRequested);
    connect(view, &View::toolMenuRequested, this, &MapViews::toolMenuRequested);
    connect(view, &View::undoKeyPressed, this, &MapViews::undoKeyPressed);
    connect(view, &View::redoKeyPressed, this, &MapViews::redoKeyPressed);
    connect(view, &View::insertKeyPressed, this, &MapViews::insertKeyPressed);
    connect(view, &View::bookmarkRecalled, this, &MapViews::bookmarkRecalled);
}

bool MapViews::isometric() const {
    return currentWidget() == m_iso;
}

// The isometric view opens on the cell the chart had framed.
void MapViews::setIsometric(bool on) {
    if (m_isoAction->isChecked() != on)
        m_isoAction->setChecked(on);
    setCurrentWidget(on ? static_cast<QWidget*>(m_iso) : m_topDown);
    if (on)
        m_iso->centreOn(m_topDown->selectedCell().x(), m_topDown->selectedCell().y());
    currentWidget()->setFocus();
    emit pointedItemChanged(std::nullopt);
}

void MapViews::setTool(tb::MapTool* tool) {
    m_topDown->setTool(tool);
    m_iso->setTool(tool);
}

void MapViews::toolChanged() {
    m_topDown->toolChanged();
    m_iso->toolChanged();
}

void MapViews::setGameData(const tb::ArtFiles* art, const tb::TileData* tiledata,
                           const tb::HueFile* hues) {
    m_topDown->setHues(hues, tiledata);
    m_iso->setGameData(art, tiledata, hues);
}

void MapViews::setMaxZ(int maxZ) {
    m_topDown->setMaxZ(maxZ);
    m_iso->setMaxZ(maxZ);
}

void MapViews::setGrid(bool on) {
    m_iso->setGrid(on);
}

void MapViews::setItemsShown(bool shown) {
    m_iso->setItemsShown(shown);
}

void MapViews::centreOn(int x, int y) {
    if (isometric())
        m_iso->centreOn(x, y);
    else
        m_topDown->centreOn(x, y);
}

tb::CellRect MapViews::visibleCells() const {
    return isometric() ? m_iso->cellsInView() : m_topDown->cellsInView();
}

QImage MapViews::viewPicture() {
    return isometric() ? m_iso->viewPicture() : m_topDown->viewPicture();
}

} // namespace tbapp
