#include "app/editor/MapEditorWindow.h"

#include "app/editor/BookmarkStorage.h"
#include "app/editor/BottomPanel.h"
#include "app/editor/CatalogueCommands.h"
#include "app/editor/DiskChangeCheck.h"
#include "app/editor/EditorStatusBar.h"
#include "app/editor/FilePanel.h"
#include "app/editor/HeightmapCommands.h"
#include "app/editor/IsoMapView.h"
#include "app/editor/ItemsLayer.h"
#include "app/editor/LeftPanel.h"
#include "app/editor/MainMenus.h"
#include "app/editor/MapFileCommands.h"
#include "app/editor/MapToolbox.h"
#include "app/editor/MapView.h"
#include "app/editor/MapViews.h"
#include "app/editor/StaticsCompaction.h"
#include "app/editor/TilePalette.h"
#include "app/editor/ToolBarPanel.h"
#include "app/editor/ToolWindowCommands.h"
#include "app/editor/ViewPictureExport.h"
#include "app/editor/ViewSettingsStore.h"

#include "app/core/OverviewWindow.h"
#include "app/editor/ItemCommands.h"
#include "app/items/ItemBrowserDock.h"
#include "app/items/ItemsPanelDock.h"
#include "app/shell/Prompts.h"
#include "app/shell/ScrollableBar.h"
#include "app/shell/Settings.h"
#include "app/shell/UiPath.h"
#include "app/tools/NewWorldDialog.h"

#include "editor/AltitudeTool.h"
#include "editor/StatusText.h"
#include "shell/FileIdentity.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <filesystem>
#include <utility>

namespace tbapp {
namespace {} // namespace

MapEditorWindow::MapEditorWindow(QSettings& settings, const QString& applicationDir,
                                 std::mt19937& random, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_applicationDir(applicationDir), m_random(random),
      m_prompts(prompts) {
    setObjectName("TBHMapEditForm");
    // "[*]" shows Qt's mark of unsaved changes; without changes the caption reads as before.
    setWindowTitle("Tolvane Brimholt 1.4.1 (x64)[*]");
    m_menus = new MainMenus(menuBar(), this);
    buildPanels();
    connectPanels();
    connectMenus();
    m_documentConnection = m_document.connect(this);

    placeWindow(m_settings, *this);

    // Creation: the view settings, the tile groups, the texture lists, the bookmarks, the
    // brush list and the radar colours; then no fill is pending and no map is loaded.
    readViewSettings();
    m_catalogues->loadTileGroups();
    m_catalogues->loadDefaultTextureList();
    readBookmarks(m_applicationDir, *m_mapView, m_prompts, this);
    m_toolBar->listBrushes();
    runReported(m_prompts, this, [&] { readRadarColours(); });
    m_painter.reset();
}

MapEditorWindow::~MapEditorWindow() {
    // The panels and docks hold the document and the editor state, members that die before
    // the window's children would: they go first.
    delete takeCentralWidget();
    delete std::exchange(m_toolbox, nullptr);
    delete std::exchange(m_itemsPanel, nullptr);
}

void MapEditorWindow::buildPanels() {
    m_toolBar = new ToolBarPanel(m_state, m_applicationDir, m_prompts, this);
    m_leftPanel = new LeftPanel(m_state, this);
    // The map as a chart from above, or as the game draws it (View > "Isometric view").
    m_views = new MapViews(m_document, this);
    m_mapView = &m_views->topDown();
    m_palette = new TilePalette(m_state, m_applicationDir, m_prompts, this);
    m_bottomPanel = new BottomPanel(m_state, this);
    m_filePanel = new FilePanel(m_prompts, this);
    m_statusBar = new EditorStatusBar(m_tasks, this);
    m_files = new MapFileCommands(m_document, m_art, *m_filePanel, m_settings, m_prompts,
                                  m_documentJobs, this);
    m_heightmaps = new HeightmapCommands(
        m_document, [this] { return mapLoaded(); }, m_prompts, m_documentJobs, m_exportJobs, this);
    m_itemsLayer = new ItemsLayer(m_prompts, m_document, *m_files, this);
    m_compaction = new StaticsCompaction(m_document, *m_files, m_documentJobs, m_prompts, this);
    m_diskChanges = new DiskChangeCheck(
        *m_files, *m_itemsLayer, m_document, [this] { reloadMap(); }, m_prompts, m_documentJobs,
        this);
    m_files->setSaveCheck(
        [this](const std::filesystem::path& target) { return m_diskChanges->allowSave(target); });
    m_tools = new ToolWindowCommands(*this, m_applicationDir, m_prompts, m_documentJobs, this);
    m_catalogues = new CatalogueCommands(
        m_applicationDir, *m_toolBar, *m_palette, *m_bottomPanel,
        [this] { return mapLoaded() ? &m_art : nullptr; }, m_prompts, this);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    // The rows above and below the map scroll sideways in a narrow window, so a dock opened
    // beside the map takes its room from the map.
    outer->addWidget(new ScrollableBar(m_toolBar, central));
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(m_leftPanel);
    middle->addWidget(m_views, 1); // extra room goes to the map
    middle->addWidget(m_palette);
    outer->addLayout(middle, 1);
    outer->addWidget(new ScrollableBar(m_bottomPanel, central));
    outer->addWidget(new ScrollableBar(m_filePanel, central));
    setCentralWidget(central);
    setStatusBar(m_statusBar);
    // Shut until the user opens it from View.
    m_itemBrowser = new ItemBrowserDock(this);
    addDockWidget(Qt::RightDockWidgetArea, m_itemBrowser);
    m_itemBrowser->hide();
    m_menus->addViewToggle(m_itemBrowser->toggleViewAction(), "ItemBrowser1");
    m_itemsPanel = new ItemsPanelDock(m_document, *m_itemBrowser, this);
    addDockWidget(Qt::RightDockWidgetArea, m_itemsPanel);
    m_itemsPanel->hide();
    m_menus->addViewToggle(m_itemsPanel->toggleViewAction(), "ItemsPanel1");
    m_toolbox = new MapToolbox(ToolboxContext{
        m_document, m_state, m_painter, m_randomSource, [this] { return editableDocument(); },
        [this] { return itemTileData(); }, m_applicationDir, m_prompts, m_documentJobs, *this,
        *m_menus, *m_toolBar, *m_leftPanel, *m_bottomPanel, *m_views, *m_itemBrowser, *m_itemsPanel,
        *m_statusBar});
}

void MapEditorWindow::connectPanels() {
    connectMapViews();
    connect(m_toolBar, &ToolBarPanel::exitClicked, this, &QWidget::close);
    connect(m_toolBar, &ToolBarPanel::overviewClicked, this, &MapEditorWindow::showOverview);
    connect(m_toolBar, &ToolBarPanel::editBrushesClicked, m_catalogues,
            &CatalogueCommands::editBrushes);
    // The selected cell's frame is blue while a stamp is down.
    connect(m_toolBar, &ToolBarPanel::toolChanged, this, &MapEditorWindow::updateCellSwitches);

    connect(m_leftPanel, &LeftPanel::zoomOutClicked, m_mapView, &MapView::zoomOut);
    connect(m_leftPanel, &LeftPanel::zoomInClicked, m_mapView, &MapView::zoomIn);
    connect(m_leftPanel, &LeftPanel::defaultZoomClicked, m_mapView, &MapView::zoomDefault);
    connect(m_mapView, &MapView::zoomChanged, m_leftPanel, &LeftPanel::showZoom);
    connect(m_leftPanel, &LeftPanel::jumpClicked, this, &MapEditorWindow::jumpToBoxes);
    connect(m_leftPanel, &LeftPanel::listClicked, this,
            [this] { m_tools->showCoordinateList(m_leftPanel->jumpX(), m_leftPanel->jumpY()); });
    connect(m_leftPanel, &LeftPanel::bookmarkKeyPressed, this, [this](int digit) {
        if (const auto cell = m_mapView->bookmarks().recall(digit))
            jumpToCell(cell->x, cell->y);
    });
    connect(m_leftPanel, &LeftPanel::altitudeSwitched, this, &MapEditorWindow::updateCellSwitches);
    connect(m_leftPanel, &LeftPanel::gridSwitched, this, [this] {
        m_mapView->setGridLines(m_leftPanel->gridShown());
        m_views->setGrid(m_leftPanel->gridShown());
    });

    m_palette->setShowTileIds(m_menus->showTileIds());
    connect(m_palette, &TilePalette::tilePicked, this,
            [this] { m_bottomPanel->setDrawMode(tb::DrawMode::SelectedTile); });
    connect(m_palette, &TilePalette::selectionChanged, this, &MapEditorWindow::refreshStatusBar);
    connect(m_bottomPanel, &BottomPanel::modesChanged, this, &MapEditorWindow::refreshStatusBar);

    connect(m_filePanel, &FilePanel::mapPathEdited, this, &MapEditorWindow::mapPathChanged);
    connect(m_filePanel, &FilePanel::gamePathEdited, this, [this](bool valid) {
        if (valid)
            runReported(m_prompts, this, [&] { readRadarColours(); });
    });
    connect(m_filePanel, &FilePanel::loadClicked, m_files, &MapFileCommands::load);
    connect(m_filePanel, &FilePanel::saveClicked, m_files, &MapFileCommands::save);
    connect(m_files, &MapFileCommands::loaded, this, &MapEditorWindow::mapLoadedOrNot);
    connect(m_filePanel, &FilePanel::buttonsChanged, this, [this] {
        m_menus->setFileEntriesEnabled(m_filePanel->loadEnabled(), m_filePanel->saveEnabled());
    });
}

void MapEditorWindow::connectMenus() {
    // Undo and redo are edits: refused while a job changes the document.
    auto ifLoaded = [this](bool (tb::MapDocument::*step)()) {
        return [this, step] {
            if (m_files->mapLoaded() && !editingLocked())
                (m_document.*step)();
        };
    };
    connect(m_menus, &MainMenus::loadTriggered, m_files, &MapFileCommands::load);
    connect(m_menus, &MainMenus::saveTriggered, m_files, &MapFileCommands::save);
    connect(m_menus, &MainMenus::exitTriggered, this, &QWidget::close);
    connect(m_menus, &MainMenus::undoTriggered, this, ifLoaded(&tb::MapDocument::undo));
    connect(m_menus, &MainMenus::redoTriggered, this, ifLoaded(&tb::MapDocument::redo));
    connect(m_menus, &MainMenus::undoStrokeTriggered, this, ifLoaded(&tb::MapDocument::undoStroke));
    connect(m_menus, &MainMenus::redoStrokeTriggered, this, ifLoaded(&tb::MapDocument::redoStroke));
    connect(m_menus, &MainMenus::showTileIdsToggled, this,
            [this] { m_palette->setShowTileIds(m_menus->showTileIds()); });
    connect(m_menus, &MainMenus::cellSwitchesToggled, this, &MapEditorWindow::updateCellSwitches);
    connect(m_menus, &MainMenus::showStaticsToggled, this, &MapEditorWindow::updateCellSwitches);
    connect(m_itemsLayer, &ItemsLayer::changed, this, [this] {
        m_mapView->setStatics(m_itemsLayer->visibleStatics(), &m_itemsLayer->colours());
        refreshStatusBar();
    });
    connect(m_menus, &MainMenus::exportHeightmapTriggered, m_heightmaps,
            &HeightmapCommands::exportHeightmap);
    connect(m_menus, &MainMenus::importHeightmapTriggered, m_heightmaps,
            &HeightmapCommands::importHeightmap);
    // The altitude under the pointer may have changed.
    connect(m_heightmaps, &HeightmapCommands::imported, this, &MapEditorWindow::refreshStatusBar);
    connect(m_menus, &MainMenus::compactStaticsTriggered, this,
            [this] { m_compaction->compact(); });
    connect(m_menus, &MainMenus::exportViewTriggered, this, [this] {
        exportViewPicture([this] { return m_views->viewPicture(); }, m_prompts, m_exportJobs, this);
    });
    connect(m_menus, &MainMenus::patchMapTriggered, m_tools, &ToolWindowCommands::patchMapFromFile);
    connect(m_menus, &MainMenus::patchEditorTriggered, m_tools,
            &ToolWindowCommands::showPatchEditor);
    connect(m_menus, &MainMenus::diffPatchTriggered, m_tools, &ToolWindowCommands::showDiffWindow);
    connect(m_menus, &MainMenus::enlargeMapTriggered, m_tools, &ToolWindowCommands::enlargeMap);
    connect(m_menus, &MainMenus::mapCopyTriggered, m_tools, &ToolWindowCommands::copyMap);
    connect(m_tools, &ToolWindowCommands::mapTouched, this, &MapEditorWindow::refreshStatusBar);
    connect(m_menus, &MainMenus::optionsTriggered, m_catalogues, &CatalogueCommands::showOptions);
    connect(m_menus, &MainMenus::aboutTriggered, m_tools, &ToolWindowCommands::showAbout);
    auto* newWorld = new QAction("New world from pictures...", this);
    newWorld->setObjectName("NewWorldFromPictures1");
    m_menus->addFileEntry(newWorld);
    connect(newWorld, &QAction::triggered, this, &MapEditorWindow::newWorldFromPictures);
}

void MapEditorWindow::newWorldFromPictures() {
    NewWorldDialog dialog(m_applicationDir, m_prompts, this, this);
    if (m_prompts.execDialog(dialog) == QDialog::Accepted)
        openMapFile(dialog.generatedMap());
}

void MapEditorWindow::openMapFile(const QString& path) {
    // Saved or discarded first, so the new path asks nothing more.
    if (!m_files->settleUnsavedChanges([this, path] { openMapFile(path); }))
        return;
    m_filePanel->setMapPath(path);
    m_files->load();
}

void MapEditorWindow::setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow) {
    m_tools->setLongLivedWindows(patchEditor, diffWindow);
}

bool MapEditorWindow::event(QEvent* event) {
    // Asked once the activation has been handled, not in the middle of it.
    if (event->type() == QEvent::WindowActivate && !m_closed)
        QTimer::singleShot(0, this, [this] { m_diskChanges->windowActivated(); });
    return QMainWindow::event(event);
}

void MapEditorWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // The first-show steps run once the window is on screen.
        QTimer::singleShot(0, this, [this] { firstShow(); });
    }
}

// First show: seed the random source, restore the two paths (which identifies the map but
// loads nothing), reset the draw mode and read the view settings again.
void MapEditorWindow::firstShow() {
    m_random.seed(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    m_filePanel->setMapPath(readSettingText(m_settings, "MAPx.mul"));
    m_filePanel->setGamePath(readSettingText(m_settings, "UOPath"));
    m_bottomPanel->setDrawMode(tb::DrawMode::DontDraw);
    readViewSettings();
    // Docks added after the window was made (the shared maps' Builders) are here by now.
    restoreWindowState(m_settings, *this);
    refreshStatusBar();
    if (!m_startMapFile.isEmpty()) {
        m_filePanel->setMapPath(std::exchange(m_startMapFile, QString()));
        m_files->load();
    }
}

void MapEditorWindow::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        // Work under way stops first, writing nothing: the window closes once it has ended.
        // Unsaved changes are not lost without a question; a Save it starts closes the
        // window when it has succeeded.
        if (!m_tasks.stopAll(this, [this] { close(); })) {
            event->ignore();
            return;
        }
        if (!m_files->settleUnsavedChanges([this] { close(); })) {
            event->ignore();
            return;
        }
        m_closed = true;
        m_mapView->setMap(nullptr, nullptr);
        m_document.replace(tb::MapImage(), {});
        m_art = tb::ArtFiles();
        runReported(m_prompts, this, [&] { writeViewSettings(m_settings, viewControls(), *this); });
        writeBookmarks(m_applicationDir, *m_mapView, m_prompts, this);
        emit formClosed();
    }
    event->accept();
}

void MapEditorWindow::refreshStatusBar() {
    std::optional<tb::MapCell> cell;
    // A path changed after loading may name a larger map than the one in memory: cells
    // outside the loaded image are not read.
    if (mapLoaded() && m_document.image().contains(m_currentX, m_currentY))
        cell = m_document.image().cellUnchecked(m_currentX, m_currentY);
    // The row the visible palette shows as selected, not the tile "Go" found.
    const std::uint16_t paletteTile = m_palette->selectedTile();
    // Over no cell of the map (past its last column or row), no cell is named.
    QString position = m_pointerOverMap
                           ? QString::fromStdString(tb::positionStatusText(
                                 m_currentX, m_currentY, cell, m_filePanel->mapPathValid()))
                           : QString();
    if (cell)
        position += m_itemsLayer->statusSuffix(m_currentX, m_currentY);
    // The isometric view knows the item the pointer is over.
    if (cell && m_pointedItem && m_pointedItem->cell.x == m_currentX &&
        m_pointedItem->cell.y == m_currentY) {
        const tb::PlacedItem& item = m_pointedItem->item;
        const QString name =
            QString::fromStdString(m_itemBrowser->tileData().item(item.id).name).trimmed();
        position += QString(" - Item=$%1 Z=%2")
                        .arg(QString::number(item.id, 16).toUpper().rightJustified(4, '0'))
                        .arg(item.z);
        if (!name.isEmpty())
            position += " " + name;
    }
    // Z as the box shows it, typed text and all.
    m_statusBar->showTexts(
        position, QString::fromStdString(tb::modeStatusText(
                      m_state.altitudeMode, m_bottomPanel->zText().toStdString(), m_state.drawMode,
                      paletteTile, m_bottomPanel->groupName().toStdString())));
}

void MapEditorWindow::updateCellSwitches() {
    tbrender::CellViewSwitches switches;
    switches.altitudeOn = m_leftPanel->altitudeShown();
    switches.coloredAltitude = m_menus->colouredAltitude();
    switches.showOnlyColor = m_menus->showOnlyColour();
    switches.showNumber = m_menus->showAltitudeNumber();
    switches.stampButtonDown = m_toolBar->stampToolDown();
    switches.showStatics = m_menus->showStatics();
    switches.itemArt = true;
    m_mapView->setSwitches(switches);
    m_itemsLayer->setShown(switches.showStatics);
    m_views->setItemsShown(switches.showStatics);
}

// A stored value that is not a number is reported; the values read before it stay.
void MapEditorWindow::readViewSettings() {
    runReported(m_prompts, this, [&] { tbapp::readViewSettings(m_settings, viewControls()); });
    updateCellSwitches();
}

ViewSettingsControls MapEditorWindow::viewControls() const {
    return {*m_leftPanel, *m_bottomPanel, *m_mapView, *m_menus};
}

// The land colours, then the static colours from the same file.
void MapEditorWindow::readRadarColours() {
    if (!m_filePanel->gamePathValid())
        return;
    const std::filesystem::path radarcol =
        uiPath(QDir(m_filePanel->gamePath()).filePath("radarcol.mul"));
    m_radarColours.read(radarcol);
    m_itemsLayer->readColours(radarcol);
}

// The map path changed: red until the file is found under a map file name; every change
// but the first (the path restored at first show) brings the view back to cell (0, 0).
// Another path with unsaved changes asks first; Cancel puts the accepted path back.
void MapEditorWindow::mapPathChanged() {
    const QString path = m_filePanel->mapPath();
    // A Save (or a reading of the map again) that the question starts puts the new path in
    // once it has succeeded.
    if (!m_firstMapPathChange && path != m_acceptedMapPath &&
        !m_files->settleUnsavedChanges([this, path] { m_filePanel->setMapPath(path); }, true)) {
        m_filePanel->restoreMapPath(m_acceptedMapPath);
        return;
    }
    m_acceptedMapPath = path;
    if (m_firstMapPathChange) {
        m_firstMapPathChange = false;
    } else {
        setJumpTexts("0", "0");
        jumpToBoxes();
    }
    identifyMapPath();
}

void MapEditorWindow::identifyMapPath() {
    const std::optional<tb::MapVariant> variant = m_filePanel->validateMapPath();
    if (variant)
        m_mapView->setDimensions(variant->width, variant->height);
    m_mapView->setMapSize(variant ? std::optional(variant->size()) : std::nullopt);
}

// After Load, also a failed one: the view, the palettes and the stamp pictures.
void MapEditorWindow::mapLoadedOrNot() {
    m_mapView->setMap(mapLoaded() ? &m_document.image() : nullptr, &m_art);
    showGameData();
    // Said once a Load: items are drawn unhued without the game's hues.mul.
    if (mapLoaded() && !m_files->huesNote().isEmpty())
        m_statusBar->showMessage(m_files->huesNote(), 10000);
    TilePictureSource pictures;
    if (mapLoaded())
        pictures = [this](std::uint16_t id, int size) { return m_mapView->tilePicture(id, size); };
    m_palette->setPictures(pictures);
    m_toolBar->showStampPictures(pictures);
    m_toolbox->mapLoaded(pictures);
    m_menus->setMapEntriesEnabled(mapLoaded());
    m_itemsLayer->mapLoaded();
    if (mapLoaded())
        m_itemBrowser->loadGameData(uiPath(m_filePanel->gamePath()), &m_art);
    else
        m_itemBrowser->clear();
    refreshStatusBar();
}

void MapEditorWindow::adoptMap(tb::MapImage image, std::unique_ptr<tb::StaticsMap> statics) {
    const int width = image.width();
    const int height = image.height();
    m_files->adoptMap(std::move(image), std::move(statics));
    m_mapView->setDimensions(width, height);
    m_mapView->setMapSize(tb::MapSize{width, height});
}

bool MapEditorWindow::mapLoaded() const {
    return m_files->mapLoaded();
}

const tb::MapImage* MapEditorWindow::loadedMap() {
    return mapLoaded() ? &m_document.image() : nullptr;
}

tb::MapDocument* MapEditorWindow::mapDocument() {
    return mapLoaded() ? &m_document : nullptr;
}

tb::MapDocument* MapEditorWindow::editableDocument() {
    return mapLoaded() && !editingLocked() ? &m_document : nullptr;
}

const tb::TileData* MapEditorWindow::itemTileData() const {
    return m_itemBrowser ? &m_itemBrowser->tileData() : nullptr;
}

// The right button picks the tile under the pointer as "Go" would find it.
void MapEditorWindow::pickTile(int x, int y) {
    if (!mapLoaded() || !m_document.image().contains(x, y))
        return;
    m_palette->goTo(m_document.image().cellUnchecked(x, y).tileId);
    refreshStatusBar();
}

void MapEditorWindow::setJumpTexts(const QString& x, const QString& y) {
    m_leftPanel->setJumpTexts(x, y);
}

void MapEditorWindow::jumpToBoxes() {
    runReported(m_prompts, this, [&] {
        m_mapView->jumpTo(m_leftPanel->jumpX(), m_leftPanel->jumpY());
        if (m_views->isometric())
            m_views->centreOn(m_mapView->selectedCell().x(), m_mapView->selectedCell().y());
    });
}

// Both views draw with the art read by Load, the browser's tiledata and the game's hues.
void MapEditorWindow::showGameData() {
    m_views->setGameData(mapLoaded() ? &m_art : nullptr, itemTileData(), m_files->hues());
    ItemsPanelDock::ItemPictures pictures;
    if (mapLoaded())
        pictures = [this](std::uint16_t id, std::uint16_t hue) {
            return m_mapView->itemPicture(id, 32, hue);
        };
    m_itemsPanel->setPictures(pictures);
}

// What both views tell the window, wired once: the cell under the pointer and the item the
// isometric view finds there, the pick of a tile, the undo keys, Insert and the bookmarks.
// View > "Isometric view" and its tool button switch them; Max Z goes to both.
void MapEditorWindow::connectMapViews() {
    m_menus->addViewToggle(m_views->isometricAction(), "IsometricView1");
    m_toolBar->addViewToggle(m_views->isometricAction(), "IsoViewButton");
    connect(m_toolBar, &ToolBarPanel::maxZChanged, m_views, &MapViews::setMaxZ);
    connect(m_itemBrowser, &ItemBrowserDock::tileDataChanged, this, &MapEditorWindow::showGameData);
    connect(m_toolbox, &MapToolbox::jumpRequested, this, &MapEditorWindow::jumpToCell);
    // The panel follows the selected cell whatever tool is down.
    connect(m_views, &MapViews::cellSelected, m_itemsPanel, &ItemsPanelDock::showCell);
    connect(m_itemsPanel, &ItemsPanelDock::failed, this,
            [this](const QString& message) { m_prompts.showError(this, message); });
    connect(m_views, &MapViews::pointerMoved, this, [this](int x, int y) {
        m_pointerOverMap = true;
        m_currentX = x;
        m_currentY = y;
        refreshStatusBar();
    });
    connect(m_views, &MapViews::pointerLeftMap, this, [this] {
        m_pointerOverMap = false;
        refreshStatusBar();
    });
    connect(m_views, &MapViews::pointedItemChanged, this,
            [this](std::optional<tb::PointedItem> item) {
                m_pointedItem = item;
                refreshStatusBar();
            });
    connect(m_views, &MapViews::tilePickRequested, this, &MapEditorWindow::pickTile);
    connect(m_views, &MapViews::navigatedByKey, this, &MapEditorWindow::refreshStatusBar);
    connect(m_views, &MapViews::undoKeyPressed, m_menus, &MainMenus::undoTriggered);
    connect(m_views, &MapViews::redoKeyPressed, m_menus, &MainMenus::redoTriggered);
    connect(m_views, &MapViews::insertKeyPressed, m_tools,
            &ToolWindowCommands::insertIntoPatchEditor);
    connect(m_views, &MapViews::bookmarkRecalled, this, &MapEditorWindow::jumpToCell);
}

tb::CellRect MapEditorWindow::visibleCells() const {
    return m_views->visibleCells();
}

void MapEditorWindow::jumpToCell(int x, int y) {
    setJumpTexts(QString::number(x), QString::number(y));
    jumpToBoxes();
}

void MapEditorWindow::repaintMap() {
    m_mapView->repaintCells();
}

void MapEditorWindow::saveMap(std::function<void()> then) {
    m_files->saveLoaded(std::move(then));
}

void MapEditorWindow::mapFileWritten(const std::filesystem::path& file) {
    if (mapLoaded() && tb::sameFile(file, m_document.fileName()))
        reloadMap();
}

// The file may have another size now (an enlargement).
void MapEditorWindow::reloadMap() {
    m_files->reload([this] {
        identifyMapPath();
        refreshStatusBar();
    });
}

void MapEditorWindow::modifiedChanged(bool modified) {
    setWindowModified(modified);
}

void MapEditorWindow::historyChanged() {
    const tb::UndoList& history = m_document.undoList();
    m_menus->setHistoryNames(QString::fromStdString(history.newestName()),
                             QString::fromStdString(history.newestRedoName()));
}

// An item edit changes the count the status bar shows for the cell under the pointer.
void MapEditorWindow::cellsChanged(const tb::CellChange& change) {
    if (change.changesItems() || change.bounds.contains(m_currentX, m_currentY))
        refreshStatusBar();
    if (change.changesItems())
        m_toolbox->itemCommands().refresh();
}

// "Overview": nothing without a loaded map of a known size; it may jump the view.
void MapEditorWindow::showOverview() {
    // The overview reads the map and the statics as they are while it is open.
    if (m_documentJobs.busy()) {
        m_prompts.showMessage(this, JobRunner::refusal(m_documentJobs.caption()));
        return;
    }
    const OverviewStatics statics{m_itemsLayer->loadedStatics(), &m_itemsLayer->colours(),
                                  m_itemsLayer->shown()};
    const std::optional<tb::MapVariant>& variant = m_filePanel->mapVariant();
    OverviewWindow::openOverview(
        *this, m_radarColours, variant ? std::optional(variant->size()) : std::nullopt,
        [this] { return m_filePanel->mapPathValid(); }, m_prompts, statics, this);
}

} // namespace tbapp
