#pragma once
// The main editor window. It owns the map document, the art, the radar colours, the editor
// state and the painter for the whole run, builds the panels (tool bar, left panel, map
// view, tile palette, bottom panel, file panel, status bar) and the menus, and wires them:
// the panels write the editor state and announce what the user did; the window loads and
// saves, keeps the settings and opens the other windows.
//
// Long work runs as jobs beside the window (app/shell/TaskCenter.h). While a job changes the
// document (Load, Save, "Patch Map from file", a heightmap import), editing (painting,
// undo, redo) and a second such job are refused; the window still repaints, moves and
// resizes, and the status bar says what runs. Jobs that only read (the statics, picture
// exports) leave it usable.
//
// Another writer may change the loaded files (a map tool of this program, another program):
// a tool's write of the loaded map has it read again, and Save and the window's coming back
// to the front ask about other changes (DiskChangeCheck).

#include "app/shell/MapEditorLink.h"
#include "app/shell/TaskCenter.h"

#include "app/editor/MapToolbox.h"
#include "core/ArtFiles.h"
#include "core/RadarColours.h"
#include "editor/EditorState.h"

#include "editor/EngineRandomSource.h"
#include "editor/MapDocument.h"
#include "editor/MapPainter.h"

#include <QMainWindow>
#include <QString>

#include <filesystem>
#include <functional>
#include <random>

class QDialog;
class QSettings;

namespace tbapp {
class Prompts;

class BottomPanel;
class CatalogueCommands;
class DiskChangeCheck;
class EditorStatusBar;
class FilePanel;
class HeightmapCommands;
class ItemBrowserDock;
class ItemCommands;
class MapViews;
class ItemsPanelDock;
class LeftPanel;
class MainMenus;
class MapFileCommands;
class MapView;
class StaticsCompaction;
class ItemsLayer;
class TerrainCommands;
class TilePalette;
class ToolBarPanel;
class ToolWindowCommands;
struct ViewSettingsControls;

class MapEditorWindow : public QMainWindow, public MapEditorLink, private tb::DocumentListener {
    Q_OBJECT
public:
    // `settings`, `random` and `prompts` must outlive the window; `applicationDir` ends
    // with a separator and holds the lists beside the program. `prompts` shows the messages
    // and file dialogs of this window and of the windows it opens.
    MapEditorWindow(QSettings& settings, const QString& applicationDir, std::mt19937& random,
                    Prompts& prompts, QWidget* parent = nullptr);
    ~MapEditorWindow() override;

    // Once the window is first shown, `mapFile` goes into the map path box and is loaded
    // (a file given on the command line or by the desktop).
    void loadAtStart(const QString& mapFile) { m_startMapFile = mapFile; }

    // The long-lived windows created after this one that its menu shows; either may be null.
    void setLongLivedWindows(QWidget* patchEditor, QDialog* diffWindow);

    // MapEditorLink
    void setJumpTexts(const QString& x, const QString& y) override;
    void jumpToBoxes() override;
    int currentX() const override { return m_currentX; }
    int currentY() const override { return m_currentY; }
    const tb::MapImage* loadedMap() override;
    tb::MapDocument* mapDocument() override;
    void repaintMap() override;
    void saveMap(std::function<void()> then) override;
    void mapFileWritten(const std::filesystem::path& file) override;
    tb::CellRect visibleCells() const override;

    // The map being edited (without a loaded map: one without cells).
    tb::MapDocument& document() { return m_document; }
    bool mapLoaded() const;
    // A job that changes the document runs: no edit reaches the map.
    bool editingLocked() const { return m_documentJobs.busy(); }
    // What the painting tools work with, as the panels have set it.
    const tb::EditorState& editorState() const { return m_state; }
    // The pending fill and the key navigation flag.
    const tb::MapPainter& mapPainter() const { return m_painter; }
    const tb::RadarColours& radarColours() const { return m_radarColours; }
    const QString& applicationDir() const { return m_applicationDir; }
    // The item browser (View > "Item browser"), which the item tools take their item from.
    ItemBrowserDock& itemBrowser() { return *m_itemBrowser; }
    // The items of the selected cell (View > "Items on cell").
    ItemsPanelDock& itemsPanel() { return *m_itemsPanel; }
    // The map tools (the land tools, Terrain, Place item, Select) and their commands.
    MapToolbox& toolbox() { return *m_toolbox; }
    tb::LandTool& landTool() { return m_toolbox->landTool(); }
    tb::PlaceItemTool& placeItemTool() { return m_toolbox->placeItemTool(); }
    tb::SelectItemsTool& selectItemsTool() { return m_toolbox->selectItemsTool(); }
    tb::TerrainTool& terrainTool() { return m_toolbox->terrainTool(); }
    TerrainCommands& terrainCommands() { return m_toolbox->terrainCommands(); }
    ItemCommands& itemCommands() { return m_toolbox->itemCommands(); }
    // The tool the map views' events go to.
    tb::MapTool* currentTool() const { return m_toolbox->currentTool(); }

    // For the shared maps' commands (app/share), which add themselves to the window.
    MainMenus& menus() { return *m_menus; }
    MapView& mapView() { return *m_mapView; }
    // Both views, top-down and isometric (View > "Isometric view"), one on screen.
    MapViews& mapViews() { return *m_views; }
    JobRunner& documentJobs() { return m_documentJobs; }
    Prompts& prompts() { return m_prompts; }
    QSettings& settings() { return m_settings; }
    // A map from elsewhere (a shared facet) becomes the document, without a file, with its
    // items when it comes with them.
    void adoptMap(tb::MapImage image, std::unique_ptr<tb::StaticsMap> statics = nullptr);

signals:
    // The window has run its closing steps; the program ends its event loop on it.
    void formClosed();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanels();
    void connectPanels();
    void connectMenus();
    void firstShow();
    void refreshStatusBar();
    void updateCellSwitches();
    void readViewSettings();
    ViewSettingsControls viewControls() const;
    void readRadarColours();
    void mapPathChanged();
    // The map path box identified again: the view's size follows the file it names.
    void identifyMapPath();
    // The loaded map and art read again, the view staying where it is if it still fits.
    void reloadMap();
    void mapLoadedOrNot();
    void connectMapViews();
    void showGameData();
    // The tools
    // The document edits may reach now: none while no map is loaded or a job changes it.
    tb::MapDocument* editableDocument();
    const tb::TileData* itemTileData() const;
    void pickTile(int x, int y);
    // Puts the cell into the jump boxes and jumps there.
    void jumpToCell(int x, int y);
    // The other windows
    void showOverview();
    // File > "New world from pictures...": the new map is opened once it is written.
    void newWorldFromPictures();
    // Puts `path` into the map path box and loads it, unsaved changes settled first.
    void openMapFile(const QString& path);
    // tb::DocumentListener: the caption marks unsaved changes, the Edit menu names the
    // steps, and the status bar counts the items of the cell under the pointer.
    void cellsChanged(const tb::CellChange& change) override;
    void modifiedChanged(bool modified) override;
    void historyChanged() override;

    QSettings& m_settings;
    QString m_applicationDir;
    std::mt19937& m_random;
    Prompts& m_prompts;

    tb::MapDocument m_document;
    tb::ListenerConnection m_documentConnection;
    tb::ArtFiles m_art;
    tb::RadarColours m_radarColours;
    tb::EditorState m_state;
    tb::EngineRandomSource m_randomSource{m_random};
    tb::MapPainter m_painter{m_randomSource};
    int m_currentX = 0;
    int m_currentY = 0;
    bool m_pointerOverMap = true;                 // the current cell is one of the map's
    std::optional<tb::PointedItem> m_pointedItem; // the isometric view's item under the pointer
    // The window's jobs: those that change the document and those that write pictures of
    // it. After what they read, so they end before it goes.
    TaskCenter m_tasks;
    JobRunner& m_documentJobs = m_tasks.documentJobs();
    JobRunner& m_exportJobs = m_tasks.exportJobs();

    MainMenus* m_menus = nullptr;
    ToolBarPanel* m_toolBar = nullptr;
    LeftPanel* m_leftPanel = nullptr;
    MapView* m_mapView = nullptr;
    MapViews* m_views = nullptr;
    TilePalette* m_palette = nullptr;
    BottomPanel* m_bottomPanel = nullptr;
    FilePanel* m_filePanel = nullptr;
    EditorStatusBar* m_statusBar = nullptr;
    MapFileCommands* m_files = nullptr;
    HeightmapCommands* m_heightmaps = nullptr;
    ItemsLayer* m_itemsLayer = nullptr;
    StaticsCompaction* m_compaction = nullptr;
    DiskChangeCheck* m_diskChanges = nullptr;
    CatalogueCommands* m_catalogues = nullptr;
    ToolWindowCommands* m_tools = nullptr;
    ItemBrowserDock* m_itemBrowser = nullptr;
    ItemsPanelDock* m_itemsPanel = nullptr;
    MapToolbox* m_toolbox = nullptr;

    QString m_acceptedMapPath; // the map path box's text as last accepted
    QString m_startMapFile;    // loaded once the window is first shown
    bool m_firstMapPathChange = true;
    bool m_shown = false;
    bool m_closed = false;
};

} // namespace tbapp
