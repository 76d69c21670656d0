#include "app/catalogue/TileGroupDialog.h"

#include "app/catalogue/TileCells.h"
#include "app/shell/ObjectNamed.h"

#include "app/shell/DrawGrid.h"
#include "catalogue/OptionsModel.h"
#include "catalogue/TextureList.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tbapp {

TileGroupDialog::TileGroupDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TDlgSelectMode");
    setWindowTitle("Edit");

    auto* captionLabel = new QLabel("&Caption", this);
    m_captionEdit = named(new QLineEdit(this), "edCaption");
    m_captionEdit->setFixedWidth(425);
    captionLabel->setBuddy(m_captionEdit);
    m_idTextLabel = named(new QLabel("Tile List", this), "Label1");
    m_idTextEdit = named(new QPlainTextEdit(this), "edTileList");
    m_idTextEdit->setFixedSize(425, 89);
    m_idTextEdit->installEventFilter(this);
    m_hintLabel = named(new QLabel(this), "lblHelpText");
    m_hintLabel->setWordWrap(true);
    m_hintLabel->setFixedSize(265, 33);
    m_addIdButton = named(new QToolButton(this), "btnAddID");
    m_addIdButton->setArrowType(Qt::LeftArrow);
    m_addIdButton->setAutoRaise(true);

    auto* left = new QVBoxLayout;
    left->addWidget(captionLabel);
    left->addWidget(m_captionEdit);
    left->addWidget(m_idTextLabel);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_idTextEdit);
    listRow->addWidget(m_addIdButton, 0, Qt::AlignVCenter);
    left->addLayout(listRow);
    left->addWidget(m_hintLabel);

    m_tileGrid = named(new DrawGrid(this), "smallDrawGrid");
    m_tileGrid->setColCount(1);
    m_tileGrid->setRowCount(0);
    m_tileGrid->setDefaultColWidth(kDialogCellSize);
    m_tileGrid->setDefaultRowHeight(kDialogCellSize);
    fitGridToOneCell(m_tileGrid, Qt::Vertical);
    m_findLabel = named(new QLabel("Tile ID", this), "Label13");
    m_findEdit = named(new QLineEdit(this), "edFindID");
    m_findEdit->setFixedWidth(37);
    m_findButton = named(new QPushButton("Go", this), "btnFind");
    m_findButton->setAutoDefault(false);
    m_showIdsCheck = named(new QCheckBox("show ID", this), "cbShowID");
    m_showIdsCheck->setChecked(true);
    m_okButton = named(new QPushButton("&OK", this), "BitBtn1");
    m_okButton->setDefault(true);
    m_cancelButton = named(new QPushButton("Cancel", this), "BitBtn2");
    m_cancelButton->setAutoDefault(false);

    auto* right = new QVBoxLayout;
    right->addWidget(m_findLabel);
    auto* find = new QHBoxLayout;
    find->addWidget(m_findEdit);
    find->addWidget(m_findButton);
    right->addLayout(find);
    right->addWidget(m_showIdsCheck);
    right->addStretch(1);
    right->addWidget(m_okButton);
    right->addWidget(m_cancelButton);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(m_tileGrid);
    layout->addLayout(right);
    resize(530, 217);

    m_tileGrid->setDrawCellHandler([this](QPainter& p, int, int row, const QRect& rect,
                                          bool selected) { drawCell(p, row, rect, selected); });
    onGridDoubleClick(m_tileGrid, [this] { addSelectedTile(); });
    connect(m_addIdButton, &QToolButton::clicked, this, &TileGroupDialog::addSelectedTile);
    connect(m_findButton, &QPushButton::clicked, this, &TileGroupDialog::findTile);
    connect(m_showIdsCheck, &QCheckBox::clicked, m_tileGrid, &DrawGrid::invalidateGrid);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_rows = loadDialogTileRows(m_context.appDir(), [this](const std::exception& error) {
        reportFailure(m_context, this, error);
    });
    m_tileGrid->setRowCount(int(m_rows.size()));
}

void TileGroupDialog::setHint(const QString& text) {
    m_hintLabel->setText(text);
}

void TileGroupDialog::setCaption(const QString& caption) {
    m_captionEdit->setText(caption);
}

QString TileGroupDialog::caption() const {
    return m_captionEdit->text();
}

void TileGroupDialog::setIdText(const QString& text) {
    m_idTextEdit->setPlainText(text);
}

QString TileGroupDialog::idText() const {
    return m_idTextEdit->toPlainText();
}

void TileGroupDialog::addSelectedTile() {
    const int row = m_tileGrid->row();
    if (row < 0 || std::size_t(row) >= m_rows.size() || m_rows[std::size_t(row)].empty())
        return;
    const std::string text =
        tb::appendGroupTileId(m_idTextEdit->toPlainText().toStdString(), m_rows[std::size_t(row)]);
    m_idTextEdit->setPlainText(QString::fromStdString(text));
}

void TileGroupDialog::findTile() {
    const QString text = m_findEdit->text();
    if (text.isEmpty())
        return;
    runCatalogueStep(m_context, this, [&] {
        const int row = tb::findPaletteRow(m_rows, tb::parseFindIdText(text.toStdString()));
        if (row < 0)
            return;
        m_foundRow = row;
        m_tileGrid->setTopRow(row);
        m_tileGrid->invalidateGrid();
    });
}

bool TileGroupDialog::eventFilter(QObject* watched, QEvent* event) {
    // The id text takes no line breaks: Enter presses the default button.
    if (watched == m_idTextEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_okButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TileGroupDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        m_okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TileGroupDialog::drawCell(QPainter& painter, int row, const QRect& rect, bool selected) {
    const auto id = row >= 0 && std::size_t(row) < m_rows.size()
                        ? tb::paletteRowTileId(m_rows[std::size_t(row)])
                        : std::nullopt;
    const QImage image = id ? m_context.image(*id) : QImage();
    drawTileCell(painter, rect, image, Qt::white, selected || row == m_foundRow,
                 id && m_showIdsCheck->isChecked() ? tileIdLabel(*id) : QString());
}

} // namespace tbapp
