#include "catalogue/TileGroupDialog.h"

#include "catalogue/TileCells.h"

#include "catalogue/OptionsModel.h"
#include "catalogue/TextureList.h"
#include "shell/DrawGrid.h"

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

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TileGroupDialog::TileGroupDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TDlgSelectMode");
    setWindowTitle("Edit");

    auto* captionLabel = new QLabel("&Caption", this);
    edCaption = named(new QLineEdit(this), "edCaption");
    edCaption->setFixedWidth(425);
    captionLabel->setBuddy(edCaption);
    Label1 = named(new QLabel("Tile List", this), "Label1");
    edTileList = named(new QPlainTextEdit(this), "edTileList");
    edTileList->setFixedSize(425, 89);
    edTileList->installEventFilter(this);
    lblHelpText = named(new QLabel(this), "lblHelpText");
    lblHelpText->setWordWrap(true);
    lblHelpText->setFixedSize(265, 33);
    btnAddID = named(new QToolButton(this), "btnAddID");
    btnAddID->setArrowType(Qt::LeftArrow);
    btnAddID->setAutoRaise(true);

    auto* left = new QVBoxLayout;
    left->addWidget(captionLabel);
    left->addWidget(edCaption);
    left->addWidget(Label1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(edTileList);
    listRow->addWidget(btnAddID, 0, Qt::AlignVCenter);
    left->addLayout(listRow);
    left->addWidget(lblHelpText);

    smallDrawGrid = named(new DrawGrid(this), "smallDrawGrid");
    smallDrawGrid->setColCount(1);
    smallDrawGrid->setRowCount(0);
    smallDrawGrid->setDefaultColWidth(kDialogCellSize);
    smallDrawGrid->setDefaultRowHeight(kDialogCellSize);
    fitGridToOneCell(smallDrawGrid, Qt::Vertical);
    Label13 = named(new QLabel("Tile ID", this), "Label13");
    edFindID = named(new QLineEdit(this), "edFindID");
    edFindID->setFixedWidth(37);
    btnFind = named(new QPushButton("Go", this), "btnFind");
    btnFind->setAutoDefault(false);
    cbShowID = named(new QCheckBox("show ID", this), "cbShowID");
    cbShowID->setChecked(true);
    BitBtn1 = named(new QPushButton("&OK", this), "BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = named(new QPushButton("Cancel", this), "BitBtn2");
    BitBtn2->setAutoDefault(false);

    auto* right = new QVBoxLayout;
    right->addWidget(Label13);
    auto* find = new QHBoxLayout;
    find->addWidget(edFindID);
    find->addWidget(btnFind);
    right->addLayout(find);
    right->addWidget(cbShowID);
    right->addStretch(1);
    right->addWidget(BitBtn1);
    right->addWidget(BitBtn2);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(smallDrawGrid);
    layout->addLayout(right);
    resize(530, 217);

    smallDrawGrid->setDrawCellHandler([this](QPainter& p, int, int row, const QRect& rect,
                                             bool selected) { drawCell(p, row, rect, selected); });
    onGridDoubleClick(smallDrawGrid, [this] { btnAddIDClick(); });
    connect(btnAddID, &QToolButton::clicked, this, &TileGroupDialog::btnAddIDClick);
    connect(btnFind, &QPushButton::clicked, this, &TileGroupDialog::btnFindClick);
    connect(cbShowID, &QCheckBox::clicked, this, &TileGroupDialog::cbShowIDClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    m_rows = loadDialogTileRows(m_context.appDir(), [this](const std::exception& error) {
        reportFailure(m_context, this, error);
    });
    smallDrawGrid->setRowCount(int(m_rows.size()));
}

void TileGroupDialog::btnAddIDClick() {
    const int row = smallDrawGrid->row();
    if (row < 0 || std::size_t(row) >= m_rows.size() || m_rows[std::size_t(row)].empty())
        return;
    const std::string text =
        tb::appendGroupTileId(edTileList->toPlainText().toStdString(), m_rows[std::size_t(row)]);
    edTileList->setPlainText(QString::fromStdString(text));
}

void TileGroupDialog::btnFindClick() {
    const QString text = edFindID->text();
    if (text.isEmpty())
        return;
    runCatalogueStep(m_context, this, [&] {
        const int row = tb::findPaletteRow(m_rows, tb::parseFindIdText(text.toStdString()));
        if (row < 0)
            return;
        m_foundRow = row;
        smallDrawGrid->setTopRow(row);
        smallDrawGrid->invalidateGrid();
    });
}

void TileGroupDialog::cbShowIDClick() {
    smallDrawGrid->invalidateGrid();
}

bool TileGroupDialog::eventFilter(QObject* watched, QEvent* event) {
    // The id text takes no line breaks: Enter presses the default button.
    if (watched == edTileList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn1->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TileGroupDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        BitBtn1->click();
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
                 id && cbShowID->isChecked() ? tileIdLabel(*id) : QString());
}

} // namespace tbapp
