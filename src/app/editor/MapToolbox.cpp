#include "app/editor/MapToolbox.h"

#include "app/editor/BottomPanel.h"
#include "app/editor/ItemCommands.h"
#include "app/editor/LeftPanel.h"
#include "app/editor/MainMenus.h"
#include "app/editor/MapView.h"
#include "app/editor/MapViews.h"
#include "app/editor/ToolBarPanel.h"
#include "app/items/ItemBrowserDock.h"
#include "app/items/ItemsPanelDock.h"
#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"
#include "app/terrain/MissingTransitionsDock.h"
#include "app/terrain/TerrainCommands.h"
#include "app/terrain/TerrainPanel.h"

#include "editor/AltitudeTool.h"

#include <QMainWindow>
#include <QStatusBar>

namespace tbapp {

MapToolbox::MapToolbox(ToolboxContext context)
    : QObject(&context.window), m_context(std::move(context)),
      m_landTool(m_context.editableDocument, m_context.state, m_context.painter),
      m_terrainTool(m_context.editableDocument, m_context.state, m_context.random),
      m_placeItemTool(m_context.editableDocument, m_context.tiledata, m_context.state),
      m_selectItemsTool(m_context.editableDocument) {
    QWidget* window = &m_context.window;
    // The tools tell the user through the window: messages and errors as prompts, notes in
    // the status bar, a refused Z as its message with the box back to "0".
    tb::ToolReports reports;
    reports.message = [this, window](const std::string& text) {
        m_context.prompts.showMessage(window, QString::fromStdString(text));
    };
    reports.error = [this, window](const std::string& text) {
        m_context.prompts.showError(window, QString::fromStdString(text));
    };
    reports.notice = [this](const std::string& text) {
        m_context.statusBar.showMessage(QString::fromStdString(text), 5000);
    };
    reports.zRefused = [this, window] {
        m_context.prompts.showMessage(window,
                                      QString::fromUtf8(tb::kZOutOfRangeMessage.data(),
                                                        qsizetype(tb::kZOutOfRangeMessage.size())));
        m_context.bottomPanel.setZText("0");
    };
    reports.changed = [this] { toolChanged(); };
    for (tb::MapTool* tool : std::initializer_list<tb::MapTool*>{
             &m_landTool, &m_terrainTool, &m_placeItemTool, &m_selectItemsTool})
        tool->setReports(reports);

    m_itemCommands = new ItemCommands(m_selectItemsTool, m_context.views.topDown(), m_context.menus,
                                      m_context.prompts, window);
    buildTerrainPanels();
    m_context.views.setTool(m_current);
    connect(&m_context.toolBar, &ToolBarPanel::toolChanged, this, &MapToolbox::switchTool);
    connect(&m_context.views, &MapViews::toolMenuRequested, m_itemCommands,
            &ItemCommands::showMenu);
    // Place item takes the browser's item and the items panel's fixed z.
    connect(&m_context.itemsPanel, &ItemsPanelDock::fixedZChanged, this,
            [this](std::optional<int> z) { m_context.state.placeItemZ = z; });
    connect(&m_context.browser, &ItemBrowserDock::currentItemChanged, this,
            [this](std::uint16_t id) {
                m_context.state.placeItemId = id;
                toolChanged();
            });
    m_context.state.placeItemId = m_context.browser.currentItem();
    m_context.state.placeItemZ = m_context.itemsPanel.fixedZ();
    // Jobs that hold the document turn the item commands off until they end.
    connect(&m_context.documentJobs, &JobRunner::busyChanged, this, &MapToolbox::toolChanged);
}

MapToolbox::~MapToolbox() {
    // The panels listen to the tools, which go with this object.
    delete m_terrain;
}

// The Terrain tool's panel and the missing transitions' dock, shut until the tool goes down
// or the user opens them from View; Fix edges in the Edit menu.
void MapToolbox::buildTerrainPanels() {
    TerrainContext terrain;
    terrain.applicationDir = m_context.applicationDir;
    terrain.document = &m_context.document;
    terrain.editableDocument = m_context.editableDocument;
    terrain.selection = [this] { return m_selectItemsTool.selection().cells; };
    terrain.paletteTile = [this] { return m_context.state.paletteTile; };
    terrain.random = &m_context.random;
    terrain.prompts = &m_context.prompts;
    terrain.documentJobs = &m_context.documentJobs;
    m_terrain = new TerrainCommands(m_terrainTool, std::move(terrain), &m_context.window);
    for (QDockWidget* dock :
         std::initializer_list<QDockWidget*>{&m_terrain->panel(), &m_terrain->missingDock()}) {
        m_context.window.addDockWidget(Qt::RightDockWidgetArea, dock);
        dock->hide();
    }
    m_context.menus.addViewToggle(m_terrain->panel().toggleViewAction(), "TerrainPanel1");
    m_context.menus.addViewToggle(m_terrain->missingDock().toggleViewAction(),
                                  "MissingTransitions1");
    m_context.menus.addEditEntry(m_terrain->fixEdgesAction());
    connect(m_terrain, &TerrainCommands::cellChosen, this, &MapToolbox::jumpRequested);
    // The Terrain tool paints with Paint's brush size, shown in both panels.
    m_terrain->panel().setBrushSize(m_context.state.brushSize);
    connect(&m_terrain->panel(), &TerrainPanel::brushSizeChanged, &m_context.leftPanel,
            &LeftPanel::setBrushSize);
    connect(&m_context.leftPanel, &LeftPanel::brushSizeChanged, &m_terrain->panel(),
            &TerrainPanel::setBrushSize);
}

void MapToolbox::switchTool() {
    tb::MapTool* next = &m_landTool;
    switch (m_context.toolBar.toolKind()) {
    case ToolKind::Terrain:
        next = &m_terrainTool;
        break;
    case ToolKind::PlaceItem:
        next = &m_placeItemTool;
        break;
    case ToolKind::SelectItems:
        next = &m_selectItemsTool;
        break;
    case ToolKind::Land:
        break;
    }
    if (next != m_current) {
        m_current->deactivate();
        m_current = next;
        m_current->activate();
        if (next == &m_terrainTool)
            m_terrain->panel().show();
    }
    m_context.views.setTool(m_current);
    toolChanged();
}

void MapToolbox::toolChanged() {
    m_context.views.toolChanged();
    m_itemCommands->setActive(m_current == &m_selectItemsTool,
                              m_context.editableDocument() != nullptr);
}

void MapToolbox::mapLoaded(const std::function<QImage(std::uint16_t, int)>& tilePictures) {
    m_selectItemsTool.clearSelection();
    m_terrain->setPictures(tilePictures);
    m_terrain->refresh();
}

} // namespace tbapp
