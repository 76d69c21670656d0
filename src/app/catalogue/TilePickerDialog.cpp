#include "catalogue/TilePickerDialog.h"

#include "catalogue/TileCells.h"

#include "catalogue/OptionsModel.h"
#include "catalogue/TextureList.h"
#include "shell/DrawGrid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tbapp {

TilePickerDialog::TilePickerDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TBHFAddTile");

    edAddTileLabel = new QLabel(this);
    edAddTileLabel->setObjectName("edAddTileLabel");
    edAddTile = new QLineEdit(this);
    edAddTile->setObjectName("edAddTile");
    edAddTile->setFixedWidth(329);
    edAddTileLabel->setBuddy(edAddTile);
    btnAddID = new QToolButton(this);
    btnAddID->setObjectName("btnAddID");
    btnAddID->setArrowType(Qt::UpArrow);
    btnAddID->setAutoRaise(true);
    smallDrawGrid = new DrawGrid(this);
    smallDrawGrid->setObjectName("smallDrawGrid");
    smallDrawGrid->setRowCount(1);
    smallDrawGrid->setColCount(0);
    smallDrawGrid->setDefaultColWidth(kDialogCellSize);
    smallDrawGrid->setDefaultRowHeight(kDialogCellSize);
    fitGridToOneCell(smallDrawGrid, Qt::Horizontal);
    BitBtn1 = new QPushButton("&OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setAutoDefault(false);

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(edAddTile);
    editRow->addWidget(btnAddID);
    editRow->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edAddTileLabel);
    layout->addLayout(editRow);
    layout->addWidget(smallDrawGrid);
    layout->addLayout(buttons);
    resize(422, 166);

    smallDrawGrid->setDrawCellHandler(
        [this](QPainter& p, int col, int, const QRect& rect, bool selected) {
            const auto id = col >= 0 && std::size_t(col) < m_columns.size()
                                ? tb::paletteRowTileId(m_columns[std::size_t(col)])
                                : std::nullopt;
            drawTileCell(p, rect, id ? m_context.image(*id) : QImage(), Qt::white, selected,
                         id ? tileIdLabel(*id) : QString());
        });
    onGridDoubleClick(smallDrawGrid, [this] { btnAddIDClick(); });
    connect(btnAddID, &QToolButton::clicked, this, &TilePickerDialog::btnAddIDClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    m_columns = loadDialogTileRows(m_context.appDir(), [this](const std::exception& error) {
        reportFailure(m_context, this, error);
    });
    smallDrawGrid->setColCount(int(m_columns.size()));
}

void TilePickerDialog::setLabelText(const QString& text) {
    edAddTileLabel->setText(text);
}

void TilePickerDialog::btnAddIDClick() {
    const int col = smallDrawGrid->col();
    if (col < 0 || std::size_t(col) >= m_columns.size() || m_columns[std::size_t(col)].empty())
        return;
    edAddTile->setText(QString::fromStdString(tb::pickerTileText(m_columns[std::size_t(col)])));
}

void TilePickerDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        BitBtn1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tbapp
