// TBHMapEditForm, status bar: two panels, the cell under the pointer and the selected
// modes, each half the bar wide.

#include "editor/BHMapEditForm.h"

#include "shell/RadioGroup.h"

#include "editor/StatusText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QStatusBar>

void TBHMapEditForm::createStatusBar() {
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        // The panels never push the bar wider than the window: they take at most their
        // width and give way below it.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setMaximumWidth(250);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar->addWidget(panel, 1);
        StatusPanels[std::size_t(i)] = panel;
    }
    setStatusBar(StatusBar);
}

int TBHMapEditForm::statusPanelWidth(int panel) const {
    return StatusPanels.at(std::size_t(panel))->maximumWidth();
}

QString TBHMapEditForm::statusPanelText(int panel) const {
    return StatusPanels.at(std::size_t(panel))->text();
}

void TBHMapEditForm::refreshStatusBar() {
    std::optional<tb::MapCell> cell;
    // A path changed after loading may name a larger map than the one in memory: cells
    // outside the loaded image are not read.
    if (m_mapLoaded && m_document.image().contains(m_currentX, m_currentY))
        cell = m_document.image().cellUnchecked(m_currentX, m_currentY);
    StatusPanels[0]->setText(
        QString::fromStdString(tb::positionStatusText(m_currentX, m_currentY, cell)));

    const int drawMode = SelectDrawingModeComboBox->currentIndex();
    // The row the visible palette shows as selected, not the tile "Go" found.
    const auto paletteTile = static_cast<std::uint16_t>(selectedPaletteTile());
    StatusPanels[1]->setText(QString::fromStdString(tb::modeStatusText(
        AltitudeRadioGroup->itemIndex(), ZValueEdit->text().toStdString(), drawMode, paletteTile,
        SelectDrawingModeComboBox->currentText().toStdString())));
}

void TBHMapEditForm::setCurrentCell(int x, int y) {
    m_currentX = x;
    m_currentY = y;
    refreshStatusBar();
}

void TBHMapEditForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const int half = StatusBar->width() / 2;
    for (QLabel* panel : StatusPanels)
        panel->setMaximumWidth(half);
}
