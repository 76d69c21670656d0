#include "app/catalogue/BrushEditorDialog.h"

#include "app/catalogue/TileCells.h"
#include "app/shell/ObjectNamed.h"

#include "app/shell/DrawGrid.h"
#include "app/shell/PathBox.h"
#include "catalogue/BrushFile.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tbapp {

BrushEditorDialog::BrushEditorDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TBHCustomBrush");
    setWindowTitle("Custom Brushes");
    buildControls();
    resize(473, 369);

    // Opening: a 5 x 5 grid of "NODRAW", the pen at -1, the palette from tileids.lst.
    m_paletteRows.push_back(std::string(tb::kNoDraw));
    for (std::string& row : loadDialogTileRows(m_context.appDir(), [this](const std::exception& e) {
             reportFailure(m_context, this, e);
         }))
        m_paletteRows.push_back(std::move(row));
    m_paletteGrid->setRowCount(int(m_paletteRows.size()));
    syncGridSize();
    showNameValidity();
}

void BrushEditorDialog::buildControls() {
    auto* top = new QGridLayout;
    top->addWidget(new QLabel("Brush Name", this), 0, 0);
    m_nameEdit = named(new QLineEdit(this), "edBrushName");
    top->addWidget(m_nameEdit, 1, 0);
    m_brushListLabel = named(new QLabel("Brushes", this), "Label1");
    top->addWidget(m_brushListLabel, 0, 1);
    m_brushBox = named(new QComboBox(this), "cbCustomBrushes");
    m_brushBox->setEditable(true);
    m_brushBox->setInsertPolicy(QComboBox::NoInsert);
    top->addWidget(m_brushBox, 1, 1);

    auto upDown = [this](const char* editName, const char* upDownName, bool readOnly,
                         QLineEdit*& edit, QSpinBox*& spin) {
        edit =
            named(new QLineEdit(QString::number(tb::BrushPattern::kOpeningSize), this), editName);
        edit->setReadOnly(readOnly);
        edit->setFixedWidth(32);
        spin = named(new QSpinBox(this), upDownName);
        spin->setRange(tb::BrushPattern::kMinSize, tb::BrushPattern::kMaxSize);
        spin->setValue(tb::BrushPattern::kOpeningSize);
        spin->setFixedWidth(18);
        spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        auto* box = new QHBoxLayout;
        box->setSpacing(0);
        box->addWidget(edit);
        box->addWidget(spin);
        return box;
    };
    top->addWidget(new QLabel("Rows", this), 0, 2);
    top->addLayout(upDown("edRows", "udRows", true, m_rowsEdit, m_rowsSpin), 1, 2);
    top->addWidget(new QLabel("Cols", this), 0, 3);
    // Typing into m_colsEdit changes nothing; only the up-down resizes the grid.
    top->addLayout(upDown("edCols", "udCols", false, m_colsEdit, m_colsSpin), 1, 3);

    m_brushGrid = named(new DrawGrid(this), "BrushGrid");
    m_brushGrid->setMinimumSize(401, 281);
    m_brushGrid->setBackgroundColour(Qt::black);
    m_brushGrid->setDefaultColWidth(kDialogCellSize);
    m_brushGrid->setDefaultRowHeight(kDialogCellSize);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel("Tile ID", this));
    auto* find = new QHBoxLayout;
    m_findEdit = named(new QLineEdit(this), "edFindID");
    m_findEdit->setFixedWidth(37);
    m_findButton = named(new QPushButton("Go", this), "btnFind");
    m_findButton->setAutoDefault(false);
    find->addWidget(m_findEdit);
    find->addWidget(m_findButton);
    right->addLayout(find);
    m_showIdsCheck = named(new QCheckBox("show ID", this), "cbShowID");
    m_showIdsCheck->setChecked(true);
    right->addWidget(m_showIdsCheck);
    m_paletteGrid = named(new DrawGrid(this), "smallDrawGrid");
    m_paletteGrid->setColCount(1);
    m_paletteGrid->setDefaultColWidth(kDialogCellSize);
    m_paletteGrid->setDefaultRowHeight(kDialogCellSize);
    m_paletteGrid->setBackgroundColour(Qt::black);
    fitGridToOneCell(m_paletteGrid, Qt::Vertical);
    right->addWidget(m_paletteGrid, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_brushGrid, 1);
    middle->addLayout(right);

    m_okButton = named(new QPushButton("&OK", this), "BitBtn1");
    m_okButton->setDefault(true);
    m_cancelButton = named(new QPushButton("Cancel", this), "BitBtn2");
    m_cancelButton->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_okButton);
    bottom->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    m_brushGrid->setDrawCellHandler(
        [this](QPainter& p, int col, int row, const QRect& rect, bool selected) {
            drawBrushCell(p, col, row, rect, selected);
        });
    m_brushGrid->setSelectCellHandler([this](int col, int row) { drawWithPen(col, row); });
    m_paletteGrid->setDrawCellHandler(
        [this](QPainter& p, int, int row, const QRect& rect, bool selected) {
            drawPaletteCell(p, row, rect, selected);
        });
    m_paletteGrid->setSelectCellHandler([this](int, int row) { choosePen(row); });

    connect(m_brushBox, &QComboBox::editTextChanged, this, &BrushEditorDialog::loadBrush);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &BrushEditorDialog::showNameValidity);
    connect(m_rowsSpin, &QSpinBox::valueChanged, this, &BrushEditorDialog::applyRowCount);
    connect(m_colsSpin, &QSpinBox::valueChanged, this, &BrushEditorDialog::applyColCount);
    connect(m_findButton, &QPushButton::clicked, this, &BrushEditorDialog::findTile);
    connect(m_showIdsCheck, &QCheckBox::clicked, m_paletteGrid, &DrawGrid::invalidateGrid);
    connect(m_okButton, &QPushButton::clicked, this, &BrushEditorDialog::saveAndClose);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList brushNames(const QString& applicationDir) {
    QStringList names;
    for (const std::string& name :
         tb::listBrushNames(std::filesystem::path(applicationDir.toStdU16String())))
        names << QString::fromStdString(name);
    return names;
}

void BrushEditorDialog::setBrushNames(const QStringList& names) {
    const QSignalBlocker blocker(m_brushBox);
    m_brushBox->clear();
    m_brushBox->addItems(names);
    m_brushBox->setCurrentIndex(-1);
    m_brushBox->setEditText(QString());
}

void BrushEditorDialog::syncGridSize() {
    m_brushGrid->setColCount(m_brush.colCount());
    m_brushGrid->setRowCount(m_brush.rowCount());
    m_brushGrid->invalidateGrid();
}

void BrushEditorDialog::loadBrush(const QString& name) {
    // The grid is emptied first, so a name without a file leaves a 1 x 1 "NODRAW" grid.
    m_brush.load({});
    m_nameEdit->setText(name);
    // An emptied box names no brush: the grid is reset without a message.
    if (!name.isEmpty())
        runCatalogueStep(m_context, this, [&] {
            m_brush.load(tb::readBrushLines(m_context.appDir(), name.toStdString()));
        });
    syncGridSize();
    // The up-downs show at most 10 for a larger brush; setting them must not resize it.
    {
        const QSignalBlocker rowsBlocker(m_rowsSpin);
        const QSignalBlocker colsBlocker(m_colsSpin);
        m_rowsSpin->setValue(m_brush.rowCount());
        m_colsSpin->setValue(m_brush.colCount());
    }
    m_rowsEdit->setText(QString::number(m_rowsSpin->value()));
    m_colsEdit->setText(QString::number(m_colsSpin->value()));
}

void BrushEditorDialog::showNameValidity() {
    tbapp::setPathBoxValid(m_nameEdit, !m_nameEdit->text().isEmpty());
}

void BrushEditorDialog::applyRowCount() {
    m_rowsEdit->setText(QString::number(m_rowsSpin->value()));
    m_brush.setRowCount(m_rowsSpin->value());
    syncGridSize();
}

void BrushEditorDialog::applyColCount() {
    m_colsEdit->setText(QString::number(m_colsSpin->value()));
    m_brush.setColCount(m_colsSpin->value());
    syncGridSize();
}

void BrushEditorDialog::choosePen(int row) {
    if (row < 0 || std::size_t(row) >= m_paletteRows.size())
        return;
    if (m_foundRow >= 0) {
        m_foundRow = -1;
        m_paletteGrid->invalidateGrid();
    }
    if (row == 0) {
        m_pen = -1;
        return;
    }
    if (const auto id = tb::paletteRowTileId(m_paletteRows[std::size_t(row)]))
        m_pen = *id;
}

void BrushEditorDialog::drawWithPen(int col, int row) {
    m_brush.setCell(col, row, m_pen);
    m_brushGrid->invalidateCell(col, row);
}

void BrushEditorDialog::findTile() {
    const QString text = m_findEdit->text();
    if (text.isEmpty())
        return;
    runCatalogueStep(m_context, this, [&] {
        const std::int32_t id = tb::parseFindIdText(text.toStdString());
        for (std::size_t row = 1; row < m_paletteRows.size(); ++row) {
            if (tb::paletteRowTileId(m_paletteRows[row]) == id) {
                m_pen = id;
                m_foundRow = int(row);
                m_paletteGrid->setTopRow(int(row));
                m_paletteGrid->invalidateGrid();
                return;
            }
        }
    });
}

void BrushEditorDialog::saveAndClose() {
    QString name = m_nameEdit->text();
    if (!tbapp::isPathBoxValid(m_nameEdit)) {
        const auto answer =
            m_context.ask().inputText(this, "Brush name", "Select a brush name", "");
        name = answer.value_or(QString());
    }
    if (!name.isEmpty()) {
        try {
            tb::writeBrushLines(m_context.appDir(), name.toStdString(), m_brush.fileLines());
        } catch (const tb::UnsafeNameError& error) {
            // Nothing was written; the drawing stays so that the name can be corrected.
            reportFailure(m_context, this, error);
            return;
        } catch (const std::exception& error) {
            reportFailure(m_context, this, error);
            // Closing would lose the drawing: the user may keep the editor open and try
            // again once the file can be written.
            if (m_context.ask().confirm(this, kBrushNotSavedQuestion))
                return;
        }
    }
    accept();
}

void BrushEditorDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK, as Enter does.
    if (event->key() == Qt::Key_Escape) {
        m_okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void BrushEditorDialog::drawBrushCell(QPainter& painter, int col, int row, const QRect& rect,
                                      bool selected) {
    const std::int32_t tile = m_brush.cellTile(col, row);
    const QImage image = tile < 0 ? brushNoDrawPicture() : m_context.image(tile);
    drawTileCell(painter, rect, image, Qt::white, selected, QString());
}

void BrushEditorDialog::drawPaletteCell(QPainter& painter, int row, const QRect& rect,
                                        bool selected) {
    if (row < 0 || std::size_t(row) >= m_paletteRows.size()) {
        painter.fillRect(rect, Qt::white);
        return;
    }
    const bool framed = selected || row == m_foundRow;
    if (row == 0) {
        drawTileCell(painter, rect, brushNoDrawPicture(), Qt::white, framed,
                     m_showIdsCheck->isChecked() ? QStringLiteral("nodraw") : QString());
        return;
    }
    const auto id = tb::paletteRowTileId(m_paletteRows[std::size_t(row)]);
    const QImage image = id ? m_context.image(*id) : QImage();
    drawTileCell(painter, rect, image, Qt::white, framed,
                 id && m_showIdsCheck->isChecked() ? tileIdLabel(*id) : QString());
}

bool runBrushEditor(const CatalogueContext& context, QWidget* parent, const QStringList& names) {
    BrushEditorDialog editor(context, parent);
    editor.setBrushNames(names);
    return context.ask().execDialog(editor) == QDialog::Accepted;
}

} // namespace tbapp
