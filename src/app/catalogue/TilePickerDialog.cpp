#include "app/catalogue/TilePickerDialog.h"

#include "app/catalogue/TileCells.h"

#include "app/shell/DrawGrid.h"
#include "catalogue/OptionsModel.h"
#include "catalogue/TextureList.h"

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

    m_tileLabel = new QLabel(this);
    m_tileLabel->setObjectName("edAddTileLabel");
    m_tileEdit = new QLineEdit(this);
    m_tileEdit->setObjectName("edAddTile");
    m_tileEdit->setFixedWidth(329);
    m_tileLabel->setBuddy(m_tileEdit);
    m_takeTileButton = new QToolButton(this);
    m_takeTileButton->setObjectName("btnAddID");
    m_takeTileButton->setArrowType(Qt::UpArrow);
    m_takeTileButton->setAutoRaise(true);
    m_tileGrid = new DrawGrid(this);
    m_tileGrid->setObjectName("smallDrawGrid");
    m_tileGrid->setRowCount(1);
    m_tileGrid->setColCount(0);
    m_tileGrid->setDefaultColWidth(kDialogCellSize);
    m_tileGrid->setDefaultRowHeight(kDialogCellSize);
    fitGridToOneCell(m_tileGrid, Qt::Horizontal);
    m_okButton = new QPushButton("&OK", this);
    m_okButton->setObjectName("BitBtn1");
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton("Cancel", this);
    m_cancelButton->setObjectName("BitBtn2");
    m_cancelButton->setAutoDefault(false);

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(m_tileEdit);
    editRow->addWidget(m_takeTileButton);
    editRow->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tileLabel);
    layout->addLayout(editRow);
    layout->addWidget(m_tileGrid);
    layout->addLayout(buttons);
    resize(422, 166);

    m_tileGrid->setDrawCellHandler(
        [this](QPainter& p, int col, int, const QRect& rect, bool selected) {
            const auto id = col >= 0 && std::size_t(col) < m_columns.size()
                                ? tb::paletteRowTileId(m_columns[std::size_t(col)])
                                : std::nullopt;
            drawTileCell(p, rect, id ? m_context.image(*id) : QImage(), Qt::white, selected,
                         id ? tileIdLabel(*id) : QString());
        });
    onGridDoubleClick(m_tileGrid, [this] { takeSelectedTile(); });
    connect(m_takeTileButton, &QToolButton::clicked, this, &TilePickerDialog::takeSelectedTile);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_columns = loadDialogTileRows(m_context.appDir(), [this](const std::exception& error) {
        reportFailure(m_context, this, error);
    });
    m_tileGrid->setColCount(int(m_columns.size()));
}

void TilePickerDialog::setLabelText(const QString& text) {
    m_tileLabel->setText(text);
}

void TilePickerDialog::setTileText(const QString& text) {
    m_tileEdit->setText(text);
}

QString TilePickerDialog::tileText() const {
    return m_tileEdit->text();
}

void TilePickerDialog::takeSelectedTile() {
    const int col = m_tileGrid->col();
    if (col < 0 || std::size_t(col) >= m_columns.size() || m_columns[std::size_t(col)].empty())
        return;
    m_tileEdit->setText(QString::fromStdString(tb::pickerTileText(m_columns[std::size_t(col)])));
}

void TilePickerDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        m_okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tbapp
