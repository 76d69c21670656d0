#include "catalogue/BrushEditorDialog.h"

#include "catalogue/TileCells.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"
#include "shell/DrawGrid.h"
#include "shell/PathBox.h"

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

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

BrushEditorDialog::BrushEditorDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TBHCustomBrush");
    setWindowTitle("Custom Brushes");
    buildControls();
    resize(473, 369);

    // FormCreate: a 5 x 5 grid of "NODRAW", the pen at -1, the palette from tileids.lst.
    m_paletteRows.push_back(std::string(tb::kNoDraw));
    for (std::string& row : loadDialogTileRows(m_context.appDir(), [this](const std::exception& e) {
             reportFailure(m_context, this, e);
         }))
        m_paletteRows.push_back(std::move(row));
    smallDrawGrid->setRowCount(int(m_paletteRows.size()));
    syncGridSize();
    edBrushNameChange();
}

void BrushEditorDialog::buildControls() {
    auto* top = new QGridLayout;
    top->addWidget(new QLabel("Brush Name", this), 0, 0);
    edBrushName = named(new QLineEdit(this), "edBrushName");
    top->addWidget(edBrushName, 1, 0);
    Label1 = named(new QLabel("Brushes", this), "Label1");
    top->addWidget(Label1, 0, 1);
    cbCustomBrushes = named(new QComboBox(this), "cbCustomBrushes");
    cbCustomBrushes->setEditable(true);
    cbCustomBrushes->setInsertPolicy(QComboBox::NoInsert);
    top->addWidget(cbCustomBrushes, 1, 1);

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
    top->addLayout(upDown("edRows", "udRows", true, edRows, udRows), 1, 2);
    top->addWidget(new QLabel("Cols", this), 0, 3);
    // Typing into edCols changes nothing; only the up-down resizes the grid.
    top->addLayout(upDown("edCols", "udCols", false, edCols, udCols), 1, 3);

    BrushGrid = named(new DrawGrid(this), "BrushGrid");
    BrushGrid->setMinimumSize(401, 281);
    BrushGrid->setBackgroundColour(Qt::black);
    BrushGrid->setDefaultColWidth(kDialogCellSize);
    BrushGrid->setDefaultRowHeight(kDialogCellSize);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel("Tile ID", this));
    auto* find = new QHBoxLayout;
    edFindID = named(new QLineEdit(this), "edFindID");
    edFindID->setFixedWidth(37);
    btnFind = named(new QPushButton("Go", this), "btnFind");
    btnFind->setAutoDefault(false);
    find->addWidget(edFindID);
    find->addWidget(btnFind);
    right->addLayout(find);
    cbShowID = named(new QCheckBox("show ID", this), "cbShowID");
    cbShowID->setChecked(true);
    right->addWidget(cbShowID);
    smallDrawGrid = named(new DrawGrid(this), "smallDrawGrid");
    smallDrawGrid->setColCount(1);
    smallDrawGrid->setDefaultColWidth(kDialogCellSize);
    smallDrawGrid->setDefaultRowHeight(kDialogCellSize);
    smallDrawGrid->setBackgroundColour(Qt::black);
    fitGridToOneCell(smallDrawGrid, Qt::Vertical);
    right->addWidget(smallDrawGrid, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(BrushGrid, 1);
    middle->addLayout(right);

    BitBtn1 = named(new QPushButton("&OK", this), "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = named(new QPushButton("Cancel", this), "BitBtn2");
    BitBtn2->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);
    bottom->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    BrushGrid->setDrawCellHandler(
        [this](QPainter& p, int col, int row, const QRect& rect, bool selected) {
            drawBrushCell(p, col, row, rect, selected);
        });
    BrushGrid->setSelectCellHandler([this](int col, int row) { BrushGridSelectCell(col, row); });
    smallDrawGrid->setDrawCellHandler(
        [this](QPainter& p, int, int row, const QRect& rect, bool selected) {
            drawPaletteCell(p, row, rect, selected);
        });
    smallDrawGrid->setSelectCellHandler([this](int, int row) { smallDrawGridClick(row); });

    connect(cbCustomBrushes, &QComboBox::editTextChanged, this,
            &BrushEditorDialog::cbCustomBrushesChange);
    connect(edBrushName, &QLineEdit::textChanged, this, &BrushEditorDialog::edBrushNameChange);
    connect(udRows, &QSpinBox::valueChanged, this, &BrushEditorDialog::udRowsClick);
    connect(udCols, &QSpinBox::valueChanged, this, &BrushEditorDialog::udColsClick);
    connect(btnFind, &QPushButton::clicked, this, &BrushEditorDialog::btnFindClick);
    connect(cbShowID, &QCheckBox::clicked, this, &BrushEditorDialog::cbShowIDClick);
    connect(BitBtn1, &QPushButton::clicked, this, &BrushEditorDialog::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList brushNames(const QString& applicationDir) {
    QStringList names;
    for (const std::string& name :
         tb::listBrushNames(std::filesystem::path(applicationDir.toStdU16String())))
        names << QString::fromStdString(name);
    return names;
}

void BrushEditorDialog::setBrushNames(const QStringList& names) {
    const QSignalBlocker blocker(cbCustomBrushes);
    cbCustomBrushes->clear();
    cbCustomBrushes->addItems(names);
    cbCustomBrushes->setCurrentIndex(-1);
    cbCustomBrushes->setEditText(QString());
}

void BrushEditorDialog::syncGridSize() {
    BrushGrid->setColCount(m_brush.colCount());
    BrushGrid->setRowCount(m_brush.rowCount());
    BrushGrid->invalidateGrid();
}

void BrushEditorDialog::cbCustomBrushesChange(const QString& name) {
    // The grid is emptied first, so a name without a file leaves a 1 x 1 "NODRAW" grid.
    m_brush.load({});
    edBrushName->setText(name);
    // An emptied box names no brush: the grid is reset without a message.
    if (!name.isEmpty())
        runCatalogueStep(m_context, this, [&] {
            m_brush.load(tb::readBrushLines(m_context.appDir(), name.toStdString()));
        });
    syncGridSize();
    // The up-downs show at most 10 for a larger brush; setting them must not resize it.
    {
        const QSignalBlocker rowsBlocker(udRows);
        const QSignalBlocker colsBlocker(udCols);
        udRows->setValue(m_brush.rowCount());
        udCols->setValue(m_brush.colCount());
    }
    edRows->setText(QString::number(udRows->value()));
    edCols->setText(QString::number(udCols->value()));
}

void BrushEditorDialog::edBrushNameChange() {
    tbapp::setPathBoxValid(edBrushName, !edBrushName->text().isEmpty());
}

void BrushEditorDialog::udRowsClick() {
    edRows->setText(QString::number(udRows->value()));
    m_brush.setRowCount(udRows->value());
    syncGridSize();
}

void BrushEditorDialog::udColsClick() {
    edCols->setText(QString::number(udCols->value()));
    m_brush.setColCount(udCols->value());
    syncGridSize();
}

void BrushEditorDialog::smallDrawGridClick(int row) {
    if (row < 0 || std::size_t(row) >= m_paletteRows.size())
        return;
    if (m_foundRow >= 0) {
        m_foundRow = -1;
        smallDrawGrid->invalidateGrid();
    }
    if (row == 0) {
        m_pen = -1;
        return;
    }
    if (const auto id = tb::paletteRowTileId(m_paletteRows[std::size_t(row)]))
        m_pen = *id;
}

void BrushEditorDialog::BrushGridSelectCell(int col, int row) {
    m_brush.setCell(col, row, m_pen);
    BrushGrid->invalidateCell(col, row);
}

void BrushEditorDialog::btnFindClick() {
    const QString text = edFindID->text();
    if (text.isEmpty())
        return;
    runCatalogueStep(m_context, this, [&] {
        const std::int32_t id = tb::parseFindIdText(text.toStdString());
        for (std::size_t row = 1; row < m_paletteRows.size(); ++row) {
            if (tb::paletteRowTileId(m_paletteRows[row]) == id) {
                m_pen = id;
                m_foundRow = int(row);
                smallDrawGrid->setTopRow(int(row));
                smallDrawGrid->invalidateGrid();
                return;
            }
        }
    });
}

void BrushEditorDialog::cbShowIDClick() {
    smallDrawGrid->invalidateGrid();
}

void BrushEditorDialog::BitBtn1Click() {
    QString name = edBrushName->text();
    if (!tbapp::isPathBoxValid(edBrushName)) {
        const auto answer =
            m_context.ask().inputText(this, "Brush name", "Select a brush name", "");
        name = answer.value_or(QString());
    }
    if (!name.isEmpty()) {
        try {
            tb::writeBrushLines(m_context.appDir(), name.toStdString(), m_brush.fileLines());
            m_savedName = name;
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
        BitBtn1->click();
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
                     cbShowID->isChecked() ? QStringLiteral("nodraw") : QString());
        return;
    }
    const auto id = tb::paletteRowTileId(m_paletteRows[std::size_t(row)]);
    const QImage image = id ? m_context.image(*id) : QImage();
    drawTileCell(painter, rect, image, Qt::white, framed,
                 id && cbShowID->isChecked() ? tileIdLabel(*id) : QString());
}

bool runBrushEditor(const CatalogueContext& context, QWidget* parent, const QStringList& names) {
    BrushEditorDialog editor(context, parent);
    editor.setBrushNames(names);
    return context.ask().execDialog(editor) == QDialog::Accepted;
}

} // namespace tbapp
