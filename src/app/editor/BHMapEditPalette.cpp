// TBHMapEditForm, the tile palette and the catalogues behind the painting: the full and
// sorted palettes with "Go" and the texture list menu, the drawing-mode list from the tile
// groups, the brush box with its editor, and "&Options...". The rows, the search and the
// files are the catalogue library's; this file shows them.

#include "editor/BHMapEditForm.h"

#include "catalogue/BrushEditorDialog.h"
#include "catalogue/CatalogueContext.h"
#include "catalogue/OptionsDialog.h"
#include "shell/DrawGrid.h"
#include "shell/Prompts.h"

#include "catalogue/BrushFile.h"
#include "catalogue/TextureList.h"
#include "catalogue/TileList.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

#include <filesystem>
#include <utility>

namespace {

std::filesystem::path appDirPath(const QString& dir) {
    return std::filesystem::path(dir.toStdU16String());
}

constexpr const char* kTileListFile = "tilelist.xml";

} // namespace

void TBHMapEditForm::connectPalette() {
    TextureDrawGrid->setDrawCellHandler(
        [this](QPainter& painter, int, int row, const QRect& rect, bool selected) {
            drawPaletteCell(false, painter, row, rect, selected);
        });
    SortedTextureGrid->setDrawCellHandler(
        [this](QPainter& painter, int, int row, const QRect& rect, bool selected) {
            drawPaletteCell(true, painter, row, rect, selected);
        });
    TextureDrawGrid->setSelectCellHandler(
        [this](int, int row) { paletteCellSelected(false, row); });
    SortedTextureGrid->setSelectCellHandler(
        [this](int, int row) { paletteCellSelected(true, row); });
    connect(btnFind, &QPushButton::clicked, this, &TBHMapEditForm::btnFindClick);
    connect(btnCustomTextures, &QPushButton::clicked, this,
            &TBHMapEditForm::btnCustomTexturesClick);
    connect(ShowTextureID1, &QAction::triggered, this, &TBHMapEditForm::ShowTextureID1Click);

    pmCustomTextures = new QMenu(this);
    pmCustomTextures->setObjectName("pmCustomTextures");
    m_listMenuGroup = new QActionGroup(pmCustomTextures);
    m_listMenuGroup->setExclusive(true);
}

// --- Drawing-mode list

// The three fixed modes, then one item per group of tilelist.xml, in file order; the
// first item is selected afterwards. A missing file leaves only the fixed modes.
void TBHMapEditForm::LoadTileGroups() {
    const std::filesystem::path appDir = appDirPath(m_applicationDir);
    m_tileGroups = tb::readTileList(tb::resolveAppPath(appDir, kTileListFile));
    {
        const QSignalBlocker quiet(SelectDrawingModeComboBox);
        SelectDrawingModeComboBox->clear();
        for (const std::string& caption : tb::drawModeCaptions(m_tileGroups))
            SelectDrawingModeComboBox->addItem(QString::fromStdString(caption));
        SelectDrawingModeComboBox->setCurrentIndex(0);
    }
    drawModeChanged(); // the list was rebuilt without its signals
    refreshStatusBar();
}

// --- Texture lists

void TBHMapEditForm::loadTextureListFile(const std::string& relativePath) {
    const std::filesystem::path appDir = appDirPath(m_applicationDir);
    // A bad line still leaves the new row count and the rows before it.
    struct ShowRows {
        TBHMapEditForm& form;
        ~ShowRows() {
            const int count = std::max<int>(1, int(form.m_sortedRows.size()));
            form.SortedTextureGrid->setRowCount(count);
            form.m_sortedSelectedRow = std::min(form.m_sortedSelectedRow, count - 1);
            form.m_sortedMarkedRow = -1;
            form.SortedTextureGrid->invalidateGrid();
        }
    };
    // A file that cannot be read leaves the rows as they were.
    ShowRows show{*this};
    tb::loadTextureList(appDir, relativePath, m_sortedRows);
    m_textureListPath = QString::fromStdString(relativePath);
}

// LoadTextureList: the sorted palette from a list file (path relative to the program
// folder); failures are shown.
void TBHMapEditForm::LoadTextureList(const QString& relativePath) {
    tbapp::runReported(prompts(), this, [&] { loadTextureListFile(relativePath.toStdString()); });
}

// BuildListMenu: one radio entry per textures/*.lst, the one `currentPath` names checked.
void TBHMapEditForm::BuildListMenu(const QString& currentPath) {
    for (QAction* action : m_listMenuGroup->actions()) {
        m_listMenuGroup->removeAction(action);
        pmCustomTextures->removeAction(action);
        action->deleteLater();
    }
    const std::filesystem::path appDir = appDirPath(m_applicationDir);
    for (const tb::ListMenuEntry& entry : tb::buildListMenu(appDir, currentPath.toStdString())) {
        const QString caption = QString::fromStdString(entry.caption);
        QAction* action = pmCustomTextures->addAction(caption);
        action->setCheckable(true);
        action->setChecked(entry.checked);
        m_listMenuGroup->addAction(action);
        const std::string path = tb::textureListPath(entry.caption);
        connect(action, &QAction::triggered, this, [this, action, path] {
            action->setChecked(true);
            LoadTextureList(QString::fromStdString(path));
        });
    }
}

void TBHMapEditForm::btnCustomTexturesClick() {
    pmCustomTextures->popup(btnCustomTextures->mapToGlobal(QPoint(13, 0)));
}

// --- The palettes

// "Sorted" shows the sorted palette, else the full one.
void TBHMapEditForm::cbSortetClick() {
    const bool sorted = cbSortet->isChecked();
    TextureDrawGrid->setVisible(!sorted);
    SortedTextureGrid->setVisible(sorted);
    refreshStatusBar();
}

void TBHMapEditForm::ShowTextureID1Click() {
    TextureDrawGrid->invalidateGrid();
    SortedTextureGrid->invalidateGrid();
}

std::int32_t TBHMapEditForm::selectedPaletteTile() const {
    const bool sorted = cbSortet->isChecked();
    return tb::paletteRowTile(sorted, m_sortedRows,
                              sorted ? m_sortedSelectedRow : m_fullSelectedRow)
        .value_or(0);
}

// A click (or keyboard move) in a palette: the row's tile becomes the palette tile and the
// drawing mode "Selected tile from list". The single empty row of an empty list picks
// nothing.
void TBHMapEditForm::paletteCellSelected(bool sortedView, int row) {
    (sortedView ? m_sortedSelectedRow : m_fullSelectedRow) = row;
    // The frame of the last "Go" goes when the selection moves on, so one red frame shows.
    for (auto [grid, marked] : {std::pair{SortedTextureGrid, &m_sortedMarkedRow},
                                std::pair{TextureDrawGrid, &m_fullMarkedRow}})
        if (*marked >= 0) {
            grid->invalidateCell(0, *marked);
            *marked = -1;
        }
    const std::optional<std::int32_t> tile = tb::paletteRowTile(sortedView, m_sortedRows, row);
    if (!tile) {
        refreshStatusBar();
        return;
    }
    m_state.paletteTile = *tile;
    SelectDrawingModeComboBox->setCurrentIndex(1);
    refreshStatusBar();
}

// "Go" and the right-button pick: the row holding `id` scrolls to the top and is framed
// red, and `id` becomes the palette tile; the selected row and the drawing mode stay.
void TBHMapEditForm::paletteGoTo(std::int32_t id) {
    const bool sorted = cbSortet->isChecked();
    const std::optional<tb::PaletteTarget> target = tb::paletteGo(sorted, m_sortedRows, id);
    if (!target)
        return;
    DrawGrid* grid = sorted ? SortedTextureGrid : TextureDrawGrid;
    m_state.paletteTile = target->tile;
    (sorted ? m_sortedMarkedRow : m_fullMarkedRow) = target->row;
    grid->setTopRow(target->row);
    grid->invalidateGrid();
}

void TBHMapEditForm::btnFindClick() {
    const QString text = edFindID->text();
    if (text.isEmpty())
        return;
    tbapp::runReported(prompts(), this,
                       [&] { paletteGoTo(tb::parseFindIdText(text.toStdString())); });
}

// One palette cell: the tile's picture (texture first, land art second; black in the full
// palette and white in the sorted one when there is none or no map is loaded), the red
// frame of the selected or found row, and the id label.
void TBHMapEditForm::drawPaletteCell(bool sortedView, QPainter& painter, int row, const QRect& rect,
                                     bool selected) {
    std::optional<std::int32_t> id;
    if (!sortedView)
        id = row;
    else if (row >= 0 && std::size_t(row) < m_sortedRows.size())
        id = tb::paletteRowTileId(m_sortedRows[std::size_t(row)]);
    if (!id)
        return; // the empty row of an empty list draws nothing
    QImage picture;
    if (m_mapLoaded && *id >= 0 && *id <= 0xFFFF)
        picture = m_cellPainter.tilePicture(std::uint16_t(*id), rect.width(), rect.height());
    if (picture.isNull())
        painter.fillRect(rect, sortedView ? Qt::white : Qt::black);
    else
        painter.drawImage(rect, picture);
    if (selected || row == (sortedView ? m_sortedMarkedRow : m_fullMarkedRow)) {
        painter.setPen(QColor(255, 0, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (ShowTextureID1->isChecked()) {
        const QString label = QString::fromStdString(tb::paletteIdLabel(*id));
        const QFont font = (sortedView ? SortedTextureGrid : TextureDrawGrid)->font();
        const QFontMetrics metrics(font);
        const QRect box(rect.topLeft() + QPoint(1, 1),
                        QSize(metrics.horizontalAdvance(label), metrics.height()));
        painter.fillRect(box, Qt::white);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}

// --- Brushes

// The brush box lists brushes/*.brs; the text typed or chosen stays, and the current
// brush is not reloaded by the listing.
void TBHMapEditForm::listBrushes() {
    const QString text = cbCustomBrushes->currentText();
    const QSignalBlocker quiet(cbCustomBrushes);
    cbCustomBrushes->clear();
    cbCustomBrushes->addItems(tbapp::brushNames(m_applicationDir));
    cbCustomBrushes->setCurrentIndex(cbCustomBrushes->findText(text));
    cbCustomBrushes->setEditText(text);
}

// The brush named in the box becomes the current brush; a name without a file leaves the
// brush empty and shows the file error. An emptied box just empties the brush.
void TBHMapEditForm::cbCustomBrushesChange() {
    m_state.brush.clear();
    const QString name = cbCustomBrushes->currentText();
    if (name.isEmpty())
        return;
    tbapp::runReported(prompts(), this, [&] {
        m_state.setBrushLines(tb::readBrushLines(appDirPath(m_applicationDir), name.toStdString()));
    });
}

tbapp::CatalogueContext TBHMapEditForm::catalogueContext() {
    tbapp::CatalogueContext context;
    context.applicationDir = m_applicationDir;
    context.tileImages = tbapp::dialogTileImages(m_mapLoaded ? &m_art : nullptr);
    context.prompts = m_cataloguePrompts ? m_cataloguePrompts : &prompts();
    return context;
}

// "Edit": the brush editor with this window's brush names; after OK the list is read again.
void TBHMapEditForm::SpeedButton6Click() {
    QStringList names;
    for (int i = 0; i < cbCustomBrushes->count(); ++i)
        names << cbCustomBrushes->itemText(i);
    if (runBrushEditor(catalogueContext(), this, names))
        listBrushes();
}

// Extra > "&Options...": a new options dialog each time, modal. After OK the files it
// wrote are read back: the tile groups, then the chosen texture list into the palette and
// the list menu.
void TBHMapEditForm::Options1Click() {
    tb::OptionsSaveSteps steps;
    steps.loadTileGroups = [this] { LoadTileGroups(); };
    steps.loadTextureList = [this](const std::string& path) { loadTextureListFile(path); };
    steps.buildListMenu = [this](const std::string& path) {
        BuildListMenu(QString::fromStdString(path));
    };
    runOptionsCommand(catalogueContext(), this, steps);
}
