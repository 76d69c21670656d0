#pragma once
// The map tools of the main window and what goes with them: the land tools, Terrain, Place
// item and Select; how they speak to the user; the item selection's commands; the Terrain
// tool's panel, dock and Fix edges. The tool bar says which tool is down and the toolbox
// hands it to both map views: the window only switches tools.

#include "editor/EditorState.h"
#include "editor/LandTool.h"
#include "editor/MapDocument.h"
#include "editor/MapPainter.h"
#include "editor/PlaceItemTool.h"
#include "editor/SelectItemsTool.h"
#include "editor/TerrainTool.h"
#include "shell/RandomSource.h"

#include <QObject>
#include <QString>

#include <functional>

class QMainWindow;
class QStatusBar;

namespace tbapp {
class BottomPanel;
class ItemBrowserDock;
class ItemCommands;
class ItemsPanelDock;
class JobRunner;
class LeftPanel;
class MainMenus;
class MapViews;
class Prompts;
class TerrainCommands;
class ToolBarPanel;

// What the toolbox works with; everything must outlive it.
struct ToolboxContext {
    tb::MapDocument& document;
    tb::EditorState& state;
    tb::MapPainter& painter;
    tb::RandomSource& random;
    // The document edits may reach now: none without a map or while a job holds it.
    std::function<tb::MapDocument*()> editableDocument;
    // The game's item heights and flags (none while not read).
    std::function<const tb::TileData*()> tiledata;
    QString applicationDir;
    Prompts& prompts;
    JobRunner& documentJobs;
    QMainWindow& window;
    MainMenus& menus;
    ToolBarPanel& toolBar;
    LeftPanel& leftPanel;
    BottomPanel& bottomPanel;
    MapViews& views;
    ItemBrowserDock& browser;
    ItemsPanelDock& itemsPanel;
    QStatusBar& statusBar;
};

class MapToolbox : public QObject {
    Q_OBJECT
public:
    explicit MapToolbox(ToolboxContext context);
    ~MapToolbox() override;

    tb::LandTool& landTool() { return m_landTool; }
    tb::TerrainTool& terrainTool() { return m_terrainTool; }
    tb::PlaceItemTool& placeItemTool() { return m_placeItemTool; }
    tb::SelectItemsTool& selectItemsTool() { return m_selectItemsTool; }
    tb::MapTool* currentTool() const { return m_current; }
    ItemCommands& itemCommands() { return *m_itemCommands; }
    TerrainCommands& terrainCommands() { return *m_terrain; }

    // The tool the tool bar has down goes to the views.
    void switchTool();
    // A Load ended: the selection goes, the Terrain panel shows the new art's pictures.
    void mapLoaded(const std::function<QImage(std::uint16_t, int)>& tilePictures);

signals:
    // A cell the Terrain tool's dock names, to jump to.
    void jumpRequested(int x, int y);

private:
    void toolChanged();
    void buildTerrainPanels();

    ToolboxContext m_context;
    tb::LandTool m_landTool;
    tb::TerrainTool m_terrainTool;
    tb::PlaceItemTool m_placeItemTool;
    tb::SelectItemsTool m_selectItemsTool;
    tb::MapTool* m_current = &m_landTool;
    ItemCommands* m_itemCommands = nullptr;
    TerrainCommands* m_terrain = nullptr;
};

} // namespace tbapp
