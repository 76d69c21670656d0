// TBHMapEditForm, the painting controls: the tool bar, the brush group of the left panel,
// the palette strip on the right and the altitude and draw-mode panel at the bottom. The
// painting itself is wired to these controls by the painting code.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/RadioGroup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& glyph,
                        const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(glyph);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(25, 25);
    return button;
}

} // namespace

QWidget* TBHMapEditForm::createTopPanel() {
    TopPanel = new QWidget(this);
    TopPanel->setObjectName("TopPanel");
    TopPanel->setFixedHeight(33);
    auto* layout = new QHBoxLayout(TopPanel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);

    SpeedButton1 = toolButton(TopPanel, "SpeedButton1", "X", "Exit");
    connect(SpeedButton1, &QToolButton::clicked, this, &QWidget::close);
    layout->addWidget(SpeedButton1);
    layout->addSpacing(8);

    // The tools form one exclusive group: exactly one is down at any time.
    auto* tools = new QButtonGroup(TopPanel);
    tools->setExclusive(true);
    auto addTool = [&](QToolButton* button) {
        button->setCheckable(true);
        tools->addButton(button);
        layout->addWidget(button);
        return button;
    };
    btnDefault = addTool(toolButton(TopPanel, "btnDefault", "P", "Paint"));
    btnRectFill = addTool(toolButton(TopPanel, "btnRectFill", "F", "Fill"));
    // Stamp buttons in their toolbar order.
    for (int number : {1, 2, 3, 4, 5, 7, 8, 9, 10, 6, 11, 12, 13, 14})
        btnHoehle[std::size_t(number - 1)] = addTool(
            toolButton(TopPanel, QString("btnHoehle%1").arg(number), QString::number(number), {}));
    btnCustomBrush = addTool(toolButton(TopPanel, "btnCustomBrush", "B", "Brush"));
    btnDefault->setChecked(true);
    // The selected cell's frame is blue while a stamp button is down.
    for (QAbstractButton* button : tools->buttons())
        connect(button, &QAbstractButton::toggled, this, [this] {
            updateCellSwitches();
            MainDrawGrid->invalidateCell(MainDrawGrid->col(), MainDrawGrid->row());
        });
    layout->addSpacing(8);

    TlMap = toolButton(TopPanel, "TlMap", "O", "Overview");
    layout->addWidget(TlMap);
    layout->addSpacing(8);
    cbCustomBrushes = new QComboBox(TopPanel);
    cbCustomBrushes->setObjectName("cbCustomBrushes");
    cbCustomBrushes->setEditable(true);
    cbCustomBrushes->setFixedWidth(101);
    layout->addWidget(cbCustomBrushes);
    SpeedButton6 = new QToolButton(TopPanel);
    SpeedButton6->setObjectName("SpeedButton6");
    SpeedButton6->setText("Edit");
    layout->addWidget(SpeedButton6);
    layout->addStretch(1);
    return TopPanel;
}

bool TBHMapEditForm::anyStampButtonDown() const {
    for (const QToolButton* button : btnHoehle)
        if (button && button->isChecked())
            return true;
    return false;
}

QGroupBox* TBHMapEditForm::createBrushSizeGroup(QWidget* parent) {
    BrushSizeGroup = new QGroupBox(" Brush Size ", parent);
    BrushSizeGroup->setObjectName("BrushSizeGroup");
    auto* layout = new QGridLayout(BrushSizeGroup);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    BrushSizeEdt = new QLineEdit("1", BrushSizeGroup);
    BrushSizeEdt->setObjectName("BrushSizeEdt");
    BrushSizeEdt->setReadOnly(true);
    BrushSizeMover = new QSpinBox(BrushSizeGroup);
    BrushSizeMover->setObjectName("BrushSizeMover");
    BrushSizeMover->setRange(1, 9);
    BrushSizeMover->setValue(1);
    cbAddRAl = new QCheckBox("Add random altitude", BrushSizeGroup);
    cbAddRAl->setObjectName("cbAddRAl");
    edRauschen = new QLineEdit("1", BrushSizeGroup);
    edRauschen->setObjectName("edRauschen");
    udRValue = new QSpinBox(BrushSizeGroup);
    udRValue->setObjectName("udRValue");
    udRValue->setRange(1, 10);
    udRValue->setValue(1);
    layout->addWidget(BrushSizeEdt, 0, 0);
    layout->addWidget(BrushSizeMover, 0, 1);
    layout->addWidget(cbAddRAl, 1, 0, 1, 2);
    layout->addWidget(new QLabel("Value", BrushSizeGroup), 2, 0, 1, 2);
    layout->addWidget(edRauschen, 3, 0);
    layout->addWidget(udRValue, 3, 1);
    return BrushSizeGroup;
}

QWidget* TBHMapEditForm::createRightPanel() {
    RightPanel = new QWidget(this);
    RightPanel->setObjectName("RightPanel");
    RightPanel->setFixedWidth(81);
    auto* layout = new QGridLayout(RightPanel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    edFindID = new QLineEdit(RightPanel);
    edFindID->setObjectName("edFindID");
    btnFind = new QPushButton("Go", RightPanel);
    btnFind->setObjectName("btnFind");
    btnCustomTextures = new QPushButton(RightPanel);
    btnCustomTextures->setObjectName("btnCustomTextures");
    btnCustomTextures->setFlat(true);
    btnCustomTextures->setFixedSize(13, 12);
    cbSortet = new QCheckBox("Sorted", RightPanel);
    cbSortet->setObjectName("cbSortet");
    cbSortet->setChecked(true);

    TextureDrawGrid = new DrawGrid(RightPanel);
    TextureDrawGrid->setObjectName("TextureDrawGrid");
    TextureDrawGrid->setColCount(1);
    TextureDrawGrid->setRowCount(16382);
    TextureDrawGrid->setDefaultColWidth(64);
    TextureDrawGrid->setDefaultRowHeight(64);
    TextureDrawGrid->setBackgroundColour(Qt::black);
    TextureDrawGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SortedTextureGrid = new DrawGrid(RightPanel);
    SortedTextureGrid->setObjectName("SortedTextureGrid");
    SortedTextureGrid->setColCount(1);
    SortedTextureGrid->setRowCount(0);
    SortedTextureGrid->setDefaultColWidth(64);
    SortedTextureGrid->setDefaultRowHeight(64);
    SortedTextureGrid->setBackgroundColour(Qt::gray);
    SortedTextureGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // "Sorted" chooses which palette is shown.
    TextureDrawGrid->setVisible(!cbSortet->isChecked());
    connect(cbSortet, &QCheckBox::toggled, this, &TBHMapEditForm::cbSortetClick);

    layout->addWidget(new QLabel("Tile ID :", RightPanel), 0, 0);
    layout->addWidget(btnCustomTextures, 0, 1, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(edFindID, 1, 0);
    layout->addWidget(btnFind, 1, 1);
    layout->addWidget(cbSortet, 2, 0, 1, 2);
    // Both palettes fill the same place; "Sorted" shows one of them.
    layout->addWidget(TextureDrawGrid, 3, 0, 1, 2);
    layout->addWidget(SortedTextureGrid, 3, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return RightPanel;
}

QWidget* TBHMapEditForm::createBottomPanel() {
    BottomPanel = new QWidget(this);
    BottomPanel->setObjectName("BottomPanel");
    BottomPanel->setFixedHeight(44);
    auto* layout = new QHBoxLayout(BottomPanel);
    layout->setContentsMargins(2, 0, 2, 0);

    AltitudeRadioGroup =
        new tbapp::RadioGroup(" Modify the altitude ",
                              {"Add Z", "Subtr Z", "Set to Z", "Only Change Tile"}, 4, BottomPanel);
    AltitudeRadioGroup->setObjectName("AltitudeRadioGroup");
    AltitudeRadioGroup->setItemIndex(3);
    layout->addWidget(AltitudeRadioGroup);
    connect(AltitudeRadioGroup, &tbapp::RadioGroup::clicked, this,
            &TBHMapEditForm::AltitudeRadioGroupClick);

    layout->addWidget(new QLabel("Z (altitude) =", BottomPanel));
    ZValueEdit = new QLineEdit("0", BottomPanel);
    ZValueEdit->setObjectName("ZValueEdit");
    ZValueEdit->setMaxLength(4);
    ZValueEdit->setFixedWidth(40);
    layout->addWidget(ZValueEdit);
    XValueUpDown = new QSpinBox(BottomPanel);
    XValueUpDown->setObjectName("XValueUpDown");
    XValueUpDown->setRange(-128, 127);
    XValueUpDown->setValue(0);
    layout->addWidget(XValueUpDown);

    layout->addWidget(new QLabel("Select draw mode :", BottomPanel));
    SelectDrawingModeComboBox = new QComboBox(BottomPanel);
    SelectDrawingModeComboBox->setObjectName("SelectDrawingModeComboBox");
    SelectDrawingModeComboBox->setMaxVisibleItems(16);
    SelectDrawingModeComboBox->addItems({"Don't draw", "Selected tile from list", "Altitude only"});
    SelectDrawingModeComboBox->setCurrentIndex(0);
    layout->addWidget(SelectDrawingModeComboBox, 1);
    connect(SelectDrawingModeComboBox, &QComboBox::currentIndexChanged, this,
            [this] { SelectDrawingModeComboBoxChange(); });

    UndoList = new QTreeWidget(BottomPanel);
    UndoList->setObjectName("UndoList");
    UndoList->setHeaderLabels({"X", "Y", "Z", "Tile ID"});
    UndoList->setVisible(false);
    return BottomPanel;
}

void TBHMapEditForm::AltitudeRadioGroupClick() {
    refreshStatusBar();
}

void TBHMapEditForm::SelectDrawingModeComboBoxChange() {
    refreshStatusBar();
}
