#pragma once
// The tile palette on the right of the main window: the full palette (every land tile id)
// and the sorted palette (the ids of one texture list), "Go" to an id, and the menu of
// texture lists. A click on a tile makes it the tile that "Selected tile from list" paints.

#include "app/editor/ToolIcons.h"

#include "editor/EditorState.h"

#include <QWidget>

#include <string>
#include <vector>

class QActionGroup;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;

namespace tbapp {
class DrawGrid;
class Prompts;

class TilePalette : public QWidget {
    Q_OBJECT
public:
    // `state` must outlive the panel; the lists are read below `applicationDir`.
    TilePalette(tb::EditorState& state, const QString& applicationDir, Prompts& prompts,
                QWidget* parent);

    // Where the tile pictures come from (none before a map and its art are loaded).
    void setPictures(TilePictureSource pictures);
    void setShowTileIds(bool show);
    void repaintTiles();
    // Fills the sorted palette from a list file (path relative to the program folder);
    // failures are shown and the rows before them stay. Throwing variant: readTextureList.
    void loadTextureList(const QString& relativePath);
    void readTextureList(const std::string& relativePath);
    // One radio entry per textures/*.lst, the one `currentPath` names checked.
    void buildListMenu(const QString& currentPath);
    // The row holding `id` scrolls to the top and is framed red, and `id` becomes the
    // palette tile; the selected row and the draw mode stay. Nothing when no row holds it.
    void goTo(std::int32_t id);
    // The tile of the row the visible palette shows as selected.
    std::uint16_t selectedTile() const;
    // The row framed by the last "Go" or pick in a palette, or -1.
    int markedRow(bool sortedView) const;
    const std::vector<std::string>& sortedRows() const { return m_sortedRows; }
    const QString& textureListPath() const { return m_textureListPath; }

signals:
    // A tile was clicked: it is the palette tile now, to be painted.
    void tilePicked();
    // The visible palette or its selected row changed.
    void selectionChanged();

private:
    void findClicked();
    void showSorted(bool sorted);
    void rowSelected(bool sortedView, int row);
    void drawTile(bool sortedView, QPainter& painter, int row, const QRect& rect, bool selected);

    tb::EditorState& m_state;
    QString m_applicationDir;
    Prompts& m_prompts;
    TilePictureSource m_pictures;
    bool m_showTileIds = true;
    QLineEdit* m_findEdit = nullptr;
    QPushButton* m_findButton = nullptr;
    QPushButton* m_listMenuButton = nullptr;
    QCheckBox* m_sortedCheck = nullptr;
    DrawGrid* m_fullGrid = nullptr;
    DrawGrid* m_sortedGrid = nullptr;
    QMenu* m_listMenu = nullptr;
    QActionGroup* m_listGroup = nullptr;
    std::vector<std::string> m_sortedRows;
    QString m_textureListPath;
    int m_fullSelectedRow = 0;
    int m_sortedSelectedRow = 0;
    int m_fullMarkedRow = -1;
    int m_sortedMarkedRow = -1;
};

} // namespace tbapp
