#include "app/editor/TilePalette.h"

#include "app/shell/DrawGrid.h"
#include "app/shell/Prompts.h"

#include "catalogue/TextureList.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <filesystem>

namespace tbapp {
namespace {

constexpr int kFullPaletteRows = 16382;
constexpr int kTileSize = 64;

DrawGrid* makePalette(QWidget* parent, const QString& name, const QColor& background) {
    auto* grid = new DrawGrid(parent);
    grid->setObjectName(name);
    grid->setColCount(1);
    grid->setDefaultColWidth(kTileSize);
    grid->setDefaultRowHeight(kTileSize);
    grid->setBackgroundColour(background);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return grid;
}

} // namespace

TilePalette::TilePalette(tb::EditorState& state, const QString& applicationDir, Prompts& prompts,
                         QWidget* parent)
    : QWidget(parent), m_state(state), m_applicationDir(applicationDir), m_prompts(prompts) {
    setObjectName("RightPanel");
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName("edFindID");
    m_findEdit->setMaximumWidth(m_findEdit->fontMetrics().horizontalAdvance("3FFDD") + 12);
    m_findButton = new QPushButton("Go", this);
    m_findButton->setObjectName("btnFind");
    m_findButton->setMaximumWidth(m_findButton->fontMetrics().horizontalAdvance("Go") + 20);
    m_listMenuButton = new QPushButton(this);
    m_listMenuButton->setObjectName("btnCustomTextures");
    m_listMenuButton->setFlat(true);
    m_listMenuButton->setFixedSize(13, 12);
    m_listMenuButton->setToolTip("Texture lists");
    m_listMenuButton->setAccessibleName("Texture lists");
    m_sortedCheck = new QCheckBox("Sorted", this);
    m_sortedCheck->setObjectName("cbSortet");
    m_sortedCheck->setChecked(true);
    m_fullGrid = makePalette(this, "TextureDrawGrid", Qt::black);
    m_fullGrid->setRowCount(kFullPaletteRows);
    m_sortedGrid = makePalette(this, "SortedTextureGrid", Qt::gray);
    m_sortedGrid->setRowCount(0);
    m_fullGrid->setVisible(false);

    layout->addWidget(new QLabel("Tile ID :", this), 0, 0);
    layout->addWidget(m_listMenuButton, 0, 1, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(m_findEdit, 1, 0);
    layout->addWidget(m_findButton, 1, 1);
    layout->addWidget(m_sortedCheck, 2, 0, 1, 2);
    // Both palettes fill the same place; "Sorted" shows one of them.
    layout->addWidget(m_fullGrid, 3, 0, 1, 2);
    layout->addWidget(m_sortedGrid, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);
    // A tile and the palette's scroll bar side by side, or what the controls above need; the
    // palette keeps that width at any window size, the map takes the rest.
    setMinimumWidth(std::max(kTileSize + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8,
                             layout->sizeHint().width()));

    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName("pmCustomTextures");
    m_listGroup = new QActionGroup(m_listMenu);
    m_listGroup->setExclusive(true);

    for (bool sorted : {false, true}) {
        DrawGrid* grid = sorted ? m_sortedGrid : m_fullGrid;
        grid->setDrawCellHandler(
            [this, sorted](QPainter& painter, int, int row, const QRect& rect, bool selected) {
                drawTile(sorted, painter, row, rect, selected);
            });
        grid->setSelectCellHandler([this, sorted](int, int row) { rowSelected(sorted, row); });
    }
    connect(m_findButton, &QPushButton::clicked, this, &TilePalette::findClicked);
    connect(m_listMenuButton, &QPushButton::clicked, this,
            [this] { m_listMenu->popup(m_listMenuButton->mapToGlobal(QPoint(13, 0))); });
    connect(m_sortedCheck, &QCheckBox::toggled, this, &TilePalette::showSorted);
}

void TilePalette::setPictures(TilePictureSource pictures) {
    m_pictures = std::move(pictures);
    repaintTiles();
}

void TilePalette::setShowTileIds(bool show) {
    m_showTileIds = show;
    repaintTiles();
}

void TilePalette::repaintTiles() {
    m_fullGrid->invalidateGrid();
    m_sortedGrid->invalidateGrid();
}

void TilePalette::readTextureList(const std::string& relativePath) {
    // A bad line still leaves the new row count and the rows before it.
    struct ShowRows {
        TilePalette& palette;
        ~ShowRows() {
            const int count = std::max<int>(1, int(palette.m_sortedRows.size()));
            palette.m_sortedGrid->setRowCount(count);
            palette.m_sortedSelectedRow = std::min(palette.m_sortedSelectedRow, count - 1);
            palette.m_sortedMarkedRow = -1;
            palette.m_sortedGrid->invalidateGrid();
        }
    };
    // A file that cannot be read leaves the rows as they were.
    ShowRows show{*this};
    tb::loadTextureList(std::filesystem::path(m_applicationDir.toStdU16String()), relativePath,
                        m_sortedRows);
    m_textureListPath = QString::fromStdString(relativePath);
}

void TilePalette::loadTextureList(const QString& relativePath) {
    runReported(m_prompts, this, [&] { readTextureList(relativePath.toStdString()); });
}

void TilePalette::buildListMenu(const QString& currentPath) {
    for (QAction* action : m_listGroup->actions()) {
        m_listGroup->removeAction(action);
        m_listMenu->removeAction(action);
        action->deleteLater();
    }
    const std::filesystem::path appDir(m_applicationDir.toStdU16String());
    for (const tb::ListMenuEntry& entry : tb::buildListMenu(appDir, currentPath.toStdString())) {
        QAction* action = m_listMenu->addAction(QString::fromStdString(entry.caption));
        action->setCheckable(true);
        action->setChecked(entry.checked);
        m_listGroup->addAction(action);
        const std::string path = tb::textureListPath(entry.caption);
        connect(action, &QAction::triggered, this, [this, action, path] {
            action->setChecked(true);
            loadTextureList(QString::fromStdString(path));
        });
    }
}

void TilePalette::showSorted(bool sorted) {
    m_fullGrid->setVisible(!sorted);
    m_sortedGrid->setVisible(sorted);
    emit selectionChanged();
}

std::uint16_t TilePalette::selectedTile() const {
    const bool sorted = m_sortedCheck->isChecked();
    return tb::paletteRowTile(sorted, m_sortedRows,
                              sorted ? m_sortedSelectedRow : m_fullSelectedRow)
        .value_or(0);
}

int TilePalette::markedRow(bool sortedView) const {
    return sortedView ? m_sortedMarkedRow : m_fullMarkedRow;
}

// A click (or keyboard move) in a palette: the row's tile becomes the palette tile. The
// single empty row of an empty list picks nothing.
void TilePalette::rowSelected(bool sortedView, int row) {
    (sortedView ? m_sortedSelectedRow : m_fullSelectedRow) = row;
    // The frame of the last "Go" goes when the selection moves on, so one red frame shows.
    for (auto [grid, marked] :
         {std::pair{m_sortedGrid, &m_sortedMarkedRow}, std::pair{m_fullGrid, &m_fullMarkedRow}})
        if (*marked >= 0) {
            grid->invalidateCell(0, *marked);
            *marked = -1;
        }
    const std::optional<std::uint16_t> tile = tb::paletteRowTile(sortedView, m_sortedRows, row);
    if (tile) {
        m_state.paletteTile = *tile;
        emit tilePicked();
    }
    emit selectionChanged();
}

void TilePalette::goTo(std::int32_t id) {
    const bool sorted = m_sortedCheck->isChecked();
    const std::optional<tb::PaletteTarget> target = tb::paletteGo(sorted, m_sortedRows, id);
    if (!target)
        return;
    DrawGrid* grid = sorted ? m_sortedGrid : m_fullGrid;
    m_state.paletteTile = target->tile;
    (sorted ? m_sortedMarkedRow : m_fullMarkedRow) = target->row;
    grid->setTopRow(target->row);
    grid->invalidateGrid();
}

void TilePalette::findClicked() {
    const QString text = m_findEdit->text();
    if (text.isEmpty())
        return;
    runReported(m_prompts, this, [&] { goTo(tb::parseFindIdText(text.toStdString())); });
}

// One palette cell: the tile's picture (black in the full palette and white in the sorted
// one when there is none), the red frame of the selected or found row, and the id label.
void TilePalette::drawTile(bool sortedView, QPainter& painter, int row, const QRect& rect,
                           bool selected) {
    std::optional<std::int32_t> id;
    if (!sortedView)
        id = row;
    else if (row >= 0 && std::size_t(row) < m_sortedRows.size())
        id = tb::paletteRowTileId(m_sortedRows[std::size_t(row)]);
    if (!id)
        return; // the empty row of an empty list draws nothing
    QImage picture;
    if (m_pictures && *id >= 0 && *id <= 0xFFFF)
        picture = m_pictures(std::uint16_t(*id), rect.width());
    if (picture.isNull())
        painter.fillRect(rect, sortedView ? Qt::white : Qt::black);
    else
        painter.drawImage(rect, picture);
    if (selected || row == markedRow(sortedView)) {
        painter.setPen(QColor(255, 0, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (m_showTileIds) {
        const QString label = QString::fromStdString(tb::paletteIdLabel(*id));
        const QFont font = (sortedView ? m_sortedGrid : m_fullGrid)->font();
        const QFontMetrics metrics(font);
        const QRect box(rect.topLeft() + QPoint(1, 1),
                        QSize(metrics.horizontalAdvance(label), metrics.height()));
        painter.fillRect(box, Qt::white);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}

} // namespace tbapp
