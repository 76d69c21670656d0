#include "app/terrain/TerrainEditorDialog.h"

#include "app/catalogue/TileCells.h"
#include "app/shell/DrawGrid.h"
#include "app/shell/ObjectNamed.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "app/terrain/TileCornerView.h"

#include "catalogue/TerrainFile.h"
#include "shell/NumberText.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <exception>

namespace tbapp {
namespace {

constexpr int kGridColumns = 4;
constexpr int kTileCount = tb::kMaxLandTileId + 1;
constexpr int kSwatchSize = 16;

const char* const kCornerNames[4] = {"TerrainCornerTopLeft", "TerrainCornerTopRight",
                                     "TerrainCornerBottomLeft", "TerrainCornerBottomRight"};
const char* const kCornerTexts[4] = {"Top left", "Top right", "Bottom left", "Bottom right"};

// Colours new terrains start with, in turn.
constexpr std::uint32_t kNewColours[] = {0x3C8C28, 0xD8C890, 0x2860A8, 0x806040,
                                         0x909090, 0xE8E8F0, 0x305830, 0xA04030};

QString idText(std::uint16_t id) {
    return QString("$%1").arg(id, 4, 16, QChar('0')).toUpper();
}

} // namespace

TerrainEditorDialog::TerrainEditorDialog(std::filesystem::path file, tb::TerrainSet set,
                                         TilePictures pictures, Prompts& prompts,
                                         std::uint16_t startTile, QWidget* parent)
    : QDialog(parent), m_file(std::move(file)), m_set(std::move(set)),
      m_pictures(std::move(pictures)), m_prompts(prompts) {
    setObjectName("TerrainEditor");
    setWindowTitle("Terrain editor - " + uiText(m_file.filename()));
    auto* columns = new QHBoxLayout;
    auto* terrainColumn = new QGroupBox("Terrain types", this);
    auto* tileColumn = new QGroupBox("Land tiles", this);
    auto* cornerColumn = new QGroupBox("Corners", this);
    buildTerrainColumn(terrainColumn);
    buildTileColumn(tileColumn);
    buildCornerColumn(cornerColumn);
    columns->addWidget(terrainColumn);
    columns->addWidget(tileColumn);
    columns->addWidget(cornerColumn, 1);

    m_saveButton = named(new QPushButton("Save", this), "TerrainSave");
    m_saveButton->setAccessibleName("Save the terrain file");
    m_closeButton = named(new QPushButton("Close", this), "TerrainClose");
    m_closeButton->setAccessibleName("Close the terrain editor");
    m_closeButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(m_closeButton, &QPushButton::clicked, this, &TerrainEditorDialog::reject);
    resize(760, 520);

    showTerrains();
    chooseTile(std::min<std::uint16_t>(startTile, tb::kMaxLandTileId));
    m_saveButton->setEnabled(false);
}

void TerrainEditorDialog::buildTerrainColumn(QWidget* column) {
    auto* layout = new QVBoxLayout(column);
    m_terrainList = named(new QListWidget(column), "TerrainTypeList");
    m_terrainList->setAccessibleName("Terrain types");
    m_terrainList->setToolTip("The terrain a click on a corner gives it");
    m_terrainList->setIconSize(QSize(kSwatchSize, kSwatchSize));
    layout->addWidget(m_terrainList, 1);
    m_addButton = named(new QPushButton("Add...", column), "TerrainTypeAdd");
    m_addButton->setAccessibleName("Add a terrain type");
    m_renameButton = named(new QPushButton("Rename...", column), "TerrainTypeRename");
    m_renameButton->setAccessibleName("Rename the terrain type");
    m_colourButton = named(new QPushButton("Colour...", column), "TerrainTypeColour");
    m_colourButton->setAccessibleName("Colour of the terrain type");
    for (QPushButton* button : {m_addButton, m_renameButton, m_colourButton}) {
        button->setAutoDefault(false);
        layout->addWidget(button);
    }
    connect(m_addButton, &QPushButton::clicked, this, &TerrainEditorDialog::addTerrain);
    connect(m_renameButton, &QPushButton::clicked, this, &TerrainEditorDialog::renameTerrain);
    connect(m_colourButton, &QPushButton::clicked, this, &TerrainEditorDialog::recolourTerrain);
}

void TerrainEditorDialog::buildTileColumn(QWidget* column) {
    auto* layout = new QVBoxLayout(column);
    auto* findRow = new QHBoxLayout;
    m_findEdit = named(new QLineEdit(column), "TerrainTileFind");
    m_findEdit->setAccessibleName("Tile id to find");
    m_findEdit->setPlaceholderText("$hex or decimal");
    m_findButton = named(new QPushButton("Go", column), "TerrainTileGo");
    m_findButton->setAccessibleName("Go to the tile id");
    m_findButton->setAutoDefault(false);
    findRow->addWidget(m_findEdit);
    findRow->addWidget(m_findButton);
    layout->addLayout(findRow);
    m_tileGrid = named(new DrawGrid(column), "TerrainTileGrid");
    m_tileGrid->setAccessibleName("Land tiles");
    m_tileGrid->setBackgroundColour(Qt::white);
    m_tileGrid->setColCount(kGridColumns);
    m_tileGrid->setRowCount(kTileCount / kGridColumns);
    m_tileGrid->setDefaultColWidth(kDialogCellSize);
    m_tileGrid->setDefaultRowHeight(kDialogCellSize);
    m_tileGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tileGrid->setFixedWidth(kGridColumns * (kDialogCellSize + 1) + 24);
    layout->addWidget(m_tileGrid, 1);
    m_tileGrid->setDrawCellHandler(
        [this](QPainter& p, int col, int row, const QRect& rect, bool selected) {
            drawTile(p, col, row, rect, selected);
        });
    m_tileGrid->setSelectCellHandler([this](int col, int row) {
        const int id = row * kGridColumns + col;
        if (id >= 0 && id < kTileCount && id != m_tile)
            chooseTile(std::uint16_t(id));
    });
    connect(m_findButton, &QPushButton::clicked, this, &TerrainEditorDialog::findTile);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &TerrainEditorDialog::findTile);
}

void TerrainEditorDialog::buildCornerColumn(QWidget* column) {
    auto* layout = new QVBoxLayout(column);
    m_tileLabel = named(new QLabel(column), "TerrainTileLabel");
    m_tileLabel->setAccessibleName("Tile being edited");
    layout->addWidget(m_tileLabel);
    m_cornerView = named(new TileCornerView(column), "TerrainCorners");
    m_cornerView->setAccessibleName("Corners of the tile");
    m_cornerView->setToolTip("Click a corner to give it the terrain chosen on the left; a right "
                             "click takes its terrain away");
    layout->addWidget(m_cornerView, 1);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < m_cornerBoxes.size(); ++i) {
        QComboBox* box = named(new QComboBox(column), kCornerNames[i]);
        box->setAccessibleName(QString("%1 corner").arg(kCornerTexts[i]));
        form->addRow(QString("%1:").arg(kCornerTexts[i]), box);
        connect(box, &QComboBox::currentIndexChanged, this, [this, i](int index) {
            if (m_showing)
                return;
            tb::TerrainCorners corners = m_corners;
            corners[i] = index <= 0 ? tb::kNoTerrain : tb::TerrainId(index - 1);
            changeCorners(corners);
        });
        m_cornerBoxes[i] = box;
    }
    m_chanceSpin = named(new QSpinBox(column), "TerrainTileChance");
    m_chanceSpin->setRange(0, tb::kMaxTileChance);
    m_chanceSpin->setValue(1);
    m_chanceSpin->setAccessibleName("Chance");
    m_chanceSpin->setToolTip("How often the tile is chosen among the tiles of the same corners; "
                             "0: never, but its corners are still read");
    form->addRow("Chance:", m_chanceSpin);
    layout->addLayout(form);
    m_stateLabel = named(new QLabel(column), "TerrainTileState");
    m_stateLabel->setAccessibleName("Whether the tile is in the file");
    m_stateLabel->setWordWrap(true);
    layout->addWidget(m_stateLabel);
    m_removeButton = named(new QPushButton("Remove tile", column), "TerrainTileRemove");
    m_removeButton->setAccessibleName("Remove the tile from the file");
    m_removeButton->setAutoDefault(false);
    layout->addWidget(m_removeButton);
    connect(m_cornerView, &TileCornerView::cornerClicked, this, &TerrainEditorDialog::setCorner);
    connect(m_chanceSpin, &QSpinBox::valueChanged, this, &TerrainEditorDialog::chanceChanged);
    connect(m_removeButton, &QPushButton::clicked, this, &TerrainEditorDialog::removeTile);
}

void TerrainEditorDialog::chooseTile(std::uint16_t id) {
    m_tile = id;
    const tb::TerrainTile* entry = m_set.findTile(id);
    m_corners =
        entry ? entry->corners
              : tb::TerrainCorners{tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain};
    {
        const DrawGrid::SelectionDetacher quiet(*m_tileGrid);
        m_tileGrid->setRow(id / kGridColumns);
        m_tileGrid->setCol(id % kGridColumns);
    }
    m_tileGrid->viewport()->update();
    showTile();
}

void TerrainEditorDialog::findTile() {
    const std::optional<std::int32_t> id = tb::tryStrToInt(m_findEdit->text().toStdString());
    if (!id || *id < 0 || *id > tb::kMaxLandTileId) {
        m_prompts.showMessage(this, QString("'%1' is no land tile id: give one from 0 to %2 "
                                            "($0000 to $%3).")
                                        .arg(m_findEdit->text())
                                        .arg(tb::kMaxLandTileId)
                                        .arg(tb::kMaxLandTileId, 4, 16, QChar('0')));
        return;
    }
    chooseTile(std::uint16_t(*id));
}

void TerrainEditorDialog::setCorner(int corner, bool clear) {
    if (corner < 0 || corner > 3)
        return;
    const int row = m_terrainList->currentRow();
    if (!clear && (row < 0 || std::size_t(row) >= m_set.terrains.size())) {
        m_prompts.showMessage(this, "Add a terrain type first: a corner takes the terrain "
                                    "chosen in the list.");
        return;
    }
    tb::TerrainCorners corners = m_corners;
    corners[std::size_t(corner)] = clear ? tb::kNoTerrain : tb::TerrainId(row);
    changeCorners(corners);
}

void TerrainEditorDialog::changeCorners(const tb::TerrainCorners& corners) {
    if (corners == m_corners)
        return;
    m_corners = corners;
    if (tb::hasAllCorners(corners)) {
        const tb::TerrainTile* entry = m_set.findTile(m_tile);
        m_set.setTile({m_tile, corners, entry ? entry->chance : m_chanceSpin->value()});
    } else {
        m_set.removeTile(m_tile);
    }
    changed();
    showTile();
}

void TerrainEditorDialog::chanceChanged(int chance) {
    if (m_showing)
        return;
    const tb::TerrainTile* entry = m_set.findTile(m_tile);
    if (!entry || entry->chance == chance)
        return;
    tb::TerrainTile tile = *entry;
    tile.chance = chance;
    m_set.setTile(tile);
    changed();
}

void TerrainEditorDialog::removeTile() {
    m_corners = {tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain, tb::kNoTerrain};
    if (m_set.removeTile(m_tile))
        changed();
    showTile();
}

void TerrainEditorDialog::addTerrain() {
    const std::optional<QString> name =
        m_prompts.inputText(this, "Add terrain", "Name of the new terrain type:", QString());
    if (!name)
        return;
    if (const auto problem = tb::terrainNameProblem(m_set, name->toStdString())) {
        m_prompts.showMessage(this, QString::fromStdString(*problem));
        return;
    }
    try {
        const std::size_t n = m_set.terrains.size();
        m_set.addTerrain(name->toStdString(), kNewColours[n % std::size(kNewColours)]);
    } catch (const std::exception& error) {
        m_prompts.showMessage(this, QString::fromStdString(error.what()));
        return;
    }
    changed();
    showTerrains();
    m_terrainList->setCurrentRow(m_terrainList->count() - 1);
}

void TerrainEditorDialog::renameTerrain() {
    const int row = m_terrainList->currentRow();
    if (row < 0 || std::size_t(row) >= m_set.terrains.size())
        return;
    const QString old = QString::fromStdString(m_set.terrains[std::size_t(row)].name);
    const std::optional<QString> name =
        m_prompts.inputText(this, "Rename terrain", QString("New name of %1:").arg(old), old);
    if (!name || *name == old)
        return;
    if (const auto problem =
            tb::terrainNameProblem(m_set, name->toStdString(), tb::TerrainId(row))) {
        m_prompts.showMessage(this, QString::fromStdString(*problem));
        return;
    }
    m_set.renameTerrain(tb::TerrainId(row), name->toStdString());
    changed();
    showTerrains();
}

void TerrainEditorDialog::recolourTerrain() {
    const int row = m_terrainList->currentRow();
    if (row < 0 || std::size_t(row) >= m_set.terrains.size())
        return;
    tb::Terrain& terrain = m_set.terrains[std::size_t(row)];
    QColorDialog dialog(terrainColour(terrain), this);
    dialog.setObjectName("TerrainColourDialog");
    dialog.setWindowTitle(QString("Colour of %1").arg(QString::fromStdString(terrain.name)));
    if (m_prompts.execDialog(dialog) != QDialog::Accepted || !dialog.currentColor().isValid())
        return;
    const std::uint32_t colour = dialog.currentColor().rgb() & 0xFFFFFFu;
    if (colour == terrain.colour)
        return;
    terrain.colour = colour;
    changed();
    showTerrains();
}

// The list and the corner boxes name the terrains; the choice in the list stays.
void TerrainEditorDialog::showTerrains() {
    m_showing = true;
    const int row = m_terrainList->currentRow();
    m_terrainList->clear();
    for (const tb::Terrain& terrain : m_set.terrains) {
        auto* item = new QListWidgetItem(QString::fromStdString(terrain.name), m_terrainList);
        QPixmap swatch(kSwatchSize, kSwatchSize);
        swatch.fill(terrainColour(terrain));
        item->setIcon(swatch);
        item->setToolTip(QString::fromStdString(tb::colourText(terrain.colour)));
    }
    if (!m_set.terrains.empty())
        m_terrainList->setCurrentRow(std::clamp(row, 0, int(m_set.terrains.size()) - 1));
    for (QComboBox* box : m_cornerBoxes) {
        box->clear();
        box->addItem("(none)");
        for (const tb::Terrain& terrain : m_set.terrains)
            box->addItem(QString::fromStdString(terrain.name));
    }
    m_showing = false;
    showTile();
}

void TerrainEditorDialog::showTile() {
    m_showing = true;
    const tb::TerrainTile* entry = m_set.findTile(m_tile);
    m_tileLabel->setText(QString("Tile %1 (%2)").arg(idText(m_tile)).arg(m_tile));
    TileCornerView::Corners corners;
    for (std::size_t i = 0; i < 4; ++i) {
        const tb::TerrainId id = m_corners[i];
        const bool known = id < m_set.terrains.size();
        if (known)
            corners[i] = TileCornerView::Corner{QString::fromStdString(m_set.terrains[id].name),
                                                terrainColour(m_set.terrains[id])};
        m_cornerBoxes[i]->setCurrentIndex(known ? int(id) + 1 : 0);
    }
    m_cornerView->showTile(m_pictures ? m_pictures(m_tile, 176) : QImage(), corners);
    m_chanceSpin->setValue(entry ? entry->chance : 1);
    m_removeButton->setEnabled(entry != nullptr);
    if (entry)
        m_stateLabel->setText("In the file.");
    else
        m_stateLabel->setText("Not in the file: give all four corners a terrain to add it.");
    m_tileGrid->viewport()->update();
    m_showing = false;
}

void TerrainEditorDialog::changed() {
    m_modified = true;
    m_saveButton->setEnabled(true);
}

// Each tile of the file shows its corners' colours.
void TerrainEditorDialog::drawTile(QPainter& painter, int col, int row, const QRect& rect,
                                   bool selected) {
    const int id = row * kGridColumns + col;
    if (id < 0 || id >= kTileCount) {
        painter.fillRect(rect, Qt::white);
        return;
    }
    const QImage picture = m_pictures ? m_pictures(std::uint16_t(id), kDialogCellSize) : QImage();
    drawTileCell(painter, rect, picture, QColor(230, 230, 230), selected, tileIdLabel(id));
    const tb::TerrainTile* entry = m_set.findTile(std::uint16_t(id));
    if (!entry)
        return;
    // A small square of the four corners in the cell's lower right, clear of the id label.
    const int mark = std::max(4, rect.width() / 6);
    const QPoint origin = rect.bottomRight() - QPoint(2 * mark + 1, 2 * mark + 1);
    for (std::size_t i = 0; i < 4; ++i) {
        const tb::TerrainId terrain = entry->corners[i];
        if (terrain < m_set.terrains.size())
            painter.fillRect(
                QRect(origin + QPoint(int(i % 2) * mark, int(i / 2) * mark), QSize(mark, mark)),
                terrainColour(m_set.terrains[terrain]));
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(origin, QSize(2 * mark, 2 * mark)));
}

bool TerrainEditorDialog::save() {
    try {
        tb::writeTerrainFile(m_file, m_set);
    } catch (const std::exception& error) {
        m_prompts.showFailure(this, error);
        return false;
    }
    m_modified = false;
    m_saved = true;
    m_saveButton->setEnabled(false);
    return true;
}

void TerrainEditorDialog::reject() {
    if (m_modified) {
        switch (m_prompts.askSaveChanges(this, uiText(m_file.filename()))) {
        case SaveChangesAnswer::Save:
            if (!save())
                return;
            break;
        case SaveChangesAnswer::Discard:
            break;
        case SaveChangesAnswer::Cancel:
            return;
        }
    }
    QDialog::reject();
}

} // namespace tbapp
