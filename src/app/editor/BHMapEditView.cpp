// TBHMapEditForm, the map view and the left panel groups that steer it: zoom, coords,
// altitude and grid; also the three view switches of the Extra menu.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/Prompts.h"
#include "shell/RadioGroup.h"

#include "editor/Navigation.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

QWidget* TBHMapEditForm::createLeftPanel() {
    LeftPanel = new QWidget(this);
    LeftPanel->setObjectName("LeftPanel");
    LeftPanel->setFixedWidth(73);
    auto* layout = new QVBoxLayout(LeftPanel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(createBrushSizeGroup(LeftPanel));

    ZoomGroup = new QGroupBox(QString::fromStdString(tb::zoomCaption(m_zoom.level)), LeftPanel);
    ZoomGroup->setObjectName("ZoomGroup");
    auto* zoom = new QGridLayout(ZoomGroup);
    zoom->setContentsMargins(2, 2, 2, 2);
    zoom->setSpacing(1);
    SpeedButton2 = new QToolButton(ZoomGroup);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton2->setText("-");
    SpeedButton2->setToolTip("Zoom out");
    SpeedButton3 = new QToolButton(ZoomGroup);
    SpeedButton3->setObjectName("SpeedButton3");
    SpeedButton3->setText("+");
    SpeedButton3->setToolTip("Zoom in");
    TLZoomLevel = new QPushButton("Default", ZoomGroup);
    TLZoomLevel->setObjectName("TLZoomLevel");
    TLZoomLevel->setFlat(true);
    zoom->addWidget(SpeedButton2, 0, 0);
    zoom->addWidget(SpeedButton3, 0, 1);
    zoom->addWidget(TLZoomLevel, 1, 0, 1, 2);
    layout->addWidget(ZoomGroup);
    connect(SpeedButton2, &QToolButton::clicked, this, &TBHMapEditForm::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TBHMapEditForm::SpeedButton3Click);
    connect(TLZoomLevel, &QPushButton::clicked, this, &TBHMapEditForm::TLZoomLevelClick);

    CoordsGroup = new QGroupBox(" Coords ", LeftPanel);
    CoordsGroup->setObjectName("CoordsGroup");
    auto* coords = new QGridLayout(CoordsGroup);
    coords->setContentsMargins(2, 2, 2, 2);
    coords->setSpacing(1);
    XJumpEdit = new QLineEdit(CoordsGroup);
    XJumpEdit->setObjectName("XJumpEdit");
    YJumpEdit = new QLineEdit(CoordsGroup);
    YJumpEdit->setObjectName("YJumpEdit");
    CoordGoBtn = new QPushButton("Go", CoordsGroup);
    CoordGoBtn->setObjectName("CoordGoBtn");
    List = new QPushButton("List", CoordsGroup);
    List->setObjectName("List");
    coords->addWidget(new QLabel("X", CoordsGroup), 0, 0);
    coords->addWidget(XJumpEdit, 0, 1);
    coords->addWidget(new QLabel("Y", CoordsGroup), 1, 0);
    coords->addWidget(YJumpEdit, 1, 1);
    coords->addWidget(CoordGoBtn, 2, 0, 1, 2);
    coords->addWidget(List, 3, 0, 1, 2);
    layout->addWidget(CoordsGroup);
    connect(CoordGoBtn, &QPushButton::clicked, this, &TBHMapEditForm::CoordGoBtnClick);

    ShowAltitudeRadioGroup = new tbapp::RadioGroup(" Altitude ", {"On", "Off"}, 1, LeftPanel);
    ShowAltitudeRadioGroup->setObjectName("ShowAltitudeRadioGroup");
    ShowAltitudeRadioGroup->setItemIndex(1);
    layout->addWidget(ShowAltitudeRadioGroup);
    connect(ShowAltitudeRadioGroup, &tbapp::RadioGroup::clicked, this,
            &TBHMapEditForm::ShowAltitudeRadioGroupClick);

    GridBox = new tbapp::RadioGroup(" Grid ", {"On", "Off"}, 1, LeftPanel);
    GridBox->setObjectName("GridBox");
    GridBox->setItemIndex(1);
    layout->addWidget(GridBox);
    connect(GridBox, &tbapp::RadioGroup::clicked, this, &TBHMapEditForm::GridBoxClick);
    layout->addStretch(1);
    return LeftPanel;
}

void TBHMapEditForm::createMapView() {
    MainDrawGrid = new DrawGrid(this);
    MainDrawGrid->setObjectName("MainDrawGrid");
    MainDrawGrid->setBackgroundColour(Qt::black);
    MainDrawGrid->setGridLineWidth(0);
    MainDrawGrid->setDefaultColWidth(m_zoom.cellSize);
    MainDrawGrid->setDefaultRowHeight(m_zoom.cellSize);
    MainDrawGrid->setColCount(6144);
    MainDrawGrid->setRowCount(4096);
    MainDrawGrid->setDrawCellHandler(
        [this](QPainter& painter, int col, int row, const QRect& rect, bool selected) {
            MainDrawGridDrawCell(painter, col, row, rect, selected);
        });
    // A whole row at a time, so the common case stays one tight loop over the cells.
    MainDrawGrid->setDrawRowHandler([this](QPainter& painter, int row, int firstCol, int lastCol,
                                           const QRect& firstRect, int stepX, int selectedCol) {
        m_cellPainter.drawRow(painter, MainDrawGrid->paintSurface(), row, firstCol, lastCol,
                              firstRect, stepX, selectedCol);
    });
    connect(MainDrawGrid, &DrawGrid::mouseMoved, this,
            [this](const QPoint& pos, Qt::MouseButtons, Qt::KeyboardModifiers) {
                MainDrawGridMouseMove(pos);
            });
}

// Every visible cell is drawn here, in one place, by the cell painter.
void TBHMapEditForm::MainDrawGridDrawCell(QPainter& painter, int col, int row, const QRect& rect,
                                          bool selected) {
    m_cellPainter.drawCell(painter, MainDrawGrid->paintSurface(), col, row, rect, selected);
}

// The cell under the pointer becomes the current cell, kept inside the identified map.
void TBHMapEditForm::MainDrawGridMouseMove(const QPoint& pos) {
    const QPoint cell = MainDrawGrid->mouseCoord(pos);
    const tb::CellPoint clamped =
        tb::clampPointerCell(cell.x(), cell.y(), MapSize->text().toStdString());
    setCurrentCell(clamped.x, clamped.y);
}

void TBHMapEditForm::applyCellSize() {
    // The cell painter drops its pictures itself when it sees the new size.
    MainDrawGrid->setDefaultColWidth(m_zoom.cellSize);
    MainDrawGrid->setDefaultRowHeight(m_zoom.cellSize);
}

void TBHMapEditForm::updateZoomControls() {
    SpeedButton3->setEnabled(m_zoom.zoomInEnabled);
    SpeedButton2->setEnabled(m_zoom.zoomOutEnabled);
    ZoomGroup->setTitle(QString::fromStdString(tb::zoomCaption(m_zoom.level)));
}

// Zoom out.
void TBHMapEditForm::SpeedButton2Click() {
    tb::zoomOut(m_zoom);
    applyCellSize();
    updateZoomControls();
}

// Zoom in.
void TBHMapEditForm::SpeedButton3Click() {
    tb::zoomIn(m_zoom);
    applyCellSize();
    updateZoomControls();
}

// "Default": level and cells 50; the zoom buttons keep their state.
void TBHMapEditForm::TLZoomLevelClick() {
    tb::zoomDefault(m_zoom);
    applyCellSize();
    updateZoomControls();
}

// The jump to the jump boxes; the selection handler is detached meanwhile so that the
// moves paint nothing, and attached again also when a box holds no number.
void TBHMapEditForm::CoordGoBtnClick() {
    DrawGrid::SelectionDetacher detached(*MainDrawGrid);
    tbapp::runReported(prompts(), this, [&] {
        const tb::JumpPlan plan =
            tb::planJump(XJumpEdit->text().toStdString(), YJumpEdit->text().toStdString(),
                         MainDrawGrid->colCount(), MainDrawGrid->rowCount(), MainDrawGrid->col(),
                         MainDrawGrid->row());
        if (plan.preColumn)
            MainDrawGrid->setCol(*plan.preColumn);
        if (plan.preRow)
            MainDrawGrid->setRow(*plan.preRow);
        MainDrawGrid->setCol(plan.x);
        MainDrawGrid->setRow(plan.y);
    });
}

void TBHMapEditForm::GridBoxClick() {
    MainDrawGrid->setGridLineWidth(GridBox->itemIndex() == 0 ? 1 : 0);
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::ShowAltitudeRadioGroupClick() {
    updateCellSwitches();
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::coloredAltitudeClick() {
    updateCellSwitches();
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::ShowonlyColor1Click() {
    updateCellSwitches();
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::ShowAltitude1Click() {
    updateCellSwitches();
    MainDrawGrid->invalidateGrid();
}

void TBHMapEditForm::updateCellSwitches() {
    CellViewSwitches switches;
    switches.altitudeOn = ShowAltitudeRadioGroup->itemIndex() == 0;
    switches.coloredAltitude = coloredAltitude->isChecked();
    switches.showOnlyColor = ShowonlyColor1->isChecked();
    switches.showNumber = ShowAltitude1->isChecked();
    switches.stampButtonDown = anyStampButtonDown();
    m_cellPainter.setSwitches(switches);
}
