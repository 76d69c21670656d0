#pragma once
// The Terrain tool's panel: the terrain files of the catalogue folder (terrains/*.xml), the
// terrain types of the chosen one (name, colour and a fill tile's picture), the brush size the
// tool shares with Paint, Fix edges and the terrain editor. It only shows and announces; the
// terrain commands read the files and hand the tool what was chosen.

#include "app/terrain/TerrainLooks.h"

#include "catalogue/TerrainSet.h"
#include "catalogue/TerrainTiles.h"

#include <QDockWidget>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tbapp {

class TerrainPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit TerrainPanel(QWidget* parent = nullptr);

    // Lists the file names and chooses `chosen` among them, announcing nothing.
    void showFiles(const QStringList& names, const QString& chosen);
    QString chosenFile() const;
    // Lists the terrains of `set`, the fill tiles' pictures from `tiles`, and chooses the
    // one chosen before, or the first; `problem`, when not empty, says why there are none.
    void showTerrains(const tb::TerrainSet& set, const tb::TerrainTiles& tiles,
                      const QString& problem = {});
    std::optional<tb::TerrainId> chosenTerrain() const;
    // Where the fill tiles' pictures come from (none before a map and its art are loaded).
    void setPictures(TilePictures pictures);
    void setBrushSize(int size);
    // Fix edges and the editor follow whether there is anything to work on.
    void setCommandsEnabled(bool fixEdges, bool editTerrains);

signals:
    void fileChosen(const QString& name);
    void terrainChosen(std::optional<tb::TerrainId> terrain);
    void brushSizeChanged(int size);
    void fixEdgesClicked();
    void editClicked();

private:
    void refreshIcons();

    QComboBox* m_fileBox = nullptr;
    QListWidget* m_terrainList = nullptr;
    QLabel* m_problemLabel = nullptr;
    QSpinBox* m_brushSizeSpin = nullptr;
    QPushButton* m_fixEdgesButton = nullptr;
    QPushButton* m_editButton = nullptr;
    TilePictures m_pictures;
    std::vector<tb::Terrain> m_terrains;
    std::vector<std::optional<std::uint16_t>> m_fills; // each terrain's fill tile
};

} // namespace tbapp
