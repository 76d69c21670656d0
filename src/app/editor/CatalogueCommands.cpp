#include "app/editor/CatalogueCommands.h"

#include "app/editor/BottomPanel.h"
#include "app/editor/TilePalette.h"
#include "app/editor/ToolBarPanel.h"

#include "app/catalogue/BrushEditorDialog.h"
#include "app/catalogue/CatalogueContext.h"
#include "app/catalogue/OptionsDialog.h"

#include "catalogue/TextureList.h"
#include "catalogue/TileGroup.h"
#include "catalogue/TileList.h"

#include <filesystem>

namespace tbapp {

CatalogueCommands::CatalogueCommands(const QString& applicationDir, ToolBarPanel& toolBar,
                                     TilePalette& palette, BottomPanel& bottomPanel, ArtSource art,
                                     Prompts& prompts, QWidget* window)
    : QObject(window), m_applicationDir(applicationDir), m_toolBar(toolBar), m_palette(palette),
      m_bottomPanel(bottomPanel), m_art(std::move(art)), m_prompts(prompts), m_window(window) {}

void CatalogueCommands::loadTileGroups() {
    const std::filesystem::path appDir(m_applicationDir.toStdU16String());
    // The ids are read here, once; a bad one fails only when painting picks it.
    m_bottomPanel.setTileGroups(
        tb::tileGroups(tb::readTileList(tb::resolveAppPath(appDir, "tilelist.xml"))));
}

void CatalogueCommands::loadDefaultTextureList() {
    const QString defaultList =
        QString::fromStdString(tb::textureListPath(tb::kDefaultTextureList));
    m_palette.buildListMenu(defaultList);
    m_palette.loadTextureList(defaultList);
}

void CatalogueCommands::editBrushes() {
    CatalogueContext context{m_applicationDir, dialogTileImages(m_art()), &m_prompts};
    if (runBrushEditor(context, m_window, m_toolBar.brushNames()))
        m_toolBar.listBrushes();
}

void CatalogueCommands::showOptions() {
    tb::OptionsSaveSteps steps;
    steps.loadTileGroups = [this] { loadTileGroups(); };
    steps.loadTextureList = [this](const std::string& path) { m_palette.readTextureList(path); };
    steps.buildListMenu = [this](const std::string& path) {
        m_palette.buildListMenu(QString::fromStdString(path));
    };
    CatalogueContext context{m_applicationDir, dialogTileImages(m_art()), &m_prompts};
    runOptionsCommand(context, m_window, steps);
}

} // namespace tbapp
