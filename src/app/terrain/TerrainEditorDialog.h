#pragma once
// The terrain editor: one terrain file's terrain types and the corners of its land tiles. Pick
// a land tile from the palette (or type its id), then click its corners to give each the
// terrain chosen in the list, as Tiled edits the tiles of a corner set; a tile whose four
// corners have a terrain is in the file, with its chance among the tiles of the same
// corners. Terrain types are added, renamed and coloured here too. Save replaces the file
// atomically; closing with unsaved changes asks first.

#include "app/terrain/TerrainLooks.h"

#include "catalogue/TerrainSet.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <filesystem>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tbapp {
class DrawGrid;
class Prompts;
class TileCornerView;

class TerrainEditorDialog : public QDialog {
    Q_OBJECT
public:
    // Edits `set`, read from `file`; starts on tile `startTile`. `prompts` must outlive it.
    TerrainEditorDialog(std::filesystem::path file, tb::TerrainSet set, TilePictures pictures,
                        Prompts& prompts, std::uint16_t startTile, QWidget* parent = nullptr);

    const tb::TerrainSet& terrains() const { return m_set; }
    // The file was written at least once.
    bool saved() const { return m_saved; }
    bool modified() const { return m_modified; }

    std::uint16_t tile() const { return m_tile; }
    void chooseTile(std::uint16_t id);
    // What a click on a corner of the picture does: gives the corner the terrain chosen in
    // the list, or none.
    void setCorner(int corner, bool clear);
    // Writes the file; false (and the error shown) when it could not be written.
    bool save();

    // Closing (Close, Escape, the title bar) with unsaved changes asks whether to save them.
    void reject() override;

private:
    void buildTerrainColumn(QWidget* column);
    void buildTileColumn(QWidget* column);
    void buildCornerColumn(QWidget* column);
    void addTerrain();
    void renameTerrain();
    void recolourTerrain();
    void findTile();
    void chanceChanged(int chance);
    void removeTile();
    // Sets the corners of the tile being edited, putting it into the file when all four have
    // a terrain and taking it out when one has none.
    void changeCorners(const tb::TerrainCorners& corners);
    void showTerrains();
    void showTile();
    void changed();
    void drawTile(QPainter& painter, int col, int row, const QRect& rect, bool selected);

    std::filesystem::path m_file;
    tb::TerrainSet m_set;
    TilePictures m_pictures;
    Prompts& m_prompts;
    std::uint16_t m_tile = 0;
    // The corners of the tile being edited, also while some have no terrain yet.
    tb::TerrainCorners m_corners{tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain};
    bool m_modified = false;
    bool m_saved = false;
    bool m_showing = false; // the controls are being filled: their signals change nothing

    QListWidget* m_terrainList = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_colourButton = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QPushButton* m_findButton = nullptr;
    DrawGrid* m_tileGrid = nullptr;
    QLabel* m_tileLabel = nullptr;
    TileCornerView* m_cornerView = nullptr;
    std::array<QComboBox*, 4> m_cornerBoxes{};
    QSpinBox* m_chanceSpin = nullptr;
    QPushButton* m_removeButton = nullptr;
    QLabel* m_stateLabel = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace tbapp
