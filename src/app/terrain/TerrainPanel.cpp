#include "app/terrain/TerrainPanel.h"

#include "app/shell/ObjectNamed.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tbapp {
namespace {

constexpr int kSwatchSize = 22;

} // namespace

TerrainPanel::TerrainPanel(QWidget* parent) : QDockWidget("Terrain", parent) {
    setObjectName("TerrainPanel");
    setAccessibleName("Terrain");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);

    auto* form = new QFormLayout;
    m_fileBox = named(new QComboBox(body), "TerrainFileBox");
    m_fileBox->setAccessibleName("Terrain file");
    m_fileBox->setToolTip("The terrain files of the terrains folder beside the program");
    form->addRow("File:", m_fileBox);
    m_brushSizeSpin = named(new QSpinBox(body), "TerrainBrushSize");
    m_brushSizeSpin->setRange(1, 9);
    m_brushSizeSpin->setAccessibleName("Brush size");
    m_brushSizeSpin->setToolTip("The side of the square brush, shared with Paint");
    form->addRow("Brush size:", m_brushSizeSpin);
    layout->addLayout(form);

    m_terrainList = named(new QListWidget(body), "TerrainList");
    m_terrainList->setAccessibleName("Terrain types");
    m_terrainList->setIconSize(QSize(kSwatchSize * 2 + 2, kSwatchSize));
    m_terrainList->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_terrainList, 1);
    m_problemLabel = named(new QLabel(body), "TerrainProblem");
    m_problemLabel->setAccessibleName("Problem with the terrain file");
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setStyleSheet("color: #b00000");
    m_problemLabel->hide();
    layout->addWidget(m_problemLabel);

    auto* buttons = new QHBoxLayout;
    m_fixEdgesButton = named(new QPushButton("Fix edges", body), "TerrainFixEdges");
    m_fixEdgesButton->setAccessibleName("Fix edges");
    m_fixEdgesButton->setToolTip(
        "Give every cell of the item selection, or of a rectangle you give, the tile its "
        "corners ask for");
    m_editButton = named(new QPushButton("Edit terrains...", body), "TerrainEdit");
    m_editButton->setAccessibleName("Edit terrains");
    m_editButton->setToolTip("Set the corners and chances of land tiles, add and rename terrains");
    buttons->addWidget(m_fixEdgesButton);
    buttons->addWidget(m_editButton);
    layout->addLayout(buttons);
    setWidget(body);

    connect(m_fileBox, &QComboBox::currentTextChanged, this, &TerrainPanel::fileChosen);
    connect(m_terrainList, &QListWidget::currentRowChanged, this,
            [this] { emit terrainChosen(chosenTerrain()); });
    connect(m_brushSizeSpin, &QSpinBox::valueChanged, this, &TerrainPanel::brushSizeChanged);
    connect(m_fixEdgesButton, &QPushButton::clicked, this, &TerrainPanel::fixEdgesClicked);
    connect(m_editButton, &QPushButton::clicked, this, &TerrainPanel::editClicked);
}

void TerrainPanel::showFiles(const QStringList& names, const QString& chosen) {
    const QSignalBlocker quiet(m_fileBox);
    m_fileBox->clear();
    m_fileBox->addItems(names);
    m_fileBox->setCurrentIndex(m_fileBox->findText(chosen));
}

QString TerrainPanel::chosenFile() const {
    return m_fileBox->currentText();
}

void TerrainPanel::showTerrains(const tb::TerrainSet& set, const tb::TerrainTiles& tiles,
                                const QString& problem) {
    m_terrains = set.terrains;
    m_fills.clear();
    for (std::size_t i = 0; i < set.terrains.size(); ++i)
        m_fills.push_back(tiles.fillTile(tb::TerrainId(i)));
    {
        // The terrain chosen stays chosen when the file is read again after an edit.
        const int row = m_terrainList->currentRow();
        const QSignalBlocker quiet(m_terrainList);
        m_terrainList->clear();
        for (const tb::Terrain& terrain : set.terrains) {
            auto* item = new QListWidgetItem(QString::fromStdString(terrain.name), m_terrainList);
            item->setToolTip(
                QString::fromStdString(terrain.name + " " + tb::colourText(terrain.colour)));
        }
        refreshIcons();
        if (!set.terrains.empty())
            m_terrainList->setCurrentRow(std::clamp(row, 0, int(set.terrains.size()) - 1));
    }
    m_problemLabel->setText(problem);
    m_problemLabel->setVisible(!problem.isEmpty());
    emit terrainChosen(chosenTerrain());
}

std::optional<tb::TerrainId> TerrainPanel::chosenTerrain() const {
    const int row = m_terrainList->currentRow();
    if (row < 0 || std::size_t(row) >= m_terrains.size())
        return std::nullopt;
    return tb::TerrainId(row);
}

void TerrainPanel::setPictures(TilePictures pictures) {
    m_pictures = std::move(pictures);
    refreshIcons();
}

void TerrainPanel::refreshIcons() {
    for (int row = 0; row < m_terrainList->count() && std::size_t(row) < m_terrains.size(); ++row) {
        const std::optional<std::uint16_t> fill = m_fills[std::size_t(row)];
        const QImage picture = fill && m_pictures ? m_pictures(*fill, kSwatchSize) : QImage();
        m_terrainList->item(row)->setIcon(
            terrainSwatch(m_terrains[std::size_t(row)], picture, kSwatchSize));
    }
}

void TerrainPanel::setBrushSize(int size) {
    const QSignalBlocker quiet(m_brushSizeSpin);
    m_brushSizeSpin->setValue(size);
}

void TerrainPanel::setCommandsEnabled(bool fixEdges, bool editTerrains) {
    m_fixEdgesButton->setEnabled(fixEdges);
    m_editButton->setEnabled(editTerrains);
}

} // namespace tbapp
