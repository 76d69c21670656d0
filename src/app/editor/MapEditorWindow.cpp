#include "editor/MapEditorWindow.h"

#include "editor/BottomPanel.h"
#include "editor/EditorStatusBar.h"
#include "editor/FilePanel.h"
#include "editor/LeftPanel.h"
#include "editor/MainMenus.h"
#include "editor/MapFileActions.h"
#include "editor/MapView.h"
#include "editor/TilePalette.h"
#include "editor/ToolBarPanel.h"

#include "catalogue/BrushEditorDialog.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/OptionsDialog.h"
#include "core/OverviewWindow.h"
#include "patch/CoordinateListDialog.h"
#include "patch/PatchEditorWindow.h"
#include "patch/PatchMapAction.h"
#include "shell/AboutDialog.h"
#include "shell/Prompts.h"
#include "shell/Settings.h"
#include "tools/MapCopyDialog.h"
#include "tools/MapEnlargeDialog.h"

#include "catalogue/TextureList.h"
#include "catalogue/TileList.h"
#include "editor/AltitudeTool.h"
#include "editor/Bookmarks.h"
#include "editor/StatusText.h"
#include "editor/ViewSettings.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <filesystem>

namespace tbapp {
namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

// The window's size, position and maximised state, kept beside the view settings.
constexpr const char* kGeometrySetting = "WindowGeometry";

} // namespace

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
    m_document.addListener(this);

    resize(900, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const QString geometry = readSettingText(m_settings, kGeometrySetting);
    if (!geometry.isEmpty())
        restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));

    // Creation: the view settings, the tile groups, the texture lists, the bookmarks, the
    // brush list and the radar colours; then no fill is pending and no map is loaded.
    runReported(m_prompts, this, [&] { readViewSettings(); });
    loadTileGroups();
    const QString defaultList =
        QString::fromStdString(tb::textureListPath(tb::kDefaultTextureList));
    m_palette->buildListMenu(defaultList);
    m_palette->loadTextureList(defaultList);
    readBookmarks();
    m_toolBar->listBrushes();
    runReported(m_prompts, this, [&] { readRadarColours(); });
    m_painter.reset();
    updateCellSwitches();
}

MapEditorWindow::~MapEditorWindow() {
    // The panels hold the document and the editor state, members that die before the
    // window's children would: they go first.
    delete takeCentralWidget();
    m_document.removeListener(this);
}

void MapEditorWindow::buildPanels() {
    m_toolBar = new ToolBarPanel(m_state, m_applicationDir, m_prompts, this);
    m_leftPanel = new LeftPanel(m_state, this);
    m_mapView = new MapView(m_document, this);
    m_palette = new TilePalette(m_state, m_applicationDir, m_prompts, this);
    m_bottomPanel = new BottomPanel(m_state, this);
    m_filePanel = new FilePanel(m_prompts, this);
    m_statusBar = new EditorStatusBar(this);
    m_files = new MapFileActions(m_document, m_art, *m_filePanel, m_settings, m_prompts, this);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_toolBar);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(m_leftPanel);
    middle->addWidget(m_mapView, 1); // extra room goes to the map
    middle->addWidget(m_palette);
    outer->addLayout(middle, 1);
    outer->addWidget(m_bottomPanel);
    outer->addWidget(m_filePanel);
    setCentralWidget(central);
    setStatusBar(m_statusBar);
}

void MapEditorWindow::connectPanels() {
    connect(m_toolBar, &ToolBarPanel::exitClicked, this, &QWidget::close);
    connect(m_toolBar, &ToolBarPanel::overviewClicked, this, &MapEditorWindow::showOverview);
    connect(m_toolBar, &ToolBarPanel::editBrushesClicked, this, &MapEditorWindow::editBrushes);
    connect(m_toolBar, &ToolBarPanel::toolChanged, this, [this] {
        updateCellSwitches(); // the selected cell's frame is blue while a stamp is down
    });

    connect(m_leftPanel, &LeftPanel::zoomOutClicked, m_mapView, &MapView::zoomOut);
    connect(m_leftPanel, &LeftPanel::zoomInClicked, m_mapView, &MapView::zoomIn);
    connect(m_leftPanel, &LeftPanel::defaultZoomClicked, m_mapView, &MapView::zoomDefault);
    connect(m_mapView, &MapView::zoomChanged, m_leftPanel, &LeftPanel::showZoom);
    connect(m_leftPanel, &LeftPanel::jumpClicked, this, &MapEditorWindow::jumpToBoxes);
    connect(m_leftPanel, &LeftPanel::listClicked, this, &MapEditorWindow::showCoordinateList);
    connect(m_leftPanel, &LeftPanel::bookmarkKeyPressed, this, [this](int digit) {
        if (const auto cell = m_mapView->bookmarks().recall(digit)) {
            setJumpTexts(QString::number(cell->x), QString::number(cell->y));
            jumpToBoxes();
        }
    });
    connect(m_leftPanel, &LeftPanel::altitudeSwitched, this, &MapEditorWindow::updateCellSwitches);
    connect(m_leftPanel, &LeftPanel::gridSwitched, this,
            [this] { m_mapView->setGridLines(m_leftPanel->gridShown()); });

    connect(m_mapView, &MapView::cellSelected, this, &MapEditorWindow::selectCell);
    connect(m_mapView, &MapView::pointerMoved, this, [this](int x, int y) {
        m_currentX = x;
        m_currentY = y;
        refreshStatusBar();
    });
    // The rows recorded from a press of the left button to its release form one stroke.
    connect(m_mapView, &MapView::strokeStarted, this, [this] { m_document.beginStroke(); });
    connect(m_mapView, &MapView::strokeEnded, this, [this] { m_document.endStroke(); });
    connect(m_mapView, &MapView::tilePickRequested, this, &MapEditorWindow::pickTile);
    connect(m_mapView, &MapView::navigatedByKey, this, [this] {
        m_painter.setKeyNavigation();
        refreshStatusBar();
    });
    connect(m_mapView, &MapView::undoKeyPressed, m_menus, &MainMenus::undoTriggered);
    connect(m_mapView, &MapView::redoKeyPressed, m_menus, &MainMenus::redoTriggered);
    connect(m_mapView, &MapView::insertKeyPressed, this, &MapEditorWindow::insertIntoPatchEditor);
    connect(m_mapView, &MapView::bookmarkRecalled, this, [this](int x, int y) {
        setJumpTexts(QString::number(x), QString::number(y));
        jumpToBoxes();
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
    connect(m_filePanel, &FilePanel::loadClicked, m_files, &MapFileActions::load);
    connect(m_filePanel, &FilePanel::saveClicked, m_files, &MapFileActions::save);
    connect(m_files, &MapFileActions::loaded, this, &MapEditorWindow::mapLoadedOrNot);
    connect(m_filePanel, &FilePanel::buttonsChanged, this, [this] {
        m_menus->setFileEntriesEnabled(m_filePanel->loadEnabled(), m_filePanel->saveEnabled());
    });
}

void MapEditorWindow::connectMenus() {
    auto ifLoaded = [this](bool (tb::MapDocument::*step)()) {
        return [this, step] {
            if (m_files->mapLoaded())
                (m_document.*step)();
        };
    };
    connect(m_menus, &MainMenus::loadTriggered, m_files, &MapFileActions::load);
    connect(m_menus, &MainMenus::saveTriggered, m_files, &MapFileActions::save);
    connect(m_menus, &MainMenus::exitTriggered, this, &QWidget::close);
    connect(m_menus, &MainMenus::undoTriggered, this, ifLoaded(&tb::MapDocument::undo));
    connect(m_menus, &MainMenus::redoTriggered, this, ifLoaded(&tb::MapDocument::redo));
    connect(m_menus, &MainMenus::undoStrokeTriggered, this, ifLoaded(&tb::MapDocument::undoStroke));
    connect(m_menus, &MainMenus::redoStrokeTriggered, this, ifLoaded(&tb::MapDocument::redoStroke));
    connect(m_menus, &MainMenus::showTileIdsToggled, this,
            [this] { m_palette->setShowTileIds(m_menus->showTileIds()); });
    connect(m_menus, &MainMenus::cellSwitchesToggled, this, &MapEditorWindow::updateCellSwitches);
    connect(m_menus, &MainMenus::patchMapTriggered, this, &MapEditorWindow::patchMapFromFile);
    connect(m_menus, &MainMenus::patchEditorTriggered, this, [this] {
        if (m_patchEditor) {
            m_patchEditor->show();
            m_patchEditor->raise();
        }
    });
    connect(m_menus, &MainMenus::diffPatchTriggered, this, [this] {
        if (m_diffWindow)
            m_diffWindow->exec();
    });
    connect(m_menus, &MainMenus::enlargeMapTriggered, this, [this] {
        MapEnlargeDialog form(m_prompts, this);
        form.exec();
    });
    connect(m_menus, &MainMenus::mapCopyTriggered, this, &MapEditorWindow::copyMap);
    connect(m_menus, &MainMenus::optionsTriggered, this, &MapEditorWindow::showOptions);
    connect(m_menus, &MainMenus::aboutTriggered, this, [this] { (new AboutDialog(this))->show(); });
}

void MapEditorWindow::setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow) {
    m_patchEditor = patchEditor;
    m_diffWindow = diffWindow;
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
    runReported(m_prompts, this, [&] { readViewSettings(); });
    refreshStatusBar();
}

void MapEditorWindow::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        // Unsaved changes are not lost without a question; while Save runs, or while that
        // question is open, the window stays.
        if (m_files->busy() || !m_files->settleUnsavedChanges()) {
            event->ignore();
            return;
        }
        m_closed = true;
        m_mapView->setMap(nullptr, nullptr);
        m_document.replace(tb::MapImage(), {});
        m_art = tb::ArtFiles();
        runReported(m_prompts, this, [&] { writeViewSettings(); });
        writeBookmarks();
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
    const auto paletteTile = static_cast<std::uint16_t>(m_palette->selectedTile());
    m_statusBar->showTexts(
        QString::fromStdString(tb::positionStatusText(m_currentX, m_currentY, cell)),
        QString::fromStdString(tb::modeStatusText(m_state.altitudeMode, m_state.zText,
                                                  m_state.drawMode, paletteTile,
                                                  m_bottomPanel->groupName().toStdString())));
}

void MapEditorWindow::updateCellSwitches() {
    CellViewSwitches switches;
    switches.altitudeOn = m_leftPanel->altitudeShown();
    switches.coloredAltitude = m_menus->colouredAltitude();
    switches.showOnlyColor = m_menus->showOnlyColour();
    switches.showNumber = m_menus->showAltitudeNumber();
    switches.stampButtonDown = m_toolBar->stampToolDown();
    m_mapView->setSwitches(switches);
}

// Applies the stored values in their order. An empty value leaves its control as it is; a
// value that is not a decimal number throws, so the values after it are not applied.
void MapEditorWindow::readViewSettings() {
    auto text = [this](const char* name) { return readSettingText(m_settings, name); };
    auto number = [](const QString& value) { return tb::parseStoredDecimal(value.toStdString()); };
    const QString x = text("CoordX");
    const QString y = text("CoordY");
    m_leftPanel->setJumpTexts(x.isEmpty() ? m_leftPanel->jumpX() : x,
                              y.isEmpty() ? m_leftPanel->jumpY() : y);
    if (const QString z = text("CoordZ"); !z.isEmpty())
        m_bottomPanel->setZText(z);
    if (const QString zoom = text("ZoomLevel"); !zoom.isEmpty())
        m_mapView->applyStoredZoom(number(zoom));
    if (const QString mode = text("AltitudeModify"); !mode.isEmpty())
        m_bottomPanel->setAltitudeItem(number(mode));
    if (const QString show = text("ShowAltitude"); !show.isEmpty()) {
        m_leftPanel->setAltitudeItem(number(show));
        updateCellSwitches();
    }
    if (const QString grid = text("Grid"); !grid.isEmpty()) {
        m_leftPanel->setGridItem(number(grid));
        m_mapView->setGridLines(m_leftPanel->gridShown());
    }
}

// Writes the view values in their order (at close, whether or not a map was loaded), and
// the window's place. A store that cannot be written throws the error naming its file.
void MapEditorWindow::writeViewSettings() {
    writeSettingText(m_settings, "CoordX", m_leftPanel->jumpX());
    writeSettingText(m_settings, "CoordY", m_leftPanel->jumpY());
    writeSettingText(m_settings, "CoordZ", m_bottomPanel->zText());
    writeSettingText(m_settings, "ZoomLevel", QString::number(m_mapView->zoom().level));
    writeSettingText(m_settings, "AltitudeModify", QString::number(m_bottomPanel->altitudeItem()));
    writeSettingText(m_settings, "ShowAltitude", QString::number(m_leftPanel->altitudeItem()));
    writeSettingText(m_settings, "Grid", QString::number(m_leftPanel->gridItem()));
    writeSettingText(m_settings, kGeometrySetting, QString::fromLatin1(saveGeometry().toBase64()));
    syncSettingsStore(m_settings);
}

// bookmarklist.xml beside the program, found without regard to case like the other files.
static std::filesystem::path bookmarkPath(const QString& applicationDir) {
    return tb::resolveAppPath(toPath(applicationDir), tb::kBookmarkFileName);
}

void MapEditorWindow::readBookmarks() {
    runReported(m_prompts, this, [&] {
        tb::readBookmarkFile(bookmarkPath(m_applicationDir), m_mapView->bookmarks());
    });
    m_mapView->showBookmarks();
}

void MapEditorWindow::writeBookmarks() {
    runReported(m_prompts, this, [&] {
        tb::writeBookmarkFile(bookmarkPath(m_applicationDir), m_mapView->bookmarks());
    });
}

void MapEditorWindow::readRadarColours() {
    if (m_filePanel->gamePathValid())
        m_radarColours.read(toPath(QDir(m_filePanel->gamePath()).filePath("radarcol.mul")));
}

// The draw mode list from tilelist.xml; a missing file leaves only the fixed modes.
void MapEditorWindow::loadTileGroups() {
    m_tileGroups = tb::readTileList(tb::resolveAppPath(toPath(m_applicationDir), "tilelist.xml"));
    m_bottomPanel->setTileGroups(m_tileGroups);
}

// The map path changed: red until the file is found under a map file name; every change
// but the first (the path restored at first show) brings the view back to cell (0, 0).
// Another path with unsaved changes asks first; Cancel puts the accepted path back.
void MapEditorWindow::mapPathChanged() {
    const QString path = m_filePanel->mapPath();
    if (!m_firstMapPathChange && path != m_acceptedMapPath &&
        !m_files->settleUnsavedChanges(true)) {
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
    if (const std::optional<tb::MapVariant> variant = m_filePanel->validateMapPath())
        m_mapView->setDimensions(variant->width, variant->height);
    m_mapView->setSizeText(m_filePanel->mapSizeText());
}

// After Load, also a failed one: the view, the palettes and the stamp pictures.
void MapEditorWindow::mapLoadedOrNot() {
    m_mapView->setMap(mapLoaded() ? &m_document.image() : nullptr, &m_art);
    TilePictureSource pictures;
    if (mapLoaded())
        pictures = [this](std::uint16_t id, int size) { return m_mapView->tilePicture(id, size); };
    m_palette->setPictures(pictures);
    m_toolBar->showStampPictures(pictures);
    refreshStatusBar();
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

// The selection event: what the tool that is down changes is decided by the painter from
// the editor state alone; the document's notification redraws the cells.
void MapEditorWindow::selectCell(int x, int y) {
    const tb::SelectionResult result =
        m_painter.selectCell(mapLoaded() ? &m_document : nullptr, m_state, x, y);
    if (result.zOutOfRange) {
        m_prompts.showMessage(this, QString::fromUtf8(tb::kZOutOfRangeMessage.data(),
                                                      qsizetype(tb::kZOutOfRangeMessage.size())));
        m_bottomPanel->setZText("0");
    }
    if (result.error)
        m_prompts.showError(this, QString::fromStdString(*result.error));
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
    runReported(m_prompts, this,
                [&] { m_mapView->jumpTo(m_leftPanel->jumpX(), m_leftPanel->jumpY()); });
}

void MapEditorWindow::repaintMap() {
    m_mapView->repaintCells();
}

void MapEditorWindow::modifiedChanged(bool modified) {
    setWindowModified(modified);
}

// "Overview": nothing without a loaded map of a known size; it may jump the view.
void MapEditorWindow::showOverview() {
    OverviewWindow::openOverview(
        *this, m_radarColours, m_filePanel->mapSizeText(),
        [this] { return m_filePanel->mapPathValid(); }, m_prompts, this);
}

// "List": a new coordinate list each time, modal; it only fills the jump boxes.
void MapEditorWindow::showCoordinateList() {
    CoordinateListDialog list(m_applicationDir, *this, m_leftPanel->jumpX(), m_leftPanel->jumpY(),
                              m_prompts, this);
    list.exec();
}

void MapEditorWindow::patchMapFromFile() {
    tbapp::patchMapFromFile(this, *this, m_applicationDir, m_patchInitialDir, m_prompts);
    refreshStatusBar();
}

// Insert on the map: the current cell into the visible patch editor's list (which refuses
// a listed cell itself).
void MapEditorWindow::insertIntoPatchEditor() {
    auto* editor = qobject_cast<PatchEditorWindow*>(m_patchEditor);
    if (editor && editor->isVisible() && mapLoaded()) {
        editor->insertCurrentCell();
        refreshStatusBar();
    }
}

// "Map Copy" changes files only: the loaded map is not read again; the view goes back to
// (0, 0) and is repainted.
void MapEditorWindow::copyMap() {
    {
        MapCopyDialog form(m_prompts, this);
        form.exec();
    }
    setJumpTexts("0", "0");
    jumpToBoxes();
    repaintMap();
}

// "Edit": the brush editor with the listed brushes; after OK the list is read again.
void MapEditorWindow::editBrushes() {
    CatalogueContext context{m_applicationDir, dialogTileImages(mapLoaded() ? &m_art : nullptr),
                             &m_prompts};
    if (runBrushEditor(context, this, m_toolBar->brushNames()))
        m_toolBar->listBrushes();
}

// "&Options...": after OK the files it wrote are read back: the tile groups, then the
// chosen texture list into the palette and the list menu.
void MapEditorWindow::showOptions() {
    tb::OptionsSaveSteps steps;
    steps.loadTileGroups = [this] { loadTileGroups(); };
    steps.loadTextureList = [this](const std::string& path) { m_palette->readTextureList(path); };
    steps.buildListMenu = [this](const std::string& path) {
        m_palette->buildListMenu(QString::fromStdString(path));
    };
    CatalogueContext context{m_applicationDir, dialogTileImages(mapLoaded() ? &m_art : nullptr),
                             &m_prompts};
    runOptionsCommand(context, this, steps);
}

} // namespace tbapp
