#pragma once
// The main window's commands on the catalogues beside the program: the tile groups of the
// draw mode list, the default texture list of the palette, the brush editor ("Edit") and
// the options dialog, which both rewrite catalogue files that are read back afterwards.

#include <QObject>
#include <QString>

#include <functional>

namespace tb {
struct ArtFiles;
}

namespace tbapp {
class BottomPanel;
class Prompts;
class TilePalette;
class ToolBarPanel;

class CatalogueCommands : public QObject {
    Q_OBJECT
public:
    // The art the dialogs show tiles from: null while no map is loaded.
    using ArtSource = std::function<const tb::ArtFiles*()>;

    // The panels and `prompts` must outlive the object; `window` is the dialogs' parent.
    CatalogueCommands(const QString& applicationDir, ToolBarPanel& toolBar, TilePalette& palette,
                      BottomPanel& bottomPanel, ArtSource art, Prompts& prompts, QWidget* window);

    // The draw mode list from tilelist.xml; a missing file leaves only the fixed modes.
    void loadTileGroups();
    // The default texture list into the palette and the list menu.
    void loadDefaultTextureList();
    // "Edit": the brush editor with the listed brushes; after OK the list is read again.
    void editBrushes();
    // "&Options...": after OK the files it wrote are read back: the tile groups, then the
    // chosen texture list into the palette and the list menu.
    void showOptions();

private:
    QString m_applicationDir;
    ToolBarPanel& m_toolBar;
    TilePalette& m_palette;
    BottomPanel& m_bottomPanel;
    ArtSource m_art;
    Prompts& m_prompts;
    QWidget* m_window;
};

} // namespace tbapp
